// The running program: start-up order, the 54 ms timer step, online and offline, the channel
// parameter change and shutdown.
#include "app/program.h"

#include "app/image_commands.h"
#include "core/format.h"
#include "core/settings.h"
#include "link/channel_init.h"
#include "link/link_services.h"
#include "link/modem.h"
#include "link/transmitter.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vdl {

namespace {

bool FileExists(const std::string& f) {
    std::error_code ec;
    return std::filesystem::is_regular_file(f, ec);
}

bool DirExists(const std::string& d) {
    std::error_code ec;
    return std::filesystem::is_directory(d, ec);
}

// The hooks of the frame receiver: what close frame hands on goes into the program.
class ProgramRx : public RxHooks {
public:
    explicit ProgramRx(Program& p) : p_(p) {}
    void Log(T_ComVar&, const T_Telegramm& te) override { p_.LogTelegram(te); }
    void ReceiveTriggers(T_ComVar& c, const T_Telegramm& te) override {
        if (p_.send) p_.send->FireOnReceive(c, te);
        if (p_.lists) p_.lists->FireOnReceive(c, te);
    }
    void FrameTriggers(T_ComVar& c, const T_Telegramm& te) override {
        if (p_.send) p_.send->FireOnFrame(c, te);
        if (p_.lists) p_.lists->FireOnFrame(c, te);
    }
    void RemoteReset(T_ComVar& c, uint16_t la) override {
        if (p_.svc) p_.svc->LogEvent(c, ST_REMOTE_RESET, la);
        if (p_.send) p_.send->FireEvent(c, ANST_REMOTE_RESET, la);
        if (p_.lists) p_.lists->FireEvent(c, ANST_REMOTE_RESET, la);
        if (p_.view) p_.view->UpdateStatus();
    }
    void LinkReaction(T_ComVar& c) override {
        if (p_.linkEnv) vdl::LinkReaction(c, *p_.linkEnv);
    }
    void ModemLine(T_ComVar& c) override {
        if (p_.linkEnv) vdl::ModemLine(c, *p_.linkEnv);
    }
    void ModemIdleReload(T_ComVar& c) override {
        if (p_.linkEnv) vdl::ModemIdleReload(c, *p_.linkEnv);
    }
    void RunNow(T_ComVar& c) override {
        if (p_.sv) p_.sv->link.PostRunNow(&c == &p_.com[0] ? 0 : 1);
    }

private:
    Program& p_;
};

// The ports of both channels before a log or parameter set replaces the channel parameters.
std::array<int32_t, 2> PortsOf(const Program& p) {
    return {p.com[0].bp.cnr, p.com[1].bp.cnr};
}

// A bound port number that names no device here (bound by another program's run) would show
// as a bare number and never open: the channel keeps the port it had.
void KeepKnownPorts(Program& p, const std::array<int32_t, 2>& before) {
    for (size_t i = 0; i < 2; ++i) {
        int32_t& cnr = p.com[i].bp.cnr;
        if (cnr >= kFirstBoundPort && p.ports.DevicePath(cnr).empty()) cnr = before[i];
    }
}

int MinuteOf(double dt) {
    DateTimeParts d = DecodeDateTime(dt);
    return d.hour * 60 + d.minute;
}

} // namespace

Program::~Program() {
    imageRebuild.reset();
    log.reset();
    files.reset();
    linkEnv.reset();
    svc.reset();
    rxEnv.reset();
    rxHooks.reset();
    tb.reset();
}

void Program::ReloadSettings() {
    SettingsEnv env = SettingsOf();
    int lang = pp.sprache;
    ReadSettingsFile(StandardFileName(av, texts, kTxSettingsFile), pp);
    ReadFileNames(env);
    ApplyDisplaySettings();
    if (pp.sprache != lang) LoadLanguage(pp.sprache);
    if (files) files->Rescan();
}

SettingsEnv Program::SettingsOf() {
    return SettingsEnv{av, pp, texts, msg, sv->store, sv->folders, sv->localeLanguage};
}

