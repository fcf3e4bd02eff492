// The texts that carry data, read the way the program reads them.
#include "text_files.h"

#include "core/allg_var.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

using namespace vdl;
using namespace vdl::test;

namespace {

// The control field check's reading of the permitted function codes: 17 when the function
// code is not permitted, 16 when a primary frame's FCV differs from the digit, else 40.
int JudgeFunctionCode(const TextTable& t, int pro, int lc) {
    bool primary = (lc & 0x40) != 0;
    const std::string& digits = t.GetText(66 + pro + (primary ? 0 : 2));
    char d = digits.at(static_cast<size_t>(lc & 0x0F));
    if (d == '0') return 17;
    if (primary && ((lc >> 4) & 1) != ((d - '0') & 1)) return 16;
    return 40;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::optional<long long> ReadNumber(std::string s) {
    s = Trim(s);
    bool neg = !s.empty() && s[0] == '-';
    if (neg) s.erase(0, 1);
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.erase(0, 1);
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        int d = std::isdigit(static_cast<unsigned char>(c))
                    ? c - '0'
                    : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99);
        if (d >= base) return std::nullopt;
        v = v * base + d;
    }
    return neg ? -v : v;
}

// Binary digits: each character's position in text 28 decides (positions 1..3 read 0, later
// positions 1, missing: error).
std::optional<long long> ReadBinary(const TextTable& t, const std::string& s, size_t maxDigits) {
    const std::string& t28 = t.GetText(28);
    if (s.size() > maxDigits) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        size_t p = t28.find(c);
        if (p == std::string::npos) return std::nullopt;
        v = v * 2 + (p >= 3 ? 1 : 0);
    }
    return v;
}

// The value entry of the send telegram editor for an integer format.
std::optional<long long> ReadValue(const TextTable& t, std::string text) {
    text = Trim(Upper(text));
    size_t eq = text.find('=');
    if (eq != std::string::npos) text = Trim(text.substr(0, eq));
    if (text.empty()) text = "0";
    const std::string& t29 = t.GetText(29);
    if (t29.substr(0, 2).find(text[0]) != std::string::npos) text[0] = ' ';
    size_t pos = t29.find(text[0]);
    if (text[0] != ' ' && pos != std::string::npos && pos >= 4) return ReadBinary(t, text, 64);
    return ReadNumber(text);
}

// The qualifier cell of the send list editor.
std::optional<long long> ReadQualifier(const TextTable& t, std::string text) {
    text = Trim(Upper(text));
    if (text.empty()) return std::nullopt;
    const std::string& t29 = t.GetText(29);
    size_t pos = t29.find(text[0]);
    std::optional<long long> v;
    if (pos == 0 || pos == 1)
        v = ReadNumber(text.substr(1));
    else if (pos == std::string::npos || pos == 2 || pos == 3)
        v = ReadNumber(text);
    else
        v = ReadBinary(t, text, 9); // a marker and at most 8 binary digits
    if (v && (*v < 0 || *v > 255)) return std::nullopt;
    return v;
}

struct ValueFormat {
    char format = '?';
    bool hasRange = false;
    long long low = 0, high = 0;
    std::string hint;
};

// Text 937 + pick index: format digit, the range as the first two (signed) numbers from the
// third character on, the hint from the second character on.
ValueFormat ReadValueFormat(const std::string& s) {
    ValueFormat f;
    if (s.empty()) return f;
    f.format = s[0];
    f.hint = s.size() > 1 ? s.substr(1) : "";
    if (f.format < '1' || f.format > '3' || s.size() < 3) return f;
    std::vector<long long> nums;
    size_t i = 2;
    while (i < s.size() && nums.size() < 2) {
        if (std::isdigit(static_cast<unsigned char>(s[i]))) {
            bool neg = s[i - 1] == '-';
            long long v = 0;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                v = v * 10 + (s[i++] - '0');
            nums.push_back(neg ? -v : v);
        } else {
            ++i;
        }
    }
    if (nums.size() == 2) {
        f.low = nums[0];
        f.high = nums[1];
        f.hasRange = f.low != f.high;
    }
    return f;
}

