// vordal-cli monitor: goes online on one or two serial devices, prints every logged telegram
// as it arrives and writes the log; SIGINT, SIGTERM or the end of --duration take it offline
// and close the log cleanly.
#include "cli.h"
#include "decode_input.h"
#include "decode_render.h"
#include "record_json.h"

#include "core/format.h"
#include "link/port_list.h"
#include "platform/program_host.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>

namespace vdl::cli {

namespace {

std::atomic<bool> g_stop{false};
extern "C" void OnStopSignal(int) {
    g_stop = true;
}

bool ParseParity(const std::string& s, uint8_t& pari) {
    static const char* names[] = {"none", "odd", "even", "mark", "space"};
    for (uint8_t i = 0; i < 5; ++i)
        if (s == names[i]) {
            pari = i;
            return true;
        }
    return false;
}

int RunMonitor(const Args& argsIn) {
    Args args = argsIn;
    std::vector<std::string> values = DecodeValueOptions();
    values.insert(values.end(), RenderValueOptions().begin(), RenderValueOptions().end());
    for (const char* v : {"port1", "port2", "baud", "parity", "log", "duration"})
        values.push_back(v);
    std::vector<std::string> flags = DecodeFlagOptions();
    flags.push_back("records");
    Options o;
    std::string error;
    if (!o.Parse(args, values, flags, error) || !o.Positional().empty()) {
        if (error.empty()) error = "unexpected argument " + o.Positional()[0];
        std::cerr << "vordal-cli monitor: " << error << "\n";
        return 2;
    }
    if (!o.Has("port1") && !o.Has("port2")) {
        std::cerr << "vordal-cli monitor: give --port1 DEV and/or --port2 DEV\n";
        return 2;
    }
    if (o.Has("records") && o.Has("format")) {
        std::cerr << "vordal-cli monitor: --records and --format exclude each other\n";
        return 2;
    }
    if (!o.Has("records") && !o.Has("format")) {
        args.push_back("--format");
        args.push_back("3");
        o = Options();
        o.Parse(args, values, flags, error);
    }
    long long baud = 9600, duration = -1;
    uint8_t pari = 2;
    if (o.Has("baud") && (!ParseNumber(o.Get("baud"), 50, 4000000, baud))) {
        std::cerr << "vordal-cli monitor: --baud must be a baud rate\n";
        return 2;
    }
    if (o.Has("parity") && !ParseParity(o.Get("parity"), pari)) {
        std::cerr << "vordal-cli monitor: --parity must be none, odd, even, mark or space\n";
        return 2;
    }
    if (o.Has("duration") && !ParseNumber(o.Get("duration"), 0, 100000000, duration)) {
        std::cerr << "vordal-cli monitor: --duration must be a number of seconds\n";
        return 2;
    }

    StderrMessages msg;
    ProgramHost host(DecodeTextsDir(o), msg);
    Program& p = host.prog();
    p.persistSettings = false;
    switch (host.StartUp()) {
    case Program::StartResult::NoTexts:
        return 99;
    case Program::StartResult::NoSlot:
        std::cerr << "vordal-cli monitor: two instances of the program run already\n";
        return 3;
    case Program::StartResult::Run:
        break;
    }
    if (o.Has("log")) p.av.dtLog = o.Get("log");
    p.pp.onlausg = 1; // no log view to open for reading
    // The logs this run may create: one of them is removed again when no port opens.
    std::vector<std::string> newLogs;
    for (const std::string& f :
         {p.av.dtLog, p.log->AutomaticName(p.tb->LocalNow()), p.av.dtStartLog}) {
        std::error_code ec;
        if (!f.empty() && !std::filesystem::exists(f, ec)) newLogs.push_back(f);
    }
    host.Run({p.texts.tx(673)});
    if (!p.log->IsOpen()) {
        std::cerr << "vordal-cli monitor: the log " << p.av.dtLog << " cannot be used\n";
        return 1;
    }
    if (!ApplyDecodeOptions(o, p, error)) {
        std::cerr << "vordal-cli monitor: " << error << "\n";
        return 2;
    }
    for (int i = 0; i < 2; ++i) {
        T_BetriebsPar& bp = p.com[i].bp;
        bp.cnr = 0;
        bp.baud = static_cast<int32_t>(baud);
        bp.pari = pari;
        bp.data = 8;
        bp.stop = 1;
        std::string dev = o.Get(i == 0 ? "port1" : "port2");
        if (!dev.empty()) host.BindDevice(i, dev);
    }

    DecodeRenderer r;
    bool json = o.Has("records");
    if (!json && !r.Setup(o, p, error)) {
        std::cerr << "vordal-cli monitor: " << error << "\n";
        return 2;
    }
    if (!json) r.Begin(std::cout);
    std::cout.flush();
    p.onLogged = [&](const T_Telegramm& te) {
        if (json) {
            nlohmann::json j = StoredRecordJson(te);
            std::cout << j.dump() << "\n";
        } else {
            r.Print(te, std::cout);
        }
        std::cout.flush();
    };

    // A lost line is said on standard error; the channel reopens it when it is back.
    p.onLineChanged = [&](int i) {
        const std::string name = p.svc->PortName(i);
        if (p.svc->Lost(i)) {
            SerialPort& port = *host.port(i);
            std::cerr << "vordal-cli monitor: "
                      << Format(p.texts.tx(kTxLineLost),
                                {name, PortFaultText(p.texts, port.Fault(), port.FaultText())})
                      << "\n";
        } else if (p.com[i].se.open) {
            std::cerr << "vordal-cli monitor: " << Format(p.texts.tx(kTxLineBack), {name}) << "\n";
        }
    };

    p.pp.online = 1;
    p.SetOnline(true);
    if (!p.av.online) {
        bool empty = p.log->Count() == 0;
        std::string made = p.av.dtLog;
        host.Shutdown();
        std::error_code ec;
        if (empty && std::find(newLogs.begin(), newLogs.end(), made) != newLogs.end())
            std::filesystem::remove(made, ec);
        return 1;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (g_stop) QCoreApplication::quit();
    });
    watch.start(50);
    if (duration >= 0)
        QTimer::singleShot(static_cast<int>(duration * 1000), [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    p.SetOnline(false);
    host.Shutdown();
    return 0;
}

const CliCommand reg(
    "monitor",
    std::string(
        "  monitor --port1 DEV [--port2 DEV] [OPTIONS]\n"
        "                          go online on serial devices (a pseudo-terminal too), print\n"
        "                          every logged telegram and write the log; SIGINT, SIGTERM or\n"
        "                          the end of --duration go offline and close the log\n"
        "      --baud N                         baud rate (default 9600)\n"
        "      --parity none|odd|even|mark|space  parity (default even; 8 data bits, 1 stop bit)\n"
        "      --log FILE                       the log file (default: the automatic log)\n"
        "      --duration S                     go offline after S seconds\n"
        "      --records                        one JSON object per telegram, with nr and dt\n") +
        DecodeOptionsUsage() + "\n" + RenderOptionsUsage(),
    RunMonitor);

} // namespace

} // namespace vdl::cli
