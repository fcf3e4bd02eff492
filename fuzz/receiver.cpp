// Fuzzes the receiver: random settings, then blocks of random bytes with random line errors
// and pauses. Every closed record is also graded, addressed and listed object by object.
#include "link/receiver.h"
#include "asdu/asdu_header.h"
#include "asdu/element_csv.h"
#include "core/channel.h"
#include "fuzz_common.h"
#include "link/channel_init.h"

#include <cstdlib>
#include <memory>

using namespace vdl;

namespace {

class FuzzClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return 0; }
    uint32_t ms = 0xFFFF0000u; // close to the wrap
};

class CheckHooks : public RxHooks {
public:
    explicit CheckHooks(const AsduLayout& l) : lay(l) {}
    void Log(T_ComVar&, const T_Telegramm& te) override { Check(te); }
    void ModemLine(T_ComVar& c) override { Check(c.em.te); }
    void LinkReaction(T_ComVar& c) override {
        if (c.em.te.lc & 1) c.se.mlke = true;
    }

    void Check(const T_Telegramm& te) {
        if (te.lg < 0 || te.lg > kTeByteLen) std::abort();
        // The record on the heap, exactly its size: reads past it are caught.
        auto copy = std::make_unique<T_Telegramm>(te);
        const int n = copy->struk & 0x7F;
        for (int k = 1; k <= n + 1; ++k) {
            (void)ObjectAddress(k, *copy, lay);
            (void)ObjectQuality(*copy, k, lay);
            int pos = ObjectOffset(k, *copy, lay);
            (void)ElementCsv(*copy, pos, ';');
        }
    }
    AsduLayout lay;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TextTable texts = fuzz::MakeTexts();
    fuzz::Input in(data, size);

    auto c = std::make_unique<T_ComVar>();
    T_ComVar other;
    InitChannelRecords(*c, other);
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    const uint8_t cfg = in.Byte(), cfg2 = in.Byte();
    c->bp.fkt = cfg % 7;
    c->bp.pro = (cfg >> 3) & 1;
    c->bp.vwe5 = (cfg >> 4) & 3;
    c->bp.spik = (cfg >> 6) & 1;
    ap.lgla = cfg2 % 3;
    ap.mitori = (cfg2 >> 2) & 1;
    ap.castr = {1, {(cfg2 & 8) ? 8 : 16, 0, 0, 0, 0}};
    ap.oastr = {1, {8 * (1 + ((cfg2 >> 4) % 3)), 0, 0, 0, 0}};
    c->bp.la.anz = 1 + ((cfg2 >> 6) & 3);
    c->bp.la.a[0] = 1;
    c->bp.la.a[1] = 2;
    c->bp.la.a[2] = 0xFF;
    c->bp.qzt = 20;
    c->bp.tlg = 255;
    InitChannel(*c, av, ap);
    if (cfg & 0x80) c->se.lks = 6; // modem dialogue
    if (in.Byte() & 1) c->se.uslstat = 0;
    if (in.Byte() & 1) c->se.lke = 0x10;

    FuzzClock clock;
    CheckHooks hooks(LayoutOf(ap));
    const RxEnv env{clock, av, ap, texts, hooks};
    while (in.Left() > 0) {
        const uint8_t ctl = in.Byte();
        size_t n = ctl & 0x3F;
        if (ctl & 0x40) n += 200; // long blocks reach the frame length limits
        c->em.fehl = (ctl & 0x80) ? (in.Byte() & 7) : 0;
        const uint8_t* p = in.Take(n);
        ReceiveBlock(*c, env, p, n);
        if (c->em.bnr > kMaxRecordBytes) std::abort();
        if ((ctl & 0xC0) == 0xC0) {
            clock.ms += c->em.TOut + 1;
            ReceiveTick(*c, env);
        }
    }
    clock.ms += 100000;
    ReceiveTick(*c, env);
    return 0;
}
