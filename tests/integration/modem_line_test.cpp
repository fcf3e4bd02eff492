// vordal-cli emulate dialling through modempeer with peer101 behind it, each on its own virtual
// line: the dial command, the connect message in two pieces, the link procedure over the call,
// the hang-up when the station falls silent, and an incoming call answered.
#include "core/modem_file.h"
#include "core/records.h"
#include "integration/live_support.h"
#include "support/paths.h"
#include "support/process.h"
#include "support/pty_line.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <memory>

using namespace vdl::test;

namespace {

struct ModemCall {
    VirtualLine tool; // a: vordal-cli, b: the modem's terminal side
    VirtualLine line; // a: the modem's remote side, b: the station
    std::string control;
    std::unique_ptr<ChildProgram> emu, modem, station;

    ModemCall(const std::string& name, const std::vector<std::string>& emuArgs,
              const std::string& connectForm = "pieces") {
        PrivateFolders(name);
        const std::string dir = TempDir(name + "-run");
        control = dir + "modem.ctl";
        ::unlink(control.c_str());
        ::mkfifo(control.c_str(), 0600);
        modem = std::make_unique<ChildProgram>(
            BinDir() + "modempeer",
            std::vector<std::string>{"--port", tool.b.name, "--remote", line.a.name,
                                     "--connect-form", connectForm, "--piece-pause-ms", "500",
                                     "--dial-delay-ms", "300", "--control", control});
        StartStation();
        std::vector<std::string> a = {"emulate", "--port1",          tool.a.name, "--function",
                                      "1",       "--link-addresses", "1",         "--records",
                                      "--log",   dir + "e.vdl"};
        a.insert(a.end(), emuArgs.begin(), emuArgs.end());
        emu = std::make_unique<ChildProgram>(BinDir() + "vordal-cli", a);
    }
    void StartStation() {
        station = std::make_unique<ChildProgram>(
            BinDir() + "peer101",
            std::vector<std::string>{"--role", "secondary", "--port", line.b.name, "--addresses",
                                     "1", "--ca-length", "2", "--ioa-length", "3"});
    }
    std::vector<ChildProgram*> Kids() const {
        std::vector<ChildProgram*> k{emu.get(), modem.get()};
        if (station && !station->exited) k.push_back(station.get());
        return k;
    }
    bool Until(const std::function<bool()>& done) {
        return RunLines({&tool, &line}, Kids(), done, std::chrono::seconds(40));
    }
    void Control(const std::string& command) {
        const int fd = ::open(control.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        const std::string s = command + "\n";
        ASSERT_EQ(::write(fd, s.data(), s.size()), static_cast<ssize_t>(s.size()));
        ::close(fd);
    }
    // The records of the emulating channel with a stat, and for messages (52) and text lines
    // (51) a text they contain.
    int Records(int stat, const std::string& text = "") const {
        int n = 0;
        for (const std::string& l : emu->Lines()) {
            if (l.empty() || l[0] != '{') continue;
            const nlohmann::json j = nlohmann::json::parse(l);
            if (j["stat"] != stat) continue;
            std::string hex = j["bytes"], bytes;
            for (size_t i = 0; i + 1 < hex.size(); i += 3)
                bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
            if (bytes.find(text) != std::string::npos) ++n;
        }
        return n;
    }
    int Answers() const { return Records(vdl::ST_OK) / 2; }
    bool ModemSaid(const std::string& s) const { return modem->out.find(s) != std::string::npos; }
};

} // namespace

TEST(ModemLine, DialConnectIdleHangUpAndAnsweredCall) {
    ModemCall r("modem-line", {"--modem-idle", "2", "--modem-send", "ATD5551234@0.5"});
    // The dial command, the connect message in two pieces 500 ms apart (two lines), then the
    // link procedure runs over the call.
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_MESSAGE_TEXT, "connected") == 1 &&
               r.Records(vdl::ST_LINK_UP) == 1 && r.Answers() >= 5;
    })) << r.emu->out
        << r.emu->err << r.modem->out;
    EXPECT_EQ(r.Records(vdl::ST_TEXT_LINE, "ATD5551234\r\n"), 1);
    EXPECT_EQ(r.Records(vdl::ST_TEXT_LINE, "\r\nCONN"), 1);
    EXPECT_TRUE(r.ModemSaid("\"why\":\"dial 5551234\""));

    // The station falls silent: after the idle time the modem is taken to its commands by the
    // escape and hangs up on ATH; the dialogue waits again.
    ASSERT_TRUE(r.line.Stop({r.station.get()}));
    EXPECT_EQ(r.station->ExitCode(), 0) << r.station->out;
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_MESSAGE_TEXT, "idle") == 1 &&
               r.ModemSaid("\"text\":\"command\",\"why\":\"ATH\"") &&
               r.Records(vdl::ST_MESSAGE_TEXT, "waiting") == 2;
    })) << r.emu->out
        << r.modem->out;
    EXPECT_TRUE(r.ModemSaid("\"why\":\"escape\""));
    EXPECT_EQ(r.Records(vdl::ST_TEXT_LINE, "+++"), 1);

    // A call comes in: it is answered, and the station (back again) is polled over it.
    r.line.b.Drain();
    r.StartStation();
    const int before = r.Answers();
    r.Control("ring");
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_MESSAGE_TEXT, "connected") == 2 && r.Answers() >= before + 5;
    })) << r.emu->out
        << r.modem->out;
    EXPECT_EQ(r.Records(vdl::ST_TEXT_LINE, "ATA\r\n"), 1);
    EXPECT_TRUE(r.ModemSaid("\"why\":\"answer\""));

    r.Control("quit");
    ASSERT_TRUE(r.tool.Stop(r.Kids()));
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    EXPECT_EQ(r.station->ExitCode(), 0) << "the station judged a fault:\n" << r.station->out;
    EXPECT_NE(r.modem->out.find("\"connects\":2,\"hangups_ath\":1,"), std::string::npos)
        << r.modem->out;
}

