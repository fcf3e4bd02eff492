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

// The names of the demonstration's send data: its measured values, its indications, the end
// of the interrogation, the interrogation and the command of the controlling station.
constexpr int kTxDemoMeasured = 2381;
constexpr int kTxDemoIndications = 2382;
constexpr int kTxDemoInterrogationEnd = 2383;
constexpr int kTxDemoInterrogation = 2384;
constexpr int kTxDemoCommand = 2385;

// Poll cycle of the demonstration's controlling station in ms: slow enough to read along.
constexpr int32_t kDemoPollMs = 500;

// The operating parameters of both channels for the demonstration (channel i = 0 or 1): one
// station with link address 1, no delays, commands confirmed, the channel's log text saying
// what runs. The port is left as it is.
T_BetriebsPar DemoChannelParams(const T_BetriebsPar& current, int i, const std::string& logText);

// Puts both channels of the program on the demonstration settings (ports not yet bound) and
// keeps their own settings, which Shutdown gives back unless the user changed the channels
// meanwhile; the line carries the data of EnterDemoData.
void EnterDemo(Program& p);

// The data of a substation link: the controlled station (channel 2) sends its measured values
// in cycles, answers an interrogation with its indications and the termination, and answers
// a double command through the command feedback (confirmation, the switch's new position,
// termination); the controlling station (channel 1) interrogates and switches from time to
// time. Takes send telegrams 1 and 2, send lists 1..3 and the first feedback entry.
void EnterDemoData(Program& p);

} // namespace vdl
