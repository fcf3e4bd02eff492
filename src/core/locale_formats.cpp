#include "core/locale_formats.h"

namespace vdl {

namespace {

std::string Digits(int v, int width) {
    std::string s = std::to_string(v < 0 ? -v : v);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return v < 0 ? "-" + s : s;
}

int RunLength(const std::string& p, size_t i) {
    size_t j = i;
    char c = static_cast<char>(p[i] | 0x20);
    while (j < p.size() && static_cast<char>(p[j] | 0x20) == c) ++j;
    return static_cast<int>(j - i);
}

} // namespace

std::string LocaleNameForLanguage(int language, const std::string& systemLocale) {
    const char* want = language == 0 ? "de" : "en";
    // "de_AT", "de-CH", "en_US.UTF-8": the language is what stands before '_', '-' or '.'.
    std::string lang = systemLocale.substr(0, systemLocale.find_first_of("_-."));
    for (char& c : lang) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c | 0x20 : c);
    if (lang == want) return systemLocale;
    return language == 0 ? "de_DE" : "en_GB";
}

std::string FormatDateTimePattern(const std::string& p, int year, int month, int day, int hour,
                                  int minute, int second, char dateSep, char timeSep) {
    std::string out;
    bool afterHour = false; // "m" right after an hour token means minutes
    for (size_t i = 0; i < p.size();) {
        char c = p[i];
        char lc = static_cast<char>((c >= 'A' && c <= 'Z') ? c | 0x20 : c);
        if (c == '\'' || c == '"') {
            size_t end = p.find(c, i + 1);
            if (end == std::string::npos) end = p.size();
            out += p.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        int run = (lc >= 'a' && lc <= 'z') ? RunLength(p, i) : 1;
        switch (lc) {
        case 'd':
            out += Digits(day, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'm':
            if (afterHour)
                out += Digits(minute, run >= 2 ? 2 : 1);
            else
                out += Digits(month, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'n':
            out += Digits(minute, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'y':
            out += run >= 3 ? Digits(year, 4) : Digits(((year % 100) + 100) % 100, 2);
            afterHour = false;
            break;
        case 'h':
            out += Digits(hour, run >= 2 ? 2 : 1);
            afterHour = true;
            break;
        case 's':
            out += Digits(second, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case '/':
            out += dateSep;
            break;
        case ':':
            out += timeSep;
            break;
        default:
            out.append(p, i, static_cast<size_t>(run));
            break;
        }
        i += static_cast<size_t>(run);
    }
    return out;
}

std::string FixedLocale::ShortDate(int year, int month, int day) const {
    return FormatDateTimePattern(shortDate_, year, month, day, 0, 0, 0, dateSep_, timeSep_);
}

std::string FixedLocale::LongDate(int year, int month, int day) const {
    return FormatDateTimePattern(longDate_, year, month, day, 0, 0, 0, dateSep_, timeSep_);
}

std::string FixedLocale::LongTime(int hour, int minute, int second) const {
    return FormatDateTimePattern(longTime_, 0, 0, 0, hour, minute, second, dateSep_, timeSep_);
}

} // namespace vdl
