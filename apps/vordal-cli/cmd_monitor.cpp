// vordal-cli monitor: goes online on one or two serial devices, prints every logged telegram
// as it arrives and writes the log; SIGINT, SIGTERM or the end of --duration take it offline
// and close the log cleanly.
#include "cli.h"
#include "decode_input.h"
#include "decode_render.h"
#include "invocation.h"
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

extern const std::string kUsage;

int RunMonitor(const Args& args) {
    Invocation in("monitor", kUsage);
    std::vector<std::string> values = DecodeValueOptions();
    values.insert(values.end(), RenderValueOptions().begin(), RenderValueOptions().end());
    for (const char* v : {"port1", "port2", "baud", "parity", "log", "duration"})
        values.push_back(v);
    std::vector<std::string> flags = DecodeFlagOptions();
    flags.push_back("records");
    if (!in.Start(args, values, flags)) return in.Exit();
    const Options& o = in.opt();
    if (!o.Positional().empty()) return in.Refuse(in.Say(in.tx(2205), {Shown(o.Positional()[0])}));
    if (!o.Has("port1") && !o.Has("port2"))
        return in.Refuse(in.Say(in.tx(2206), {"--port1 DEV, --port2 DEV"}));
    if (o.Has("records") && o.Has("format"))
        return in.Refuse(in.Say(in.tx(2207), {"--records", "--format"}));
    long long baud = 9600, duration = -1;
    int pari = 2;
    if (!in.Number("baud", 50, 4000000, baud) ||
        !in.Choice("parity", {"none", "odd", "even", "mark", "space"}, pari) ||
        !in.Number("duration", 0, 100000000, duration))
        return kExitRefused;
    const bool json = o.Has("records");
    CliMessages msg;
    {
        // Every value is refused before the start-up takes an instance slot and opens the log.
        // Link addresses are checked against the widest address here and against the
        // settings' length once they are read.
        Program scratch(in.TextsDir(), msg);
        scratch.ap.lgla = 2;
        if (!ApplyDecodeOptions(in, scratch) || (!json && !CheckRenderOptions(in)))
            return kExitRefused;
    }

    ProgramHost host(in.TextsDir(), msg);
    Program& p = host.prog();
    p.persistSettings = false;
    switch (host.StartUp()) {
    case Program::StartResult::NoTexts:
        return 99;
    case Program::StartResult::NoSlot:
        return in.Fail(3, in.tx(2219));
    case Program::StartResult::Run:
        break;
    }
    // The command line's language, not the one of the stored settings.
    if (!p.LoadLanguage(in.LangOf(in.TextsDir()))) return 1;
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
    if (!p.log->IsOpen()) return in.Fail(1, in.Say(in.tx(2220), {Shown(p.av.dtLog)}));
    if (!ApplyDecodeOptions(in, p)) {
        host.Shutdown();
        return kExitRefused;
    }
    for (int i = 0; i < 2; ++i) {
        T_BetriebsPar& bp = p.com[i].bp;
        bp.cnr = 0;
        bp.baud = static_cast<int32_t>(baud);
        bp.pari = static_cast<uint8_t>(pari);
        bp.data = 8;
        bp.stop = 1;
        std::string dev = o.Get(i == 0 ? "port1" : "port2");
        if (!dev.empty()) host.BindDevice(i, dev);
    }

    DecodeRenderer r;
    if (!json && !r.Setup(in, p)) {
        host.Shutdown();
        return kExitRefused;
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
        std::string said;
        if (p.svc->Lost(i)) {
            SerialPort& port = *host.port(i);
            said = Format(p.texts.tx(kTxLineLost),
                          {name, PortFaultText(p.texts, port.Fault(), port.FaultText())});
        } else if (p.com[i].se.open) {
            said = Format(p.texts.tx(kTxLineBack), {name});
        }
        if (!said.empty()) std::cerr << "vordal-cli monitor: " << ShownText(said) << "\n";
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

const std::string kUsage =
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
    DecodeOptionsUsage() + "\n" + RenderOptionsUsage();

const CliCommand reg("monitor", kUsage, RunMonitor);

} // namespace

} // namespace vdl::cli
