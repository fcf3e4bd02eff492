// The settings a log keeps in its head that decide how its records read (address lengths and
// structures, cause length, each channel's function, procedure, stations, E5 use and spike
// suppression). A log keeps them: whoever appends to it must record with the same ones.
#pragma once

#include "app/program.h"
#include "invocation.h"

#include <string>
#include <vector>

namespace vdl::cli {

struct LogSettings {
    T_AllgPar ap;
    T_BetriebsPar bp[2];
};
LogSettings SettingsIn(const Program& p);
// Puts the general settings and both channels' parameters back (the channels are not
// initialised again).
void PutSettings(Program& p, const LogSettings& s);

// The options that set what a log keeps, in the order they are compared.
const std::vector<std::string>& LoggedOptions();
// A setting as the option that sets it names it (channel ch); "" for an option that sets
// nothing a log keeps.
std::string LoggedValue(const std::string& option, const LogSettings& s, int ch,
                        const TextTable& t);

// The first kept setting in which two differ: the option that sets it, the channel (0, 1)
// and both values. option is empty when they agree.
struct SettingDifference {
    std::string option;
    int channel = 0;
    std::string was, now;
};
SettingDifference FirstDifference(const LogSettings& log, const LogSettings& run,
                                  const TextTable& t);

// The log an online command opened keeps the settings it was recorded with (logged) when it
// held records when it was opened (hadRecords; what the run's own set-up logged since, such as
// a list loaded, does not count). When the run's settings (those of the program now) differ: a log
// named with
// --log is refused (2, the program gets the log's settings back so that closing leaves the
// file as it was); the automatic log is kept aside under a free name (aside) and a new one is
// begun under its own name, which standard error tells. 0 to go on, else the exit code after
// the message.
int SettleRunLog(const Invocation& in, Program& p, const LogSettings& logged, bool hadRecords,
                 bool named, std::string& aside);

} // namespace vdl::cli
