// vordal-cli monitor: goes online on one or two serial devices, prints every logged telegram
// as it arrives and writes the log; SIGINT, SIGTERM or the end of --duration take it offline
// and close the log cleanly. It only listens.
#include "cli.h"
#include "online_run.h"

namespace vdl::cli {

namespace {

const std::vector<std::string> kParities = {"none", "odd", "even", "mark", "space"};

const std::string kUsage =
    "  monitor --port1 DEV [--port2 DEV] [OPTIONS]\n"
    "                          go online on serial devices (a pseudo-terminal too), print\n"
    "                          every logged telegram and write the log; SIGINT, SIGTERM or\n"
    "                          the end of --duration go offline and close the log\n"
    "      --baud N                         baud rate (default 9600)\n"
    "      --parity none|odd|even|mark|space  parity (default even; 8 data bits, 1 stop bit)\n"
    "      --data-dir DIR                   data directory (settings, automatic log);\n"
    "                                       made when it does not exist\n";

OnlineCommand Monitor() {
    OnlineCommand m;
    m.name = "monitor";
    m.usage = kUsage + OnlineOptionsUsage();
    m.values = {"baud", "parity", "data-dir"};
    m.passive = true;
    m.check = [](const Invocation& in, Program&) {
        long long baud = 9600;
        int pari = 2;
        if (!in.Number("baud", 50, 4000000, baud) || !in.Choice("parity", kParities, pari))
            return kExitRefused;
        return CheckDataDir(in);
    };
    m.beforeRun = UseDataDir;
    m.configure = [](const Invocation& in, Program& p) {
        long long baud = 9600;
        int pari = 2;
        in.Number("baud", 50, 4000000, baud);
        in.Choice("parity", kParities, pari);
        for (T_ComVar& c : p.com) {
            c.bp.baud = static_cast<int32_t>(baud);
            c.bp.pari = static_cast<uint8_t>(pari);
            // It only listens: frames are judged as frames, never as a modem's text lines.
            c.wm.vorh = 0;
        }
        return 0;
    };
    return m;
}

int RunMonitor(const Args& args) {
    return RunOnline(args, Monitor());
}

const CliCommand reg("monitor", kUsage + OnlineOptionsUsage(), RunMonitor);

} // namespace

} // namespace vdl::cli
