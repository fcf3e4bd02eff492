// Every text number the code asks for by a literal tx(n) or GetText(n) is in both files,
// non-empty, and named in numbers.txt, so the files stay honest as code lands.
#include "text_files.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

using namespace vdl::test;

namespace {

// Literal text numbers asked for in one source text, with the line of their first use.
std::map<int, int> LiteralTextNumbers(const std::string& source) {
    static const std::regex call(R"(\b(?:tx|GetText)\s*\(\s*([0-9]+)\s*\))");
    std::map<int, int> found;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), call);
         it != std::sregex_iterator(); ++it) {
        int line =
            1 + static_cast<int>(std::count(source.begin(), source.begin() + it->position(), '\n'));
        found.emplace(std::stoi((*it)[1].str()), line);
    }
    return found;
}

} // namespace

TEST(SourceScan, FindsLiteralCallsOnly) {
    auto found = LiteralTextNumbers("a = texts.tx(499);\nb = t.GetText( 1208 ) + tx(n) + mytx(7);\n"
                                    "// GetText(25)\n");
    EXPECT_EQ(found.size(), 3u);
    EXPECT_EQ(found[499], 1);
    EXPECT_EQ(found[1208], 2);
    EXPECT_EQ(found[25], 3);
    EXPECT_FALSE(found.count(7));
}

TEST(SourceScan, TextsAskedForByTheCodeExistInBothFiles) {
    namespace fs = std::filesystem;
    int files = 0, uses = 0;
    for (const char* dir : {"src", "apps"}) {
        fs::path root = fs::path(SourceDir()) / dir;
        if (!fs::exists(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            ++files;
            for (const auto& [n, line] : LiteralTextNumbers(ReadWholeFile(entry.path().string()))) {
                ++uses;
                std::string where = entry.path().string() + ":" + std::to_string(line) + " text " +
                                    std::to_string(n);
                for (int lang : {0, 1})
                    EXPECT_FALSE(RawTexts(lang).GetText(n).empty())
                        << where << " is empty in " << LangName(lang);
                EXPECT_TRUE(Listed(n)) << where << " is not named in texts/numbers.txt";
            }
        }
    }
    EXPECT_GT(files, 0);
    EXPECT_GT(uses, 0) << "the code asks for no text at all";
}
