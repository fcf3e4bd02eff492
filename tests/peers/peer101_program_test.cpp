// peer101 as a program: its options and exit codes, and two of them talking over
// pseudo-terminals that this test joins. Every wait has a deadline; none is a fixed sleep.
#include "iec101_peer.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;

// A pseudo-terminal for one peer. The test keeps the peer's end open and raw, so that
// nothing written before the peer starts is echoed back or lost.
struct Pty {
    int master = -1, slave = -1;
    std::string name, received;

    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        name = ptsname(master);
        slave = ::open(name.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~Pty() { ::close(master), ::close(slave); }
    void write(const peer101::Bytes& b) {
        ASSERT_EQ(::write(master, b.data(), b.size()), ssize_t(b.size()));
    }
};

// A peer101 process with standard output and error in one pipe.
struct Child {
    pid_t pid = -1;
    int out = -1, status = -1;
    bool exited = true;
    std::string text;

    explicit Child(const std::vector<std::string>& args) {
        int p[2];
        if (::pipe(p) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, p[1], 1);
        posix_spawn_file_actions_adddup2(&fa, p[1], 2);
        posix_spawn_file_actions_addclose(&fa, p[0]);
        posix_spawn_file_actions_addclose(&fa, p[1]);
        std::vector<char*> argv{const_cast<char*>(PEER101_PROGRAM)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // Until the spawn succeeded the child counts as exited: no process id of another is
        // ever signalled or waited for.
        exited = posix_spawn(&pid, PEER101_PROGRAM, &fa, nullptr, argv.data(), environ) != 0;
        if (exited) pid = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(p[1]);
        out = p[0];
        fcntl(out, F_SETFL, O_NONBLOCK);
    }
    ~Child() {
        if (!exited) ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
        if (out >= 0) ::close(out);
    }
    bool saw(const std::string& s) const { return text.find(s) != std::string::npos; }
    bool finished() const { return exited && (out < 0 || pid < 0); }
    int code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
    std::string summary() const {
        const auto at = text.find("{\"summary\"");
        return at == std::string::npos ? "" : text.substr(at);
    }
};

// Joins two pseudo-terminals (one is only read), gathers the children's output and reaps
// them, until done() holds or the deadline passes.
bool pump(std::vector<Pty*> ptys, std::vector<Child*> kids, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    char buf[4096];
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::vector<pollfd> fds;
        for (Pty* p : ptys) fds.push_back({p->master, POLLIN, 0});
        for (Child* k : kids)
            if (k->out >= 0) fds.push_back({k->out, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 50);
        for (std::size_t i = 0; i < ptys.size(); ++i) {
            for (ssize_t n; (n = ::read(ptys[i]->master, buf, sizeof buf)) > 0;) {
                if (ptys.size() == 2) ::write(ptys[1 - i]->master, buf, std::size_t(n));
                ptys[i]->received.append(buf, std::size_t(n));
            }
        }
        for (Child* k : kids) {
            ssize_t n = 0;
            while (k->out >= 0 && (n = ::read(k->out, buf, sizeof buf)) > 0)
                k->text.append(buf, std::size_t(n));
            if (n == 0 && k->out >= 0) ::close(k->out), k->out = -1;
            if (!k->exited && ::waitpid(k->pid, &k->status, WNOHANG) == k->pid) k->exited = true;
        }
    }
    return true;
}

bool stop(std::vector<Pty*> ptys, std::vector<Child*> kids) {
    for (Child* k : kids)
        if (!k->exited) ::kill(k->pid, SIGTERM);
    return pump(ptys, kids, [&] {
        for (Child* k : kids)
            if (!k->finished()) return false;
        return true;
    });
}

} // namespace

TEST(Program, OptionsAndExitCodes) {
    Pty pty;
    struct Row {
        std::vector<std::string> args;
        int code;
        std::string output;
    } rows[] = {
        {{"--help"}, 0, "usage: peer101 --role"},
        {{"--role", "primary"}, 2, "--port is required"},
        {{"--role", "observer", "--port", pty.name}, 2, "--role must be"},
        {{"--role", "primary", "--port", pty.name, "--cot-length", "3"},
         2,
         "--cot-length needs a number from 1 to 2, not '3'"},
        {{"--role", "primary", "--port", pty.name, "--addresses", "1,300"},
         2,
         "link address 300 does not fit 1 octets"},
        {{"--role", "primary", "--port", pty.name, "--link-address-length", "2", "--addresses",
          "300"},
         2,
         "link address 300 is no common address of 1 octets: give --ca"},
        {{"--role", "primary", "--port", pty.name, "--frobnicate", "1"},
         2,
         "unknown option --frobnicate"},
        {{"--role", "primary", "--port", pty.name, "--commands", "45@1001"},
         2,
         "--commands item '45@1001' is not TYPE[s]@IOA=VALUE"},
        {{"--role", "primary", "--port", pty.name, "--commands", "45@1=1,48s@3001=1"},
         2,
         "the value in '48s@3001=1' must be from -1 to below 1 for type 48"},
        {{"--role", "primary", "--port", pty.name, "--commands", "51@1=1"},
         2,
         "the type in '51@1=1' must be 45 to 50, or 58 to 63 with a time tag"},
        {{"--role", "primary", "--port", pty.name, "--commands", "63@1=1.5:soon"},
         2,
         "the time in '63@1=1.5:soon' must be seconds after the start, 0 or more"},
        {{"--role", "primary", "--port", pty.name, "--commands", "62@1=0.5"},
         2,
         "the value in '62@1=0.5' must be from -32768 to 32767 for type 62"},
        {{"--role", "primary", "--port", pty.name, "--commands", "62@1=1:2=3"},
         2,
         "the time in '62@1=1:2=3' must be seconds after the start, 0 or more"},
        {{"--role", "primary", "--port", pty.name, "--ioa-length", "1", "--commands", "49@256=1"},
         2,
         "command address 256 does not fit --ioa-length"},
        {{"--role", "secondary", "--port", "/nonexistent/tty"}, 1, "cannot open /nonexistent/tty"},
        {{"--role", "secondary", "--port", pty.name, "--duration", "1", "--quiet"},
         0,
         "{\"summary\":true,\"role\":\"secondary\",\"received\":0"},
    };
    for (const Row& r : rows) {
        Child c(r.args);
        ASSERT_GT(c.pid, 0);
        ASSERT_TRUE(pump({}, {&c}, [&] { return c.finished(); })) << r.args[0];
        EXPECT_EQ(c.code(), r.code) << c.text;
        EXPECT_TRUE(c.saw(r.output)) << c.text;
    }
}

TEST(Program, TwoPeersOverPseudoTerminals) {
    struct Row {
        std::vector<std::string> a, b;
        std::vector<std::string> aReports; // what station A must have said before it is stopped
        std::string aSummary;
        std::vector<std::string> bSays{}; // what station B must have said by the end
    } rows[] = {
        {{"--role", "primary", "--addresses", "1,2", "--timeout-ms", "400", "--retries", "1",
          "--poll-ms", "50", "--command-every", "3"},
         {"--role", "secondary", "--addresses", "1,2", "--silent", "2"},
         {"interrogation terminated", "clock synchronisation confirmed", "command confirmed",
          "link lost: station 2"},
         "\"faults\":0,\"fault_reasons\":{},\"unanswered\":"},
        {{"--role", "primary", "--poll-ms", "50", "--commands",
          "45s@1001=1,48@3001=0.5,49@3002=-120,50s@3003=12.5,45@9999=1,62@3004=300:1"},
         {"--role", "secondary", "--known-ioas", "1001,3001,3002,3003,3004"},
         {"command refused with cause 47: type 45 at 9999 = 1 (common address 1)",
          "{\"object\":{\"type\":13,\"ca\":1,\"ioa\":3003,\"cause\":3,\"frame\":",
          "command terminated: type 62 at 3004 = 300 (common address 1)"},
         "\"commands_sent\":6,\"commands_refused\":1,\"command_refusals\":{\"47\":1},"
         "\"commands_terminated\":5,\"return_information\":5,\"commands_unfinished\":0,",
         {"{\"object\":{\"type\":48,\"ca\":1,\"ioa\":3001,\"cause\":6,\"frame\":",
          "\"sq\":false,\"value\":0.5,\"raw\":16384,\"qualifier\":0,\"select\":false}",
          "{\"object\":{\"type\":62,\"ca\":1,\"ioa\":3004,\"cause\":6,\"frame\":",
          "\"sq\":false,\"value\":300,\"qualifier\":0,\"select\":false,\"time\":\"20",
          "\"types_received\":{\"45\":3,\"48\":1,\"49\":1,\"50\":2,\"62\":1,\"100\":1,\"103\":1},",
          "\"negatives_received\":0,\"negatives_sent\":1}"}},
        {{"--role", "balanced-a", "--poll-ms", "50", "--command-every", "10", "--test-ms", "200"},
         {"--role", "balanced-b", "--poll-ms", "50", "--test-ms", "200"},
         {"interrogation terminated", "clock synchronisation confirmed", "command confirmed",
          "test function for link"},
         "\"faults\":0,\"fault_reasons\":{},\"unanswered\":0"},
    };
    for (const Row& r : rows) {
        Pty pa, pb;
        auto args = [](std::vector<std::string> v, const Pty& p) {
            v.insert(v.end(), {"--port", p.name, "--link-address-length", "2", "--cot-length", "2",
                               "--ca-length", "2", "--ioa-length", "3"});
            return v;
        };
        Child a(args(r.a, pa)), b(args(r.b, pb));
        const bool reported = pump({&pa, &pb}, {&a, &b}, [&] {
            for (const auto& what : r.aReports)
                if (!a.saw(what)) return false;
            return b.saw("\"dir\":\"rx\"");
        });
        EXPECT_TRUE(reported) << r.a[1] << " said:\n" << a.text;
        ASSERT_TRUE(stop({&pa, &pb}, {&a, &b}));
        EXPECT_EQ(a.code(), 0) << a.summary();
        EXPECT_EQ(b.code(), 0) << b.summary();
        EXPECT_NE(a.summary().find(r.aSummary), std::string::npos) << a.summary();
        EXPECT_NE(b.summary().find("\"faults\":0,"), std::string::npos) << b.summary();
        for (const auto& what : r.bSays) EXPECT_TRUE(b.saw(what)) << what << " not in:\n" << b.text;
    }
}

TEST(Program, JudgedFaultEndsWithExitCodeThree) {
    Pty p;
    Child c({"--role", "secondary", "--port", p.name});
    p.write(peer101::fixedFrame(0x49, 1, 1)); // request status of link
    ASSERT_TRUE(pump({&p}, {&c}, [&] { return p.received.size() >= 5; })) << c.text;
    EXPECT_EQ(peer101::hex(peer101::Bytes(p.received.begin(), p.received.end())), "10 0b 01 0c 16");
    p.write({0x10, 0x49, 0x01, 0x4B, 0x16}); // checksum wrong
    ASSERT_TRUE(pump({&p}, {&c}, [&] { return c.saw("\"verdict\":\"checksum wrong\""); }))
        << c.text;
    ASSERT_TRUE(stop({&p}, {&c}));
    EXPECT_EQ(c.code(), 3);
    EXPECT_NE(c.summary().find("\"faults\":1,\"fault_reasons\":{\"checksum wrong\":1}"),
              std::string::npos)
        << c.summary();
}
