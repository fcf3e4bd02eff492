#include "core/form_rules.h"

#include "core/text_table.h"

#include <algorithm>

namespace vdl {

namespace {

std::string_view Trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}

// Reads the digits at the start of s; false when there are none or the value is too large.
bool Digits(std::string_view s, size_t& used, int& v) {
    used = 0;
    long long acc = 0;
    while (used < s.size() && s[used] >= '0' && s[used] <= '9') {
        acc = acc * 10 + (s[used] - '0');
        if (acc > 2147483647LL) return false;
        ++used;
    }
    if (used == 0) return false;
    v = static_cast<int>(acc);
    return true;
}

} // namespace

int TextNumber(std::string_view s, int fallback) {
    s = Trim(s);
    size_t used = 0;
    int v = 0;
    if (!Digits(s, used, v) || used != s.size()) return fallback;
    return v;
}

int LeadingNumber(std::string_view s, int fallback) {
    s = Trim(s);
    size_t used = 0;
    int v = 0;
    return Digits(s, used, v) ? v : fallback;
}

std::vector<std::string> CountedEntries(const TextTable& t, int countText, int firstText) {
    std::vector<std::string> out;
    int n = TextNumber(t.tx(countText), 0);
    if (n > kMaxListEntries) return out;
    for (int i = 0; i < n; ++i) out.push_back(t.tx(firstText + i));
    return out;
}

std::vector<std::string> ComboEntries(const TextTable& t, int n) {
    return CountedEntries(t, n + 1, n + 2);
}

std::vector<std::string> CommaList(std::string_view s) {
    std::vector<std::string> out;
    if (Trim(s).empty()) return out;
    size_t start = 0;
    while (true) {
        size_t comma = s.find(',', start);
        std::string_view part = s.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        out.emplace_back(Trim(part));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

int DialogLeft(int mainLeft, int mainWidth, int screenWidth, int dialogWidth) {
    // A dialog wider than the screen starts at its left edge.
    return std::max(0, std::min(mainLeft + mainWidth, screenWidth - dialogWidth));
}

} // namespace vdl
