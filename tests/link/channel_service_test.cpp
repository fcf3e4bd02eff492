#include "link/channel_service.h"
#include "link/port_list.h"

#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Rig {
    T_ComVar com[2];
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    TextTable texts;
    FakeClock clock;
    FakeLinkPlatform plat{clock};
    FakeMessages msg;
    FakePort port[2];
    ChannelService svc{com, av, ap, texts, clock, plat, msg};

    struct Block {
        int channel;
        std::vector<uint8_t> bytes;
        uint16_t fehl;
        uint16_t anz;
    };
    std::vector<Block> blocks;
    std::vector<T_Telegramm> logged;
    std::vector<std::pair<T_LedVar*, bool>> lamps;
    int idleRuns[2] = {0, 0};

    std::vector<int> lineChanges;

    Rig() {
        std::string t;
        for (int n = 0; n < 2200; ++n) {
            char buf[64];
            if (n == kTxPortOpenFails)
                std::snprintf(buf, sizeof buf, "%04d  %%s cannot be opened: %%s;\n", n);
            else if (n == kTxLineLost)
                std::snprintf(buf, sizeof buf, "%04d  Line lost on %%s: %%s;\n", n);
            else if (n == 1137)
                std::snprintf(buf, sizeof buf, "%04d  No channel has a port;\n", n);
            else if (n == kTxPortFault + static_cast<int>(PortFault::NoDevice))
                std::snprintf(buf, sizeof buf, "%04d  No such device;\n", n);
            else if (n > kTxPortFault && n < 2190)
                std::snprintf(buf, sizeof buf, "%04d  ;\n", n); // the system's words
            else
                std::snprintf(buf, sizeof buf, "%04d  t%d;\n", n, n);
            t += buf;
        }
        texts.LoadBytes(t, "texts");
        InitChannelRecords(com[0], com[1]);
        com[0].bp.cnr = 1;
        com[1].bp.cnr = 2;
        svc.BindPort(0, &port[0]);
        svc.BindPort(1, &port[1]);
        svc.hooks.receiveBlock = [this](T_ComVar& c, const uint8_t* b, int n) {
            blocks.push_back(
                {&c == &com[0] ? 0 : 1, std::vector<uint8_t>(b, b + n), c.em.fehl, c.em.anz});
        };
        svc.hooks.log = [this](T_Telegramm& t) { logged.push_back(t); };
        svc.hooks.counters = [](const T_ComVar& c) {
            return std::array<int32_t, 4>{10 * c.em.enr, 1, 20, 2};
        };
        svc.hooks.lamp = [this](T_LedVar& l, bool lit) { lamps.push_back({&l, lit}); };
        svc.hooks.idleWork = [this](T_ComVar& c) { ++idleRuns[&c == &com[0] ? 0 : 1]; };
        svc.hooks.portName = [](int n) { return "/dev/tty" + std::to_string(n); };
        svc.hooks.lineChanged = [this](int i) { lineChanges.push_back(i); };
    }
    // Runs the 54 ms timer until channel i's port has been opened `opens` times; returns the
    // tick of that opening, or 0 when the ticks ran out.
    uint32_t TickOfOpening(int i, int opens, uint32_t limit = 1000) {
        for (uint32_t k = 0; k < limit; ++k, ++av.Tick) {
            svc.TimerTick();
            if (port[i].opens >= opens) return av.Tick++;
        }
        return 0;
    }
};

} // namespace

TEST(ChannelService, OpenSetsTheLineAndLogsTheOpening) {
    Rig r;
    r.com[0].bp.baud = 19200;
    r.com[0].bp.pari = PAR_ODD;
    r.com[0].bp.rts = 2; // RTS on while sending: idle off, each switch logged
    r.com[0].bp.logtxt.set("line A");
    r.svc.OpenChannel(0);
    EXPECT_TRUE(r.com[0].se.open);
    EXPECT_EQ(r.port[0].number, 1);
    EXPECT_EQ(r.port[0].baud, 19200);
    EXPECT_EQ(r.port[0].parity, PAR_ODD);
    EXPECT_FALSE(r.port[0].rts);
    EXPECT_TRUE(r.port[0].dtr);
    EXPECT_EQ(r.com[0].em.TOut, 337u); // the channel was initialised for 19200 bit/s
    ASSERT_EQ(r.logged.size(), 3u);
    EXPECT_EQ(r.logged[0].stat, ST_RTS);
    EXPECT_EQ(r.logged[0].la, 0);
    EXPECT_EQ(r.logged[0].ta, TA_FIXED);
    EXPECT_EQ(r.logged[0].ek, 2);
    const T_Telegramm& open = r.logged[1];
    EXPECT_EQ(open.stat, ST_CHANNEL_OPEN);
    EXPECT_EQ(open.ta, TA_INTERNAL);
    EXPECT_EQ(open.ek, 1); // the receive number
    EXPECT_EQ(open.la, 1);
    // The seven integers, then the device.
    EXPECT_EQ(open.lg, 28 + 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(open.b + 28), 9), "/dev/tty1");
    int32_t v[7];
    std::memcpy(v, open.b, sizeof v);
    EXPECT_EQ(v[0], 10);
    EXPECT_EQ(v[3], 2);
    EXPECT_EQ(v[4], r.com[0].bp.fkt);
    EXPECT_EQ(v[5], 19200);
    EXPECT_EQ(v[6], r.com[0].bp.pro);
    EXPECT_EQ(r.logged[2].stat, ST_MESSAGE_TEXT);
    EXPECT_EQ(r.logged[2].s0(), "line A");

    // Closing logs the text first, then the closing record.
    r.logged.clear();
    r.svc.CloseChannel(0);
    ASSERT_EQ(r.logged.size(), 2u);
    EXPECT_EQ(r.logged[0].stat, ST_MESSAGE_TEXT);
    EXPECT_EQ(r.logged[1].stat, ST_CHANNEL_CLOSE);
    EXPECT_FALSE(r.port[0].isOpen);
    EXPECT_FALSE(r.com[0].se.open);
}

