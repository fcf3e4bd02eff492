// vordal-cli emulate: its options and exit codes, parameter set and data directory, and the
// controlling station against peer101 on a virtual line.
#include "app/program.h"
#include "core/param_set.h"
#include "core/records.h"
#include "integration/live_support.h"
#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/process.h"
#include "support/pty_line.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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
        {"--port1 /dev/null --data-dir /no/such/dir", 2},
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

TEST(Emulate, MonitorOnlyListensWhateverTheFunction) {
    PrivateFolders("monitor-passive");
    std::string dir = TempDir("monitor-passive-log");
    PtyEnd line;
    ProcessResult res =
        RunProgram(Cli() + " monitor --port1 " + Quote(line.name) +
                   " --function 1 --records --duration 1 --log " + Quote(dir + "m.vdl"));
    ASSERT_EQ(res.exitCode, 0) << res.err;
    char buf[64];
    EXPECT_LE(::read(line.master, buf, sizeof buf), 0) << "monitor sent something";
}

TEST(Emulate, ParameterSetFileAndDataDirectory) {
    PrivateFolders("emulate-params");
    std::string dir = TempDir("emulate-params-data");
    // A parameter set whose channel 1 polls station 9 and monitors; the command line makes it
    // the controlling station.
    FakeMessages msg;
    vdl::Program p(BinDir(), msg);
    ASSERT_TRUE(p.LoadStartTexts());
    p.com[0].bp.la.anz = 1;
    p.com[0].bp.la.a[0] = 9;
    p.com[0].bp.la.a[1] = 0xFF;
    p.com[0].bp.fkt = vdl::FKT_MONITOR;
    vdl::ParamSetEnv env = p.ParamEnv();
    const std::string set = dir + "set" + p.texts.tx(1223);
    ASSERT_TRUE(vdl::SaveParameterSet(env, set));

    Pty line;
    ProcessResult res = RunProgram(Cli() + " emulate --port1 " + Quote(line.slave) + " --params " +
                                   Quote(set) + " --function 1 --ch2-function 0 --data-dir " +
                                   Quote(dir) + " --qzt 100 --records --summary --duration 1");
    ASSERT_EQ(res.exitCode, 0) << res.err;
    std::vector<nlohmann::json> lines = JsonLines(res.out);
    ASSERT_FALSE(lines.empty());
    const nlohmann::json& ch = lines.back()["summary"]["channels"][0];
    EXPECT_EQ(ch["fkt"], 1);
    EXPECT_EQ(lines.back()["summary"]["channels"][1]["fkt"], 0);
    ASSERT_EQ(ch["stations"].size(), 1u);
    EXPECT_EQ(ch["stations"][0]["la"], 9);
    // The automatic log is kept in the data directory given.
    bool logThere = false;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        logThere = logThere || e.path().extension() == p.texts.tx(1200);
    EXPECT_TRUE(logThere);
    // A file that is no parameter set ends with 1 and the loader's message.
    std::ofstream(dir + "bad" + p.texts.tx(1223)) << "no parameters";
    res = RunProgram(Cli() + " emulate --port1 " + Quote(line.slave) + " --params " +
                     Quote(dir + "bad" + p.texts.tx(1223)) + " --duration 0");
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_FALSE(res.err.empty());
}

// ---- Against peer101, a controlled station written from the standard alone ----

namespace {

int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
    return n;
}

struct EmulatePeer {
    VirtualLine line;
    std::string log;
    std::unique_ptr<ChildProgram> emu, peer;

    EmulatePeer(const std::string& name, const std::vector<std::string>& emuArgs,
                const std::vector<std::string>& peerArgs) {
        PrivateFolders(name);
        log = TempDir(name + "-log") + "e.vdl";
        std::vector<std::string> a = {"emulate",   "--port1",   line.a.name, "--function", "1",
                                      "--records", "--summary", "--log",     log};
        a.insert(a.end(), emuArgs.begin(), emuArgs.end());
        emu = std::make_unique<ChildProgram>(BinDir() + "vordal-cli", a);
        StartPeer(peerArgs);
    }
    void StartPeer(const std::vector<std::string>& peerArgs) {
        std::vector<std::string> b = {"--role",      "secondary", "--port",       line.b.name,
                                      "--ca-length", "2",         "--ioa-length", "3"};
        b.insert(b.end(), peerArgs.begin(), peerArgs.end());
        peer = std::make_unique<ChildProgram>(BinDir() + "peer101", b);
    }
    bool Until(const std::function<bool()>& done) {
        return line.Run({emu.get(), peer.get()}, done);
    }
    // The records of the emulating channel with a given stat and link address.
    int Records(int stat, int la) const {
        int n = 0;
        for (const std::string& l : emu->Lines()) {
            if (l.empty() || l[0] != '{' || l.find("\"summary\"") != std::string::npos) continue;
            nlohmann::json j = nlohmann::json::parse(l);
            if (j["stat"] == stat && j["la"] == la) ++n;
        }
        return n;
    }
    // Requests of the emulating channel to a station answered correctly: frames received with
    // verdict 40 from that station.
    int Answers(int la) const {
        int n = 0;
        for (const std::string& l : emu->Lines()) {
            if (l.empty() || l[0] != '{' || l.find("\"summary\"") != std::string::npos) continue;
            nlohmann::json j = nlohmann::json::parse(l);
            if (j["ek"] == 1 && j["stat"] == 40 && j["la"] == la) ++n;
        }
        return n;
    }
    nlohmann::json Summary() const {
        std::vector<std::string> l = emu->Lines();
        return l.empty() ? nlohmann::json() : nlohmann::json::parse(l.back())["summary"];
    }
};

} // namespace

