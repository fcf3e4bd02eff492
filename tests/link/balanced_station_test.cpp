// The balanced station against a partner played as byte tables, on the fake clock. Channel 1
// sends the direction bit 1; the partner's frames carry 0.
#include "link/balanced_station.h"

#include "link/link_rig.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

using S = BalancedState;
const Bytes kCommand = Hex("2D 01 06 01 00 01 00 00 01"); // single command, activation

struct BalancedRig : LinkRig {
    BalancedRig() {
        T_BetriebsPar& bp = com[0].bp;
        bp.fkt = FKT_MASTER;
        bp.pro = PRO_BALANCED;
        bp.rb = 1;
        bp.vwe5 = 0;
        bp.zztv = 0;
        bp.bcon = 1;
    }
    void RemoteReset(T_ComVar&, uint16_t la) override { remoteResets.push_back(la); }
    std::vector<uint16_t> remoteResets;

    S State() const { return static_cast<S>(com[0].se.lks); }
    std::vector<Bytes> Partner(const Bytes& f) {
        Answer(f);
        return TakeSent();
    }
    // The partner answers the status request and the reset: the own link is up.
    void OwnLinkUp() {
        std::vector<Bytes> s = TickUntilSent();
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0], Fixed(0xC9, 1));
        s = Partner(Fixed(0x0B, 1));
        if (s.empty()) s = TickUntilSent(2);
        ASSERT_EQ(s.size(), 1u);
        ASSERT_EQ(s[0], Fixed(0xC0, 1));
        Partner(Fixed(0x00, 1));
        RunPending();
        ASSERT_EQ(State(), S::Up);
    }
    // Ticks until channel 1 writes, counting the ticks.
    int TicksUntilSent(int limit, std::vector<Bytes>& out) {
        for (int n = 1; n <= limit; ++n) {
            Tick();
            out = TakeSent();
            if (!out.empty()) return n;
        }
        return -1;
    }
};

} // namespace

TEST(BalancedStation, EstablishesItsLinkAndReportsItLostOnce) {
    BalancedRig r;
    r.com[0].bp.wh = 2;
    r.Open();
    // Unanswered status requests: wh + 1 of them, then the link is reported lost, once.
    for (int k = 0; k < 3; ++k) {
        std::vector<Bytes> s = r.TickUntilSent();
        ASSERT_EQ(s.size(), 1u) << k;
        EXPECT_EQ(s[0], Fixed(0xC9, 1));
    }
    std::vector<Bytes> s;
    const int pause = r.TicksUntilSent(100, s);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0xC9, 1));
    EXPECT_GE(pause, static_cast<int>(r.svc.SecondsToTicks(r.com[0].bp.zztl)));
    ASSERT_EQ(r.Logged(ST_LINK_LOST).size(), 1u);
    EXPECT_EQ(r.Logged(ST_LINK_LOST)[0].la, 1);
    EXPECT_EQ(r.State(), S::Lost);
    for (int k = 0; k < 4; ++k) r.TickUntilSent();
    EXPECT_EQ(r.Logged(ST_LINK_LOST).size(), 1u) << "reported once while it stays lost";
    // The partner answers: reset, acknowledgement, link established.
    s = r.Partner(Fixed(0x0B, 1));
    if (s.empty()) s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0xC0, 1));
    r.Partner(Fixed(0x00, 1));
    r.RunPending();
    EXPECT_EQ(r.State(), S::Up);
    ASSERT_EQ(r.Logged(ST_LINK_UP).size(), 1u);
    EXPECT_EQ(r.Logged(ST_LINK_UP)[0].ek, EK_TX1);
}

