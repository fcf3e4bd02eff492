// vordal-cli emulate: its options and exit codes, and a controlling station polling a station
// that does not answer, on a pseudo-terminal.
#include "integration/live_support.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

using namespace vdl::test;

namespace {

std::string Cli() {
    return Quote(BinDir() + "vordal-cli");
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> v;
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] == '{') v.push_back(nlohmann::json::parse(l));
    return v;
}

} // namespace

TEST(Emulate, BadOptionsEndWithTwoAndAPortThatCannotBeOpenedWithOne) {
    PrivateFolders("emulate-options");
    struct Row {
        std::string args;
        int code;
    };
    const Row rows[] = {
        {"", 2},
        {"--port1 /dev/null --wh x", 2},
        {"--port1 /dev/null --ch2-qzt 0", 2},
        {"--port1 /dev/null --ch3-wh 1", 2},
        {"--port1 /dev/null --link-test 13", 2},
        {"--port1 /dev/null --link-addresses 1,300", 2},
        {"--port1 /dev/null --params /no/such/file.vdp", 1},
        {"--port1 /no/such/device --function 1 --duration 0", 1},
    };
    for (const Row& r : rows) {
        ProcessResult res = RunProgram(Cli() + " emulate " + r.args);
        EXPECT_EQ(res.exitCode, r.code) << r.args << "\n" << res.err;
        EXPECT_FALSE(res.err.empty()) << r.args;
    }
    ProcessResult help = RunProgram(Cli() + " emulate --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--ch1-NAME"), std::string::npos);
    EXPECT_NE(help.out.find("--zztpoll MS"), std::string::npos);
}

TEST(Emulate, ControllingStationAsksASilentStationForItsStatus) {
    PrivateFolders("emulate-silent");
    std::string dir = TempDir("emulate-silent-log");
    Pty line;
    ProcessResult res = RunProgram(Cli() + " emulate --port1 " + Quote(line.slave) +
                                   " --function 1 --ch2-function 0 --link-addresses 5 --qzt 100"
                                   " --records --summary --duration 1 --log " +
                                   Quote(dir + "e.vdl"));
    ASSERT_EQ(res.exitCode, 0) << res.err;
    std::vector<nlohmann::json> lines = JsonLines(res.out);
    ASSERT_GE(lines.size(), 4u);
    int requests = 0;
    for (const auto& j : lines)
        if (j.contains("bytes") && j["ek"] == 2 && j["stat"] == 40) {
            EXPECT_EQ(j["bytes"], "10 49 05 4E 16");
            ++requests;
        }
    EXPECT_GE(requests, 3) << "one status request per time-out";
    const nlohmann::json& s = lines.back()["summary"]["channels"];
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0]["fkt"], 1);
    EXPECT_EQ(s[1]["fkt"], 0);
    EXPECT_EQ(s[0]["sent"], requests);
    ASSERT_EQ(s[0]["stations"].size(), 1u);
    EXPECT_EQ(s[0]["stations"][0]["la"], 5);
    EXPECT_EQ(s[0]["stations"][0]["link"], "down");
    EXPECT_EQ(s[0]["stations"][0]["linksLost"], 0) << "a link never established is not lost";
    EXPECT_TRUE(s[1]["stations"].empty());
}
