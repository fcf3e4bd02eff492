#include "asdu/element_csv.h"

#include "asdu/catalogue.h"
#include "asdu/interp_words.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace vdl {

namespace {

class Reader {
public:
    Reader(const T_Telegramm& te, int pos, char tz) : te_(te), p_(pos), tz_(tz) {}

    uint32_t U(int octets) {
        uint32_t v = 0;
        for (int k = octets - 1; k >= 0; --k) v = (v << 8) | At(p_ + k);
        p_ += octets;
        return v;
    }
    int32_t S16() { return static_cast<int16_t>(U(2)); }
    void Num(long long v) { out_ += std::to_string(v) + tz_; }
    void Text(const std::string& s) { out_ += s + tz_; }
    void Skip(int octets) { p_ += octets; }
    int Pos() const { return p_; }
    // True while the cursor is before the checksum of the frame.
    bool HasData() const { return p_ < te_.validLen() - 2; }
    std::string& Out() { return out_; }

private:
    uint8_t At(long i) const { return (i >= 0 && i < te_.validLen()) ? te_.b[i] : 0; }

    const T_Telegramm& te_;
    int p_;
    char tz_;
    std::string out_;
};

// The value lists of the element types. Every type of the catalogue (and the commands with time
// tag) has one shape; the time tag is appended separately.
enum Shape : uint8_t {
    NOTHING,
    BIT0_REST,     // bit 0 of the first octet, the other bits of it
    BITS01_REST,   // bits 0..1 of the first octet, the other bits of it
    BITS01_CP16,   // the same, then the 16-bit elapsed time
    OCTET_QDS,     // the first octet unchanged, the quality octet
    U32_Q,         // 32-bit value, quality octet
    S32_Q,         // signed 32-bit counter reading, sequence octet
    S16_Q,         // signed 16-bit value, quality or qualifier octet
    FLOAT_Q,       // short float, qualifier octet
    OCT_OCT_U16,   // first octet, quality octet, 16-bit elapsed time
    S16,           // signed 16-bit value
    U32,           // 32-bit value
    OCTET,         // the qualifier octet
    U16,           // 16-bit value
    NOF_LOF_Q,     // name of file, 24-bit length, qualifier
    NOF_NOS_LOS_Q, // name of file, name of section, 24-bit length, qualifier
    NOF_NOS_O,     // name of file, name of section, the following octet
    NOF_NOS_O_O,   // name of file, name of section, two octets
};

constexpr std::array<uint8_t, kCatalogueTypes> MakeShapes() {
    std::array<uint8_t, kCatalogueTypes> t{};
    auto set = [&t](std::initializer_list<int> types, Shape s) {
        for (int typ : types) t[static_cast<size_t>(typ)] = s;
    };
    // Other known types and the commands with time tag (unknown types never get here).
    t.fill(BITS01_REST);
    set({1, 2, 30, 45, 58}, BIT0_REST);
    set({17, 38}, BITS01_CP16);
    set({5, 6, 32}, OCTET_QDS);
    set({7, 8, 20, 33}, U32_Q);
    set({15, 16, 37}, S32_Q);
    set({9, 10, 11, 12, 34, 35, 48, 49, 61, 62, 110, 111}, S16_Q);
    set({13, 14, 36, 50, 63, 112}, FLOAT_Q);
    set({18, 19, 39, 40}, OCT_OCT_U16);
    set({21}, S16);
    set({51, 64}, U32);
    set({100, 101, 105}, OCTET);
    set({102, 103}, NOTHING);
    set({104, 106}, U16);
    set({120, 126}, NOF_LOF_Q);
    set({121}, NOF_NOS_LOS_Q);
    set({122, 124, 125}, NOF_NOS_O);
    set({123}, NOF_NOS_O_O);
    return t;
}

constexpr std::array<uint8_t, kCatalogueTypes> kShapes = MakeShapes();

} // namespace

std::string ElementCsv(const T_Telegramm& te, int& pos, char tz) {
    const int typ = te.typ;
    if (!IsKnownType(typ) && !IsTimedCommand(typ)) return {};
    // A cursor far outside the frame reads only zeros; keep its arithmetic in range.
    if (pos < -0xFFFF) pos = -0xFFFF;
    if (pos > 0xFFFF) pos = 0xFFFF;
    Reader r(te, pos, tz);
    switch (Shape(kShapes[static_cast<size_t>(typ)])) {
    case NOTHING:
        break;
    case BIT0_REST: {
        uint32_t o = r.U(1);
        r.Num(o & 0x01);
        r.Num(o & 0xFE);
        break;
    }
    case BITS01_REST:
    case BITS01_CP16: {
        uint32_t o = r.U(1);
        r.Num(o & 0x03);
        r.Num(o & 0xFC);
        if (kShapes[static_cast<size_t>(typ)] == BITS01_CP16) r.Num(r.U(2));
        break;
    }
    case OCTET_QDS: // the VTI octet as it stands, not sign-extended
        r.Num(r.U(1));
        r.Num(r.U(1));
        break;
    case U32_Q:
        r.Num(r.U(4));
        r.Num(r.U(1));
        break;
    case S32_Q:
        r.Num(static_cast<int32_t>(r.U(4)));
        r.Num(r.U(1));
        break;
    case S16_Q:
        r.Num(r.S16());
        r.Num(r.U(1));
        break;
    case FLOAT_Q:
        r.Text(ShortFloatText(r.U(4)));
        r.Num(r.U(1));
        break;
    case OCT_OCT_U16:
        r.Num(r.U(1));
        r.Num(r.U(1));
        r.Num(r.U(2));
        break;
    case S16:
        r.Num(r.S16());
        break;
    case U32:
        r.Num(r.U(4));
        break;
    case OCTET:
        r.Num(r.U(1));
        break;
    case U16:
        r.Num(r.U(2));
        break;
    case NOF_LOF_Q:
        r.Num(r.U(2));
        r.Num(r.U(3));
        r.Num(r.U(1));
        break;
    case NOF_NOS_LOS_Q:
        r.Num(r.U(2));
        r.Num(r.U(1));
        r.Num(r.U(3));
        r.Num(r.U(1));
        break;
    case NOF_NOS_O:
        r.Num(r.U(2));
        r.Num(r.U(1));
        r.Num(r.U(1));
        break;
    case NOF_NOS_O_O:
        r.Num(r.U(2));
        r.Num(r.U(1));
        r.Num(r.U(1));
        r.Num(r.U(1));
        break;
    }
    // The time tag is the last part of the element; a directory entry (126) carries the
    // creation time of its file as one. A segment (125) has no length in the catalogue: the
    // cursor goes to its data, which follows as bytes.
    const int e = typ == 125 ? 4 : ElementLength(typ);
    if (HasTimeTag(typ) || typ == 126) {
        const int tagLen = (HasCP56(typ) || typ == 126) ? 7 : 3;
        Reader t(te, pos + e - tagLen, tz);
        t.Num(t.U(2)); // milliseconds
        t.Num(t.U(1)); // minute octet as it stands
        if (tagLen == 7 && t.HasData())
            for (int k = 0; k < 4; ++k) t.Num(t.U(1)); // hour, day, month, year octets
        r.Out() += t.Out();
    }
    pos += e;
    return std::move(r.Out());
}

} // namespace vdl
