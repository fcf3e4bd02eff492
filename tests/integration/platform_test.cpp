// The platform layer against real pseudo-terminals.
#include "platform/port_registry.h"
#include "platform/qt_instance_lock.h"
#include "platform/termios_port.h"
#include "platform/virtual_line.h"

#include "integration/qt_env.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

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

TEST(PortRegistry, NumbersAndDevices) {
    PortRegistry reg;
    EXPECT_EQ(reg.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(reg.DevicePath(65), "/dev/ttyUSB0");
    EXPECT_EQ(reg.DevicePath(130), "/dev/ttyACM1");
    EXPECT_EQ(reg.DevicePath(0), "");
    EXPECT_EQ(reg.DevicePath(256), "");
    EXPECT_EQ(reg.NumberOf("/dev/ttyUSB3"), 68);
    int a = reg.Bind("/dev/pts/7");
    int b = reg.Bind("/dev/pts/9");
    EXPECT_EQ(a, 256);
    EXPECT_EQ(b, 257);
    EXPECT_EQ(reg.Bind("/dev/pts/7"), 256);
    EXPECT_EQ(reg.Bind("/dev/ttyS1"), 2); // a device the rule names keeps its number
    EXPECT_EQ(reg.DevicePath(257), "/dev/pts/9");
    std::vector<int> ports = reg.Enumerate();
    EXPECT_NE(std::find(ports.begin(), ports.end(), 256), ports.end());
}

TEST(TermiosPort, ReceivesAndSendsOnAPseudoTerminal) {
    vdl::test::QtApp();
    Pty pty;
    PortRegistry reg;
    TermiosPort port(reg);
    Collector col;
    col.port = &port;
    port.SetEvents(&col);
    port.SetPortNumber(reg.Bind(pty.slave));
    port.SetLine(9600, PAR_EVEN, 8, 1);
    ASSERT_TRUE(port.Open()) << port.LastOsError();

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

TEST(TermiosPort, OpenFailsForAMissingDevice) {
    PortRegistry reg;
    TermiosPort port(reg);
    port.SetPortNumber(reg.Bind("/dev/does-not-exist-vordal"));
    EXPECT_FALSE(port.Open());
    EXPECT_NE(port.LastOsError().find("does-not-exist"), std::string::npos);
    port.SetPortNumber(300); // unbound number
    EXPECT_FALSE(port.Open());
}

TEST(VirtualLine, CarriesBytesBothWays) {
    vdl::test::QtApp();
    VirtualLine line;
    ASSERT_TRUE(line.Create()) << line.Error();
    PortRegistry reg;
    TermiosPort a(reg), b(reg);
    Collector ca, cb;
    ca.port = &a;
    cb.port = &b;
    a.SetEvents(&ca);
    b.SetEvents(&cb);
    a.SetPortNumber(reg.Bind(line.EndA()));
    b.SetPortNumber(reg.Bind(line.EndB()));
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    std::vector<uint8_t> big(3000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    a.Write(big.data(), static_cast<int>(big.size()));
    const uint8_t back[] = {0xE5};
    b.Write(back, 1);
    ASSERT_TRUE(RunLoopUntil([&] { return cb.bytes.size() >= big.size() && ca.bytes.size() >= 1; }));
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
