#include "send/sete_encoder.h"

#include "asdu/catalogue.h"
#include "asdu/time_tag.h"
#include "core/clock.h"
#include "link/transmitter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vdl {

namespace {

constexpr uint8_t kIvBit = 0x80;  // minute octet: time tag invalid
constexpr uint8_t kGenBit = 0x40; // minute octet: substituted time
constexpr uint8_t kSuBit = 0x80;  // hour octet: summer time
constexpr uint8_t kNoLinesAsdu = 0x20;

uint8_t ControlFieldOf(const T_SeTe& t) {
    return kUserControlFields[std::clamp<int>(t.ueb, 0, 2)];
}

void PutLe(uint8_t* p, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

// A type 133 line whose time tag has its first four octets zero gets the present time.
void FillLineTimeTag(std::vector<uint8_t>& line, double now) {
    if (line.empty() || !HasTimeTag(line[0])) return;
    const bool cp56 = HasCP56(line[0]);
    const size_t len = cp56 ? kCP56Len : kCP24Len;
    if (line.size() < len + 1) return;
    uint8_t* tag = line.data() + line.size() - len;
    for (size_t k = 0; k < std::min<size_t>(4, len); ++k)
        if (tag[k] != 0) return;
    WriteTimeTag(tag, cp56, now);
}

} // namespace

int EncodeElement(const T_SeTe& t, uint8_t* out) {
    const uint8_t i0 = t.inf.ba[0], i1 = t.inf.ba[1], i2 = t.inf.ba[2], i3 = t.inf.ba[3];
    const uint8_t z0 = static_cast<uint8_t>(t.zus & 0xFF);
    const uint8_t z1 = static_cast<uint8_t>((t.zus >> 8) & 0xFF);
    const uint8_t q = t.qua;
    int n = 0;
    auto put = [&](std::initializer_list<int> v) {
        for (int b : v) out[n++] = static_cast<uint8_t>(b);
    };
    switch (t.typ) {
    case 1:
    case 2:
    case 30:
        put({(q & 0xFE) | (i0 & 1)});
        break;
    case 3:
    case 4:
    case 31:
        put({(q & 0xFC) | (i0 & 3)});
        break;
    case 5:
    case 6:
    case 32:
        put({(i0 & 0x7F) | t.trans, q});
        break;
    case 7:
    case 8:
    case 13:
    case 14:
    case 20:
    case 33:
    case 36:
        put({i0, i1, i2, i3, q});
        break;
    case 51:
        put({i0, i1, i2, i3});
        break;
    case 9:
    case 10:
    case 11:
    case 12:
    case 34:
    case 35:
        put({i0, i1, q});
        break;
    case 15:
    case 16:
    case 37:
        put({i0, i1, i2, i3, (q & 0xE0) | (z0 & 0x1F)});
        break;
    case 17:
    case 38:
        put({(q & 0xFC) | (i0 & 3), z0, z1});
        break;
    case 18:
    case 19:
    case 39:
    case 40:
        put({i0, q, z0, z1});
        break;
    case 21:
    case 104:
    case 106:
        put({i0, i1});
        break;
    case 45:
        put({((z0 << 2) & 0x7F) | (i0 & 1) | (q & 0x80)});
        break;
    case 46:
    case 47:
        put({((z0 << 2) & 0x7F) | (i0 & 3) | (q & 0x80)});
        break;
    case 48:
    case 49:
        put({i0, i1, (z0 & 0x7F) | q});
        break;
    case 50:
        put({i0, i1, i2, i3, (z0 & 0x7F) | q});
        break;
    case 70:
    case 100:
    case 105:
    case 113:
        put({i0});
        break;
    case 101:
        put({(t.quaidx << 6) | (i0 & 0x3F)});
        break;
    case 110:
    case 111:
        put({i0, i1, (z0 & 0x3F) | q});
        break;
    case 112:
        put({i0, i1, i2, i3, (z0 & 0x3F) | q});
        break;
    case 102:
    case 103: // 103 carries only its time tag
        break;
    default:
        return -1;
    }
    return n;
}

void EncodeTimeTag(const T_SeTe& t, bool cp56, double now, uint8_t* p) {
    const double date = t.datum != 0 ? std::floor(t.datum) : std::floor(now);
    const double time = t.zeit != 0 ? t.zeit - std::floor(t.zeit) : now - std::floor(now);
    WriteTimeTag(p, cp56, date + time, t.wt != 0);
    if (t.iv) p[2] |= kIvBit;
    if (t.gen) p[2] |= kGenBit;
    if (cp56 && t.su) p[3] |= kSuBit;
}

void AdvanceCounter(T_SeTe& t) {
    t.inf.l = static_cast<int32_t>(static_cast<uint32_t>(t.inf.l) + 15u);
    t.zus = (t.zus + 1) & 31;
}

int RawFrameLength(const T_SeTe& t, const RawLines& lines, const AsduLayout& lay) {
    const int lg = std::clamp<int>(t.lg, 0, kSeTeRawMax);
    switch (t.typ) {
    case PT_ASDU:
        return lay.TypI + lg + 2;
    case PT_FIXED:
        return lg + 3;
    case PT_FRAME:
        return 4 + lg + 2;
    case PT_HEX:
    case PT_TEXT:
        return lg;
    case PT_FILE: {
        size_t longest = 1; // without lines a single octet stands in for the ASDU
        for (const auto& l : lines) longest = std::max(longest, l.size());
        return lay.TypI + static_cast<int>(longest) + 2;
    }
    default:
        return 0;
    }
}

EncodeResult EncodeTelegram(T_ComVar& c, LinkEnv& env, T_SeTe& t, const RawLines& lines,
                            bool counterOption) {
    const AsduLayout lay = LayoutOf(env.ap);
    const uint8_t cf = ControlFieldOf(t);
    const int lg = std::clamp<int>(t.lg, 0, kSeTeRawMax);
    if (IsPseudoType(t.typ)) {
        bool ok = false;
        switch (t.typ) {
        case PT_ASDU:
            ok = BuildRawFrame(c, env, RAW_ASDU, t.b, lg, cf, static_cast<int>(t.la));
            break;
        case PT_FIXED:
            ok = BuildRawFrame(c, env, RAW_FIXED, t.b, lg, cf);
            break;
        case PT_FRAME:
            ok = BuildRawFrame(c, env, RAW_FRAME, t.b, lg, cf);
            break;
        case PT_HEX:
        case PT_TEXT:
            ok = BuildRawFrame(c, env, RAW_BYTES, t.b, lg, cf);
            break;
        default: { // PT_FILE
            if (lines.empty()) {
                t.anzt = 1;
                const uint8_t none = kNoLinesAsdu;
                ok = BuildRawFrame(c, env, RAW_ASDU, &none, 1, cf, static_cast<int>(t.la));
                break;
            }
            if (t.zeile < 0 || t.zeile >= static_cast<int32_t>(lines.size())) t.zeile = 0;
            std::vector<uint8_t> line = lines[static_cast<size_t>(t.zeile)];
            ++t.zeile;
            FillLineTimeTag(line, env.clock.LocalNow());
            ok = BuildRawFrame(c, env, RAW_ASDU_LINE, line.data(), static_cast<int>(line.size()),
                               cf, static_cast<int>(t.la));
            break;
        }
        }
        // What fits is built; a raw telegram fails only by its length.
        return ok ? EncodeResult::Built : EncodeResult::TooLong;
    }

    if (t.typ >= 120 || !IsKnownType(t.typ)) return EncodeResult::NotSendable;
    if (counterOption && (t.typ == 15 || t.typ == 16 || t.typ == 37)) AdvanceCounter(t);

    T_Telegramm te{};
    te.stat = ST_OK;
    int p = BeginVariableFrame(te, lay, cf, static_cast<uint16_t>(t.la));
    te.b[p++] = t.typ;
    te.b[p++] = t.struk;
    te.b[p++] = static_cast<uint8_t>((t.urs & 0x3F) | t.tn);
    if (lay.mitori) te.b[p++] = t.hk;
    PutLe(te.b + p, static_cast<uint32_t>(t.ca), lay.lgca);
    p += lay.lgca;
    PutLe(te.b + p, static_cast<uint32_t>(t.oa), lay.lgoa);
    p += lay.lgoa;
    const int n = EncodeElement(t, te.b + p);
    if (n < 0) return EncodeResult::NotSendable;
    p += n;
    if (HasTimeTag(t.typ)) {
        const bool cp56 = HasCP56(t.typ);
        EncodeTimeTag(t, cp56, env.clock.LocalNow(), te.b + p);
        p += cp56 ? kCP56Len : kCP24Len;
    }
    te.lg = static_cast<int16_t>(p);
    if (!FinishVariableFrame(c, te, true)) return EncodeResult::TooLong;
    c.se.te = te;
    return EncodeResult::Built;
}

} // namespace vdl