TEST(EmulateAgainstPeer, OneStationIsResetAndPolled) {
    EmulatePeer r("emulate-peer-one", {"--link-addresses", "1"}, {"--addresses", "1"});
    ASSERT_TRUE(r.Until([&] { return r.Records(vdl::ST_LINK_UP, 1) == 1 && r.Answers(1) >= 20; }))
        << r.emu->err << r.peer->out;
    ASSERT_TRUE(r.line.Stop({r.emu.get(), r.peer.get()}));
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(r.peer->ExitCode(), 0) << "the peer judged a fault:\n" << r.peer->out;
    EXPECT_NE(r.peer->out.find("\"faults\":0,"), std::string::npos);
    nlohmann::json s = r.Summary();
    ASSERT_TRUE(s.is_object()) << r.emu->out;
    EXPECT_EQ(s["channels"][0]["stations"][0]["link"], "up");
    EXPECT_EQ(s["channels"][0]["stations"][0]["linksLost"], 0);
    EXPECT_EQ(s["channels"][0]["receivedErrors"], 0);
    EXPECT_EQ(r.Records(vdl::ST_LINK_LOST, 1), 0);
}

TEST(EmulateAgainstPeer, TwoStationsOneSilent) {
    EmulatePeer r("emulate-peer-two", {"--link-addresses", "1,2", "--wh", "1", "--qzt", "100"},
                  {"--addresses", "1,2", "--silent", "2"});
    const std::string toTwo = "\"bytes\":\"10 49 02 4B 16\"";
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_LINK_UP, 1) == 1 && r.Answers(1) >= 20 &&
               Count(r.emu->out, toTwo) >= 3;
    })) << r.emu->err;
    ASSERT_TRUE(r.line.Stop({r.emu.get(), r.peer.get()}));
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(r.peer->ExitCode(), 0) << r.peer->out;
    EXPECT_EQ(r.Records(vdl::ST_LINK_UP, 2), 0);
    EXPECT_EQ(r.Answers(2), 0);
    nlohmann::json st = r.Summary()["channels"][0]["stations"];
    ASSERT_EQ(st.size(), 2u);
    EXPECT_EQ(st[0]["link"], "up");
    EXPECT_EQ(st[1]["link"], "down");
    EXPECT_EQ(st[1]["linksLost"], 0);
}

TEST(EmulateAgainstPeer, ALostStationIsReportedOnceAndResetWhenItAnswersAgain) {
    EmulatePeer r("emulate-peer-lost", {"--link-addresses", "7", "--wh", "2", "--qzt", "100"},
                  {"--addresses", "7"});
    ASSERT_TRUE(r.Until([&] { return r.Answers(7) >= 5; })) << r.emu->err;
    // The station goes away: its polls are repeated twice, then the link is lost, once.
    ASSERT_TRUE(r.line.Stop({r.peer.get()}));
    const int before = Count(r.emu->out, "\"ek\":2");
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_LINK_LOST, 7) == 1 && Count(r.emu->out, "\"ek\":2") >= before + 8;
    })) << r.emu->err;
    EXPECT_EQ(r.Records(vdl::ST_LINK_LOST, 7), 1);
    // It comes back: its status is asked for, its link reset and established again.
    r.line.b.Drain();
    r.StartPeer({"--addresses", "7"});
    ASSERT_TRUE(r.Until([&] { return r.Records(vdl::ST_LINK_UP, 7) == 2 && r.Answers(7) >= 10; }))
        << r.emu->err;
    ASSERT_TRUE(r.line.Stop({r.emu.get(), r.peer.get()}));
    EXPECT_EQ(r.peer->ExitCode(), 0) << r.peer->out;
    EXPECT_EQ(r.Summary()["channels"][0]["stations"][0]["linksLost"], 1);
}
