// modempeer as a program: its options and exit codes, and a whole session over two
// pseudo-terminals (the terminal side and the remote side) that this test holds. Every wait
// has a deadline; none is a fixed sleep.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The test keeps the program's end open and raw, so nothing written early is echoed or lost.
struct Pty {
    int master = -1, slave = -1;
    std::string name, received;

    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        name = ptsname(master);
        slave = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Pty() { ::close(master), ::close(slave); }
    void write(const std::string& s) {
        ASSERT_EQ(::write(master, s.data(), s.size()), ssize_t(s.size()));
    }
};

// A modempeer process: the test writes control commands to its standard input and reads its
// standard output and error from one pipe.
struct Child {
    pid_t pid = -1; // not started, or reaped: never signalled or waited for
    int in = -1, out = -1, status = -1;
    std::string text;

    explicit Child(std::vector<std::string> args) {
        int i[2], o[2];
        if (::pipe2(i, O_CLOEXEC) != 0 || ::pipe2(o, O_CLOEXEC) != 0) return;
        args.insert(args.begin(), MODEMPEER_PROGRAM);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(i[0], 0), ::dup2(o[1], 1), ::dup2(o[1], 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(i[0]), ::close(o[1]);
        in = i[1], out = o[0];
        fcntl(out, F_SETFL, O_NONBLOCK);
    }
    ~Child() {
        if (pid > 0) ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
        ::close(in), ::close(out);
    }
    void control(const std::string& line) {
        const std::string s = line + "\n";
        ASSERT_EQ(::write(in, s.data(), s.size()), ssize_t(s.size()));
    }
    bool saw(const std::string& s) const { return text.find(s) != std::string::npos; }
    bool finished() const { return pid <= 0 && out < 0; }
    int code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
};

// Gathers what the pseudo-terminals and the child give until done() holds or the deadline
// passes.
bool pump(std::vector<Pty*> ptys, Child& k, const std::function<bool()>& done) {
    const auto deadline = Clock::now() + 30s;
    char buf[4096];
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::vector<pollfd> fds{{k.out, POLLIN, 0}};
        for (Pty* p : ptys) fds.push_back({p->master, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 20);
        for (Pty* p : ptys)
            for (ssize_t n; (n = ::read(p->master, buf, sizeof buf)) > 0;)
                p->received.append(buf, std::size_t(n));
        ssize_t n = 0;
        while (k.out >= 0 && (n = ::read(k.out, buf, sizeof buf)) > 0)
            k.text.append(buf, std::size_t(n));
        if (n == 0 && k.out >= 0) ::close(k.out), k.out = -1;
        if (k.pid > 0 && ::waitpid(k.pid, &k.status, WNOHANG) == k.pid) k.pid = 0;
    }
    return true;
}

} // namespace

TEST(ModemProgram, OptionsAndExitCodes) {
    Pty pty;
    struct Row {
        std::vector<std::string> args;
        int code;
        std::string output;
    } rows[] = {
        {{"--help"}, 0, "usage: modempeer --port DEVICE"},
        {{"--baud", "9600"}, 2, "--port is required"},
        {{"--port", pty.name, "--connect-form", "wavy"},
         2,
         "--connect-form must be one of line, pieces, split, not 'wavy'"},
        {{"--port", pty.name, "--echo", "2"}, 2, "--echo needs a number from 0 to 1, not '2'"},
        {{"--port", pty.name, "--baud", "1000"}, 2, "no such bit rate: 1000"},
        {{"--port", pty.name, "--frobnicate", "1"}, 2, "unknown option --frobnicate"},
        {{"--port", "/nonexistent/tty"}, 1, "cannot open /nonexistent/tty"},
        {{"--port", pty.name, "--remote", "/nonexistent/r"}, 1, "cannot open /nonexistent/r"},
        {{"--port", pty.name, "--duration", "1", "--quiet"},
         0,
         "{\"summary\":true,\"end\":\"duration\",\"state\":\"command\",\"commands\":0,"},
    };
    for (const Row& r : rows) {
        Child c(r.args);
        ASSERT_GT(c.pid, 0);
        ASSERT_TRUE(pump({}, c, [&] { return c.finished(); })) << r.args[0];
        EXPECT_EQ(c.code(), r.code) << c.text;
        EXPECT_TRUE(c.saw(r.output)) << c.text;
    }
}

TEST(ModemProgram, DialsPassesDataAndHangsUp) {
    Pty tool, remote;
    Child c({"--port", tool.name, "--remote", remote.name, "--echo", "0", "--dial-delay-ms", "50",
             "--guard-ms", "100", "--connect-form", "split", "--ring-interval-ms", "60000"});
    ASSERT_GT(c.pid, 0);
    const std::string connect = "\r\nCONNECT\r\n9600\r\n";
    // Each step: what the tool writes (or a control command), and what it must then receive.
    auto step = [&](const std::string& write, const std::string& expect, Pty& at) {
        tool.received.clear(), remote.received.clear();
        if (write.rfind("control:", 0) == 0)
            c.control(write.substr(8));
        else if (write.rfind("remote:", 0) == 0)
            remote.write(write.substr(7));
        else
            tool.write(write);
        return pump({&tool, &remote}, c, [&] { return at.received == expect; });
    };
    EXPECT_TRUE(step("AT\r\n", "\r\nOK\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("ATJ\r\n", "\r\nERROR\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("ATD5551234\r\n", connect, tool)) << tool.received;
    const std::string frame = {0x10, 0x49, 0x01, 0x4A, 0x16};
    EXPECT_TRUE(step(frame, frame, remote)) << remote.received;
    const auto lastData = Clock::now();
    EXPECT_TRUE(step("remote:\xE5", "\xE5", tool)) << tool.received;
    // The escape needs the guard time of silence before it: that wait is the tool's part.
    ASSERT_TRUE(pump({&tool, &remote}, c, [&] { return Clock::now() > lastData + 150ms; }));
    EXPECT_TRUE(step("+++", "\r\nOK\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("ATH\r\n", "\r\nOK\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("control:ring", "\r\nRING\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("ATA\r\n", connect, tool)) << tool.received;
    EXPECT_TRUE(step("control:remote-hangup", "\r\nNO CARRIER\r\n", tool)) << tool.received;
    EXPECT_TRUE(step("ATD1\r\n", connect, tool)) << tool.received;
    EXPECT_TRUE(step("control:dtr-drop", "\r\nNO CARRIER\r\n", tool)) << tool.received;
    c.control("quit");
    ASSERT_TRUE(pump({&tool, &remote}, c, [&] { return c.finished(); })) << c.text;
    EXPECT_EQ(c.code(), 0);
    EXPECT_TRUE(c.saw("{\"event\":\"state\",")) << c.text;
    EXPECT_TRUE(c.saw(",\"text\":\"online-command\",\"why\":\"escape\"}")) << c.text;
    EXPECT_TRUE(c.saw("{\"summary\":true,\"end\":\"quit\",\"state\":\"command\",\"commands\":6,"
                      "\"connects\":3,\"hangups_ath\":1,\"hangups_dtr\":1,\"hangups_remote\":1,"
                      "\"rings\":1,\"errors\":1,\"bytes_to_remote\":8,\"bytes_from_remote\":1}"))
        << c.text;
}
