#include "core/format.h"

#include "core/utf8.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace vdl {

namespace {

NumberFormat g_nf;

struct FormatFault {
    std::string what;
};

std::string WithDecimal(std::string s, char decimal) {
    for (char& c : s)
        if (c == '.') c = decimal;
    return s;
}

// Inserts the thousands separator into the integral digits of a plain decimal number.
std::string Group(const std::string& s, char sep) {
    size_t start = (!s.empty() && s[0] == '-') ? 1 : 0;
    size_t end = s.find('.');
    if (end == std::string::npos) end = s.size();
    std::string intpart = s.substr(start, end - start);
    std::string grouped;
    int count = 0;
    for (size_t i = intpart.size(); i-- > 0;) {
        grouped.insert(grouped.begin(), intpart[i]);
        if (++count % 3 == 0 && i > 0) grouped.insert(grouped.begin(), sep);
    }
    return s.substr(0, start) + grouped + s.substr(end);
}

// Floating-point conversions go through to_chars: they must not follow the C locale, which a
// toolkit may have switched to the user's.
std::string ToChars(double v, std::chars_format f, int prec) {
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, f, prec);
    if (r.ec != std::errc()) return "?";
    return std::string(buf, r.ptr);
}

std::string Fixed(double v, int prec) {
    if (prec > 18) prec = 18;
    if (!std::isfinite(v) || std::fabs(v) >= 1e300) return ToChars(v, std::chars_format::general, 15);
    std::string s = ToChars(v, std::chars_format::fixed, prec);
    if (s == "-0" || (s.rfind("-0.", 0) == 0 && s.find_first_not_of("0.", 1) == std::string::npos))
        s.erase(0, 1); // no sign on a value that rounds to zero
    return s;
}

// Scientific form "d.dddE+ddd" with prec significant digits and at least 3 exponent digits.
std::string Scientific(double v, int prec) {
    if (prec < 1) prec = 1;
    if (prec > 18) prec = 18;
    std::string s = ToChars(v, std::chars_format::scientific, prec - 1);
    size_t e = s.find('e');
    if (e == std::string::npos) return s; // inf or nan
    std::string mant = s.substr(0, e);
    char sign = s[e + 1];
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return mant + "E" + sign + digits;
}

// The shortest form with prec significant digits: fixed unless the number is very large or
// very small.
std::string General(double v, int prec) {
    if (prec < 1 || prec > 18) prec = 15;
    if (v == 0) return "0";
    if (!std::isfinite(v)) return std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF");
    std::string s = ToChars(v, std::chars_format::scientific, prec - 1);
    size_t e = s.find('e');
    int exp = std::atoi(s.c_str() + e + 1);
    auto trim = [](std::string m) {
        if (m.find('.') != std::string::npos) {
            while (!m.empty() && m.back() == '0') m.pop_back();
            if (!m.empty() && m.back() == '.') m.pop_back();
        }
        return m;
    };
    if (exp >= prec || std::fabs(v) < 0.00001) {
        std::string mant = trim(s.substr(0, e));
        return mant + "E" + (exp < 0 ? "-" : "+") + std::to_string(exp < 0 ? -exp : exp);
    }
    int decimals = prec - 1 - exp;
    if (decimals < 0) decimals = 0;
    return trim(ToChars(v, std::chars_format::fixed, decimals));
}

const FmtArg& Take(const std::vector<FmtArg>& args, size_t& next, char type) {
    if (next >= args.size())
        throw FormatFault{std::string("missing argument for %") + type};
    return args[next++];
}

int TakeStar(const std::vector<FmtArg>& args, size_t& next) {
    const FmtArg& a = Take(args, next, '*');
    if (!a.isInt()) throw FormatFault{"'*' needs an integer argument"};
    return static_cast<int>(a.i());
}