TEST(BalancedStation, PartnerMustResetTheLinkBeforeItsUserDataIsAnswered) {
    BalancedRig r;
    r.Open();
    r.TickUntilSent(); // the own status request is out
    // User data before the reset: no answer at all.
    EXPECT_TRUE(r.Partner(Variable(0x73, 1, kCommand)).empty());
    EXPECT_EQ(r.LastReceived().stat, ST_FCB_BEFORE_RESET);
    EXPECT_TRUE(r.com[0].se.c[0].empty());
    // Status and reset are answered (direction bit 1), the reset reported.
    std::vector<Bytes> s = r.Partner(Fixed(0x49, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x8B, 1));
    s = r.Partner(Fixed(0x40, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x80, 1));
    EXPECT_EQ(r.remoteResets, std::vector<uint16_t>{1});
    // Now user data and the test function are acknowledged; a repetition too, kept once.
    for (const Bytes& f :
         {Variable(0x73, 1, kCommand), Variable(0x73, 1, kCommand), Fixed(0x52, 1)}) {
        s = r.Partner(f);
        ASSERT_EQ(s.size(), 1u) << ToHex(f);
        EXPECT_EQ(s[0], Fixed(0x80, 1));
    }
    EXPECT_EQ(r.com[0].se.c[0].size(), 1u);
    // A frame with this station's own direction bit is marked and not answered.
    EXPECT_TRUE(r.Partner(Fixed(0xC9, 1)).empty());
    EXPECT_EQ(r.LastReceived().stat, ST_DIR_BIT);
}

TEST(BalancedStation, LinkTestWhenNothingWasReceivedForTheCycle) {
    BalancedRig r;
    r.com[0].bp.zztv = 10;
    r.Open();
    r.OwnLinkUp();
    const int cycle = static_cast<int>(r.svc.SecondsToTicks(10)) - 1; // 184 ticks of 54 ms
    for (uint8_t cf : {0xF2, 0xD2}) {
        std::vector<Bytes> s;
        const int n = r.TicksUntilSent(400, s);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0], Fixed(cf, 1)) << "test function for link, FCB toggled";
        EXPECT_EQ(n, cycle);
        r.Partner(Fixed(0x00, 1));
    }
    // A confirmation received half-way (of the confirmation of the partner's command) starts
    // the cycle again.
    r.Ticks(cycle / 2);
    r.Partner(Fixed(0x40, 1));
    r.Partner(Variable(0x73, 1, kCommand));
    std::vector<Bytes> s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][0], 0x68);
    r.Partner(Fixed(0x00, 1));
    EXPECT_EQ(r.TicksUntilSent(400, s), cycle);
    EXPECT_EQ(s[0], Fixed(0xD2, 1));
}

TEST(BalancedStation, CommandIsConfirmedAsUserDataAndRepeatedUntilTheLinkIsLost) {
    BalancedRig r;
    r.com[0].bp.wh = 2;
    r.Open();
    r.OwnLinkUp();
    r.Partner(Fixed(0x40, 1));
    std::vector<Bytes> s = r.Partner(Variable(0x73, 1, kCommand));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x80, 1));
    s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    Bytes confirmation = kCommand;
    confirmation[2] = 7;
    const Bytes sent = Variable(0xF3, 1, confirmation); // user data, DIR 1, FCB 1 after the reset
    EXPECT_EQ(s[0], sent) << ToHex(s[0]);
    // No confirmation: repeated with the same frame count bit. The partner's test function in
    // between is acknowledged, and the repetition still awaits its confirmation.
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], sent);
    EXPECT_EQ(r.logged.back().stat, ST_REPETITION);
    s = r.Partner(Fixed(0x52, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x80, 1));
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], sent);
    EXPECT_TRUE(r.com[0].se.wquit);
    // The repetitions are used up: the link is lost and its status asked for at once.
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0xC9, 1));
    EXPECT_EQ(r.Logged(ST_LINK_LOST).size(), 1u);
    EXPECT_EQ(r.State(), S::Lost);
}

TEST(BalancedStation, NegativeAcknowledgementOrDataFlowControlPausesTheLink) {
    for (uint8_t answer : {0x01, 0x10}) {
        SCOPED_TRACE(int(answer));
        BalancedRig r;
        r.com[0].bp.zztv = 1;
        r.Open();
        r.OwnLinkUp();
        std::vector<Bytes> s = r.TickUntilSent(); // the link test
        ASSERT_EQ(s.size(), 1u);
        r.Partner(Fixed(answer, 1));
        r.RunPending();
        EXPECT_EQ(r.State(), S::Pause);
        const int n = r.TicksUntilSent(200, s);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0], Fixed(0xC9, 1)) << "status of link after the pause";
        EXPECT_EQ(n, static_cast<int>(r.svc.SecondsToTicks(r.com[0].bp.zztl)) + 1);
        r.Partner(Fixed(0x0B, 1));
        r.RunPending();
        EXPECT_EQ(r.State(), S::Up);
    }
}
