#include "asdu/rp57x.h"

#include "asdu/interp_words.h"
#include "core/clock.h"
#include "core/format.h"
#include "core/utf8.h"

#include <algorithm>
#include <cmath>

namespace vdl {

namespace {

// One line of an rp57x frame. The message bytes are m0, m1, ...; the cursor is ctx.pb, an index
// into the frame bytes, and every reading stops at the checksum.
class RpFrame {
public:
    explicit RpFrame(T_TeleAusgabe& c)
        : c_(c), t_(*c.env->texts), te_(c.te), fkt_(c.pcv->bp.fkt), odd_((c.te.lc & 1) != 0) {
        end_ = std::max(0, te_.validLen() - 2);
        base_ = RpMessageStart(te_, fkt_);
    }

    std::string Line() {
        const bool shortFrame = te_.ta != TA_VARIABLE || te_.validLen() <= 3;
        if (c_.znr == 2) {
            if (c_.env->pp->linkzl != 0 || te_.stat <= 39 || !shortFrame) return LinkLine();
            return {};
        }
        if (c_.znr < 3 || shortFrame) return {};
        if (c_.znr == 3)
            c_.pb = base_ + 2;
        else if (c_.pb >= end_)
            return {};
        std::string s = odd_ ? OddLine() : EvenLine();
        if (s.empty()) return s;
        return std::string(static_cast<size_t>(std::max(0, c_.pcv->rpbrsp1)), ' ') + s;
    }

private:
    bool First() const { return c_.znr == 3; }

    // ---- reading -----------------------------------------------------------------------------
    uint8_t At(int64_t i) const { return (i >= 0 && i < end_) ? te_.b[i] : 0; }
    uint8_t M(int k) const { return At(base_ + k); }
    uint8_t Peek() const { return At(c_.pb); }
    uint8_t Next() { return At(c_.pb++); }
    uint32_t U16() {
        uint32_t v = Next();
        return (v << 8) | Next();
    }
    uint32_t U32() {
        uint32_t v = U16();
        return (v << 16) | U16();
    }
    void Skip(int n) { c_.pb += n; }
    void To(int k) { c_.pb = base_ + k; }
    // n bytes as characters; control characters are shown as "." so that a frame cannot steer
    // the terminal or the view.
    std::string Chars(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            uint8_t b = Next();
            if (b <= 31 || b == 0x7F)
                s += '.';
            else if (b < 0x80)
                s += static_cast<char>(b);
            else
                s += AnsiToUtf8(std::string(1, static_cast<char>(b)));
        }
        return s;
    }
    // The rest of the message up to the checksum, at most 16 bytes, as a hexadecimal dump.
    std::string HexRest() {
        int n = std::min(16, end_ - c_.pb);
        if (n <= 0) return {};
        std::string s = HexDump(te_.b + c_.pb, n);
        c_.pb += n;
        return s;
    }

