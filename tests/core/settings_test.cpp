#include "core/file_io.h"
#include "core/settings.h"

#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace vdl {
namespace {

class FakeStore : public KeyValueStore {
public:
    std::string Read(const std::string& key, const std::string& value) override {
        auto it = values.find(key + "|" + value);
        return it == values.end() ? std::string() : it->second;
    }
    bool Write(const std::string& key, const std::string& value, const std::string& data) override {
        values[key + "|" + value] = data;
        ++writes;
        return true;
    }
    void Remove(const std::string& key, const std::string& value) override {
        removes += values.erase(key + "|" + value) ? 1 : 0;
    }
    std::map<std::string, std::string> values;
    int writes = 0;
    int removes = 0;
};

class FakeFolders : public Folders {
public:
    std::string AppDataFolder() override { return appData; }
    std::string ProgramFilesFolder() override { return programFiles; }
    std::string appData, programFiles;
};

std::string Key(const std::string& v) {
    return std::string(kRegKey) + "|" + v;
}

void WriteText(const std::string& path, const std::string& s) {
    std::ofstream f(path, std::ios::binary);
    f << s;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = test::TempDir("settings");
        prog = root + "prog/";
        fs::create_directories(prog);
        av.ProgDir = prog;
        av.DataDir = prog;
    }
    SettingsEnv Env() { return SettingsEnv{av, pp, texts, msg, store, folders, 1}; }

    std::string root, prog;
    T_AllgVar av;
    T_ProgPar pp = DefaultProgPar();
    TextTable texts = test::FileTexts();
    test::FakeMessages msg;
    FakeStore store;
    FakeFolders folders;
};

TEST_F(SettingsTest, SettingsFileRoundTripAndRejectedForms) {
    SettingsEnv env = Env();
    pp.format = 6;
    pp.opt[13] = 1;
    pp.frbtyp.frb[9] = {3, 12};
    pp.DataDirOld[0] = 3; // cleared when written
    ASSERT_TRUE(WriteSettings(env));
    std::string path = StandardFileName(av, texts, kTxSettingsFile);
    EXPECT_EQ(path, prog + "VdlSet.ini");
    T_ProgPar back = DefaultProgPar();
    ASSERT_TRUE(ReadSettingsFile(path, back));
    EXPECT_EQ(std::memcmp(&back, &pp, sizeof pp), 0);
    EXPECT_EQ(back.format, 6);
    EXPECT_EQ(back.DataDirOld[0], 0);

    // Another format mark: ignored, the present values stay.
    std::vector<uint8_t> d;
    ASSERT_TRUE(ReadWholeFile(path, d, 10000));
    d[8] = 15;
    WriteText(path, std::string(d.begin(), d.end()));
    T_ProgPar keep = DefaultProgPar();
    keep.format = 4;
    EXPECT_FALSE(ReadSettingsFile(path, keep));
    EXPECT_EQ(keep.format, 4);
    // Another size: ignored.
    d[8] = 16;
    d.push_back(0);
    WriteText(path, std::string(d.begin(), d.end()));
    EXPECT_FALSE(ReadSettingsFile(path, keep));
    EXPECT_EQ(keep.format, 4);
}

TEST(AusgPar, VersionsAreBroughtToTwo) {
    T_AusgPar a = DefaultAusgPar();
    a.version = 1;
    a.fehler = {5, 5};
    a.quamask = 7;
    a.ek[0] = {9, 9};
    UpgradeAusgPar(a);
    EXPECT_EQ(a.version, 2);
    EXPECT_EQ(a.fehler, DefaultAusgPar().fehler);
    EXPECT_EQ(a.quamask, 255);
    EXPECT_EQ(a.ek[0], (T_FarbIndex{9, 9})); // kept
    a.version = 3;
    UpgradeAusgPar(a);
    EXPECT_EQ(a.ek[0], DefaultAusgPar().ek[0]);
}

TEST_F(SettingsTest, DataDirectoryFromTheStore) {
    std::string data = root + "data";
    fs::create_directories(data);
    store.values[Key("DataDirectory")] = data;
    SettingsEnv env = Env();
    ReadStartSettings(env);
    EXPECT_EQ(av.DataDir, data + "/");
    EXPECT_EQ(pp.sprache, 1); // default by locale; no settings file there
    EXPECT_EQ(av.dtOaTxt, prog + "VdlObj.txt");
}

TEST_F(SettingsTest, InstanceTwoSharesTheDirectoryAndWritesNothing) {
    std::string data = root + "data/";
    fs::create_directories(data);
    store.values[Key("DataDirectory")] = data;
    av.pnr = 2;
    SettingsEnv env = Env();
    ReadStartSettings(env);
    EXPECT_EQ(av.DataDir, data);
    WriteDataDirToRegistry(env);
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(store.values.count(Key("DataDirectory2")), 0u);

    // A directory of its own is remembered under its own value.
    av.DataDir = root + "other/";
    WriteDataDirToRegistry(env);
    EXPECT_EQ(store.values[Key("DataDirectory2")], root + "other/");
    EXPECT_EQ(store.values[Key("DataDirectory")], data);
    // Back to the shared one: its own value goes.
    av.DataDir = data;
    WriteDataDirToRegistry(env);
    EXPECT_EQ(store.values.count(Key("DataDirectory2")), 0u);
}

