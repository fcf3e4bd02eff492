// The data directory entry of the general settings.
#include "core/data_dir_entry.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vdl;

TEST(DataDirEntry, ExistingMissingAndUnusable) {
    std::string base = test::TempDir("datadir");
    EXPECT_EQ(CheckDataDirEntry(base), DataDirState::Exists);
    EXPECT_EQ(CheckDataDirEntry(base + "a/b/c"), DataDirState::Missing);
    EXPECT_EQ(CheckDataDirEntry(""), DataDirState::Invalid);
    EXPECT_EQ(CheckDataDirEntry("relative/dir"), DataDirState::Invalid);
    std::ofstream(base + "file") << "x";
    EXPECT_EQ(CheckDataDirEntry(base + "file"), DataDirState::Invalid);

    // Created with all its parents.
    EXPECT_TRUE(CreateDataDir(base + "a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(base + "a/b/c"));
    EXPECT_EQ(CheckDataDirEntry(base + "a/b/c"), DataDirState::Exists);
    // Below a file nothing can be created.
    EXPECT_FALSE(CreateDataDir(base + "file/sub"));
}
