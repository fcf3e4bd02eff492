#include "link/link_services.h"

#include "link/balanced_station.h"
#include "link/controlled_station.h"
#include "link/controlling_station.h"
#include "link/modem.h"
#include "link/transmitter.h"
#include "link/user_data_reception.h"

namespace vdl {

namespace {
bool ValidStation(int i) {
    return i >= 0 && i < kMaxLinkAdr;
}
} // namespace

void SetLinkState(T_ComVar& c, LinkEnv& env, uint8_t lks) {
    const uint8_t from = c.se.lks;
    if (from == lks) return;
    c.se.lks = lks;
    if (env.hooks.stateChanged) env.hooks.stateChanged(c, from, lks);
}

void LinkEvent(T_ComVar& c, LinkEnv& env, uint8_t event, int station) {
    if (!ValidStation(station)) return;
    T_SendVar& se = c.se;
    const uint16_t la = c.bp.la.a[station];
    if (se.sim == SIM_MASTER || se.sim == SIM_SLAVE) {
        const uint16_t bit = static_cast<uint16_t>(1u << station);
        const bool down = (se.uslstat & bit) != 0;
        if (event == ST_LINK_LOST) {
            if (down) return;
            se.uslstat |= bit;
        } else {
            if (!down) return;
            se.uslstat &= static_cast<uint16_t>(~bit);
        }
    }
    env.svc.LogEvent(c, event, la);
    if (event == ST_LINK_UP) c.em.te.la = la;
    if (env.hooks.linkEvent) env.hooks.linkEvent(c, event, la);
}

void NextStation(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    SetLinkState(c, env, 1);
    se.whzl = 0;
    const int anz = c.bp.la.anz;
    if (env.ap.lgla != 0 && anz > 0) se.usi = (se.usi + 1) % anz;
}

void DetermineClass1(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const int i = se.usi;
    se.class1 = ConfirmationKept(c, i) ||
                env.sources
                        .First(c, i,
                               {SourceKind::UserTelegram, SourceKind::CommandFeedback,
                                SourceKind::FileTransfer},
                               DATA_CLASS1)
                        .source != nullptr;
}

bool MarkedBusy(T_ComVar& c) {
    if (c.se.Stat != SS_SEND_DELAY && c.se.Stat != SS_RTS_LEAD) return false;
    c.em.te.stat = ST_BUSY;
    return true;
}

bool RepeatAfterTimeout(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    se.wquit = false;
    if (se.whzl >= c.bp.wh) return false;
    ++se.whzl;
    Repeat(c, env);
    return true;
}

void ReloadLinkTest(T_ComVar& c, LinkEnv& env) {
    if (c.bp.zztv > 0) c.se.kuebtick = env.svc.SecondsToTicks(c.bp.zztv) - 1;
}

void LinkTickCountdowns(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.sim != SIM_BALANCED || c.bp.zztv <= 0) return;
    if (se.kuebtick > 0) --se.kuebtick;
    if (se.kuebtick == 0) {
        ReloadLinkTest(c, env);
        se.kanueb = true;
    }
}

bool SendUserData(T_ComVar& c, LinkEnv& env, std::initializer_list<SourceKind> kinds, int cls) {
    if (c.se.lt[LT_NO_USER_DATA]) return false;
    UserDataSources::Found f = env.sources.First(c, c.se.usi, kinds, cls);
    if (!f.source || !f.source->BuildOf(c, c.se.usi, cls)) return false;
    ContinueSending(c, env);
    return true;
}

void LinkIdleWork(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (c.wm.vorh) ModemCountdown(c, env);
    // Monitoring: a ready user telegram goes out without link procedure.
    if (se.sim == SIM_NONE) SendUserData(c, env, {SourceKind::UserTelegram});
    if (InModemState(se.lks)) {
        ModemStep(c, env);
        return;
    }
    switch (se.sim) {
    case SIM_MASTER:
        ControllingStationStep(c, env);
        break;
    case SIM_SLAVE:
        ControlledStationStep(c, env);
        break;
    case SIM_BALANCED:
        BalancedStationStep(c, env);
        break;
    default:
        break;
    }
}

void LinkReaction(T_ComVar& c, LinkEnv& env) {
    switch (c.se.sim) {
    case SIM_MASTER:
        ControllingStationReaction(c, env);
        break;
    case SIM_SLAVE:
        ControlledStationReaction(c, env);
        break;
    case SIM_BALANCED:
        BalancedStationReaction(c, env);
        break;
    default:
        break;
    }
}

} // namespace vdl
