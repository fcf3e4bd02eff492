// The modem dialogue of channel 1 (the controlling station) against a modem played as text
// lines, on the fake clock: commands, the connect message in one or two lines, an incoming
// call, the end of a connection by its idle time, its maximum time and the user, the DTR
// pulse and the modem check box.
#include "link/modem.h"

#include "core/modem_file.h"
#include "link/link_rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vdl;
using namespace vdl::test;

namespace {

constexpr uint8_t kDialogue = static_cast<uint8_t>(ModemState::Dialogue);
constexpr uint8_t kConnecting = static_cast<uint8_t>(ModemState::Connecting);
constexpr uint8_t kHangingUp = static_cast<uint8_t>(ModemState::HangingUp);
constexpr uint8_t kDtrPulse = static_cast<uint8_t>(ModemState::DtrPulse);

struct ModemRig : LinkRig {
    explicit ModemRig(const std::string& connect = "CONNECT") {
        T_Modem& m = com[0].wm;
        m = DefaultModem();
        m.vorh = 1;
        m.connect.set(connect);
        m.link = 2;    // 37 ticks
        m.dauer = 100; // 1847 ticks
    }
    uint8_t Lks() const { return com[0].se.lks; }
    // The modem writes a piece of text.
    void Modem(const std::string& s) {
        port[0].Receive(Bytes(s.begin(), s.end()));
        RunPending();
    }
    // What channel 1 wrote since the last call, as text.
    std::string Written() {
        std::string s;
        for (const Bytes& f : TakeSent()) s.append(f.begin(), f.end());
        return s;
    }
    // The messages (stat 52) logged, by their text.
    int Said(int text) const {
        int n = 0;
        for (const T_Telegramm& t : logged)
            if (t.stat == ST_MESSAGE_TEXT && t.s0() == texts.tx(text)) ++n;
        return n;
    }
    // Ticks until the message has been said n times; the ticks it took (-1: not within max).
    int TicksUntilSaid(int text, int n, int max) {
        for (int i = 0; i < max; ++i) {
            if (Said(text) >= n) return i;
            Tick();
        }
        return Said(text) >= n ? max : -1;
    }
    // Connects and waits for the link procedure to start (its status request is taken).
    void Connect() {
        Modem("\r\nCONNECT 9600\r\n");
        ASSERT_EQ(Lks(), kConnecting);
        ASSERT_GE(TicksUntilSaid(2003, Said(2003) + 1, 40), 17);
        ASSERT_EQ(Lks(), 1);
    }
    // The far station answers every request (correct frames) for a number of ticks or until
    // the connection ends; the ticks played.
    int PlayStation(int ticks) {
        int i = 0;
        for (; i < ticks && !InModemState(Lks()); ++i) {
            Tick();
            for (const Bytes& f : TakeSent()) {
                if (f.size() < 5 || f[0] != 0x10) continue;
                const uint8_t fc = f[1] & 0x0F;
                Answer(Fixed(fc == 9 ? 0x0B : (fc == 0 ? 0x00 : 0x09), f[2]));
            }
        }
        return i;
    }
};

} // namespace

TEST(Modem, CommandsGoOutAsLinesAndTheConnectMessageStartsTheLinkProcedure) {
    ModemRig r;
    EXPECT_EQ(ModemStatusText(false, r.com[0]), 1987);
    r.Open();
    EXPECT_EQ(r.Lks(), kDialogue);
    EXPECT_EQ(ModemStatusText(true, r.com[0]), 1988);
    r.Tick();
    EXPECT_EQ(r.Said(2002), 1); // waiting, said again every minute
    EXPECT_EQ(r.TicksUntilSaid(2002, 2, 1200), 1108);

    ASSERT_TRUE(SendTextLine(r.com[0], r.env, "ATD123"));
    EXPECT_EQ(r.Written(), "ATD123\r\n");
    // Echo and answer are logged as text lines; nothing is sent back.
    r.Modem("ATD123\r\n");
    r.Ticks(3);
    EXPECT_EQ(r.Lks(), kDialogue);
    const T_Telegramm& echo = r.LastReceived();
    EXPECT_EQ(echo.stat, ST_TEXT_LINE);
    EXPECT_EQ(echo.ta, TA_TEXT);
    EXPECT_EQ(std::string(echo.b, echo.b + echo.lg), "ATD123\r\n");

    r.Connect();
    EXPECT_EQ(ModemStatusText(true, r.com[0]), 1989);
    EXPECT_EQ(r.com[0].em.tlg, 16); // frames again, no longer lines of 32
    // The controlling station starts with its status request.
    EXPECT_EQ(r.TickUntilSent(), std::vector<Bytes>{Fixed(0x49, 1)});
}

