// The modem options of emulate: a channel dials through a modem given as a modem file or by
// single settings, and command strings (a dial command, for example) go to the modem at given
// seconds online.
#pragma once

#include "app/program.h"

#include <deque>
#include <string>

namespace vdl::cli {

// Channel options (value, channel, general settings); each makes the channel work through a
// modem. False for a value that cannot be taken.
bool ModemFileOption(const std::string& path, T_ComVar& c, const T_AllgPar&);
bool ModemConnectOption(const std::string& v, T_ComVar& c, const T_AllgPar&);
bool ModemHangupOption(const std::string& v, T_ComVar& c, const T_AllgPar&);
bool ModemMaxOption(const std::string& v, T_ComVar& c, const T_AllgPar&);
bool ModemIdleOption(const std::string& v, T_ComVar& c, const T_AllgPar&);

// A command string and the milliseconds online after which it is sent: "TEXT@SECONDS", or
// "TEXT" for at once. An @ followed by anything but a number of seconds belongs to the text.
struct TimedCommand {
    std::string text;
    long long ms = 0;
};
bool ParseTimedCommand(const std::string& v, TimedCommand& out);

// Sends each channel's commands as text lines when their time online has come, on the
// program's millisecond clock (counted from the channel's first tick online).
class ModemSender {
public:
    void Add(int channel, const TimedCommand& cmd);
    // Runs before the channels' link procedures in every tick procedure.
    void Install(Program& p);

private:
    void Due(Program& p, int channel);
    std::deque<TimedCommand> queue_[2];
    bool started_[2] = {false, false};
    uint32_t start_[2] = {0, 0};
};

} // namespace vdl::cli
