// What the commands that only look at a log share: a clock that stands still (logs are read,
// never stamped) and a program with the texts of the program directory and a log opened for
// looking.
#pragma once

#include "cli.h"

#include "app/program.h"
#include "core/clock.h"

#include <string>

namespace vdl::cli {

class StillClock : public Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return 0; }
};

// The absence of the texts only costs the wording of messages.
struct Inspect {
    StderrMessages msg;
    StillClock clock;
    Program p{ProgramDir(), msg};
    bool Open(const std::string& file) {
        p.texts.LoadFile(TextFilePath(ProgramDir(), 0));
        p.CreateLog(clock);
        return p.log->OpenForInspection(file);
    }
};

} // namespace vdl::cli
