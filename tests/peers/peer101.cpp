// peer101: an IEC 60870-5-101 station of our own on a serial device or pseudo-terminal,
// for testing Vordal's channels against something that does not share Vordal's code.
// One JSON line per frame received and sent, one summary line at the end.
#include "iec101_peer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <string>
#include <termios.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int) {
    g_stop = 1;
}

const char* const kUsage =
    R"(usage: peer101 --role secondary|primary|balanced-a|balanced-b --port DEVICE [options]

An IEC 60870-5-101 station for tests: it plays the given role on DEVICE (a serial port or
a pseudo-terminal), judges every frame it receives and prints one JSON line per frame
received and sent, one per object received ({"object":{"type":..,"ca":..,"ioa":..,
"cause":..,"value":..,...}}), and a JSON summary line at the end with the counters
(per type received and sent, negative confirmations, commands and their outcome).

  --role R                  secondary: controlled station (unbalanced)
                            primary: controlling station (unbalanced)
                            balanced-a: controlling station, sends DIR=1
                            balanced-b: controlled station, sends DIR=0
  --port DEVICE             device to open (raw mode, 8 data bits, even parity)
  --baud N                  bit rate (default 9600)
  --link-address-length N   0, 1 or 2 octets (default 1)
  --cot-length N            cause of transmission: 1 or 2 octets (default 1)
  --ca-length N             common address: 1 or 2 octets (default 1)
  --ioa-length N            information object address: 1, 2 or 3 octets (default 2)
  --addresses A,B,...       link addresses of the stations (default 1; balanced: the first)
  --ca N                    common address (default: each station's link address)
  --silent ADDR             secondary: this configured station never answers
  --e5                      secondary: single character E5 for ACK and "no data"
  --scaled                  measured values as M_ME_NB_1 instead of M_ME_NC_1
  --timeout-ms N            answer time-out (default 500)
  --retries N               repetitions before a link is lost (default 2)
  --poll-ms N               primary: class 2 poll interval per station;
                            balanced: period of the station's own activity (default 200)
  --command-every N         a command every N class 2 polls or periods (default 0: none;
                            1 with --commands), once the one before is confirmed
  --commands LIST           primary, balanced-a: these commands, once each in turn, instead
                            of single and double commands by turns. LIST is a list of
                            TYPE[s]@IOA=VALUE[:SECONDS]: type 45 to 50, or 58 to 63 (the
                            same with a time tag); s: select before execute; VALUE 0/1 (45),
                            0 to 3 (46, 47), -1 to below 1 (48), -32768 to 32767 (49), a
                            float (50); SECONDS: not before this long after the start.
                            e.g. 45s@1001=1,48@3001=0.5,62@3002=-120:5,50s@3003=12.5
  --known-ioas A,B,...      secondary, balanced-b: commands to other object addresses are
                            refused with cause 47 (default: every address known)
  --measure-every N         a measured value every N class 2 polls or periods (default 5)
  --test-ms N               balanced: test function of link when idle this long (default 5000)
  --max-gap-ms N            longest pause inside a frame (default 0: not checked)
  --duration S              stop after S seconds (default 0: at SIGTERM or SIGINT)
  --quiet                   print the summary line only
  --help                    this text

Exit code: 0 ran and judged nothing faulty, 3 judged a fault, 1 device cannot be opened,
2 bad options.
)";

std::string json(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
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
    std::string role, port;
    long baud = 9600;
    long duration = 0;
    bool quiet = false;
    peer101::Config config;
};