    // ---- value renderings --------------------------------------------------------------------
    const std::string& W(int base, int off, int limit) const { return TxAt(t_, base, off, limit); }
    static std::string Sep(uint32_t v, int width) {
        return Format("%*.0n", {width, static_cast<double>(v)});
    }
    std::string Nr(int a) const { return Format(t_.tx(1805), {a}); }
    std::string Nr2(int a) const { return Format(t_.tx(1847), {a}); }
    std::string Nr3(int a) const { return Format(t_.tx(1848), {a}); }
    // The 16 bits, most significant first, a blank after every four and two after every eight.
    static std::string Bits(uint32_t v) {
        std::string s;
        for (int i = 15; i >= 0; --i) {
            s += ((v >> i) & 1) ? '1' : '0';
            if (i % 8 == 0)
                s += "  ";
            else if (i % 4 == 0)
                s += ' ';
        }
        return s;
    }
    std::string St(int a) const {
        return Format(t_.tx(1837), {a >> 4, (a >> 2) & 1, W(1904, a & 3, 3)});
    }
    std::string Ql(int a) const {
        int q = (a >> 2) & 3;
        return Format(t_.tx(1838), {q, W(1839, q, 3), (a >> 1) & 1, a & 1});
    }
    std::string Ql2(int a) const {
        int q = (a >> 2) & 3;
        return Format(t_.tx(1859), {q, W(1839, q, 3), (a >> 1) & 1});
    }
    std::string Kd(int a) const {
        return Format(t_.tx(1806), {(a >> 4) & 1, a & 7, W(1807, a & 7, 7)});
    }
    std::string Kd2(int a) const {
        return Format(t_.tx(1850), {(a >> 6) & 1, (a >> 4) & 1, a & 7, W(1807, a & 7, 7)});
    }
    // A measured value in percent of 2000.
    std::string Mw(int a) const {
        double p = a * 100.0 / 2000.0;
        double m = std::fabs(p);
        int d = m < 10 ? 3 : (m < 100 ? 2 : 1);
        return Format(t_.tx(1815), {a, d, p});
    }
    std::string Zw(uint32_t a) const { return Format(t_.tx(1818), {Sep(a, 13)}); }
    std::string Zw2(uint32_t a) const { return Format(t_.tx(1836), {Sep(a, 13), a}); }
    // Words for the bits 7..1: text 1820 + 2k + the bit, k counting from bit 7.
    std::string Fl(int a) const {
        std::string w;
        for (int k = 0; k < 7; ++k) w += W(1820 + 2 * k, (a >> (7 - k)) & 1, 1);
        return Format(t_.tx(1834), {w.empty() ? std::string("0 ") : w});
    }
    std::string Hm(uint32_t a) const {
        return Format(t_.tx(1819), {(a >> 11) & 31, (a >> 6) & 31, a & 63});
    }
    std::string Dauer(uint32_t s) const {
        uint32_t sec = s & 0x1FFFF;
        return Format(t_.tx(1835), {(s >> 17) & 63, sec / 3600, sec / 60 % 60, sec % 60});
    }
    // t in units of 0.1 ms since midnight.
    std::string Zeit(uint32_t t) const {
        uint32_t ms = t / 10;
        uint32_t day = ms % 86400000u;
        return c_.env->loc->LongTime(static_cast<int>(day / 3600000), day / 60000 % 60,
                                     day / 1000 % 60) +
               Format(t_.tx(1518), {ms % 1000});
    }
    // d days after 31 December 1979.
    std::string Datum(uint32_t d) const {
        DateTimeParts p = DecodeDateTime(EncodeDateTime(1979, 12, 31) + d);
        return c_.env->loc->ShortDate(p.year, p.month, p.day);
    }
    std::string DZ(uint32_t d, uint32_t t) const { return Datum(d) + " " + Zeit(t); }
    std::string Ts(int a, uint32_t t) const { return Nr3(a) + Zeit(t); }
    std::string Adr() { return Format(t_.tx(1852), {U16()}); }
    std::string Adr3() {
        uint32_t a = U16();
        uint32_t b = U16();
        return Format(t_.tx(1849), {a, b, Next()});
    }
    // The group value of m0, m1: 11 bits of value and the group kind.
    int GrpValue() const { return ((M(0) << 7) & 0x7FF) | (M(1) >> 1); }
    int GrpKind() const { return (M(0) >> 4) & 7; }
    std::string Grp() const {
        return Format(t_.tx(1515), {GrpValue(), GrpKind(), W(1507, GrpKind(), 7)});
    }
    // A code of type 14: its name by the position of m0 in the list of known codes.
    std::string Code14() const {
        static const int kCodes[] = {6, 7, 8, 96, 97};
        int k = 0;
        for (int i = 0; i < 5; ++i)
            if (M(0) == kCodes[i]) k = i + 1;
        return Format(t_.tx(1770), {M(0), W(1771, k, 5)});
    }

