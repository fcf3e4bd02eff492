// Lines that go away and ports that cannot be opened, on real pseudo-terminals: the channel
// notices a closed far end, logs it, and opens the same device again when it is back; the
// command-line monitor says so and carries on, and names the device and the reason when a port
// cannot be opened.
#include "link/port_list.h"
#include "platform/program_host.h"
#include "ui/log_view.h"
#include "ui/main_window.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTableWidget>

#include <filesystem>
#include <memory>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

std::string DeviceOf(const T_Telegramm& opened) {
    return std::string(reinterpret_cast<const char*>(opened.b + 28),
                       static_cast<size_t>(opened.lg - 28));
}

// Collects the child's output until pred holds for it or the time is up.
bool ReadUntil(QProcess& proc, std::string& out, std::string& err,
               const std::function<bool()>& pred, int ms = 8000) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms) {
        proc.waitForReadyRead(50);
        out += proc.readAllStandardOutput().toStdString();
        err += proc.readAllStandardError().toStdString();
    }
    return pred();
}

size_t Lines(const std::string& s) {
    return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}

std::vector<fs::path> LogsBelow(const std::string& dir) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         it != fs::recursive_directory_iterator(); ++it)
        if (it->path().extension() == ".lg1") out.push_back(it->path());
    return out;
}

} // namespace

TEST(LostLine, TheChannelNoticesAClosedFarEndAndOpensTheDeviceAgainWhenItIsBack) {
    QtApp();
    PrivateFolders("lost-inproc");
    std::string dir = TempDir("lost-inproc-log");
    FakeMessages msg;
    ProgramHost host(BinDir(), msg);
    Program& p = host.prog();
    p.persistSettings = false;
    ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
    p.av.dtLog = dir + "lost.lg1";
    host.Run({p.texts.tx(673)});
    // The channel's device is a link, which the test points at one pseudo-terminal and then
    // at another, as a udev link follows an adapter that is plugged in again.
    std::string link = dir + "line";
    auto first = std::make_unique<Pty>();
    fs::create_symlink(first->slave, link);
    host.BindDevice(0, link);
    p.com[1].bp.cnr = 0;
    std::vector<T_Telegramm> got;
    p.onLogged = [&](const T_Telegramm& te) { got.push_back(te); };
    std::vector<int> changes;
    p.onLineChanged = [&](int i) { changes.push_back(i); };
    p.SetOnline(true);
    ASSERT_TRUE(p.com[0].se.open) << (msg.errors.empty() ? "" : msg.errors[0]);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(DeviceOf(got[0]), link) << "the opening record names the device";

    got.clear();
    first.reset(); // the far end closes
    ASSERT_TRUE(RunLoopUntil([&] { return p.svc->Lost(0); }));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].stat, ST_MESSAGE_IO);
    EXPECT_NE(got[0].s0().find(link), std::string::npos) << got[0].s0();
    EXPECT_EQ(got[1].stat, ST_CHANNEL_CLOSE);
    EXPECT_TRUE(p.av.online) << "the program stays online";
    EXPECT_TRUE(msg.errors.empty()) << "no message box for a lost line";
    EXPECT_EQ(changes, std::vector<int>{0});

    Pty second;
    fs::remove(link);
    fs::create_symlink(second.slave, link);
    ASSERT_TRUE(RunLoopUntil([&] { return !p.svc->Lost(0); }, 6000));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].stat, ST_CHANNEL_OPEN);
    EXPECT_EQ(DeviceOf(got[2]), link);
    EXPECT_EQ(changes, (std::vector<int>{0, 0}));
    // It receives on the device that came back.
    second.Play({0xE5});
    ASSERT_TRUE(RunLoopUntil([&] { return got.size() == 4; }));
    EXPECT_EQ(got[3].b[0], 0xE5);
    p.SetOnline(false);
    host.Shutdown();
}

TEST(LostLine, TheDesktopShowsTheDeviceAndItsLossInTheStatusBarAndTheGrid) {
    FakeMessages msg;
    ProgramHost host((QtApp(), PrivateFolders("lost-gui"), BinDir()), msg);
    Program& p = host.prog();
    p.persistSettings = false;
    ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
    p.av.dtLog = TempDir("lost-gui-log") + "gui.lg1";
    TfmMain w(host);
    w.onClose = [&] { host.Shutdown(); };
    host.Run({p.texts.tx(673)});
    w.AfterStart();
    w.show();
    ASSERT_TRUE(RunLoopUntil([&] { return p.av.Tick > p.av.OpenUhr + 1; }));
    auto pty = std::make_unique<Pty>();
    std::string dev = pty->slave;
    host.BindDevice(0, dev);
    p.com[1].bp.cnr = 0;
    w.Action("aGoOnl")->trigger();
    ASSERT_TRUE(p.com[0].se.open);
    auto cell = [&] {
        QTableWidgetItem* it = w.view()->grid()->item(1, 7);
        return it ? it->text().toStdString() : std::string();
    };
    std::string shown = p.texts.tx(1280) + ": " + dev;
    EXPECT_EQ(w.PanelText(kPanelPorts).toStdString(), shown);
    ASSERT_TRUE(RunLoopUntil([&] { return cell() == dev; }));

    pty.reset();
    std::string lost = Format(p.texts.tx(kTxPortLost), {dev});
    ASSERT_TRUE(RunLoopUntil([&] { return p.svc->Lost(0); }));
    EXPECT_EQ(w.PanelText(kPanelPorts).toStdString(), p.texts.tx(1280) + ": " + lost);
    EXPECT_NE(w.PanelColour(kPanelPorts), w.PanelColour(4));
    ASSERT_TRUE(RunLoopUntil([&] { return cell() == lost; }));
    EXPECT_TRUE(p.av.online);
    w.close();
}

