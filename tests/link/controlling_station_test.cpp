// The controlling station against a far station played as byte tables, on the fake clock.
#include "link/controlling_station.h"

#include "link/link_rig.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

constexpr uint8_t E5 = 0xE5;
const Bytes kE5{E5};

// A source with one frame ready for one station, built as user data with confirmation.
struct OneTelegram : UserDataSource {
    int station = 0;
    int left = 1;
    SourceKind Kind() const override { return SourceKind::UserTelegram; }
    ReadyData Ready(const T_ComVar&, int s) const override {
        if (left <= 0 || (s != station && s != -1)) return {};
        return {DATA_CLASS2, station};
    }
    bool Build(T_ComVar& c, int) override {
        --left;
        T_Telegramm& te = c.se.te;
        te = T_Telegramm{};
        const AsduLayout lay; // link address 1, cause 1, common address 2, object address 3
        int p = BeginVariableFrame(te, lay, 0x53, CurrentLinkAddress(c));
        const Bytes asdu = Hex("2D 01 06 01 00 01 00 00 01"); // single command
        for (uint8_t b : asdu) te.b[p++] = b;
        te.lg = static_cast<int16_t>(p);
        te.stat = ST_OK;
        return FinishVariableFrame(c, te);
    }
};

// The control field of a fixed frame written.
uint8_t Cf(const Bytes& f) {
    return f.size() >= 2 ? f[1] : 0;
}

} // namespace

TEST(ControllingStation, EstablishesTheLinkThenPollsWithFcbOne) {
    LinkRig r;
    r.Open();
    r.EstablishLink(1);
    ASSERT_EQ(r.Logged(ST_LINK_UP).size(), 1u);
    EXPECT_EQ(r.Logged(ST_LINK_UP)[0].la, 1);
    EXPECT_EQ(r.Logged(ST_LINK_UP)[0].ek, EK_TX1);
    // The first frame with a valid frame count after the reset carries FCB = 1.
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x7B, 1)); // class 2
    r.Answer(Fixed(0x09, 1));
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x5B, 1)); // FCB toggled
    // Every frame sent is logged with its channel and verdict.
    int sent = 0;
    for (const T_Telegramm& t : r.logged)
        if (t.ek == EK_TX1 && t.stat == ST_OK) ++sent;
    EXPECT_EQ(sent, 4);
    EXPECT_EQ(r.states.front(), static_cast<uint8_t>(ControllingState::AwaitStatus));
}

TEST(ControllingStation, SilentStationIsRepeatedThenLostOnceAndTheNextServed) {
    LinkRig r({1, 2, 3});
    r.com[0].bp.wh = 2;
    r.Open();
    Bytes poll1 = r.BringUp();
    // Station 1 answers; station 2 keeps silent.
    r.Answer(Fixed(0x09, 1));
    std::vector<Bytes> toTwo = r.TakeSent();
    ASSERT_EQ(toTwo.size(), 1u);
    ASSERT_EQ(toTwo[0][2], 2);
    size_t logBefore = r.logged.size();
    for (int k = 0; k < 2; ++k) {
        std::vector<Bytes> s = r.TickUntilSent();
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0], toTwo[0]) << "repetition " << k + 1 << " keeps the frame and its FCB";
    }
    int repetitions = 0;
    for (size_t i = logBefore; i < r.logged.size(); ++i)
        if (r.logged[i].ek == EK_TX1 && r.logged[i].stat == ST_REPETITION) ++repetitions;
    EXPECT_EQ(repetitions, 2);
    EXPECT_TRUE(r.Logged(ST_LINK_LOST).empty());
    // Then the link to station 2 is lost, once, and station 3 is served.
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][2], 3);
    ASSERT_EQ(r.Logged(ST_LINK_LOST).size(), 1u);
    EXPECT_EQ(r.Logged(ST_LINK_LOST)[0].la, 2);
    // Next turn: station 1 polled, station 2 asked for its status once, unrepeated.
    r.Answer(Fixed(0x09, 3));
    s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][2], 1);
    r.Answer(Fixed(0x09, 1));
    s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x49, 2));
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][2], 3) << "the status request is not repeated";
    EXPECT_EQ(r.Logged(ST_LINK_LOST).size(), 1u) << "the lost link is reported once";
    EXPECT_EQ(r.com[0].se.uslstat & 7, 2);
    (void)poll1;
}