std::string Directive(char type, const FmtArg& a, int prec, const NumberFormat& nf) {
    switch (type) {
    case 'd':
    case 'u':
    case 'x': {
        if (!a.isInt()) throw FormatFault{std::string("%") + type + " needs an integer argument"};
        int64_t v = a.i();
        std::string digits;
        bool neg = false;
        if (type == 'x') {
            uint64_t u = (v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
            char buf[32];
            std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(u));
            digits = buf;
        } else if (type == 'u') {
            uint64_t u = (v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
            digits = std::to_string(u);
        } else {
            neg = v < 0;
            digits = std::to_string(neg ? -static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
        }
        if (prec >= 0 && static_cast<int>(digits.size()) < prec)
            digits.insert(0, static_cast<size_t>(prec) - digits.size(), '0');
        return neg ? "-" + digits : digits;
    }
    case 's': {
        if (!a.isString()) throw FormatFault{"%s needs a string argument"};
        return prec >= 0 ? Utf8Left(a.s(), static_cast<size_t>(prec)) : a.s();
    }
    case 'f':
    case 'n':
    case 'e':
    case 'g': {
        if (a.isString()) throw FormatFault{std::string("%") + type + " needs a number"};
        double v = a.f();
        if (type == 'e') return WithDecimal(Scientific(v, prec < 0 ? 15 : prec), nf.decimal);
        if (type == 'g') return WithDecimal(General(v, prec < 0 ? 15 : prec), nf.decimal);
        std::string s = Fixed(v, prec < 0 ? 2 : prec);
        if (type == 'n' && std::isfinite(v)) s = Group(s, nf.thousands);
        // The separators may coincide ("." grouping, "," decimal): replace the point last.
        size_t dot = s.rfind('.');
        if (type == 'n') {
            // In the grouped text the decimal point is the last '.' only when decimals exist.
            if (prec != 0 && dot != std::string::npos) s[dot] = nf.decimal;
            return s;
        }
        return WithDecimal(s, nf.decimal);
    }
    default:
        throw FormatFault{std::string("unknown directive %") + type};
    }
}

void Run(std::string_view fmt, const std::vector<FmtArg>& args, std::string& out,
         const NumberFormat& nf) {
    size_t next = 0;
    size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        size_t start = i++;
        if (i < fmt.size() && fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        auto readNum = [&](int& val) -> bool {
            if (i < fmt.size() && fmt[i] == '*') {
                ++i;
                val = TakeStar(args, next);
                return true;
            }
            if (i >= fmt.size() || fmt[i] < '0' || fmt[i] > '9') return false;
            val = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                val = val * 10 + (fmt[i] - '0');
                if (val > 100000) throw FormatFault{"width too large"};
                ++i;
            }
            return true;
        };
        // Optional argument index "n:"
        size_t save = i;
        int idx = -1;
        if (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
            int v = 0;
            while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
                v = v * 10 + (fmt[i] - '0');
                if (v > 100000) break;
                ++i;
            }
            if (i < fmt.size() && fmt[i] == ':')
                idx = v, ++i;
            else
                i = save;
        }
        if (idx >= 0) next = static_cast<size_t>(idx);
        bool left = false;
        if (i < fmt.size() && fmt[i] == '-') {
            left = true;
            ++i;
        }
        int width = -1, prec = -1;
        readNum(width);
        if (i < fmt.size() && fmt[i] == '.') {
            ++i;
            if (!readNum(prec)) prec = 0;
        }
        if (i >= fmt.size()) throw FormatFault{"incomplete directive at " + std::to_string(start)};
        char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i])));
        ++i;
        std::string s = Directive(type, Take(args, next, type), prec, nf);
        if (width > 0) s = left ? PadRight(s, static_cast<size_t>(width)) : PadLeft(s, static_cast<size_t>(width));
        out += s;
    }
}

} // namespace

void SetDefaultNumberFormat(const NumberFormat& nf) { g_nf = nf; }
const NumberFormat& DefaultNumberFormat() { return g_nf; }

bool TryFormat(std::string_view fmt, const std::vector<FmtArg>& args, std::string& out,
               std::string* error, const NumberFormat& nf) {
    out.clear();
    try {
        Run(fmt, args, out, nf);
        return true;
    } catch (const FormatFault& f) {
        if (error) *error = f.what;
        return false;
    }
}

bool TryFormat(std::string_view fmt, const std::vector<FmtArg>& args, std::string& out,
               std::string* error) {
    return TryFormat(fmt, args, out, error, g_nf);
}

std::string FormatV(std::string_view fmt, const std::vector<FmtArg>& args, const NumberFormat& nf) {
    std::string out;
    if (!TryFormat(fmt, args, out, nullptr, nf)) out += "?";
    return out;
}

std::string FormatV(std::string_view fmt, const std::vector<FmtArg>& args) {
    return FormatV(fmt, args, g_nf);
}

std::string Format(std::string_view fmt, std::initializer_list<FmtArg> args) {
    return FormatV(fmt, std::vector<FmtArg>(args), g_nf);
}

std::string FormatNf(const NumberFormat& nf, std::string_view fmt,
                     std::initializer_list<FmtArg> args) {
    return FormatV(fmt, std::vector<FmtArg>(args), nf);
}

} // namespace vdl
