#include "link/balanced_station.h"

#include "link/control_field_check.h"
#include "link/link_services.h"
#include "link/transmitter.h"
#include "link/user_data_reception.h"

namespace vdl {

namespace {

using S = BalancedState;
constexpr uint8_t kNoAnswer = 255;
constexpr int kStation = 0; // a balanced link has one partner: the first configured address

S StateOf(const T_ComVar& c) {
    return static_cast<S>(c.se.lks);
}
void Enter(T_ComVar& c, LinkEnv& env, S s) {
    SetLinkState(c, env, static_cast<uint8_t>(s));
}

uint8_t TakeAnswer(T_SendVar& se) {
    const uint8_t a = se.empfq;
    se.empfq = kNoAnswer;
    return a;
}

void StartPause(T_ComVar& c, LinkEnv& env, S s) {
    c.se.u3 = env.av.Tick + env.svc.SecondsToTicks(c.bp.zztl);
    Enter(c, env, s);
}

// The primary direction's next frame: a due link test, else (unless switch 9 is on) a kept
// confirmation, the command feedback, a user telegram or file transfer. False when nothing went.
bool SendNext(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.kanueb) {
        se.kanueb = false;
        SendFixedFrame(c, env, FF_TEST);
        return true;
    }
    if (se.lt[LT_NO_USER_DATA]) return false;
    return SendKeptConfirmation(c, env) || SendUserData(c, env, {SourceKind::CommandFeedback}) ||
           SendUserData(c, env, {SourceKind::UserTelegram}) ||
           SendUserData(c, env, {SourceKind::FileTransfer});
}

// Link not established (Start) or lost: a status of link answered gets the reset; otherwise
// status requests, wh + 1 of them, then a pause of zztl.
void Establish(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.empfq != kNoAnswer) {
        se.wquit = false;
        const uint8_t a = TakeAnswer(se);
        if (FunctionCode(a) == 11 && !(a & CF_FCV)) {
            Enter(c, env, S::AwaitReset);
            SendFixedFrame(c, env, FF_RESET);
            return;
        }
    }
    if (!env.svc.Due(se.u3) || !env.svc.Due(se.u2)) return;
    if (++se.whzl < c.bp.wh + 2) {
        SendFixedFrame(c, env, FF_REQUEST_STATUS);
        return;
    }
    se.u3 = env.av.Tick + env.svc.SecondsToTicks(c.bp.zztl);
    se.wquit = false;
    se.empfq = kNoAnswer;
    se.whzl = 0;
    if (StateOf(c) == S::Start) {
        LinkEvent(c, env, ST_LINK_LOST, kStation);
        Enter(c, env, S::Lost);
    }
}

void InUp(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.wquit) {
        if (se.empfq == kNoAnswer) {
            if (!env.svc.Due(se.u2) || RepeatAfterTimeout(c, env)) return;
            se.whzl = 0;
            se.u3 = 0;
            Enter(c, env, S::Lost);
            LinkEvent(c, env, ST_LINK_LOST, kStation);
            return;
        }
        const uint8_t a = TakeAnswer(se);
        se.whzl = 0;
        se.wquit = false;
        if (FunctionCode(a) == 1 || (a & CF_FCV)) {
            StartPause(c, env, S::Pause);
            return;
        }
    }
    SendNext(c, env);
}

void InAwaitReset(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.empfq == kNoAnswer) {
        if (env.svc.Due(se.u2)) {
            se.wquit = false;
            Enter(c, env, S::Lost);
        }
        return;
    }
    se.wquit = false;
    const uint8_t a = TakeAnswer(se);
    if (FunctionCode(a) != 0) {
        Enter(c, env, S::Lost);
        return;
    }
    se.whzl = 0;
    Enter(c, env, S::Up);
    LinkEvent(c, env, ST_LINK_UP, kStation);
    if (a & CF_FCV) StartPause(c, env, S::Pause);
}

void InPause(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.lt[LT_DATA_BEFORE_LINK] && SendNext(c, env)) {
        if (se.wquit) {
            se.u3 = env.av.Tick + env.svc.SecondsToTicks(c.bp.zztl);
            Enter(c, env, S::Up);
        }
        return;
    }
    if (!env.svc.Due(se.u3)) return;
    Enter(c, env, S::Up);
    SendFixedFrame(c, env, FF_REQUEST_STATUS);
}

// A primary frame of the partner: what is owed (sendq). Before the partner has reset this
// station's link only its reset and status requests are answered.
void OnPartnerRequest(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const T_Telegramm& te = c.em.te;
    switch (FunctionCode(te.lc)) {
    case 0:
        se.lke = 0x10;
        se.sendq = FF_ACK;
        se.mlke = true;
        return;
    case 9:
        se.sendq = FF_STATUS;
        return;
    default:
        break;
    }
    if (se.lke == 0) return;
    switch (FunctionCode(te.lc)) {
    case 3:
    case 4:
        if (IsCorrectFrame(te.stat)) ReceiveUserData(c, env);
        if (FunctionCode(te.lc) == 3) se.sendq = FF_ACK;
        break;
    case 2:
        se.sendq = FF_ACK;
        break;
    default:
        se.sendq = FF_NOT_IMPLEMENTED;
        break;
    }
}

} // namespace

void BalancedStationStep(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    se.class1 = false;
    se.la = c.bp.la.a[kStation];
    // Send now: honoured while no confirmation is awaited, so that an outstanding frame keeps its
    // answer and its repetition copy.
    if (se.sofse && !se.wquit) {
        se.sofse = false;
        SendUserData(c, env, {SourceKind::UserTelegram});
        return;
    }
    if (se.sendq != 0) {
        const uint8_t code = se.sendq;
        se.sendq = 0;
        if (!se.lt[LT_NO_SECONDARY]) SendFixedFrame(c, env, code);
        return;
    }
    switch (StateOf(c)) {
    case S::Start:
    case S::Lost:
        Establish(c, env);
        break;
    case S::Up:
        InUp(c, env);
        break;
    case S::AwaitReset:
        InAwaitReset(c, env);
        break;
    case S::Pause:
        InPause(c, env);
        break;
    default: // a state of another role: start again
        Enter(c, env, S::Start);
        break;
    }
}

void BalancedStationReaction(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    T_Telegramm& te = c.em.te;
    if (StateOf(c) == S::Lost) se.u3 = 0; // a lost link is retried at once
    const bool single = te.lg == 1;
    if (!single && ((te.lc & CF_DIR) != 0) == (c.bp.rb != 0)) {
        // The partner sends the other direction bit; this is the own one.
        if (IsCorrectFrame(te.stat)) te.stat = ST_DIR_BIT;
        return;
    }
    if (!single && (te.lc & CF_PRM)) {
        OnPartnerRequest(c, env);
        return;
    }
    if (se.wquit || se.te.stat == ST_TEXT_LINE) {
        ReloadLinkTest(c, env);
        se.empfq = single ? 0 : te.lc;
        return;
    }
    te.stat = ST_UNEXPECTED;
}

} // namespace vdl
