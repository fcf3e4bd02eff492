#include "online_run.h"

#include "decode_input.h"
#include "decode_render.h"
#include "log_settings.h"
#include "record_json.h"

#include "app/demo_line.h"
#include "core/file_io.h"
#include "core/format.h"
#include "link/port_list.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace vdl::cli {

namespace {

constexpr int kTxDataDirCannotBeMade = 2225; // Format(directory, system reason)

constexpr int kTxSameDevice = 2224; // Format(device of --port1, device of --port2)

std::atomic<bool> g_stop{false};
extern "C" void OnStopSignal(int) {
    g_stop = true;
}

std::vector<std::string> Merged(std::vector<std::string> a, const std::vector<std::string>& b) {
    for (const std::string& s : b)
        if (std::find(a.begin(), a.end(), s) == a.end()) a.push_back(s);
    return a;
}

} // namespace

void RunUntilStopped(long long seconds) {
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (g_stop) QCoreApplication::quit();
    });
    watch.start(50);
    if (seconds >= 0)
        QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}

int CheckDataDir(const Invocation& in) {
    if (!in.opt().Has("data-dir")) return 0;
    const std::string dir = in.opt().Get("data-dir");
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (std::filesystem::is_directory(dir)) return 0;
    if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
    return in.Refuse(in.Say(in.tx(kTxDataDirCannotBeMade), {Shown(dir), ec.message()}));
}

int UseDataDir(const Invocation& in, ProgramHost& host) {
    if (!in.opt().Has("data-dir")) return 0;
    Program& p = host.prog();
    std::string d = std::filesystem::absolute(in.opt().Get("data-dir")).string();
    if (d.back() != '/') d += '/';
    p.av.DataDir = d;
    p.av.dtLog.clear();
    p.av.dtSeTeLi.clear();
    p.ReloadSettings();
    return 0;
}

std::string OnlineOptionsUsage(const std::vector<std::string>& omit) {
    std::string all =
        std::string(
            "      --port1 DEV, --port2 DEV         the serial devices of the channels\n"
            "      --log FILE                       the log file (default: the automatic log);\n"
            "                                       settings are the defaults and the options,\n"
            "                                       never a log's; a log with records keeps\n"
            "                                       its own: other ones are refused (2), the\n"
            "                                       automatic log is kept aside "
            "(NAME.kept.EXT)\n"
            "      --duration S                     go offline after S seconds\n"
            "      --records                        one JSON object per telegram, with nr and "
            "dt\n") +
        DecodeOptionsUsage() + "\n" + RenderOptionsUsage();
    // An omitted option's line goes with the lines that continue it (they start with blanks
    // only).
    std::istringstream in(all);
    std::string out;
    bool skip = false;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find_first_not_of(' ');
        if (at != std::string::npos && line.compare(at, 2, "--") == 0) {
            const std::string name = line.substr(at + 2, line.find_first_of(" ,", at) - at - 2);
            skip = std::find(omit.begin(), omit.end(), name) != omit.end();
        }
        if (!skip) out += line + "\n";
    }
    if (!out.empty()) out.pop_back();
    return out;
}

