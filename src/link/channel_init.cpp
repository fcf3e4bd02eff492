#include "link/channel_init.h"

#include "asdu/asdu_layout.h"
#include "link/modem.h"

#include <cmath>

namespace vdl {

namespace {
// A baud rate of 0 or below can only come from a damaged file; the timing values are then
// computed for 9600 bit/s instead of dividing by zero.
int32_t UsableBaud(int32_t baud) {
    return baud > 0 ? baud : 9600;
}
} // namespace

uint32_t FrameTimeout(int32_t baud) {
    return static_cast<uint32_t>(std::lround(704000.0 / UsableBaud(baud))) + 300;
}

uint16_t LineLimit(const T_BetriebsPar& bp) {
    if (bp.fkt != FKT_ASCII) return 16;
    return static_cast<uint16_t>(bp.tlg < 0 ? 0 : (bp.tlg > 0xFFFF ? 0xFFFF : bp.tlg));
}

uint32_t TicksOf(double s, int32_t msjetick) {
    const int32_t mst = msjetick > 0 ? msjetick : 54;
    double t = s * 997.0 / mst;
    if (t < 0) t = 0;
    return static_cast<uint32_t>(t) + 1;
}

void InitChannel(T_ComVar& c, T_AllgVar& av, T_AllgPar& ap) {
    T_EmpfVar& em = c.em;
    T_SendVar& se = c.se;
    T_BetriebsPar& bp = c.bp;

    for (auto& a : em.ela) a = -1;
    em.anzspik = 0;
    em.efcb = 0;
    em.fcb = 0;
    em.syn = false;

    em.tlg = LineLimit(bp);
    if (bp.fkt == FKT_ASCII)
        em.TOut = static_cast<uint32_t>(bp.qzt < 0 ? 0 : bp.qzt);
    else
        em.TOut = FrameTimeout(bp.baud);

    if (bp.la.anz <= 0 || ap.lgla == 0) bp.la.anz = 1;
    if (bp.la.anz > kMaxLinkAdr) bp.la.anz = kMaxLinkAdr;

    DeriveAsduLayout(av, ap);

    se.sim = SIM_NONE;
    if (bp.fkt == FKT_MASTER || bp.fkt == FKT_SLAVE) {
        if (bp.pro == PRO_UNBALANCED)
            se.sim = bp.fkt == FKT_MASTER ? SIM_MASTER : SIM_SLAVE;
        else
            se.sim = SIM_BALANCED;
    }

    se.pzt = 44000 / UsableBaud(bp.baud) + 1;

    c.rp57x = bp.fkt == FKT_RP5 || bp.fkt == FKT_RP6;
    c.rpbrsp1 = bp.fkt == FKT_RP5 ? 12 : (bp.fkt == FKT_RP6 ? 16 : 0);

    se.akt = 0;
    se.paend =
        static_cast<uint8_t>(((bp.paend & 0x80) ? 0x80 : 0) | ((bp.paend & 0x40) ? 0x20 : 0) |
                             ((bp.paend & 0x20) ? 0x10 : 0));
    se.fcb = 0;
    se.usfcb = 0;
    se.uslstat = 0xFFFF;
    se.usi = 0;
    se.usia = 0;
    se.Stat = SS_IDLE;
    se.abf1.fill(false);
    se.lke = 0;
    // The controlling station starts ready to choose, the other modes without a link; a
    // channel that works through a modem starts in the modem dialogue.
    InitLinkState(c);
    se.polltick = 0;
    se.whzl = 0;
    se.u3 = 0;
    se.sendq = 0;
    se.wquit = false;
    se.empfq = 255;
    se.kuebtick = bp.zztv > 0 ? TicksOf(bp.zztv, av.msjetick) - 1 : 0;
    se.kanueb = false;
    for (auto& q : se.c) q.clear();
    // A file still open from an earlier transfer is closed with its record.
    c.fte = T_FileTransfer{};
    c.fts = T_FileTransfer{};
    c.cf = T_CallFileVar{};
    c.vz = T_DirSend{};
}

} // namespace vdl