TEST_F(SettingsTest, OldDataDirectoryBelowProgramFilesIsNotUsed) {
    std::string old = root + "Programs/Vordal";
    fs::create_directories(old);
    folders.programFiles = root + "programs/"; // compared without regard to case
    folders.appData = root + "appdata/";
    T_ProgPar stored = DefaultProgPar();
    stored.DataDirOld[0] = static_cast<uint8_t>(old.size());
    std::memcpy(stored.DataDirOld + 1, old.data(), old.size());
    WriteText(prog + "VdlSet.ini", std::string(reinterpret_cast<char*>(&stored), sizeof stored));
    // A log and a parameter set in the program folder are copied to the default folder.
    WriteText(prog + "VdlLog.lg1", "log");
    SettingsEnv env = Env();
    ReadStartSettings(env);
    std::string def = root + "appdata/Kelmar/DemoVordal/";
    EXPECT_EQ(av.DataDir, def);
    EXPECT_TRUE(FileExists(def + "VdlLog.lg1"));
    EXPECT_FALSE(FileExists(def + "VdlPara.vpa"));
    EXPECT_EQ(av.dtLog, def + "VdlLog.lg1");
    EXPECT_EQ(av.dtSeTeLi, def + "VdlPara.vpa");

    // Outside the program-files folder the old directory is taken.
    folders.programFiles = root + "elsewhere/";
    av.DataDir = prog;
    ReadStartSettings(env);
    EXPECT_EQ(av.DataDir, old + "/");
}

TEST_F(SettingsTest, IsWritable) {
    EXPECT_TRUE(IsWritable(root));
    EXPECT_FALSE(IsWritable(root + "missing"));
    EXPECT_FALSE(FileExists(root + "012345-asdfghxyz-67890.x1y2z3"));
}

TEST_F(SettingsTest, FileNameListRoundTripAndLineCounts) {
    SettingsEnv env = Env();
    std::string obj = prog + "obj.txt", log = prog + "x.lg1";
    WriteText(obj, "");
    WriteText(log, "");
    av.dtDruk = prog + "out.txt";
    av.dtSeTeLi = prog + "p.vpa";
    av.dtOaTxt = obj;
    av.dtLog = log;
    av.dRmStg = 3;
    av.OfsSekTel = 7;
    av.AbbMax = 5000;
    av.anzmru = 2;
    av.mru[0] = "a.lg1";
    av.mru[1] = "b.vpa";
    ASSERT_TRUE(WriteFileNames(env));
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(FileNameListPath(av), lines));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[2], "3;7;5000; DeltaRM, OfsSekTel, AbbildMax");

    T_AllgVar back;
    back.DataDir = av.DataDir;
    SettingsEnv env2{back, pp, texts, msg, store, folders, 0};
    ReadFileNames(env2);
    EXPECT_EQ(back.dtDruk, av.dtDruk);
    EXPECT_EQ(back.dtSeTeLi, av.dtSeTeLi);
    EXPECT_EQ(back.dtOaTxt, obj);
    EXPECT_EQ(back.dtLog, log);
    EXPECT_EQ(back.dRmStg, 3);
    EXPECT_EQ(back.OfsSekTel, 7);
    EXPECT_EQ(back.AbbMax, 5000);
    EXPECT_EQ(back.anzmru, 2);
    EXPECT_EQ(back.mru[1], "b.vpa");

    // 13 lines: names and numbers, no recently used files; 500 is no station image size; a
    // log that does not exist is not named.
    WriteText(FileNameListPath(av),
              "d\ns\n1;4;500;\nmissing.txt\nmissing.lg1\n2\nx\ny\n\n\n\n\n\n");
    T_AllgVar t13;
    t13.DataDir = av.DataDir;
    t13.anzmru = 1;
    t13.mru[0] = "keep";
    SettingsEnv env3{t13, pp, texts, msg, store, folders, 0};
    ReadFileNames(env3);
    EXPECT_EQ(t13.dtDruk, "d");
    EXPECT_EQ(t13.AbbMax, 20000);
    EXPECT_EQ(t13.OfsSekTel, 4);
    EXPECT_EQ(t13.dtLog, "");
    EXPECT_EQ(t13.dtOaTxt, "");
    EXPECT_EQ(t13.anzmru, 1);
    EXPECT_EQ(t13.mru[0], "keep");
}

TEST_F(SettingsTest, MissingFileNameListGivesDefaultsAndTheOldRecentFiles) {
    pp.anzmruold = 1;
    pp.mruold[0][0] = 5;
    std::memcpy(pp.mruold[0] + 1, "a.lg1", 5);
    SettingsEnv env = Env();
    av.OfsSekTel = 9;
    ReadFileNames(env);
    EXPECT_EQ(av.OfsSekTel, 2);
    EXPECT_EQ(av.AbbMax, 20000);
    EXPECT_EQ(av.dtDruk, av.DataDir);
    EXPECT_EQ(av.anzmru, 1);
    EXPECT_EQ(av.mru[0], "a.lg1");
}

} // namespace
} // namespace vdl
