#include "link/transmitter.h"

#include "asdu/asdu_header.h"
#include "asdu/time_tag.h"
#include "link/control_field_check.h"
#include "link/frame_checks.h"
#include "link/link_services.h"

#include <cmath>
#include <cstring>

namespace vdl {

namespace {

constexpr uint8_t kSingleChar = 0xE5;
constexpr int kMaxFrame = 261;       // length octet 255 plus six
constexpr int kMaxTextLine = 255;    // a text line with its CR LF
constexpr uint8_t kNoReplyFc = 0x44; // user data without reply, as composed

bool IsSingleChar(const T_Telegramm& te) {
    return te.lg == 1 && te.b[0] == kSingleChar;
}
bool IsTextRecord(const T_Telegramm& te) {
    return te.stat == ST_TEXT_LINE || te.stat == ST_MESSAGE_TEXT;
}
bool IsUserDataWithoutReply(const T_SendVar& se) {
    return (se.fktorg & 0x4F) == kNoReplyFc;
}
int ChannelIndex(const T_ComVar& c) {
    return c.se.snr == EK_TX2 ? 1 : 0;
}

// RTS is switched for sending in modes 2, 3, 6 and 7; each switch is logged.
void SetSendingRts(T_ComVar& c, LinkEnv& env, bool sending) {
    if (!LogsRtsSwitch(c.bp.rts)) return;
    const bool on = sending ? !IdleRts(c.bp.rts) : IdleRts(c.bp.rts);
    if (c.pCp) c.pCp->SetRts(on);
    env.svc.LogEvent(c, ST_RTS, on ? 1 : 0);
}

void LogSent(LinkEnv& env, const T_Telegramm& te) {
    T_Telegramm t = te;
    if (env.svc.hooks.log) env.svc.hooks.log(t);
}

void Transmit(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    T_Telegramm& te = se.te;
    const bool variable = te.lg > 6 && te.b[0] == 0x68;
    // The access demand of a response is checked again: the class 1 data may have gone since
    // the frame was built.
    if (se.sim == SIM_SLAVE && variable && (te.b[4] & CF_FCB)) {
        DetermineClass1(c, env);
        if (!se.class1) {
            te.b[4] &= static_cast<uint8_t>(~CF_FCB);
            te.b[te.lg - 2] = static_cast<uint8_t>(te.b[te.lg - 2] - CF_FCB);
        }
    }
    te.ek = se.snr;
    te.ta = (variable || IsTextRecord(te) || c.bp.fkt == FKT_ASCII) ? TA_VARIABLE : TA_FIXED;
    if (c.pCp) c.pCp->Write(te.b, te.validLen());
    if (se.sim == SIM_SLAVE) {
        se.tew = te;
    } else if (!IsSingleChar(te) && !IsTextRecord(te)) {
        // A repetition awaits its answer as the original did, whatever was composed since (a
        // balanced station may have acknowledged its partner's frame meanwhile).
        if (te.stat == ST_REPETITION || ExpectsAnswer(se.fktorg)) {
            se.tew = te;
            se.wquit = true;
            se.loadu2 = true;
            se.empfq = 255;
        } else if (se.fktorg & CF_PRM) {
            se.wquit = false;
        }
    }
    env.svc.LightLamp(c.LedT);
    DecodeHeader(te, c.bp.fkt, LayoutOf(env.ap));
    LogSent(env, te);
}

} // namespace

bool ExpectsAnswer(uint8_t cf) {
    const int fc = FunctionCode(cf);
    return (cf & CF_PRM) && (fc <= 3 || (fc >= 8 && fc <= 11));
}

int32_t TransmissionMs(int lg, int32_t baud) {
    if (baud <= 0) baud = 9600;
    return static_cast<int32_t>(std::lround((lg * 11000.0 + 6000.0) / baud)) + 2;
}

uint8_t ComposeControlField(T_ComVar& c, uint8_t cf, bool final) {
    T_SendVar& se = c.se;
    const auto& lt = se.lt;
    if (se.sim == SIM_SLAVE) {
        if (final) cf = 0x08;
    } else {
        if (cf == 0x08 && (se.sim == SIM_BALANCED || se.sim == SIM_MASTER)) cf = 0x53;
        if ((cf & CF_PRM) && (cf & CF_FCV)) {
            uint8_t fcb;
            if (se.sim == SIM_MASTER) {
                const uint16_t bit = static_cast<uint16_t>(1u << (se.usi & 15));
                if (!lt[LT_NO_FCB_TOGGLE]) se.usfcb ^= bit;
                fcb = (se.usfcb & bit) ? CF_FCB : 0;
            } else {
                if (!lt[LT_NO_FCB_TOGGLE]) se.fcb ^= CF_FCB;
                fcb = se.fcb & CF_FCB;
            }
            cf = static_cast<uint8_t>((cf & ~CF_FCB) | fcb);
        }
        if (c.bp.pro == PRO_BALANCED)
            cf = static_cast<uint8_t>((cf & ~CF_DIR) | (c.bp.rb ? CF_DIR : 0));
    }
    se.fktorg = cf;
    const bool primary = (cf & CF_PRM) != 0;
    if (lt[LT_INVERT_BIT7]) cf ^= CF_DIR;
    if (lt[LT_INVERT_PRM]) cf ^= CF_PRM;
    if (!primary) {
        if (lt[LT_SET_ACD] || se.class1) cf |= CF_FCB;
        if (lt[LT_SET_DFC]) cf |= CF_FCV;
    } else if (lt[LT_INVERT_FCV]) {
        cf ^= CF_FCV;
    }
    return cf;
}

uint16_t CurrentLinkAddress(const T_ComVar& c) {
    const bool unbalanced = c.se.sim == SIM_MASTER || c.se.sim == SIM_SLAVE;
    const int i = unbalanced ? c.se.usi : 0;
    return c.bp.la.a[(i >= 0 && i < kMaxLinkAdr) ? i : 0];
}

void SendFixedFrame(T_ComVar& c, LinkEnv& env, uint8_t code) {
    T_SendVar& se = c.se;
    const auto& lt = se.lt;
    const uint8_t base = (se.sim == SIM_BALANCED && c.bp.rb) ? CF_DIR : 0;
    const bool acdOrDfc = se.class1 || lt[LT_SET_ACD] || lt[LT_SET_DFC];
    const int vwe5 = c.bp.vwe5;
    bool single = false;
    uint8_t cf = 0;
    switch (code) {
    case FF_ACK:
        if (lt[LT_NEGATIVE_ACK])
            cf = base + 1;
        else if ((vwe5 == 1 || vwe5 == 3) && !acdOrDfc)
            single = true;
        else
            cf = base;
        break;
    case FF_NACK:
        cf = base + 1;
        break;
    case FF_STATUS:
        cf = base + (lt[LT_NEGATIVE_ACK] ? 1 : 11);
        break;
    case FF_NOT_IMPLEMENTED:
        cf = base + 15;
        break;
    case FF_RESET:
        se.fcb = 0;
        cf = base + 0x40;
        break;
    case FF_TEST:
        cf = base + 0x52;
        break;
    case FF_REQUEST_STATUS:
        cf = base + 0x49;
        break;
    case FF_REQUEST_DATA: {
        const int i = se.usi >= 0 && se.usi < kMaxLinkAdr ? se.usi : 0;
        cf = base + ((c.bp.abf == 1 || se.abf1[static_cast<size_t>(i)]) ? 0x5A : 0x5B);
        break;
    }
    case FF_NO_DATA:
        if (lt[LT_NEGATIVE_ACK])
            cf = 0x01;
        else if (vwe5 == 3 && !acdOrDfc && !lt[LT_INVERT_BIT7] && !lt[LT_INVERT_PRM])
            single = true;
        else
            cf = 0x09;
        break;
    default:
        return;
    }
    T_Telegramm& te = se.te;
    te = T_Telegramm{};
    if (single) {
        te.b[0] = kSingleChar;
        te.lg = 1;
    } else {
        const int lgla = LayoutOf(env.ap).lgla;
        const uint16_t la = CurrentLinkAddress(c);
        te.b[0] = 0x10;
        te.b[1] = ComposeControlField(c, cf, false);
        for (int k = 0; k < lgla; ++k) te.b[2 + k] = static_cast<uint8_t>(la >> (8 * k));
        const int lg = lgla + 4;
        te.b[lg - 2] = FrameChecksum(te.b, lg);
        te.b[lg - 1] = 0x16;
        te.lg = static_cast<int16_t>(lg);
    }
    te.stat = ST_OK;
    ContinueSending(c, env);
}

int BeginVariableFrame(T_Telegramm& te, const AsduLayout& lay, uint8_t cf, uint16_t la) {
    te.b[0] = te.b[3] = 0x68;
    te.b[1] = te.b[2] = 0;
    te.b[4] = cf;
    for (int k = 0; k < lay.lgla; ++k) te.b[5 + k] = static_cast<uint8_t>(la >> (8 * k));
    te.lg = static_cast<int16_t>(lay.TypI);
    return lay.TypI;
}

int PutAsduHead(T_Telegramm& te, const AsduLayout& lay, const AsduHead& h) {
    int p = lay.TypI;
    te.b[p++] = h.typ;
    te.b[p++] = h.struk;
    te.b[p++] = h.cot;
    if (lay.mitori) te.b[p++] = h.org;
    for (int k = 0; k < lay.lgca; ++k) te.b[p++] = static_cast<uint8_t>(h.ca >> (8 * k));
    for (int k = 0; k < lay.lgoa; ++k) te.b[p++] = static_cast<uint8_t>(h.oa >> (8 * k));
    te.lg = static_cast<int16_t>(p);
    return p;
}

bool FinishVariableFrame(T_ComVar& c, T_Telegramm& te, bool compose) {
    const int lg = te.lg;
    if (lg < 5 || lg + 2 > kMaxFrame) return false;
    if (compose) te.b[4] = ComposeControlField(c, te.b[4], true);
    te.b[1] = te.b[2] = static_cast<uint8_t>(lg - 4);
    te.b[lg] = FrameChecksum(te.b, lg + 2);
    te.b[lg + 1] = 0x16;
    te.lg = static_cast<int16_t>(lg + 2);
    return true;
}

bool BuildRawFrame(T_ComVar& c, LinkEnv& env, uint8_t kind, const uint8_t* data, int n, uint8_t cf,
                   int la) {
    const AsduLayout lay = LayoutOf(env.ap);
    const int fkt = c.bp.fkt;
    if (n < 1) return false;
    T_Telegramm t{};
    t.stat = ST_OK;
    switch (kind) {
    case RAW_ASDU:
    case RAW_ASDU_LINE: {
        const uint16_t addr = la < 0 ? CurrentLinkAddress(c) : static_cast<uint16_t>(la);
        const int at = BeginVariableFrame(t, lay, cf, addr);
        if (at + n + 2 > kMaxFrame) return false;
        std::memcpy(t.b + at, data, static_cast<size_t>(n));
        t.lg = static_cast<int16_t>(at + n);
        if (kind == RAW_ASDU_LINE) FillEmptyTimeTags(t, lay, env.clock.LocalNow());
        if (!FinishVariableFrame(c, t, true)) return false;
        break;
    }
    case RAW_FIXED: {
        if (n + 3 > kMaxFrame) return false;
        t.b[0] = 0x10;
        std::memcpy(t.b + 1, data, static_cast<size_t>(n));
        t.lg = static_cast<int16_t>(n + 3);
        t.b[n + 1] = FrameChecksum(t.b, t.lg);
        t.b[n + 2] = 0x16;
        c.se.fktorg = 0;
        break;
    }
    case RAW_FRAME:
        if (4 + n + 2 > kMaxFrame) return false;
        t.b[0] = t.b[3] = 0x68;
        std::memcpy(t.b + 4, data, static_cast<size_t>(n));
        t.lg = static_cast<int16_t>(4 + n);
        if (!FinishVariableFrame(c, t, false)) return false;
        c.se.fktorg = 0;
        break;
    case RAW_BYTES:
    case RAW_BYTES2:
        if (n > kMaxFrame) return false;
        std::memcpy(t.b, data, static_cast<size_t>(n));
        t.lg = static_cast<int16_t>(n);
        t.stat = fkt == FKT_ASCII ? ST_OK : ST_TEXT_LINE;
        c.se.fktorg = 0;
        break;
    default:
        return false;
    }
    // The frames with an ASDU are judged as the receiver would judge them.
    const bool judged = kind == RAW_ASDU || kind == RAW_FRAME || kind == RAW_ASDU_LINE;
    if (judged && fkt <= FKT_SLAVE) {
        t.ta = TA_VARIABLE;
        DecodeHeader(t, fkt, lay);
        CheckAsdu(t, lay, env.texts, env.av.pfu);
    } else if ((kind == RAW_ASDU || kind == RAW_FRAME) && (fkt == FKT_RP5 || fkt == FKT_RP6)) {
        t.ta = TA_VARIABLE;
        DecodeHeader(t, fkt, lay);
        t.stat = CheckRp57x(t, fkt);
    }
    c.se.te = t;
    return true;
}

void ContinueSending(T_ComVar& c, LinkEnv& env) {
    T_SendVar& se = c.se;
    ChannelService& svc = env.svc;
    const bool rtsSwitched = LogsRtsSwitch(c.bp.rts);
    for (;;) {
        if (se.Stat != SS_IDLE && !svc.Due(se.u1)) return;
        int32_t d = 0;
        switch (se.Stat) {
        case SS_IDLE:
            se.Stat = SS_SEND_DELAY;
            d = c.bp.sverz;
            break;
        case SS_SEND_DELAY:
            se.Stat = SS_RTS_LEAD;
            SetSendingRts(c, env, true);
            d = c.bp.tv;
            break;
        case SS_RTS_LEAD:
            se.Stat = SS_SENDING;
            Transmit(c, env);
            se.wait = true;
            d = TransmissionMs(se.te.lg, c.bp.baud) + (IsUserDataWithoutReply(se) ? se.pzt : 0);
            break;
        case SS_SENDING:
            se.Stat = SS_RTS_LAG;
            se.wait = false;
            if (se.loadu2) {
                se.loadu2 = false;
                se.u2 = env.av.Tick + svc.MsToTicks(c.bp.qzt);
            }
            if (rtsSwitched) d = c.bp.tn - (IsUserDataWithoutReply(se) ? se.pzt : 0);
            break;
        default: // SS_RTS_LAG
            se.Stat = SS_IDLE;
            SetSendingRts(c, env, false);
            return;
        }
        if (d > 0)
            svc.SendDelay(ChannelIndex(c), d);
        else
            se.u1 = env.av.Tick;
    }
}

void StartSending(T_ComVar& c, LinkEnv& env, const T_Telegramm& frame) {
    c.se.te = frame;
    ContinueSending(c, env);
}

void Repeat(T_ComVar& c, LinkEnv& env) {
    c.se.te = c.se.tew;
    c.se.te.stat = ST_REPETITION;
    ContinueSending(c, env);
}

bool SendTextLine(T_ComVar& c, LinkEnv& env, const std::string& text, bool lineEnd) {
    if (!env.av.online) {
        env.msg.Error(env.texts.tx(870));
        return false;
    }
    if (!c.se.open) return false;
    T_Telegramm beside{};
    T_Telegramm& te = c.se.Stat == SS_IDLE ? c.se.te : beside;
    te = T_Telegramm{};
    const std::string line = text.substr(0, kMaxTextLine - 2) + (lineEnd ? "\r\n" : "");
    std::memcpy(te.b, line.data(), line.size());
    te.lg = static_cast<int16_t>(line.size());
    te.ta = TA_TEXT;
    te.stat = ST_TEXT_LINE;
    te.ek = c.se.snr;
    if (c.pCp) c.pCp->Write(te.b, te.lg);
    env.svc.LightLamp(c.LedT);
    LogSent(env, te);
    return true;
}

} // namespace vdl