TEST(ChannelService, ALostLineIsClosedAndReopenedEveryTwoSeconds) {
    Rig r;
    r.av.msjetick = 54; // 2 s are 37 ticks
    r.av.Tick = 1000;
    r.com[0].bp.logtxt.set("line A");
    r.svc.OpenChannel(0);
    r.svc.OpenChannel(1);
    ASSERT_TRUE(r.com[0].se.open);
    r.logged.clear();

    r.port[0].LoseLine(PortFault::HungUp, "hang-up");
    // A message that names the device and why, then the channel's closing records.
    ASSERT_EQ(r.logged.size(), 3u);
    EXPECT_EQ(r.logged[0].stat, ST_MESSAGE_IO);
    EXPECT_EQ(r.logged[0].ta, TA_INTERNAL);
    EXPECT_EQ(r.logged[0].s0(), "Line lost on /dev/tty1: hang-up");
    EXPECT_EQ(r.logged[1].s0(), "line A");
    EXPECT_EQ(r.logged[2].stat, ST_CHANNEL_CLOSE);
    EXPECT_TRUE(r.svc.Lost(0));
    EXPECT_FALSE(r.svc.Lost(1));
    EXPECT_FALSE(r.com[0].se.open);
    EXPECT_FALSE(r.port[0].isOpen);
    EXPECT_EQ(r.com[0].bp.cnr, 1) << "the channel keeps its port";
    EXPECT_EQ(r.lineChanges, std::vector<int>{0});
    // A second report of the same loss changes nothing.
    r.port[0].LoseLine(PortFault::HungUp, "hang-up");
    EXPECT_EQ(r.logged.size(), 3u);
    // Going online again (the delayed opening after start) leaves the attempts to the timer.
    r.port[0].failOpen = true;
    EXPECT_TRUE(r.svc.OpenAllChannels());
    EXPECT_EQ(r.port[0].opens, 1);
    EXPECT_TRUE(r.msg.errors.empty());
    EXPECT_EQ(r.com[0].bp.cnr, 1);

    // The device is still away: an attempt every 2 s, quietly.
    r.logged.clear();
    int idle = r.idleRuns[0];
    EXPECT_EQ(r.TickOfOpening(0, 2), 1037u);
    EXPECT_EQ(r.TickOfOpening(0, 3), 1074u);
    EXPECT_TRUE(r.logged.empty());
    EXPECT_TRUE(r.msg.errors.empty());
    EXPECT_EQ(r.idleRuns[0], idle) << "a lost channel runs no tick procedure";
    EXPECT_TRUE(r.svc.Lost(0));

    // It is back: opened with its parameters, logged, shown.
    r.port[0].failOpen = false;
    EXPECT_EQ(r.TickOfOpening(0, 4), 1111u);
    EXPECT_FALSE(r.svc.Lost(0));
    EXPECT_TRUE(r.com[0].se.open);
    ASSERT_EQ(r.logged.size(), 2u);
    EXPECT_EQ(r.logged[0].stat, ST_CHANNEL_OPEN);
    EXPECT_EQ(r.logged[1].s0(), "line A");
    EXPECT_EQ(r.lineChanges, (std::vector<int>{0, 0}));
    EXPECT_EQ(r.TickOfOpening(0, 5, 200), 0u) << "no attempts once it is open";

    // Going offline while the line is lost ends the attempts without a second closing record.
    r.port[0].LoseLine(PortFault::IoError, "Input/output error");
    r.logged.clear();
    r.svc.CloseAllChannels();
    ASSERT_EQ(r.logged.size(), 1u);
    EXPECT_EQ(r.logged[0].ek, r.com[1].em.enr); // channel 2's closing only
    EXPECT_FALSE(r.svc.Lost(0));
    EXPECT_EQ(r.TickOfOpening(0, 5, 200), 0u);
}

