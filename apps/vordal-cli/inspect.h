// What the commands that only look at a log share: a clock that stands still (logs are read,
// never stamped) and a program with the texts of the program directory in the language of the
// command line and a log opened for looking.
#pragma once

#include "cli.h"
#include "invocation.h"

#include "app/main_commands.h"
#include "app/program.h"
#include "core/clock.h"

#include <string>

namespace vdl::cli {

class StillClock : public Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return 0; }
};

struct Inspect {
    CliMessages msg;
    StillClock clock;
    Program p{ProgramDir(), msg};
    bool Open(const Invocation& inv, const std::string& file) {
        p.texts.LoadFile(TextFilePath(ProgramDir(), inv.LangOf(ProgramDir())));
        p.CreateLog(clock);
        return OpenLog(p, file);
    }
    // Opens the log of p for looking; its records are read with the address layout and
    // settings stored in its head.
    static bool OpenLog(Program& p, const std::string& file) {
        if (!p.log->OpenForInspection(file)) return false;
        DeriveFromSettings(p);
        return true;
    }
};

} // namespace vdl::cli
