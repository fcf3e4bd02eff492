#include "asdu/element_text.h"

#include "asdu/catalogue.h"
#include "asdu/interp_words.h"
#include "core/format.h"
#include "core/utf8.h"

#include <bit>
#include <cmath>
#include <cstdlib>

namespace vdl {

namespace {

// Reads the element little-endian; octets beyond the record read as 0.
class Cursor {
public:
    Cursor(const T_Telegramm& te, int pos) : te_(te), p_(pos) {}
    uint8_t At(int i) const {
        int k = p_ + i;
        return (k >= 0 && k < te_.validLen()) ? te_.b[k] : 0;
    }
    uint32_t U(int i, int octets) const {
        uint32_t v = 0;
        for (int k = octets - 1; k >= 0; --k) v = (v << 8) | At(i + k);
        return v;
    }
    int16_t S16(int i) const { return static_cast<int16_t>(U(i, 2)); }
    int Pos() const { return p_; }

private:
    const T_Telegramm& te_;
    int p_;
};

class Words {
public:
    explicit Words(const ElementTextEnv& env) : e(env), t(env.t) {}

    const std::string& tx(int n) const { return t.tx(n); }
    // Num(text, n): the text directly followed by the decimal n.
    std::string Num(int text, long long n) const { return tx(text) + std::to_string(n); }

