#include "link/channel_service.h"

#include "core/format.h"
#include "link/channel_init.h"
#include "link/port_list.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vdl {

namespace {
constexpr int kMaxBlock = 269;
}

bool IdleRts(uint8_t rtsMode) {
    int m = rtsMode & 3;
    return m == 0 || m == 3;
}

bool IdleDtr(uint8_t rtsMode) {
    return (rtsMode & 4) == 0;
}

bool LogsRtsSwitch(uint8_t rtsMode) {
    int m = rtsMode & 3;
    return m == 2 || m == 3;
}

ChannelService::ChannelService(T_ComVar (&com)[2], T_AllgVar& av, T_AllgPar& ap,
                               const TextTable& texts, Clock& clock, LinkPlatform& platform,
                               Messages& msg)
    : com_(com), av_(av), ap_(ap), texts_(texts), clock_(clock), plat_(platform), msg_(msg) {
    for (int i = 0; i < 2; ++i) {
        events_[i].svc = this;
        events_[i].channel = i;
    }
}

void ChannelService::BindPort(int i, SerialPort* port) {
    com_[i].pCp = port;
    if (port) port->SetEvents(&events_[i]);
}

T_Telegramm ChannelService::MakeEvent(const T_ComVar& c, uint8_t stat, uint16_t la) const {
    T_Telegramm t{};
    t.stat = stat;
    t.la = la;
    bool receiveNumber = stat == ST_MODEM_LINE || stat == ST_REMOTE_RESET ||
                         stat == ST_CHANNEL_OPEN || stat == ST_CHANNEL_CLOSE;
    t.ek = receiveNumber ? c.em.enr : c.se.snr;
    t.ta = (stat == ST_MODEM_LINE || stat == ST_RTS) ? TA_FIXED : TA_INTERNAL;
    return t;
}

void ChannelService::LogEvent(T_ComVar& c, uint8_t stat, uint16_t la) {
    T_Telegramm t = MakeEvent(c, stat, la);
    if (hooks.log) hooks.log(t);
}

void ChannelService::LogText(T_ComVar& c, const std::string& text) {
    T_Telegramm t = MakeEvent(c, ST_MESSAGE_TEXT, 0);
    t.setS0(text);
    if (hooks.log) hooks.log(t);
}

std::string ChannelService::PortName(int i) const {
    int n = com_[i].bp.cnr;
    return hooks.portName ? hooks.portName(n) : std::to_string(n);
}

std::string ChannelService::FaultText(const SerialPort& p) const {
    return PortFaultText(texts_, p.Fault(), p.FaultText());
}

// The frame area holds the four counters and the function, baud rate and procedure as 32-bit
// integers, then the port's device (older records end after the integers).
void ChannelService::LogOpenClose(T_ComVar& c, uint8_t stat) {
    T_Telegramm t = MakeEvent(c, stat, static_cast<uint16_t>(c.bp.cnr));
    std::array<int32_t, 4> cnt{};
    if (hooks.counters) cnt = hooks.counters(c);
    int32_t v[7] = {cnt[0], cnt[1], cnt[2], cnt[3], c.bp.fkt, c.bp.baud, c.bp.pro};
    std::memcpy(t.b, v, sizeof v);
    t.lg = sizeof v;
    std::string device = PortName(&c == &com_[0] ? 0 : 1);
    if (device != std::to_string(c.bp.cnr)) {
        size_t n = std::min(device.size(), sizeof t.b - sizeof v);
        std::memcpy(t.b + sizeof v, device.data(), n);
        t.lg = static_cast<int16_t>(sizeof v + n);
    }
    if (hooks.log) hooks.log(t);
}

void ChannelService::SetIdleLines(T_ComVar& c, bool logSwitch) {
    if (!c.pCp) return;
    bool rts = IdleRts(c.bp.rts);
    c.pCp->SetRts(rts);
    c.pCp->SetDtr(IdleDtr(c.bp.rts));
    if (logSwitch && LogsRtsSwitch(c.bp.rts)) LogEvent(c, ST_RTS, rts ? 1 : 0);
}

void ChannelService::OpenChannel(int i) {
    T_ComVar& c = com_[i];
    // A lost line is opened again by the timer, without a message for each attempt.
    if (c.bp.cnr == 0 || c.se.open || !c.pCp || lost_[i].on) return;
    if (!OpenPort(i, false)) {
        msg_.Error(Format(texts_.tx(kTxPortOpenFails), {PortName(i), FaultText(*c.pCp)}));
        c.bp.cnr = 0;
        portListStale = true;
    }
}

