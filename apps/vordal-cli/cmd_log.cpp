// vordal-cli log: writes, describes, lists and exports log files.
//   log write FILE      appends the records of decode input (standard input) to a log
//   log info FILE       the state of the log as one JSON object
//   log records FILE    one JSON object per stored record
//   log export FILE     the log as text, CSV or a new log file
#include "cli.h"
#include "decode_input.h"
#include "record_json.h"

#include "app/program.h"
#include "asdu/address_text.h"
#include "core/clock.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/time_base.h"
#include "log/filter.h"
#include "log/log_output.h"
#include "log/log_store.h"
#include "platform/qt_clock.h"
#include "platform/qt_locale.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace vdl::cli {

namespace {

constexpr int kTxLogContradicts = 2168; // Format(file, option, the log's value, option given)

// A clock for commands that only read: logs are looked at, never stamped.
class StillClock : public Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return 0; }
};

// A program with the texts of the program directory (their absence only costs the wording of
// messages) and a log opened for looking.
struct Inspect {
    StderrMessages msg;
    StillClock clock;
    Program p{ProgramDir(), msg};
    bool Open(const std::string& file) {
        p.texts.LoadFile(TextFilePath(ProgramDir(), 0));
        p.CreateLog(clock);
        return p.log->OpenForInspection(file);
    }
};

// A log that needed repair is reported on standard error, with the records recovered.
void ReportDamage(Program& p, const LogTally& t) {
    if (p.log->Damage().Any())
        std::cerr << Format(p.texts.tx(kTxLogDamaged), {p.log->Name(), t.records}) << "\n";
}

int Info(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    LogStore& log = *in.p.log;
    const LogTally tally = log.Tally();
    const T_LogKopf& k = log.Kopf();
    nlohmann::json j;
    j["file"] = file;
    j["N"] = k.anzbl;
    j["blanz"] = log.Empty() ? 0 : (k.blakt - k.blalt + k.anzbl) % k.anzbl + 1;
    j["blalt"] = k.blalt;
    j["blakt"] = k.blakt;
    j["count"] = log.Count();
    if (log.Empty()) {
        j["nralt"] = j["nrneu"] = nullptr;
        j["dtalt"] = j["dtneu"] = nullptr;
    } else {
        j["nralt"] = k.nralt;
        j["nrneu"] = k.nrneu;
        j["dtalt"] = IsoTime(k.dtalt);
        j["dtneu"] = IsoTime(k.dtneu);
    }
    j["recovered"] = log.Recovered();
    j["damaged"] = log.Damage().Any();
    j["records"] = tally.records;     // records that can be read
    j["badStamps"] = tally.badStamps; // of them, records whose time stamp is no date
    const T_AllgPar& ap = in.p.ap;
    j["lgla"] = ap.lgla;
    j["mitori"] = ap.mitori;
    j["lgca"] = ap.lgca;
    j["lgoa"] = ap.lgoa;
    j["fkt1"] = in.p.com[0].bp.fkt;
    j["fkt2"] = in.p.com[1].bp.fkt;
    j["pro1"] = in.p.com[0].bp.pro;
    j["pro2"] = in.p.com[1].bp.pro;
    std::cout << j.dump() << "\n";
    ReportDamage(in.p, tally);
    return 0;
}

int Records(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    auto c = in.p.log->NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward())
        std::cout << StoredRecordJson(c->Current()).dump() << "\n";
    ReportDamage(in.p, in.p.log->Tally());
    return 0;
}

// What a log holds of the settings the options of log write set.
struct LogSettings {
    T_AllgPar ap;
    T_BetriebsPar bp[2];
};
LogSettings SettingsIn(const Program& p) {
    return {p.ap, {p.com[0].bp, p.com[1].bp}};
}

// A setting as the option that sets it names it; "" for an option that sets nothing a log
// holds.
std::string LoggedValue(const std::string& option, const LogSettings& s, int ch,
                        const TextTable& t) {
    const T_AllgPar& ap = s.ap;
    const T_BetriebsPar& bp = s.bp[ch];
    if (option == "link-address-length") return std::to_string(ap.lgla);
    if (option == "cot-length") return std::to_string(ap.mitori + 1);
    if (option == "ca-structure") return AdrStrukturText(ap.castr, t);
    if (option == "ioa-structure") return AdrStrukturText(ap.oastr, t);
    if (option == "function") return std::to_string(bp.fkt);
    if (option == "procedure") return bp.pro == PRO_BALANCED ? "balanced" : "unbalanced";
    if (option == "vwe5") return std::to_string(bp.vwe5);
    if (option == "spikes") return bp.spik ? "on" : "off";
    if (option == "link-addresses") {
        std::string v;
        for (int i = 0; i < std::clamp(bp.la.anz, 0, kMaxLinkAdr); ++i)
            v += (i ? "," : "") + std::to_string(bp.la.a[i]);
        return v;
    }
    return {};
}

