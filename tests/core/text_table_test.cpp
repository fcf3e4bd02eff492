#include "core/text_table.h"

#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <fstream>

using vdl::TextTable;

namespace {

// A text file of numbered lines first..last, each "NNNN  text N;".
std::string Numbered(int first, int last, const std::string& head = "") {
    std::string s = head;
    char buf[32];
    for (int n = first; n <= last; ++n) {
        std::snprintf(buf, sizeof buf, "%04d  text %d;\r\n", n, n);
        s += buf;
    }
    return s;
}

std::string Utf16Le(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

} // namespace

TEST(TextLoader, ThousandTextsLoadAndFewerAreError1) {
    TextTable t;
    auto r = t.LoadBytes(Numbered(0, 999), "x.ger");
    EXPECT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(t.Count(), 1000);
    EXPECT_EQ(t.GetText(999), "text 999");

    r = t.LoadBytes(Numbered(0, 998), "VdlText.ger");
    EXPECT_EQ(r.error, 1);
    EXPECT_EQ(r.line, 1000); // the last line + 1
    EXPECT_EQ(r.message, "Program text file missing/wrong 1000\nVdlText.ger");
}

TEST(TextLoader, NumberEighteenFillsTheGap) {
    TextTable t;
    std::string head = "; comment\r\n;another comment line\r\n";
    auto r = t.LoadBytes(Numbered(18, 1100, head), "f");
    ASSERT_TRUE(r.ok()) << r.message;
    for (int n = 0; n < 18; ++n) EXPECT_EQ(t.GetText(n), "") << n;
    EXPECT_EQ(t.GetText(18), "text 18");
    EXPECT_EQ(t.GetText(19), "text 19");

    // Above 18 a line numbered 18 is taken as the next text.
    std::string s = Numbered(0, 30) + "0018  late;\r\n" + Numbered(32, 1000);
    r = t.LoadBytes(s, "f");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(t.GetText(31), "late");
}

TEST(TextLoader, TextRunsUpToTheLastSemicolon) {
    TextTable t;
    std::string s = Numbered(0, 9) + "0010  abc;def;\r\n" + "0011  no semicolon\r\n" +
                    "0012  keep;  \r\n" + "      continued;\r\n" + "0014xxtrailing blanks  ;\r\n" +
                    Numbered(15, 1000);
    auto r = t.LoadBytes(s, "f");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(t.GetText(10), "abc;def");
    EXPECT_EQ(t.GetText(11), "no semicolon");
    EXPECT_EQ(t.GetText(12), "keep");
    EXPECT_EQ(t.GetText(13), "continued"); // continuation line takes the next number
    EXPECT_EQ(t.GetText(14), "trailing blanks  ");
}

TEST(TextLoader, ShortAndCommentLinesAreIgnored) {
    TextTable t;
    // Six characters (eight bytes in UTF-8) are still a short line.
    std::string s = Numbered(0, 4) + "0005  \r\n" + "0005 x\r\n" + ";0005  comment;\r\n" +
                    "0005\xC3\xA4\xC3\xA4\r\n" +
                    "\r\n" + Numbered(5, 1000);
    auto r = t.LoadBytes(s, "f");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(t.GetText(5), "text 5");
}

TEST(TextLoader, NumberingErrors) {
    TextTable t;
    // A number above 3000, or a field that is not a number, is error 2.
    auto r = t.LoadBytes(Numbered(0, 4) + "3001  x;\r\n", "f");
    EXPECT_EQ(r.error, 2);
    EXPECT_EQ(r.line, 6);
    EXPECT_EQ(r.message, "Text number wrong, line:    6\n3001  x;");
    r = t.LoadBytes(Numbered(0, 2) + "00a3  x;\r\n", "f");
    EXPECT_EQ(r.error, 2);
    EXPECT_EQ(t.Count(), 3); // the table keeps what was loaded so far

    // A jump is error 3, at the line of the jump.
    r = t.LoadBytes(Numbered(0, 9) + "0011  jump;\r\n", "f");
    EXPECT_EQ(r.error, 3);
    EXPECT_EQ(r.line, 11);
    EXPECT_EQ(r.message, "Line number jumps, line:   11\n0011  jump;");

    // 3001 texts: error 4 at the line of the 3001st.
    r = t.LoadBytes("; head\r\n" + Numbered(0, 3000), "f");
    EXPECT_EQ(r.error, 4);
    EXPECT_EQ(r.line, 3002);
    EXPECT_EQ(t.Count(), 3000);
}

TEST(TextLoader, Encodings) {
    TextTable t;
    std::string body = Numbered(0, 9) + "0010  Gr\xC3\xBC\xC3\x9F" "e;\r\n" + Numbered(11, 1000);
    ASSERT_TRUE(t.LoadBytes("\xEF\xBB\xBF" + body, "f").ok());
    EXPECT_EQ(t.GetText(10), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(t.GetText(0), "text 0"); // the byte-order mark is not part of the first line
    EXPECT_EQ(t.Length(10), 5);

    ASSERT_TRUE(t.LoadBytes(body, "f").ok()); // UTF-8 without a mark
    EXPECT_EQ(t.GetText(10), "Gr\xC3\xBC\xC3\x9F" "e");

    // ANSI (Windows-1252) without a mark: the umlaut becomes UTF-8.
    std::string ansi = Numbered(0, 9) + "0010  Gr\xFC\xDF" "e;\r\n" + Numbered(11, 1000);
    ASSERT_TRUE(t.LoadBytes(ansi, "f").ok());
    EXPECT_EQ(t.GetText(10), "Gr\xC3\xBC\xC3\x9F" "e");

    // UTF-16 with a byte-order mark.
    std::u16string u16;
    for (char c : Numbered(0, 9)) u16 += static_cast<char16_t>(c);
    u16 += u"0010  Gr\u00FC\u00DFe \u20AC;\r\n";
    for (char c : Numbered(11, 1000)) u16 += static_cast<char16_t>(c);
    ASSERT_TRUE(t.LoadBytes(Utf16Le(u16), "f").ok());
    EXPECT_EQ(t.GetText(10), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC");
}

TEST(TextLoader, LookupNeverFails) {
    TextTable t;
    ASSERT_TRUE(t.LoadBytes(Numbered(0, 1000), "f").ok());
    EXPECT_EQ(t.GetText(-1), "");
    EXPECT_EQ(t.GetText(1001), "");
    EXPECT_EQ(t.Length(5000), 0);
    t.Replace(7, "seven");
    EXPECT_EQ(t.tx(7), "seven");
    t.Replace(5000, "ignored");
    EXPECT_EQ(t.Count(), 1001);
}

TEST(TextPostProcessing, CodesCharactersAndTypeNames) {
    std::string s = Numbered(0, 24) + "0025  #hex;\r\n" + Numbered(26, 26) + "0027  ab;\r\n" +
                    Numbered(28, 297) + "0298  types.txt;\r\n" + Numbered(299, 1008) +
                    "1009  6566;\r\n1010  020305;\r\n1011  ;\r\n1012  6566;\r\n" +
                    Numbered(1013, 1171) + "1172  |;\r\n";
    std::string dir = vdl::test::TempDir("texts-post");
    {
        std::ofstream f(dir + "VdlText.usa", std::ios::binary);
        f << s;
        std::ofstream g(dir + "types.txt", std::ios::binary);
        g << "1|Single point|\r\n300|too big|\r\nonly one field\r\n13|Float|x|\r\n";
    }
    TextTable t;
    vdl::T_AllgVar av;
    av.ProgDir = dir;
    vdl::test::FakeMessages msg;
    ASSERT_TRUE(vdl::LoadTextFile(t, av, 1, msg));
    EXPECT_TRUE(msg.errors.empty());
    EXPECT_EQ(t.GetText(1009), "AB");
    EXPECT_EQ(t.GetText(1010), std::string("\x02\x03\x05"));
    EXPECT_EQ(t.GetText(1012), "6566"); // after the first empty text nothing is decoded
    EXPECT_EQ(av.khex, '#');
    EXPECT_EQ(av.bitz, "ab");
    EXPECT_EQ(av.tz, '|');
    vdl::LoadTypeNames(t, av);
    EXPECT_EQ(t.TypeName(1), "Single point");
    EXPECT_EQ(t.TypeName(13), "Float");
    EXPECT_EQ(t.TypeName(2), "");
}

TEST(TextPostProcessing, MissingFileShowsTheMessageOnce) {
    TextTable t;
    vdl::T_AllgVar av;
    av.ProgDir = vdl::test::TempDir("texts-missing");
    vdl::test::FakeMessages msg;
    EXPECT_FALSE(vdl::LoadTextFile(t, av, 0, msg));
    ASSERT_EQ(msg.errors.size(), 1u);
    EXPECT_EQ(msg.errors[0].rfind("Program text file missing/wrong    1\n", 0), 0u) << msg.errors[0];
    EXPECT_NE(msg.errors[0].find("VdlText.ger"), std::string::npos);
}