Program::StartResult Program::StartUp(ProgramServices& services) {
    sv = &services;
    av.msjetick = 60;
    if (!LoadStartTexts()) return StartResult::NoTexts;

    for (int n = 1; n <= 2 && !av.first; ++n) {
        if (sv->lock.TryAcquire("VdlKelmar" + std::to_string(n))) {
            av.pnr = n;
            av.first = true;
        }
    }
    if (!av.first) return StartResult::NoSlot;

    SettingsEnv env = SettingsOf();
    ReadStartSettings(env);
    ReadFileNames(env);
    pp.opt[10] = 0;
    ApplyDisplaySettings();
    if (pp.sprache != 0) LoadLanguage(pp.sprache);

    // The send telegrams and lists named in the present language; the channel defaults:
    // channel 1's baud rate from its entry of the baud list.
    InitialSeTeSet(sete, texts);
    InitialSeLiSet(seli, texts);
    InitChannelRecords(com[0], com[1]);
    const std::string& baudText = texts.tx(657 + com[0].bp.BaudI);
    if (!baudText.empty() && baudText.find_first_not_of("0123456789") == std::string::npos &&
        baudText.size() < 8) {
        com[0].bp.baud = com[1].bp.baud = std::stoi(baudText);
    }

    tb = std::make_unique<TimeBase>(sv->clock);
    svc = std::make_unique<ChannelService>(com, av, ap, texts, *tb, sv->link, msg);
    rxHooks = std::make_unique<ProgramRx>(*this);
    rxEnv = std::make_unique<RxEnv>(RxEnv{*tb, av, ap, texts, *rxHooks});
    svc->hooks.receiveBlock = [this](T_ComVar& c, const uint8_t* d, int n) {
        ReceiveBlock(c, *rxEnv, d, static_cast<size_t>(n < 0 ? 0 : n));
    };
    svc->hooks.receiveTick = [this](T_ComVar& c) { ReceiveTick(c, *rxEnv); };
    svc->hooks.log = [this](T_Telegramm& t) { LogTelegram(t); };
    svc->hooks.counters = [this](const T_ComVar& c) {
        std::array<int32_t, 4> r{};
        if (!log) return r;
        auto at = [&](int ek, int k) {
            return (ek >= 1 && ek <= 4)
                       ? log->counters[static_cast<size_t>(ek - 1)][static_cast<size_t>(k)]
                       : 0;
        };
        r = {at(c.em.enr, 0), at(c.em.enr, 1), at(c.se.snr, 0), at(c.se.snr, 1)};
        return r;
    };
    svc->hooks.lamp = [this](T_LedVar& l, bool lit) {
        if (view) view->Lamp(l, lit);
    };
    ports.Attach(sv->store, persistSettings);
    svc->hooks.portName = [this](int n) { return ports.Name(n); };
    svc->hooks.lineChanged = [this](int i) {
        if (view) {
            view->UpdateStatus();
            view->StatisticsChanged();
        }
        if (onLineChanged) onLineChanged(i);
    };
    linkEnv = std::make_unique<LinkEnv>(LinkEnv{*svc, av, ap, texts, *tb, msg, dataSources, {}});
    linkEnv->hooks.linkEvent = [this](T_ComVar& c, uint8_t event, uint16_t la) {
        if (event == ST_LINK_UP) {
            send->FireEvent(c, ANST_LINK_UP, la);
            lists->FireEvent(c, ANST_LINK_UP, la);
        }
        if (view) view->UpdateStatus();
    };
    // Reception of user data: the receive triggers of the send telegrams and lists.
    linkEnv->hooks.userData = [this](T_ComVar& c) {
        send->FireOnReceive(c, c.em.te);
        lists->FireOnReceive(c, c.em.te);
    };
    svc->hooks.continueTransmission = [this](T_ComVar& c) { ContinueSending(c, *linkEnv); };
    svc->hooks.idleWork = [this](T_ComVar& c) { LinkIdleWork(c, *linkEnv); };
    svc->hooks.tickCountdowns = [this](T_ComVar& c) { LinkTickCountdowns(c, *linkEnv); };

    send = std::make_unique<SendTelegrams>(
        sete, SendEnv{*linkEnv, av, com, pp, [this](const std::string& m) { LogMessage(m); },
                      [this](const std::string& m) { LogText(m); }});
    lists = std::make_unique<SendLists>(seli, *send);
    send->stopLists = [this] { lists->StopAll(); };
    feedback = std::make_unique<CommandFeedback>(rmTab, FeedbackEnv{*linkEnv, av});
    linkEnv->hooks.commandFeedback = [this](T_ComVar& c) {
        return feedback->MatchCommand(c, c.em.te);
    };
    // Telegrams 1..12 go before lists 1..12; the feedback is asked by its own kind.
    dataSources.Add(send.get());
    dataSources.Add(lists.get());
    dataSources.Add(feedback.get());
    minuteWork = [this] {
        send->FireMinute(av.min % 60);
        lists->FireMinute(av.min % 60);
    };
    commandFiles = [this] { RunCommandFiles(); };
    // File transfer: the last user data source (registered after all others); its time-outs
    // run on the timer's tick.
    files = std::make_unique<FileTransfer>(*linkEnv, *transferFiles);
    files->channels = {&com[0], &com[1]};
    send->files = files.get();
    dataSources.Add(files.get());
    svc->hooks.tickCountdowns = [this](T_ComVar& c) {
        LinkTickCountdowns(c, *linkEnv);
        files->Tick(c);
    };
    linkEnv->hooks.fileTransfer = [this](T_ComVar& c) { files->Receive(c); };
    svc->hooks.closeFiles = [this] {
        for (T_ComVar& c : com) files->CloseFiles(c);
    };
    files->Rescan();
    InitChannels();
    lists->RecountAll();

    CreateLog(*tb);
    log->statisticsChanged = [this] {
        if (view) view->StatisticsChanged();
    };
    started = true;
    return StartResult::Run;
}

