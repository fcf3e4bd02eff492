// What the commands that go online share (monitor, emulate): the serial devices, the log, the
// output of every logged telegram (--format or --records), the receive options, and the run
// until SIGINT, SIGTERM or the end of --duration, after which the channels go offline and the
// log is closed cleanly. Each command adds its own options and its part of the set-up.
#pragma once

#include "app/program.h"
#include "cli.h"
#include "platform/program_host.h"

#include <functional>
#include <string>
#include <vector>

namespace vdl::cli {

struct OnlineCommand {
    std::string name; // the command's word, for messages
    std::string usage;
    // The command's own options, with a value and without.
    std::vector<std::string> values;
    std::vector<std::string> flags;
    // The channels only listen and never send; a function that emulates a station is judged
    // as monitoring, or with --emulate as that station would judge the frames.
    bool passive = false;
    // Checks the command's own values before anything starts (false: exit code 2).
    std::function<bool(const Options&, std::string& error)> check;
    // After the program's start and before its window part runs (data directory).
    std::function<bool(const Options&, ProgramHost&, std::string& error)> beforeRun;
    // Sets up the channels once the shared options are applied and each channel has the
    // default line (9600 bit/s, 8 data bits, even parity, 1 stop bit); the devices are bound
    // afterwards (false: exit code 2).
    std::function<bool(const Options&, Program&, std::string& error)> configure;
    // Every telegram after it was printed.
    std::function<void(const Program&, const T_Telegramm&)> logged;
    // After the channels went offline.
    std::function<void(const Options&, Program&)> finish;
};

// The usage lines of the shared options.
std::string OnlineOptionsUsage();

// Runs an online command: 0 normal end, 1 a port or the log could not be opened, 2 bad
// options, 3 no instance slot, 99 no program texts.
int RunOnline(const Args& args, const OnlineCommand& cmd);

} // namespace vdl::cli