TEST(ChannelService, PortsThatCannotBeOpened) {
    Rig r;
    r.port[1].failOpen = true;
    EXPECT_TRUE(r.svc.OpenAllChannels());
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0], "/dev/tty2 cannot be opened: No such device");
    EXPECT_EQ(r.com[1].bp.cnr, 0);
    EXPECT_TRUE(r.svc.portListStale);
    EXPECT_TRUE(r.com[0].se.open);

    // Both failing: recording does not start.
    Rig both;
    both.port[0].failOpen = both.port[1].failOpen = true;
    EXPECT_FALSE(both.svc.OpenAllChannels());
    EXPECT_EQ(both.msg.errors.size(), 2u);

    // No port at all: message 1137 and nothing is opened.
    Rig none;
    none.com[0].bp.cnr = none.com[1].bp.cnr = 0;
    EXPECT_FALSE(none.svc.OpenAllChannels());
    ASSERT_EQ(none.msg.errors.size(), 1u);
    EXPECT_EQ(none.msg.errors[0], "No channel has a port");
    EXPECT_EQ(none.port[0].opens, 0);
}

TEST(ChannelService, DataArrivesInBlocksOfAtMost269) {
    Rig r;
    r.svc.OpenChannel(0);
    std::vector<uint8_t> data(600);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    r.port[0].errorsPerRead = {0, LE_PARITY, LE_BREAK};
    r.port[0].Receive(data);
    ASSERT_EQ(r.blocks.size(), 3u);
    EXPECT_EQ(r.blocks[0].bytes.size(), 269u);
    EXPECT_EQ(r.blocks[1].bytes.size(), 269u);
    EXPECT_EQ(r.blocks[2].bytes.size(), 62u);
    EXPECT_EQ(r.blocks[0].anz, 269);
    EXPECT_EQ(r.blocks[2].anz, 62);
    EXPECT_EQ(r.blocks[0].fehl, 0);
    EXPECT_EQ(r.blocks[1].fehl, LE_PARITY);
    EXPECT_EQ(r.blocks[2].fehl, LE_BREAK);
    EXPECT_EQ(r.blocks[1].bytes[0], 269 % 256);
    // The receive lamp is lit once.
    ASSERT_EQ(r.lamps.size(), 1u);
    EXPECT_EQ(r.lamps[0].first, &r.com[0].LedR);
    EXPECT_TRUE(r.lamps[0].second);
}

TEST(ChannelService, ModemLineChanges) {
    Rig r;
    r.com[0].bp.paend = 0x80; // DCD watched
    r.svc.OpenChannel(0);
    EXPECT_EQ(r.port[0].modemTriggersAdded, 1);
    EXPECT_EQ(r.port[0].armedMask, MS_DCD);
    r.logged.clear();

    // The output-buffer trigger's handle is ignored.
    r.port[0].modemStatus = MS_DCD | MS_DCD_CHG;
    r.svc.StatusTrigger(0, r.com[0].hCpOutBuffUsed);
    EXPECT_TRUE(r.logged.empty());

    // A change of an unwatched line only (CTS) is not logged; DCD is, with the status value.
    r.port[0].modemStatus = MS_CTS | MS_CTS_CHG;
    r.svc.StatusTrigger(0, r.com[0].hCpModStat);
    EXPECT_TRUE(r.logged.empty());
    r.port[0].modemStatus = MS_DCD | MS_CTS | MS_DCD_CHG | MS_CTS_CHG;
    r.svc.StatusTrigger(0, r.com[0].hCpModStat);
    ASSERT_EQ(r.logged.size(), 1u);
    EXPECT_EQ(r.logged[0].stat, ST_MODEM_LINE);
    EXPECT_EQ(r.logged[0].la, MS_DCD | MS_CTS | MS_DCD_CHG);
    EXPECT_EQ(r.logged[0].ta, TA_FIXED);
    EXPECT_EQ(r.logged[0].ek, 1);
    EXPECT_EQ(r.port[0].arms, 3); // re-armed after each

    // With no watched line there is no trigger and never an event 43.
    Rig q;
    q.svc.OpenChannel(0);
    EXPECT_EQ(q.port[0].modemTriggersAdded, 0);
    q.port[0].modemStatus = 0xFF;
    q.svc.StatusTrigger(0, 0);
    q.svc.StatusTrigger(0, 8);
    for (const auto& t : q.logged) EXPECT_NE(t.stat, ST_MODEM_LINE);
}