void Program::LogTelegram(const T_Telegramm& te) {
    T_Telegramm t = te;
    if (log && log->IsOpen()) log->AppendTelegram(t);
    if (onLogged) onLogged(t);
    // Objects the station image refused are told after the telegram that brought them.
    if (imageRefused > 0) LogImageRefusals();
}

std::string Program::DefaultParamSetName() const {
    return StandardFileName(av, texts, kTxParamSetFile);
}

bool Program::LoadParamSet(const std::string& name) {
    ParamSetEnv env = ParamEnv();
    const auto ports = PortsOf(*this);
    bool ok = LoadParameterSet(env, name.empty() ? DefaultParamSetName() : name);
    KeepKnownPorts(*this, ports);
    if (ok) {
        demoKept.reset();
        TakeSeTeBlock(sete, pblk.sete);
        TakeSeLiBlocks(seli, pblk.seli, pblk.casl);
        TakeRmBlock(rmTab, pblk.rm);
        InitChannels();
        if (send) send->ReloadRawFiles();
        if (lists) lists->RecountAll();
    }
    return ok;
}

void Program::OpenLogFile(const std::string& name, bool ageCheck) {
    std::string n = name;
    if (n.empty())
        n = (pp.opt[13] || av.dtStartLog.empty()) ? log->AutomaticName(tb->LocalNow())
                                                  : av.dtStartLog;
    const auto ports = PortsOf(*this);
    if (!log->OpenLog(n, ageCheck)) {
        // A file that is not a log stays as it is (its message was shown); the telegrams go
        // to the automatic log instead of being lost.
        std::string automatic = log->AutomaticName(tb->LocalNow());
        if (automatic != n && log->OpenLog(automatic, ageCheck)) n = automatic;
    }
    if (log->IsOpen() && log->Damage().Any()) {
        LogTally t = log->Tally();
        msg.Error(Format(texts.tx(kTxLogDamaged), {log->Name(), t.records}) + "\n" +
                  Format(texts.tx(kTxLogWillBeKept), {log->KeepName()}));
    }
    KeepKnownPorts(*this, ports);
    av.dtLog = n;
    InitChannels();
}

