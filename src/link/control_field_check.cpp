#include "link/control_field_check.h"

namespace vdl {

namespace {

// The digit of function code fc in a permitted-codes text; 0 when the text is shorter or the
// character is not a digit.
int PermittedDigit(const std::string& s, int fc) {
    if (fc < 0 || static_cast<size_t>(fc) >= s.size()) return 0;
    char ch = s[static_cast<size_t>(fc)];
    return (ch >= '0' && ch <= '9') ? ch - '0' : 0;
}

int AddressCount(const T_BetriebsPar& bp) {
    return bp.la.anz < 1 ? 1 : (bp.la.anz > kMaxLinkAdr ? kMaxLinkAdr : bp.la.anz);
}

int StationIndex(int32_t i) {
    return i < 0 ? 0 : (i > kMaxLinkAdr ? kMaxLinkAdr : i);
}

uint8_t CheckSecondary(T_ComVar& c, int usin, int fc, bool broadcast) {
    const T_Telegramm& te = c.em.te;
    T_SendVar& se = c.se;
    if (se.sim == SIM_SLAVE) return ST_UNEXPECTED;
    if (broadcast) return ST_LINK_ADDRESS;
    uint8_t code = ST_OK;
    const bool userData = fc == 8 && c.bp.pro != PRO_BALANCED;
    if (userData ? te.ta != TA_VARIABLE : te.ta != TA_FIXED) code = ST_FORMAT_FUNCTION;
    if (se.sim != SIM_NONE) {
        const int usi = StationIndex(se.usi);
        if (usin != usi && c.bp.la.a[usin] != c.bp.la.a[usi]) code = ST_LINK_ADDRESS;
    }
    if (te.lc & CF_FCV) code = ST_DFC_IN_RESPONSE;
    return code;
}

uint8_t CheckPrimary(T_ComVar& c, const AsduLayout& lay, int usin, int fc, int digit,
                     bool broadcast) {
    T_Telegramm& te = c.em.te;
    T_SendVar& se = c.se;
    T_EmpfVar& em = c.em;
    const uint8_t lc = te.lc;
    const bool fcv = (lc & CF_FCV) != 0;
    const uint8_t fcb = lc & CF_FCB;
    const bool balanced = c.bp.pro == PRO_BALANCED;
    const int anz = AddressCount(c.bp);

    if ((fc == 3 || fc == 4) ? te.ta == TA_FIXED : te.ta == TA_VARIABLE) return ST_FORMAT_FUNCTION;
    if (se.sim == SIM_MASTER) return ST_PRIMARY_AT_MASTER;
    if (broadcast && fc != 4 && fc != 8) return ST_FCV_WRONG;
    if (fc == 8) {
        if (balanced) return ST_FORMAT_FUNCTION;
        if (!broadcast) return ST_LINK_ADDRESS;
    }
    if (fcv != ((digit & 1) != 0)) return ST_FCV_WRONG;

    if (se.sim == SIM_BALANCED) {
        uint8_t code = ST_OK;
        if (fc != 0 && fc != 9) {
            if (se.lke == 0)
                code = ST_FCB_BEFORE_RESET;
            else if (fcv) {
                if (fcb != (se.lke & CF_FCB))
                    se.lke = lc;
                else
                    code = ST_REPETITION;
            }
        }
        if (usin != StationIndex(se.usi)) code = ST_LINK_ADDRESS;
        return code;
    }

    if (se.sim == SIM_SLAVE) {
        if (usin >= anz) return ST_LINK_ADDRESS;
        se.usia = se.usi;
        se.usi = usin;
        if (fc == 0 || fc == 9) return ST_OK;
        if (broadcast) {
            // Answered only when at least one station of the list has its link reset.
            int lowestClear = 0;
            while (lowestClear < 16 && (se.uslstat & (1u << lowestClear))) ++lowestClear;
            return lowestClear >= anz ? ST_FCB_BEFORE_RESET : ST_OK;
        }
        const uint16_t bit = static_cast<uint16_t>(1u << usin);
        if (se.uslstat & bit) return ST_FCB_BEFORE_RESET;
        if (fcv) {
            const uint16_t expected = fcb ? bit : 0;
            if (expected == (se.usfcb & bit)) return ST_REPETITION;
            se.usfcb ^= bit;
        }
        return ST_OK;
    }

    // Monitoring: the frame count state of each observed station.
    if (lay.lgla > 0 && !balanced) {
        const int16_t key = static_cast<int16_t>(te.la);
        int slot = -1;
        for (int i = 0; i < 15; ++i) {
            if (em.ela[i] == key || em.ela[i] == -1) {
                slot = i;
                break;
            }
        }
        if (slot < 0) return ST_OK; // more stations than slots: this one is not tracked
        const uint16_t bit = static_cast<uint16_t>(1u << slot);
        if (em.ela[slot] == -1) {
            em.ela[slot] = key;
            em.efcb = static_cast<uint16_t>(fcb ? (em.efcb | bit) : (em.efcb & ~bit));
        } else if (!fcv) {
            if (fc == 0) em.efcb = static_cast<uint16_t>(em.efcb & ~bit);
        } else {
            const bool stored = (em.efcb & bit) != 0;
            if (stored == (fcb != 0)) return ST_REPETITION;
            em.efcb ^= bit;
        }
        return ST_OK;
    }
    if (!fcv) {
        if (fc == 0) em.fcb = 0x10; // reset seen: the next counted frame must carry FCB = 1
    } else {
        if (em.fcb == 0 || (em.fcb & CF_FCB) != fcb)
            em.fcb = lc;
        else
            return ST_REPETITION;
    }
    return ST_OK;
}

} // namespace

uint8_t CheckControlField(T_ComVar& c, const TextTable& texts, const AsduLayout& lay) {
    const T_Telegramm& te = c.em.te;
    const uint8_t lc = te.lc;
    const bool primary = (lc & CF_PRM) != 0;
    const int fc = lc & CF_FC;
    const int pro = c.bp.pro == PRO_BALANCED ? 0 : 1;
    const int digit = PermittedDigit(texts.tx(kTxFunctionCodes + pro + (primary ? 0 : 2)), fc);
    if (digit == 0) return ST_FUNCTION;

    const bool broadcast = lay.lgla > 0 && te.la == lay.globla;
    int usin = 0;
    if (lay.lgla > 0 && !broadcast) {
        const int anz = AddressCount(c.bp);
        usin = anz;
        for (int i = 0; i < anz; ++i) {
            if (c.bp.la.a[i] == te.la) {
                usin = i;
                break;
            }
        }
    }
    c.se.usin = usin;
    return primary ? CheckPrimary(c, lay, usin, fc, digit, broadcast)
                   : CheckSecondary(c, usin, fc, broadcast);
}

} // namespace vdl
