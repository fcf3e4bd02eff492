// The program without its window: every single global instance (channels, settings, texts,
// and the tables of the other subsystems) owned by one object, and the start-up order. The
// desktop program and the command-line program both drive a Program; tests can make two.
#pragma once

#include "app/command_line.h"
#include "asdu/object_texts.h"
#include "asdu/renderer.h"
#include "core/allg_var.h"
#include "core/channel.h"
#include "core/clock.h"
#include "core/instance_lock.h"
#include "core/messages.h"
#include "core/param_set.h"
#include "core/settings.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "core/time_base.h"
#include "core/user_store.h"
#include "image/station_image.h"
#include "link/channel_service.h"
#include "link/file_transfer.h"
#include "link/link_env.h"
#include "link/link_platform.h"
#include "link/port_names.h"
#include "link/receiver.h"
#include "link/transfer_files.h"
#include "link/user_data.h"
#include "log/filter.h"
#include "log/log_output.h"
#include "log/log_store.h"
#include "send/feedback.h"
#include "send/list_service.h"
#include "send/seli.h"
#include "send/send_service.h"
#include "send/sete.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vdl {

class ImageRebuild;

// Exit code of a start whose German program texts cannot be loaded.
constexpr int kExitNoTexts = 99;

// What a running program needs from the system.
struct ProgramServices {
    Clock& clock; // the system's clocks
    LinkPlatform& link;
    InstanceLock& lock;
    KeyValueStore& store;
    Folders& folders;
    // The serial ports that exist: the system's devices and the bound devices present.
    std::function<std::vector<int>()> enumeratePorts;
    int localeLanguage = 1; // 0 when the user's locale is German
};

// What the program asks of its window. The command-line program leaves most of it empty.
class ProgramView {
public:
    virtual ~ProgramView() = default;
    virtual void UpdateStatus() {}
    virtual void ShowOnlineDisplay() {}
    virtual void ShowLogDisplay() {}
    virtual bool OnlineDisplayShown() const { return false; }
    // The online display step of every timer tick.
    virtual void DisplayStep() {}
    virtual void PostViewCommand(int code) { (void)code; }
    virtual void Lamp(T_LedVar& led, bool lit) { (void)led, (void)lit; }
    virtual void StatisticsChanged() {}
    // Recording started while channel 1 works through a modem: the dialling window opens.
    virtual void ShowDialling() {}
};

class Program {
public:
    Program(std::string progDir, Messages& msg);
    // The log store and the channel service use the time base: they go first.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The first steps of the start-up order: the German program texts. Returns false (after
    // the loader's message) when they cannot be loaded; the process then ends with 99.
    bool LoadStartTexts();
    // Loads the texts of another language; on failure the table holds the partial load.
    bool LoadLanguage(int lang);

    // The caption of the main window (also the application title).
    std::string Caption() const;

    Messages& msg;
    TextTable texts;
    T_AllgVar av;
    T_AllgPar ap;
    T_ProgPar pp;
    T_ComVar com[2];
    T_ParaBlocks pblk = DefaultParaBlocks(); // the send blocks as read and written
    SeTeSet sete;                            // the twelve send telegrams
    SeLiSet seli;                            // the twelve send lists
    T_RmTab rmTab;                           // the command feedback table

    // Makes the log store; stamps gives the time stamps of new telegrams (the time base).
    void CreateLog(Clock& stamps);
    // What the filters test against: the settings and the log's oldest number.
    FilterEnv Filters() const;
    // What loading and saving a parameter set work on; the send telegram block is brought up
    // to date from the telegrams first.
    ParamSetEnv ParamEnv();
    std::unique_ptr<LogStore> log;

    // The object text table. Loading replaces it; an unreadable file keeps it, is reported and
    // entered into the log as a message, and forgets dtOaTxt.
    // Enters a program message about a file (stat 33) into the log.
    void LogMessage(const std::string& m);
    // Enters a program text (stat 52) into the log.
    void LogText(const std::string& m);

    ObjectTexts objects;
    bool LoadObjectTexts(const std::string& path);
    // What the renderer reads: settings, channels, object texts, the log's oldest number and
    // the given date and time forms.
    RenderEnv Rendering(const LocaleFormats& loc) const;
    // The station image: it collects while its window is open; a rebuild from the log may be
    // pending (app/image_commands.h).
    StationImage image;
    std::unique_ptr<ImageRebuild> imageRebuild;
    ImageEnv ImageEnvOf() const;
    // Enters a logged telegram into the image (a pending rebuild's older telegrams first).
    void EnterImage(const T_Telegramm& te);
    // Logs text 2074 once per object the image refused since the last call.
    void LogImageRefusals();
    int imageRefused = 0;
    // What an output of the log (export, printout, new log file) reads: this program's log,
    // settings and display filter, the renderer's environment and the locale; new logs are
    // created on clock. No progress.
    LogOutputEnv OutputEnv(const RenderEnv& render, const LocaleFormats& loc, Clock& clock);
    // Derives what the display settings decide elsewhere (the quality highlight mask); run
    // after they are read or edited.
    void ApplyDisplaySettings();