    // Q(octet, res-mask) without the trailing blank.
    std::string Q(uint8_t q, uint8_t resMask) const {
        bool longWords = e.full && std::popcount(static_cast<unsigned>(q & (resMask | 0xF0))) <= 2;
        int base = longWords ? 270 : 275;
        std::string s;
        for (int bit = 7; bit >= 4; --bit)
            if (q & (1 << bit)) s += tx(base + 7 - bit);
        if (q & resMask) s += tx(longWords ? 274 : 279);
        return s;
    }
    static std::string Blank(std::string s) { return s.empty() ? s : s + ' '; }
    std::string Qds(uint8_t q) const {
        std::string s = Q(q, 0x0E);
        if (q & 0x01) s += tx(e.full && std::popcount(static_cast<unsigned>(q)) <= 3 ? 280 : 281);
        return Blank(s);
    }
    // S/E(bit)
    std::string SelectExecute(int bit) const { return tx((e.full ? 310 : 358) + bit); }
    // DCS: OFF and ON as a double point shows them; 0 and 3 are not permitted, the words of
    // the regulating step's states 0 and 3 (a double point's 0 and 3 mean something else).
    const std::string& DoubleCommandState(int dcs) const {
        return (dcs == 1 || dcs == 2) ? tx(286 + dcs) : tx(317 + dcs);
    }
    // C(octet), qualifier of command
    std::string Command(uint8_t c) const {
        int qu = (c >> 2) & 0x1F;
        std::string s = SelectExecute(c >> 7);
        if (qu >= 1 && qu <= 3)
            s += tx(313 + qu);
        else
            s += Num(e.full ? 312 : 313, qu);
        return s + "  ";
    }
    // QOS, qualifier of set-point command
    std::string SetPoint(uint8_t q) const {
        return SelectExecute(q >> 7) + tx(e.full ? 312 : 334) + std::to_string(q & 0x7F) + "  ";
    }
    // QPM, qualifier of parameter of measured values
    std::string ParameterQualifier(uint8_t q) const {
        std::string s;
        if (q & 0x80) s += tx(330);
        if (q & 0x40) s += tx(331);
        int kpa = q & 0x3F;
        if (kpa >= 1 && kpa <= 4)
            s += tx(334 + kpa);
        else
            s += Num(e.full ? 328 : 329, kpa);
        return s;
    }
    // Seconds and milliseconds of a millisecond count: "ss,mmm".
    static std::string Seconds(uint32_t ms) {
        return Format("%0.2d,%-0.3d", {static_cast<int>(ms / 1000), static_cast<int>(ms % 1000)});
    }
    // E(octet, res-mask): protection event quality with its elapsed time CP16Time2a at i.
    std::string ProtectionEvent(const Cursor& c, int i, uint8_t q, uint8_t resMask) const {
        std::string s;
        if (q > 15) s += Q(q, 0);
        if (q & resMask) s += tx(279);
        s = Blank(s);
        s += tx((q & 0x08) ? 282 : 283);
        s += Seconds(c.U(i + 1, 2)) + "s  ";
        return s;
    }
    std::string Normalised(int16_t raw) const {
        double full = e.mwvoll != 0 ? e.mwvoll : 32767; // a zero full scale would divide by 0
        double p = raw * 100.0 / full;
        int d = std::fabs(p) < 10 ? 3 : (std::fabs(p) < 100 ? 2 : 1);
        return Format("%6d=%6.*f%%  ", {static_cast<int>(raw), d, p});
    }
    static std::string Scaled(int16_t v) { return Format("%6d  ", {static_cast<int>(v)}); }
    static std::string Float(uint32_t bits) { return ShortFloatText(bits) + "  "; }
    std::string BitChars(uint8_t v) const {
        std::string s;
        char zero = e.bitz.size() > 0 ? e.bitz[0] : '0';
        char one = e.bitz.size() > 1 ? e.bitz[1] : '1';
        for (int bit = 7; bit >= 0; --bit) s += (v & (1 << bit)) ? one : zero;
        return s;
    }
    // Bit string of 32 bits at i: most significant octet first.
    std::string BitString(const Cursor& c, int i, bool hex) const {
        std::string s;
        for (int k = 3; k >= 0; --k) {
            if (hex)
                s += std::string(1, e.khex) + Hex2(c.At(i + k)) + ' ';
            else
                s += BitChars(c.At(i + k)) + "  ";
        }
        if (hex) s += ' ';
        return s;
    }
    // Counter reading with its sequence octet at i + 4.
    std::string Counter(const Cursor& c, int i, bool cp56) const {
        uint8_t sq = c.At(i + 4);
        bool shortWords = !e.full || std::popcount(static_cast<unsigned>(sq & 0xE0)) > 1 || cp56;
        std::string s;
        for (int bit = 7; bit >= 5; --bit)
            if (sq & (1 << bit)) s += tx((shortWords ? 354 : 343) + 7 - bit);
        if (!s.empty()) s += ' ';
        s += tx(e.full ? 346 : 357);
        s += std::to_string(sq & 0x1F);
        s += "  ";
        s += Format("%*.0n", {7, static_cast<double>(static_cast<int32_t>(c.U(i, 4)))});
        s += "  ";
        return s;
    }
    // File transfer parts
    std::string Nof(const Cursor& c, int i) const {
        return tx(366) + PadRight(std::to_string(c.U(i, 2)), 7);
    }
    std::string Nos(const Cursor& c, int i) const { return Num(367, c.At(i)); }
    std::string Length(const Cursor& c, int i) const {
        return tx(368) + PadRight(std::to_string(c.U(i, 3)), 10);
    }
    std::string Qualifier(int label, uint8_t v) const {
        int word = 0;
        switch (label) {
        case 369:
            word = (v & 0x80) ? 2084 : 2083;
            break;
        case 370:
            word = (v & 0x80) ? 2086 : 2085;
            break;
        case 371:
            word = (v >= 1 && v <= 7) ? 2086 + v : 0;
            break;
        case 372:
            word = (v >= 1 && v <= 4) ? 2093 + v : 0;
            break;
        case 374:
            word = ((v & 0x0F) >= 1 && (v & 0x0F) <= 4) ? 2097 + (v & 0x0F) : 0;
            break;
        default:
            break;
        }
        return tx(label) + Hex2(v) + tx(word);
    }

    const ElementTextEnv& e;
    const TextTable& t;
};

bool ValidDate(int year, int month, int day) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int max = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= max;
}

} // namespace

std::string QualityText(uint8_t q, uint8_t resMask, const ElementTextEnv& env) {
    Words w(env);
    return Words::Blank(w.Q(q, resMask));
}

std::string QdsText(uint8_t q, const ElementTextEnv& env) {
    return Words(env).Qds(q);
}