TEST(ModemLine, ConnectOnTwoLinesAndTheMaximumTime) {
    // The modem puts CONNECT and the speed on two lines; the connection ends after its
    // maximum time although the station answers all the time.
    ModemCall r("modem-max",
                {"--modem-connect", "CONNECT 9600", "--modem-max", "10", "--modem-idle", "600",
                 "--modem-send", "ATD77"},
                "split");
    ASSERT_TRUE(r.Until([&] {
        return r.Records(vdl::ST_MESSAGE_TEXT, "maximum") == 1 &&
               r.ModemSaid("\"text\":\"command\",\"why\":\"ATH\"") &&
               r.Records(vdl::ST_MESSAGE_TEXT, "waiting") == 2;
    })) << r.emu->out
        << r.emu->err << r.modem->out;
    EXPECT_EQ(r.Records(vdl::ST_MESSAGE_TEXT, "connected"), 1);
    EXPECT_EQ(r.Records(vdl::ST_MESSAGE_TEXT, "idle"), 0);
    EXPECT_GE(r.Answers(), 5);
    r.Control("quit");
    ASSERT_TRUE(r.tool.Stop(r.Kids()));
    EXPECT_EQ(r.emu->ExitCode(), 0) << r.emu->err;
    // Only the escape, which the modem passes on, reached the station as no frame.
    EXPECT_NE(r.station->out.find("\"faults\":1,\"fault_reasons\":{\"octets outside a frame\":1}"),
              std::string::npos)
        << r.station->out;
}

TEST(ModemLine, ModemOptionsAndFiles) {
    PrivateFolders("modem-options");
    const std::string dir = TempDir("modem-options-files");
    vdl::T_Modem m = vdl::DefaultModem();
    m.connect.set("CONNECT 9600");
    std::string error;
    ASSERT_TRUE(vdl::WriteModemFile(dir + "good.mdm", m, error)) << error;
    std::vector<uint8_t> image(sizeof m);
    std::memcpy(image.data(), &m, sizeof m);
    for (size_t size : {191u, 193u}) {
        std::vector<uint8_t> d = image;
        d.resize(size);
        std::ofstream(dir + std::to_string(size) + ".mdm", std::ios::binary)
            .write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(size));
    }
    const std::string cli = Quote(BinDir() + "vordal-cli") + " emulate --port1 /dev/null ";
    struct Row {
        std::string args;
        int code;
    } rows[] = {
        {"--modem " + Quote(dir + "191.mdm"), 1},
        {"--modem " + Quote(dir + "193.mdm"), 1},
        {"--ch1-modem " + Quote(dir + "missing.mdm"), 1},
        {"--modem-idle 1", 2},
        {"--modem-max 1000001", 2},
        {"--modem-connect " + std::string(28, 'C'), 2},
        {"--modem-send ATD1@1 --ch2-modem-send AT@100000001", 2},
    };
    for (const Row& r : rows) {
        ProcessResult res = RunProgram(cli + r.args + " --duration 0");
        EXPECT_EQ(res.exitCode, r.code) << r.args << "\n" << res.err;
        EXPECT_FALSE(res.err.empty()) << r.args;
    }
    // A modem file's channel starts in the dialogue and sends its commands in their order.
    Pty line;
    ProcessResult res = RunProgram(Quote(BinDir() + "vordal-cli") + " emulate --port1 " +
                                   Quote(line.slave) + " --modem " + Quote(dir + "good.mdm") +
                                   " --modem-send ATZ --modem-send ATD1@0.2 --modem-send" +
                                   " ATE0 --records --duration 1");
    ASSERT_EQ(res.exitCode, 0) << res.err;
    char buf[64] = {};
    const ssize_t n = ::read(line.master, buf, sizeof buf - 1);
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0), "ATZ\r\nATE0\r\nATD1\r\n");
    EXPECT_NE(res.out.find("\"stat\":52"), std::string::npos) << res.out;
}
