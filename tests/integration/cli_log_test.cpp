#include "log/log_fixture.h"
#include "support/process.h"

#include <nlohmann/json.hpp>

#include <sstream>

namespace vdl {
namespace {

using test::BinDir;
using test::Quote;
using test::RunProgram;

std::string Cli() { return Quote(BinDir() + "vordal-cli"); }

std::vector<nlohmann::json> Lines(const std::string& out) {
    std::vector<nlohmann::json> v;
    std::istringstream s(out);
    std::string line;
    while (std::getline(s, line))
        if (!line.empty()) v.push_back(nlohmann::json::parse(line));
    return v;
}

class CliLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("clilog");
        name = dir + "x.lg1";
        w.ap.lgla = 2;
        w.bp2.fkt = FKT_SLAVE;
        ASSERT_TRUE(w.log.OpenLog(name, false));
        w.clock.ms = 123;
        in = w.Append(250, 40, 1000);
    }
    std::string dir, name;
    test::LogWorld w;
    std::vector<T_Telegramm> in;
};

TEST_F(CliLogTest, InfoOfAClosedAndOfAnOpenLog) {
    w.log.CloseLog();
    auto r = RunProgram(Cli() + " log info " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["N"], 3126);
    EXPECT_EQ(j["count"], 250);
    EXPECT_EQ(j["blanz"], 1);
    EXPECT_EQ(j["nralt"], 1);
    EXPECT_EQ(j["nrneu"], 250);
    EXPECT_EQ(j["dtalt"], "2026-12-08T10:00:00.123");
    EXPECT_EQ(j["dtneu"], "2026-12-08T10:04:09.123");
    EXPECT_EQ(j["lgla"], 2);
    EXPECT_EQ(j["fkt1"], 0);
    EXPECT_EQ(j["fkt2"], 2);
    EXPECT_EQ(j["recovered"], false);
}

TEST_F(CliLogTest, RecordsCarryNumberAndTime) {
    w.log.CloseLog();
    auto r = RunProgram(Cli() + " log records " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto v = Lines(r.out);
    ASSERT_EQ(v.size(), 250u);
    EXPECT_EQ(v[0]["nr"], 1);
    EXPECT_EQ(v[0]["dt"], "2026-12-08T10:00:00.123");
    EXPECT_EQ(v[1]["dt"], "2026-12-08T10:00:01.123");
    EXPECT_EQ(v[0]["lg"], 40);
    EXPECT_EQ(v[0]["ta"], 3);
    EXPECT_EQ(v[0]["bytes"].get<std::string>().substr(0, 11), "00 01 02 03");
    EXPECT_EQ(v[249]["nr"], 250);
}

TEST_F(CliLogTest, ALogStillBeingWrittenIsReadWithoutChangingIt) {
    // The recorder still runs: the file on disk has what the last block write put there.
    auto before = test::FileBytes(name);
    auto r = RunProgram(Cli() + " log info " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["recovered"], true);
    EXPECT_GE(j["count"].get<int>(), 249);
    EXPECT_EQ(test::FileBytes(name), before);
}

TEST_F(CliLogTest, NotALog) {
    std::string p = dir + "no.lg1";
    {
        std::ofstream f(p);
        f << "hello";
    }
    auto r = RunProgram(Cli() + " log records " + Quote(p));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(p), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(RunProgram(Cli() + " log").exitCode, 2);
}

} // namespace
} // namespace vdl
