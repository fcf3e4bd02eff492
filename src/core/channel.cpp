#include "core/channel.h"

#include "core/modem_file.h"

namespace vdl {

T_BetriebsPar DefaultBetriebsPar() {
    T_BetriebsPar bp{};
    bp.lg = kBetriebsParLen;
    bp.BaudI = 5; // 9600 bit/s in the baud list of the texts
    bp.baud = 9600;
    bp.la.a[0] = 1;
    bp.la.a[1] = 0xFF;
    bp.la.anz = 1;
    bp.tlg = 255;
    bp.wh = 3;
    bp.qzt = 400;
    bp.zztl = 10;
    bp.zztv = 10;
    bp.pro = PRO_UNBALANCED;
    bp.fkt = FKT_MONITOR;
    bp.bcon = 1;
    bp.vwe5 = 1;
    bp.pari = 2; // even
    bp.data = 8;
    bp.stop = 1;
    bp.zztpoll = 100;
    return bp;
}

void InitChannelRecords(T_ComVar& c1, T_ComVar& c2) {
    c1.bp = DefaultBetriebsPar();
    c1.wm = DefaultModem();
    c1.em.enr = EK_RX1;
    c1.se.snr = EK_TX1;
    c2.bp = c1.bp;
    c2.wm = c1.wm;
    c2.em.enr = EK_RX2;
    c2.se.snr = EK_TX2;
    c2.bp.la.a[0] = 2;
}

} // namespace vdl