TEST(Modem, AConnectMessageInTwoLinesCountsWhenTheSecondFollowsClosely) {
    // At 9600 bit/s the receive time-out is 373 ms: a piece without a line end is closed as a
    // line after it (on the 8th tick of 54 ms), and a line that comes within it after the
    // previous line continues the text.
    struct Row {
        std::string connect, first;
        int gapTicks;
        std::string second;
        bool connected;
    } rows[] = {
        {"CONNECT", "\r\nCONNECT 9600\r\n", 0, "", true},
        {"CONNECT", "\r\nCONN", 4, "ECT 9600\r\n", true},   // one line
        {"CONNECT", "\r\nCONN", 9, "ECT 9600\r\n", true},   // two lines, 54 ms apart
        {"CONNECT", "\r\nCONN", 13, "ECT 9600\r\n", true},  // 324 ms apart
        {"CONNECT", "\r\nCONN", 16, "ECT 9600\r\n", false}, // 486 ms apart
        // A line is closed at 32 octets; the rest of the block follows at once.
        {"CONNECT 9600", "ATDT00493012345678901\r\r\nCONNECT 9600\r\n", 0, "", true},
        {"connect", "\r\nCONNECT\r\n", 0, "", true},
        // CONNECT and 9600 on two lines: the line end counts as a blank.
        {"CONNECT 9600", "\r\nCONNECT\r\n9600\r\n", 0, "", true},
        {"CONNECT 9600", "\r\nCONNECT\r\n", 2, "9600\r\n", true},
        {"CONNECT 9600", "\r\nCONNECT\r\n", 0, "", false},
        {"CONNECT 9600", "\r\nCONNECT 14400\r\n", 0, "", false},
        {"CONNECT", "\r\nNO CARRIER\r\n", 0, "", false},
        {"", "\r\nCONNECT\r\n", 0, "", false},
    };
    for (const Row& row : rows) {
        ModemRig r(row.connect);
        r.Open();
        r.Tick();
        r.Modem(row.first);
        r.Ticks(row.gapTicks);
        if (!row.second.empty()) {
            EXPECT_EQ(r.Lks(), kDialogue) << row.first << "|" << row.second;
            r.Modem(row.second);
        }
        std::string lines;
        for (const T_Telegramm& t : r.Logged(ST_TEXT_LINE))
            lines += "[" + std::string(t.b, t.b + t.lg) + "]";
        EXPECT_EQ(r.Lks(), row.connected ? kConnecting : kDialogue)
            << row.connect << ": " << row.first << "|" << row.second << " lines " << lines;
    }
}

TEST(Modem, AnIncomingCallIsAnswered) {
    ModemRig r;
    r.Open();
    r.Tick();
    r.Modem("\r\nRING\r\n");
    EXPECT_EQ(r.Written(), "ATA\r\n");
    const std::vector<T_Telegramm> lines = r.Logged(ST_TEXT_LINE);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].ek, EK_RX1);
    EXPECT_EQ(lines[1].ek, EK_TX1);
    // A second ring later is answered again; the modem then connects.
    r.Ticks(60);
    r.Modem("\r\nRING\r\n");
    EXPECT_EQ(r.Written(), "ATA\r\n");
    // Without automatic answer a ring goes unanswered.
    r.com[0].wm.ata = 0;
    r.Ticks(60);
    r.Modem("\r\nRING\r\n");
    EXPECT_EQ(r.Written(), "");
    r.com[0].wm.ata = 1;
    r.Connect();
    // A line with a line error is logged as such.
    r.Ticks(3);
    ResetLinkState(r.com[0], r.env); // back to the dialogue (the check box does the same)
    r.port[0].errorsPerRead.push_back(LE_OVERRUN);
    r.Modem("\r\nOK");
    EXPECT_EQ(r.LastReceived().stat, ST_LINE_ERROR);
    EXPECT_EQ(r.LastReceived().ta, TA_VARIABLE);
}

TEST(Modem, AnIdleConnectionHangsUpWithTheEscapeAndAgainNextTime) {
    ModemRig r;
    r.Open();
    for (int call = 1; call <= 2; ++call) {
        r.Connect();
        // The station never answers: after the idle time of 2 s (37 ticks) the line is
        // dropped, though the controlling station repeats its requests meanwhile.
        const int idle = r.TicksUntilSaid(2007, call, 100);
        EXPECT_GE(idle, 36) << call;
        EXPECT_LE(idle, 38) << call;
        EXPECT_EQ(r.Lks(), kHangingUp);
        r.Written();
        // The escape 21 ticks into the hang-up (the first was the tick that began it), alone;
        // the rest of the hang-up string 21 ticks later, and the dialogue is back.
        r.Ticks(19);
        EXPECT_EQ(r.Written(), "") << call;
        r.Tick();
        EXPECT_EQ(r.Written(), "+++") << call;
        r.Ticks(20);
        EXPECT_EQ(r.Written(), "");
        EXPECT_EQ(r.Lks(), kHangingUp);
        r.Tick();
        EXPECT_EQ(r.Written(), "ATH\r\n") << call;
        EXPECT_EQ(r.Lks(), kDialogue) << call;
        r.Tick();
        EXPECT_EQ(r.Said(2002), call); // the dialogue says at once that it waits
        r.Modem("\r\nOK\r\n");
    }
    EXPECT_EQ(r.Said(2006), 0);
}