TEST(ControllingStation, AccessDemandOfTheAnswerChoosesTheClassOfTheNextPoll) {
    LinkRig r;
    r.Open();
    r.EstablishLink(1);
    struct Step {
        uint8_t answer;   // control field of the answer to a poll
        uint8_t nextPoll; // function code part of the next poll
    };
    const Step steps[] = {
        {0x29, 0x0A}, // no data, ACD set: class 1
        {0x00, 0x0B}, // acknowledgement, ACD clear: class 2
        {0x20, 0x0A}, // acknowledgement with ACD: class 1
        {0x09, 0x0B},
    };
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Cf(s[0]) & 0x0F, 0x0B);
    for (const Step& st : steps) {
        r.Answer(Fixed(st.answer, 1));
        s = r.TakeSent();
        if (s.empty()) s = r.TickUntilSent();
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(Cf(s[0]) & 0x0F, st.nextPoll) << "after " << int(st.answer);
    }
}

TEST(ControllingStation, SingleCharacterAfterAPollByUseOfE5) {
    struct Row {
        int vwe5;
        uint8_t stat;  // verdict on the 0xE5
        bool repeated; // the poll goes out again (repetition)
    };
    for (Row row :
         {Row{3, ST_OK, false}, Row{1, ST_E5_NOT_ALLOWED, true}, Row{2, ST_E5_NOT_ALLOWED, true}}) {
        SCOPED_TRACE(row.vwe5);
        LinkRig r({1, 2});
        r.com[0].bp.vwe5 = row.vwe5;
        r.Open();
        const Bytes poll = r.BringUp();
        r.Answer(kE5);
        const T_Telegramm& e5 = r.LastReceived();
        ASSERT_EQ(e5.lg, 1);
        EXPECT_EQ(e5.stat, row.stat);
        std::vector<Bytes> s = r.TakeSent();
        if (row.repeated) {
            EXPECT_TRUE(s.empty());
            s = r.TickUntilSent();
            ASSERT_EQ(s.size(), 1u);
            EXPECT_EQ(s[0], poll);
            EXPECT_EQ(r.logged.back().stat, ST_REPETITION);
        } else {
            ASSERT_EQ(s.size(), 1u);
            EXPECT_EQ(s[0][2], 2) << "the next station is served at once";
        }
    }
}

TEST(ControllingStation, PollCycleBelongsToTheChannelNotToEachStation) {
    LinkRig r({1, 2, 3, 4});
    r.com[0].bp.zztpoll = 540; // ten ticks
    r.Open();
    Bytes p = r.BringUp();
    // Every poll is answered at once; note when each station is polled.
    std::vector<std::vector<uint32_t>> at(5);
    at[1].push_back(r.av.Tick);
    r.Answer(Fixed(0x09, 1));
    for (int t = 0; t < 400; ++t) {
        r.Tick();
        for (const Bytes& f : r.TakeSent()) {
            ASSERT_EQ(f.size(), 5u);
            ASSERT_TRUE((f[1] & 0x0F) == 0x0B || (f[1] & 0x0F) == 0x0A);
            at[f[2]].push_back(r.av.Tick);
            r.Answer(Fixed(0x09, f[2]));
            for (const Bytes& g : r.TakeSent()) {
                at[g[2]].push_back(r.av.Tick);
                r.Answer(Fixed(0x09, g[2]));
            }
        }
    }
    for (int la = 1; la <= 4; ++la) {
        ASSERT_GE(at[la].size(), 8u) << la;
        for (size_t i = 1; i < at[la].size(); ++i)
            EXPECT_EQ(at[la][i] - at[la][i - 1], 40u) << "station " << la << " poll " << i;
    }
}

TEST(ControllingStation, NegativeAcknowledgementPausesTheChannelThenAsksForTheStatus) {
    LinkRig r;
    r.com[0].bp.zztl = 2; // 2 s = 37 ticks
    r.Open();
    r.EstablishLink(1);
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    r.Answer(Fixed(0x01, 1)); // NACK
    EXPECT_EQ(r.com[0].se.lks, static_cast<uint8_t>(ControllingState::Pause));
    uint32_t from = r.av.Tick;
    s = r.TickUntilSent(100);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x49, 1));
    EXPECT_EQ(r.av.Tick - from, r.svc.SecondsToTicks(2) + 1);
    // Data flow control pauses the same way.
    r.Answer(Fixed(0x0B, 1));
    s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    r.Answer(Fixed(0x19, 1)); // no data with DFC
    EXPECT_EQ(r.com[0].se.lks, static_cast<uint8_t>(ControllingState::Pause));
    EXPECT_EQ(r.logged.back().stat, ST_DFC_IN_RESPONSE);
}