[[noreturn]] void bad(const std::string& why) {
    std::fprintf(stderr, "peer101: %s (see --help)\n", why.c_str());
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

std::vector<std::string> split(const std::string& v) {
    std::vector<std::string> items;
    for (std::size_t at = 0; at <= v.size();) {
        const std::size_t comma = std::min(v.find(',', at), v.size());
        items.push_back(v.substr(at, comma - at));
        at = comma + 1;
    }
    return items;
}

// One item of --commands: TYPE[s]@IOA=VALUE[:SECONDS], the value in the range of the type.
peer101::Command command(const std::string& item) {
    const std::size_t at = item.find('@'), eq = item.find('='), colon = item.find(':');
    if (at == std::string::npos || eq == std::string::npos || eq < at ||
        (colon != std::string::npos && colon < eq))
        bad("--commands item '" + item + "' is not TYPE[s]@IOA=VALUE[:SECONDS]");
    std::string type = item.substr(0, at);
    peer101::Command k;
    k.select = !type.empty() && type.back() == 's';
    if (k.select) type.pop_back();
    k.type = std::uint8_t(number("the type in '" + item + "'", type, 45, 63));
    if (!peer101::isCommand(k.type))
        bad("the type in '" + item + "' must be 45 to 50, or 58 to 63 with a time tag");
    k.ioa = unsigned(
        number("the address in '" + item + "'", item.substr(at + 1, eq - at - 1), 0, 0xFFFFFF));
    const std::string text =
        item.substr(eq + 1, colon == std::string::npos ? colon : colon - eq - 1);
    char* end = nullptr;
    k.value = std::strtod(text.c_str(), &end);
    const bool whole = k.value == std::floor(k.value);
    const int base = peer101::untimed(k.type);
    const char* range = base == 45   ? "0 or 1"
                        : base <= 47 ? "0 to 3"
                        : base == 48 ? "from -1 to below 1"
                        : base == 49 ? "from -32768 to 32767"
                                     : "a finite float";
    const bool ok = base == 45   ? whole && k.value >= 0 && k.value <= 1
                    : base <= 47 ? whole && k.value >= 0 && k.value <= 3
                    : base == 48 ? k.value >= -1 && k.value < 1
                    : base == 49 ? whole && k.value >= -32768 && k.value <= 32767
                                 : std::isfinite(float(k.value));
    if (text.empty() || *end || !ok)
        bad("the value in '" + item + "' must be " + range + " for type " + type);
    if (colon != std::string::npos) {
        const std::string when = item.substr(colon + 1);
        const double seconds = std::strtod(when.c_str(), &end);
        if (when.empty() || *end || !(seconds >= 0 && seconds <= 31536000))
            bad("the time in '" + item + "' must be seconds after the start, 0 or more");
        k.atMs = std::llround(seconds * 1000);
    }
    return k;
}

Options parse(int argc, char** argv) {
    Options o;
    peer101::Config& c = o.config;
    // Options with a number: lowest and highest value, and where it goes.
    const std::map<std::string, std::tuple<long, long, std::function<void(long)>>> numbers = {
        {"--baud", {1, 115200, [&](long v) { o.baud = v; }}},
        {"--link-address-length", {0, 2, [&](long v) { c.addressLength = int(v); }}},
        {"--cot-length", {1, 2, [&](long v) { c.asdu.cot = int(v); }}},
        {"--ca-length", {1, 2, [&](long v) { c.asdu.ca = int(v); }}},
        {"--ioa-length", {1, 3, [&](long v) { c.asdu.ioa = int(v); }}},
        {"--ca", {0, 65535, [&](long v) { c.ca = unsigned(v); }}},
        {"--silent", {0, 65535, [&](long v) { c.silent = unsigned(v); }}},
        {"--timeout-ms", {1, 600000, [&](long v) { c.timeoutMs = v; }}},
        {"--retries", {0, 100, [&](long v) { c.retries = int(v); }}},
        {"--poll-ms", {1, 600000, [&](long v) { c.pollMs = v; }}},
        {"--command-every", {0, 1000000, [&](long v) { c.commandEvery = int(v); }}},
        {"--measure-every", {0, 1000000, [&](long v) { c.measureEvery = int(v); }}},
        {"--test-ms", {1, 3600000, [&](long v) { c.testIdleMs = v; }}},
        {"--max-gap-ms", {0, 600000, [&](long v) { c.maxGapMs = v; }}},
        {"--duration", {0, 31536000, [&](long v) { o.duration = v; }}}};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (a == "--e5" || a == "--quiet" || a == "--scaled") {
            (a == "--e5" ? c.e5 : a == "--quiet" ? o.quiet : c.scaled) = true;
            continue;
        }
        if (i + 1 >= argc) bad("option " + a + " needs a value, or is unknown");
        const std::string v = argv[++i];
        if (a == "--role") {
            o.role = v;
        } else if (a == "--port") {
            o.port = v;
        } else if (const auto it = numbers.find(a); it != numbers.end()) {
            const auto& [lo, hi, set] = it->second;
            set(number(a, v, lo, hi));
        } else if (a == "--addresses") {
            c.addresses.clear();
            for (const std::string& x : split(v))
                c.addresses.push_back(unsigned(number(a, x, 0, 65535)));
        } else if (a == "--known-ioas") {
            for (const std::string& x : split(v))
                c.knownIoas.insert(unsigned(number(a, x, 0, 0xFFFFFF)));
        } else if (a == "--commands") {
            for (const std::string& x : split(v)) c.commands.push_back(command(x));
        } else {
            bad("unknown option " + a);
        }
    }
    if (speed(o.baud) == B0) bad("no such bit rate: " + std::to_string(o.baud));
    if (o.role != "secondary" && o.role != "primary" && o.role != "balanced-a" &&
        o.role != "balanced-b")
        bad("--role must be secondary, primary, balanced-a or balanced-b");
    if (o.port.empty()) bad("--port is required");
    const unsigned highest = c.addressLength == 2 ? 0xFFFEu : 0xFEu,
                   highestCa = c.asdu.ca == 2 ? 0xFFFFu : 0xFFu;
    for (unsigned a : c.addresses) {
        if (c.addressLength > 0 && a > highest)
            bad("link address " + std::to_string(a) + " does not fit " +
                std::to_string(c.addressLength) + " octets (255 and 65535 are broadcast)");
        if (!c.ca && a > highestCa)
            bad("link address " + std::to_string(a) + " is no common address of " +
                std::to_string(c.asdu.ca) + " octets: give --ca");
    }
    if (c.addressLength == 0 && c.addresses.size() > 1) bad("several stations need a link address");
    if (c.ca && *c.ca > highestCa) bad("--ca does not fit --ca-length");
    const unsigned highestIoa = 0xFFFFFFu >> 8 * (3 - c.asdu.ioa);
    for (const auto& k : c.commands)
        if (k.ioa > highestIoa)
            bad("command address " + std::to_string(k.ioa) + " does not fit --ioa-length");
    if (!c.commands.empty() && c.commandEvery == 0) c.commandEvery = 1;
    c.controlling = o.role == "balanced-a";
    return o;
}

