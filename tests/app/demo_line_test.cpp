// The demonstration line in one program on the fake clock: channel 1 polls channel 2 over a
// null-modem of two fake ports, through receivers, link procedures, transmitter and log store.
#include "support/demo_rig.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>

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
