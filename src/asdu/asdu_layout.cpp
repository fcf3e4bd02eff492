#include "asdu/asdu_layout.h"

#include <cstdint>

namespace vdl {

namespace {

int DecimalDigits(uint32_t v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

int StructureBits(const T_AdrStruktur& s) {
    int sum = 0;
    int anz = s.anz < 1 ? 1 : (s.anz > 5 ? 5 : s.anz);
    for (int i = 0; i < anz; ++i) sum += s.fd[i] > 0 ? s.fd[i] : 0;
    return sum;
}

// Digits per field, the printf-style format and the displayed width of a structured address.
void DeriveStructure(const T_AdrStruktur& s, T_AdrStruktur& brt, std::string& fmt, int32_t& width) {
    int anz = s.anz < 1 ? 1 : (s.anz > 5 ? 5 : s.anz);
    brt = T_AdrStruktur{};
    fmt = "%*d";
    width = anz;
    for (int i = 0; i < anz; ++i) {
        int w = s.fd[i] < 1 ? 1 : (s.fd[i] > 24 ? 24 : s.fd[i]);
        brt.fd[i] = DecimalDigits((1u << w) - 1);
        width += brt.fd[i];
        if (i > 0) fmt += "-%*d";
    }
}

} // namespace

void DeriveAsduLayout(T_AllgVar& av, T_AllgPar& ap) {
    int lgla = ap.lgla < 0 ? 0 : (ap.lgla > 2 ? 2 : ap.lgla);
    int mitori = ap.mitori ? 1 : 0;
    int cabits = StructureBits(ap.castr);
    int oabits = StructureBits(ap.oastr);
    // A structure whose widths do not give whole octets keeps the lengths it had.
    if (cabits == 8 || cabits == 16) ap.lgca = cabits / 8;
    if (oabits == 8 || oabits == 16 || oabits == 24) ap.lgoa = oabits / 8;
    if (ap.lgca < 1 || ap.lgca > 2) ap.lgca = 2;
    if (ap.lgoa < 1 || ap.lgoa > 3) ap.lgoa = 3;

    av.TypI = 5 + lgla;
    av.CaI = 8 + lgla + mitori;
    av.OaI = av.CaI + ap.lgca;
    av.InfI = av.OaI + ap.lgoa;
    av.oamax = (ap.lgoa == 3) ? 0xFFFFFFu : ((1u << (8 * ap.lgoa)) - 1);
    av.globla = lgla == 2 ? 0xFFFF : 0xFF;
    av.globca = ap.lgca == 2 ? 0xFFFF : 0xFF;
    DeriveStructure(ap.castr, av.cabrt, av.cafmt, av.lgcastr);
    DeriveStructure(ap.oastr, av.oabrt, av.oafmt, av.lgoastr);
}

} // namespace vdl
