#include "app/program.h"

#include "app/main_state.h"
#include "program_rig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;
using Rig = ProgramRig;

TEST(ProgramStart, MissingTextsAndInstanceSlots) {
    Rig none("prog-notexts", false);
    EXPECT_EQ(none.prog.StartUp(none.sv), Program::StartResult::NoTexts);
    ASSERT_EQ(none.msg.errors.size(), 1u);
    EXPECT_NE(none.msg.errors[0].find("Program text file missing/wrong"), std::string::npos);

    std::set<std::string> taken;
    Rig a("prog-a"), b("prog-b"), c("prog-c");
    FakeLock la(taken), lb(taken), lc(taken);
    ProgramServices sva{a.clock, a.plat, la, a.store, a.folders, {}, 1};
    EXPECT_EQ(a.prog.StartUp(sva), Program::StartResult::Run);
    EXPECT_EQ(a.prog.av.pnr, 1);
    ProgramServices svb{b.clock, b.plat, lb, b.store, b.folders, {}, 1};
    EXPECT_EQ(b.prog.StartUp(svb), Program::StartResult::Run);
    EXPECT_EQ(b.prog.av.pnr, 2);
    ProgramServices svc{c.clock, c.plat, lc, c.store, c.folders, {}, 1};
    EXPECT_EQ(c.prog.StartUp(svc), Program::StartResult::NoSlot);
    EXPECT_TRUE(c.msg.errors.empty()); // a third instance ends silently
}

TEST(ProgramStart, PortsOpenAfterSixTicksAndLogTheirOpening) {
    Rig r("prog-open");
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.prog.com[1].bp.cnr = 2;
    EXPECT_FALSE(r.prog.av.online);
    r.Ticks(6);
    EXPECT_FALSE(r.port[0].isOpen);
    r.Ticks(1);
    EXPECT_TRUE(r.prog.av.online);
    EXPECT_TRUE(r.port[0].isOpen);
    EXPECT_TRUE(r.port[1].isOpen);
    int opened = 0;
    for (const auto& t : r.seen) opened += t.stat == ST_CHANNEL_OPEN;
    EXPECT_EQ(opened, 2);
    // Numbered in the log, one after the other.
    ASSERT_GE(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[1].nr, r.seen[0].nr + 1);
}

TEST(ProgramRun, ReceivedFramesAreJudgedAndLogged) {
    Rig r("prog-rx");
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.prog.com[1].bp.cnr = 2;
    r.Ticks(8);
    ASSERT_TRUE(r.prog.av.online);
    r.seen.clear();
    r.port[0].Receive({0x10, 0x49, 0x01, 0x4A, 0x16});
    r.port[1].Receive({0x10, 0x0B, 0x01, 0x0C, 0x16, 0x10, 0x0B});
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[0].stat, ST_OK);
    EXPECT_EQ(r.seen[0].ek, 1);
    EXPECT_EQ(r.seen[0].lc, 0x49);
    EXPECT_EQ(r.seen[1].ek, 3);
    // The cut frame is closed by the receive time-out on a later tick.
    r.Ticks(10);
    ASSERT_EQ(r.seen.size(), 3u);
    EXPECT_EQ(r.seen[2].stat, ST_FRAME_LENGTH);
    EXPECT_EQ(r.prog.log->counters[0][0], 1);
    EXPECT_EQ(r.prog.log->counters[2][0], 2);
    EXPECT_EQ(r.prog.log->counters[2][1], 1);

    // Offline: both channels close and log their counters.
    r.seen.clear();
    r.prog.ToggleOnline();
    EXPECT_FALSE(r.prog.av.online);
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[1].stat, ST_CHANNEL_CLOSE);
    int32_t counts[4];
    std::memcpy(counts, r.seen[1].b, sizeof counts);
    EXPECT_EQ(counts[0], 2); // channel 2 received two frames
    EXPECT_EQ(counts[1], 1); // one of them faulty
}

TEST(ProgramRun, TickLengthIsMeasuredEvery256Ticks) {
    Rig r("prog-ticks");
    r.Start();
    // The wall clock of the fake follows its millisecond clock: ticks of 60 ms.
    r.prog.av.Tick = 0;
    for (int i = 0; i < 257; ++i) {
        r.plat.Advance(60);
        r.prog.TimerStep();
    }
    EXPECT_EQ(r.prog.av.msjetick, 60);
    for (int i = 0; i < 256; ++i) {
        r.plat.Advance(47);
        r.prog.TimerStep();
    }
    EXPECT_EQ(r.prog.av.msjetick, 47);
    for (int i = 0; i < 256; ++i) {
        r.plat.Advance(90);
        r.prog.TimerStep();
    }
    EXPECT_EQ(r.prog.av.msjetick, 70); // limited to 45..70
}

