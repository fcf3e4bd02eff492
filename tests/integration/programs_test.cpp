// The two programs as a user starts them.
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vdl::test;
namespace fs = std::filesystem;

TEST(CliBasics, VersionHelpAndUnknownCommand) {
    ProcessResult r = RunProgram(Quote(BinDir() + "vordal-cli") + " --version");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("vordal-cli ", 0), 0u) << r.out;

    r = RunProgram(Quote(BinDir() + "vordal-cli") + " --help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("texts check"), std::string::npos) << r.out;

    r = RunProgram(Quote(BinDir() + "vordal-cli") + " frobnicate");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown command"), std::string::npos);
}

TEST(CliTexts, CheckLoadsBothFilesOfTheProgramDirectory) {
    ProcessResult r = RunProgram(Quote(BinDir() + "vordal-cli") + " texts check");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("VdlText.ger: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("VdlText.usa: "), std::string::npos) << r.out;
}

TEST(CliTexts, CheckReportsABrokenFile) {
    std::string dir = TempDir("cli-texts");
    fs::copy_file(BinDir() + "VdlText.ger", dir + "VdlText.ger");
    {
        std::ofstream f(dir + "VdlText.usa", std::ios::binary);
        f << "0000  a;\r\n0002  jump;\r\n";
    }
    ProcessResult r = RunProgram(Quote(BinDir() + "vordal-cli") + " texts check " + Quote(dir));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("VdlText.ger: "), std::string::npos);
    EXPECT_NE(r.err.find("Line number jumps, line:    2"), std::string::npos) << r.err;
}

TEST(DesktopStart, MissingGermanTextsEndWithCode99) {
    // A copy of the program in a folder without its texts.
    std::string dir = TempDir("gui-notexts");
    fs::copy_file(BinDir() + "vordal", dir + "vordal");
    ProcessResult r = RunProgram("QT_QPA_PLATFORM=offscreen VORDAL_MESSAGES=stderr " + Quote(dir + "vordal"));
    EXPECT_EQ(r.exitCode, 99);
    EXPECT_NE(r.err.find("Program text file missing/wrong"), std::string::npos) << r.err;
}
