// The rules of the channel parameter dialog that need no widget: the link address list, the
// proposed time-out and the character format rule.
#pragma once

#include "core/records.h"

#include <string>
#include <vector>

namespace vdl {

struct LinkAddressList {
    std::vector<uint16_t> addresses; // at most 15
    bool valid = true;               // false when an address is the broadcast address or above
};

// Scans the text for runs of 0..9, A..F, a..f and the hexadecimal prefix khex; other characters
// separate runs. A run is decimal, or hexadecimal when it starts with the prefix; a run that
// cannot be converted ends the scan. At most 15 addresses are taken.
LinkAddressList ParseLinkAddressList(const std::string& text, char khex, int lgla);
// Writes the list into la (anz, the addresses, the broadcast address after the last one).
void StoreLinkAddresses(const LinkAddressList& list, int lgla, T_LinkAdr& la);
// The stored text form: the numbers separated by blanks.
std::string LinkAddressText(const T_LinkAdr& la);

// The proposed time-out in ms: ASCII mode one character time plus 2 ms, otherwise a telegram
// of maximum length plus 7 characters plus 100 ms.
int32_t ProposedTimeout(int32_t fkt, int32_t baud, int32_t tlg);

// Unless the channel runs ASCII mode or the character format is free (option 9), the line is
// held to even parity, 8 data bits and 1 stop bit and a telegram length of at least 24.
void ApplyCharacterFormatRule(T_BetriebsPar& bp, bool formatFree);
// True when the parity, data and stop bit lists may be changed.
bool CharacterFormatEditable(int32_t fkt, bool formatFree);

// The broadcast link address for a link address length.
inline uint16_t BroadcastLinkAddress(int lgla) { return lgla == 2 ? 0xFFFF : 0xFF; }

} // namespace vdl
