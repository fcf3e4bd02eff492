// vordal-cli monitor: goes online on one or two serial devices, prints every logged telegram
// as it arrives and writes the log; SIGINT, SIGTERM or the end of --duration take it offline
// and close the log cleanly.
#include "cli.h"
#include "online_run.h"

namespace vdl::cli {

namespace {

bool ParseParity(const std::string& s, uint8_t& pari) {
    static const char* names[] = {"none", "odd", "even", "mark", "space"};
    for (uint8_t i = 0; i < 5; ++i)
        if (s == names[i]) {
            pari = i;
            return true;
        }
    return false;
}

const std::string kUsage =
    "  monitor --port1 DEV [--port2 DEV] [OPTIONS]\n"
    "                          go online on serial devices (a pseudo-terminal too), print\n"
    "                          every logged telegram and write the log; SIGINT, SIGTERM or\n"
    "                          the end of --duration go offline and close the log\n"
    "      --baud N                         baud rate (default 9600)\n"
    "      --parity none|odd|even|mark|space  parity (default even; 8 data bits, 1 stop bit)\n";

OnlineCommand Monitor() {
    OnlineCommand m;
    m.name = "monitor";
    m.usage = kUsage + OnlineOptionsUsage();
    m.values = {"baud", "parity"};
    m.passive = true;
    m.check = [](const Options& o, std::string& error) {
        long long baud = 0;
        uint8_t pari = 0;
        if (o.Has("baud") && !ParseNumber(o.Get("baud"), 50, 4000000, baud)) {
            error = "--baud must be a baud rate";
            return false;
        }
        if (o.Has("parity") && !ParseParity(o.Get("parity"), pari)) {
            error = "--parity must be none, odd, even, mark or space";
            return false;
        }
        return true;
    };
    m.configure = [](const Options& o, Program& p, std::string&) {
        long long baud = 9600;
        uint8_t pari = 2;
        if (o.Has("baud")) ParseNumber(o.Get("baud"), 50, 4000000, baud);
        if (o.Has("parity")) ParseParity(o.Get("parity"), pari);
        for (T_ComVar& c : p.com) {
            c.bp.baud = static_cast<int32_t>(baud);
            c.bp.pari = pari;
        }
        return true;
    };
    return m;
}

int RunMonitor(const Args& args) {
    return RunOnline(args, Monitor());
}

const CliCommand reg("monitor", kUsage + OnlineOptionsUsage(), RunMonitor);

} // namespace

} // namespace vdl::cli
