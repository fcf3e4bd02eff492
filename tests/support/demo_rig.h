// The demonstration line inside one program on the fake clock: two fake ports joined as a
// null-modem, the program's services faked, and an event loop that carries the bytes, runs the
// run-now messages and gives a timer tick when nothing else is to do. Used by the tests and the
// benchmark of the demonstration line.
#pragma once

#include "app/demo_line.h"
#include "app/program.h"
#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"
#include "support/fake_system.h"
#include "support/program_fakes.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace vdl::test {

// One end of a null-modem: what is written reaches the other end when the line carries it.
struct WireEnd : FakePort {
    WireEnd* far = nullptr;
    std::vector<uint8_t> onLine;
    void Write(const uint8_t* d, int n) override {
        far->onLine.insert(far->onLine.end(), d, d + n);
    }
    // Hands what the line carried to the channel; false when nothing was on it.
    bool Carry() {
        if (onLine.empty()) return false;
        std::vector<uint8_t> b;
        b.swap(onLine);
        Receive(b);
        return true;
    }
};

struct DemoRig : ProgramFakes {
    std::string dir;
    WireEnd port[2];
    Program prog;
    std::vector<T_Telegramm> logged;

    // dir: an empty folder for the program; binDir: where the program texts are.
    DemoRig(const std::string& dir_, const std::string& binDir) : dir(dir_), prog(dir, msg) {
        namespace fs = std::filesystem;
        fs::copy_file(binDir + "VdlText.ger", dir + "VdlText.ger");
        fs::copy_file(binDir + "VdlText.usa", dir + "VdlText.usa");
        folders.appData = dir + "appdata/";
        sv.enumeratePorts = [] { return std::vector<int>{1, 2}; };
        port[0].far = &port[1];
        port[1].far = &port[0];
        prog.onLogged = [this](const T_Telegramm& t) { logged.push_back(t); };
    }
    // Starts the program and puts both channels on the demonstration settings; false when
    // the program does not start.
    bool Start() {
        if (prog.StartUp(sv) != Program::StartResult::Run) return false;
        prog.FormCreate({}, &port[0], &port[1]);
        EnterDemo(prog);
        prog.com[0].bp.cnr = 1;
        prog.com[1].bp.cnr = 2;
        return true;
    }
    // Polls as fast as the line goes: frames take no time worth waiting for, the next poll at
    // once. Then online.
    void GoFast() {
        for (T_ComVar& c : prog.com) {
            c.bp.baud = 4000000;
            c.bp.zztpoll = 0;
        }
        prog.SetOnline(true);
    }
    // Runs the line until channel 1 has received n answers (or the steps run out); the answers
    // received.
    size_t Exchanges(size_t n) {
        size_t answers = 0;
        for (size_t guard = 0; answers < n && guard < 100 * n; ++guard) {
            const size_t before = logged.size();
            Step();
            for (size_t i = before; i < logged.size(); ++i)
                if (logged[i].ek == EK_RX1 && logged[i].ta != TA_INTERNAL) ++answers;
        }
        return answers;
    }
    // The event loop: bytes on the line, run-now messages, and a timer tick when nothing else
    // is to do.
    void Step() {
        bool busy = port[0].Carry() | port[1].Carry();
        while (!plat.runNow.empty()) {
            int ch = plat.runNow.front();
            plat.runNow.erase(plat.runNow.begin());
            prog.RunNow(ch);
            busy = true;
        }
        if (!busy) {
            plat.Advance(54);
            prog.TimerStep();
        }
    }
};

} // namespace vdl::test
