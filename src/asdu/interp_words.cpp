#include "asdu/interp_words.h"

#include "core/format.h"
#include "core/utf8.h"

#include <bit>
#include <cmath>

namespace vdl {

const std::string& TxAt(const TextTable& t, int base, int64_t off, int64_t limit) {
    static const std::string kEmpty;
    if (off < 0 || off > limit) return kEmpty;
    return t.tx(base + static_cast<int>(off));
}

std::string ShortForm(std::string_view s) {
    size_t p = s.find("  ");
    return std::string(p == std::string_view::npos ? s : s.substr(0, p));
}

std::string LongForm(std::string_view s) {
    size_t p = s.find("  ");
    if (p == std::string_view::npos) return std::string(s);
    // The long form starts after the run of blanks that separates the two.
    size_t q = s.find_first_not_of(' ', p);
    return q == std::string_view::npos ? std::string() : std::string(s.substr(q));
}

std::string LabelColumn(std::string_view label, int indent) {
    std::string s = PadRight(label, 9);
    s += PadRight(":", static_cast<size_t>(3 + (indent > 0 ? indent : 0)));
    return s;
}

std::string Hex2(uint8_t v) {
    return HexN(v, 2);
}

std::string HexN(uint32_t v, int n) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string s(static_cast<size_t>(n), '0');
    for (int i = n - 1; i >= 0; --i) {
        s[static_cast<size_t>(i)] = kDigits[v & 15];
        v >>= 4;
    }
    return s;
}

std::string Trim(std::string_view s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    size_t b = s.find_last_not_of(' ');
    return std::string(s.substr(a, b - a + 1));
}

std::string ShortFloatText(uint32_t bits) {
    const float f = std::bit_cast<float>(bits);
    if (std::isnan(f)) return "NaN";
    if (std::isinf(f)) return f > 0 ? "+Inf" : "-Inf";
    std::string s;
    if (!TryFormat("%.7g", {static_cast<double>(f)}, s) || s.empty()) return "0";
    return s;
}

} // namespace vdl
