// A program directory with the real program texts and fakes of everything a program needs
// around it: clocks, ports, messages, store, folders and the instance lock.
#pragma once

#include "app/program.h"
#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"
#include "support/fake_system.h"
#include "support/paths.h"
#include "support/program_fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace vdl::test {

// A program directory with the real program texts, and everything a program needs around it.
struct ProgramRig : ProgramFakes {
    std::string dir;
    FakePort port[2];
    std::vector<int> ports{1, 2};
    Program prog;
    std::vector<T_Telegramm> seen;

    explicit ProgramRig(const std::string& name, bool withTexts = true)
        : dir(TempDir(name)), prog(dir, msg) {
        if (withTexts) {
            std::filesystem::copy_file(BinDir() + "VdlText.ger", dir + "VdlText.ger");
            std::filesystem::copy_file(BinDir() + "VdlText.usa", dir + "VdlText.usa");
        }
        folders.appData = dir + "appdata/";
        sv.enumeratePorts = [this] { return ports; };
        prog.onLogged = [this](const T_Telegramm& t) { seen.push_back(t); };
    }
    void Start(std::vector<std::string> args = {}) {
        ASSERT_EQ(prog.StartUp(sv), Program::StartResult::Run);
        prog.FormCreate(args, &port[0], &port[1]);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            plat.Advance(54);
            prog.TimerStep();
        }
    }
};

} // namespace vdl::test
