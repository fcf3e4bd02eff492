#include "link/controlled_station.h"

#include "asdu/asdu_layout.h"
#include "link/control_field_check.h"
#include "link/link_services.h"
#include "link/transmitter.h"
#include "link/user_data_reception.h"

namespace vdl {

namespace {

using S = ControlledState;

void Owe(T_SendVar& se, S s) {
    se.sendq = static_cast<uint8_t>(s);
}

uint16_t StationBit(int i) {
    return static_cast<uint16_t>(1u << ((i >= 0 && i < kMaxLinkAdr) ? i : 0));
}

// Whether the link the frame is for has been reset: the station's, or for the broadcast address
// any configured station's.
bool LinkReset(const T_ComVar& c, bool broadcast) {
    const uint16_t down = c.se.uslstat;
    if (!broadcast) return (down & StationBit(c.se.usi)) == 0;
    for (int k = 0; k < c.bp.la.anz && k < kMaxLinkAdr; ++k)
        if ((down & StationBit(k)) == 0) return true;
    return false;
}

// A request for class 2 data: a class 2 user telegram, or "no data".
void AnswerClass2(T_ComVar& c, LinkEnv& env) {
    if (!SendUserData(c, env, {SourceKind::UserTelegram}, DATA_CLASS2))
        SendFixedFrame(c, env, FF_NO_DATA);
}

// A request for class 1 data: a kept confirmation first, then the command feedback, a class 1
// user telegram or file transfer; "no data" when nothing is pending.
void AnswerClass1(T_ComVar& c, LinkEnv& env) {
    if (SendKeptConfirmation(c, env)) return;
    if (c.se.class1 && (SendUserData(c, env, {SourceKind::CommandFeedback}) ||
                        SendUserData(c, env, {SourceKind::UserTelegram}, DATA_CLASS1) ||
                        SendUserData(c, env, {SourceKind::FileTransfer})))
        return;
    SendFixedFrame(c, env, FF_NO_DATA);
}

// A request for access demand (to the broadcast address): the station with something pending
// answers with its status and the access demand bit; nobody answers when nothing is pending.
void AnswerAccessDemand(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    const int kept = StationWithConfirmation(c);
    if (kept >= 0) {
        se.usi = kept;
        se.class1 = true;
    } else {
        UserDataSources::Found f = env.sources.First(
            c, -1,
            {SourceKind::CommandFeedback, SourceKind::UserTelegram, SourceKind::FileTransfer},
            DATA_CLASS1);
        if (!f.source || f.ready.station < 0 || f.ready.station >= kMaxLinkAdr) return;
        se.usi = f.ready.station;
        se.class1 = true;
    }
    SendFixedFrame(c, env, FF_STATUS);
}

} // namespace

void ControlledStationStep(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (se.sofse) {
        // Sent spontaneously, as the user asked.
        se.sofse = false;
        if (!SendUserData(c, env, {SourceKind::UserTelegram}, DATA_CLASS1))
            SendUserData(c, env, {SourceKind::UserTelegram}, DATA_CLASS2);
        return;
    }
    if (se.sendq == 0) return;
    const S owed = static_cast<S>(se.sendq);
    se.sendq = 0;
    if (se.lt[LT_NO_SECONDARY]) return;
    if (owed == S::OwesRepetition) {
        Repeat(c, env);
        return;
    }
    DetermineClass1(c, env);
    switch (owed) {
    case S::OwesClass2:
        AnswerClass2(c, env);
        break;
    case S::OwesClass1:
        AnswerClass1(c, env);
        break;
    case S::OwesAccessDemand:
        AnswerAccessDemand(c, env);
        break;
    default:
        SendFixedFrame(c, env, static_cast<uint8_t>(owed));
        break;
    }
}

void ControlledStationReaction(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    T_Telegramm& te = c.em.te;
    if (MarkedBusy(c)) return;
    if (te.lg == 1) {
        if (te.stat == ST_OK) te.stat = ST_UNEXPECTED;
        return;
    }
    if (se.sendq != 0) {
        te.stat = ST_BUSY; // the answer to the last request is still owed
        return;
    }
    const int fc = FunctionCode(te.lc);
    const AsduLayout lay = LayoutOf(env.ap);
    const bool broadcast = lay.lgla > 0 && te.la == lay.globla;
    if (fc == 0) {
        const uint16_t bit = StationBit(se.usi);
        se.uslstat &= static_cast<uint16_t>(~bit);
        se.usfcb &= static_cast<uint16_t>(~bit);
        Owe(se, S::OwesAck);
        se.mlke = true;
        return;
    }
    if (fc == 9) {
        Owe(se, S::OwesStatus);
        return;
    }
    if (!LinkReset(c, broadcast)) return; // the controlling station must reset the link first
    const bool repeated = te.stat == ST_REPETITION;
    switch (fc) {
    case 3:
    case 4:
        if (!repeated && IsCorrectFrame(te.stat)) ReceiveUserData(c, env);
        if (fc == 3) Owe(se, S::OwesAck);
        break;
    case 8:
        if (IsCorrectFrame(te.stat)) {
            Owe(se, S::OwesAccessDemand);
            se.la = te.la;
        }
        break;
    case 10:
    case 11:
        se.la = te.la;
        if (repeated && se.usi == se.usia)
            Owe(se, S::OwesRepetition);
        else
            Owe(se, fc == 10 ? S::OwesClass1 : S::OwesClass2);
        break;
    default:
        Owe(se, S::OwesNotImplemented);
        break;
    }
}

} // namespace vdl
