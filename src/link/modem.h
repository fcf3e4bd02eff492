// The modem dialogue of a channel that reaches its partner through a dial-up modem. While the
// modem is not connected the channel runs no link procedure: commands go to the modem as text
// lines, its answers come back as text lines and are logged, an incoming call is answered, and
// the connect message starts the link procedure. A connection ends after its maximum time,
// after an idle time without correct frames, or on the user's request (the hang-up string, or
// a pulse on DTR); then the dialogue starts again.
#pragma once

#include "link/link_env.h"

#include <cstdint>
#include <string>

namespace vdl {

// The modem states in lks; the link procedures use the states below 6.
enum class ModemState : uint8_t {
    Dialogue = 6,   // not connected
    Connecting = 7, // the connect message was recognised: the link procedure starts in 1 s
    HangingUp = 8,  // the hang-up string goes out after 21 ticks, the dialogue is back after 42
    DtrPulse = 9,   // DTR stays inverted for 21 ticks
};

constexpr bool InModemState(uint8_t lks) {
    return lks >= static_cast<uint8_t>(ModemState::Dialogue);
}

// Ticks of the hang-up sequence: the silence before the hang-up string (the guard time of
// the escape), and the end of the sequence; the DTR pulse lasts as long as the first.
constexpr uint32_t kBreakSendTicks = 21;
constexpr uint32_t kBreakEndTicks = 42;
// Longest line of the dialogue.
constexpr uint16_t kModemLineMax = 32;

// The link state of the mode's link procedure at its start (1 for the controlling station of
// unbalanced transmission, else 0), and the state a reset gives: the dialogue when the channel
// works through a modem.
uint8_t ProcedureLinkState(const T_ComVar& c);
uint8_t InitialLinkState(const T_ComVar& c);

// The channel initialisation's part: the initial link state, with the dialogue's counters and
// line length when it is the dialogue.
void InitLinkState(T_ComVar& c);
// A reset of the link state while the program runs (the modem check box changed, a hang-up
// ended).
void ResetLinkState(T_ComVar& c, LinkEnv& env);

// The step of the tick procedure in states 6..9.
void ModemStep(T_ComVar& c, LinkEnv& env);
// Once per tick while a modem is used and no send sequence runs: the maximum time and the idle
// time of a connection run out.
void ModemCountdown(T_ComVar& c, LinkEnv& env);
// A line the receiver closed in states 6..9 (em.te, lg set): logged, collected, and looked at
// for the connect message and an incoming call.
void ModemLine(T_ComVar& c, LinkEnv& env);
// A correct frame arrived through the modem: the idle time starts again.
void ModemIdleReload(T_ComVar& c, LinkEnv& env);

// The dialling window's commands. Each needs recording to run (message 870 otherwise) and
// returns whether it acted.
bool ModemHangUp(T_ComVar& c, LinkEnv& env);
bool ModemDtrPulse(T_ComVar& c, LinkEnv& env);
// The modem check box: a change resets the link state at once.
void SetModemUsed(T_ComVar& c, LinkEnv& env, bool used);

// The program status the dialling window shows: text 1987 while recording is stopped, 1988 in
// the modem dialogue, 1989 when connected. And the DCD line: text 1998 + its state.
int ModemStatusText(bool online, const T_ComVar& c);
int DcdText(const T_ComVar& c);

} // namespace vdl
