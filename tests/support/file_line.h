// Two programs on one null-modem on the fake clock, each with its own data directory: channel 1
// of the first (the controlling station, or the station with direction bit 1 in balanced mode)
// against channel 2 of the second. Used by the tests of file transfer.
#pragma once

#include "asdu/asdu_layout.h"
#include "support/demo_rig.h"
#include "support/paths.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vdl::test {

struct FileLine {
    DemoRig a, b;
    WireEnd nowhere[2]; // where the unused channels and a cut line write to

    explicit FileLine(const std::string& name)
        : a(TempDir(name + "-a"), BinDir()), b(TempDir(name + "-b"), BinDir()) {}

    // The first program's channel 1 and the second's channel 2: the two ends of the line.
    T_ComVar& A() { return a.prog.com[0]; }
    T_ComVar& B() { return b.prog.com[1]; }
    std::string DataA() const { return a.dir + "data/"; }
    std::string DataB() const { return b.dir + "data/"; }

    // Starts both programs, joins the ends and goes online; index files on. False when a
    // program does not start.
    bool Start(bool balanced = false) {
        if (!a.Start() || !b.Start()) return false;
        a.port[0].far = &b.port[1];
        b.port[1].far = &a.port[0];
        a.port[1].far = &nowhere[0];
        b.port[0].far = &nowhere[1];
        a.prog.com[1].bp.cnr = 0;
        b.prog.com[0].bp.cnr = 0;
        for (DemoRig* r : {&a, &b}) {
            r->prog.av.DataDir = r->dir + "data/";
            std::filesystem::create_directories(r->prog.av.DataDir);
            r->prog.ap.IDX = 1;
            r->prog.ap.Timeout = 3;
        }
        if (balanced) {
            A().bp.pro = B().bp.pro = PRO_BALANCED;
            A().bp.rb = 1;
            B().bp.rb = 0;
        }
        a.GoFast();
        b.GoFast();
        // The programs open their ports once more a few ticks after the start.
        Ticks(10);
        return A().se.open && B().se.open;
    }
    // The event loop of both programs: bytes on the line and run-now messages, each step a
    // millisecond of the clocks; a timer tick every 54 ms, at once when nothing else is to do.
    void Step() {
        bool busy = false;
        for (DemoRig* r : {&a, &b}) {
            busy |= r->port[0].Carry();
            busy |= r->port[1].Carry();
            while (!r->plat.runNow.empty()) {
                const int ch = r->plat.runNow.front();
                r->plat.runNow.erase(r->plat.runNow.begin());
                r->prog.RunNow(ch);
                busy = true;
            }
        }
        for (WireEnd& w : nowhere) w.onLine.clear();
        for (int k = 0; k < 2; ++k) {
            DemoRig& r = k == 0 ? a : b;
            const auto left = static_cast<int32_t>(nextTick[k] - r.clock.ms);
            if (left > 0) r.plat.Advance(busy ? 1u : static_cast<uint32_t>(left));
            if (static_cast<int32_t>(r.clock.ms - nextTick[k]) >= 0) {
                nextTick[k] = r.clock.ms + 54;
                r.prog.TimerStep();
            }
        }
    }
    uint32_t nextTick[2] = {0, 0};
    // Whether the link between the ends is up (the controlling station's station, or the
    // balanced station's own link).
    bool Up() {
        const T_SendVar& se = A().se;
        return se.sim == SIM_BALANCED ? se.lks == 1 || se.lks == 5 : (se.uslstat & 1) == 0;
    }
    // Runs until done holds (true) or the steps run out (false).
    bool RunUntil(const std::function<bool()>& done, size_t steps = 400000) {
        for (size_t i = 0; i < steps; ++i) {
            if (done()) return true;
            Step();
        }
        return done();
    }
    // Runs n timer ticks more.
    void Ticks(int n) {
        const uint32_t until = a.prog.av.Tick + static_cast<uint32_t>(n);
        RunUntil([&] { return a.prog.av.Tick >= until; });
    }
    // A line that no longer carries what the first program's end sends.
    void CutA() { a.port[0].far = &nowhere[0]; }

    // Records of a rig with this type received on its end (ek) of the line.
    static size_t Count(const DemoRig& r, uint8_t ek, uint8_t typ) {
        size_t n = 0;
        for (const T_Telegramm& t : r.logged)
            if (t.ek == ek && t.ta == TA_VARIABLE && t.typ == typ) ++n;
        return n;
    }
    // The octet at offset k of the element (after the object address) of a frame.
    static uint8_t Element(const DemoRig& r, const T_Telegramm& t, int k) {
        return t.b[LayoutOf(r.prog.ap).InfI + k];
    }
};

} // namespace vdl::test
