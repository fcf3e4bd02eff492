#include "link/controlling_station.h"

#include "link/control_field_check.h"
#include "link/link_services.h"
#include "link/transmitter.h"
#include "link/user_data_reception.h"

#include <cmath>

namespace vdl {

namespace {

using S = ControllingState;
constexpr uint8_t kNoAnswer = 255;
constexpr uint8_t kNoDataFc = 9; // an 0xE5 answering a poll counts as "no data"

S StateOf(const T_ComVar& c) {
    return static_cast<S>(c.se.lks);
}
void Enter(T_ComVar& c, LinkEnv& env, S s) {
    SetLinkState(c, env, static_cast<uint8_t>(s));
}

size_t Station(const T_SendVar& se) {
    return (se.usi >= 0 && se.usi < kMaxLinkAdr) ? static_cast<size_t>(se.usi) : 0;
}
uint16_t StationBit(const T_SendVar& se) {
    return static_cast<uint16_t>(1u << Station(se));
}
bool StationDown(const T_SendVar& se) {
    return (se.uslstat & StationBit(se)) != 0;
}

// The answer awaited, taken once.
uint8_t TakeAnswer(T_SendVar& se) {
    const uint8_t a = se.empfq;
    se.empfq = kNoAnswer;
    return a;
}

void StartPause(T_ComVar& c, LinkEnv& env) {
    c.se.u3 = env.av.Tick + env.svc.SecondsToTicks(c.bp.zztl);
    Enter(c, env, S::Pause);
}

// A user data frame went out: its answer is awaited when its control field asks for one.
void AfterUserData(T_ComVar& c, LinkEnv& env) {
    if (ExpectsAnswer(c.se.fktorg)) Enter(c, env, S::AwaitAnswer);
}

void Choose(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    se.ustele = 0;
    if (StationDown(se)) {
        // One status request per turn, not repeated.
        se.whzl = c.bp.wh;
        Enter(c, env, S::AwaitStatus);
        SendFixedFrame(c, env, FF_REQUEST_STATUS);
        return;
    }
    if (SendUserData(c, env, {SourceKind::UserTelegram, SourceKind::CommandFeedback})) {
        se.sofse = false; // what the user asked for has gone out
        AfterUserData(c, env);
        return;
    }
    if (SendUserData(c, env, {SourceKind::FileTransfer})) {
        Enter(c, env, S::AwaitAnswer);
        return;
    }
    if (env.svc.Due(se.polltick)) {
        // The poll cycle belongs to the channel: every station shares it.
        const int32_t mst = env.av.msjetick > 0 ? env.av.msjetick : 54;
        se.polltick =
            env.av.Tick + static_cast<uint32_t>(std::lround(
                              static_cast<double>(c.bp.zztpoll > 0 ? c.bp.zztpoll : 0) / mst));
        se.ustele = FF_REQUEST_DATA;
        Enter(c, env, S::AwaitAnswer);
        SendFixedFrame(c, env, FF_REQUEST_DATA);
    }
}

// No answer yet: when the time-out has passed, the request is repeated or, with the
// repetitions used up, the station's link is lost and the next station is served.
void TimeoutRule(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (!env.svc.Due(se.u2) || RepeatAfterTimeout(c, env)) return;
    LinkEvent(c, env, ST_LINK_LOST, se.usi);
    NextStation(c, env);
}

void OnRequestAnswered(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const uint8_t a = TakeAnswer(se);
    se.whzl = 0;
    se.abf1[Station(se)] = (a & CF_FCB) != 0;
    if (FunctionCode(a) == 1 || (a & CF_FCV)) {
        StartPause(c, env);
        return;
    }
    NextStation(c, env);
    se.la = CurrentLinkAddress(c);
    Choose(c, env);
}

void OnStatusAnswered(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const uint8_t a = TakeAnswer(se);
    se.whzl = 0;
    if (FunctionCode(a) != 11) {
        // Any other answer ends the station's turn; waiting on would repeat the request to a
        // station that does answer, and starve the others.
        NextStation(c, env);
        return;
    }
    se.abf1[Station(se)] = (a & CF_FCB) != 0;
    Enter(c, env, S::AwaitReset);
    SendFixedFrame(c, env, FF_RESET);
}

void OnResetAnswered(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const uint8_t a = TakeAnswer(se);
    if (FunctionCode(a) != 0) {
        NextStation(c, env); // the link stays down: its status is asked again next turn
        return;
    }
    se.abf1[Station(se)] = (a & CF_FCB) != 0;
    LinkEvent(c, env, ST_LINK_UP, se.usi);
    se.usfcb &= static_cast<uint16_t>(~StationBit(se)); // the next FCB sent is 1
    se.whzl = 0;
    Enter(c, env, S::Ready);
}

void InPause(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.lt[LT_DATA_BEFORE_LINK] && SendUserData(c, env, {SourceKind::UserTelegram})) {
        se.u3 = env.av.Tick + env.svc.SecondsToTicks(c.bp.zztl);
        AfterUserData(c, env);
        return;
    }
    if (!env.svc.Due(se.u3)) return;
    se.ustele = 0;
    Enter(c, env, S::AwaitAnswer);
    SendFixedFrame(c, env, FF_REQUEST_STATUS);
}

} // namespace

void ControllingStationStep(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    se.la = CurrentLinkAddress(c);
    const S s = StateOf(c);
    // Send now: honoured between exchanges only, so that an outstanding request keeps its
    // answer and its repetition copy.
    if (se.sofse && (s == S::Ready || s == S::Pause) &&
        SendUserData(c, env, {SourceKind::UserTelegram})) {
        se.sofse = false;
        AfterUserData(c, env);
        return;
    }
    switch (s) {
    case S::AwaitAnswer:
        if (se.empfq == kNoAnswer)
            TimeoutRule(c, env);
        else
            OnRequestAnswered(c, env);
        break;
    case S::AwaitStatus:
        if (se.empfq == kNoAnswer)
            TimeoutRule(c, env);
        else
            OnStatusAnswered(c, env);
        break;
    case S::AwaitReset:
        if (se.empfq != kNoAnswer) {
            OnResetAnswered(c, env);
        } else if (env.svc.Due(se.u2)) {
            se.wquit = false;
            NextStation(c, env);
        }
        break;
    case S::Pause:
        InPause(c, env);
        break;
    default:
        Enter(c, env, S::Ready);
        Choose(c, env);
        break;
    }
}

void ControllingStationReaction(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    T_Telegramm& te = c.em.te;
    if (MarkedBusy(c)) return;
    const bool single = te.lg == 1 && te.b[0] == 0xE5;
    if (!single && (te.lc & CF_PRM)) {
        te.stat = ST_UNEXPECTED;
        return;
    }
    if (!se.wquit && se.te.stat != ST_TEXT_LINE) {
        te.stat = ST_UNEXPECTED;
        return;
    }
    se.wquit = false;
    ReloadLinkTest(c, env);
    if (single) {
        if (se.ustele != FF_REQUEST_DATA)
            se.empfq = 0; // a positive acknowledgement
        else if (c.bp.vwe5 == 3)
            se.empfq = kNoDataFc;
        else
            te.stat = ST_E5_NOT_ALLOWED;
        return;
    }
    se.empfq = te.lc;
    if (FunctionCode(te.lc) == 8 && te.stat == ST_OK) ReceiveUserData(c, env);
}

} // namespace vdl
