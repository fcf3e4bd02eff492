// What the commands that go online share (monitor, emulate): the serial devices, the log, the
// output of every logged telegram (--format or --records), the receive options, and the run
// until SIGINT, SIGTERM or the end of --duration, after which the channels go offline and the
// log is closed cleanly. Each command adds its own options and its part of the set-up.
#pragma once

#include "app/program.h"
#include "cli.h"
#include "invocation.h"
#include "platform/program_host.h"

#include <functional>
#include <string>
#include <vector>

namespace vdl::cli {

// The steps a command adds return 0 to go on, or the exit code after their message.
struct OnlineCommand {
    std::string name; // the command's word
    std::string usage;
    // The command's own options, with a value and without.
    std::vector<std::string> values;
    std::vector<std::string> flags;
    // The channels only listen and never send; a function that emulates a station is judged
    // as monitoring, or with --emulate as that station would judge the frames.
    bool passive = false;
    // The command offers --demo: both channels on a virtual line of the program's own instead
    // of the devices of --port1 and --port2.
    bool demo = false;
    // Checks the command's own values before anything starts, on a scratch program that has
    // the receive options applied (link addresses of the widest length).
    std::function<int(const Invocation&, Program& scratch)> check;
    // After the program's start and before its window part runs (data directory).
    std::function<int(const Invocation&, ProgramHost&)> beforeRun;
    // Sets up the channels once the shared options are applied and each channel has the
    // default line (9600 bit/s, 8 data bits, even parity, 1 stop bit); the devices are bound
    // afterwards.
    std::function<int(const Invocation&, Program&)> configure;
    // Once the channels are online, before the run (timed requests).
    std::function<void(const Invocation&, Program&)> online;
    // Every telegram after it was printed.
    std::function<void(const Program&, const T_Telegramm&)> logged;
    // After the channels went offline.
    std::function<void(const Invocation&, Program&)> finish;
};

// --data-dir DIR: a missing data directory is made, as the program makes its own; refused (2)
// only when it cannot be. 0 to go on.
int CheckDataDir(const Invocation& in);
// Takes the data directory of --data-dir (a beforeRun step): its settings, and neither the log
// nor the parameter set of the directory read at the start.
int UseDataDir(const Invocation& in, ProgramHost& host);

// Runs the event loop until SIGINT or SIGTERM, or for seconds when that is not negative.
void RunUntilStopped(long long seconds = -1);

// The usage lines of the shared options, without those named in omit (a command that lists
// them among its own).
std::string OnlineOptionsUsage(const std::vector<std::string>& omit = {});

// Runs an online command: 0 normal end, 1 a port or the log could not be opened, 2 a refused
// command line, 3 no instance slot, 99 no program texts.
int RunOnline(const Args& args, const OnlineCommand& cmd);

} // namespace vdl::cli