TEST(Modem, CorrectFramesKeepTheConnectionUpToItsMaximumTime) {
    ModemRig r;
    r.com[0].wm.dauer = 10; // 185 ticks
    r.Open();
    r.Connect();
    // Every answer runs the tick procedure at once as well; the time counts ticks only.
    const int played = r.PlayStation(400);
    EXPECT_GE(played, 184);
    EXPECT_LE(played, 186);
    EXPECT_EQ(r.Said(2007), 0) << "the station answered all the time";
    ASSERT_EQ(r.Said(2006), 1);
    EXPECT_EQ(r.Lks(), kHangingUp);
    EXPECT_GE(r.Logged(ST_OK).size(), 100u);
    r.Ticks(42);
    EXPECT_EQ(r.Lks(), kDialogue);
}

TEST(Modem, TheUserHangsUpOrPulsesDtr) {
    ModemRig r;
    // Neither acts while recording is stopped.
    EXPECT_FALSE(ModemHangUp(r.com[0], r.env));
    EXPECT_FALSE(ModemDtrPulse(r.com[0], r.env));
    EXPECT_EQ(r.msg.errors.size(), 2u);
    r.Open();
    r.Connect();
    ASSERT_TRUE(ModemHangUp(r.com[0], r.env));
    EXPECT_EQ(r.Said(2005), 1);
    EXPECT_EQ(r.Lks(), kHangingUp);
    r.Ticks(42);
    EXPECT_EQ(r.Lks(), kDialogue);

    // DTR is inverted for 21 ticks, then set back.
    r.Connect();
    const std::vector<bool> before = r.port[0].dtrLog;
    ASSERT_FALSE(before.empty());
    const bool idle = before.back();
    ASSERT_TRUE(ModemDtrPulse(r.com[0], r.env));
    EXPECT_EQ(r.Lks(), kDtrPulse);
    ASSERT_EQ(r.port[0].dtrLog.size(), before.size() + 1);
    EXPECT_EQ(r.port[0].dtrLog.back(), !idle);
    r.Ticks(20);
    EXPECT_EQ(r.port[0].dtrLog.size(), before.size() + 1);
    EXPECT_EQ(r.Said(2004), 0);
    r.Tick();
    ASSERT_EQ(r.port[0].dtrLog.size(), before.size() + 2);
    EXPECT_EQ(r.port[0].dtrLog.back(), idle);
    EXPECT_EQ(r.Said(2004), 1);
    EXPECT_EQ(r.Lks(), kDialogue);
    // The connection's time-outs ended with it.
    r.Ticks(400);
    EXPECT_EQ(r.Said(2006) + r.Said(2007), 0);
}

TEST(Modem, TheCheckBoxResetsTheLinkStateAtOnce) {
    ModemRig r;
    r.Open();
    r.Connect();
    SetModemUsed(r.com[0], r.env, false);
    EXPECT_EQ(r.Lks(), 1);
    SetModemUsed(r.com[0], r.env, true);
    EXPECT_EQ(r.Lks(), kDialogue);
    EXPECT_EQ(r.com[0].em.tlg, kModemLineMax);
    // Without a modem the controlling station works from its first state.
    SetModemUsed(r.com[0], r.env, false);
    EXPECT_EQ(r.Lks(), 1);
    EXPECT_EQ(r.com[0].em.tlg, 16);
    EXPECT_EQ(r.TickUntilSent(), std::vector<Bytes>{Fixed(0x49, 1)});
    r.Ticks(100);
    EXPECT_EQ(r.Said(2007), 0);
}

TEST(Modem, ACommandDuringASendSequenceLeavesTheFrameAlone) {
    ModemRig r;
    r.com[0].wm.vorh = 0;
    r.com[0].bp.sverz = 200; // the status request waits in its send delay
    r.Open();
    r.Tick();
    ASSERT_NE(r.com[0].se.Stat, SS_IDLE);
    ASSERT_TRUE(SendTextLine(r.com[0], r.env, "AT"));
    EXPECT_EQ(r.Written(), "AT\r\n");
    r.Ticks(10);
    EXPECT_EQ(r.TakeSent(), std::vector<Bytes>{Fixed(0x49, 1)});
}
