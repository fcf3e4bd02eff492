#include "online_run.h"

#include "decode_input.h"
#include "decode_render.h"
#include "record_json.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <iostream>

namespace vdl::cli {

namespace {

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

std::string OnlineOptionsUsage() {
    return std::string(
               "      --port1 DEV, --port2 DEV          the serial devices of the channels\n"
               "      --log FILE                       the log file (default: the automatic log)\n"
               "      --duration S                     go offline after S seconds\n"
               "      --records                        one JSON object per telegram, with nr and "
               "dt\n") +
           DecodeOptionsUsage() + "\n" + RenderOptionsUsage();
}

int RunOnline(const Args& argsIn, const OnlineCommand& cmd) {
    const std::string who = "vordal-cli " + cmd.name + ": ";
    if (std::find(argsIn.begin(), argsIn.end(), "--help") != argsIn.end()) {
        std::cout << "usage: vordal-cli" << cmd.usage << "\n";
        return 0;
    }
    Args args = argsIn;
    std::vector<std::string> values = Merged(DecodeValueOptions(), RenderValueOptions());
    values = Merged(values, {"port1", "port2", "log", "duration"});
    values = Merged(values, cmd.values);
    std::vector<std::string> flags = Merged(DecodeFlagOptions(), {"records"});
    flags = Merged(flags, cmd.flags);
    Options o;
    std::string error;
    if (!o.Parse(args, values, flags, error) || !o.Positional().empty()) {
        if (error.empty()) error = "unexpected argument " + o.Positional()[0];
        std::cerr << who << error << "\n";
        return 2;
    }
    if (!o.Has("port1") && !o.Has("port2")) {
        std::cerr << who << "give --port1 DEV and/or --port2 DEV\n";
        return 2;
    }
    if (o.Has("records") && o.Has("format")) {
        std::cerr << who << "--records and --format exclude each other\n";
        return 2;
    }
    if (!o.Has("records") && !o.Has("format")) {
        args.push_back("--format");
        args.push_back("3");
        o = Options();
        o.Parse(args, values, flags, error);
    }
    long long duration = -1;
    if (o.Has("duration") && !ParseNumber(o.Get("duration"), 0, 100000000, duration)) {
        std::cerr << who << "--duration must be a number of seconds\n";
        return 2;
    }
    if (cmd.check && !cmd.check(o, error)) {
        std::cerr << who << error << "\n";
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
        std::cerr << who << "two instances of the program run already\n";
        return 3;
    case Program::StartResult::Run:
        break;
    }
    if (cmd.beforeRun && !cmd.beforeRun(o, host, error)) {
        std::cerr << who << error << "\n";
        return 2;
    }
    if (o.Has("log")) p.av.dtLog = o.Get("log");
    p.pp.onlausg = 1; // no log view to open for reading
    host.Run({p.texts.tx(673)});
    if (!p.log->IsOpen()) {
        std::cerr << who << "the log " << p.av.dtLog << " cannot be used\n";
        return 1;
    }
    if (!ApplyDecodeOptions(o, p, error)) {
        std::cerr << who << error << "\n";
        return 2;
    }
    for (T_ComVar& c : p.com) {
        T_BetriebsPar& bp = c.bp;
        bp.baud = 9600;
        bp.pari = 2;
        bp.data = 8;
        bp.stop = 1;
    }
    if (cmd.configure && !cmd.configure(o, p, error)) {
        std::cerr << who << error << "\n";
        return 2;
    }
    for (int i = 0; i < 2; ++i) {
        p.com[i].bp.cnr = 0;
        std::string dev = o.Get(i == 0 ? "port1" : "port2");
        if (!dev.empty()) host.BindDevice(i, dev);
    }

    DecodeRenderer r;
    bool json = o.Has("records");
    if (!json && !r.Setup(o, p, error)) {
        std::cerr << who << error << "\n";
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
        if (cmd.logged) cmd.logged(p, te);
    };

    p.pp.online = 1;
    p.SetOnline(true);
    bool allOpen = p.av.online;
    for (int i = 0; i < 2; ++i)
        if (o.Has(i == 0 ? "port1" : "port2") && !p.com[i].se.open) allOpen = false;
    if (!allOpen) {
        p.SetOnline(false);
        host.Shutdown();
        return 1;
    }
    if (cmd.passive) {
        p.svc->hooks.idleWork = nullptr;
        if (!o.Has("emulate"))
            for (T_ComVar& c : p.com) c.se.sim = SIM_NONE;
    }
    g_stop = false;
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
    if (cmd.finish) cmd.finish(o, p);
    host.Shutdown();
    return 0;
}

} // namespace vdl::cli
