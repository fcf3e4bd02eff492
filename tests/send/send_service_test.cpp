// The send telegrams served by the controlling station and asked directly, on the fake clock:
// repetitions and pauses, the triggers, the request checks and the classes of the controlled
// station.
#include "send/send_service.h"

#include "send/sete_encoder.h"
#include "send_rig.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

const Bytes kInterrogation = Hex("64 01 06 01 00 00 00 00 14"); // to common address 1

// The ASDU of a user data frame (from the type octet on, without checksum and end).
Bytes Asdu(const Bytes& f) {
    return Bytes(f.begin() + 6, f.end() - 2);
}

// A class 2 response of station 1 with a measured value (short float) of common address ca.
Bytes MeasuredValue(uint16_t ca, uint8_t cause = 3) {
    return Variable(0x08, 1,
                    {13, 1, cause, static_cast<uint8_t>(ca), static_cast<uint8_t>(ca >> 8), 5, 0, 0,
                     0, 0, 0x80, 0x3F, 0});
}

} // namespace

TEST(SendService, WithoutEndRepeatsUntilStoppedAndOnceSendsOnce) {
    SendRig r;
    r.Open();
    r.BringUp();
    r.Answer(Fixed(0x09, 1)); // no data
    r.Interrogation(1, 1, 0); // anzt 0: without end
    r.av.online = true;
    ASSERT_EQ(r.tel.RequestSend(1), RequestResult::Requested);
    std::vector<Bytes> data = r.PlayStation(40);
    ASSERT_GE(data.size(), 5u);
    for (const Bytes& f : data) EXPECT_EQ(Asdu(f), kInterrogation);
    r.tel.StopAll();
    EXPECT_FALSE(r.tel.AnyActive());
    r.PlayStation(5); // the one still out is confirmed
    EXPECT_TRUE(r.PlayStation(40).empty());

    r.Interrogation(2, 1, 1);
    ASSERT_EQ(r.tel.RequestSend(2), RequestResult::Requested);
    EXPECT_EQ(r.PlayStation(40).size(), 1u);
    EXPECT_FALSE(r.tel.Active(2));
}

TEST(SendService, NoPauseSendsAtTheNextOpportunitiesAndAPauseWaits) {
    SendRig r;
    r.Open();
    r.BringUp();
    r.av.online = true;
    r.Interrogation(3, 1, 3, 0);
    ASSERT_EQ(r.tel.RequestSend(3), RequestResult::Requested);
    r.Answer(Fixed(0x09, 1)); // no data
    // Three frames at three opportunities: each right after the confirmation of the last.
    std::vector<Bytes> frames;
    for (int i = 0; i < 60 && frames.size() < 6; ++i) {
        r.Tick();
        for (const Bytes& f : r.TakeSent()) {
            frames.push_back(f);
            r.Answer(f[0] == 0x68 ? Fixed(0x00, 1) : Fixed(0x09, 1));
        }
    }
    ASSERT_GE(frames.size(), 4u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(frames[static_cast<size_t>(k)][0], 0x68) << k;
    EXPECT_EQ(frames[3][0], 0x10); // then polling again
    EXPECT_FALSE(r.tel.Active(3));

    // With a pause of 1 s the next transmission waits about 19 ticks of 54 ms.
    r.Interrogation(4, 1, 2, 1000);
    ASSERT_EQ(r.tel.RequestSend(4), RequestResult::Requested);
    std::vector<uint32_t> at;
    for (int i = 0; i < 80; ++i) {
        r.Tick();
        for (const Bytes& f : r.TakeSent()) {
            if (f[0] == 0x68) at.push_back(r.av.Tick);
            r.Answer(f[0] == 0x68 ? Fixed(0x00, 1) : Fixed(0x09, 1));
        }
    }
    ASSERT_EQ(at.size(), 2u);
    EXPECT_GE(at[1] - at[0], r.svc.MsToTicks(1000));
    EXPECT_LE(at[1] - at[0], r.svc.MsToTicks(1000) + 2);
}

TEST(SendService, MinuteTriggers) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MASTER;
    r.com[1].bp.fkt = FKT_MONITOR;
    struct Row {
        int anst, minute, snr;
        std::vector<int> fires; // minutes of an hour that request it
    } rows[] = {
        {ANST_EVERY_MINUTES, 0, 2, {}}, // every minute (filled below)
        {ANST_EVERY_MINUTES, 15, 2, {0, 15, 30, 45}},
        {ANST_MINUTE, 59, 2, {59}},
        {ANST_MINUTE, 0, 4, {}}, // a monitoring channel never sends by the clock
        {ANST_OPERATOR, 0, 2, {}},
    };
    for (int m = 0; m < 60; ++m) rows[0].fires.push_back(m);
    for (const Row& row : rows) {
        T_SeTe& t = r.T(1);
        t.anst = row.anst;
        t.minute = static_cast<uint16_t>(row.minute);
        t.snr = row.snr;
        std::vector<int> fired;
        for (int m = 0; m < 60; ++m) {
            t.stat = SS_TE_IDLE;
            r.tel.FireMinute(m);
            if (t.stat == SS_TE_REQUESTED) fired.push_back(m);
        }
        EXPECT_EQ(fired, row.fires) << row.anst << " " << row.minute << " " << row.snr;
    }
    // Stopping switches the minute service off unless a telegram is time-triggered.
    r.av.anstzeit = true;
    r.T(1).anst = ANST_OPERATOR;
    r.tel.StopAll();
    EXPECT_FALSE(r.av.anstzeit);
    r.T(5).anst = ANST_EVERY_MINUTES;
    r.tel.StopAll();
    EXPECT_TRUE(r.av.anstzeit);
}

