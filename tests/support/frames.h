// Frames and text tables made in a test: FT 1.2 frames with their checksum computed here (not
// by the code under test), and a small program text table with chosen entries.
#pragma once

#include "core/records.h"
#include "core/text_table.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vdl::test {

using Bytes = std::vector<uint8_t>;

// "68 0C 0C 68" or "680C0C68" to bytes (blanks are ignored).
Bytes Hex(std::string_view s);
// Bytes as upper-case hexadecimal pairs separated by blanks.
std::string ToHex(const Bytes& b);

// The link address in lgla octets, little-endian.
Bytes LinkAddress(uint32_t la, int lgla);
// A fixed frame 0x10 with control field and link address.
Bytes Fixed(uint8_t lc, uint32_t la, int lgla = 1);
// A variable frame 0x68 L L 0x68 with control field, link address and the given ASDU.
Bytes Variable(uint8_t lc, uint32_t la, const Bytes& asdu, int lgla = 1);

// An ASDU of the default layout: type, qualifier, cause (then the originator when orig is 0..255),
// a 2-octet common address and the objects.
Bytes Asdu(int typ, uint8_t vsq, uint8_t cot, uint16_t ca, const Bytes& objects, int orig = -1);
// A 3-octet object address.
Bytes Ioa3(uint32_t a);

// A telegram record holding the bytes; ta from the first byte (0x68 variable, 0x10 or a
// single character fixed).
T_Telegramm Record(const Bytes& b);

// A text table of at least 1100 entries, empty except the given ones (taken as they stand).
TextTable MakeTexts(const std::map<int, std::string>& texts);

// Texts 66..69 with the permitted function codes of the standard, and a cause list (texts
// 1009 onward) that permits for every type the causes of the standard's tables.
std::map<int, std::string> StandardLinkTexts();
std::map<int, std::string> StandardCauseTexts();
// Both of the above, plus the separator of structure widths (text 26) and text 1227.
TextTable StandardTexts();
// The same as the content of a program text file (cause lists in two-digit codes), for the
// programs run by the tests.
std::string StandardTextFile();

} // namespace vdl::test
