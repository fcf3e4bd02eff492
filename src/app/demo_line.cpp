#include "app/demo_line.h"

#include "app/program.h"
#include "link/channel_init.h"

namespace vdl {

T_BetriebsPar DemoChannelParams(const T_BetriebsPar& current, int i, const std::string& logText) {
    T_BetriebsPar bp = DefaultBetriebsPar();
    bp.cnr = current.cnr;
    bp.fkt = i == 0 ? FKT_MASTER : FKT_SLAVE;
    bp.pro = PRO_UNBALANCED;
    bp.rb = i == 0 ? 1 : 0;
    bp.la.anz = 1;
    bp.la.a[0] = 1;
    bp.la.a[1] = 0xFF;
    bp.sverz = bp.tv = bp.tn = 0;
    bp.rts = 0;
    bp.vwe5 = 0; // every answer a frame of its own: easier to read
    bp.bcon = 1;
    bp.zztpoll = kDemoPollMs;
    bp.wh = 3;
    bp.qzt = 400;
    bp.zztl = 5;
    bp.logtxt.set(logText);
    return bp;
}

void EnterDemo(Program& p) {
    if (!p.demoKept) p.demoKept = std::array<T_BetriebsPar, 2>{p.com[0].bp, p.com[1].bp};
    for (int i = 0; i < 2; ++i) {
        p.com[i].bp = DemoChannelParams(p.com[i].bp, i, p.texts.tx(kTxDemoLogText));
        InitChannel(p.com[i], p.av, p.ap);
    }
    p.pp.online = 1;
}

} // namespace vdl
