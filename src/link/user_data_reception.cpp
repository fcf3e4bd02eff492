#include "link/user_data_reception.h"

#include "asdu/asdu_layout.h"
#include "asdu/catalogue.h"
#include "link/transmitter.h"

#include <cstring>

namespace vdl {

namespace {

constexpr uint8_t kCauseMask = 0x3F;
constexpr uint8_t kNegative = 0x40;
constexpr int kDelayAcquisition = 106;

bool ValidStation(int i) {
    return i >= 0 && i < kMaxLinkAdr;
}

bool IsCommandCause(uint8_t urs) {
    const int cause = urs & kCauseMask;
    return (urs & kNegative) == 0 && (cause == 6 || cause == 8);
}

void Keep(T_ComVar& c, int station, const T_ComCmd& cmd) {
    if (!ValidStation(station)) return;
    auto& q = c.se.c[static_cast<size_t>(station)];
    if (q.size() < kMaxKeptCommands) q.push_back(cmd);
}

// A command with cause 6 or 8 is kept for its confirmation.
void KeepForConfirmation(T_ComVar& c, const AsduLayout& lay) {
    const T_Telegramm& te = c.em.te;
    if (c.bp.bcon != 1 || !IsControlType(te.typ) || !IsCommandCause(te.urs)) return;
    KeepConfirmation(c, te, lay);
}

// Milliseconds within the minute of a day number (seconds x 1000 + milliseconds).
uint16_t MsOfMinute(double dt) {
    DateTimeParts p = DecodeDateTime(dt);
    return static_cast<uint16_t>(p.second * 1000 + p.ms);
}

} // namespace

void KeepConfirmation(T_ComVar& c, const T_Telegramm& te, const AsduLayout& lay) {
    T_ComCmd cmd;
    cmd.stat = te.stat;
    cmd.lg = static_cast<int16_t>(te.validLen());
    std::memcpy(cmd.b, te.b, static_cast<size_t>(cmd.lg));
    if (lay.lgla > 0 && te.la == lay.globla) {
        for (int k = 0; k < c.bp.la.anz && k < kMaxLinkAdr; ++k) Keep(c, k, cmd);
    } else {
        Keep(c, c.se.usi, cmd);
    }
}

void ReceiveUserData(T_ComVar& c, LinkEnv& env) {
    if (c.se.lt[LT_NO_USER_DATA]) return;
    const T_Telegramm& te = c.em.te;
    if (env.hooks.userData) env.hooks.userData(c);
    if (te.typ >= 45 && te.typ <= 51 && env.hooks.commandFeedback && env.hooks.commandFeedback(c))
        return;
    KeepForConfirmation(c, LayoutOf(env.ap));
    if (te.typ >= 120 && te.typ <= 126 && env.hooks.fileTransfer) env.hooks.fileTransfer(c);
}

bool ConfirmationKept(const T_ComVar& c, int station) {
    return ValidStation(station) && !c.se.c[static_cast<size_t>(station)].empty();
}

int StationWithConfirmation(const T_ComVar& c) {
    for (int k = 0; k < kMaxLinkAdr; ++k)
        if (ConfirmationKept(c, k)) return k;
    return -1;
}

bool SendKeptConfirmation(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    if (!ConfirmationKept(c, se.usi)) return false;
    auto& q = se.c[static_cast<size_t>(se.usi)];
    // Taken out before the frame is composed, so that the access demand it carries counts only
    // what is still waiting.
    const T_ComCmd cmd = q.front();
    q.pop_front();
    const AsduLayout lay = LayoutOf(env.ap);
    const int n = cmd.lg - 2; // without checksum and end character
    const int urs = lay.TypI + 2;
    if (n <= urs || n > kTeByteLen - 2) return false;

    T_Telegramm& te = se.te;
    te = T_Telegramm{};
    std::memcpy(te.b, cmd.b, static_cast<size_t>(n));
    te.lg = static_cast<int16_t>(n);
    const uint16_t la = CurrentLinkAddress(c);
    for (int k = 0; k < lay.lgla; ++k) te.b[5 + k] = static_cast<uint8_t>(la >> (8 * k));
    uint8_t cause = static_cast<uint8_t>(((te.b[urs] & kCauseMask) + 1) & kCauseMask);
    te.b[urs] = static_cast<uint8_t>((te.b[urs] & ~kCauseMask) | cause);
    if (cmd.stat != ST_OK) te.b[urs] |= kNegative;
    const int element = lay.OaI + lay.lgoa;
    if (te.b[lay.TypI] == kDelayAcquisition && element + 1 < n) {
        const uint16_t ms = MsOfMinute(env.clock.LocalNow());
        te.b[element] = static_cast<uint8_t>(ms & 0xFF);
        te.b[element + 1] = static_cast<uint8_t>(ms >> 8);
    }
    te.b[4] = kUserControlFields[2]; // user data as a response
    if (!FinishVariableFrame(c, te)) return false;
    te.stat = cmd.stat;
    ContinueSending(c, env);
    return true;
}

} // namespace vdl
