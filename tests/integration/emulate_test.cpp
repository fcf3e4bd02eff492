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

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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
    const std::string dir = TempDir("emulate-options-dirs");
    // One device by two names; a data directory that does not exist yet.
    std::filesystem::create_symlink("/dev/null", dir + "null-link");
    const std::string made = dir + "made/data";
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
        {"--port1 /dev/null --link-addresses 1,2,1", 2},
        {"--port1 /dev/null --params /no/such/file.vdp", 1},
        {"--port1 /dev/null --data-dir /dev/null/dir", 2},
        {"--port1 /dev/null --port2 " + Quote(dir + "null-link"), 2},
        {"--port1 /dev/null --port2 /dev/null", 2},
        {"--port1 /dev/null --data-dir " + Quote(made) + " --duration 0", 1},
        {"--port1 /no/such/device --function 1 --duration 0", 1},
    };
    for (const Row& r : rows) {
        ProcessResult res = RunProgram(Cli() + " emulate " + r.args);
        EXPECT_EQ(res.exitCode, r.code) << r.args << "\n" << res.err;
        EXPECT_FALSE(res.err.empty()) << r.args;
    }
    EXPECT_TRUE(std::filesystem::is_directory(made));
    ProcessResult help = RunProgram(Cli() + " emulate --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--ch1-NAME"), std::string::npos);
    EXPECT_NE(help.out.find("--zztpoll MS"), std::string::npos);
    // Each option is listed once, with one meaning.
    std::map<std::string, int> listed;
    std::istringstream lines(help.out);
    for (std::string l; std::getline(lines, l);) {
        const size_t at = l.find_first_not_of(' ');
        if (at != std::string::npos && l.compare(at, 2, "--") == 0)
            ++listed[l.substr(at, l.find_first_of(" ,", at) - at)];
    }
    for (const char* o : {"--function", "--procedure", "--link-addresses", "--vwe5", "--zztl"})
        EXPECT_EQ(listed[o], 1) << o;
    for (const auto& [o, n] : listed) EXPECT_EQ(n, 1) << o;
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