// Applies the options to the settings of the log that p holds. An option that would change
// them is refused with a message naming it: an existing log keeps its settings, so that its
// records read as they were recorded. False when refused or an option is bad.
bool OptionsAgreeWithLog(const Options& o, Program& p, const std::string& file) {
    const LogSettings logged = SettingsIn(p);
    std::string error;
    if (!ApplyDecodeOptions(o, p, error)) {
        std::cerr << "vordal-cli log write: " << error << "\n";
        return false;
    }
    const LogSettings given = SettingsIn(p);
    std::vector<std::string> options = DecodeValueOptions();
    options.insert(options.end(), DecodeFlagOptions().begin(), DecodeFlagOptions().end());
    for (const std::string& option : options) {
        for (int ch = 0; ch < 2 && o.Has(option); ++ch) {
            std::string was = LoggedValue(option, logged, ch, p.texts);
            if (was == LoggedValue(option, given, ch, p.texts)) continue;
            std::string as = "--" + option + (o.Get(option).empty() ? "" : " " + o.Get(option));
            std::cerr << Format(p.texts.tx(kTxLogContradicts), {file, "--" + option, was, as})
                      << "\n";
            return false;
        }
    }
    return true;
}

int Write(const Args& args) {
    Options o;
    std::string error;
    if (!o.Parse(args, DecodeValueOptions(), DecodeFlagOptions(), error) ||
        o.Positional().size() != 1) {
        if (error.empty()) error = "one log file";
        std::cerr << "vordal-cli log write: " << error << "\n";
        return 2;
    }
    const std::string file = o.Positional()[0];
    std::vector<DecodeBlock> blocks;
    if (!ParseDecodeInput(std::cin, blocks, error)) {
        std::cerr << "vordal-cli log write: " << error << "\n";
        return 2;
    }
    StderrMessages msg;
    Program p(DecodeTextsDir(o), msg);
    if (!p.LoadStartTexts()) return 1;
    QtClock sys;
    TimeBase stamps(sys);
    stamps.Resync();
    p.CreateLog(stamps);
    // A new log is created with the options' settings. An existing one keeps its own: it is
    // looked at first (nothing written), and options that contradict it are refused.
    std::error_code ec;
    const bool exists = FileExists(file) && std::filesystem::file_size(file, ec) > 0;
    if (exists) {
        if (!p.log->OpenForInspection(file)) return 1;
        if (!OptionsAgreeWithLog(o, p, file)) return 2;
        p.log->CloseLog();
    } else if (!ApplyDecodeOptions(o, p, error)) {
        std::cerr << "vordal-cli log write: " << error << "\n";
        return 2;
    }
    if (!p.log->OpenLog(file, false)) return 1;
    // The settings came again from the log's head; the channels start from them.
    if (exists && !ApplyDecodeOptions(o, p, error)) return 2;
    if (p.log->Damage().Any()) {
        std::cerr << Format(p.texts.tx(kTxLogDamaged), {file, p.log->Tally().records}) << "\n";
    }
    RunDecode(p, blocks, [&p](const T_Telegramm& te, int) {
        T_Telegramm copy = te;
        p.log->AppendTelegram(copy);
    });
    p.log->FlushLog();
    p.log->CloseLog();
    if (!p.log->KeptAs().empty())
        std::cerr << Format(p.texts.tx(kTxLogKept), {p.log->KeptAs()}) << "\n";
    if (p.log->Dropped() > 0)
        std::cerr << Format(p.texts.tx(kTxLogFilterDropped), {p.log->Dropped()}) << "\n";
    if (p.av.logerr) {
        const std::string& why = p.log->WriteError();
        std::cerr << (why.empty() ? p.texts.tx(kTxLogWriteErr) + file : why) << "\n";
        return 1;
    }
    return 0;
}

