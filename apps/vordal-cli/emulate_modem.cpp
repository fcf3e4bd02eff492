#include "emulate_modem.h"

#include "cli.h"

#include "core/modem_file.h"
#include "link/modem.h"
#include "link/transmitter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vdl::cli {

namespace {

bool Text(const std::string& v, T_AtStr& s, T_ComVar& c) {
    if (v.size() > static_cast<size_t>(kAtStrMax)) return false;
    s.set(v);
    c.wm.vorh = 1;
    return true;
}

bool Seconds(const std::string& v, long long lo, long long hi, int32_t& field, T_ComVar& c) {
    long long n = 0;
    if (!ParseNumber(v, lo, hi, n)) return false;
    field = static_cast<int32_t>(n);
    c.wm.vorh = 1;
    return true;
}

} // namespace

bool ModemFileOption(const std::string& path, T_ComVar& c, const T_AllgPar&) {
    if (!ReadModemFile(path, c.wm)) return false;
    c.wm.vorh = 1; // given on the command line: the channel dials through it
    return true;
}

bool ModemConnectOption(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    return !v.empty() && Text(v, c.wm.connect, c);
}

bool ModemHangupOption(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    return Text(v, c.wm.brk, c);
}

bool ModemMaxOption(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    return Seconds(v, kDauerMin, kDauerMax, c.wm.dauer, c);
}

bool ModemIdleOption(const std::string& v, T_ComVar& c, const T_AllgPar&) {
    return Seconds(v, kLinkMin, kLinkMax, c.wm.link, c);
}

bool ParseTimedCommand(const std::string& v, TimedCommand& out) {
    out = {v, 0};
    const size_t at = v.rfind('@');
    if (at == std::string::npos) return true;
    const std::string s = v.substr(at + 1);
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(s.begin(), s.end(), '.') > 1 || s.front() == '.' || s.back() == '.')
        return true;
    const double seconds = std::strtod(s.c_str(), nullptr);
    if (!(seconds <= 1e8)) return false;
    out = {v.substr(0, at), std::llround(seconds * 1000)};
    return true;
}

void ModemSender::Add(int channel, const TimedCommand& cmd) {
    std::deque<TimedCommand>& q = queue_[channel];
    // Sorted by time; commands of the same time keep their order.
    auto at = std::upper_bound(q.begin(), q.end(), cmd.ms,
                               [](long long ms, const TimedCommand& c) { return ms < c.ms; });
    q.insert(at, cmd);
}

void ModemSender::Install(Program& p) {
    if (queue_[0].empty() && queue_[1].empty()) return;
    auto inner = p.svc->hooks.idleWork;
    p.svc->hooks.idleWork = [this, &p, inner](T_ComVar& c) {
        Due(p, &c == &p.com[0] ? 0 : 1);
        if (inner) inner(c);
    };
}

void ModemSender::Due(Program& p, int channel) {
    std::deque<TimedCommand>& q = queue_[channel];
    if (q.empty()) return;
    const uint32_t now = p.tb->Millis();
    if (!started_[channel]) {
        started_[channel] = true;
        start_[channel] = now;
    }
    T_ComVar& c = p.com[channel];
    while (!q.empty() && static_cast<long long>(now - start_[channel]) >= q.front().ms) {
        SendTextLine(c, *p.linkEnv, q.front().text);
        q.pop_front();
    }
}

} // namespace vdl::cli
