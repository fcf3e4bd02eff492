// The directories of file transfer read from a data directory: which files are entries, in
// which order, and which directory an object address names.
#include "link/file_directory.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

void Make(const std::string& path, size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

uint32_t LengthOf(const T_VzEintrag& e) {
    return e.e[2] | e.e[3] << 8 | e.e[4] << 16;
}

} // namespace

TEST(FileDirectory, FilesNamedByANumberAreTheEntriesInAscendingOrderAtMostFive) {
    const std::string d = TempDir("file-directory");
    for (const char* n : {"9", "1", "3", "2", "6", "5", "x", "07", "0", "4.IDX", "65536"})
        Make(d + n, std::string(n).size() * 10);
    fs::create_directories(d + "4");
    StdTransferFiles files;
    T_Verzeichnisse v;
    ScanDirectories(v, files, d, false);
    ASSERT_EQ(v.hv.anz, 5);
    const uint16_t nofs[] = {1, 2, 3, 5, 6};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(EntryNof(v.hv.ent[i]), nofs[i]);
        EXPECT_EQ(LengthOf(v.hv.ent[i]), 10u);
        EXPECT_EQ(v.hv.ent[i].name.str(), std::to_string(nofs[i]));
    }
    EXPECT_EQ(v.anzuv, 0) << "sub-directories only when asked for";
    // The elements of type 126: the last one marked as the last file of the directory.
    uint8_t out[kDirEntries * kDirElementLen];
    RemoveEntry(v.hv, 1);
    ASSERT_EQ(WriteDirectoryElements(v.hv, out), 4 * kDirElementLen);
    EXPECT_EQ(out[kDirElementLen], 3) << "the entries after the removed one move up";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i * kDirElementLen + 5], i == 3 ? SOF_LAST : 0);
    EXPECT_EQ(FindEntry(v.hv, 2), -1);
    EXPECT_EQ(FindEntry(v.hv, 6), 3);
}

TEST(FileDirectory, AnObjectAddressNamesTheSubDirectoryWhoseEntriesItCovers) {
    const std::string d = TempDir("file-subdirectories");
    for (const char* sub : {"200", "300", "x", "0400"}) fs::create_directories(d + sub);
    Make(d + "200/1", 1);
    Make(d + "200/2", 2);
    Make(d + "300/7", 7);
    Make(d + "5", 5);
    StdTransferFiles files;
    T_Verzeichnisse v;
    ScanDirectories(v, files, d, true);
    ASSERT_EQ(v.anzuv, 2);
    EXPECT_EQ(v.uv[0].oa, 200);
    EXPECT_EQ(v.uv[0].ent[1].name.str(), "200/2");
    struct Row {
        uint32_t oa;
        int dir;
    } rows[] = {{200, 1}, {201, 1}, {202, 0}, {300, 2}, {301, 0}, {5, 0}};
    for (const Row& r : rows) EXPECT_EQ(DirectoryFor(v, true, r.oa), r.dir) << r.oa;
    EXPECT_EQ(DirectoryFor(v, false, 200), 0);
    EXPECT_EQ(EntryNof(DirectoryAt(v, 2).ent[0]), 7);
    EXPECT_EQ(&DirectoryAt(v, 3), &v.hv) << "a sub-directory not in use is the main one";
}