TEST(ProgramRun, ALogWriteErrorTakesTheProgramOffline) {
    Rig r("prog-logerr");
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.Ticks(8);
    ASSERT_TRUE(r.prog.av.online);
    r.prog.av.logerr = true;
    r.Ticks(40);
    EXPECT_FALSE(r.prog.av.online);
    EXPECT_FALSE(r.prog.av.logerr);
    ASSERT_FALSE(r.msg.errors.empty());
    EXPECT_NE(r.msg.errors.back().find(r.prog.av.dtLog), std::string::npos);
}

TEST(ProgramRun, NewChannelParametersReopenTheChannel) {
    Rig r("prog-params");
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.Ticks(8);
    ASSERT_TRUE(r.port[0].isOpen);
    T_BetriebsPar bp = r.prog.com[0].bp;
    bp.baud = 19200;
    uint32_t t0 = r.clock.ms;
    r.prog.ChangeChannelParams(0, bp);
    EXPECT_GE(r.clock.ms - t0, 176000u / 9600 + 500); // waited with the old baud rate
    EXPECT_EQ(r.port[0].baud, 19200);
    EXPECT_TRUE(r.port[0].isOpen);
    EXPECT_EQ(r.port[0].opens, 2);
    EXPECT_TRUE(r.prog.av.parasav);
}

TEST(ProgramRun, ShutdownWritesSettingsAndTheLog) {
    Rig r("prog-exit");
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.Ticks(8);
    r.port[0].Receive({0xE5});
    std::string logName = r.prog.av.dtLog;
    r.prog.Shutdown();
    EXPECT_TRUE(fs::exists(logName));
    EXPECT_TRUE(fs::exists(StandardFileName(r.prog.av, r.prog.texts, kTxSettingsFile)));
    EXPECT_FALSE(r.port[0].isOpen);
}

TEST(ProgramStart, AFileThatIsNotALogIsLeftAndTheAutomaticLogUsed) {
    Rig r("prog-notalog");
    ASSERT_EQ(r.prog.StartUp(r.sv), Program::StartResult::Run);
    std::string bogus = r.dir + "notes" + r.prog.texts.tx(1200);
    {
        std::ofstream f(bogus, std::ios::binary);
        f << "these are my notes, not a log";
    }
    r.prog.FormCreate({bogus}, &r.port[0], &r.port[1]);
    ASSERT_EQ(r.msg.errors.size(), 1u) << r.msg.errors[0];
    EXPECT_NE(r.msg.errors[0].find(bogus), std::string::npos);
    EXPECT_NE(r.prog.av.dtLog, bogus);
    EXPECT_TRUE(r.prog.log->IsOpen());
    std::ifstream f(bogus, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "these are my notes, not a log");
}

// A data directory given on the command line is used for everything: its settings, its
// parameter set (missing at a first start: no message) and its automatic log, never the names
// the directory read at the start keeps.
TEST(ProgramStart, ADataDirectoryOnTheCommandLineIsUsedForEverything) {
    Rig r("prog-datadir-arg");
    ASSERT_EQ(r.prog.StartUp(r.sv), Program::StartResult::Run);
    const std::string started = r.prog.av.DataDir;
    const std::string given = r.dir + "given/";
    fs::create_directories(given);
    // The directory of the start names its own log and parameter set.
    const TextTable& t = r.prog.texts;
    const std::string oldLog = started + t.tx(1199) + t.tx(1200);
    const std::string oldSet = started + t.tx(1222) + t.tx(1223);
    ASSERT_TRUE(r.prog.log->OpenLog(oldLog, false));
    r.prog.log->CloseLog();
    {
        std::ofstream list(started + "zVordal_Dateinamen.txt", std::ios::binary);
        list << started << "\r\n"
             << oldSet << "\r\n1;0;20000; DeltaRM, OfsSekTel, AbbildMax\r\n\r\n"
             << oldLog << "\r\n0\r\n";
        for (int i = 0; i < 8; ++i) list << "\r\n";
    }
    r.prog.ReloadSettings();
    ASSERT_EQ(r.prog.av.dtLog, oldLog);
    ASSERT_EQ(r.prog.av.dtSeTeLi, oldSet);

    r.prog.FormCreate({r.dir + "given"}, &r.port[0], &r.port[1]);
    EXPECT_TRUE(r.msg.errors.empty()) << r.msg.errors[0];
    EXPECT_EQ(r.prog.av.DataDir, given);
    EXPECT_EQ(r.prog.av.dtLog, given + t.tx(1199) + t.tx(1200));
    EXPECT_EQ(r.prog.log->Name(), r.prog.av.dtLog);
    EXPECT_TRUE(fs::exists(r.prog.av.dtLog));
    EXPECT_EQ(r.prog.av.dtSeTeLi, given + t.tx(1222) + t.tx(1223));
    EXPECT_EQ(r.prog.av.dtDruk.rfind(given, 0), 0u) << r.prog.av.dtDruk;
}

