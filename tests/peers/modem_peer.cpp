// modempeer: a dial-up modem of our own on a serial device or pseudo-terminal, so that a
// tool's dialling, answering and hanging up can be tried without a telephone line. Behind
// it, the "remote" side is a second device (where peer101 can sit) or a sink.
#include "modem_peer.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <poll.h>
#include <string>
#include <termios.h>
#include <tuple>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char* const kUsage =
    R"(usage: modempeer --port DEVICE [options]

A dial-up modem for tests: it takes AT commands on DEVICE (a serial port or a
pseudo-terminal), dials and answers simulated calls, and once connected passes data to the
remote side. One JSON line per line received and sent and per state change, and a JSON
summary line at the end.

  --port DEVICE             the terminal side (raw mode, 8 data bits, no parity)
  --remote DEVICE           the remote side of a call (default: data counted and dropped)
  --baud N                  bit rate of both devices (default 9600)
  --connect-form F          line: "CONNECT 9600"; split: "CONNECT" and "9600" on two
                            lines; pieces: one line written in two pieces (default line)
  --connect-speed N         speed in the connect message, 0 for none (default 9600)
  --piece-pause-ms N        pause between the pieces (default 300)
  --dial-delay-ms N         from ATD or ATA to the result (default 2000)
  --dial-result R           connect, busy, no-carrier or no-dialtone (default connect)
  --echo 0|1                command echo after start and ATZ (default 1)
  --ring-at-ms N            an incoming call N ms after the start (default: none)
  --rings N                 rings before the caller gives up (default 5)
  --ring-interval-ms N      time between rings (default 3000)
  --guard-ms N              silence before and after the escape "+++" (default 1000)
  --control FILE            control commands, one per line: ring, remote-hangup,
                            dtr-drop, quit (default: standard input; FILE may be a FIFO)
  --duration S              stop after S seconds (default 0: at quit, SIGTERM or SIGINT)
  --quiet                   print the summary line only
  --help                    this text

Exit code: 0 ran, 1 a device cannot be opened, 2 bad options.
)";

std::string json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\')
            out += '\\', out += char(c);
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04x", c);
            out += hex;
        } else
            out += char(c);
    }
    return out + "\"";
}

speed_t speed(long baud) {
    static const std::map<long, speed_t> speeds = {
        {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
        {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    const auto it = speeds.find(baud);
    return it == speeds.end() ? B0 : it->second;
}

struct Options {
    std::string port, remote, control = "-";
    long baud = 9600, duration = 0, ringAt = -1;
    bool quiet = false;
    modempeer::Config config;
};

[[noreturn]] void bad(const std::string& why) {
    std::fprintf(stderr, "modempeer: %s (see --help)\n", why.c_str());
    std::exit(2);
}

long number(const std::string& name, const std::string& text, long lo, long hi) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno || text.empty() || *end || v < lo || v > hi)
        bad(name + " needs a number from " + std::to_string(lo) + " to " + std::to_string(hi) +
            ", not '" + text + "'");
    return v;
}

template <typename T>
T choice(const std::string& name, const std::string& v, const std::map<std::string, T>& map) {
    const auto it = map.find(v);
    if (it != map.end()) return it->second;
    std::string all;
    for (const auto& [k, _] : map) all += (all.empty() ? "" : ", ") + k;
    bad(name + " must be one of " + all + ", not '" + v + "'");
}

Options parse(int argc, char** argv) {
    using namespace modempeer;
    Options o;
    Config& c = o.config;
    const std::map<std::string, std::tuple<long, long, std::function<void(long)>>> numbers = {
        {"--baud", {1, 115200, [&](long v) { o.baud = v; }}},
        {"--connect-speed", {0, 10000000, [&](long v) { c.speed = int(v); }}},
        {"--piece-pause-ms", {0, 600000, [&](long v) { c.piecePauseMs = v; }}},
        {"--dial-delay-ms", {0, 600000, [&](long v) { c.dialDelayMs = v; }}},
        {"--echo", {0, 1, [&](long v) { c.echo = v == 1; }}},
        {"--ring-at-ms", {0, 86400000, [&](long v) { o.ringAt = v; }}},
        {"--rings", {1, 1000, [&](long v) { c.rings = int(v); }}},
        {"--ring-interval-ms", {1, 600000, [&](long v) { c.ringIntervalMs = v; }}},
        {"--guard-ms", {0, 60000, [&](long v) { c.guardMs = v; }}},
        {"--duration", {0, 31536000, [&](long v) { o.duration = v; }}}};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (a == "--quiet") {
            o.quiet = true;
            continue;
        }
        if (i + 1 >= argc) bad("option " + a + " needs a value, or is unknown");
        const std::string v = argv[++i];
        if (a == "--port")
            o.port = v;
        else if (a == "--remote")
            o.remote = v;
        else if (a == "--control")
            o.control = v;
        else if (a == "--connect-form")
            c.form = choice<Form>(
                a, v, {{"line", Form::Line}, {"split", Form::Split}, {"pieces", Form::Pieces}});
        else if (a == "--dial-result")
            c.dialResult = choice<Result>(a, v,
                                          {{"connect", Result::Connect},
                                           {"busy", Result::Busy},
                                           {"no-carrier", Result::NoCarrier},
                                           {"no-dialtone", Result::NoDialtone}});
        else if (const auto it = numbers.find(a); it != numbers.end()) {
            const auto& [lo, hi, set] = it->second;
            set(number(a, v, lo, hi));
        } else
            bad("unknown option " + a);
    }
    if (o.port.empty()) bad("--port is required");
    if (speed(o.baud) == B0) bad("no such bit rate: " + std::to_string(o.baud));
    return o;
}