TEST(ControllingStation, UnexpectedFramesAreMarkedAndChangeNothing) {
    LinkRig r;
    r.com[0].bp.zztpoll = 5400; // a hundred ticks between polls
    r.Open();
    r.EstablishLink(1);
    // A frame during the own send delay.
    r.com[0].bp.sverz = 200;
    r.Tick();
    ASSERT_EQ(r.com[0].se.Stat, SS_SEND_DELAY);
    EXPECT_TRUE(r.TakeSent().empty());
    r.Answer(Fixed(0x09, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_BUSY);
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x7B, 1)) << "the poll goes out after the delay, unchanged";
    // A primary frame is never an answer.
    r.com[0].bp.sverz = 0;
    r.Answer(Fixed(0x7B, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_UNEXPECTED);
    r.Answer(Fixed(0x09, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_OK);
    // Nothing is awaited now (the next poll is not due): a response is unexpected.
    EXPECT_TRUE(r.TakeSent().empty());
    r.Answer(Fixed(0x09, 1));
    EXPECT_EQ(r.LastReceived().stat, ST_UNEXPECTED);
    EXPECT_EQ(r.com[0].se.lks, static_cast<uint8_t>(ControllingState::Ready));
}

TEST(ControllingStation, UserDataOfASourceGoesToItsStationAndWaitsForTheConfirmation) {
    LinkRig r({1, 2});
    OneTelegram src;
    src.station = 1;
    src.left = 0;
    r.sources.Add(&src);
    r.Open();
    r.BringUp();
    src.left = 1;
    r.Answer(Fixed(0x09, 1));
    std::vector<Bytes> s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    ASSERT_EQ(s[0][0], 0x68);
    EXPECT_EQ(s[0][4] & 0x5F, 0x53) << "user data with confirmation";
    EXPECT_EQ(s[0][5], 2);
    EXPECT_EQ(r.com[0].se.lks, static_cast<uint8_t>(ControllingState::AwaitAnswer));
    r.Answer(kE5); // a positive acknowledgement
    s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][2], 1) << "confirmed: the next station's turn";
    // Link test switch 9: nothing is taken from the sources.
    src.left = 1;
    r.com[0].se.lt[LT_NO_USER_DATA] = true;
    r.Answer(Fixed(0x09, 1));
    s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].size(), 5u);
    EXPECT_EQ(src.left, 1);
}

TEST(ControllingStation, LinkTestSwitchEightSendsUserDataDuringThePause) {
    LinkRig r;
    OneTelegram src;
    src.left = 0;
    r.sources.Add(&src);
    r.Open();
    r.BringUp();
    r.Answer(Fixed(0x01, 1)); // NACK: pause
    r.com[0].se.lt[LT_DATA_BEFORE_LINK] = true;
    src.left = 1;
    std::vector<Bytes> s = r.TickUntilSent(3);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][0], 0x68);
    EXPECT_EQ(r.com[0].se.lks, static_cast<uint8_t>(ControllingState::AwaitAnswer));
}

TEST(ControllingStation, AStationThatAnswersAmissDoesNotHoldUpTheOthers) {
    LinkRig r({1, 2});
    r.Open();
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x49, 1));
    // An acknowledgement where the status of link is due ends station 1's turn.
    r.Answer(Fixed(0x00, 1));
    s = r.TakeSent();
    if (s.empty()) s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x49, 2));
    // A negative acknowledgement of the reset ends station 2's turn; its link stays down.
    r.Answer(Fixed(0x0B, 2));
    s = r.TakeSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x40, 2));
    r.Answer(Fixed(0x01, 2));
    s = r.TakeSent();
    if (s.empty()) s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0], Fixed(0x49, 1));
    EXPECT_TRUE(r.Logged(ST_LINK_UP).empty());
    EXPECT_EQ(r.com[0].se.uslstat & 3, 3);
}

TEST(ControllingStation, SendNowWaitsForTheOutstandingAnswer) {
    LinkRig r;
    OneTelegram src;
    src.left = 0;
    src.station = 0;
    r.sources.Add(&src);
    r.com[0].bp.zztpoll = 5400;
    r.Open();
    Bytes poll = r.BringUp();
    // A poll is out; the user asks to send now.
    src.left = 1;
    r.com[0].se.sofse = true;
    r.Tick();
    EXPECT_TRUE(r.TakeSent().empty()) << "the poll's answer is awaited first";
    r.Answer(Fixed(0x09, 1));
    std::vector<Bytes> s = r.TakeSent();
    if (s.empty()) s = r.TickUntilSent(2);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0][0], 0x68);
    EXPECT_FALSE(r.com[0].se.sofse);
    (void)poll;
}
