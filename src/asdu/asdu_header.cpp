#include "asdu/asdu_header.h"

#include "asdu/catalogue.h"

namespace vdl {

namespace {

uint8_t At(const T_Telegramm& te, long i) {
    return (i >= 0 && i < te.validLen()) ? te.b[i] : 0;
}

// n octets at b[i], least significant first.
uint32_t LittleEndian(const T_Telegramm& te, long i, int n) {
    uint32_t v = 0;
    for (int k = n - 1; k >= 0; --k) v = (v << 8) | At(te, i + k);
    return v;
}

bool IsTimeTaggedMonitorType(int t) {
    return t == 2 || t == 4 || t == 6 || t == 8 || t == 10 || t == 12 || t == 14 ||
           (t >= 30 && t <= 36) || t == 126;
}

bool HasChar(const std::string& s, int c) {
    for (unsigned char ch : s)
        if (ch == c) return true;
    return false;
}

} // namespace

void DecodeHeader(T_Telegramm& te, int fkt, const AsduLayout& lay) {
    te.lc = te.typ = te.struk = te.urs = 0;
    te.la = te.ca = 0;
    if (fkt == FKT_RP5 || fkt == FKT_RP6) {
        if (te.ta == TA_FIXED) {
            te.la = te.ca = At(te, 1);
            te.lc = At(te, 2);
        } else {
            te.la = At(te, 4);
            te.lc = At(te, 5);
            if (fkt == FKT_RP6) {
                te.ca = At(te, 6);
                te.struk = At(te, 7);
                te.urs = At(te, 8);
            } else {
                te.struk = At(te, 6);
                te.urs = At(te, 7);
            }
        }
        te.typ = static_cast<uint8_t>(te.lc >> 1);
        if (te.lc & 1) te.typ &= 0x0F;
        return;
    }
    int ctrl = 4;
    if (te.ta == TA_FIXED) {
        if (At(te, 0) == 0xE5 || At(te, 0) == 0xA2) {
            te.lc = At(te, 0);
            return;
        }
        ctrl = 1;
    }
    te.lc = At(te, ctrl);
    te.la = static_cast<uint16_t>(LittleEndian(te, ctrl + 1, lay.lgla));
    if (te.ta == TA_FIXED || te.lg < 12) return;
    te.typ = At(te, lay.TypI);
    te.struk = At(te, lay.TypI + 1);
    te.urs = At(te, lay.TypI + 2);
    te.ca = static_cast<uint16_t>(LittleEndian(te, lay.CaI, lay.lgca));
}

bool CheckAsdu(T_Telegramm& te, const AsduLayout& lay, const TextTable& texts,
               const T_TypUrsFarben* pfu) {
    if (te.ta != TA_VARIABLE) return true;
    const int typ = te.typ;
    const int n = te.struk & 0x7F;
    const bool sq = (te.struk & 0x80) != 0;
    const uint16_t f = CatalogueEntry(typ);
    const int e = f & CAT_LEN_MASK;

    if (te.lg <= lay.lgla + 11) {
        te.stat = ST_ASDU_LENGTH;
        return false;
    }
    te.stat = ST_OK;
    if (!IsKnownType(typ)) {
        if (!IsTimedCommand(typ)) {
            te.stat = ST_UNKNOWN_TYPE;
            return false;
        }
        te.stat = ST_TIMED_COMMAND;
    }

    // Structure
    bool structureOk =
        sq ? (f & CAT_SEQUENCE) != 0 : (n >= 1 && typ != 126 && (n == 1 || (f & CAT_SEVERAL)));
    if (!structureOk) te.stat = ST_STRUCT_CAUSE;

    // Length
    long expected;
    if (typ == 125) {
        const int los = At(te, lay.OaI + lay.lgoa + 3);
        expected = lay.OaI + lay.lgoa + los + 6;
    } else {
        expected = static_cast<long>(n) * e + lay.OaI + (sq ? 1 : n) * lay.lgoa + 2;
    }
    if (te.lg != expected) {
        te.stat = ST_ASDU_LENGTH;
        return false;
    }

    // Cause: commands with time tag are graded like the commands without.
    const int t = IsTimedCommand(typ) ? typ - 13 : typ;
    const int c = te.urs & 0x3F;
    const std::string& permitted = texts.tx(kTxGeneralCauses + TypeListPosition(t));
    if (c == 0 || !HasChar(permitted, c)) {
        if ((IsTimeTaggedMonitorType(t) && c == 2) || (c >= 20 && c <= 36 && t != 126)) {
            te.stat = ST_CAUSE_41;
        } else {
            bool coloured = pfu && (pfu->frb[te.urs].fg != 0 || pfu->frb[te.urs].hg != 0);
            te.stat =
                (!coloured || HasChar(texts.tx(kTxGeneralCauses), c)) ? ST_CAUSE_27 : ST_CAUSE_47;
        }
    }
    return te.stat == ST_OK;
}

uint32_t ObjectAddress(int n, const T_Telegramm& te, const AsduLayout& lay) {
    long pos = lay.OaI;
    if (n >= 2 && !(te.struk & 0x80) && te.typ < 128)
        pos = lay.OaI + (n - 1L) * (ElementLength(te.typ) + lay.lgoa);
    if (pos + lay.lgoa >= te.lg) pos = lay.OaI;
    uint32_t a = LittleEndian(te, pos, lay.lgoa);
    if (n > 1 && te.struk > 0x81) a += static_cast<uint32_t>(n - 1);
    return a;
}

int ObjectOffset(int n, const T_Telegramm& te, const AsduLayout& lay) {
    const uint16_t f = CatalogueEntry(te.typ);
    const int e = f == 0 ? 1 : (f & CAT_LEN_MASK);
    const long long stride = (te.struk & 0x80) ? e : e + lay.lgoa;
    const long long off = lay.OaI + lay.lgoa + stride * (n - 1LL);
    // Object numbers come from the qualifier (at most 127); anything wilder stays in range.
    return off < -0xFFFF ? -0xFFFF : (off > 0xFFFF ? 0xFFFF : static_cast<int>(off));
}

} // namespace vdl