std::string TimeTagText(const T_Telegramm& te, int& pos, bool cp56, const ElementTextEnv& env) {
    Cursor c(te, pos);
    Words w(env);
    std::string s;
    uint8_t min = c.At(2);
    std::string flags;
    if (min & 0x80) flags += w.tx(275);
    if (min & 0x40) flags += w.tx(277);
    if (!cp56) {
        s = Format("%2.2d:%s ", {min & 0x3F, Words::Seconds(c.U(0, 2))});
        s += flags;
        pos += 3;
        return s;
    }
    uint8_t hour = c.At(3), dayOctet = c.At(4);
    int dow = dayOctet >> 5;
    if (dow != 0) s += w.tx(292) + std::to_string(dow) + ' ';
    int day = dayOctet & 0x1F, month = c.At(5) & 0x0F, year = 2000 + (c.At(6) & 0x7F);
    // A date that cannot exist (month 13, 31 April) is shown as the first day of its year.
    if (!ValidDate(year, month, day)) day = month = 1;
    s += env.loc.ShortDate(year, month, day);
    s += "  ";
    s += flags;
    if (hour & 0x80) s += w.tx(269);
    s += Format("%2.2d:%2.2d:%s", {hour & 0x1F, min & 0x3F, Words::Seconds(c.U(0, 2))});
    pos += 7;
    return s;
}

