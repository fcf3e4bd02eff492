// The demonstration line in one program on the fake clock: channel 1 polls channel 2 over a
// null-modem of two fake ports, through receivers, link procedures, transmitter and log store.
#include "support/demo_rig.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace vdl;
using namespace vdl::test;

TEST(DemoLine, TenThousandExchangesWithoutAFaultALostLinkOrAGapInTheLog) {
    DemoRig r(TempDir("demo-line-10000"), BinDir());
    ASSERT_TRUE(r.Start());
    r.GoFast();
    ASSERT_TRUE(r.prog.com[0].se.open && r.prog.com[1].se.open);
    const size_t exchanges = 10000;
    ASSERT_GE(r.Exchanges(exchanges), exchanges);
    r.prog.SetOnline(false);

    size_t faulty = 0, requests = 0, lost = 0, up = 0;
    for (const T_Telegramm& t : r.logged) {
        const bool frame = t.ta == TA_FIXED || t.ta == TA_VARIABLE;
        if (frame && t.stat < ST_OK) ++faulty;
        if (t.stat == ST_LINK_LOST) ++lost;
        if (t.stat == ST_LINK_UP) ++up;
        const int fc = t.lc & 0x0F;
        if (t.ek == EK_RX2 && frame && (fc == 3 || fc == 10 || fc == 11)) ++requests;
    }
    EXPECT_EQ(faulty, 0u);
    EXPECT_EQ(lost, 0u);
    EXPECT_EQ(up, 1u);
    EXPECT_GE(requests, exchanges - 3) << "the controlled station saw the requests";
    // Every record numbered, one after the other.
    for (size_t i = 1; i < r.logged.size(); ++i)
        ASSERT_EQ(r.logged[i].nr, r.logged[i - 1].nr + 1) << "record " << i;
    EXPECT_EQ(static_cast<size_t>(r.prog.log->Count()), r.logged.size());
}

TEST(DemoLine, ThreeMinutesOfASubstationLink) {
    DemoRig r(TempDir("demo-line-data"), BinDir());
    ASSERT_TRUE(r.Start());
    r.prog.SetOnline(true);
    const uint32_t end = r.prog.av.Tick + 3 * 60 * 1000 / 54;
    for (size_t guard = 0; r.prog.av.Tick < end && guard < 10000000; ++guard) r.Step();
    r.prog.SetOnline(false);
    // The user data the controlling station received, by type and cause.
    std::map<std::pair<int, int>, size_t> data;
    size_t faulty = 0;
    for (const T_Telegramm& t : r.logged) {
        if ((t.ta == TA_FIXED || t.ta == TA_VARIABLE) && t.stat < ST_OK) ++faulty;
        if (t.ek == EK_RX1 && t.ta == TA_VARIABLE) ++data[{t.typ, t.urs & 0x7F}];
    }
    auto n = [&](int typ, int cause) { return data[{typ, cause}]; };
    EXPECT_EQ(faulty, 0u);
    // Measured values every 2 s, varying; interrogations once a minute, confirmed, answered
    // with the indications and terminated; a double command every 20 s, confirmed, answered
    // with the breaker's position and terminated; nothing negative.
    EXPECT_GE(n(13, 1), 60u);
    EXPECT_GE(n(100, 7), 3u);
    EXPECT_EQ(n(100, 10), n(100, 7));
    EXPECT_EQ(n(3, 20), n(100, 10));
    EXPECT_EQ(n(1, 20), n(100, 10));
    EXPECT_GE(n(46, 7), 8u);
    EXPECT_GE(n(31, 11) + 1, n(46, 7));
    EXPECT_GE(n(46, 10) + 1, n(46, 7));
    for (const auto& [key, count] : data) EXPECT_LT(key.second, 0x40) << "a negative confirmation";
    EXPECT_NE(r.prog.seli.at(1).at(1).inf.sgl, 110.4f) << "the measured values vary";
}

TEST(DemoLine, TheChannelsOwnSettingsComeBackAfterTheDemonstration) {
    DemoRig r(TempDir("demo-line-settings"), BinDir());
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
    DemoRig s(TempDir("demo-line-settings-2"), BinDir());
    ASSERT_EQ(s.prog.StartUp(s.sv), Program::StartResult::Run);
    s.prog.FormCreate({}, &s.port[0], &s.port[1]);
    EnterDemo(s.prog);
    T_BetriebsPar mine = s.prog.com[0].bp;
    mine.zztpoll = 1234;
    s.prog.ChangeChannelParams(0, mine);
    s.prog.Shutdown();
    EXPECT_EQ(s.prog.com[0].bp.zztpoll, 1234);
}