bool ChannelService::OpenPort(int i, bool retry) {
    T_ComVar& c = com_[i];
    SerialPort& p = *c.pCp;
    // A retry logs nothing until the line is back.
    SetIdleLines(c, !retry);
    p.SetPortNumber(c.bp.cnr);
    p.SetLine(c.bp.baud, c.bp.pari, c.bp.data, c.bp.stop);
    InitChannel(c, av_, ap_);
    p.FlushInput();
    if (!p.Open()) {
        p.Close();
        c.se.open = false;
        return false;
    }
    c.se.open = true;
    // The idle line states again, now that the line is open.
    p.SetRts(IdleRts(c.bp.rts));
    p.SetDtr(IdleDtr(c.bp.rts));
    c.hCpOutBuffUsed = p.AddOutputBufferTrigger();
    c.hCpModStat = 0;
    if (c.se.paend != 0) {
        c.hCpModStat = p.AddModemStatusTrigger();
        p.ArmModemStatusTrigger(c.hCpModStat, c.se.paend);
    }
    LogOpenClose(c, ST_CHANNEL_OPEN);
    std::string txt = c.bp.logtxt.str();
    if (!txt.empty()) LogText(c, txt);
    return true;
}

void ChannelService::LineLost(int i) {
    T_ComVar& c = com_[i];
    if (!c.se.open || !c.pCp) return;
    T_Telegramm t = MakeEvent(c, ST_MESSAGE_IO, 0);
    t.setS0(Format(texts_.tx(kTxLineLost), {PortName(i), FaultText(*c.pCp)}));
    if (hooks.log) hooks.log(t);
    CloseChannel(i);
    lost_[i].on = true;
    lost_[i].retry = av_.Tick + SecondsToTicks(kReopenSeconds);
    if (hooks.lineChanged) hooks.lineChanged(i);
}

void ChannelService::TryReopen(int i) {
    T_ComVar& c = com_[i];
    if (c.bp.cnr == 0 || !c.pCp) {
        lost_[i] = {};
        if (hooks.lineChanged) hooks.lineChanged(i);
        return;
    }
    if (OpenPort(i, true)) {
        lost_[i] = {};
        if (hooks.lineChanged) hooks.lineChanged(i);
    } else {
        lost_[i].retry = av_.Tick + SecondsToTicks(kReopenSeconds);
    }
}

void ChannelService::CloseChannel(int i) {
    T_ComVar& c = com_[i];
    if (lost_[i].on) {
        // The closing record was logged when the line was lost.
        lost_[i] = {};
        if (hooks.lineChanged) hooks.lineChanged(i);
        return;
    }
    if (c.bp.cnr == 0 || !c.se.open) return;
    if (c.se.hTime != 0) {
        plat_.CancelOneShot(c.se.hTime);
        c.se.hTime = 0;
    }
    std::string txt = c.bp.logtxt.str();
    if (!txt.empty()) LogText(c, txt);
    LogOpenClose(c, ST_CHANNEL_CLOSE);
    if (c.pCp) c.pCp->Close();
    c.se.open = false;
    c.se.wait = false;
}

bool ChannelService::OpenAllChannels() {
    if (com_[0].bp.cnr == 0 && com_[1].bp.cnr == 0) {
        msg_.Error(texts_.tx(1137));
        return false;
    }
    OpenChannel(0);
    OpenChannel(1);
    return com_[0].bp.cnr != 0 || com_[1].bp.cnr != 0;
}

void ChannelService::CloseAllChannels() {
    CloseChannel(0);
    CloseChannel(1);
    if (hooks.closeFiles) hooks.closeFiles();
}

void ChannelService::DataAvailable(int i, int count) {
    T_ComVar& c = com_[i];
    if (!c.pCp) return;
    SerialPort& p = *c.pCp;
    uint8_t buf[kMaxBlock];
    if (count <= 0) {
        // A line error without data (a break on an idle line) still closes what is pending.
        uint16_t e = p.BreakReceived() ? static_cast<uint16_t>(LE_BREAK) : p.LineError();
        if (e == LE_NONE) return;
        c.em.anz = 0;
        c.em.fehl = e;
        if (hooks.receiveBlock) hooks.receiveBlock(c, buf, 0);
        return;
    }
    int n = count;
    while (n > 0) {
        int m = std::min(n, kMaxBlock);
        c.em.anz = static_cast<uint16_t>(m);
        int got = p.Read(buf, m);
        c.em.fehl = p.BreakReceived() ? static_cast<uint16_t>(LE_BREAK) : p.LineError();
        if (got > 0 || c.em.fehl != 0) {
            if (hooks.receiveBlock) hooks.receiveBlock(c, buf, got);
        }
        if (got <= 0) break; // the port had less than it announced
        n -= m;
    }
    LightLamp(c.LedR);
}

