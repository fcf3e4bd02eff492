#include "core/utf8.h"

#include <cstdint>

namespace vdl {

namespace {

// Length of the sequence starting with lead byte c, or 1 for a stray byte.
size_t SeqLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

// Byte length of the well-formed sequence at s[i], or 0 when it is not well-formed.
size_t WellFormed(std::string_view s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = SeqLen(c);
    if (n == 1) return c < 0x80 ? 1 : 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

void Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Step over one character at s[i]: a well-formed sequence, or a single stray byte.
size_t Step(std::string_view s, size_t i) {
    size_t n = WellFormed(s, i);
    return n == 0 ? 1 : n;
}

} // namespace

size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += Step(s, i)) ++n;
    return n;
}

std::string Utf8Mid(std::string_view s, size_t pos, size_t n) {
    size_t i = 0, k = 0;
    while (i < s.size() && k < pos) {
        i += Step(s, i);
        ++k;
    }
    size_t start = i;
    k = 0;
    while (i < s.size() && k < n) {
        i += Step(s, i);
        ++k;
    }
    return std::string(s.substr(start, i - start));
}

std::string Utf8Left(std::string_view s, size_t n) { return Utf8Mid(s, 0, n); }

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        size_t n = WellFormed(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::u32string Utf8ToU32(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        size_t n = WellFormed(s, i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (n == 0) {
            out += static_cast<char32_t>(c); // a stray byte keeps its value
            ++i;
            continue;
        }
        char32_t cp = n == 1 ? c : (n == 2 ? (c & 0x1F) : (n == 3 ? (c & 0x0F) : (c & 0x07)));
        for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += n;
    }
    return out;
}

std::string U32ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t cp : s) Append(out, cp);
    return out;
}

std::string AnsiToUtf8(std::string_view s) {
    // Characters 0x80..0x9F of Windows-1252; the rest of the upper half is Latin-1.
    static const char16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(s.size());
    for (char ch : s) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0)
            Append(out, k80[c - 0x80]);
        else
            Append(out, c);
    }
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](size_t i) -> char16_t {
        unsigned char a = static_cast<unsigned char>(bytes[i]);
        unsigned char b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    size_t n = bytes.size() / 2;
    for (size_t k = 0; k < n; ++k) {
        char16_t u = unit(2 * k);
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < n) {
            char16_t v = unit(2 * (k + 1));
            if (v >= 0xDC00 && v < 0xE000) {
                Append(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
                ++k;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000)
            Append(out, 0xFFFD);
        else
            Append(out, u);
    }
    return out;
}

std::string PadLeft(std::string_view s, size_t width) {
    size_t n = Utf8Length(s);
    return n >= width ? std::string(s) : std::string(width - n, ' ') + std::string(s);
}

std::string PadRight(std::string_view s, size_t width) {
    size_t n = Utf8Length(s);
    return n >= width ? std::string(s) : std::string(s) + std::string(width - n, ' ');
}

} // namespace vdl