int openDevice(const std::string& path, long baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&t, speed(baud));
        cfsetospeed(&t, speed(baud));
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

void writeAll(int fd, const std::string& s) {
    for (std::size_t done = 0; fd >= 0 && done < s.size();) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            std::fprintf(stderr, "modempeer: write failed: %s\n", std::strerror(errno));
            return;
        }
    }
}

// Reads what poll() announced (standard input stays blocking). False once the device hung up
// or the file ended: a hung-up pseudo-terminal stays readable and is not polled again.
bool readSome(int fd, std::string& into) {
    char buf[1024];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) into.append(buf, std::size_t(n));
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
}

} // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    auto openOrExit = [](const std::string& path, int fd) {
        if (fd >= 0) return fd;
        std::fprintf(stderr, "modempeer: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        std::exit(1);
    };
    const int port = openOrExit(o.port, openDevice(o.port, o.baud));
    const int remote = o.remote.empty() ? -1 : openOrExit(o.remote, openDevice(o.remote, o.baud));
    // A FIFO opened for reading and writing never reads as ended when a writer goes away.
    const int control =
        o.control == "-" ? 0 : openOrExit(o.control, ::open(o.control.c_str(), O_RDWR));

    struct sigaction sa {};
    sa.sa_handler = onSignal; // no SA_RESTART: poll() returns at once on a signal
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    modempeer::Modem modem(o.config);
    using modempeer::Modem;
    const std::map<std::string, void (Modem::*)(modempeer::Ms)> actions = {
        {"ring", &Modem::ring},
        {"remote-hangup", &Modem::remoteHangup},
        {"dtr-drop", &Modem::dtrDrop}};
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    bool portUp = true, remoteUp = remote >= 0, controlUp = true, rang = false;
    std::string commands, end = "duration";
    while (o.duration == 0 || elapsed() < o.duration * 1000) {
        if (g_stop) {
            end = "signal";
            break;
        }
        // A negative descriptor is skipped by poll(): one that hung up is not polled again.
        pollfd p[3] = {{portUp ? port : -1, POLLIN, 0},
                       {remoteUp ? remote : -1, POLLIN, 0},
                       {controlUp ? control : -1, POLLIN, 0}};
        ::poll(p, 3, 10);
        std::string in;
        if (p[0].revents && (portUp = readSome(port, in), !in.empty()))
            modem.fromTerminal(in, elapsed());
        in.clear();
        if (p[1].revents && (remoteUp = readSome(remote, in), !in.empty()))
            modem.fromRemote(in, elapsed());
        if (p[2].revents) controlUp = readSome(control, commands);
        for (std::size_t nl; (nl = commands.find('\n')) != std::string::npos;) {
            const std::string c = commands.substr(0, nl);
            commands.erase(0, nl + 1);
            if (const auto it = actions.find(c); it != actions.end())
                (modem.*it->second)(elapsed());
            else if (c == "quit")
                end = "quit";
            else if (!c.empty())
                std::fprintf(stderr, "modempeer: unknown control command '%s'\n", c.c_str());
        }
        if (o.ringAt >= 0 && !rang && elapsed() >= o.ringAt) {
            rang = true;
            modem.ring(elapsed());
        }
        modem.tick(elapsed());
        writeAll(port, modem.takeTerminal());
        writeAll(remote, modem.takeRemote());
        for (const auto& e : modem.takeEvents()) {
            if (o.quiet) continue;
            std::printf("{\"event\":%s,\"ms\":%lld,\"text\":%s%s}\n", json(e.kind).c_str(), e.ms,
                        json(e.text).c_str(),
                        e.why.empty() ? "" : (",\"why\":" + json(e.why)).c_str());
        }
        std::fflush(stdout);
        if (end == "quit") break;
    }
    const modempeer::Counters& c = modem.stats;
    std::printf("{\"summary\":true,\"end\":%s,\"state\":%s,\"commands\":%llu,\"connects\":%llu,"
                "\"hangups_ath\":%llu,\"hangups_dtr\":%llu,\"hangups_remote\":%llu,\"rings\":%llu,"
                "\"errors\":%llu,\"bytes_to_remote\":%llu,\"bytes_from_remote\":%llu}\n",
                json(end).c_str(), json(modempeer::name(modem.state())).c_str(), c.commands,
                c.connects, c.hangupsAth, c.hangupsDtr, c.hangupsRemote, c.rings, c.errors,
                c.bytesToRemote, c.bytesFromRemote);
    std::fflush(stdout);
    return 0;
}
