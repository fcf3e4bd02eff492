#include "core/file_io.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace vdl {
namespace {

TEST(SameFile, TheSameFileByAnyNameAndOnlyThat) {
    const std::string dir = test::TempDir("samefile");
    const std::string a = dir + "a.lg1";
    std::ofstream(a) << "a";
    std::ofstream(dir + "b.lg1") << "b";
    fs::create_directory(dir + "sub");
    fs::create_symlink(a, dir + "link.lg1");
    fs::create_symlink(dir + "sub", dir + "sublink");
    fs::create_hard_link(a, dir + "hard.lg1");
    struct Case {
        std::string other;
        bool same;
    };
    const Case cases[] = {
        {a, true},
        {dir + "./a.lg1", true},
        {dir + "sub/../a.lg1", true},
        {dir + "sublink/../a.lg1", true}, // the system resolves the link first
        {dir + "link.lg1", true},
        {dir + "hard.lg1", true},
        {dir + "b.lg1", false},
        {dir + "missing.lg1", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameFile(a, c.other), c.same) << c.other;
        EXPECT_EQ(SameFile(c.other, a), c.same) << c.other;
    }
    // Two names of a file that does not exist yet.
    EXPECT_TRUE(SameFile(dir + "new.lg1", dir + "sub/../new.lg1"));
    EXPECT_FALSE(SameFile(dir + "new.lg1", dir + "new2.lg1"));
}

} // namespace
} // namespace vdl
