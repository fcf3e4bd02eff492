#include "link/frame_checks.h"

#include "asdu/asdu_header.h"
#include "link/control_field_check.h"

#include <array>

namespace vdl {

namespace {

constexpr std::array<uint8_t, 16> kRpTableO = {2, 5, 255, 4, 4, 4, 11, 2, 2, 4, 0, 5, 8, 4, 255, 2};

constexpr std::array<uint8_t, 82> MakeRpTableE() {
    std::array<uint8_t, 82> t{};
    constexpr uint8_t head[45] = {2,   2,   2,   2,   2,  5,  7,  9,  11,  255, 4,   34,
                                  2,   2,   255, 4,   0,  0,  0,  0,  255, 255, 255, 255,
                                  255, 255, 255, 255, 6,  6,  10, 10, 11,  11,  11,  14,
                                  255, 8,   8,   11,  11, 16, 0,  20, 13};
    for (size_t i = 0; i < 45; ++i) t[i] = head[i];
    // 45..63 stay 0
    for (size_t i = 64; i <= 71; ++i) t[i] = 255;
    constexpr uint8_t tail[8] = {6, 6, 10, 10, 8, 8, 11, 11};
    for (size_t i = 0; i < 8; ++i) t[72 + i] = tail[i];
    // 80, 81 stay 0
    return t;
}
constexpr std::array<uint8_t, 82> kRpTableE = MakeRpTableE();

// The format checks of a fixed frame that starts with 0x10, of expected length len.
uint8_t CheckFixedFormat(const T_Telegramm& te, int len) {
    const int lg = te.lg;
    if (lg != len) return ST_FRAME_LENGTH;
    if (te.b[lg - 1] != 0x16) return ST_END_CHAR;
    if (FrameChecksum(te.b, lg) != te.b[lg - 2]) return ST_CHECKSUM;
    return ST_OK;
}

uint8_t CheckVariableFormat(const T_Telegramm& te) {
    const int lg = te.lg;
    if (lg != te.b[1] + 6) return ST_FRAME_LENGTH;
    if (te.b[1] != te.b[2]) return ST_LENGTH2;
    if (te.b[0] != te.b[3]) return ST_START2;
    if (te.b[lg - 1] != 0x16) return ST_END_CHAR;
    if (FrameChecksum(te.b, lg) != te.b[lg - 2]) return ST_CHECKSUM;
    return ST_OK;
}

} // namespace

uint8_t CheckRp57x(const T_Telegramm& te, int fkt) {
    uint8_t code;
    if (te.ta == TA_FIXED)
        code = CheckFixedFormat(te, 5);
    else if (te.ta == TA_VARIABLE)
        code = CheckVariableFormat(te);
    else
        code = ST_NO_START;
    if (code != ST_OK) return code;

    const bool odd = (te.lc & 1) != 0;
    const int entry = Rp57xTableEntry(odd, te.typ);
    const int lg = te.lg;
    if (entry == 0) return ST_RP_UNKNOWN_TYPE;
    if (te.ta == TA_FIXED) return entry == 2 ? ST_OK : ST_FORMAT_FUNCTION;
    if (odd && te.typ == 12) return lg == entry + 6 ? ST_OK : ST_ASDU_LENGTH;
    if (!odd && te.typ == 15) {
        if (fkt != FKT_RP6) return ST_RP_UNKNOWN_TYPE;
        return lg == entry + 6 ? ST_OK : ST_ASDU_LENGTH;
    }
    if (entry == 255) {
        const bool ok = odd ? lg - 6 >= 4 : lg > 10;
        return ok ? ST_OK : ST_ASDU_LENGTH;
    }
    return lg == entry + (fkt == FKT_RP6 ? 1 : 0) + 6 ? ST_OK : ST_ASDU_LENGTH;
}

uint8_t FrameChecksum(const uint8_t* b, int length) {
    const int first = (length > 0 && b[0] == 0x10) ? 1 : 4;
    unsigned sum = 0;
    for (int i = first; i <= length - 3; ++i) sum += b[i];
    return static_cast<uint8_t>(sum);
}

int Rp57xTableEntry(bool odd, int typ) {
    if (typ < 0) return 0;
    if (odd) return typ < 16 ? kRpTableO[static_cast<size_t>(typ)] : 0;
    return kRpTableE[static_cast<size_t>(typ > 81 ? 81 : typ)];
}

void JudgeFrame(T_ComVar& c, const AsduLayout& lay, const TextTable& texts,
                const T_TypUrsFarben* pfu) {
    T_Telegramm& te = c.em.te;
    const int fkt = c.bp.fkt;
    te.stat = ST_OK;
    te.lc = te.typ = te.struk = te.urs = 0;
    te.la = te.ca = 0;

    if (fkt == FKT_ASCII) {
        const uint8_t b0 = te.lg > 0 ? te.b[0] : 0;
        te.ta = b0 == 0x68 ? TA_VARIABLE
                           : ((b0 == 0x10 || b0 == 0xA2 || b0 == 0xE5) ? TA_FIXED : TA_NONE);
        if (te.ta != TA_NONE) DecodeHeader(te, fkt, lay);
        return;
    }
    if (!c.em.syn) {
        te.stat = ST_NO_START;
        return;
    }
    DecodeHeader(te, fkt, lay);
    if (fkt == FKT_RP5 || fkt == FKT_RP6) {
        te.stat = CheckRp57x(te, fkt);
        return;
    }

    const bool single = te.ta == TA_FIXED && (te.b[0] == 0xE5 || te.b[0] == 0xA2);
    if (single) {
        if (te.lg != 1)
            te.stat = ST_FRAME_LENGTH;
        else if (c.bp.vwe5 == 0 && fkt != FKT_FT12)
            te.stat = ST_E5_NOT_ALLOWED;
        return; // the single character is not checked further
    }
    if (te.ta == TA_FIXED)
        te.stat = CheckFixedFormat(te, lay.lgla + 4);
    else if (te.ta == TA_VARIABLE)
        te.stat = CheckVariableFormat(te);
    else
        te.stat = ST_NO_START;
    if (te.stat != ST_OK || fkt == FKT_FT12) return;

    const uint8_t code = CheckControlField(c, texts, lay);
    if (code == ST_OK)
        CheckAsdu(te, lay, texts, pfu);
    else
        te.stat = code;
}

} // namespace vdl