// The run's settings are the program's defaults, --params and the options, never those of a
// log found in the data directory; a log with records keeps the settings it was recorded with.
TEST(Emulate, SettingsNeverComeFromALogAndALogKeepsItsOwn) {
    PrivateFolders("emulate-log-settings");
    const std::string dir = TempDir("emulate-log-settings-data");
    FakeMessages msg;
    vdl::Program p(BinDir(), msg);
    ASSERT_TRUE(p.LoadStartTexts());
    const std::string ext = p.texts.tx(1200);
    const std::string automatic = dir + p.texts.tx(1199) + ext;
    const std::string named = dir + "named" + ext;
    // Both logs recorded by a controlling station of station 7 (as the desktop may leave them).
    for (const std::string& log : {automatic, named})
        ASSERT_EQ(
            RunProgram(Cli() + " log write " + Quote(log) + " --function 1 --link-addresses 7",
                       "10 49 07 50 16\n")
                .exitCode,
            0);
    auto info = [](const std::string& log) {
        ProcessResult r = RunProgram(Cli() + " log info " + Quote(log));
        return r.exitCode == 0 ? nlohmann::json::parse(r.out) : nlohmann::json();
    };
    auto bytes = [](const std::string& f) {
        std::ifstream in(f, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    // Without --function the channels monitor (the default 0), whatever the automatic log
    // holds; that log is kept aside as it was and a new one begun.
    PtyEnd line;
    const nlohmann::json before = info(automatic);
    ProcessResult res = RunProgram(Cli() + " emulate --port1 " + Quote(line.name) + " --data-dir " +
                                   Quote(dir) + " --summary --duration 1");
    ASSERT_EQ(res.exitCode, 0) << res.err;
    std::vector<nlohmann::json> lines = JsonLines(res.out);
    ASSERT_FALSE(lines.empty());
    for (const nlohmann::json& ch : lines.back()["summary"]["channels"]) EXPECT_EQ(ch["fkt"], 0);
    char buf[64];
    EXPECT_LE(::read(line.master, buf, sizeof buf), 0) << "a monitoring channel sent";
    const std::string kept = dir + p.texts.tx(1199) + ".kept" + ext;
    EXPECT_NE(res.err.find(kept), std::string::npos) << res.err;
    const nlohmann::json aside = info(kept);
    for (const char* field : {"count", "fkt1", "dtneu"}) EXPECT_EQ(aside[field], before[field]);
    EXPECT_EQ(info(automatic)["fkt1"], 0);

    // A log named with --log is refused (2) when the run's settings differ, naming the
    // setting, and left as it was; with the log's settings the run appends to it.
    struct Row {
        std::string options;
        int exit;
        std::string said; // in the message of a refusal
    };
    const Row rows[] = {
        {"", 2, "--function 1"},
        {"--function 1", 2, "--link-addresses 7"},
        {"--function 1 --link-addresses 7 --cot-length 2", 2, "--cot-length 1"},
        {"--function 1 --link-addresses 7", 0, ""},
    };
    for (const Row& r : rows) {
        const std::string was = bytes(named);
        const int count = info(named)["count"];
        res = RunProgram(Cli() + " emulate --port1 " + Quote(line.name) + " --data-dir " +
                         Quote(dir) + " --log " + Quote(named) + " --duration 0 " + r.options);
        EXPECT_EQ(res.exitCode, r.exit) << r.options << "\n" << res.err;
        if (r.exit == 2) {
            EXPECT_NE(res.err.find(r.said), std::string::npos) << r.options << "\n" << res.err;
            EXPECT_TRUE(bytes(named) == was) << r.options;
        } else {
            EXPECT_GT(info(named)["count"], count) << r.options;
        }
    }
    // A log that cannot be created ends the run (1); nothing goes into another log instead.
    res = RunProgram(Cli() + " emulate --port1 " + Quote(line.name) + " --data-dir " + Quote(dir) +
                     " --log " + Quote(dir + "none/x.lg1") + " --duration 0");
    EXPECT_EQ(res.exitCode, 1) << res.err;
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
        std::vector<std::string> a = {"emulate",   "--port1", line.a.name, "--records",
                                      "--summary", "--log",   log};
        // The controlling station unless the test says otherwise.
        if (std::find(emuArgs.begin(), emuArgs.end(), "--function") == emuArgs.end())
            a.insert(a.end(), {"--function", "1"});
        a.insert(a.end(), emuArgs.begin(), emuArgs.end());
        emu = std::make_unique<ChildProgram>(BinDir() + "vordal-cli", a);
        StartPeer(peerArgs);
    }
    void StartPeer(const std::vector<std::string>& peerArgs) {
        std::vector<std::string> b = {"--port", line.b.name,    "--ca-length",
                                      "2",      "--ioa-length", "3"};
        if (std::find(peerArgs.begin(), peerArgs.end(), "--role") == peerArgs.end())
            b.insert(b.end(), {"--role", "secondary"});
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

// ---- The controlled station and both balanced stations against peer101 ----

namespace {

// The peer's summary line once it has ended.
nlohmann::json PeerSummary(const ChildProgram& peer) {
    for (const nlohmann::json& j : JsonLines(peer.out))
        if (j.contains("summary")) return j;
    return {};
}

// The peer ended well and judged nothing faulty, left no request unanswered, lost no link.
void ExpectPeerSatisfied(const ChildProgram& peer) {
    EXPECT_EQ(peer.ExitCode(), 0) << "the peer judged a fault:\n" << peer.out;
    const nlohmann::json p = PeerSummary(peer);
    EXPECT_EQ(p["faults"], 0);
    EXPECT_EQ(p["unanswered"], 0);
    EXPECT_EQ(p["links_lost"], 0);
}

// No frame received by the emulating channel was judged faulty.
int FaultyReceived(const ChildProgram& emu) {
    int n = 0;
    for (const nlohmann::json& j : JsonLines(emu.out))
        if (!j.contains("summary") && j["ek"] == 1 && j["stat"] < 40 && j["stat"] != 32) ++n;
    return n;
}

} // namespace

// ---- Send telegrams from text files, requested at set times or triggered ----

namespace {

// A telegram text file: the header of 16 fields, the second line, no raw bytes.
std::string TelegramFile(const std::string& dir, const std::string& name,
                         const std::string& header) {
    const std::string path = dir + name;
    std::ofstream(path, std::ios::binary) << header << "\r\n0;0;0;0;0;0;0;;\r\n0;\r\n";
    return path;
}

// The frames of the emulating channel of a direction (ek 1 received, 2 sent) whose ASDU begins
// with the given octets (from the type octet on; link address of one octet).
std::vector<nlohmann::json> Frames(const ChildProgram& emu, int ek, const std::string& asdu) {
    std::vector<nlohmann::json> v;
    for (const nlohmann::json& j : JsonLines(emu.out)) {
        if (!j.contains("bytes") || j["ek"] != ek) continue;
        const std::string b = j["bytes"];
        if (b.size() > 18 && b.compare(18, asdu.size(), asdu) == 0) v.push_back(j);
    }
    return v;
}

} // namespace

TEST(EmulateAgainstPeer, ControlledStationServesTheControllingStation) {
    EmulatePeer r("emulate-peer-controlled", {"--function", "2", "--link-addresses", "1"},
                  {"--role", "primary", "--addresses", "1", "--command-every", "2"});
    ASSERT_TRUE(r.Until([&] {
        return Count(r.peer->out, "clock synchronisation confirmed") >= 1 &&
               Count(r.peer->out, "command confirmed") >= 3;
    })) << r.emu->err
        << r.peer->out;
    ASSERT_TRUE(r.line.Stop({r.peer.get(), r.emu.get()}));
    ExpectPeerSatisfied(*r.peer);
    // The interrogation is confirmed (the station has no data to terminate it with).
    EXPECT_NE(r.peer->out.find("type=100 cot=7"), std::string::npos);
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(FaultyReceived(*r.emu), 0);
    EXPECT_EQ(r.Summary()["channels"][0]["stations"][0]["link"], "up");
}

TEST(EmulateAgainstPeer, EitherBalancedStation) {
    struct Row {
        const char* function; // of the emulating channel
        const char* role;     // of the peer
        const char* awaited;  // a note of the peer that shows the exchange works
    };
    const Row rows[] = {
        {"2", "balanced-a", "command confirmed"},                // the peer controls and commands
        {"1", "balanced-b", "test function for link a=1 dir=1"}, // our link tests answered
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.role);
        EmulatePeer r(
            std::string("emulate-peer-") + row.role,
            {"--function", row.function, "--procedure", "balanced", "--zztv", "1",
             "--link-addresses", "1"},
            {"--role", row.role, "--addresses", "1", "--command-every", "2", "--test-ms", "700"});
        ASSERT_TRUE(r.Until([&] {
            return Count(r.peer->out, row.awaited) >= 3 && r.Records(vdl::ST_LINK_UP, 1) == 1 &&
                   r.Records(vdl::ST_REMOTE_RESET, 1) >= 1;
        })) << r.emu->err
            << r.peer->out;
        ASSERT_TRUE(r.line.Stop({r.peer.get(), r.emu.get()}));
        ExpectPeerSatisfied(*r.peer);
        if (std::string(row.role) == "balanced-a") {
            EXPECT_GE(PeerSummary(*r.peer)["clock_syncs_confirmed"], 1);
            EXPECT_NE(r.peer->out.find("type=100 cot=7"), std::string::npos);
        }
        EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
        EXPECT_EQ(FaultyReceived(*r.emu), 0);
        EXPECT_EQ(r.Records(vdl::ST_LINK_LOST, 1), 0);
    }
}

// ---- The demonstration line ----

TEST(EmulateDemo, ChannelOnePollsChannelTwoOnALineOfItsOwn) {
    PrivateFolders("emulate-demo");
    const std::string log = TempDir("emulate-demo-log") + "d.vdl";
    ChildProgram emu(BinDir() + "vordal-cli", {"emulate", "--demo", "--zztpoll", "50", "--baud",
                                               "115200", "--records", "--summary", "--log", log});
    VirtualLine idle; // only its waiting: the programs own line carries the frames
    auto answered = [&](int ek) {
        int n = 0;
        for (const nlohmann::json& j : JsonLines(emu.out))
            if (!j.contains("summary") && j["ek"] == ek && j["stat"] == 40) ++n;
        return n;
    };
    ASSERT_TRUE(idle.Run({&emu}, [&] { return answered(1) >= 20 && answered(3) >= 20; }))
        << emu.err;
    ASSERT_TRUE(idle.Stop({&emu}));
    EXPECT_EQ(emu.ExitCode(), 0) << emu.err;
    int faulty = 0, lost = 0, up = 0;
    long nr = -1;
    bool continuous = true;
    for (const nlohmann::json& j : JsonLines(emu.out)) {
        if (j.contains("summary")) continue;
        if (j["stat"] < 40 && j["ta"] != 4) ++faulty;
        if (j["stat"] == 32) ++lost;
        if (j["stat"] == 45) ++up;
        if (nr >= 0 && j["nr"] != nr + 1) continuous = false;
        nr = j["nr"];
    }
    EXPECT_EQ(faulty, 0);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(up, 1);
    EXPECT_TRUE(continuous);
    const nlohmann::json s = JsonLines(emu.out).back()["summary"]["channels"];
    EXPECT_EQ(s[0]["fkt"], 1);
    EXPECT_EQ(s[1]["fkt"], 2);
    EXPECT_EQ(s[1]["stations"][0]["link"], "up");
    // The automatic log's head tells the demonstration's functions, so a second run appends to
    // it instead of keeping it aside.
    const std::string data = TempDir("emulate-demo-data");
    for (int run = 0; run < 2; ++run) {
        ProcessResult r =
            RunProgram(Cli() + " emulate --demo --data-dir " + Quote(data) + " --duration 0");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data),
                            std::filesystem::directory_iterator()),
              1);
    // Devices of its own: no ports to name.
    ProcessResult both = RunProgram(Cli() + " emulate --demo --port1 /dev/null --duration 0");
    EXPECT_EQ(both.exitCode, 2);
}

