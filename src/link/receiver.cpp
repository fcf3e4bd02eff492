#include "link/receiver.h"

#include "asdu/asdu_layout.h"
#include "link/frame_checks.h"

namespace vdl {

namespace {

constexpr uint8_t CR = 0x0D, LF = 0x0A;
constexpr int kAsciiLineMax = 210;
constexpr int kSpikeLen = 6;
constexpr int kSpikeRun = 10;

// The clock has passed the time-out (wrap-safe: the clock counts milliseconds in 32 bits).
bool Passed(uint32_t now, uint32_t toc) {
    return static_cast<int32_t>(now - toc) > 0;
}

bool IsRp57x(int fkt) {
    return fkt == FKT_RP5 || fkt == FKT_RP6;
}

bool InModemDialogue(const T_ComVar& c) {
    return c.se.lks > 5;
}

// The number of bytes at which the record in progress must be closed: tlg, bounded so that
// b never overflows whatever a damaged tlg holds.
int Limit(const T_EmpfVar& em) {
    return (em.tlg == 0 || em.tlg > kMaxRecordBytes) ? kMaxRecordBytes : em.tlg;
}

void Store(T_EmpfVar& em, uint8_t byte) {
    em.te.b[em.bnr++] = byte;
}

bool IsStart(int fkt, uint8_t byte) {
    if (byte == 0x68 || byte == 0x10) return true;
    if (byte == 0xE5) return fkt >= FKT_MONITOR && fkt <= FKT_FT12;
    if (byte == 0xA2) return fkt == FKT_FT12;
    return false;
}

void FrameByte(T_ComVar& c, const RxEnv& env, uint8_t byte) {
    T_EmpfVar& em = c.em;
    T_Telegramm& te = em.te;
    const int fkt = c.bp.fkt;
    if (!em.syn && IsStart(fkt, byte)) {
        if (em.bnr > 0) CloseFrame(c, env); // the stray bytes before it form a record
        te.b[0] = byte;
        em.bnr = 1;
        em.syn = true;
        if (byte == 0x68) {
            te.ta = TA_VARIABLE;
            em.tlg = 4;
        } else if (byte == 0x10) {
            te.ta = TA_FIXED;
            const int lgla = env.ap.lgla < 0 ? 0 : (env.ap.lgla > 2 ? 2 : env.ap.lgla);
            em.tlg = static_cast<uint16_t>(IsRp57x(fkt) ? 5 : lgla + 4);
        } else {
            te.ta = TA_FIXED;
            CloseFrame(c, env); // single character
        }
        return;
    }
    if (em.bnr >= kMaxRecordBytes) CloseFrame(c, env);
    Store(em, byte);
    if (em.syn && te.ta == TA_VARIABLE && em.bnr == 4) {
        // The length is settled at the fourth byte of a variable frame.
        const bool relaxed = fkt == FKT_FT12 || IsRp57x(fkt);
        if (te.b[1] != te.b[2] || te.b[3] != 0x68 || (te.b[1] <= 5 && !relaxed)) {
            em.tlg = 4;
            CloseFrame(c, env);
        } else {
            em.tlg = static_cast<uint16_t>(te.b[1] + 6);
        }
        return;
    }
    if (em.bnr >= Limit(em)) CloseFrame(c, env);
}

void AsciiByte(T_ComVar& c, const RxEnv& env, uint8_t byte) {
    T_EmpfVar& em = c.em;
    Store(em, byte);
    const uint8_t first = em.te.b[0];
    if ((em.bnr >= 3 && byte == CR && (first == LF || first == CR)) || em.bnr >= kAsciiLineMax)
        CloseFrame(c, env);
}

void ModemByte(T_ComVar& c, const RxEnv& env, uint8_t byte, bool lastOfBlock) {
    T_EmpfVar& em = c.em;
    Store(em, byte);
    if (byte == 0x16 || (lastOfBlock && (byte == CR || byte == LF)) || em.bnr >= Limit(em))
        CloseFrame(c, env);
}

bool IsSpike(T_EmpfVar& em, const T_BetriebsPar& bp) {
    const T_Telegramm& te = em.te;
    if (te.stat > 10) {
        em.anzspik = 0;
        return false;
    }
    if (bp.spik == 1 && te.lg <= kSpikeLen && em.anzspik < kSpikeRun) {
        ++em.anzspik;
        return true;
    }
    return false;
}

} // namespace

void ReceiveBlock(T_ComVar& c, const RxEnv& env, const uint8_t* data, size_t count) {
    T_EmpfVar& em = c.em;
    const bool ascii = c.bp.fkt == FKT_ASCII;
    if (ascii && !InModemDialogue(c) && em.bnr > 0 && Passed(env.clock.Millis(), em.toc))
        CloseFrame(c, env);
    for (size_t i = 0; i < count; ++i) {
        em.anz = static_cast<uint16_t>(count - i > 0xFFFF ? 0xFFFF : count - i);
        if (InModemDialogue(c))
            ModemByte(c, env, data[i], i + 1 == count);
        else if (ascii)
            AsciiByte(c, env, data[i]);
        else
            FrameByte(c, env, data[i]);
    }
    em.anz = 0;
    if (em.fehl != 0) CloseFrame(c, env);
    em.toc = env.clock.Millis() + em.TOut;
}

void ReceiveTick(T_ComVar& c, const RxEnv& env) {
    if (c.em.bnr > 0 && Passed(env.clock.Millis(), c.em.toc)) CloseFrame(c, env);
}

void CloseFrame(T_ComVar& c, const RxEnv& env) {
    T_EmpfVar& em = c.em;
    T_SendVar& se = c.se;
    T_Telegramm& te = em.te;
    const int fkt = c.bp.fkt;
    const AsduLayout lay = LayoutOf(env.ap);

    te.lg = static_cast<int16_t>(em.bnr > kMaxRecordBytes ? kMaxRecordBytes : em.bnr);
    te.ek = em.enr;

    if (InModemDialogue(c)) {
        env.hooks.ModemLine(c);
        em.bnr = 0;
        em.fehl = 0;
        em.syn = false;
        return;
    }

    if (em.fehl != 0) {
        // The content of a frame with a line error is not judged; the fields of an earlier
        // frame must not stay in the record.
        te.stat = ST_LINE_ERROR;
        te.lc = te.typ = te.struk = te.urs = 0;
        te.la = te.ca = 0;
        te.b[te.lg] = static_cast<uint8_t>(em.fehl & 0xFF);
        te.lg = static_cast<int16_t>(te.lg + 1);
    } else {
        JudgeFrame(c, lay, env.texts, env.av.pfu);
    }

    if (c.wm.vorh && te.stat == ST_OK) env.hooks.ModemIdleReload(c);
    se.mlke = false;
    if (fkt == FKT_FT12 && te.stat == ST_OK) {
        const uint16_t la = te.la;
        te.la = lay.globla;
        env.hooks.ReceiveTriggers(c, te);
        te.la = la;
    }
    env.hooks.FrameTriggers(c, te);
    const uint8_t st = te.stat;
    if (se.sim != SIM_NONE && st >= 14 && st != 16 && st != 17 && st != 21 && st != 22 && st != 29)
        env.hooks.LinkReaction(c);
    em.bnr = 0;
    em.fehl = 0;
    em.syn = false;
    if (!IsSpike(em, c.bp)) env.hooks.Log(c, te);
    if (se.mlke) env.hooks.RemoteReset(c, te.la);
    if (se.sim != SIM_NONE) env.hooks.RunNow(c);
    te.ta = TA_NONE;
    if (fkt != FKT_ASCII) em.tlg = 16;
}

} // namespace vdl