std::set<int> Causes(const TextTable& decoded, int n) {
    std::set<int> c;
    for (unsigned char ch : decoded.GetText(n)) c.insert(ch);
    return c;
}

int PickIndex(int typ) {
    const auto& p = PickTypes();
    return static_cast<int>(std::find(p.begin(), p.end(), typ) - p.begin());
}

std::set<int> Range(int a, int b) {
    std::set<int> s;
    for (int i = a; i <= b; ++i) s.insert(i);
    return s;
}

std::set<int> Join(std::set<int> a, const std::set<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

} // namespace

TEST(DataTexts, CharactersTakenAfterLoading) {
    for (int lang : {0, 1}) {
        TextTable t = RawTexts(lang);
        T_AllgVar av;
        av.khex = '?';
        av.bitz = "??";
        av.tz = '?';
        PostProcessTexts(t, av);
        EXPECT_EQ(av.khex, '$') << LangName(lang);
        EXPECT_EQ(av.bitz, "01") << LangName(lang);
        EXPECT_EQ(av.tz, ';') << LangName(lang);
        EXPECT_EQ(t.GetText(26), ".") << LangName(lang);
    }
}

TEST(DataTexts, PermittedFunctionCodesPerDirection) {
    struct Dir {
        int pro;
        bool primary;
        std::set<int> fcv0, fcv1;
    };
    const Dir dirs[] = {
        {0, true, {0, 1, 4, 9}, {2, 3}},
        {1, true, {0, 1, 4, 8, 9}, {3, 10, 11}},
        {0, false, {0, 1, 11, 14, 15}, {}},
        {1, false, {0, 1, 8, 9, 11, 14, 15}, {}},
    };
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        for (int n = 66; n <= 69; ++n) ASSERT_EQ(t.GetText(n).size(), 16u) << "text " << n;
        for (const Dir& d : dirs)
            for (int fc = 0; fc < 16; ++fc)
                for (int fcv = 0; fcv < 2; ++fcv) {
                    int lc = (d.primary ? 0x40 : 0) | (fcv << 4) | fc;
                    int want = 17;
                    if (d.fcv0.count(fc)) want = (d.primary && fcv) ? 16 : 40;
                    if (d.fcv1.count(fc)) want = fcv ? 40 : 16;
                    if (!d.primary && (d.fcv0.count(fc) || d.fcv1.count(fc))) want = 40;
                    EXPECT_EQ(JudgeFunctionCode(t, d.pro, lc), want)
                        << LangName(lang) << " pro " << d.pro << " control field " << lc;
                }
        // Unbalanced primary direction: request class 2 data with FCV set is accepted, without
        // it refused.
        EXPECT_EQ(JudgeFunctionCode(t, 1, 0x5B), 40);
        EXPECT_NE(JudgeFunctionCode(t, 1, 0x4B), 40);
    }
}

TEST(DataTexts, PermittedCausesPerType) {
    for (int lang : {0, 1}) {
        const TextTable& t = LoadedTexts(lang);
        std::set<int> general = Join(Join(Range(1, 13), Range(20, 41)), Range(44, 47));
        EXPECT_EQ(Causes(t, 1009), general) << LangName(lang);
        for (int p = 0; p < 64; ++p) {
            std::set<int> c = Causes(t, 1010 + p);
            EXPECT_FALSE(c.empty()) << "pick index " << p;
            for (int cause : c)
                EXPECT_TRUE(general.count(cause))
                    << "type " << PickTypes()[p] << " cause " << cause;
        }
        // Nothing after the last type is decoded as cause codes.
        EXPECT_TRUE(t.GetText(1074).empty());
        auto of = [&](int typ) { return Causes(t, 1010 + PickIndex(typ)); };
        EXPECT_TRUE(of(1).count(20)) << "single-point information answers interrogations";
        EXPECT_FALSE(of(30).count(20)) << "time-tagged single-point information does not";
        EXPECT_EQ(of(1), Join({2, 3, 5, 11, 12}, Range(20, 36)));
        EXPECT_EQ(of(2), (std::set<int>{3, 5, 11, 12}));
        EXPECT_EQ(of(30), (std::set<int>{3, 5, 11, 12}));
        for (int typ : {9, 11, 13, 21})
            EXPECT_TRUE(of(typ).count(1)) << "measured values are periodic, type " << typ;
        for (int typ : {15, 16, 37}) EXPECT_EQ(of(typ), Join({3}, Range(37, 41))) << typ;
        std::set<int> command = Join(Range(6, 10), Range(44, 47));
        for (int typ = 45; typ <= 51; ++typ) EXPECT_EQ(of(typ), command) << typ;
        EXPECT_EQ(of(100), command);
        EXPECT_EQ(of(101), command);
        EXPECT_EQ(of(70), std::set<int>{4});
        EXPECT_EQ(of(120), std::set<int>{13});
        EXPECT_EQ(of(122), (std::set<int>{5, 13}));
        EXPECT_EQ(of(126), (std::set<int>{3, 5}));
    }
}