// A log names the port it was recorded on by number; a bound number without a device here
// (another program's run bound it) is no port of this program: the channel keeps its own.
TEST(ProgramStart, ALogsPortNumberWithoutADeviceHereLeavesTheChannelsPort) {
    Rig r("prog-log-ports");
    r.Start();
    const int bound = r.prog.ports.Bind("/dev/vordal-test-device");
    ASSERT_GE(bound, kFirstBoundPort);
    struct Row {
        int32_t inLog;
        int32_t taken;
    };
    const Row rows[] = {{bound + 7, 1}, {bound, bound}, {2, 2}};
    for (const Row& row : rows) {
        const std::string log = r.dir + "ports" + std::to_string(row.inLog) + ".lg1";
        r.prog.com[0].bp.cnr = row.inLog;
        ASSERT_TRUE(r.prog.log->CreateLog(log));
        r.prog.log->FlushLog();
        r.prog.log->CloseLog();
        r.prog.com[0].bp.cnr = 1;
        r.prog.OpenLogFile(log, false);
        ASSERT_EQ(r.prog.log->Name(), log);
        EXPECT_EQ(r.prog.com[0].bp.cnr, row.taken) << row.inLog;
    }
}

TEST(ProgramRun, ControllingStationPollsWhenOnlineAndTheGridFollowsItsLink) {
    Rig r("prog-master");
    r.Start();
    Program& p = r.prog;
    T_BetriebsPar& bp = p.com[0].bp;
    bp.cnr = 1;
    bp.fkt = FKT_MASTER;
    bp.pro = PRO_UNBALANCED;
    bp.la.anz = 1;
    bp.la.a[0] = 1;
    bp.la.a[1] = 0xFF;
    bp.wh = 1;
    bp.sverz = bp.tv = bp.tn = 0;
    bp.rts = 0;
    p.com[1].bp.cnr = 0;
    auto runNow = [&] {
        while (!r.plat.runNow.empty()) {
            int ch = r.plat.runNow.front();
            r.plat.runNow.erase(r.plat.runNow.begin());
            p.RunNow(ch);
        }
    };
    auto sent = [&] {
        std::vector<uint8_t> w = r.port[0].written;
        r.port[0].written.clear();
        return w;
    };
    r.Ticks(8);
    ASSERT_TRUE(p.av.online);
    EXPECT_EQ(sent(), (std::vector<uint8_t>{0x10, 0x49, 0x01, 0x4A, 0x16}));
    EXPECT_EQ(GridCell(p, 1, 6), p.texts.tx(1186)); // the link is down
    r.port[0].Receive({0x10, 0x0B, 0x01, 0x0C, 0x16});
    runNow();
    EXPECT_EQ(sent(), (std::vector<uint8_t>{0x10, 0x40, 0x01, 0x41, 0x16}));
    r.port[0].Receive({0xE5});
    runNow();
    EXPECT_EQ(GridCell(p, 1, 6), p.texts.tx(1185)); // up
    EXPECT_EQ(GridCell(p, 1, 5), p.texts.tx(1184)); // the controlling station answers nothing
    r.Ticks(1);
    EXPECT_EQ(sent(), (std::vector<uint8_t>{0x10, 0x7B, 0x01, 0x7C, 0x16}));
    // The station falls silent: one repetition, then the link is lost.
    r.Ticks(30);
    EXPECT_EQ(GridCell(p, 1, 6), p.texts.tx(1186));
    int lost = 0;
    for (const T_Telegramm& t : r.seen) lost += t.stat == ST_LINK_LOST && t.la == 1;
    EXPECT_EQ(lost, 1);
}
