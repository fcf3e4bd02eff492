#include "log/filter_form.h"

#include "core/text_table.h"
#include "log/filter.h"

#include <cstring>

namespace vdl {

namespace {

int64_t PartMax(const T_AdrStruktur& s, int part) {
    if (part < 0 || part >= s.anz || part >= 5) return 0;
    int bits = s.fd[part];
    if (bits <= 0) return 0;
    if (bits > 31) bits = 31;
    return (int64_t{1} << bits) - 1;
}

// The criteria only: everything the dialog keeps for itself or computes is cleared.
T_Filter Criteria(const T_Filter& f) {
    T_Filter c = f;
    c.def = 0;
    c.lg = 0;
    c.ilo = 0;
    c.f0 = 0;
    c.anzz = 0;
    c.oaz = 0;
    c.nameidx = 0;
    std::memset(c.f2, 0, sizeof c.f2);
    c.aktiv = 0;
    c.hinterla = 0;
    for (T_FilterZeile& z : c.z) z.feld = 0;
    return c;
}

} // namespace

int64_t FilterFieldMax(int32_t field, const T_AllgPar& ap) {
    switch (field) {
    case FF_NR:
        return 2147483647;
    case FF_LG:
        return 261;
    case FF_LC:
        return 79;
    case FF_LA:
        return ap.lgla == 2 ? 65535 : 255;
    case FF_TYP:
    case FF_URS:
    case FF_HK:
        return 255;
    default:
        break;
    }
    if (field >= FF_CA1 && field < FF_CA1 + 5) return PartMax(ap.castr, field - FF_CA1);
    if (field >= FF_OA1 && field <= FF_LAST) return PartMax(ap.oastr, field - FF_OA1);
    return 0;
}

std::string FilterRowLabel(const TextTable& t, int32_t field) {
    const std::string& s = t.tx(kTxFilterRowLabels + field);
    if (field >= FF_CA1 && field < FF_OA1) return "&" + std::to_string(field - FF_CA1 + 1) + s;
    if (field >= FF_OA1 && field <= FF_LAST) return "&" + std::to_string(field - FF_OA1 + 1) + s;
    return s;
}

bool ValidFilterName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 200) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            return false;
    return true;
}

bool SameFilterCriteria(const T_Filter& a, const T_Filter& b) {
    T_Filter ca = Criteria(a), cb = Criteria(b);
    return std::memcmp(&ca, &cb, sizeof ca) == 0;
}

} // namespace vdl