    // ---- lines -------------------------------------------------------------------------------
    std::string LinkLine() const {
        std::string s = W(1175, te_.ek, 7) + ":  " + W(1485, te_.lc & 1, 1);
        if (fkt_ == FKT_RP5)
            s += Format(t_.tx(1491), {te_.la});
        else if (te_.ta != TA_VARIABLE || base_ == 6)
            s += Format(t_.tx(1492), {te_.la});
        else
            s += Format(t_.tx(1493), {te_.la, te_.ca});
        const std::string& name = RpTypeName(t_, te_);
        size_t blank = name.find(' ');
        std::string x = blank == std::string::npos ? name : name.substr(0, blank);
        std::string y = blank == std::string::npos ? name : name.substr(blank + 1);
        s += Format(t_.tx(1489), {y, x, te_.typ});
        if (odd_)
            s += t_.tx(1490) + std::to_string((te_.lc >> 6) & 3) + W(1487, (te_.lc >> 5) & 1, 1);
        return s;
    }

    // Odd control field: one line, a few types followed by the rest in hexadecimal.
    std::string OddLine() {
        const int m0 = M(0), m1 = M(1);
        switch (te_.typ) {
        case 1:
        case 11: {
            if (!First()) return {};
            uint32_t cw = (static_cast<uint32_t>(m1) << 8) | M(2);
            return Format(t_.tx(1517), {m0, static_cast<int16_t>(cw), cw, Bits(cw)});
        }
        case 2:
            // The names end where the text of type 14 begins.
            if (First()) return Format(t_.tx(1656), {m0, W(1657, std::min(m0, 112), 112)});
            return HexRest();
        case 3:
        case 5:
            return First() ? Grp() : std::string();
        case 4:
            if (!First()) return {};
            return Format(t_.tx(1495), {m1, m0 & 7, W(1496, m0 & 7, 7)});
        case 6:
            if (First()) return Format(t_.tx(1630), {m0, W(1631, m0 % 25, 24), m1, M(2)});
            return HexRest();
        case 9:
            if (!First()) return {};
            return Format(t_.tx(1504), {GrpValue(), GrpKind(), W(1507, GrpKind(), 7), (m0 >> 7) & 1,
                                        W(1505, m1 & 1, 1)});
        case 12: {
            if (!First()) return {};
            uint32_t d = static_cast<uint32_t>(m0 * 256 + m1);
            uint32_t t = U32();
            return DZ(d, t) + Format(t_.tx(1519), {d, t});
        }
        case 13:
            if (!First()) return {};
            return Format(t_.tx(1516),
                          {GrpValue(), GrpKind(), W(1507, GrpKind(), 7), W(1505, m1 & 1, 1)});
        case 14:
            return First() ? Code14() : HexRest();
        default:
            return {};
        }
    }