TEST(SendService, ReceivedTypeTriggersOncePerFrame) {
    SendRig r;
    r.env.hooks.userData = [&](T_ComVar& c) { r.tel.FireOnReceive(c, c.em.te); };
    r.Open();
    Bytes poll = r.BringUp();
    r.av.online = true;
    T_SeTe& t = r.Interrogation(1);
    t.anst = ANST_TYPE;
    t.typn = 13;
    int sent = 0;
    for (int k = 0; k < 3; ++k) {
        // Answer the next class 2 poll with a measured value: the telegram goes out once.
        if (k > 0) {
            for (int i = 0; i < 40 && poll.empty(); ++i) {
                r.Tick();
                for (const Bytes& f : r.TakeSent()) {
                    if (f[0] == 0x68) {
                        ++sent;
                        r.Answer(Fixed(0x00, 1));
                    } else {
                        poll = f;
                    }
                }
            }
        }
        ASSERT_FALSE(poll.empty());
        poll.clear();
        r.Answer(MeasuredValue(1));
    }
    for (const Bytes& f : r.PlayStation(20)) {
        EXPECT_EQ(Asdu(f), kInterrogation);
        ++sent;
    }
    EXPECT_EQ(sent, 3);
}

TEST(SendService, ReceivedTypeRules) {
    SendRig r;
    r.Open();
    T_SeTe& t = r.T(1);
    t.anst = ANST_TYPE;
    t.la = 1;
    t.ca = 1;
    struct Row {
        int typn;
        Bytes frame;
        bool fires;
    } rows[] = {
        {13, MeasuredValue(1), true},
        {13, MeasuredValue(2), false},     // another common address
        {13, MeasuredValue(0xFFFF), true}, // broadcast common address
        {1, MeasuredValue(1), false},      // another type
        {45, Variable(0x53, 1, Hex("2D 01 06 01 00 01 00 00 01")), true},
        {45, Variable(0x53, 1, Hex("2D 01 07 01 00 01 00 00 01")), false}, // no activation
        {45, Variable(0x53, 2, Hex("2D 01 06 01 00 01 00 00 01")), false}, // other station
        {45, Variable(0x53, 0xFF, Hex("2D 01 08 01 00 01 00 00 01")), true},
    };
    for (const Row& row : rows) {
        t.typn = static_cast<uint16_t>(row.typn);
        t.stat = SS_TE_IDLE;
        T_Telegramm te = Record(row.frame);
        te.stat = ST_OK;
        te.la = te.b[5];
        te.typ = te.b[6];
        te.urs = te.b[8];
        te.ca = static_cast<uint16_t>(te.b[9] | te.b[10] << 8);
        r.tel.FireOnReceive(r.com[0], te);
        EXPECT_EQ(t.stat == SS_TE_REQUESTED, row.fires) << ToHex(row.frame);
        // A frame received on the other channel never fires.
        t.stat = SS_TE_IDLE;
        r.tel.FireOnReceive(r.com[1], te);
        EXPECT_EQ(t.stat, SS_TE_IDLE);
    }
    // 256: any variable frame; 257 + n: a frame of function code n.
    struct FrameRow {
        int typn;
        Bytes frame;
        bool fires;
    } frames[] = {{256, MeasuredValue(1), true},
                  {256, Fixed(0x0B, 1), false},
                  {257 + 11, Fixed(0x0B, 1), true},
                  {257 + 9, Fixed(0x0B, 1), false},
                  {257 + 8, MeasuredValue(1), true}};
    for (const FrameRow& row : frames) {
        t.typn = static_cast<uint16_t>(row.typn);
        t.stat = SS_TE_IDLE;
        T_Telegramm te = Record(row.frame);
        te.stat = ST_OK;
        te.lc = row.frame[0] == 0x68 ? row.frame[4] : row.frame[1];
        te.la = 1;
        r.tel.FireOnFrame(r.com[0], te);
        EXPECT_EQ(t.stat == SS_TE_REQUESTED, row.fires) << row.typn;
    }
}

