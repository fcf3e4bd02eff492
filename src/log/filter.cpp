#include "log/filter.h"

#include "asdu/asdu_header.h"
#include "asdu/catalogue.h"
#include "core/file_io.h"
#include "core/settings.h"
#include "log/log_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace vdl {

namespace {

bool IsE5(const T_Telegramm& te) {
    return te.lg == 1 && te.b[0] == 0xE5;
}

bool RowPass(const T_FilterZeile& z, int64_t v) {
    bool hit;
    switch (z.vgl) {
    case 0:
        hit = v == z.w1;
        break;
    case 1:
        hit = v == z.w1 || v == z.w2;
        break;
    default:
        // A range whose end lies below its start wraps around.
        hit = z.w2 < z.w1 ? (v >= z.w1 || v <= z.w2) : (v >= z.w1 && v <= z.w2);
        break;
    }
    return z.rel == 2 ? !hit : hit;
}

int64_t FieldValue(int32_t fld, const T_Telegramm& te, const FilterEnv& env) {
    switch (fld) {
    case FF_NR:
        return NrSpan(env.nralt, te.nr);
    case FF_LG:
        return te.lg;
    case FF_LC:
        return IsE5(te) ? 0 : (te.lc & 0x4F);
    case FF_LA:
        return te.la;
    case FF_TYP:
        return te.typ;
    case FF_URS:
        return te.urs & 0x7F;
    case FF_HK: {
        int i = env.lay.TypI + 3;
        return env.ap.mitori && i < te.validLen() ? te.b[i] : 0;
    }
    default:
        if (fld >= FF_CA1 && fld < FF_OA1) return AddressPart(te.ca, env.ap.castr, fld - FF_CA1);
        return 0;
    }
}

} // namespace

uint32_t AddressPart(uint32_t addr, const T_AdrStruktur& s, int part) {
    int n = StructureParts(s);
    if (part < 0 || part >= n) return 0;
    int below = 0;
    for (int i = part + 1; i < n; ++i) below += std::clamp(s.fd[i], 0, 24);
    int w = std::clamp(s.fd[part], 0, 24);
    if (below >= 32) return 0;
    return (addr >> below) & ((w >= 32 ? 0 : (1u << w)) - 1);
}

bool FilterAccepts(const T_Filter& f, const T_Telegramm& te, const FilterEnv& env, bool display) {
    const int rows = std::clamp(f.anzz, 0, kFilterRows);
    if (rows > 0 && f.z[0].rel != 0 && !RowPass(f.z[0], FieldValue(FF_NR, te, env))) return false;
    if (f.vonein && te.dt < f.von) return false;
    if (f.bisein && te.dt > f.bis) return false;
    if (f.okein != f.fehlein) {
        if (f.okein && te.stat <= 39) return false;
        if (f.fehlein && te.stat > 39) return false;
    }
    if (te.ta == TA_INTERNAL) return true;
    if (te.ek >= 1 && te.ek <= 4) {
        if (!(f.ekbits & (1 << (te.ek - 1)))) return false;
    } else if ((f.ekbits & 15) != 15) {
        return false;
    }
    if (te.stat < 13) return true;
    if (display && !env.linkLine && te.ta == TA_FIXED) return false;

    for (int k = 1; k < rows; ++k) {
        const T_FilterZeile& z = f.z[k];
        if (z.rel == 0) continue;
        if (z.feld == FF_LC && te.ta == TA_FIXED) {
            if (!(te.lg > 0 && RowPass(z, FieldValue(z.feld, te, env)))) return false;
            continue;
        }
        if (te.lg > 0 || (z.feld != FF_LC && z.feld != FF_LA)) {
            // Fields the frame does not have: the single character has nothing behind its
            // start, a fixed frame nothing behind the link address.
            if ((z.feld > FF_LC && IsE5(te)) || (z.feld > FF_LA && te.ta == TA_FIXED)) return true;
            if (z.feld >= FF_OA1) break;
            if (!RowPass(z, FieldValue(z.feld, te, env))) return false;
        }
    }

    if (f.oaz == 0 && f.qmask1 == 0 && f.qmask2 == 0) return true;
    const int objects = te.struk & 0x7F;
    for (int j = 1; j <= objects; ++j)
        if (ObjectAccepts(f, te, j, env)) return true;
    return false;
}

bool HasObjectCriteria(const T_Filter& f) {
    return f.oaz != 0 || f.qmask1 != 0 || f.qmask2 != 0;
}

bool ObjectAccepts(const T_Filter& f, const T_Telegramm& te, int j, const FilterEnv& env) {
    const int rows = std::clamp(f.anzz, 0, kFilterRows);
    if (f.oaz != 0) {
        uint32_t oa = ObjectAddress(j, te, env.lay);
        for (int k = std::max(1, f.oaz - 1); k < rows; ++k) {
            const T_FilterZeile& z = f.z[k];
            if (z.rel == 0 || z.feld < FF_OA1) continue;
            if (!RowPass(z, AddressPart(oa, env.ap.oastr, z.feld - FF_OA1))) return false;
        }
    }
    if (f.qmask1 != 0 || f.qmask2 != 0) {
        if (te.typ < 1 || te.typ > 40) return false;
        uint8_t q = static_cast<uint8_t>(ObjectQuality(te, j, env.lay) & 0xFF);
        if (f.qmask1 && !(q & f.qmask1)) return false;
        if (f.qmask2 && (q & f.qmask2)) return false;
    }
    return true;
}

bool DisplayAccepts(const T_Telegramm& te, const FilterEnv& env) {
    if (te.lga == 0) return false;
    if (env.ap.afilt.aktiv) return FilterAccepts(env.ap.afilt, te, env, true);
    return !(te.stat >= ST_OK && te.ta == TA_FIXED && !env.linkLine);
}

bool LoadNamedFilter(const std::string& path, T_Filter& f, const T_AllgPar& ap) {
    std::vector<uint8_t> d;
    return ReadWholeFile(path, d, sizeof(T_Filter)) && TakeNamedFilter(d, f, ap);
}

bool TakeNamedFilter(const std::vector<uint8_t>& d, T_Filter& f, const T_AllgPar& ap) {
    if (d.size() != sizeof(T_Filter)) return false;
    T_Filter n;
    std::memcpy(&n, d.data(), sizeof n);
    if (n.lg != kFilterLen) return false;
    NormaliseFilter(n, ap);
    f = n;
    return true;
}

bool SaveNamedFilter(const std::string& path, T_Filter f) {
    f.lg = kFilterLen;
    std::string error;
    return WriteWholeFile(path, &f, sizeof f, error) == sizeof f;
}

std::vector<std::string> NamedFilters(const std::string& dir, const std::string& ext) {
    std::vector<std::string> names;
    std::string want = !ext.empty() && ext[0] == '.' ? ext.substr(1) : ext;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (!e.is_regular_file(ec)) continue;
        fs::path p = e.path();
        std::string x = p.extension().string();
        if (x.size() > 1 && SameNameNoCase(x.substr(1), want)) names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vdl
