#include "image/station_image.h"

#include "asdu/catalogue.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace vdl {

namespace {

// How the element of a type becomes inf and qua.
enum Decoding : uint8_t {
    D_BE32,    // any other type: o0..o3 read most significant first
    D_BIT0,    // inf o0 & 1, qua o0 & 0xFE
    D_BITS01,  // inf o0 & 3, qua o0 & 0xFC (17, 38: the elapsed time follows)
    D_OCT_OCT, // inf o0, qua o1 (the step position with its transient bit; SPE/OCI and QDP)
    D_U32_Q,   // inf u32, qua o4
    D_S16_Q,   // inf i16, qua o2
    D_S16,     // inf i16
    D_U32,     // inf u32
    D_QUA,     // qua o0
    D_U16,     // inf o0 + 256 o1 (also the name of file of 120..126)
    D_OCT,     // inf o0
    D_NOTHING, // 102, 103
};

constexpr std::array<uint8_t, 256> MakeDecodings() {
    std::array<uint8_t, 256> t{};
    auto set = [&t](std::initializer_list<int> types, Decoding d) {
        for (int typ : types) t[static_cast<size_t>(typ)] = d;
    };
    set({1, 2, 30, 45, 58}, D_BIT0);
    set({3, 4, 31, 46, 47, 59, 60, 17, 38}, D_BITS01);
    set({5, 6, 32, 18, 19, 39, 40}, D_OCT_OCT);
    set({7, 8, 13, 14, 15, 16, 20, 33, 36, 37, 50, 63, 112}, D_U32_Q);
    set({9, 10, 11, 12, 34, 35, 48, 49, 61, 62, 110, 111}, D_S16_Q);
    set({21}, D_S16);
    set({51, 64}, D_U32);
    set({70, 100, 101, 113}, D_QUA);
    set({104, 106, 120, 121, 122, 123, 124, 125, 126}, D_U16);
    set({105}, D_OCT);
    set({102, 103}, D_NOTHING);
    return t;
}

constexpr std::array<uint8_t, 256> kDecoding = MakeDecodings();

Decoding DecodingOf(int typ) {
    return static_cast<Decoding>(kDecoding[static_cast<size_t>(typ & 0xFF)]);
}

bool IsProtection(int typ) {
    return (typ >= 17 && typ <= 19) || (typ >= 38 && typ <= 40);
}

// Element length of the image: the catalogue's, 4 for a type the catalogue does not have.
int ImageElementLength(int typ) {
    return CatalogueEntry(typ) == 0 ? 4 : ElementLength(typ);
}

// Octets of the time part (elapsed time and time tag) and where it starts in the element.
int TimeOctets(int typ) {
    if (!HasTimeTag(typ)) return 0;
    return (HasCP56(typ) ? 7 : 3) + (IsProtection(typ) ? 2 : 0);
}

class Octets {
public:
    Octets(const T_Telegramm& te, long pos) : te_(te), p_(pos) {}
    uint8_t operator[](long i) const {
        long k = p_ + i;
        return (k >= 0 && k < te_.validLen()) ? te_.b[k] : 0;
    }
    uint32_t Le(int from, int n) const {
        uint32_t v = 0;
        for (int k = n - 1; k >= 0; --k) v = (v << 8) | (*this)[from + k];
        return v;
    }

private:
    const T_Telegramm& te_;
    long p_;
};

} // namespace

int TypeKey(int typ) {
    if (typ >= 2 && typ <= 16 && typ % 2 == 0) return typ - 1;
    if (typ >= 30 && typ <= 37) return 2 * typ - 59;
    return typ;
}

int CauseCounter(uint8_t urs) {
    int c = urs & 0x3F;
    switch (c) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return 2;
    case 5:
        return 3;
    case 6:
    case 8:
        return 5;
    case 7:
    case 9:
    case 11:
    case 12:
        return 6;
    case 10:
        return 7;
    default:
        return (c >= 20 && c <= 41) ? 4 : 8;
    }
}

bool InfIsUnsigned(int typ) {
    Decoding d = DecodingOf(typ);
    return d == D_U32_Q || d == D_U32 || d == D_BE32;
}