    // ---- The running program ----

    enum class StartResult { Run, NoTexts, NoSlot };
    // The start-up order before the window: German texts (NoTexts: exit code 99), an instance
    // slot (NoSlot: end silently), data directory, settings and file-name list, the stored
    // language, the channel defaults; then the time base, the channel service and the log
    // store are made.
    StartResult StartUp(ProgramServices& services);
    // The window's part of the start without widgets: binds the ports, evaluates the command
    // line, loads the parameter set and opens the log, enumerates the ports and schedules
    // the opening of the ports.
    void FormCreate(const std::vector<std::string>& args, SerialPort* port1, SerialPort* port2);
    // Applies an evaluated command line (also used by the tests).
    void ApplyCommandLine(const CommandLine& cl);
    // The 54 ms timer step.
    void TimerStep();
    // The only way to change the online state.
    void SetOnline(bool on);
    // aGoOnl: toggles, zeroing the statistics when coming from offline.
    void ToggleOnline();
    // Some channel has a port (a first start has none).
    bool AnyPortChosen() const;
    // New parameters of channel i from the parameter dialog.
    void ChangeChannelParams(int i, const T_BetriebsPar& bp);
    // Closing the main window.
    void Shutdown();
    // Enters a record into the log and passes it to the display.
    void LogTelegram(const T_Telegramm& te);
    // Loads the parameter set file name (the default one when name is empty).
    bool LoadParamSet(const std::string& name);
    std::string DefaultParamSetName() const;
    // Opens the log file (the automatic one when name is empty).
    void OpenLogFile(const std::string& name, bool ageCheck);
    // The run-now message of channel i arrived.
    void RunNow(int i) {
        if (svc) svc->ChannelTick(i);
    }
    SettingsEnv SettingsOf();
    // Reads the settings file and the file-name list of the present data directory, and the
    // texts again when the stored language differs.
    void ReloadSettings();

    ProgramServices* sv = nullptr;
    ProgramView* view = nullptr; // may stay null
    std::unique_ptr<TimeBase> tb;
    std::unique_ptr<ChannelService> svc;
    std::unique_ptr<RxHooks> rxHooks;
    std::unique_ptr<RxEnv> rxEnv;
    // What the emulated stations send besides their link frames: send telegrams, send lists,
    // command feedback and file transfer register here.
    UserDataSources dataSources;
    // The transmitter and the link procedures' view of the program.
    std::unique_ptr<LinkEnv> linkEnv;
    // The send telegrams at work: requests, triggers, and the first user data source.
    std::unique_ptr<SendTelegrams> send;
    // The send lists, the second user data source.
    std::unique_ptr<SendLists> lists;
    // The command feedback, the source of command feedback.
    std::unique_ptr<CommandFeedback> feedback;
    // The three command files of the data directory (option 12): a telegram, a list or a batch,
    // the feedback table.
    void RunCommandFiles();
    // Loads a feedback text file into the table (emptying it: the command file); a file that
    // cannot be read is said in the log. True when it was read.
    bool LoadFeedback(const std::string& path, bool emptyAfter);
    // The files file transfer reads and writes (the system's, unless a test sets its own before
    // the start), and the file transfer: the last user data source.
    std::unique_ptr<TransferFiles> transferFiles = std::make_unique<StdTransferFiles>();
    std::unique_ptr<FileTransfer> files;
    // Initialises both channels (start, parameters, address settings, loads) and stops all
    // sending, whose link addresses follow from the channels.
    void InitChannels();
    // Called with every telegram after it was logged (numbered and stamped), also when the
    // log filter refused it (then nr is unchanged); the command-line monitor prints them.
    std::function<void(const T_Telegramm&)> onLogged;
    // Called when channel i's line was lost or is open again (svc->Lost(i) tells which); the
    // command-line monitor says so on standard error.
    std::function<void(int)> onLineChanged;
    // Port numbers and their devices; the bindings are kept in the per-user store (when the
    // settings are kept).
    PortNames ports;
    // Hooks of later subsystems (no-ops until they land).
    std::function<void()> minuteWork;       // time-triggered sending
    std::function<void()> stationImageWork; // periodic work of the station image
    std::function<void()> modemService;     // every 16 ticks
    std::function<void()> commandFiles;     // every 16 ticks, online with option 12
    // The channels' own settings while the demonstration line runs in their place (EnterDemo);
    // given back at shutdown unless the user set the channels meanwhile.
    std::optional<std::array<T_BetriebsPar, 2>> demoKept;
    bool started = false;
    // The desktop program keeps its settings, file-name list and data directory at exit; the
    // command-line program leaves them as they are.
    bool persistSettings = true;
};

// Messages written to standard error (the command-line program).
class StderrMessages : public Messages {
public:
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    Answer Ask(const std::string& text, bool cancel) override;
};

} // namespace vdl