TEST(EmulateAgainstPeer, TelegramsFromFilesAreSentAtTheirTimesAndAnswered) {
    const std::string dir = TempDir("emulate-tel-files");
    const std::string gi = TelegramFile(dir, "gi.txt", "GA;0;0;1;2;0;0;0;1;100;6;0;1;0;20;0;");
    const std::string sc = TelegramFile(dir, "sc.txt", "EIN;0;0;1;2;0;0;0;1;45;6;0;1;100;1;0;");
    // A float set-point 12.5 with qualifier 200 (sent as 200 & 127 = 72).
    const std::string sp = dir + "sp.txt";
    std::ofstream(sp, std::ios::binary) << "SW;0;0;1;2;0;0;0;1;50;6;0;1;200;1095237632;0;\r\n"
                                           "0;0;200;0;0;0;0;;\r\n0;\r\n";
    EmulatePeer r("emulate-tel",
                  {"--link-addresses", "1", "--telegram", "1=" + gi, "--telegram", "2=" + sc,
                   "--telegram", "3=" + sp, "--request", "telegram:1@1.5", "--request",
                   "telegram:2@2.5", "--request", "telegram:3@3.5"},
                  {"--addresses", "1", "--measure-every", "0"});
    const std::string giAsdu = "64 01 06 01 00 00 00 00 14", scAsdu = "2D 01 06 01 00 64 00 00 01",
                      spAsdu = "32 01 06 01 00 C8 00 00 00 00 48 41 48";
    ASSERT_TRUE(r.Until([&] {
        return Frames(*r.emu, 1, "64 01 0A").size() == 1 &&
               Frames(*r.emu, 1, "2D 01 0A").size() == 1 && !Frames(*r.emu, 1, "32 01 0A").empty();
    })) << r.emu->err
        << r.emu->out;
    ASSERT_TRUE(r.line.Stop({r.emu.get(), r.peer.get()}));
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(r.peer->ExitCode(), 0) << "the peer judged a fault:\n" << r.peer->out;
    // Each telegram went out once, with user data and confirmation, in the order requested.
    const auto g = Frames(*r.emu, 2, giAsdu), c = Frames(*r.emu, 2, scAsdu),
               s = Frames(*r.emu, 2, spAsdu);
    ASSERT_EQ(g.size(), 1u);
    ASSERT_EQ(c.size(), 1u);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(g[0]["lc"].get<int>() & 0x4F, 0x53 & 0x4F);
    EXPECT_EQ(g[0]["stat"], 40);
    EXPECT_LT(g[0]["nr"].get<int>(), c[0]["nr"].get<int>());
    EXPECT_LT(c[0]["nr"].get<int>(), s[0]["nr"].get<int>());
    // None before its time after going online (the channel-open record; the log's time base
    // may move by some milliseconds when it is synchronised again).
    auto ms = [](const nlohmann::json& j) {
        const std::string t = j["dt"]; // ...THH:MM:SS.mmm
        return ((std::stoi(t.substr(11, 2)) * 60 + std::stoi(t.substr(14, 2))) * 60 +
                std::stoi(t.substr(17, 2))) *
                   1000 +
               std::stoi(t.substr(20, 3));
    };
    int open = -1;
    for (const nlohmann::json& j : JsonLines(r.emu->out))
        if (j.contains("stat") && j["stat"] == vdl::ST_CHANNEL_OPEN && open < 0) open = ms(j);
    ASSERT_GE(open, 0);
    EXPECT_GE(ms(g[0]) - open, 1500 - 60);
    EXPECT_GE(ms(c[0]) - open, 2500 - 60);
    EXPECT_GE(ms(s[0]) - open, 3500 - 60);
    // Confirmed and terminated: the interrogation with its objects, the command.
    EXPECT_EQ(Frames(*r.emu, 1, "64 01 07").size(), 1u);
    EXPECT_EQ(Frames(*r.emu, 1, "2D 01 07").size(), 1u);
    // The set-point is confirmed and terminated, each answer mirroring it; the station hands
    // the value back as a spontaneous measured float with a good quality.
    EXPECT_EQ(Frames(*r.emu, 1, "32 01 07 01 00 C8 00 00 00 00 48 41 48").size(), 1u);
    EXPECT_EQ(Frames(*r.emu, 1, "0D 01 03 01 00 C8 00 00 00 00 48 41 00").size(), 1u);
    EXPECT_EQ(Frames(*r.emu, 1, "32 01 0A 01 00 C8 00 00 00 00 48 41 48").size(), 1u);
}