std::string ElementText(const T_Telegramm& te, int& pos, const ElementTextEnv& env) {
    const int typ = te.typ;
    Cursor c(te, pos);
    Words w(env);
    std::string s;
    int len = ElementLength(typ);
    switch (typ) {
    case 1:
    case 2:
    case 30:
        s = w.tx(284 + (c.At(0) & 1)) + Words::Blank(w.Q(c.At(0), 0x0E));
        break;
    case 3:
    case 4:
    case 31:
        s = w.tx(286 + (c.At(0) & 3)) + Words::Blank(w.Q(c.At(0), 0x0C));
        break;
    case 5:
    case 6:
    case 32: {
        uint8_t vti = c.At(0);
        int v = (vti & 0x40) ? (vti & 0x7F) - 128 : (vti & 0x7F);
        s = std::to_string(v) + "  ";
        if (vti & 0x80) s += w.tx(env.full ? 290 : 291);
        s += w.Qds(c.At(1));
        break;
    }
    case 7:
    case 8:
    case 20:
    case 33: {
        std::string qds = w.Qds(c.At(4));
        bool hex = !env.full || typ == 33 || (typ == 8 && Utf8Length(qds) >= 2);
        s = w.BitString(c, 0, hex) + qds;
        break;
    }
    case 9:
    case 10:
    case 34:
        s = w.Normalised(c.S16(0)) + w.Qds(c.At(2));
        break;
    case 11:
    case 12:
    case 35:
        s = Words::Scaled(c.S16(0)) + w.Qds(c.At(2));
        break;
    case 13:
    case 14:
    case 36:
        s = Words::Float(c.U(0, 4)) + w.Qds(c.At(4));
        break;
    case 15:
    case 16:
    case 37:
        s = w.Counter(c, 0, HasCP56(typ));
        break;
    case 17:
    case 38:
        s = w.tx(286 + (c.At(0) & 3)) + w.ProtectionEvent(c, 0, c.At(0), 0x04);
        break;
    case 18:
    case 39: {
        uint8_t spe = c.At(0);
        if (spe & 0xC0) s += w.tx(279);
        std::string words;
        for (int bit = 5; bit >= 0; --bit)
            if (spe & (1 << bit)) words += w.tx(300 + 5 - bit);
        s += words;
        if (!words.empty()) s += ' ';
        s += w.ProtectionEvent(c, 1, c.At(1), 0x07);
        break;
    }
    case 19:
    case 40: {
        uint8_t oci = c.At(0);
        if (oci & 0xF0) s += w.tx(279);
        for (int bit = 3; bit >= 0; --bit)
            if (oci & (1 << bit)) s += w.tx(306 + 3 - bit);
        s += w.ProtectionEvent(c, 1, c.At(1), 0x07);
        break;
    }
    case 21:
        s = w.Normalised(c.S16(0));
        break;
    case 45:
    case 58:
        s = w.tx(284 + (c.At(0) & 1)) + w.Command(c.At(0));
        if (c.At(0) & 0x02) s += w.tx(274);
        break;
    case 46:
    case 59:
        s = w.DoubleCommandState(c.At(0) & 3) + w.Command(c.At(0));
        break;
    case 47:
    case 60:
        s = w.tx(317 + (c.At(0) & 3)) + w.Command(c.At(0));
        break;
    case 48:
    case 61:
        s = w.Normalised(c.S16(0)) + w.SetPoint(c.At(2));
        break;
    case 49:
    case 62:
        s = Words::Scaled(c.S16(0)) + w.SetPoint(c.At(2));
        break;
    case 50:
    case 63:
        s = Words::Float(c.U(0, 4)) + w.SetPoint(c.At(4));
        break;
    case 51:
    case 64:
        for (int k = 3; k >= 0; --k) {
            s += w.BitChars(c.At(k));
            if (k > 0) s += "  ";
        }
        if (typ == 64) s += ' '; // the date follows
        break;
    case 70: {
        int cause = c.At(0) & 0x7F;
        s = (cause <= 2) ? w.tx(323 + cause) : w.Num(312, cause);
        s += "  ";
        if (c.At(0) & 0x80) s += w.tx(321);
        break;
    }
    case 100: {
        int qoi = c.At(0);
        if (qoi == 20)
            s = w.tx(326);
        else if (qoi >= 21 && qoi <= 36)
            s = w.Num(327, qoi - 20);
        else
            s = w.Num(312, qoi);
        break;
    }
    case 101: {
        int rqt = c.At(0) & 0x3F;
        if (rqt == 0)
            s = w.tx(391);
        else if (rqt <= 4)
            s = w.Num(352, rqt);
        else if (rqt == 5)
            s = w.tx(351);
        else
            s = w.Num(312, rqt);
        s += "  " + w.tx(347 + (c.At(0) >> 6));
        break;
    }
    case 102:
    case 103:
        break; // no element of its own; 103 has its time tag
    case 104:
        s = std::string(1, env.khex) + HexN(c.U(0, 2), 4);
        break;
    case 105: {
        int qrp = c.At(0);
        s = qrp == 1 ? w.tx(353) : (qrp == 2 ? w.tx(339) : w.Num(312, qrp));
        break;
    }
    case 106:
        s = std::to_string(c.U(0, 2)) + w.tx(1229);
        break;
    case 110:
        s = w.Normalised(c.S16(0)) + w.ParameterQualifier(c.At(2));
        break;
    case 111:
        s = Words::Scaled(c.S16(0)) + w.ParameterQualifier(c.At(2));
        break;
    case 112:
        s = Words::Float(c.U(0, 4)) + w.ParameterQualifier(c.At(4));
        break;
    case 113: {
        int qpa = c.At(0);
        s = (qpa >= 1 && qpa <= 3) ? w.tx(339 + qpa) : w.Num(312, qpa);
        break;
    }
    case 120:
        s = w.Nof(c, 0) + w.Length(c, 2) + w.Qualifier(369, c.At(5));
        break;
    case 121:
        s = w.Nof(c, 0) + w.Nos(c, 2) + w.Length(c, 3) + w.Qualifier(370, c.At(6));
        break;
    case 122:
        s = w.Nof(c, 0) + w.Nos(c, 2) + w.Qualifier(371, c.At(3));
        break;
    case 123:
        s = w.Nof(c, 0) + w.Nos(c, 2) + w.Qualifier(372, c.At(3)) + w.Qualifier(373, c.At(4));
        break;
    case 124:
        s = w.Nof(c, 0) + w.Nos(c, 2) + w.Qualifier(374, c.At(3));
        break;
    case 125:
        // The segment's data follows; the interpretation shows it in hexadecimal rows.
        s = w.Nof(c, 0) + w.Nos(c, 2) + ' ' + w.Num(368, c.At(3));
        pos += 4;
        return s;
    case 126: {
        s = w.Nof(c, 0) + w.Length(c, 2) + w.Qualifier(375, c.At(5)) + "  ";
        int p = pos + 6;
        s += TimeTagText(te, p, true, env);
        pos += len;
        return s;
    }
    default:
        return s; // no element text; the cursor stays
    }
    if (HasTimeTag(typ) || IsTimedCommand(typ)) {
        bool cp56 = HasCP56(typ) || IsTimedCommand(typ);
        int p = pos + len - (cp56 ? 7 : 3);
        s += TimeTagText(te, p, cp56, env);
    }
    pos += len;
    return s;
}

} // namespace vdl
