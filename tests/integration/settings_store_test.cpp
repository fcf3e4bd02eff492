#include "platform/qt_folders.h"
#include "platform/qt_settings_store.h"

#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vdl {
namespace {

TEST(QtSettingsStore, ReadWriteRemoveWithoutCreating) {
    std::string dir = test::TempDir("qtstore");
    QtSettingsStore s(QString::fromStdString(dir + "store.ini"));
    EXPECT_EQ(s.Read(kRegKey, "DataDirectory"), "");
    ASSERT_TRUE(s.Write(kRegKey, "DataDirectory", "/data/vordal/"));
    ASSERT_TRUE(s.Write(kRegKey, "DataDirectory2", "/data/two/"));
    QtSettingsStore again(QString::fromStdString(dir + "store.ini"));
    EXPECT_EQ(again.Read(kRegKey, "DataDirectory"), "/data/vordal/");
    EXPECT_EQ(again.Read("Software\\Other", "DataDirectory"), "");
    again.Remove(kRegKey, "DataDirectory2");
    EXPECT_EQ(s.Read(kRegKey, "DataDirectory2"), "");
    EXPECT_EQ(s.Read(kRegKey, "DataDirectory"), "/data/vordal/");
}

TEST(QtFolders, ApplicationDataFollowsXdg) {
    std::string dir = test::TempDir("xdg");
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    QtFolders f;
    EXPECT_EQ(f.AppDataFolder(), dir);
    EXPECT_EQ(f.ProgramFilesFolder(), "");
    unsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace vdl