class StreamSink : public OutputSink {
public:
    explicit StreamSink(std::ostream& o) : o_(o) {}
    bool Line(const std::string& s) override {
        o_ << s << "\r\n";
        return static_cast<bool>(o_);
    }

private:
    std::ostream& o_;
};

int Export(const Args& args) {
    Options o;
    std::string error;
    if (!o.Parse(args, {"format", "out", "kind", "filter"}, {}, error) ||
        o.Positional().size() != 1 || !o.Has("format")) {
        if (error.empty()) error = "one log file and --format 3..7";
        std::cerr << "vordal-cli log export: " << error << "\n";
        return 2;
    }
    const std::string fmt = o.Get("format"), kind = o.Get("kind", "text");
    if (fmt.size() != 1 || fmt[0] < '3' || fmt[0] > '7') {
        std::cerr << "vordal-cli log export: --format must be 3..7\n";
        return 2;
    }
    if (kind != "text" && kind != "log") {
        std::cerr << "vordal-cli log export: --kind must be text or log\n";
        return 2;
    }
    if (kind == "log" && !o.Has("out")) {
        std::cerr << "vordal-cli log export: --kind log needs --out\n";
        return 2;
    }
    StderrMessages msg;
    StillClock clock;
    Program p(ProgramDir(), msg);
    if (!p.LoadStartTexts()) return 1;
    p.CreateLog(clock);
    const std::string& file = o.Positional()[0];
    // The log is never the target, by whatever name or link it is given.
    if (o.Has("out") && SameFile(o.Get("out"), file)) {
        std::cerr << SameFileMessage(p.texts, o.Get("out"), file) << "\n";
        return 2;
    }
    if (!p.log->OpenForInspection(file)) return 1;
    p.pp.format = fmt[0] - '0';
    if (p.pp.format == VF_CSV) p.pp.zeitzl = 1;
    if (o.Has("filter")) {
        std::string f = o.Get("filter");
        if (!FileExists(f)) f += "." + p.texts.tx(2018);
        if (!LoadNamedFilter(f, p.ap.afilt, p.ap)) {
            std::cerr << "vordal-cli log export: not a filter file: " << o.Get("filter") << "\n";
            return 2;
        }
        p.ap.afilt.aktiv = static_cast<uint8_t>(p.ap.afilt.def);
    }
    QtLocaleFormats loc;
    SetDefaultNumberFormat(loc.Numbers());
    RenderEnv render = p.Rendering(loc);
    LogOutputEnv env{*p.log,
                     render,
                     loc,
                     LogEnv{clock, msg, p.texts, p.av, p.ap, p.pp, p.com[0].bp, p.com[1].bp},
                     [&p](const T_Telegramm& te) { return DisplayAccepts(te, p.Filters()); },
                     nullptr};
    bool shown = false;
    env.progress = [&shown](int pct) {
        std::cerr << "\rexport: " << pct << " %" << std::flush;
        shown = true;
        return true;
    };
    bool ok;
    if (!o.Has("out")) {
        StreamSink sink(std::cout);
        ok = WriteLogLines(env, sink);
    } else {
        ok = WriteLogOutput(env, o.Get("out"), kind == "log" ? OUT_LOG : OUT_TEXT);
    }
    if (shown) std::cerr << "\rexport: 100 %\n";
    ReportDamage(p, p.log->Tally());
    return ok ? 0 : 1;
}

const std::string kUsage =
    std::string("  log write FILE [OPTIONS] append the records of decode input (standard input)\n"
                "                          to the log FILE, created with the options' settings\n") +
    DecodeOptionsUsage() +
    "\n"
    "  log info FILE          the state of a log file as JSON\n"
    "  log records FILE       one JSON object per stored record (with nr, dt)\n"
    "  log export FILE --format 3..7 [--out OUT] [--kind text|log] [--filter NAMEDFILTER]\n"
    "                         the log as the view shows it (7: CSV), or into a new log file";

int RunLog(const Args& args) {
    if (!args.empty() && args[0] == "write") return Write(Args(args.begin() + 1, args.end()));
    if (!args.empty() && args[0] == "export") return Export(Args(args.begin() + 1, args.end()));
    if (args.size() == 2 && args[0] == "info") return Info(args[1]);
    if (args.size() == 2 && args[0] == "records") return Records(args[1]);
    std::cerr << "usage:\n" << kUsage << "\n";
    return 2;
}

const CliCommand reg("log", kUsage, RunLog);

} // namespace

} // namespace vdl::cli