TEST(LostLine, MonitorSaysSoOnStandardErrorAndCarriesOn) {
    QtApp();
    PrivateFolders("lost-cli");
    std::string dir = TempDir("lost-cli-log");
    auto pty = std::make_unique<Pty>();
    std::string slave = pty->slave;
    QProcess proc;
    proc.setProgram(QString::fromStdString(BinDir() + "vordal-cli"));
    proc.setArguments({"monitor", "--port1", QString::fromStdString(slave), "--records", "--log",
                       QString::fromStdString(dir + "lost.lg1")});
    proc.start();
    ASSERT_TRUE(proc.waitForStarted());
    std::string out, err;
    ASSERT_TRUE(ReadUntil(proc, out, err, [&] { return Lines(out) >= 1; })) << err;

    pty.reset();
    ASSERT_TRUE(ReadUntil(proc, out, err, [&] { return err.find(slave) != std::string::npos; }))
        << err;
    EXPECT_NE(err.find("Line lost on " + slave), std::string::npos) << err;
    // The message and the closing record are printed like every record.
    ASSERT_TRUE(ReadUntil(proc, out, err, [&] { return Lines(out) >= 3; })) << out;
    EXPECT_NE(out.find("\"stat\":33"), std::string::npos);
    EXPECT_NE(out.find("\"stat\":49"), std::string::npos);
    EXPECT_EQ(proc.state(), QProcess::Running);

    proc.terminate();
    ASSERT_TRUE(proc.waitForFinished(8000));
    EXPECT_EQ(proc.exitCode(), 0);
}

TEST(PortNames, ADeviceBoundInTheDesktopIsKnownAfterARestart) {
    QtApp();
    PrivateFolders("ports-restart");
    std::string dev = "/dev/serial/by-id/usb-vordal-test-if00";
    int n = 0;
    {
        FakeMessages msg;
        ProgramHost host(BinDir(), msg);
        ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
        host.Run({});
        host.BindDevice(0, dev);
        n = host.prog().com[0].bp.cnr;
        EXPECT_GE(n, kFirstBoundPort);
        host.Shutdown();
    }
    FakeMessages msg;
    ProgramHost host(BinDir(), msg);
    ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
    EXPECT_EQ(host.prog().ports.DevicePath(n), dev);
    EXPECT_EQ(host.prog().ports.Bind(dev), n);
}

TEST(PortErrors, MonitorNamesTheDeviceAndWhyAndLeavesNoEmptyLog) {
    PrivateFolders("port-errors");
    std::string data = std::getenv("XDG_DATA_HOME");
    std::string dir = TempDir("port-errors-log");
    std::string cli = Quote(BinDir() + "vordal-cli");

    // The automatic log and a named new log are not left behind.
    for (std::string extra : {std::string(), " --log " + Quote(dir + "new.lg1")}) {
        ProcessResult r = RunProgram(cli + " monitor --port1 /dev/ttyNOPE-vordal" + extra);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("/dev/ttyNOPE-vordal cannot be opened: No such file or directory"),
                  std::string::npos)
            << r.err;
        EXPECT_TRUE(LogsBelow(data).empty());
        EXPECT_TRUE(LogsBelow(dir).empty());
    }
    // A log that was there stays.
    Pty pty;
    ProcessResult made = RunProgram(cli + " monitor --port1 " + Quote(pty.slave) +
                                    " --duration 0 --log " + Quote(dir + "kept.lg1"));
    ASSERT_EQ(made.exitCode, 0) << made.err;
    auto size = fs::file_size(dir + "kept.lg1");
    ProcessResult r =
        RunProgram(cli + " monitor --port1 /dev/null --log " + Quote(dir + "kept.lg1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("/dev/null cannot be opened: Not a serial port"), std::string::npos)
        << r.err;
    ASSERT_TRUE(fs::exists(dir + "kept.lg1"));
    EXPECT_EQ(fs::file_size(dir + "kept.lg1"), size);
}
