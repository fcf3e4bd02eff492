#include "app/demo_line.h"

#include "app/program.h"
#include "link/channel_init.h"

#include <random>

namespace vdl {

T_BetriebsPar DemoChannelParams(const T_BetriebsPar& current, int i, const std::string& logText) {
    T_BetriebsPar bp = DefaultBetriebsPar();
    bp.cnr = current.cnr;
    bp.fkt = i == 0 ? FKT_MASTER : FKT_SLAVE;
    bp.pro = PRO_UNBALANCED;
    bp.rb = i == 0 ? 1 : 0;
    bp.la.anz = 1;
    bp.la.a[0] = 1;
    bp.la.a[1] = 0xFF;
    bp.sverz = bp.tv = bp.tn = 0;
    bp.rts = 0;
    bp.vwe5 = 0; // every answer a frame of its own: easier to read
    bp.bcon = 1;
    bp.zztpoll = kDemoPollMs;
    bp.wh = 3;
    bp.qzt = 400;
    bp.zztl = 5;
    bp.logtxt.set(logText);
    return bp;
}

namespace {

// Object addresses of the demonstration's station (common address 1).
constexpr int32_t kMeasuredOa = 1001; // 1001..1006 measured values
constexpr int32_t kBreakerOa = 2001;  // 2001..2004 double points
constexpr int32_t kAlarmOa = 3001;    // 3001..3003 single points
constexpr int32_t kSwitchOa = 5001;   // the double command for breaker 2001
constexpr uint16_t kCa = 1;
constexpr int32_t kCyclePauseMs = 2000;
constexpr int32_t kInterrogationPauseMs = 60000;
constexpr int32_t kCommandPauseMs = 20000;
constexpr int kCauseCyclic = 1, kCauseSpontaneous = 3, kCauseActivation = 6, kCauseTermination = 10,
              kCauseInterrogated = 20;

T_SeLiObj Obj(int32_t oa, uint8_t typ, uint8_t urs, int32_t value) {
    T_SeLiObj o{};
    o.oa = oa;
    o.inf.l = value;
    o.akt = 1;
    o.typ = typ;
    o.urs = urs;
    return o;
}

// A list of channel 2 with the demonstration's station address.
SeLi& DemoList(Program& p, int n, int txName, int anst, int anzt, int wzt, int klasse) {
    SeLi& l = p.seli.at(n);
    NewList(l, n, p.texts);
    l.h.bez.set(p.texts.tx(txName));
    l.h.snr = 4;
    l.h.anst = anst;
    l.h.typn = anst == ANST_TYPE ? 100 : 0;
    l.h.anzt = anzt;
    l.h.wzt = wzt;
    l.h.klasse = static_cast<int16_t>(klasse);
    l.h.ca = kCa;
    return l;
}

// A telegram of channel 1 sent at every establishing of the link and then after each pause.
T_SeTe& DemoTelegram(Program& p, int n, int txName, uint8_t typ, int32_t oa, int32_t value,
                     int wzt) {
    T_SeTe& t = p.sete.at(n);
    t.bez.set(p.texts.tx(txName));
    t.anst = ANST_LINK_UP;
    t.snr = 2;
    t.anzt = 0;
    t.wzt = wzt;
    t.la = 1;
    t.laidx = 0;
    t.ueb = 0;
    t.typ = typ;
    t.urs = kCauseActivation;
    t.ca = kCa;
    t.oa = oa;
    t.inf.l = value;
    t.qua = 0;
    t.zus = 0;
    return t;
}

} // namespace

void EnterDemoData(Program& p) {
    // Measured values: voltage, current, active and reactive power, frequency, temperature,
    // every 2 s, varying a little from cycle to cycle.
    SeLi& mv = DemoList(p, 1, kTxDemoMeasured, ANST_REMOTE_RESET, 0, kCyclePauseMs, 2);
    static constexpr float kValues[] = {110.4f, 412.0f, 78.6f, 12.3f, 50.01f, 41.5f};
    for (int i = 0; i < 6; ++i) {
        T_SeLiObj o = Obj(kMeasuredOa + i, 13, kCauseCyclic, 0);
        o.inf.sgl = kValues[i];
        mv.at(i + 1) = o;
    }
    // Indications answering an interrogation, then its termination: class 1 data.
    SeLi& ind = DemoList(p, 2, kTxDemoIndications, ANST_TYPE, 1, 0, 1);
    for (int i = 0; i < 4; ++i)
        ind.at(i + 1) = Obj(kBreakerOa + i, 3, kCauseInterrogated, i == 2 ? 1 : 2);
    for (int i = 0; i < 3; ++i) ind.at(i + 5) = Obj(kAlarmOa + i, 1, kCauseInterrogated, 0);
    SeLi& end = DemoList(p, 3, kTxDemoInterrogationEnd, ANST_TYPE, 1, 0, 1);
    end.at(1) = Obj(0, 100, kCauseTermination, 20);
    for (int n = 1; n <= 3; ++n) CountActive(p.seli.at(n));

    // The command of breaker 2001 is answered with its new position (double point with time
    // tag, cause 11) 1.5 s after the confirmation, then terminated.
    NewFeedbackTable(p.rmTab);
    p.rmTab.ein = 1;
    p.rmTab.wzeit = 1500;
    T_BefRm& e = p.rmTab.e[0];
    e.bca = kCa;
    e.boa = kSwitchOa;
    e.roa = kBreakerOa;
    e.rtyp = 31;
    e.con = e.ret = e.term = 1;

    // The controlling station interrogates once a minute and switches every 20 s, alternating
    // between off and on.
    DemoTelegram(p, 1, kTxDemoInterrogation, 100, 0, 20, kInterrogationPauseMs);
    DemoTelegram(p, 2, kTxDemoCommand, 46, kSwitchOa, 2, kCommandPauseMs);

    if (p.lists)
        p.lists->cycleDone = [&p, rng = std::mt19937(7)](int n) mutable {
            SeLi& l = p.seli.at(n);
            if (n == 1) {
                // Measured values wander by up to half a percent around their start.
                std::uniform_real_distribution<float> d(-0.005f, 0.005f);
                for (int i = 0; i < 6; ++i) l.at(i + 1).inf.sgl = kValues[i] * (1.0f + d(rng));
            }
        };
    if (p.send)
        p.send->sent = [&p](int n) {
            // The station's indication follows the command; the next command switches the
            // other way.
            if (n != 2) return;
            int32_t& state = p.sete.at(2).inf.l;
            p.seli.at(2).at(1).inf.l = state;
            state = state == 2 ? 1 : 2;
        };
}

void EnterDemo(Program& p) {
    if (!p.demoKept) p.demoKept = std::array<T_BetriebsPar, 2>{p.com[0].bp, p.com[1].bp};
    for (int i = 0; i < 2; ++i) {
        p.com[i].bp = DemoChannelParams(p.com[i].bp, i, p.texts.tx(kTxDemoLogText));
        InitChannel(p.com[i], p.av, p.ap);
    }
    EnterDemoData(p);
    p.pp.online = 1;
}

} // namespace vdl