int RunOnline(const Args& args, const OnlineCommand& cmd) {
    Invocation in(cmd.name, cmd.usage);
    std::vector<std::string> values = Merged(DecodeValueOptions(), RenderValueOptions());
    values = Merged(values, {"port1", "port2", "log", "duration"});
    values = Merged(values, cmd.values);
    std::vector<std::string> flags = Merged(DecodeFlagOptions(), {"records"});
    flags = Merged(flags, cmd.flags);
    if (cmd.demo) flags = Merged(flags, {"demo"});
    if (!in.Start(args, values, flags)) return in.Exit();
    const Options& o = in.opt();
    const bool demo = cmd.demo && o.Has("demo");
    if (!o.Positional().empty()) return in.Refuse(in.Say(in.tx(2205), {Shown(o.Positional()[0])}));
    if (demo && (o.Has("port1") || o.Has("port2")))
        return in.Refuse(in.Say(in.tx(2207), {"--demo", o.Has("port1") ? "--port1" : "--port2"}));
    if (!demo && !o.Has("port1") && !o.Has("port2"))
        return in.Refuse(in.Say(in.tx(2206), {"--port1 DEV, --port2 DEV"}));
    // One device cannot serve both channels, by whatever name or link it is given.
    if (o.Has("port1") && o.Has("port2") && SameFile(o.Get("port1"), o.Get("port2")))
        return in.Refuse(
            in.Say(in.tx(kTxSameDevice), {Shown(o.Get("port1")), Shown(o.Get("port2"))}));
    if (o.Has("records") && o.Has("format"))
        return in.Refuse(in.Say(in.tx(2207), {"--records", "--format"}));
    long long duration = -1;
    if (!in.Number("duration", 0, 100000000, duration)) return kExitRefused;
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
        if (cmd.check)
            if (int rc = cmd.check(in, scratch); rc != 0) return rc;
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
    if (cmd.beforeRun)
        if (int rc = cmd.beforeRun(in, host); rc != 0) return rc;
    // The command line's language, not the one of the stored settings.
    if (!p.LoadLanguage(in.LangOf(in.TextsDir()))) return 1;
    // The run's settings are the program's defaults, --params and the options: never those of
    // a log or a parameter set the desktop left in the data directory. The log is --log or the
    // automatic one.
    const LogSettings defaults = SettingsIn(p);
    p.av.dtLog = o.Get("log");
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
    if (o.Has("log") && !SameFile(p.log->Name(), o.Get("log"))) {
        // The log named could not be opened (the program has said why) and another one was
        // opened instead: this run records nothing where it was asked to.
        const std::string other = p.log->Name();
        const bool empty = p.log->Count() == 0;
        host.Shutdown();
        std::error_code ec;
        if (empty && std::find(newLogs.begin(), newLogs.end(), other) != newLogs.end())
            std::filesystem::remove(other, ec);
        return in.Fail(1, in.Say(in.tx(2220), {Shown(o.Get("log"))}));
    }
    const LogSettings logged = SettingsIn(p);
    const bool hadRecords = !p.log->Empty();
    PutSettings(p, defaults);
    // A run that ends before it starts leaves the log's settings as they were.
    auto endEarly = [&](int rc) {
        PutSettings(p, logged);
        host.Shutdown();
        return rc;
    };
    if (!ApplyDecodeOptions(in, p)) return endEarly(kExitRefused);
    for (T_ComVar& c : p.com) {
        T_BetriebsPar& bp = c.bp;
        bp.baud = 9600;
        bp.pari = 2;
        bp.data = 8;
        bp.stop = 1;
    }
    if (cmd.configure) {
        if (int rc = cmd.configure(in, p); rc != 0) return endEarly(rc);
    }
    std::string aside; // the automatic log kept aside, given back when no port opens
    if (int rc = SettleRunLog(in, p, logged, hadRecords, o.Has("log"), aside); rc != 0)
        return endEarly(rc);
    if (!aside.empty()) newLogs.push_back(p.av.dtLog);
    for (int i = 0; i < 2; ++i) {
        p.com[i].bp.cnr = 0;
        std::string dev = o.Get(i == 0 ? "port1" : "port2");
        if (!dev.empty()) host.BindDevice(i, dev);
    }
    if (std::string why; demo && !host.MakeDemoLine(why)) {
        host.Shutdown();
        return in.Fail(1, Format(p.texts.tx(kTxDemoLineFailed), {why}));
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
        if (cmd.logged) cmd.logged(p, te);
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
        if (!said.empty())
            std::cerr << "vordal-cli " << cmd.name << ": " << ShownText(said) << "\n";
    };

    p.pp.online = 1;
    p.SetOnline(true);
    bool allOpen = p.av.online;
    for (int i = 0; i < 2; ++i)
        if ((demo || o.Has(i == 0 ? "port1" : "port2")) && !p.com[i].se.open) allOpen = false;
    if (!allOpen) {
        p.SetOnline(false);
        bool empty = p.log->Count() == 0;
        std::string made = p.av.dtLog;
        host.Shutdown();
        std::error_code ec;
        if (empty && std::find(newLogs.begin(), newLogs.end(), made) != newLogs.end()) {
            std::filesystem::remove(made, ec);
            if (!aside.empty()) std::filesystem::rename(aside, made, ec);
        }
        return 1;
    }
    if (cmd.passive) {
        p.svc->hooks.idleWork = nullptr;
        if (!o.Has("emulate"))
            for (T_ComVar& c : p.com) c.se.sim = SIM_NONE;
    }
    if (cmd.online) cmd.online(in, p);
    RunUntilStopped(duration);
    p.SetOnline(false);
    if (cmd.finish) cmd.finish(in, p);
    // No later start takes its settings from a log of the command line: the log's head keeps
    // the settings of this run, the demonstration's too, so that the next run appends to it.
    p.demoKept.reset();
    host.Shutdown();
    return 0;
}

} // namespace vdl::cli
