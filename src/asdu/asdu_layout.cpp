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

AsduLayout LayoutOf(const T_AllgPar& ap) {
    AsduLayout l;
    l.lgla = ap.lgla < 0 ? 0 : (ap.lgla > 2 ? 2 : ap.lgla);
    l.mitori = ap.mitori ? 1 : 0;
    l.lgca = ap.lgca < 1 ? 1 : (ap.lgca > 2 ? 2 : ap.lgca);
    l.lgoa = ap.lgoa < 1 ? 1 : (ap.lgoa > 3 ? 3 : ap.lgoa);
    l.TypI = 5 + l.lgla;
    l.CaI = 8 + l.lgla + l.mitori;
    l.OaI = l.CaI + l.lgca;
    l.InfI = l.OaI + l.lgoa;
    l.oamax = (1u << (8 * l.lgoa)) - 1;
    l.globla = l.lgla == 2 ? 0xFFFF : 0xFF;
    l.globca = l.lgca == 2 ? 0xFFFF : 0xFF;
    return l;
}

void DeriveAsduLayout(T_AllgVar& av, T_AllgPar& ap) {
    int cabits = StructureBits(ap.castr);
    int oabits = StructureBits(ap.oastr);
    // A structure whose widths do not give whole octets keeps the lengths it had.
    if (cabits == 8 || cabits == 16) ap.lgca = cabits / 8;
    if (oabits == 8 || oabits == 16 || oabits == 24) ap.lgoa = oabits / 8;
    if (ap.lgca < 1 || ap.lgca > 2) ap.lgca = 2;
    if (ap.lgoa < 1 || ap.lgoa > 3) ap.lgoa = 3;

    const AsduLayout l = LayoutOf(ap);
    av.TypI = l.TypI;
    av.CaI = l.CaI;
    av.OaI = l.OaI;
    av.InfI = l.InfI;
    av.oamax = l.oamax;
    av.globla = l.globla;
    av.globca = l.globca;
    DeriveStructure(ap.castr, av.cabrt, av.cafmt, av.lgcastr);
    DeriveStructure(ap.oastr, av.oabrt, av.oafmt, av.lgoastr);
}

} // namespace vdl