TEST(EmulateAgainstPeer, AReceivedTypeTriggersItsTelegramOncePerFrame) {
    const std::string dir = TempDir("emulate-tel-trigger");
    // Mode 1 on type 13: a test command for every measured value received (periodic, cause 1).
    const std::string ts =
        TelegramFile(dir, "ts.txt", "PRUEF;1;13;1;2;0;0;0;1;104;6;0;1;0;21930;0;");
    EmulatePeer r("emulate-trigger", {"--link-addresses", "1", "--telegram", "4=" + ts},
                  {"--addresses", "1", "--measure-every", "3"});
    ASSERT_TRUE(r.Until([&] {
        const size_t got = Frames(*r.emu, 1, "0D 01 01").size();
        return got >= 4 && Frames(*r.emu, 2, "68 01 06 01 00 00 00 00 AA 55").size() == got;
    })) << r.emu->err;
    ASSERT_TRUE(r.line.Stop({r.emu.get(), r.peer.get()}));
    const size_t got = Frames(*r.emu, 1, "0D 01 01").size();
    const size_t sent = Frames(*r.emu, 2, "68 01 06 01 00 00 00 00 AA 55").size();
    EXPECT_TRUE(sent == got || sent + 1 == got) << sent << " sent for " << got;
}

TEST(Emulate, TelegramAndRequestOptionsAreChecked) {
    const std::string dir = TempDir("emulate-tel-options");
    const std::string one = dir + "one.txt";
    std::ofstream(one) << "only one line\n";
    // Two lines, but the first is no header: nonsense, and a type beyond 255.
    const std::string junk = dir + "junk.txt", big = dir + "big.txt";
    std::ofstream(junk) << "garbage\r\nmore garbage\r\n";
    std::ofstream(big) << "GA;0;0;1;1;0;0;0;1;999;6;0;1;0;20;0;\r\n0;0;0;0;0;0;0;\r\n";
    struct Row {
        std::string args;
        int code;
    } rows[] = {
        {"--telegram 13=" + Quote(one), 2},
        {"--telegram 1", 2},
        {"--telegram 1=" + Quote(dir + "missing.txt"), 1},
        {"--request telegram:0", 2},
        {"--request list:13@2", 2},
        {"--request lists:1", 2},
        {"--list 0=" + Quote(one), 2},
        {"--list 1=" + Quote(dir + "missing.txt"), 1},
        {"--feedback " + Quote(dir + "missing.txt"), 1},
        {"--list 1=" + Quote(one) + " --request list:1@0.5", 0},
        {"--request telegram:1@-1", 2},
        {"--request telegram:1@1.2345", 2},
        {"--telegram 1=" + Quote(one), 1}, // fewer than two lines
        {"--telegram 1=" + Quote(junk), 1},
        {"--telegram 1=" + Quote(big), 1},
    };
    Pty line;
    for (const Row& r : rows) {
        ProcessResult res = RunProgram(Cli() + " emulate --port1 " + Quote(line.slave) +
                                       " --function 1 --duration 0 " + r.args);
        EXPECT_EQ(res.exitCode, r.code) << r.args << "\n" << res.err;
    }
}

