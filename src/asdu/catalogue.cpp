#include "asdu/catalogue.h"

#include <array>

namespace vdl {

namespace {

constexpr uint16_t K = CAT_KNOWN, S = CAT_SEVERAL, Q = CAT_SEQUENCE, T24 = CAT_CP24, T56 = CAT_CP56,
                   C = CAT_CONTROL;

constexpr std::array<uint16_t, kCatalogueTypes> MakeCatalogue() {
    std::array<uint16_t, kCatalogueTypes> t{};
    auto set = [&t](int typ, int len, uint16_t flags) {
        t[static_cast<size_t>(typ)] = static_cast<uint16_t>(flags | len);
    };
    // Monitoring direction, process information
    set(1, 1, K | S | Q);
    set(2, 4, K | S | T24);
    set(3, 1, K | S | Q);
    set(4, 4, K | S | T24);
    set(5, 2, K | S | Q);
    set(6, 5, K | S | T24);
    set(7, 5, K | S | Q);
    set(8, 8, K | S | T24);
    set(9, 3, K | S | Q);
    set(10, 6, K | S | T24);
    set(11, 3, K | S | Q);
    set(12, 6, K | S | T24);
    set(13, 5, K | S | Q);
    set(14, 8, K | S | T24);
    set(15, 5, K | S | Q);
    set(16, 8, K | S | T24);
    set(17, 6, K | S | T24);
    set(18, 7, K | T24);
    set(19, 7, K | T24);
    set(20, 5, K | S | Q);
    set(21, 2, K | S | Q);
    set(30, 8, K | S | T56);
    set(31, 8, K | S | T56);
    set(32, 9, K | S | T56);
    set(33, 12, K | S | T56);
    set(34, 10, K | S | T56);
    set(35, 10, K | S | T56);
    set(36, 12, K | S | T56);
    set(37, 12, K | S | T56);
    set(38, 10, K | S | T56);
    set(39, 11, K | T56);
    set(40, 11, K | T56);
    // Control direction, process information
    set(45, 1, K | C);
    set(46, 1, K | C);
    set(47, 1, K | C);
    set(48, 3, K | C);
    set(49, 3, K | C);
    set(50, 5, K | C);
    set(51, 4, K | C);
    // Commands with time tag: recognised, but not in the catalogue
    set(58, 8, T56 | C);
    set(59, 8, T56 | C);
    set(60, 8, T56 | C);
    set(61, 10, T56 | C);
    set(62, 10, T56 | C);
    set(63, 12, T56 | C);
    set(64, 11, T56 | C);
    // System information
    set(70, 1, K);
    set(100, 1, K | C);
    set(101, 1, K | C);
    set(102, 0, K);
    set(103, 7, K | T56 | C);
    set(104, 2, K | C);
    set(105, 1, K | C);
    set(106, 2, K | C);
    // Parameters
    set(110, 3, K | C);
    set(111, 3, K | C);
    set(112, 5, K | C);
    set(113, 1, K | C);
    // File transfer
    set(120, 6, K);
    set(121, 7, K);
    set(122, 4, K);
    set(123, 5, K);
    set(124, 4, K);
    set(125, 0, K); // segment of variable length
    set(126, 13, K | Q);
    // Offered for sending only; not decodable
    for (int typ = 128; typ <= 133; ++typ) set(typ, 0, K);
    return t;
}

constexpr std::array<uint16_t, kCatalogueTypes> kCatalogue = MakeCatalogue();

struct TypeList {
    std::array<uint8_t, kCatalogueTypes> pos{}; // 1-based position, 0 = not listed
    std::array<uint8_t, kCatalogueTypes> types{};
    int count = 0;
};

constexpr TypeList MakeTypeList() {
    TypeList l;
    for (int typ = 0; typ < kCatalogueTypes; ++typ) {
        if (kCatalogue[static_cast<size_t>(typ)] & CAT_KNOWN) {
            l.types[static_cast<size_t>(l.count)] = static_cast<uint8_t>(typ);
            ++l.count;
            l.pos[static_cast<size_t>(typ)] = static_cast<uint8_t>(l.count);
        }
    }
    return l;
}

constexpr TypeList kTypeList = MakeTypeList();

// A byte of the frame, 0 outside the bytes the record holds.
uint8_t At(const T_Telegramm& te, long i) {
    return (i >= 0 && i < te.validLen()) ? te.b[i] : 0;
}

} // namespace

uint16_t CatalogueEntry(int typ) {
    return (typ >= 0 && typ < kCatalogueTypes) ? kCatalogue[static_cast<size_t>(typ)] : 0;
}

int ElementLength(int typ) {
    return CatalogueEntry(typ) & CAT_LEN_MASK;
}

bool IsKnownType(int typ) {
    return typ <= 127 && (CatalogueEntry(typ) & CAT_KNOWN);
}

bool HasTimeTag(int typ) {
    return typ <= 127 && (CatalogueEntry(typ) & (CAT_CP24 | CAT_CP56));
}

bool HasCP56(int typ) {
    return typ <= 127 && (CatalogueEntry(typ) & CAT_CP56);
}

bool HasCP24(int typ) {
    return typ <= 127 && (CatalogueEntry(typ) & CAT_CP24);
}

bool IsTimedCommand(int typ) {
    return typ >= 58 && typ <= 64;
}

bool IsControlType(int typ) {
    return (CatalogueEntry(typ) & CAT_CONTROL) != 0;
}

int TypeListPosition(int typ) {
    return (typ >= 0 && typ < kCatalogueTypes) ? kTypeList.pos[static_cast<size_t>(typ)] : 0;
}

int TypeListCount() {
    return kTypeList.count;
}

void BuildTypeList(T_AllgVar& av) {
    av.TypStr.fill(0);
    for (int i = 0; i < kTypeList.count; ++i)
        av.TypStr[static_cast<size_t>(i)] = kTypeList.types[static_cast<size_t>(i)];
    av.maxpicktyp = kTypeList.count;
}

uint16_t ObjectQuality(const T_Telegramm& te, int n, const AsduLayout& lay) {
    const int typ = te.typ;
    if (typ < 1 || typ > 40 || n < 1) return 0;
    const long e = ElementLength(typ);
    const long stride = (te.struk & 0x80) ? e : e + lay.lgoa;
    // The last octet of the element of object n.
    long p = lay.InfI + (n - 1L) * stride + e - 1;
    uint16_t w = 0;
    if (HasCP24(typ)) {
        w = static_cast<uint16_t>((At(te, p) & 0xC0) << 8);
        p -= 3;
    } else if (HasCP56(typ)) {
        w = static_cast<uint16_t>((At(te, p - 4) & 0xC0) << 8);
        p -= 7;
    }
    if ((typ >= 17 && typ <= 19) || (typ >= 38 && typ <= 40)) p -= 2; // elapsed time CP16Time2a
    uint8_t mask = 0;
    if (typ <= 4 || typ == 30 || typ == 31)
        mask = 0xF0;
    else if (typ <= 14 || typ == 20 || (typ >= 32 && typ <= 36))
        mask = 0xF1;
    else if (typ == 15 || typ == 16 || typ == 37)
        mask = 0x80;
    else if ((typ >= 17 && typ <= 19) || (typ >= 38 && typ <= 40))
        mask = 0xF8;
    // 21 (normalised value without quality) and the unassigned 22..29 keep mask 0.
    return static_cast<uint16_t>(w | (At(te, p) & mask));
}

} // namespace vdl
