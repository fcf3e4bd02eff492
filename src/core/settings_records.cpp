#include "core/settings_records.h"

#include <cstring>

namespace vdl {

T_AllgPar DefaultAllgPar() {
    T_AllgPar ap{};
    ap.lg = kAllgParLen;
    ap.lgla = 1;
    ap.mitori = 0;
    ap.lgca = 2;
    ap.lgoa = 3;
    ap.castr.anz = 2;
    ap.castr.fd[0] = ap.castr.fd[1] = 8;
    ap.oastr.anz = 3;
    ap.oastr.fd[0] = ap.oastr.fd[1] = ap.oastr.fd[2] = 8;
    ap.Timeout = 8;
    ap.MaxLog = 100;
    ap.mwvoll = 32000;
    ap.afilt.nameidx = 255;
    ap.lfilt.nameidx = 255;
    return ap;
}

T_AusgPar DefaultAusgPar() {
    T_AusgPar a{};
    a.size = 9;
    a.version = 2;
    a.quamask = 255;
    a.leerzl = 50;
    a.ek[0] = {2, 15};
    a.ek[1] = {1, 15};
    a.ek[2] = {4, 15};
    a.ek[3] = {7, 15};
    a.basis = {16, 15};
    a.fehler = {1, 12};
    a.intern = {3, 15};
    a.quali = {1, 6};
    return a;
}

T_TypUrsFarben DefaultTypUrsFarben() {
    T_TypUrsFarben t{};
    t.lg = kTypUrsFarbenLen;
    return t;
}

T_ProgPar DefaultProgPar() {
    T_ProgPar pp{};
    pp.magic = kProgParMagic;
    pp.lg = kProgParLen;
    pp.mark = 16;
    pp.format = 3;
    pp.opt[0] = 1;
    pp.opt[1] = 1;
    pp.ausg = DefaultAusgPar();
    pp.online = 1;
    pp.onlausg = 1;
    pp.zeitzl = 1;
    pp.linkzl = 1;
    pp.frbtyp = DefaultTypUrsFarben();
    pp.frburs = DefaultTypUrsFarben();
    return pp;
}

} // namespace vdl
