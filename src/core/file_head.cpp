#include "core/file_head.h"

#include "core/filter_rows.h"

#include <cstring>

namespace vdl {

T_DateiKopf BuildFileHead(int32_t lgdatei, int32_t lgkopf, const T_AllgPar& ap,
                          const T_BetriebsPar& bp1, const T_BetriebsPar& bp2) {
    T_DateiKopf k{};
    k.magic = kFileMagic;
    k.lgdatei = lgdatei;
    k.lgkopf = lgkopf;
    k.ap = ap;
    k.ap.lg = kAllgParLen;
    k.ap.afilt.aktiv = 0;
    k.ap.lfilt.aktiv = 0;
    k.bp[0] = bp1;
    k.bp[1] = bp2;
    k.bp[0].lg = k.bp[1].lg = kBetriebsParLen;
    return k;
}

namespace {

bool StructureUsable(const T_AdrStruktur& s, int maxBits) {
    if (s.anz < 1 || s.anz > 5) return false;
    int sum = 0;
    for (int i = 0; i < s.anz; ++i) {
        if (s.fd[i] <= 0 || s.fd[i] > maxBits) return false;
        sum += s.fd[i];
    }
    return sum % 8 == 0 && sum <= maxBits;
}

} // namespace

bool AllgParUsable(const T_AllgPar& ap) {
    return ap.lgla >= 0 && ap.lgla <= 2 && ap.mitori >= 0 && ap.mitori <= 1 &&
           StructureUsable(ap.castr, 16) && StructureUsable(ap.oastr, 24);
}

bool BetriebsParUsable(const T_BetriebsPar& bp) {
    return bp.baud > 0 && bp.fkt >= 0 && bp.fkt <= 6 && bp.pro >= 0 && bp.pro <= 1 &&
           bp.la.anz >= 0 && bp.la.anz <= kMaxLinkAdr && bp.tlg >= 0 && bp.tlg <= 65535;
}

HeadTaken TakeSettingsFromHead(const uint8_t* head, T_AllgPar& ap, T_BetriebsPar& bp1,
                               T_BetriebsPar& bp2, bool keepLogSize) {
    HeadTaken taken;
    const uint8_t* pa = head + offsetof(T_DateiKopf, ap);
    int32_t lga;
    std::memcpy(&lga, pa, 4);
    if (lga == kAllgParLen || lga == kAllgParOldLen) {
        T_AllgPar n = ap;
        std::memcpy(&n, pa, static_cast<size_t>(lga));
        n.lg = kAllgParLen;
        if (AllgParUsable(n)) {
            if (keepLogSize) n.MaxLog = ap.MaxLog;
            if (n.mwvoll < 100 || n.mwvoll > 32767) n.mwvoll = 32000;
            // Filters travel inactive; rows that another configuration or a damaged file
            // left are brought into order.
            for (T_Filter* f : {&n.afilt, &n.lfilt}) {
                f->aktiv = 0;
                NormaliseFilter(*f, n);
            }
            ap = n;
            taken.allg = true;
        }
    }
    const uint8_t* pb = head + offsetof(T_DateiKopf, bp);
    int32_t lgb;
    std::memcpy(&lgb, pb, 4);
    T_BetriebsPar n1 = bp1, n2 = bp2;
    bool ok = false;
    if (lgb == kBetriebsParLen) {
        ok = ReadBetriebsPar(n1, pb, kBetriebsParLen) &&
             ReadBetriebsPar(n2, pb + kBetriebsParLen, kBetriebsParLen);
    } else if (lgb == kBetriebsParOldLen) {
        ok = ReadBetriebsPar(n1, pb, kBetriebsParOldLen) &&
             ReadBetriebsPar(n2, pb + kBetriebsParOldLen, kBetriebsParOldLen);
    }
    if (ok && BetriebsParUsable(n1) && BetriebsParUsable(n2)) {
        bp1 = n1;
        bp2 = n2;
        taken.chan = true;
    }
    return taken;
}

} // namespace vdl