// ---- Send lists and the command feedback against peer101 as the controlling station ----

TEST(EmulateAgainstPeer, ListsGoInCyclesAndCommandsAreAnsweredThroughTheFeedbackTable) {
    const std::string dir = TempDir("emulate-lists-files");
    // List 1: three scaled measured values at consecutive addresses (a sequence), periodic,
    // every 300 ms without end; list 2: single points at 300 and 302, twice.
    const std::string l1 = dir + "mw.txt", l2 = dir + "ind.txt", fb = dir + "fb.txt";
    std::ofstream(l1, std::ios::binary) << "MW;0;0;0;2;0;300;0;1;11;1;0;1;0;0;0;\r\n"
                                           "1;1;100;11;1;0;1000;0;\r\n"
                                           "1;1;101;11;1;0;-2;0;\r\n"
                                           "1;1;102;11;1;0;3;0;\r\n";
    std::ofstream(l2, std::ios::binary) << "SP;0;0;2;2;0;0;0;1;1;3;0;1;0;0;0;\r\n"
                                           "1;1;300;1;3;0;1;0;\r\n"
                                           "0;1;301;1;3;0;1;0;\r\n"
                                           "1;1;302;1;3;0;0;0;\r\n";
    // The single command 1001 answers with its single point, the double command 1002 (a row
    // of seven fields: any qualifier) with its double point with time tag.
    std::ofstream(fb, std::ios::binary) << "1;0;\r\n"
                                           "1;1001;-1;1;1;1;1001;1;\r\n"
                                           "1;1002;1;1;1;1002;31;\r\n";
    EmulatePeer r("emulate-lists",
                  {"--function", "2", "--link-addresses", "1", "--list", "1=" + l1, "--list",
                   "2=" + l2, "--feedback", fb, "--request", "list:1@0.5", "--request", "list:2@1"},
                  {"--role", "primary", "--addresses", "1", "--command-every", "3"});
    ASSERT_TRUE(r.Until([&] {
        return Frames(*r.emu, 2, "0B 83 01").size() >= 3 &&
               Frames(*r.emu, 2, "01 02 03").size() == 2 &&
               Count(r.peer->out, "command confirmed") >= 2 &&
               !Frames(*r.emu, 2, "2E 01 0A").empty() && !Frames(*r.emu, 2, "2D 01 0A").empty();
    })) << r.emu->err
        << r.peer->out;
    ASSERT_TRUE(r.line.Stop({r.peer.get(), r.emu.get()}));
    ExpectPeerSatisfied(*r.peer);
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(FaultyReceived(*r.emu), 0);
    // The measured values: one sequence of three from address 100, each value as loaded.
    auto asdu = [](const nlohmann::json& f, size_t octets) {
        return f["bytes"].get<std::string>().substr(18, octets * 3 - 1);
    };
    for (const nlohmann::json& f : Frames(*r.emu, 2, "0B 83 01"))
        EXPECT_EQ(asdu(f, 17), "0B 83 01 01 00 64 00 00 E8 03 00 FE FF 00 03 00 00");
    // The single points: two objects, each with its address (301 is inactive).
    for (const nlohmann::json& f : Frames(*r.emu, 2, "01 02 03"))
        EXPECT_EQ(asdu(f, 13), "01 02 03 01 00 2C 01 00 01 2E 01 00 00");
    // Each executed command: confirmed, its object's state with cause 11, terminated (the last
    // may have been cut short by the end); the select before it only confirmed.
    auto expectEach = [&](const std::string& step, const std::string& of) {
        const size_t a = Frames(*r.emu, 2, step).size(), b = Frames(*r.emu, 2, of).size();
        EXPECT_GE(a, b) << step;
        EXPECT_LE(a, b + 1) << step;
    };
    ASSERT_GE(Frames(*r.emu, 2, "2D 01 0A").size(), 1u);
    expectEach("01 01 0B 01 00 E9 03 00 01", "2D 01 0A 01 00 E9 03 00 01");
    expectEach("1F 01 0B 01 00 EA 03 00 02", "2E 01 0A 01 00 EA 03 00 02");
    const size_t selects = Frames(*r.emu, 1, "2D 01 06 01 00 E9 03 00 81").size();
    const size_t confirmed = Frames(*r.emu, 2, "2D 01 07 01 00 E9 03 00 81").size();
    EXPECT_GE(selects, confirmed);
    EXPECT_LE(selects, confirmed + 1);
}
