#include "core/display_lists.h"

#include "core/allg_var.h"
#include "core/form_rules.h"
#include "core/text_table.h"
#include "core/utf8.h"

#include <cmath>
#include <cstdlib>

namespace vdl {

int PaletteRgb(int idx) {
    static const int kFixed[15] = {-1,       0x000000, 0x0000FF, 0xFF0000, 0x00C000,
                                   0xFFFF00, 0x00FFFF, 0xC000C0, 0xFFFFFF, 0x808080,
                                   0xD6D6D6, 0xD0DCFF, 0xFFD3D3, 0xD6FAC6, 0xFFFFB7};
    return idx >= 0 && idx < 15 ? kFixed[idx] : -1;
}

std::vector<int> FontSizes(std::string_view text) {
    std::vector<int> out;
    for (const std::string& e : CommaList(text)) {
        int v = TextNumber(e, -1);
        if (v > 0) out.push_back(v);
    }
    return out;
}

int FontSizeIndex(const std::vector<int>& sizes, int size) {
    int best = -1;
    for (size_t i = 0; i < sizes.size(); ++i) {
        int d = std::abs(sizes[i] - size);
        if (best < 0) {
            best = static_cast<int>(i);
            continue;
        }
        int bd = std::abs(sizes[static_cast<size_t>(best)] - size);
        if (d < bd || (d == bd && sizes[i] < sizes[static_cast<size_t>(best)]))
            best = static_cast<int>(i);
    }
    return best;
}

bool WhiteTextOn(int rgb) {
    // By the relative luminance L of the sRGB colour: the contrasts of white and black text
    // are equal at L = 0.18; up to 0.22 white is still taken, so that pure red and mid grey,
    // where both read about the same, carry white text as dark colours do.
    auto lin = [](int c) {
        double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    double l = 0.2126 * lin((rgb >> 16) & 0xFF) + 0.7152 * lin((rgb >> 8) & 0xFF) +
               0.0722 * lin(rgb & 0xFF);
    return l < 0.22;
}

std::string PaletteEntryText(const TextTable& t, int idx) {
    return PadLeft(std::to_string(idx), 3) + " " + t.tx(kTxPaletteNames + idx);
}

bool TypeInCatalogue(const T_AllgVar& av, int typ) {
    if (typ < 1 || typ > 127) return false;
    int n = av.maxpicktyp < 0 ? 0 : (av.maxpicktyp > 256 ? 256 : av.maxpicktyp);
    for (int k = 0; k < n; ++k)
        if (av.TypStr[static_cast<size_t>(k)] == typ) return true;
    return false;
}

std::string ColourTableEntryText(const TextTable& t, const T_AllgVar& av, int kind, int i) {
    std::string s = PadLeft(std::to_string(i), 4) + "    ";
    if (kind == kFrbTypes) {
        if (TypeInCatalogue(av, i)) s += t.tx(kTxTypeNames + i);
        return s;
    }
    int cause = i & 0x3F;
    const std::string& name = t.tx(kTxCauseNames + cause);
    // A cause is defined when it has a name of its own (text 202 names the undefined one).
    if (cause == 0 || name.empty() || name == t.tx(kTxCauseNames)) return s;
    if (i & 0x80) s += t.tx(kTxTest);
    if (i & 0x40) s += t.tx(kTxNegative);
    return s + name;
}

T_FarbIndex ColourTableEntryPair(T_FarbIndex p) {
    T_FarbIndex out = p;
    if (out.fg == 0 || out.fg == 255) out.fg = 1;
    if (out.hg == 0 || out.hg == 255) out.hg = 15;
    return out;
}

bool ColourTablesDiffer(const T_TypUrsFarben& a, const T_TypUrsFarben& b) {
    for (int i = 0; i < 256; ++i)
        if (!(a.frb[i] == b.frb[i])) return true;
    return false;
}

} // namespace vdl
