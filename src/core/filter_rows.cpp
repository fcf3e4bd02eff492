#include "core/filter_rows.h"

#include <algorithm>

namespace vdl {

int StructureParts(const T_AdrStruktur& s) {
    return std::clamp(s.anz, 0, 5);
}

std::vector<int32_t> FilterFields(const T_AllgPar& ap) {
    std::vector<int32_t> v;
    for (int32_t f = FF_NR; f <= FF_LAST; ++f) {
        if (f == FF_LA && ap.lgla == 0) continue;
        if (f == FF_HK && ap.mitori == 0) continue;
        if (f >= FF_CA1 && f < FF_OA1 && f - FF_CA1 >= StructureParts(ap.castr)) continue;
        if (f >= FF_OA1 && f - FF_OA1 >= StructureParts(ap.oastr)) continue;
        v.push_back(f);
    }
    return v;
}

void NormaliseFilter(T_Filter& f, const T_AllgPar& ap) {
    std::vector<int32_t> fields = FilterFields(ap);
    f.anzz = static_cast<int32_t>(fields.size());
    for (int k = 0; k < kFilterRows; ++k)
        f.z[k].feld = k < f.anzz ? fields[static_cast<size_t>(k)] : 0;
    // Flags and choices as the dialog sets them: a record from a file may hold anything.
    for (uint8_t* b : {&f.vonein, &f.bisein, &f.okein, &f.fehlein}) *b = *b ? 1 : 0;
    for (T_FilterZeile& z : f.z) {
        if (z.rel < 0 || z.rel > 2) z.rel = 0;
        if (z.vgl < 0 || z.vgl > 2) z.vgl = 0;
    }
    if (!f.okein && !f.fehlein) f.okein = f.fehlein = 1;
    if ((f.ekbits & 15) == 0) f.ekbits = 15;
    f.ekbits &= 15;
    bool rows = false;
    f.hinterla = 0;
    f.oaz = 0;
    for (int k = 0; k < f.anzz; ++k) {
        if (f.z[k].rel == 0) continue;
        rows = true;
        if (f.z[k].feld > FF_LA) f.hinterla = 1;
        if (f.z[k].feld >= FF_OA1 && f.oaz == 0) f.oaz = static_cast<uint8_t>(k + 1);
    }
    f.def = (f.vonein || f.bisein || f.okein != f.fehlein || f.qmask1 || f.qmask2 ||
             f.ekbits != 15 || rows)
                ? 1
                : 0;
}

} // namespace vdl