TEST(DataTexts, ValueFormatsOfEveryPickEntry) {
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        for (int p = 0; p < 64; ++p) {
            ValueFormat f = ReadValueFormat(t.GetText(937 + p));
            SCOPED_TRACE(std::string(LangName(lang)) + " type " + std::to_string(PickTypes()[p]));
            EXPECT_NE(std::string("01235").find(f.format), std::string::npos) << t.GetText(937 + p);
            EXPECT_FALSE(Trim(f.hint).empty());
            EXPECT_LE(f.low, f.high);
            // The value field is shown exactly when the type has a value.
            EXPECT_EQ(t.GetText(730 + p).empty(), f.format == '0');
        }
        ValueFormat sp = ReadValueFormat(t.GetText(937));
        EXPECT_EQ(sp.format, '1');
        EXPECT_TRUE(sp.hasRange);
        EXPECT_EQ(sp.low, 0);
        EXPECT_EQ(sp.high, 1);
        EXPECT_EQ(ReadValueFormat(t.GetText(937 + PickIndex(13))).format, '5') << "short float";
        ValueFormat st = ReadValueFormat(t.GetText(937 + PickIndex(5)));
        EXPECT_EQ(st.low, -64);
        EXPECT_EQ(st.high, 63);
    }
}

TEST(DataTexts, ValueEntryReadsWhatTheEditorShows) {
    const TextTable& t = RawTexts(0);
    EXPECT_EQ(ReadValue(t, "10"), 10) << "a decimal number starting with 1 is not binary";
    EXPECT_EQ(ReadValue(t, "100"), 100);
    EXPECT_EQ(ReadValue(t, "0"), 0);
    EXPECT_EQ(ReadValue(t, ""), 0);
    EXPECT_EQ(ReadValue(t, "-64"), -64);
    EXPECT_EQ(ReadValue(t, "$55AA"), 0x55AA);
    EXPECT_EQ(ReadValue(t, "$55aa"), 0x55AA);
    EXPECT_EQ(ReadValue(t, " 1=EIN"), 1) << "the display form number=name";
    EXPECT_EQ(ReadValue(t, "#12"), 12);
    EXPECT_EQ(ReadValue(t, "d12"), 12);
    EXPECT_EQ(ReadValue(t, "B101"), 5);
    EXPECT_EQ(ReadValue(t, "b101"), 5);
    EXPECT_EQ(ReadValue(t, "%0110"), 6);
    EXPECT_EQ(ReadValue(t, "B102"), std::nullopt);
    // Every bound of every range reads back as itself.
    for (int p = 0; p < 64; ++p) {
        ValueFormat f = ReadValueFormat(t.GetText(937 + p));
        if (!f.hasRange) continue;
        if (f.format == '1') {
            EXPECT_EQ(ReadValue(t, std::to_string(f.low)), f.low) << "pick " << p;
            EXPECT_EQ(ReadValue(t, std::to_string(f.high)), f.high) << "pick " << p;
        }
    }
}

