#include "link/link_services.h"

#include "link/controlling_station.h"
#include "link/modem.h"
#include "link/transmitter.h"

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
    const bool stored = ValidStation(i) && se.c[static_cast<size_t>(i)].lg != 0;
    se.class1 = stored || env.sources
                                  .First(c, i,
                                         {SourceKind::UserTelegram, SourceKind::CommandFeedback,
                                          SourceKind::FileTransfer},
                                         DATA_CLASS1)
                                  .source != nullptr;
}

void ReloadLinkTest(T_ComVar& c, LinkEnv& env) {
    if (c.bp.zztv > 0) c.se.kuebtick = env.svc.SecondsToTicks(c.bp.zztv) - 1;
}

bool SendUserData(T_ComVar& c, LinkEnv& env, std::initializer_list<SourceKind> kinds) {
    if (c.se.lt[LT_NO_USER_DATA]) return false;
    UserDataSources::Found f = env.sources.First(c, c.se.usi, kinds);
    if (!f.source || !f.source->Build(c, c.se.usi)) return false;
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
    default:
        break;
    }
}

void LinkReaction(T_ComVar& c, LinkEnv& env) {
    switch (c.se.sim) {
    case SIM_MASTER:
        ControllingStationReaction(c, env);
        break;
    default:
        break;
    }
}

} // namespace vdl