void Program::ApplyCommandLine(const CommandLine& cl) {
    for (const std::string& e : cl.errors) msg.Error(e);
    if (!cl.dataDir.empty()) {
        av.DataDir = cl.dataDir;
        // Everything comes from the given directory: the names the directory read at the
        // start keeps (log, parameter set, object texts, output) are not its.
        av.dtLog.clear();
        av.dtSeTeLi.clear();
        av.dtOaTxt.clear();
        av.dtDruk = av.DataDir;
        SettingsEnv env = SettingsOf();
        WriteDataDirToRegistry(env);
        ReloadSettings();
    }
    if (!cl.dtLog.empty()) av.dtLog = cl.dtLog;
    if (!cl.dtStartLog.empty()) av.dtStartLog = cl.dtStartLog;
    if (cl.seTeLiNamed) av.dtSeTeLi = cl.dtSeTeLi;
    if (!cl.dtOaTxt.empty()) av.dtOaTxt = cl.dtOaTxt;
    if (cl.online >= 0) pp.online = static_cast<uint8_t>(cl.online);
    if (cl.t2) av.t2 = true;

    if (av.dtSeTeLi.empty()) av.dtSeTeLi = DefaultParamSetName();
    if (!LoadParamSet(av.dtSeTeLi) && av.dtSeTeLi != DefaultParamSetName()) {
        av.dtSeTeLi = DefaultParamSetName();
        LoadParamSet(av.dtSeTeLi);
    }
    OpenLogFile(av.dtLog, pp.opt[13] != 0);
    // The settings of a named parameter set win over those stored in the log's head.
    if (!cl.dtSeTeLi.empty() && cl.dtStartLog.empty()) LoadParamSet(av.dtSeTeLi);
    if (av.dtOaTxt.empty()) {
        std::string inData = av.DataDir + texts.tx(kTxObjTextFile);
        av.dtOaTxt = FileExists(inData) ? inData : av.ProgDir + texts.tx(kTxObjTextFile);
    }
}

void Program::FormCreate(const std::vector<std::string>& args, SerialPort* port1,
                         SerialPort* port2) {
    tb->Resync();
    av.syszt = tb->LocalNow();

    CommandLineEnv env;
    env.dataDir = av.DataDir;
    env.fileExists = FileExists;
    env.dirExists = DirExists;
    env.isWritable = [](const std::string& d) { return IsWritable(d); };
    ApplyCommandLine(EvaluateCommandLine(args, texts, env));

    svc->BindPort(0, port1);
    svc->BindPort(1, port2);

    std::vector<int> ports = sv->enumeratePorts ? sv->enumeratePorts() : std::vector<int>{};
    av.AnzCom = 0;
    for (int n : ports)
        if (av.AnzCom < static_cast<int>(av.ComNr.size()))
            av.ComNr[static_cast<size_t>(av.AnzCom++)] = n;
    for (const T_ComVar& c : com) {
        if (c.bp.cnr > 0 && !c.se.open &&
            std::find(ports.begin(), ports.end(), c.bp.cnr) == ports.end())
            pp.online = 0; // a configured port that does not exist: start offline
    }
    av.OpenUhr = av.Tick + 6;
    if (!pp.onlausg) av.LogAusg = log->OpenForReading();
}

void Program::TimerStep() {
    // 1. Minute check: time-triggered sending and the daily log.
    if (av.online && (av.Tick & 1) == 0 && (av.anstzeit || pp.opt[13])) {
        double now = tb->LocalNow();
        int minute = MinuteOf(now);
        if (minute != av.min) {
            av.min = minute;
            if (av.anstzeit && minuteWork) minuteWork();
            if (pp.opt[13] && minute == 0) {
                log->CloseLog();
                log->ring.Clear();
                av.dtLog = log->AutomaticName(now);
                log->OpenLog(av.dtLog, false);
                log->NewLog();
                RestartImage(*this);
                if (view) {
                    view->UpdateStatus();
                    view->ShowOnlineDisplay();
                }
            }
        }
    }
    // 2. The station image.
    if (stationImageWork) stationImageWork();
    // 3. Every 16 ticks: modem service and command files.
    if ((av.Tick & 15) == 0) {
        if (modemService) modemService();
        if (av.online && pp.opt[12] && commandFiles) commandFiles();
    }
    // 4. Every 256 ticks: time base and the measured tick length.
    if ((av.Tick & 0xFF) == 0) {
        if (av.online) tb->Resync();
        double now = sv->clock.LocalNow();
        av.syszt = now;
        int64_t ms = std::llround((now - std::floor(now)) * kMsPerDay);
        if (av.Tick != 0 && ms > av.mstag) {
            int32_t m = static_cast<int32_t>((ms - av.mstag + 128) / 256);
            av.msjetick = m < 45 ? 45 : (m > 70 ? 70 : m);
        }
        av.mstag = ms;
    }
    // 5. The channels.
    svc->TimerTick();
    if (log) log->Periodic();
    // 6. The online display.
    if (view) view->DisplayStep();
    // 7. The delayed opening of the ports after start.
    if (av.Tick == av.OpenUhr) {
        --av.OpenUhr;
        if (pp.online && !AnyPortChosen()) {
            // Nothing to open yet (a first start): no message and no switch of displays; the
            // window says how to choose a port, and the next start still goes online.
            if (view) view->UpdateStatus();
        } else {
            SetOnline(pp.online != 0);
        }
        LoadObjectTexts(av.dtOaTxt);
        if (view) view->PostViewCommand(35);
    }
    // 8. Count the tick; a failed log write takes the program offline.
    uint32_t old = av.Tick++;
    if (old % 32 == 4 && av.online && av.logerr) {
        SetOnline(false);
        const std::string& why = log->WriteError();
        msg.Error(why.empty() ? texts.tx(kTxLogWriteErr) + av.dtLog : why);
        av.logerr = false;
    }
}

