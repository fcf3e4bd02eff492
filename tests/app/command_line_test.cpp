#include "app/command_line.h"

#include <gtest/gtest.h>

#include <set>

using namespace vdl;

namespace {

TextTable Texts() {
    std::string t;
    for (int n = 0; n < 2200; ++n) {
        const char* s = "";
        switch (n) {
        case 673: s = "offline"; break;
        case 674: s = "online"; break;
        case 883: s = "File %s not found"; break;
        case 1200: s = ".vdl"; break;
        case 1223: s = "vps"; break;
        case 1370: s = ".vot"; break;
        case 2109: s = "Directory does not exist:"; break;
        case 2110: s = "Data directory must be the first argument and absolute:"; break;
        case 2111: s = "Cannot write to"; break;
        case 2112: s = "choose another"; break;
        case 2113: s = "directory"; break;
        }
        char buf[128];
        std::snprintf(buf, sizeof buf, "%04d  %s;\n", n, s);
        t += buf;
    }
    TextTable tt;
    tt.LoadBytes(t, "t");
    return tt;
}

struct Env {
    std::set<std::string> files{"/data/set.vps", "/data/objects.VOT"};
    std::set<std::string> dirs{"/data", "/other", "relative"};
    std::set<std::string> readOnly{"/readonly"};
    CommandLineEnv env() {
        CommandLineEnv e;
        e.dataDir = "/data/";
        e.fileExists = [this](const std::string& f) { return files.count(f) > 0; };
        e.dirExists = [this](const std::string& d) { return dirs.count(d) > 0 || readOnly.count(d) > 0; };
        e.isWritable = [this](const std::string& d) { return readOnly.count(d) == 0; };
        return e;
    }
};

} // namespace

TEST(CommandLine, FilesByExtension) {
    TextTable t = Texts();
    Env e;
    CommandLine cl = EvaluateCommandLine({"-Start.VDL", "set.vps", "objects.VOT", "OFFLINE", "t1", "T2"}, t, e.env());
    EXPECT_EQ(cl.dtLog, "/data/Start.VDL");
    EXPECT_EQ(cl.dtStartLog, "/data/Start.VDL");
    EXPECT_EQ(cl.dtSeTeLi, "/data/set.vps");
    EXPECT_EQ(cl.dtOaTxt, "/data/objects.VOT");
    EXPECT_EQ(cl.online, 0);
    EXPECT_TRUE(cl.t2);
    EXPECT_TRUE(cl.errors.empty());

    cl = EvaluateCommandLine({"/logs/x.vdl", "missing.vps", "online"}, t, e.env());
    EXPECT_EQ(cl.dtLog, "/logs/x.vdl");
    EXPECT_EQ(cl.dtStartLog, "");
    EXPECT_TRUE(cl.seTeLiNamed);
    EXPECT_EQ(cl.dtSeTeLi, "");
    ASSERT_EQ(cl.errors.size(), 1u);
    EXPECT_EQ(cl.errors[0], "File /data/missing.vps not found");
    EXPECT_EQ(cl.online, 1);
}

TEST(CommandLine, DataDirectoryRefusals) {
    TextTable t = Texts();
    Env e;
    CommandLine cl = EvaluateCommandLine({"/other"}, t, e.env());
    EXPECT_EQ(cl.dataDir, "/other/");
    EXPECT_TRUE(cl.errors.empty());

    cl = EvaluateCommandLine({"/nowhere"}, t, e.env());
    EXPECT_EQ(cl.dataDir, "");
    ASSERT_EQ(cl.errors.size(), 1u);
    EXPECT_EQ(cl.errors[0], "Directory does not exist:\n/nowhere");

    // Relative, or not the first argument: text 2110.
    cl = EvaluateCommandLine({"relative"}, t, e.env());
    ASSERT_EQ(cl.errors.size(), 1u);
    EXPECT_EQ(cl.errors[0].rfind("Data directory must be the first argument", 0), 0u);
    cl = EvaluateCommandLine({"t1", "/other"}, t, e.env());
    ASSERT_EQ(cl.errors.size(), 1u);
    EXPECT_EQ(cl.errors[0], "Data directory must be the first argument and absolute:\n/other");
    EXPECT_EQ(cl.dataDir, "");

    cl = EvaluateCommandLine({"/readonly"}, t, e.env());
    ASSERT_EQ(cl.errors.size(), 1u);
    EXPECT_EQ(cl.errors[0], "Cannot write to\n/readonly\nchoose another\ndirectory");
}

TEST(CommandLine, AbsolutePathsAndExtensions) {
    EXPECT_TRUE(IsAbsolutePath("C:\\data"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share"));
    EXPECT_FALSE(IsAbsolutePath("data\\x"));
    EXPECT_FALSE(IsAbsolutePath(""));
    EXPECT_TRUE(HasExtension("a.b/c.VdL", ".vdl"));
    EXPECT_TRUE(HasExtension("c.vdl", "vdl"));
    EXPECT_FALSE(HasExtension("a.vdl/c", ".vdl"));
    EXPECT_FALSE(HasExtension("c.vdlx", ".vdl"));
    EXPECT_FALSE(HasExtension("c.vdl", ""));
}