TEST(ChannelService, SendDelayShortActiveLongByTimer) {
    Rig r;
    r.av.Tick = 100;
    r.svc.OpenChannel(0);
    uint32_t t0 = r.clock.ms;
    r.svc.SendDelay(0, 54);
    EXPECT_GE(r.clock.ms - t0, 54u); // waited actively on the clock
    EXPECT_LE(r.clock.ms - t0, 56u);
    EXPECT_GT(r.plat.processed, 0);
    EXPECT_EQ(r.com[0].se.u1, 100u);
    EXPECT_TRUE(r.plat.startedMs.empty());

    r.svc.SendDelay(0, 0);
    EXPECT_EQ(r.com[0].se.u1, 100u);

    t0 = r.clock.ms;
    r.svc.SendDelay(0, 55);
    EXPECT_EQ(r.clock.ms, t0); // no waiting
    ASSERT_EQ(r.plat.startedMs.size(), 1u);
    EXPECT_EQ(r.plat.startedMs[0], 60); // (55 + 5) / 10 * 10
    EXPECT_NE(r.com[0].se.hTime, 0u);
    EXPECT_EQ(r.com[0].se.u1, 100u + r.svc.MsToTicks(55 * 1.1) + 1);
    r.av.Tick = 101;
    r.plat.Advance(60);
    EXPECT_EQ(r.com[0].se.u1, 101u);
    EXPECT_EQ(r.com[0].se.hTime, 0u);
    ASSERT_EQ(r.plat.runNow.size(), 1u);
    EXPECT_EQ(r.plat.runNow[0], 0);

    // A timer cancelled by closing the channel never releases anything.
    r.svc.SendDelay(0, 500);
    r.svc.CloseChannel(0);
    EXPECT_EQ(r.com[0].se.hTime, 0u);
    r.plat.Advance(1000);
    EXPECT_EQ(r.plat.runNow.size(), 1u);
}

TEST(ChannelService, SecondsToTicks) {
    Rig r;
    r.av.msjetick = 45;
    EXPECT_EQ(r.svc.SecondsToTicks(10), 222u); // trunc(9970 / 45) + 1
    r.av.msjetick = 54;
    EXPECT_EQ(r.svc.SecondsToTicks(10), 185u);
    EXPECT_EQ(r.svc.SecondsToTicks(0), 1u);
    r.av.msjetick = 70;
    EXPECT_EQ(r.svc.SecondsToTicks(10), 143u);
    EXPECT_EQ(r.svc.MsToTicks(400), 6u); // trunc(398.8 / 70) + 1
}

TEST(ChannelService, LampIsLitForTwoTicks) {
    Rig r;
    T_LedVar& led = r.com[0].LedR;
    r.svc.LightLamp(led);
    r.svc.LightLamp(led); // lit already: not restarted
    ASSERT_EQ(r.lamps.size(), 1u);
    r.svc.LampTick(led); // 3 -> 2
    EXPECT_EQ(r.lamps.size(), 1u);
    r.svc.LampTick(led); // 2 -> 1: dark
    ASSERT_EQ(r.lamps.size(), 2u);
    EXPECT_FALSE(r.lamps[1].second);
    r.svc.LightLamp(led); // still counting down: cannot be lit yet
    EXPECT_EQ(r.lamps.size(), 2u);
    r.svc.LampTick(led); // 1 -> 0
    r.svc.LightLamp(led);
    EXPECT_EQ(r.lamps.size(), 3u);
}

TEST(ChannelService, TickProcedureGuard) {
    Rig r;
    r.svc.TimerTick();
    EXPECT_EQ(r.idleRuns[0], 0); // closed channels do nothing
    r.svc.OpenAllChannels();
    r.svc.TimerTick();
    EXPECT_EQ(r.idleRuns[0], 1);
    EXPECT_EQ(r.idleRuns[1], 1);

    // A run still active lets a nested run through only when u1 is due.
    r.av.Tick = 50;
    r.com[0].se.akt = 1;
    r.com[0].se.u1 = 51;
    r.svc.ChannelTick(0);
    EXPECT_EQ(r.idleRuns[0], 1);
    EXPECT_TRUE(r.plat.runNow.empty());
    r.com[0].se.u1 = 50;
    r.svc.ChannelTick(0);
    EXPECT_EQ(r.idleRuns[0], 2);
    EXPECT_EQ(r.com[0].se.akt, 0);
    // The run turned away is asked for again when the active one ends.
    EXPECT_EQ(r.plat.runNow, std::vector<int>{0});

    // While a transmission is under way the idle work waits.
    int continued = 0;
    r.svc.hooks.continueTransmission = [&](T_ComVar&) { ++continued; };
    r.com[0].se.Stat = SS_SENDING;
    r.svc.ChannelTick(0);
    EXPECT_EQ(continued, 1);
    EXPECT_EQ(r.idleRuns[0], 2);
}
