// The platform layer against real pseudo-terminals.
#include "link/port_names.h"
#include "platform/qt_instance_lock.h"
#include "platform/serial_devices.h"
#include "platform/termios_port.h"
#include "platform/virtual_line.h"

#include "integration/qt_env.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

using namespace vdl;
using vdl::test::RunLoopUntil;

namespace {

// Collects what a port delivers, as the channel service would: blocks with their error.
struct Collector : SerialPortEvents {
    SerialPort* port = nullptr;
    std::vector<uint8_t> bytes;
    std::vector<uint16_t> errors;
    int triggers = 0;
    void OnDataAvailable(int count) override {
        std::vector<uint8_t> buf(static_cast<size_t>(count));
        int n = port->Read(buf.data(), count);
        bytes.insert(bytes.end(), buf.begin(), buf.begin() + n);
        errors.push_back(port->LineError());
    }
    void OnStatusTrigger(uint16_t) override { ++triggers; }
};

struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        grantpt(master);
        unlockpt(master);
        slave = ptsname(master);
    }
    ~Pty() { ::close(master); }
    std::vector<uint8_t> ReadAll() {
        std::vector<uint8_t> out;
        uint8_t buf[512];
        ssize_t r;
        while ((r = ::read(master, buf, sizeof buf)) > 0) out.insert(out.end(), buf, buf + r);
        return out;
    }
};

} // namespace

TEST(SerialDevices, BoundDevicesAreListedWhilePresent) {
    Pty pty;
    PortNames names(false);
    int present = names.Bind(pty.slave);
    int gone = names.Bind("/dev/pts/vordal-none");
    std::vector<int> ports = EnumeratePorts(names);
    EXPECT_NE(std::find(ports.begin(), ports.end(), present), ports.end());
    EXPECT_EQ(std::find(ports.begin(), ports.end(), gone), ports.end());
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end()));
    // Every device the system lists has a number.
    for (const std::string& d : SerialDevices()) EXPECT_GT(names.NumberOf(d), 0) << d;
}

TEST(TermiosPort, ReceivesAndSendsOnAPseudoTerminal) {
    vdl::test::QtApp();
    Pty pty;
    PortNames names(false);
    TermiosPort port(names);
    Collector col;
    col.port = &port;
    port.SetEvents(&col);
    port.SetPortNumber(names.Bind(pty.slave));
    port.SetLine(9600, PAR_EVEN, 8, 1);
    ASSERT_TRUE(port.Open()) << port.FaultText();

    // 0xFF must arrive as one byte although the driver marks errors with it.
    const uint8_t frame[] = {0x10, 0x5B, 0x01, 0x5C, 0x16, 0xFF, 0x00, 0xFF};
    ASSERT_EQ(::write(pty.master, frame, sizeof frame), static_cast<ssize_t>(sizeof frame));
    ASSERT_TRUE(RunLoopUntil([&] { return col.bytes.size() >= sizeof frame; }));
    EXPECT_EQ(col.bytes, std::vector<uint8_t>(frame, frame + sizeof frame));
    for (uint16_t e : col.errors) EXPECT_EQ(e, LE_NONE);

    const uint8_t out[] = {0xE5, 0x68, 0xFF};
    port.Write(out, 3);
    std::vector<uint8_t> got;
    ASSERT_TRUE(RunLoopUntil([&] {
        auto part = pty.ReadAll();
        got.insert(got.end(), part.begin(), part.end());
        return got.size() >= 3;
    }));
    EXPECT_EQ(got, std::vector<uint8_t>(out, out + 3));

    // A pseudo-terminal has no modem lines: reported once, nothing fails.
    port.SetRts(true);
    port.SetRts(false);
    EXPECT_EQ(port.ModemStatus() & 0xF0, 0);
    port.ArmModemStatusTrigger(port.AddModemStatusTrigger(), MS_DCD);
    int rtsNotes = 0;
    for (const auto& n : port.Notes()) rtsNotes += n.find("RTS") != std::string::npos;
    EXPECT_EQ(rtsNotes, 1);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(TermiosPort, OpenSaysWhyItFails) {
    PortNames names(false);
    TermiosPort port(names);
    struct Row {
        int number;
        PortFault fault;
    } rows[] = {
        {names.Bind("/dev/does-not-exist-vordal"), PortFault::NoDevice},
        {names.Bind("/dev/null"), PortFault::NotSerial},
        {300, PortFault::Unbound},
    };
    for (const Row& r : rows) {
        port.SetPortNumber(r.number);
        EXPECT_FALSE(port.Open()) << r.number;
        EXPECT_EQ(port.Fault(), r.fault) << r.number;
        EXPECT_FALSE(port.FaultText().empty()) << r.number;
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(VirtualLine, CarriesBytesBothWays) {
    vdl::test::QtApp();
    VirtualLine line;
    ASSERT_TRUE(line.Create()) << line.Error();
    PortNames names(false);
    TermiosPort a(names), b(names);
    Collector ca, cb;
    ca.port = &a;
    cb.port = &b;
    a.SetEvents(&ca);
    b.SetEvents(&cb);
    a.SetPortNumber(names.Bind(line.EndA()));
    b.SetPortNumber(names.Bind(line.EndB()));
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    std::vector<uint8_t> big(3000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    a.Write(big.data(), static_cast<int>(big.size()));
    const uint8_t back[] = {0xE5};
    b.Write(back, 1);
    ASSERT_TRUE(
        RunLoopUntil([&] { return cb.bytes.size() >= big.size() && ca.bytes.size() >= 1; }));
    EXPECT_EQ(cb.bytes, big);
    EXPECT_EQ(ca.bytes, std::vector<uint8_t>(back, back + 1));
}

TEST(InstanceLock, TwoSlotsAndNoThird) {
    std::string dir = vdl::test::TempDir("locks");
    QtInstanceLock first(dir), second(dir), third(dir);
    EXPECT_TRUE(first.TryAcquire("VdlKelmar1"));
    EXPECT_FALSE(second.TryAcquire("VdlKelmar1"));
    EXPECT_TRUE(second.TryAcquire("VdlKelmar2"));
    EXPECT_FALSE(third.TryAcquire("VdlKelmar1"));
    EXPECT_FALSE(third.TryAcquire("VdlKelmar2"));
    {
        QtInstanceLock gone(dir);
        EXPECT_TRUE(gone.TryAcquire("VdlKelmar3"));
    }
    // Released with its holder.
    EXPECT_TRUE(third.TryAcquire("VdlKelmar3"));
}
