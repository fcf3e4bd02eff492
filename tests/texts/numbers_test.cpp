// Every number of texts/numbers.txt against both text files: present, non-empty where it must
// be, format texts that take exactly their arguments, and the shapes of lists.
#include "text_files.h"

#include "core/format.h"

#include <gtest/gtest.h>

#include <set>

using namespace vdl;
using namespace vdl::test;

namespace {

std::vector<FmtArg> SampleArgs(const std::vector<char>& kinds) {
    std::vector<FmtArg> a;
    for (char k : kinds) {
        if (k == 'd')
            a.emplace_back(3);
        else if (k == 'f')
            a.emplace_back(1234.5);
        else
            a.emplace_back("abc");
    }
    return a;
}

// An argument of a kind no directive for the given kind accepts.
FmtArg WrongKind(char k) {
    if (k == 's') return FmtArg(7);
    return FmtArg("x");
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t p = s.find(sep, start);
        out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return out;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

} // namespace

TEST(NumberList, EntriesAscendWithoutOverlap) {
    const auto& numbers = Numbers();
    ASSERT_GT(numbers.size(), 300u);
    for (size_t i = 1; i < numbers.size(); ++i)
        EXPECT_GT(numbers[i].first, numbers[i - 1].last)
            << "numbers.txt lines " << numbers[i - 1].line << " and " << numbers[i].line;
    for (const NumberEntry& e : numbers) {
        EXPECT_FALSE(e.note.empty()) << "numbers.txt line " << e.line << " has no note";
        EXPECT_LT(e.last, RawTexts(0).Count())
            << "numbers.txt line " << e.line << " lies beyond the files";
    }
}

TEST(NumberList, RequiredTextsAreNonEmptyInBothLanguages) {
    int checked = 0;
    for (const NumberEntry& e : Numbers()) {
        if (!e.required) continue;
        for (int n = e.first; n <= e.last; ++n)
            for (int lang : {0, 1}) {
                EXPECT_FALSE(RawTexts(lang).GetText(n).empty())
                    << LangName(lang) << ": text " << n << " (" << e.note << ")";
                ++checked;
            }
    }
    EXPECT_GT(checked, 2000);
}

TEST(NumberList, LanguageIndependentTextsAreIdentical) {
    for (const NumberEntry& e : Numbers()) {
        if (!e.same) continue;
        for (int n = e.first; n <= e.last; ++n)
            EXPECT_EQ(RawTexts(0).GetText(n), RawTexts(1).GetText(n))
                << "text " << n << " (" << e.note << ")";
    }
}

// Empty when fmt formats with arguments of the given kinds and uses every one of them;
// otherwise what is wrong.
static std::string CheckFormatText(const std::string& fmt, const std::vector<char>& kinds) {
    std::vector<FmtArg> args = SampleArgs(kinds);
    std::string out, err;
    if (!TryFormat(fmt, args, out, &err)) return err;
    // Every argument is taken by a directive of its kind: an argument of the wrong kind in its
    // place must make the text fail.
    for (size_t k = 0; k < args.size(); ++k) {
        std::vector<FmtArg> wrong = args;
        wrong[k] = WrongKind(kinds[k]);
        if (TryFormat(fmt, wrong, out)) return "argument " + std::to_string(k + 1) + " is not used";
    }
    return "";
}

TEST(NumberList, FormatCheckRefusesTextsThatDoNotTakeTheirArguments) {
    EXPECT_EQ(CheckFormatText("Port COM%d", {'d'}), "");
    EXPECT_EQ(CheckFormatText("%6d=%6.*f%%", {'d', 'd', 'f'}), "");
    EXPECT_EQ(CheckFormatText("%1:s %0:d", {'d', 's'}), "");
    EXPECT_NE(CheckFormatText("Port cannot be opened", {'d'}), "");
    EXPECT_NE(CheckFormatText("Port %s", {'d'}), "");
    EXPECT_NE(CheckFormatText("%d of %d", {'d'}), "");
    EXPECT_NE(CheckFormatText("%s: %d", {'s', 'd', 's'}), "");
    EXPECT_NE(CheckFormatText("%.0n telegrams", {'s'}), "");
}

TEST(NumberList, FormatTextsTakeExactlyTheirArguments) {
    int formats = 0;
    for (const NumberEntry& e : Numbers()) {
        if (!e.hasFormat) continue;
        for (int n = e.first; n <= e.last; ++n)
            for (int lang : {0, 1}) {
                const std::string& fmt = RawTexts(lang).GetText(n);
                EXPECT_EQ(CheckFormatText(fmt, e.args), "")
                    << LangName(lang) << ": text " << n << " \"" << fmt << "\" (" << e.note << ")";
                ++formats;
            }
    }
    EXPECT_GT(formats, 100);
}

TEST(NumberList, ComboBoxesHoldTheirCountAndItems) {
    for (const NumberEntry& e : Numbers()) {
        if (e.combo < 0) continue;
        for (int lang : {0, 1}) {
            const TextTable& t = RawTexts(lang);
            EXPECT_EQ(t.GetText(e.first + 1), std::to_string(e.combo))
                << LangName(lang) << ": combo " << e.first;
            for (int i = 0; i < e.combo; ++i)
                EXPECT_FALSE(t.GetText(e.first + 2 + i).empty())
                    << LangName(lang) << ": combo " << e.first << " item " << i;
            EXPECT_TRUE(Listed(e.first + 1) && Listed(e.first + 1 + e.combo))
                << "combo " << e.first;
        }
    }
}

TEST(NumberList, CountedListsAndCommaListsHaveTheirEntries) {
    for (const NumberEntry& e : Numbers())
        for (int lang : {0, 1}) {
            const TextTable& t = RawTexts(lang);
            if (e.count >= 0) {
                EXPECT_EQ(t.GetText(e.first), std::to_string(e.count))
                    << LangName(lang) << ": text " << e.first;
                for (int i = 1; i <= e.count; ++i)
                    EXPECT_FALSE(t.GetText(e.first + i).empty())
                        << LangName(lang) << ": text " << e.first + i;
            }
            if (e.list >= 0) {
                std::vector<std::string> items = Split(t.GetText(e.first), ',');
                EXPECT_EQ(static_cast<int>(items.size()), e.list)
                    << LangName(lang) << ": text " << e.first;
                for (const std::string& i : items)
                    EXPECT_FALSE(Trim(i).empty()) << LangName(lang) << ": text " << e.first;
            }
            if (e.widthTitle)
                for (int n = e.first; n <= e.last; ++n) {
                    const std::string& s = t.GetText(n);
                    size_t comma = s.find(',');
                    ASSERT_NE(comma, std::string::npos) << LangName(lang) << ": text " << n;
                    EXPECT_GT(comma, 0u);
                    EXPECT_EQ(s.find_first_not_of("0123456789"), comma)
                        << LangName(lang) << ": text " << n;
                }
        }
}

TEST(NumberList, FontSizesStandAtSixCharacterPositions) {
    for (const NumberEntry& e : Numbers()) {
        if (!e.sizes) continue;
        const std::string& s = RawTexts(0).GetText(e.first);
        std::vector<std::string> items = Split(s, ',');
        ASSERT_GE(items.size(), 2u);
        std::set<int> sizes;
        for (size_t i = 0; i < items.size(); ++i) {
            std::string num = Trim(items[i]);
            int size = std::stoi(num);
            sizes.insert(size);
            // The dialog finds the present size by its position in the text divided by 6,
            // counted from 0 or from 1.
            size_t pos = s.find(num);
            EXPECT_EQ(pos / 6, i) << "size " << size;
            EXPECT_EQ((pos + 1) / 6, i) << "size " << size;
        }
        for (int size = 8; size <= 16; ++size)
            EXPECT_TRUE(sizes.count(size)) << "font size " << size;
    }
}

TEST(NumberList, ButtonCaptionSlotsLineUp) {
    for (const NumberEntry& e : Numbers()) {
        if (e.slots < 0) continue;
        for (int lang : {0, 1}) {
            const std::string& repl = RawTexts(lang).GetText(e.first);
            const std::string& std = RawTexts(lang).GetText(e.slots);
            ASSERT_EQ(std.size() % 10, 0u);
            ASSERT_GE(repl.size(), std.size()) << LangName(lang);
            for (size_t p = 0; p < std.size(); p += 10) {
                std::string caption = Trim(std.substr(p, 10));
                ASSERT_FALSE(caption.empty());
                EXPECT_EQ(std.find(caption), p) << caption;
                EXPECT_FALSE(Trim(repl.substr(p, 10)).empty()) << LangName(lang) << ": " << caption;
            }
        }
    }
}