    // Even control field.
    std::string EvenLine() {
        const int m0 = M(0), m1 = M(1);
        const bool first = First();
        switch (te_.typ) {
        case 5:
        case 6: {
            if (!first) return {};
            To(1);
            uint32_t cw = U16();
            if (te_.typ == 5) return Format(t_.tx(1862), {m0, Bits(cw)});
            int x = Next();
            int y = Next();
            return Format(t_.tx(1863), {x, y, m0, Bits(cw)});
        }
        case 7:
        case 8: {
            if (first) {
                To(1);
                const std::string& name = W(1868, std::min(m0, 30), 30);
                if (te_.typ == 7) return Format(t_.tx(1865), {m0, name});
                int lg = te_.validLen();
                return Format(t_.tx(1866), {At(lg - 4), At(lg - 3), m0, name});
            }
            int n = std::min(6, end_ - c_.pb);
            std::string dump = HexDump(te_.b + c_.pb, n);
            Skip(8);
            return Format(t_.tx(1867), {dump});
        }
        case 9: {
            if (!first) return HexRest();
            To(0);
            uint32_t v = U32();
            return Format(t_.tx(1900), {Sep(v, 12), Next()});
        }
        case 10:
            return first ? Grp() : std::string();
        case 11:
            return ObjectDescription();
        case 14:
            if (!first) return HexRest();
            To(1);
            return Code14();
        case 15:
            return first ? Format(t_.tx(1780), {m0, W(1781, std::min(m0, 21), 21)}) : std::string();
        case 20:
        case 21:
        case 64:
        case 65:
            return Packed();
        case 22:
        case 23:
        case 66:
        case 67: {
            if (first) {
                // Paging: the record obja of four bytes comes first.
                int64_t pos = c_.obja < 1 ? 0 : 4 * static_cast<int64_t>(c_.obja);
                if (base_ + pos >= end_) return {};
                To(static_cast<int>(pos));
            }
            int n = Next();
            int s = Next();
            int v = static_cast<int>(U16() & 0xFFF);
            if (v & 0x800) v -= 0x1000;
            return Nr(n) + Mw(v) + Kd(s);
        }
        case 24:
        case 25:
        case 68:
        case 69: {
            if (first) To(0);
            int n = Next();
            return Nr(n) + Format(t_.tx(1816), {Bits(U16())});
        }
        case 26:
        case 27:
        case 70:
        case 71: {
            if (first) To(0);
            int n = Next();
            uint32_t q = U16();
            uint32_t p = U16();
            return Nr(n) + Format(t_.tx(1816), {Bits(p)}) + Format(t_.tx(1817), {Bits(q)});
        }
        case 28:
        case 29:
        case 72:
        case 73:
            return Nr(m0) + Mw(static_cast<int16_t>(U16())) + Kd(m1);
        case 30:
        case 31:
        case 74:
        case 75: {
            uint32_t z = U32();
            uint32_t q = U16();
            return Nr(m0) + Zw(z) + Fl(m1) + Hm(q);
        }
        case 32:
        case 33:
        case 34:
        case 41:
        case 44:
            return Event(first);
        case 35:
            return EventList(first);
        case 36: {
            if (first) {
                int z = Next();
                uint32_t d = U16();
                uint32_t t = U32();
                return Format(t_.tx(1860), {m0, m1, z}) + DZ(d, t);
            }
            uint32_t v = U16();
            int n = Next();
            return Nr(n) + Mw(static_cast<int16_t>(v));
        }
        case 37:
        case 38:
        case 76:
        case 77:
            return Nr(m0) + Zw2(U32()) + Kd(m1);
        case 39:
        case 40:
        case 78:
        case 79: {
            uint32_t z = U32();
            uint32_t s = U32() >> 8;
            return Nr(m0) + Zw(z) + Fl(m1) + Dauer(s);
        }
        case 43: {
            if (!first) {
                int a = Next();
                uint32_t t = U32();
                return Ts(a, t) + Adr3();
            }
            int z = Next();
            uint32_t v = U32();
            int y = Next();
            std::string w = (z & 7) == 2 ? ShortFloatText(v) : Sep(v, 12);
            return Nr(m0) + Nr2(m1) + Format(t_.tx(1851), {w}) + Ql(y);
        }
        default:
            return {};
        }
    }

    // State and command events (32, 33, 34, 41, 44): the state or command on the first line,
    // the time stamp (and for 41 and 44 an address) on the following ones.
    std::string Event(bool first) {
        const int typ = te_.typ;
        if (first) {
            int x = Next();
            int y = Next();
            bool command = typ == 33 || typ == 34;
            return Nr(M(0)) + Nr2(M(1)) + (command ? Kd2(x) : St(x)) + Ql(y);
        }
        int a = Next();
        uint32_t t = U32();
        std::string s = Ts(a, t);
        if (typ == 41) s += Adr3();
        if (typ == 44) s += Adr();
        return s;
    }

    // Event list (35): the kind of the list, then one event with date and time per line.
    std::string EventList(bool first) {
        if (first) {
            int a = Peek();
            int w = a == 0 ? 1855 : (a == 2 ? 1856 : (a == 4 ? 1857 : 1854));
            return Format(t_.tx(1853), {M(0), M(1), a, t_.tx(w)});
        }
        uint32_t d = U16();
        uint32_t t = U32();
        int a = Next();
        int n = Next();
        int x = Next();
        int y = Next();
        std::string s;
        if (a == 0) s = Nr(n) + St(x);
        if (a == 2) s = Nr(n) + Kd2(x);
        if (a == 4) s = Format(t_.tx(1858), {n, x});
        return s + Ql2(y) + DZ(d, t);
    }