TEST(DataTexts, QualifierEntryTakesBinaryDecimalAndHexadecimal) {
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        EXPECT_EQ(ReadQualifier(t, "B10000000"), 128);
        EXPECT_EQ(ReadQualifier(t, "%00000011"), 3);
        EXPECT_EQ(ReadQualifier(t, "00000011"), 3)
            << "a qualifier shown with a leading 0 reads back";
        EXPECT_EQ(ReadQualifier(t, "128"), 128);
        EXPECT_EQ(ReadQualifier(t, "D12"), 12);
        EXPECT_EQ(ReadQualifier(t, "#7"), 7);
        EXPECT_EQ(ReadQualifier(t, "$80"), 128);
        EXPECT_EQ(ReadQualifier(t, "256"), std::nullopt);
        EXPECT_EQ(ReadQualifier(t, "B111111111"), std::nullopt);
    }
}

TEST(DataTexts, QualifierHintsPerPickEntry) {
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        const std::string& digits = t.GetText(1100);
        ASSERT_EQ(digits.size(), 64u);
        for (int p = 0; p < 64; ++p) {
            char c = digits[static_cast<size_t>(p)];
            ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(c))) << p;
            int d =
                std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
            if (d == 0)
                EXPECT_FALSE(t.GetText(1117).empty());
            else
                EXPECT_FALSE(t.GetText(1101 + d).empty()) << "pick " << p << " digit " << d;
        }
        EXPECT_EQ(digits[0], '1') << "single points: IV NT SB BL";
        EXPECT_EQ(digits[static_cast<size_t>(PickIndex(45))], '5') << "single command: S/E and QU";
    }
}

TEST(DataTexts, TypeAndCauseNamesHaveShortAndLongForms) {
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        auto check = [&](int n) {
            const std::string& s = t.GetText(n);
            size_t dbl = s.find("  ");
            ASSERT_NE(dbl, std::string::npos)
                << LangName(lang) << ": text " << n << " \"" << s << "\"";
            std::string shortForm = s.substr(0, dbl), longForm = s.substr(dbl + 2);
            EXPECT_FALSE(shortForm.empty()) << n;
            EXPECT_EQ(shortForm.find(' '), std::string::npos) << "short form is one word: " << s;
            EXPECT_FALSE(longForm.empty()) << n;
            EXPECT_NE(longForm[0], ' ') << n;
            EXPECT_EQ(longForm.find("  "), std::string::npos) << "one double blank only: " << s;
        };
        for (int typ : PickTypes())
            if (typ <= 127) check(70 + typ);
        check(198);
        for (int c = 0; c < 64; ++c) {
            bool defined = (c >= 1 && c <= 13) || (c >= 20 && c <= 41) || (c >= 44 && c <= 47);
            if (defined) {
                check(202 + c);
            } else {
                // An undefined cause is named like cause 0, so that the compact form shows its
                // number; without a double blank both forms are the whole text.
                EXPECT_EQ(t.GetText(202 + c), t.GetText(202)) << "cause " << c;
                EXPECT_EQ(t.GetText(202 + c).find("  "), std::string::npos);
            }
        }
        EXPECT_EQ(t.GetText(71).substr(0, 9), "M_SP_NA_1");
        EXPECT_EQ(t.GetText(196).substr(0, 9), "F_DR_TA_1");
    }
}

TEST(DataTexts, VariantTypeNamesSplitAtTheirFirstBlank) {
    // The link line of the variant frame format splits a type name at its first blank into a
    // short and a long part.
    for (int lang : {0, 1}) {
        const TextTable& t = RawTexts(lang);
        auto check = [&](int n) {
            const std::string& s = t.GetText(n);
            size_t blank = s.find(' ');
            ASSERT_NE(blank, std::string::npos) << LangName(lang) << ": text " << n;
            EXPECT_GT(blank, 0u) << n;
            ASSERT_LT(blank + 1, s.size()) << n;
            EXPECT_NE(s[blank + 1], ' ') << LangName(lang) << ": text " << n << " \"" << s << "\"";
        };
        for (int typ = 0; typ <= 15; ++typ) check(1520 + typ);
        for (int typ = 0; typ <= 81; ++typ) check(1540 + typ);
    }
}
