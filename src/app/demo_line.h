// The demonstration line: channel 1 as the controlling station and channel 2 as the controlled
// station it polls, against each other on a virtual line that the platform layer makes, so that
// telegrams flow without hardware or any other program.
#pragma once

#include "core/records.h"

#include <string>

namespace vdl {

class Program;

// Texts: the channels' log text during the demonstration, the message when its line cannot be
// made (with the reason).
constexpr int kTxDemoLogText = 2260;
constexpr int kTxDemoLineFailed = 2261;
// The main window's button that starts the demonstration, and its hint.
constexpr int kTxDemoButton = 2262;
constexpr int kTxDemoHint = 2263;

// Poll cycle of the demonstration's controlling station in ms: slow enough to read along.
constexpr int32_t kDemoPollMs = 500;

// The operating parameters of both channels for the demonstration (channel i = 0 or 1): one
// station with link address 1, no delays, commands confirmed, the channel's log text saying
// what runs. The port is left as it is.
T_BetriebsPar DemoChannelParams(const T_BetriebsPar& current, int i, const std::string& logText);

// Puts both channels of the program on the demonstration settings (ports not yet bound) and
// keeps their own settings, which Shutdown gives back unless the user changed the channels
// meanwhile.
void EnterDemo(Program& p);

} // namespace vdl