void Program::SetOnline(bool on) {
    if (on) tb->Resync();
    bool wasOnlineDisplay = view && view->OnlineDisplayShown();
    av.online = on;
    if (on) {
        // A daily log changes its name with the day.
        if (pp.opt[13]) {
            std::string name = log->AutomaticName(tb->LocalNow());
            if (name != av.dtLog) {
                log->CloseLog();
                OpenLogFile(name, true);
            } else {
                log->FlushLog();
                OpenLogFile(av.dtLog, true);
            }
        }
        // Files put into the data directory meanwhile are offered from now on.
        if (files) files->Rescan();
        if (!svc->OpenAllChannels()) {
            svc->CloseAllChannels();
            av.online = false;
        }
    } else {
        svc->CloseAllChannels();
        log->FlushOnOffline();
    }
    pp.online = av.online ? 1 : 0;
    if (!av.online) av.talt = 0;
    if (view) {
        view->UpdateStatus();
        if (av.online)
            view->ShowOnlineDisplay();
        else if (wasOnlineDisplay)
            view->ShowLogDisplay();
        // Channel 1 reaches its partner through a modem: the dialling window opens.
        if (av.online && com[0].wm.vorh && com[0].se.open) view->ShowDialling();
    }
}

bool Program::AnyPortChosen() const {
    return com[0].bp.cnr != 0 || com[1].bp.cnr != 0;
}

void Program::ToggleOnline() {
    if (av.online) {
        SetOnline(false);
        return;
    }
    av.min = MinuteOf(tb->LocalNow());
    log->ZeroCounters();
    SetOnline(true);
}

void Program::ChangeChannelParams(int i, const T_BetriebsPar& bp) {
    av.parasav = true;
    int32_t oldBaud = com[i].bp.baud > 0 ? com[i].bp.baud : 9600;
    bool wasOpen = com[i].se.open;
    svc->CloseChannel(i);
    // The line settles with the old parameters before the new ones are set.
    if (wasOpen) svc->ActiveWait(176000 / oldBaud + 500);
    com[i].bp = bp;
    demoKept.reset(); // the user owns the channels now
    InitChannel(com[i], av, ap);
    if (send) send->StopAll();
    if (av.online) svc->OpenChannel(i);
    if (view) view->UpdateStatus();
}

void Program::Shutdown() {
    av.setelisav = false;
    av.parasav = false;
    if (svc) svc->CloseAllChannels();
    // The demonstration's settings do not outlive it: the log's head keeps the channels' own.
    if (demoKept) {
        com[0].bp = (*demoKept)[0];
        com[1].bp = (*demoKept)[1];
        demoKept.reset();
    }
    if (log) log->CloseLog();
    if (sv && persistSettings) {
        SettingsEnv env = SettingsOf();
        WriteSettings(env);
        WriteDataDirToRegistry(env);
    }
}

} // namespace vdl
