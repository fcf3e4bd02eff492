#include "send/feedback.h"

#include "asdu/asdu_header.h"
#include "asdu/catalogue.h"
#include "asdu/time_tag.h"
#include "link/transmitter.h"
#include "link/user_data_reception.h"
#include "send/sete_encoder.h"

#include <algorithm>
#include <cstring>

namespace vdl {

namespace {

constexpr uint8_t kTestBit = 0x80;
constexpr uint8_t kNegativeBit = 0x40;
constexpr uint8_t kCauseMask = 0x3F;
constexpr int kActivation = 6, kDeactivation = 8, kTermination = 10;
constexpr int kReturnRemote = 11, kSpontaneous = 3;
constexpr int kUnknownCa = 45, kUnknownOa = 46; // kept; the confirmation adds 1
constexpr uint8_t kResponseWithData = 0x08;

uint32_t U32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool Unbalanced(const T_ComVar& c) {
    return c.se.sim == SIM_MASTER || c.se.sim == SIM_SLAVE;
}

int RandomIn(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// The octets of a kept frame up to the end of its first object's element: all but checksum
// and end character, or, for a frame that was longer than the table keeps, the first object.
int KeptLength(const T_BefRm& e, const AsduLayout& lay) {
    const int typ = e.b[lay.TypI];
    const int first = lay.OaI + lay.lgoa + ElementLength(typ);
    return e.lg >= kRmFrameMax ? std::min(first, kRmFrameMax) : e.lg - 2;
}

} // namespace

T_BefRm NewFeedbackEntry() {
    T_BefRm e{};
    e.rtyp = 3;
    e.bken = -1;
    return e;
}

bool IsNewFeedbackEntry(const T_BefRm& e) {
    return e.bca == 0 && e.boa == 0 && e.roa == 0 && e.rtyp == 3 && (e.bken == -1 || e.bken == 0);
}

void NewFeedbackTable(T_RmTab& t) {
    std::memset(&t, 0, sizeof t);
    t.lg = kRmTabLen;
    for (T_BefRm& e : t.e) e = NewFeedbackEntry();
}

bool IsReturnType(int typ) {
    return (typ >= 1 && typ <= 14) || typ == 20 || (typ >= 30 && typ <= 36);
}

std::vector<uint8_t> RmBlock(const T_RmTab& t) {
    std::vector<uint8_t> b(kRmTabLen);
    T_RmTab copy = t;
    copy.lg = kRmTabLen;
    std::memcpy(b.data(), &copy, kRmTabLen);
    return b;
}

bool TakeRmBlock(T_RmTab& t, const std::vector<uint8_t>& block) {
    if (block.size() != kRmTabLen || U32(block.data()) != kRmTabLen) return false;
    std::memcpy(&t, block.data(), kRmTabLen);
    return true;
}

ReturnValue ReturnInformationValue(int rtyp, int t, uint32_t v, int8_t& rmstep, int step,
                                   std::mt19937& rng) {
    ReturnValue r;
    r.ok = true;
    switch (rtyp) {
    case 1:
    case 2:
    case 30:
        // A set-point answered by a point takes a state of its own.
        r.inf.l = t == 45  ? static_cast<int32_t>(v & 1)
                  : t < 48 ? static_cast<int32_t>((v - 1) & 1)
                           : RandomIn(rng, 0, 1);
        break;
    case 3:
    case 4:
    case 31:
        r.inf.l = t == 45  ? static_cast<int32_t>((v + 1) & 3)
                  : t < 48 ? static_cast<int32_t>(v & 3)
                           : RandomIn(rng, 1, 2);
        break;
    case 5:
    case 6:
    case 32:
        rmstep = static_cast<int8_t>((v & 3) == 1 ? rmstep - step : rmstep + step);
        r.inf.l = rmstep & 0x7F;
        break;
    case 7:
    case 8:
    case 20:
    case 33:
        r.inf.l = t == 51 ? static_cast<int32_t>(v) : RandomIn(rng, 0, 2147483646);
        break;
    case 9:
    case 10:
    case 34:
        r.inf.l = t == 48 ? static_cast<int32_t>(v & 0xFFFF) : RandomIn(rng, 0, 1999);
        break;
    case 11:
    case 12:
    case 35:
        r.inf.l = t == 49 ? static_cast<int32_t>(v & 0xFFFF) : RandomIn(rng, 0, 1999);
        break;
    case 13:
    case 14:
    case 36:
        if (t == 50)
            r.inf.u = v;
        else
            r.inf.sgl = std::uniform_real_distribution<float>(0.0f, 1000.0f)(rng);
        break;
    default:
        r.ok = false;
        break;
    }
    return r;
}

// ---- Matching ----

bool CommandFeedback::MatchCommand(T_ComVar& c, T_Telegramm& te) {
    T_RmTab& tab = *tab_;
    if (tab.ein != 1 || te.typ < 45 || te.typ > 51) return false;
    const int cause = te.urs & 0x7F;
    if (cause != kActivation && cause != kDeactivation) return true;
    const AsduLayout lay = LayoutOf(env_.link.ap);
    const uint32_t a = ObjectAddress(1, te, lay);
    const int elen = ElementLength(te.typ);
    const int last = lay.InfI + elen - 1;
    const uint8_t q = te.typ == 51 || last >= te.validLen() ? 0 : te.b[last];
    const int e = te.typ <= 47 ? (q >> 2) & 0x1F : q & 0x7F;
    const bool execute = (q & 0x80) == 0 && cause == kActivation;
    bool known = false, matched = false;
    for (T_BefRm& r : tab.e) {
        if (te.ca != static_cast<uint32_t>(r.bca)) continue;
        known = true;
        if (a != static_cast<uint32_t>(r.boa) || !(r.bken == e || r.bken == -1 || te.typ == 51))
            continue;
        matched = true;
        r.la = te.la;
        r.stat = ST_OK;
        r.ek = te.ek;
        r.lg = static_cast<int16_t>(std::min(te.validLen(), kRmFrameMax));
        std::memset(r.b, 0, sizeof r.b);
        std::memcpy(r.b, te.b, static_cast<size_t>(r.lg));
        // A new command replaces what an earlier one left pending.
        r.pcon = r.con;
        r.pret = execute ? r.ret : 0;
        r.pterm = execute ? r.term : 0;
    }
    if (matched) {
        if (execute) c.se.urm = env_.av.Tick + (tab.wzeit ? env_.link.svc.MsToTicks(tab.wzeit) : 0);
        return true;
    }
    te.stat = ST_LINK_ADDRESS;
    T_Telegramm kept = te;
    kept.b[lay.TypI + 2] = static_cast<uint8_t>((te.b[lay.TypI + 2] & ~kCauseMask) |
                                                (known ? kUnknownOa : kUnknownCa));
    // Confirmed as a kept command: cause + 1 and the negative bit (46 or 47).
    KeepConfirmation(c, kept, lay);
    return true;
}

// ---- Selecting and sending ----

int CommandFeedback::SelectFeedback(const T_ComVar& c, int station) const {
    const T_RmTab& tab = *tab_;
    if (tab.ein != 1 || c.se.lt[LT_NO_USER_DATA]) return 0;
    const bool due = env_.link.svc.Due(c.se.urm);
    const bool checkStation =
        Unbalanced(c) && env_.link.ap.lgla > 0 && station >= 0 && station < kMaxLinkAdr;
    const uint16_t glob = env_.av.globla;
    for (int i = 1; i <= kRmEntries; ++i) {
        const T_BefRm& e = tab.e[i - 1];
        if (e.ek != c.em.enr) continue;
        if (!(e.pcon || (due && (e.pret || e.pterm)))) continue;
        if (checkStation) {
            const uint16_t addressed = c.bp.la.a[station];
            if (e.la != addressed && e.la != glob && addressed != glob) continue;
        }
        return i;
    }
    return 0;
}

ReadyData CommandFeedback::Ready(const T_ComVar& c, int station) const {
    const int i = SelectFeedback(c, station);
    if (!i) return {};
    const T_BefRm& e = tab_->e[i - 1];
    int at = station >= 0 ? station : c.se.usi;
    for (int k = 0; k < c.bp.la.anz && k < kMaxLinkAdr; ++k)
        if (c.bp.la.a[k] == e.la) at = k;
    return {DATA_CLASS1, at};
}

bool CommandFeedback::Build(T_ComVar& c, int station) {
    const int i = SelectFeedback(c, station);
    if (!i) return false;
    T_BefRm& e = tab_->e[i - 1];
    c.se.rm = i;
    const int cause = e.b[LayoutOf(env_.link.ap).TypI + 2] & kCauseMask;
    if (e.pcon) {
        e.pcon = 0;
        return BuildConfirmation(c, e, cause + 1, e.stat != ST_OK);
    }
    if (e.pret) {
        e.pret = 0;
        if (BuildReturn(c, e)) return true;
        if (!e.pterm) return false;
    }
    e.pterm = 0;
    return BuildConfirmation(c, e, kTermination, false);
}

bool CommandFeedback::BuildConfirmation(T_ComVar& c, const T_BefRm& e, int cause, bool negative) {
    const AsduLayout lay = LayoutOf(env_.link.ap);
    const int n = KeptLength(e, lay);
    if (n <= lay.OaI || n > kRmFrameMax) return false;
    T_Telegramm te{};
    te.stat = ST_OK;
    BeginVariableFrame(te, lay, kResponseWithData, CurrentLinkAddress(c));
    std::memcpy(te.b + lay.TypI, e.b + lay.TypI, static_cast<size_t>(n - lay.TypI));
    if (e.lg >= kRmFrameMax) te.b[lay.TypI + 1] = 1; // only the first object was kept
    uint8_t& cot = te.b[lay.TypI + 2];
    cot = static_cast<uint8_t>((cot & kTestBit) | (cause & kCauseMask) |
                               (negative ? kNegativeBit : 0));
    te.lg = static_cast<int16_t>(n);
    if (!FinishVariableFrame(c, te, true)) return false;
    c.se.te = te;
    return true;
}

bool CommandFeedback::BuildReturn(T_ComVar& c, const T_BefRm& e) {
    const AsduLayout lay = LayoutOf(env_.link.ap);
    const int t = e.b[lay.TypI];
    const int rtyp = e.rtyp;
    if (!IsReturnType(rtyp) || e.lg < lay.OaI) return false;
    // The command's element value: the first four octets of its element (0 beyond the frame).
    uint8_t el[4] = {};
    for (int k = 0; k < 4; ++k)
        if (lay.InfI + k < e.lg - 2) el[k] = e.b[lay.InfI + k];
    const ReturnValue v =
        ReturnInformationValue(rtyp, t, U32(el), c.se.rmstep, env_.av.dRmStg, rng_);
    if (!v.ok) return false;

    T_Telegramm te{};
    te.stat = ST_OK;
    int p = BeginVariableFrame(te, lay, kResponseWithData, CurrentLinkAddress(c));
    std::memcpy(te.b + lay.TypI, e.b + lay.TypI, static_cast<size_t>(lay.OaI - lay.TypI));
    te.b[lay.TypI] = static_cast<uint8_t>(rtyp);
    const bool remote = (rtyp >= 1 && rtyp <= 6) || (rtyp >= 30 && rtyp <= 32);
    uint8_t& cot = te.b[lay.TypI + 2];
    cot = static_cast<uint8_t>((cot & kTestBit) | (remote ? kReturnRemote : kSpontaneous));
    p = lay.OaI;
    for (int k = 0; k < lay.lgoa; ++k) te.b[p++] = static_cast<uint8_t>(e.roa >> (8 * k));
    T_SeTe w{};
    w.typ = static_cast<uint8_t>(rtyp);
    w.inf = v.inf;
    const int n = EncodeElement(w, te.b + p);
    if (n < 0) return false;
    p += n;
    if (HasTimeTag(rtyp)) {
        const bool cp56 = HasCP56(rtyp);
        w.su = env_.link.ap.SZt ? 1 : 0;
        w.gen = env_.link.ap.Gen ? 1 : 0;
        EncodeTimeTag(w, cp56, env_.link.clock.LocalNow(), te.b + p);
        p += cp56 ? kCP56Len : kCP24Len;
    }
    te.lg = static_cast<int16_t>(p);
    if (!FinishVariableFrame(c, te, true)) return false;
    c.se.te = te;
    return true;
}

} // namespace vdl