TEST(SendService, LinkEstablishedTriggersTheTelegramOfThatStation) {
    SendRig r({1, 2});
    r.env.hooks.linkEvent = [&](T_ComVar& c, uint8_t ev, uint16_t la) {
        if (ev == ST_LINK_UP) r.tel.FireEvent(c, ANST_LINK_UP, la);
    };
    r.Open();
    T_SeTe& t = r.Interrogation(1, 2);
    t.anst = ANST_LINK_UP;
    std::vector<Bytes> data = r.PlayStation(60);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0][5], 2);
    EXPECT_EQ(Asdu(data[0]), Hex("64 01 06 02 00 00 00 00 14"));
}

TEST(SendService, RequestChecksInTheirOrder) {
    SendRig r;
    r.Interrogation(1);
    // Offline.
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Refused);
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0], "offline");
    r.av.online = true;
    // The channel has no port.
    r.com[0].bp.cnr = 0;
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Refused);
    EXPECT_EQ(r.msg.errors.back(), "channel 1 has no port");
    r.com[0].bp.cnr = 1;
    r.Open();
    // The station's link is down: asked; No declines, Yes requests and sends at once.
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Declined);
    EXPECT_EQ(r.msg.questions.size(), 1u);
    EXPECT_FALSE(r.tel.Active(1));
    r.msg.answers.push_back(Answer::Yes);
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Requested);
    EXPECT_TRUE(r.com[0].se.sofse);
    std::vector<Bytes> s = r.TickUntilSent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(Asdu(s[0]), kInterrogation);
    // Link test switch 9: no user data.
    r.com[0].se.uslstat = 0;
    r.com[0].se.lt[LT_NO_USER_DATA] = true;
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Refused);
    EXPECT_EQ(r.msg.errors.back(), "switch 9");
    r.com[0].se.lt[LT_NO_USER_DATA] = false;
    // A raw telegram longer than a frame is refused before it is requested.
    T_SeTe& raw = r.T(2);
    raw.typ = PT_ASDU;
    raw.lg = 260;
    EXPECT_EQ(r.tel.RequestSend(2), RequestResult::Refused);
    EXPECT_EQ(r.msg.errors.back(), "telegram 2: 268 octets");
    EXPECT_FALSE(r.tel.Active(2));
    // A type without an element encoding goes as a raw telegram; a file transfer type within a
    // transfer only.
    raw.lg = 0;
    for (auto [typ, said] : {std::pair{61, "telegram 2: type 61 raw"},
                             std::pair{121, "telegram 2: type 121"}}) {
        raw.typ = static_cast<uint8_t>(typ);
        EXPECT_EQ(r.tel.RequestSend(2), RequestResult::Refused) << typ;
        EXPECT_EQ(r.msg.errors.back(), said);
    }
    EXPECT_EQ(r.tel.RequestSend(1), RequestResult::Requested);
}

TEST(SendService, ControlledStationOffersClassOneAndClassTwoApart) {
    SendRig r;
    r.com[0].bp.fkt = FKT_SLAVE;
    r.com[0].bp.la.anz = 2;
    r.com[0].bp.la.a[1] = 2;
    r.com[0].bp.la.a[2] = 0xFF;
    r.Open();
    T_ComVar& c = r.com[0];
    T_SeTe& c2 = r.Interrogation(1, 1);
    c2.klasse = 2;
    T_SeTe& c1 = r.Interrogation(2, 2);
    c1.klasse = 1;
    c1.typ = 45;
    c1.inf.l = 1;
    c2.stat = c1.stat = SS_TE_REQUESTED;
    // Any station: class 1 comes first, for its own station.
    ReadyData any = r.tel.Ready(c, -1);
    EXPECT_EQ(any.cls, DATA_CLASS1);
    EXPECT_EQ(any.station, 1);
    // Station 1 has class 2 data only; station 2 class 1 data.
    EXPECT_EQ(r.tel.ReadyOf(c, 0, DATA_CLASS1).cls, DATA_NONE);
    EXPECT_EQ(r.tel.ReadyOf(c, 0, DATA_CLASS2).cls, DATA_CLASS2);
    EXPECT_EQ(r.tel.ReadyOf(c, 1, DATA_CLASS1).cls, DATA_CLASS1);
    // Building class 2 for station 1 takes the interrogation, not the command.
    c.se.usi = 0;
    ASSERT_TRUE(r.tel.BuildOf(c, 0, DATA_CLASS2));
    EXPECT_EQ(c.se.te.b[6], 100);
    EXPECT_FALSE(r.tel.Active(1));
    EXPECT_TRUE(r.tel.Active(2));
    // Link test switch 9 holds all user data back.
    c.se.lt[LT_NO_USER_DATA] = true;
    EXPECT_EQ(r.tel.Ready(c, -1).cls, DATA_NONE);
}
