// The demonstration line in one program on the fake clock: channel 1 polls channel 2 over a
// null-modem of two fake ports, through receivers, link procedures, transmitter and log store.
#include "app/demo_line.h"

#include "app/program.h"
#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"
#include "support/fake_system.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

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

struct DemoRig {
    std::string dir;
    FakeClock clock;
    FakeLinkPlatform plat{clock};
    FakeMessages msg;
    FakeStore store;
    FakeFolders folders;
    std::set<std::string> locks;
    FakeLock lock{locks};
    ProgramServices sv{clock, plat, lock, store, folders, {}, 1};
    WireEnd port[2];
    Program prog;
    std::vector<T_Telegramm> logged;

    explicit DemoRig(const std::string& name) : dir(TempDir(name)), prog(dir, msg) {
        fs::copy_file(BinDir() + "VdlText.ger", dir + "VdlText.ger");
        fs::copy_file(BinDir() + "VdlText.usa", dir + "VdlText.usa");
        folders.appData = dir + "appdata/";
        sv.enumeratePorts = [] { return std::vector<int>{1, 2}; };
        port[0].far = &port[1];
        port[1].far = &port[0];
        prog.onLogged = [this](const T_Telegramm& t) { logged.push_back(t); };
    }
    void Start() {
        ASSERT_EQ(prog.StartUp(sv), Program::StartResult::Run);
        prog.FormCreate({}, &port[0], &port[1]);
        EnterDemo(prog);
        prog.com[0].bp.cnr = 1;
        prog.com[1].bp.cnr = 2;
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

} // namespace

TEST(DemoLine, TenThousandExchangesWithoutAFaultALostLinkOrAGapInTheLog) {
    DemoRig r("demo-line-10000");
    r.Start();
    for (T_ComVar& c : r.prog.com) {
        c.bp.baud = 4000000; // frames take no time worth waiting for
        c.bp.zztpoll = 0;    // the next poll at once
    }
    r.prog.SetOnline(true);
    ASSERT_TRUE(r.prog.com[0].se.open && r.prog.com[1].se.open);
    const size_t exchanges = 10000;
    size_t answers = 0;
    for (size_t guard = 0; answers < exchanges && guard < 100 * exchanges; ++guard) {
        const size_t before = r.logged.size();
        r.Step();
        for (size_t i = before; i < r.logged.size(); ++i)
            if (r.logged[i].ek == EK_RX1 && r.logged[i].ta != TA_INTERNAL) ++answers;
    }
    ASSERT_GE(answers, exchanges);
    r.prog.SetOnline(false);

    size_t faulty = 0, polls = 0, lost = 0, up = 0;
    for (const T_Telegramm& t : r.logged) {
        const bool frame = t.ta == TA_FIXED || t.ta == TA_VARIABLE;
        if (frame && t.stat < ST_OK) ++faulty;
        if (t.stat == ST_LINK_LOST) ++lost;
        if (t.stat == ST_LINK_UP) ++up;
        if (t.ek == EK_RX2 && frame && (t.lc & 0x0F) == 11) ++polls;
    }
    EXPECT_EQ(faulty, 0u);
    EXPECT_EQ(lost, 0u);
    EXPECT_EQ(up, 1u);
    EXPECT_GE(polls, exchanges - 3) << "the controlled station saw the polls";
    // Every record numbered, one after the other.
    for (size_t i = 1; i < r.logged.size(); ++i)
        ASSERT_EQ(r.logged[i].nr, r.logged[i - 1].nr + 1) << "record " << i;
    EXPECT_EQ(static_cast<size_t>(r.prog.log->Count()), r.logged.size());
}

TEST(DemoLine, TheChannelsOwnSettingsComeBackAfterTheDemonstration) {
    DemoRig r("demo-line-settings");
    ASSERT_EQ(r.prog.StartUp(r.sv), Program::StartResult::Run);
    r.prog.FormCreate({}, &r.port[0], &r.port[1]);
    const T_BetriebsPar own = r.prog.com[0].bp;
    EnterDemo(r.prog);
    EXPECT_EQ(r.prog.com[0].bp.fkt, FKT_MASTER);
    EXPECT_EQ(r.prog.com[1].bp.fkt, FKT_SLAVE);
    EXPECT_EQ(r.prog.com[1].bp.la.a[0], r.prog.com[0].bp.la.a[0]) << "channel 1 polls channel 2";
    EXPECT_EQ(r.prog.com[0].bp.logtxt.str(), r.prog.texts.tx(kTxDemoLogText));
    r.prog.Shutdown();
    EXPECT_EQ(std::memcmp(&r.prog.com[0].bp, &own, sizeof own), 0);
    // The user who sets a channel meanwhile keeps what he set.
    DemoRig s("demo-line-settings-2");
    ASSERT_EQ(s.prog.StartUp(s.sv), Program::StartResult::Run);
    s.prog.FormCreate({}, &s.port[0], &s.port[1]);
    EnterDemo(s.prog);
    T_BetriebsPar mine = s.prog.com[0].bp;
    mine.zztpoll = 1234;
    s.prog.ChangeChannelParams(0, mine);
    s.prog.Shutdown();
    EXPECT_EQ(s.prog.com[0].bp.zztpoll, 1234);
}