void DecodeObject(const T_Telegramm& te, int i, const AsduLayout& lay, T_Obj& o) {
    const int typ = te.typ;
    const bool sq = (te.struk & 0x80) != 0;
    const long e = ImageElementLength(typ);
    const long step = (i - 1L) * (e + (sq ? 0 : lay.lgoa));
    const long frameEnd = te.validLen() - 2; // checksum and end character follow the objects

    // Object address: with SQ the first one counted on, else the object's own; one whose
    // position lies beyond the frame falls back to the first object's.
    const Octets first(te, lay.OaI);
    uint32_t ioa = first.Le(0, lay.lgoa);
    if (sq) {
        ioa += static_cast<uint32_t>(i - 1);
    } else {
        long pos = lay.OaI + step;
        if (pos + lay.lgoa <= frameEnd) ioa = Octets(te, pos).Le(0, lay.lgoa);
    }
    o.oax = ((ioa & 0xFFFFFF) << 8) | static_cast<uint32_t>(TypeKey(typ) & 0xFF);

    const Octets c(te, lay.OaI + lay.lgoa + step);
    switch (DecodingOf(typ)) {
    case D_BIT0:
        o.inf = c[0] & 1;
        o.qua = c[0] & 0xFE;
        break;
    case D_BITS01:
        o.inf = c[0] & 3;
        o.qua = c[0] & 0xFC;
        break;
    case D_OCT_OCT:
        o.inf = c[0];
        o.qua = c[1];
        break;
    case D_U32_Q:
        o.inf = static_cast<int32_t>(c.Le(0, 4));
        o.qua = c[4];
        break;
    case D_S16_Q:
        o.inf = static_cast<int16_t>(c.Le(0, 2));
        o.qua = c[2];
        break;
    case D_S16:
        o.inf = static_cast<int16_t>(c.Le(0, 2));
        break;
    case D_U32:
        o.inf = static_cast<int32_t>(c.Le(0, 4));
        break;
    case D_QUA:
        o.qua = c[0];
        break;
    case D_U16:
        o.inf = static_cast<int32_t>(c.Le(0, 2));
        break;
    case D_OCT:
        o.inf = c[0];
        break;
    case D_NOTHING:
        break;
    case D_BE32:
        o.inf = static_cast<int32_t>((uint32_t{c[0]} << 24) | (uint32_t{c[1]} << 16) |
                                     (uint32_t{c[2]} << 8) | c[3]);
        break;
    }

    // The octets behind value and quality: the elapsed time of the protection types and the
    // time tag; of a seven-octet tag eight are taken, as far as the frame holds them.
    if (int n = TimeOctets(typ)) {
        const long from = e - n;
        const int copy = HasCP56(typ) ? n + 1 : n;
        for (int k = 0; k < copy && k < static_cast<int>(sizeof o.zt); ++k) o.zt[k] = c[from + k];
    }
}

int ElementOctets(const T_Obj& o, uint8_t* out, int size) {
    const int typ = o.typneu;
    uint8_t b[24] = {};
    const auto u = static_cast<uint32_t>(o.inf);
    auto le = [&b, u](int n) {
        for (int k = 0; k < n; ++k) b[k] = static_cast<uint8_t>(u >> (8 * k));
    };
    int n = 0; // octets of value and quality
    switch (DecodingOf(typ)) {
    case D_BIT0:
        b[0] = static_cast<uint8_t>((u & 1) | (o.qua & 0xFE));
        n = 1;
        break;
    case D_BITS01:
        b[0] = static_cast<uint8_t>((u & 3) | (o.qua & 0xFC));
        n = 1;
        break;
    case D_OCT_OCT:
        b[0] = static_cast<uint8_t>(u);
        b[1] = o.qua;
        n = 2;
        break;
    case D_U32_Q:
        le(4);
        b[4] = o.qua;
        n = 5;
        break;
    case D_S16_Q:
        le(2);
        b[2] = o.qua;
        n = 3;
        break;
    case D_S16:
    case D_U16:
        le(2);
        n = 2;
        break;
    case D_U32:
        le(4);
        n = 4;
        break;
    case D_QUA:
        b[0] = o.qua;
        n = 1;
        break;
    case D_OCT:
        b[0] = static_cast<uint8_t>(u);
        n = 1;
        break;
    case D_NOTHING:
        break;
    case D_BE32:
        for (int k = 0; k < 4; ++k) b[k] = static_cast<uint8_t>(u >> (24 - 8 * k));
        n = 4;
        break;
    }
    int e = ImageElementLength(typ);
    if (int t = TimeOctets(typ)) {
        // The protection types keep their elapsed time in zt, between value and time tag.
        int from = e - t;
        std::memcpy(b + from, o.zt, static_cast<size_t>(t));
        n = e;
    }
    n = std::max(n, std::min(e, static_cast<int>(sizeof b)));
    n = std::min(n, size);
    std::memcpy(out, b, static_cast<size_t>(n));
    return n;
}

