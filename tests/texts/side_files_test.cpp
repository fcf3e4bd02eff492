// The other text files the program reads from its own directory: the compact type names
// (text 298) and the sample object texts (text 1371).
#include "text_files.h"

#include "core/allg_var.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace vdl;
using namespace vdl::test;

TEST(SideFiles, CompactTypeNamesLoadForEveryPickType) {
    for (int lang : {0, 1}) {
        TextTable t = LoadedTexts(lang);
        T_AllgVar av;
        av.ProgDir = TextsDir();
        av.tz = ';';
        LoadTypeNames(t, av);
        for (int typ : PickTypes()) {
            if (typ >= 128) continue;
            const std::string& name = t.TypeName(typ);
            EXPECT_FALSE(name.empty()) << LangName(lang) << " type " << typ;
            EXPECT_EQ(name.find(' '), std::string::npos) << "compact names are one word: " << name;
        }
        EXPECT_TRUE(t.TypeName(0).empty());
        EXPECT_NE(t.TypeName(1), t.TypeName(3));
    }
}

TEST(SideFiles, SampleObjectTextFileMatchesItsFormat) {
    const TextTable& t = RawTexts(0);
    const std::string name = t.GetText(1371);
    ASSERT_FALSE(name.empty());
    // Its extension is the one that marks object text files on the command line.
    const std::string ext = t.GetText(1370);
    ASSERT_GE(name.size(), ext.size());
    EXPECT_EQ(name.substr(name.size() - ext.size()), ext);
    std::string bytes = ReadWholeFile(TextsDir() + name);
    ASSERT_GE(bytes.size(), 3u) << TextsDir() + name;
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::istringstream in(bytes.substr(3));
    std::string line;
    int objects = 0, names = 0, causes = 0;
    bool caColumn = false;
    const std::string keyword = t.GetText(1129);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
            line = line.substr(1, line.size() - 2);
        if (line.empty() || line[0] == ';' || line.find(';') == std::string::npos) continue;
        std::vector<std::string> f = SplitFields(line, ';');
        if (f[0] == keyword) {
            caColumn = true;
        } else if (f[0] == "CA") {
            ASSERT_GE(f.size(), 3u) << line;
            ++names;
        } else if (f[0] == "URS") {
            ASSERT_GE(f.size(), 3u) << line;
            int cause = std::stoi(f[1]);
            EXPECT_TRUE(cause >= 0 && cause <= 255) << line;
            ++causes;
        } else {
            ASSERT_TRUE(caColumn) << "object lines follow the keyword " << keyword << ": " << line;
            ASSERT_GE(f.size(), 4u) << line;
            EXPECT_NO_THROW((void)std::stoi(f[0])) << line;
            EXPECT_NO_THROW((void)std::stoi(f[1])) << line;
            const std::string& colour = f[2];
            if (!colour.empty()) {
                size_t dash = colour.find('-');
                int fg = std::stoi(colour.substr(0, dash));
                int bg = dash == std::string::npos ? 0 : std::stoi(colour.substr(dash + 1));
                EXPECT_TRUE(fg >= 0 && fg <= 19 && bg >= 0 && bg <= 19) << line;
            }
            EXPECT_FALSE(f[3].empty()) << line;
            ++objects;
        }
    }
    EXPECT_GT(objects, 5);
    EXPECT_GT(names, 1);
    EXPECT_GT(causes, 0);
}

TEST(SideFiles, FileNamesDoNotChangeWithTheLanguage) {
    // The program builds data file names from these texts; a change of language must find the
    // same settings, log, parameter set and command files.
    for (int n : {395, 396, 397, 1131, 1132, 1199, 1200, 1222, 1223, 1370, 1371, 2018})
        EXPECT_EQ(RawTexts(0).GetText(n), RawTexts(1).GetText(n)) << "text " << n;
}