    // Object description (11): three lines.
    std::string ObjectDescription() {
        if (c_.znr == 3) {
            int lg = te_.validLen();
            int z = Next();
            return Format(t_.tx(1901), {M(1), z, M(0), At(lg - 7), At(lg - 6), At(lg - 3)});
        }
        if (c_.znr == 4) {
            uint32_t v = U32();
            std::string s = Chars(6);
            int z = Next();
            Skip(1);
            uint32_t o = U32();
            Skip(10);
            uint32_t d = U16();
            return Format(t_.tx(1902), {s, z, Sep(o, 12)}) + DZ(d, v);
        }
        if (c_.znr != 5) return {};
        Skip(-17);
        int z = Next();
        Skip(4);
        uint32_t p = U32();
        uint32_t o = U32();
        Skip(5);
        return Format(t_.tx(1903), {Limit(p, z >> 4), Limit(o, z & 15)});
    }
    // A limit of the object description by the kind in one nibble: 2 a number, 0 nothing,
    // others hexadecimal.
    static std::string Limit(uint32_t v, int kind) {
        if (kind == 0) return {};
        if (kind == 2) return Sep(v, 12);
        return "$" + HexN(v, 8);
    }

    // Packed 12-bit values (20, 21, 64, 65), one per line: groups of a number byte, then the
    // count of values in the high nibble of the next byte, then the values, three bytes for two.
    std::string Packed() {
        if (First()) {
            To(0);
            c_.mwanz = c_.mwzl = 0;
        }
        if (c_.mwzl >= c_.mwanz) {
            c_.mwnr = Next();
            c_.mwanz = Peek() >> 4;
            c_.mwzl = 0;
        }
        uint32_t raw;
        if (c_.mwzl & 1) {
            raw = static_cast<uint32_t>(Next()) << 8;
            raw |= Peek() & 0xF0u;
        } else {
            raw = static_cast<uint32_t>(Next() & 0x0F) << 12;
            raw |= static_cast<uint32_t>(Next()) << 4;
        }
        int v = static_cast<int16_t>(raw) / 16;
        std::string s = Nr((c_.mwnr + c_.mwzl) % 256) + Mw(v);
        ++c_.mwzl;
        // An even count leaves the low nibble of the last byte unused.
        if (c_.mwanz % 2 == 0 && c_.mwzl >= c_.mwanz) Skip(1);
        return s;
    }

    T_TeleAusgabe& c_;
    const TextTable& t_;
    const T_Telegramm& te_;
    int fkt_;
    bool odd_;
    int end_ = 0;  // index of the checksum
    int base_ = 6; // index of m0
};

} // namespace

int RpMessageStart(const T_Telegramm& te, int fkt) {
    // The date and time message has no station address: the receiver checks its length
    // without one.
    const bool odd = (te.lc & 1) != 0;
    return (fkt == FKT_RP6 && !(odd && te.typ == 12)) ? 7 : 6;
}

const std::string& RpTypeName(const TextTable& texts, const T_Telegramm& te) {
    if (te.lc & 1) return TxAt(texts, 1520, te.typ, 15);
    return TxAt(texts, 1540, std::min<int>(te.typ, 81), 81);
}

int RpPagedRecords(const T_Telegramm& te, int fkt) {
    if (te.ta != TA_VARIABLE || (te.lc & 1) != 0) return 0;
    switch (te.typ) {
    case 22:
    case 23:
    case 66:
    case 67:
        return std::max(0, te.validLen() - 2 - RpMessageStart(te, fkt)) / 4;
    default:
        return 0;
    }
}

std::string RpLine(T_TeleAusgabe& ctx) {
    if (!ctx.pcv || !ctx.env || !ctx.env->texts || !ctx.env->loc) return {};
    return RpFrame(ctx).Line();
}

} // namespace vdl