// ---- the table ----

namespace {

uint64_t KeyOf(uint32_t cax, uint32_t oax) {
    return (uint64_t{cax} << 32) | oax;
}
uint64_t KeyOf(const T_Obj& o) {
    return KeyOf(o.cax, o.oax);
}
bool Before(const T_Obj& a, const T_Obj& b) {
    return KeyOf(a) < KeyOf(b);
}

} // namespace

void StationImage::ClearImage() {
    sv_.anz = 0;
    sv_.hi = kImageStep - 1;
    sv_.start = sv_.ende = 0;
    // The memory of a large table is given back.
    std::vector<T_Obj>().swap(sv_.ot);
    sv_.ot.reserve(kImageStep);
    std::vector<T_Obj>().swap(fresh_);
    freshAt_ = {};
}

void StationImage::Settle() const {
    if (fresh_.empty()) return;
    std::sort(fresh_.begin(), fresh_.end(), Before);
    auto& ot = sv_.ot;
    const auto mid = static_cast<std::ptrdiff_t>(ot.size());
    ot.insert(ot.end(), fresh_.begin(), fresh_.end());
    std::inplace_merge(ot.begin(), ot.begin() + mid, ot.end(), Before);
    fresh_.clear();
    freshAt_.clear();
}

T_Obj* StationImage::FindFresh(uint64_t key) const {
    auto it = freshAt_.find(key);
    return it == freshAt_.end() ? nullptr : &fresh_[it->second];
}

const T_Obj* StationImage::Find(uint32_t cax, uint32_t oax) const {
    const uint64_t key = KeyOf(cax, oax);
    auto it = std::lower_bound(sv_.ot.begin(), sv_.ot.end(), key,
                               [](const T_Obj& a, uint64_t k) { return KeyOf(a) < k; });
    if (it != sv_.ot.end() && KeyOf(*it) == key) return &*it;
    return FindFresh(key);
}

void StationImage::Update(T_Obj& e, const T_Obj& t) {
    if (sv_.start == 0) sv_.start = t.dt;
    sv_.ende = t.dt;
    if (e.typneu == 0) {
        e.typneu = t.typneu;
    } else if (e.typneu != t.typneu) {
        e.typalt = e.typneu;
        e.typneu = t.typneu;
    }
    e.urs = t.urs;
    e.hk = t.hk;
    e.qua = t.qua;
    e.inf = t.inf;
    e.dt = t.dt;
    std::memcpy(e.zt, t.zt, sizeof e.zt);
    ++e.uz[CauseCounter(t.urs)];
}

bool StationImage::Merge(const T_Obj& t, int32_t abbMax) {
    if (T_Obj* e = const_cast<T_Obj*>(Find(t.cax, t.oax))) {
        Update(*e, t);
        return true;
    }
    if (sv_.anz > abbMax) return false;
    if (sv_.anz > sv_.hi) sv_.hi += kImageStep;
    T_Obj e = t;
    e.typalt = 0;
    std::memset(e.uz, 0, sizeof e.uz);
    freshAt_[KeyOf(e)] = static_cast<uint32_t>(fresh_.size());
    fresh_.push_back(e);
    Update(fresh_.back(), t);
    ++sv_.anz;
    // A quarter of the table new: time to sort them in.
    if (fresh_.size() > std::max<size_t>(1024, sv_.ot.size() / 4)) Settle();
    return true;
}

int StationImage::EnterTelegram(const T_Telegramm& te, const ImageEnv& env) {
    if (!open || te.ta != TA_VARIABLE || te.stat < ST_OK) return 0;
    T_Obj t{};
    t.cax = static_cast<uint32_t>(te.ca) << 8;
    t.typneu = te.typ;
    t.urs = te.urs;
    if (env.lay.mitori) t.hk = Octets(te, env.lay.TypI + 3)[0];
    t.dt = te.dt;
    int refused = 0;
    for (int i = 1; i <= (te.struk & 0x7F); ++i) {
        DecodeObject(te, i, env.lay, t);
        if (!Merge(t, env.abbMax)) ++refused;
    }
    ++sv_.aend;
    return refused;
}

} // namespace vdl
