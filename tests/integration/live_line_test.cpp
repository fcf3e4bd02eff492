// The whole receive path on live lines: a recorded exchange written into pseudo-terminals, in
// pieces, received by the program's channels and logged; the same through vordal-cli monitor.
#include "platform/program_host.h"

#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "integration/live_support.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vdl;
using namespace vdl::test;

namespace {


void ConfigureLikeTheExchange(Program& p) {
    p.ap.lgla = 1;
    p.ap.mitori = 1;
    for (T_ComVar& c : p.com) {
        c.bp.fkt = FKT_MONITOR;
        c.bp.pro = PRO_UNBALANCED;
        c.bp.vwe5 = 1;
    }
}

} // namespace

TEST(LiveLine, RecordedExchangeThroughTheChannels) {
    QtApp();
    PrivateFolders("live-inproc");
    std::string dir = TempDir("live-inproc-log");
    FakeMessages msg;
    ProgramHost host(BinDir(), msg);
    Program& p = host.prog();
    p.persistSettings = false;
    ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
    p.av.dtLog = dir + "live.vdl";
    host.Run({p.texts.tx(673)});
    ConfigureLikeTheExchange(p);
    Pty pty[2];
    host.BindDevice(0, pty[0].slave);
    host.BindDevice(1, pty[1].slave);
    std::vector<T_Telegramm> got;
    p.onLogged = [&](const T_Telegramm& te) { got.push_back(te); };
    p.SetOnline(true);
    ASSERT_TRUE(p.av.online) << (msg.errors.empty() ? "" : msg.errors[0]);
    ASSERT_EQ(got.size(), 2u); // both channels opened
    EXPECT_EQ(got[0].stat, ST_CHANNEL_OPEN);

    std::vector<Line> ex = Exchange();
    ASSERT_EQ(ex.size(), 32u);
    for (const Line& l : ex) {
        size_t before = got.size();
        pty[l.channel].Play(l.bytes, 3);
        ASSERT_TRUE(RunLoopUntil([&] { return got.size() > before; })) << "frame " << before;
    }
    ASSERT_EQ(got.size(), 2 + ex.size());
    for (size_t i = 2; i < got.size(); ++i) {
        const T_Telegramm& te = got[i];
        const Line& l = ex[i - 2];
        EXPECT_EQ(te.stat, ST_OK) << "record " << i;
        EXPECT_EQ(te.ek, l.channel == 0 ? 1 : 3);
        EXPECT_EQ(te.nr, got[i - 1].nr + 1);
        EXPECT_GE(te.dt, got[i - 1].dt);
        EXPECT_EQ(std::vector<uint8_t>(te.b, te.b + te.lg), l.bytes);
        if (l.bytes[0] == 0x68) {
            EXPECT_EQ(te.typ, l.bytes[6]);
            EXPECT_EQ(te.urs, l.bytes[8]);
            EXPECT_EQ(te.ca, l.bytes[10] | (l.bytes[11] << 8));
        }
    }
    p.SetOnline(false);
    host.Shutdown();
}

namespace {

// Reads the child's standard output until it holds n lines or the time is up.
std::vector<std::string> ReadLines(QProcess& proc, std::string& buf, size_t n, int ms = 8000) {
    QElapsedTimer t;
    t.start();
    std::vector<std::string> lines;
    auto split = [&] {
        lines.clear();
        std::istringstream in(buf);
        std::string l;
        while (std::getline(in, l)) lines.push_back(l);
    };
    split();
    while (lines.size() < n && t.elapsed() < ms) {
        proc.waitForReadyRead(100);
        buf += proc.readAllStandardOutput().toStdString();
        split();
    }
    return lines;
}

} // namespace

TEST(LiveLine, MonitorCommandRecordsAndClosesTheLogOnSigterm) {
    QtApp();
    PrivateFolders("live-cli");
    std::string dir = TempDir("live-cli-log");
    std::string logFile = dir + "monitor.vdl";
    Pty pty[2];
    QProcess proc;
    proc.setProgram(QString::fromStdString(BinDir() + "vordal-cli"));
    proc.setArguments({"monitor", "--port1", QString::fromStdString(pty[0].slave), "--port2",
                       QString::fromStdString(pty[1].slave), "--records", "--cot-length", "2",
                       "--log", QString::fromStdString(logFile)});
    proc.start();
    ASSERT_TRUE(proc.waitForStarted());
    std::string buf;
    ASSERT_EQ(ReadLines(proc, buf, 2).size(), 2u) << proc.readAllStandardError().toStdString();

    std::vector<Line> ex = Exchange();
    size_t expected = 2;
    for (const Line& l : ex) {
        pty[l.channel].Play(l.bytes, 3);
        ++expected;
        ASSERT_EQ(ReadLines(proc, buf, expected).size(), expected);
    }
    proc.terminate(); // SIGTERM
    ASSERT_TRUE(proc.waitForFinished(8000));
    EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(proc.exitCode(), 0);
    std::vector<std::string> printed = ReadLines(proc, buf, expected + 2, 100);
    ASSERT_EQ(printed.size(), expected + 2); // and the two closing records

    // Every printed telegram is in the log, which was closed cleanly.
    ProcessResult info = RunProgram(Quote(BinDir() + "vordal-cli") + " log info " + Quote(logFile));
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\"recovered\":false"), std::string::npos) << info.out;
    ProcessResult recs = RunProgram(Quote(BinDir() + "vordal-cli") + " log records " + Quote(logFile));
    std::vector<std::string> stored;
    std::istringstream in(recs.out);
    for (std::string l; std::getline(in, l);) stored.push_back(l);
    ASSERT_EQ(stored.size(), printed.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        // Same telegram: number and bytes agree.
        auto field = [](const std::string& j, const std::string& key) {
            size_t p = j.find("\"" + key + "\":");
            return p == std::string::npos ? std::string() : j.substr(p, j.find_first_of(",}", p) - p);
        };
        EXPECT_EQ(field(stored[i], "nr"), field(printed[i], "nr"));
        EXPECT_EQ(field(stored[i], "bytes"), field(printed[i], "bytes"));
        EXPECT_EQ(field(stored[i], "stat"), field(printed[i], "stat"));
    }
    for (size_t i = 2; i < 2 + ex.size(); ++i)
        EXPECT_NE(printed[i].find("\"stat\":40"), std::string::npos) << printed[i];

    // The export of the log (view format 7) lists the same telegrams: every number once or, for
    // frames with several objects, once per object.
    ProcessResult csv = RunProgram(Quote(BinDir() + "vordal-cli") + " log export " + Quote(logFile) +
                                   " --format 7 --out " + Quote(dir + "monitor.csv"));
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    std::ifstream cf(dir + "monitor.csv");
    std::vector<std::string> exported;
    for (std::string l; std::getline(cf, l);) {
        size_t semi = l.find(';');
        if (semi == std::string::npos || l.substr(0, semi).find_first_not_of("0123456789") != std::string::npos ||
            semi == 0)
            continue; // the column line and the end line
        if (exported.empty() || exported.back() != l.substr(0, semi)) exported.push_back(l.substr(0, semi));
    }
    ASSERT_EQ(exported.size(), printed.size());
    for (size_t i = 0; i < printed.size(); ++i) {
        size_t rel = i + 1; // the export numbers relative to the oldest telegram
        EXPECT_EQ(exported[i], std::to_string(rel));
    }
}