void ChannelService::StatusTrigger(int i, uint16_t handle) {
    T_ComVar& c = com_[i];
    if (!c.pCp || handle == c.hCpOutBuffUsed || handle != c.hCpModStat || c.se.paend == 0) return;
    uint8_t s = c.pCp->ModemStatus();
    // The change bits of the watched lines sit four bits below their state bits.
    uint8_t d = s & static_cast<uint8_t>(0xF0 | (c.se.paend >> 4));
    if (d & 0x0F) LogEvent(c, ST_MODEM_LINE, d);
    c.pCp->ArmModemStatusTrigger(c.hCpModStat, c.se.paend);
}

void ChannelService::LightLamp(T_LedVar& led) {
    if (led.uhrLed != 0) return;
    led.uhrLed = 3;
    if (hooks.lamp) hooks.lamp(led, true);
}

void ChannelService::LampTick(T_LedVar& led) {
    if (led.uhrLed <= 0) return;
    if (led.uhrLed == 2 && hooks.lamp) hooks.lamp(led, false);
    --led.uhrLed;
}

void ChannelService::TimerTick() {
    for (int i = 0; i < 2; ++i) {
        T_ComVar& c = com_[i];
        if (lost_[i].on && Due(lost_[i].retry)) TryReopen(i);
        LampTick(c.LedR);
        LampTick(c.LedT);
        if (c.se.wait && c.LedT.uhrLed == 0) LightLamp(c.LedT);
        if (hooks.receiveTick) hooks.receiveTick(c);
        ChannelTick(i, true);
    }
}

void ChannelService::ChannelTick(int i, bool timerTick) {
    T_ComVar& c = com_[i];
    T_SendVar& se = c.se;
    if (!se.open) return;
    if (se.akt && !Due(se.u1)) {
        // An answer that arrives during an active wait is acted on as soon as the run ends,
        // not a timer tick later.
        runAgain_[i] = true;
        return;
    }
    se.akt = 1;
    if (timerTick && hooks.tickCountdowns) hooks.tickCountdowns(c);
    if (se.Stat != SS_IDLE && hooks.continueTransmission) hooks.continueTransmission(c);
    if (se.Stat == SS_IDLE && hooks.idleWork) hooks.idleWork(c);
    se.akt = 0;
    if (runAgain_[i]) {
        runAgain_[i] = false;
        plat_.PostRunNow(i);
    }
}

uint32_t ChannelService::SecondsToTicks(double s) const {
    return TicksOf(s, av_.msjetick);
}

void ChannelService::ActiveWait(int32_t ms) {
    if (ms <= 0) return;
    uint32_t start = clock_.Millis();
    for (;;) {
        uint32_t elapsed = clock_.Millis() - start;
        if (elapsed >= static_cast<uint32_t>(ms)) break;
        uint32_t left = static_cast<uint32_t>(ms) - elapsed;
        // The processor is given away between looks at the event loop, so that a channel that
        // polls without pause does not keep a core busy; the last two milliseconds are waited
        // out in the finest steps the platform has.
        if (left > 17)
            plat_.SleepMs(10);
        else if (left > 2)
            plat_.SleepMs(1);
        else
            plat_.SleepMs(0);
        if (left > 2) plat_.ProcessEvents();
    }
}

void ChannelService::SendDelay(int i, int32_t ms) {
    T_ComVar& c = com_[i];
    T_SendVar& se = c.se;
    if (ms <= 0) {
        se.u1 = av_.Tick;
        return;
    }
    if (ms <= 54) {
        se.u1 = av_.Tick + 3;
        ActiveWait(ms);
        se.u1 = av_.Tick;
        return;
    }
    // Late rather than early: the tick fall-back allows 10 % more than the delay.
    se.u1 = av_.Tick + MsToTicks(ms * 1.1) + 1;
    if (se.hTime != 0) plat_.CancelOneShot(se.hTime);
    int period = ((ms + 5) / 10) * 10;
    auto own = std::make_shared<uint32_t>(0);
    uint32_t h = plat_.StartOneShot(period, [this, i, own] {
        // Only the timer that is still the channel's own may release the wait.
        T_SendVar& s = com_[i].se;
        if (s.hTime != *own) return;
        s.u1 = av_.Tick;
        s.hTime = 0;
        plat_.PostRunNow(i);
    });
    *own = h;
    se.hTime = h;
}

} // namespace vdl
