// Both program text files load, and every line has the form the files are kept in.
#include "text_files.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <regex>

using namespace vdl;
using namespace vdl::test;

TEST(TextFiles, BothLanguagesLoadWithoutError) {
    for (int lang : {0, 1}) {
        TextTable t;
        TextLoadResult r = t.LoadFile(TextFilePath(TextsDir(), lang));
        ASSERT_TRUE(r.ok()) << LangName(lang) << ": " << r.message;
        EXPECT_GE(t.Count(), kMinTexts) << LangName(lang);
        EXPECT_LE(t.Count(), kMaxTexts) << LangName(lang);
    }
    EXPECT_EQ(RawTexts(0).Count(), RawTexts(1).Count()) << "both languages hold the same numbers";
}

TEST(TextFiles, EveryLineIsNumberedInOrderWithBomAndCrLf) {
    const std::regex numbered("^([0-9]{4})  (.*);$");
    for (int lang : {0, 1}) {
        std::string bytes = ReadWholeFile(TextFilePath(TextsDir(), lang));
        ASSERT_GE(bytes.size(), 3u);
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF")
            << LangName(lang) << ": UTF-8 byte-order mark";
        bytes.erase(0, 3);
        int expected = 0;
        size_t pos = 0;
        int lineNo = 0;
        while (pos < bytes.size()) {
            size_t end = bytes.find('\n', pos);
            ASSERT_NE(end, std::string::npos) << LangName(lang) << ": last line without line end";
            ++lineNo;
            ASSERT_GT(end, pos) << LangName(lang) << " line " << lineNo << ": LF without CR";
            ASSERT_EQ(bytes[end - 1], '\r')
                << LangName(lang) << " line " << lineNo << ": LF without CR";
            std::string line = bytes.substr(pos, end - 1 - pos);
            pos = end + 1;
            if (line.empty() || line[0] == ';') continue;
            std::smatch m;
            ASSERT_TRUE(std::regex_match(line, m, numbered))
                << LangName(lang) << " line " << lineNo << ": " << line;
            EXPECT_EQ(std::stoi(m[1].str()), expected) << LangName(lang) << " line " << lineNo;
            expected = std::stoi(m[1].str()) + 1;
            EXPECT_EQ(m[2].str().find('\r'), std::string::npos);
        }
        EXPECT_EQ(expected, RawTexts(lang).Count()) << LangName(lang);
    }
}