int openDevice(const Options& o) {
    const int fd = ::open(o.port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return -1;
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD | PARENB; // FT 1.2 characters: 8 data bits, even parity
        t.c_cflag &= ~PARODD;
        cfsetispeed(&t, speed(o.baud));
        cfsetospeed(&t, speed(o.baud));
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

void print(const peer101::Event& e) {
    if (e.dir == "object") {
        std::printf("{\"object\":{%s},\"ms\":%lld}\n", e.what.c_str(), (long long)e.ms);
        return;
    }
    std::string line = "{\"dir\":" + json(e.dir) + ",\"ms\":" + std::to_string(e.ms);
    if (!e.bytes.empty()) line += ",\"hex\":" + json(peer101::hex(e.bytes));
    line += ",\"what\":" + json(e.what);
    if (!e.verdict.empty()) line += ",\"verdict\":" + json(e.verdict);
    std::puts((line + "}").c_str());
}

void summary(const std::string& role, const peer101::Counters& c) {
    std::string reasons;
    for (const auto& [why, n] : c.faultReasons)
        reasons += (reasons.empty() ? "" : ",") + json(why) + ":" + std::to_string(n);
    std::printf("{\"summary\":true,\"role\":%s,\"received\":%llu,\"sent\":%llu,\"faults\":%llu,"
                "\"fault_reasons\":{%s},\"unanswered\":%llu,\"commands_confirmed\":%llu,"
                "\"interrogations_terminated\":%llu,\"clock_syncs_confirmed\":%llu,"
                "\"links_lost\":%llu,",
                json(role).c_str(), (unsigned long long)c.received, (unsigned long long)c.sent,
                (unsigned long long)c.faults, reasons.c_str(), (unsigned long long)c.unanswered,
                (unsigned long long)c.commandsConfirmed,
                (unsigned long long)c.interrogationsTerminated,
                (unsigned long long)c.clockSyncsConfirmed, (unsigned long long)c.linksLost);
    std::string refusals;
    for (const auto& [cause, n] : c.commandRefusals)
        refusals +=
            (refusals.empty() ? "\"" : ",\"") + std::to_string(cause) + "\":" + std::to_string(n);
    const auto u = [](std::uint64_t n) { return std::to_string(n); };
    const auto perType = [&](const std::map<int, std::uint64_t>& m) {
        std::string t;
        for (const auto& [type, n] : m) t += (t.empty() ? "\"" : ",\"") + u(type) + "\":" + u(n);
        return "{" + t + "}";
    };
    std::printf("\"commands_sent\":%s,\"commands_refused\":%s,\"command_refusals\":{%s},"
                "\"commands_terminated\":%s,\"return_information\":%s,"
                "\"commands_unfinished\":%s,\"objects_received\":%s,\"types_received\":%s,"
                "\"types_sent\":%s,\"negatives_received\":%s,\"negatives_sent\":%s}\n",
                u(c.commandsSent).c_str(), u(c.commandsRefused).c_str(), refusals.c_str(),
                u(c.commandsTerminated).c_str(), u(c.returnInformation).c_str(),
                u(c.commandsSent - c.commandsTerminated - c.commandsRefused).c_str(),
                u(c.objectsReceived).c_str(), perType(c.typesReceived).c_str(),
                perType(c.typesSent).c_str(), u(c.negativesReceived).c_str(),
                u(c.negativesSent).c_str());
}

bool writeAll(int fd, const peer101::Bytes& b) {
    for (std::size_t done = 0; done < b.size();) {
        const ssize_t n = ::write(fd, b.data() + done, b.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
    using Clock = std::chrono::steady_clock;
    o.config.clockMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    const int fd = openDevice(o);
    if (fd < 0) {
        std::fprintf(stderr, "peer101: cannot open %s: %s\n", o.port.c_str(), std::strerror(errno));
        return 1;
    }
    std::unique_ptr<peer101::Peer> peer;
    if (o.role == "secondary")
        peer = std::make_unique<peer101::Secondary>(o.config);
    else if (o.role == "primary")
        peer = std::make_unique<peer101::Primary>(o.config);
    else
        peer = std::make_unique<peer101::Balanced>(o.config);

    struct sigaction sa {};
    sa.sa_handler = onSignal; // no SA_RESTART: poll() returns at once on a signal
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    const auto start = Clock::now();
    auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    bool hungUp = false;
    while (!g_stop && (o.duration == 0 || elapsed() < o.duration * 1000)) {
        // A hung-up pseudo-terminal stays readable; then only the clock is waited for.
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, hungUp ? 0 : 1, 10);
        peer101::Bytes in(512);
        const ssize_t n = ::read(fd, in.data(), in.size());
        hungUp = n < 0 && errno == EIO;
        if (n > 0) {
            in.resize(std::size_t(n));
            peer->receive(in, elapsed());
        }
        peer->tick(elapsed());
        const peer101::Bytes out = peer->takeOutput();
        if (!out.empty() && !writeAll(fd, out))
            std::fprintf(stderr, "peer101: write failed: %s\n", std::strerror(errno));
        for (const auto& e : peer->takeEvents())
            if (!o.quiet) print(e);
        std::fflush(stdout);
    }
    summary(o.role, peer->stats);
    std::fflush(stdout);
    ::close(fd);
    return peer->stats.faults > 0 ? 3 : 0;
}
