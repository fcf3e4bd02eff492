// vordal-cli log: writes, describes, lists and exports log files.
//   log write FILE      appends the records of decode input (standard input) to a log
//   log info FILE       the state of the log as one JSON object
//   log records FILE    one JSON object per stored record
//   log export FILE     the log as text, CSV or a new log file
#include "cli.h"
#include "decode_input.h"
#include "decode_render.h"
#include "inspect.h"
#include "invocation.h"
#include "log_settings.h"
#include "record_json.h"

#include "app/program.h"
#include "asdu/address_text.h"
#include "core/clock.h"
#include "core/file_io.h"
#include "core/time_base.h"
#include "log/filter.h"
#include "log/log_output.h"
#include "log/log_print.h"
#include "log/log_store.h"
#include "platform/qt_clock.h"
#include "platform/qt_locale.h"
#include "platform/qt_printer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>

#include <unistd.h>

namespace vdl::cli {

namespace {

constexpr int kTxLogContradicts = 2168; // Format(file, option, the log's value, option given)

// The usage of the sub-commands, each shown by its --help and all by log --help.
const std::string kWriteUsage =
    std::string(
        "  log write FILE [OPTIONS] append the records of decode input (standard input)\n"
        "                          to the log FILE, created with the options' settings;\n"
        "                          records of lines with a receive time (@...) are stamped\n"
        "                          with today's date and that time\n") +
    DecodeOptionsUsage();
const std::string kInfoUsage = "  log info FILE          the state of a log file as JSON";
const std::string kRecordsUsage =
    "  log records FILE       one JSON object per stored record (with nr, dt)";
const std::string kExportUsage =
    "  log export FILE --format 3..7 [--out OUT] [--kind text|log] [--filter NAMEDFILTER]\n"
    "                         the log as the view shows it (7: CSV), or into a new log file\n"
    "      --lang usa|ger                   language of the interpretation and the messages\n"
    "                                       (default usa: English)\n"
    "      --progress                       one line per 10 % on standard error (without it,\n"
    "                                       progress is shown only on a terminal)\n"
    "  log export FILE --kind pdf --out OUT.pdf [--format 3..7] [--filter NAMEDFILTER]\n"
    "                         the log printed into a PDF file: pages with a header each, in\n"
    "                         the view format given (default 3, the full interpretation)";
const std::string kUsage =
    kWriteUsage + "\n" + kInfoUsage + "\n" + kRecordsUsage + "\n" + kExportUsage;

// The one log file a reading sub-command takes: 0, or the exit code after the message.
int OneLogFile(const Invocation& inv, std::string& file) {
    const auto& pos = inv.opt().Positional();
    if (pos.empty()) return inv.Refuse(inv.Say(inv.tx(2206), {"FILE"}));
    if (pos.size() > 1) return inv.Refuse(inv.Say(inv.tx(2205), {Shown(pos[1])}));
    file = pos[0];
    return inv.CheckLogFile(file);
}

// A log that needed repair is reported on standard error, with the records recovered.
void ReportDamage(const Invocation& inv, Program& p, const LogTally& t) {
    if (p.log->Damage().Any())
        std::cerr << ShownText(inv.Say(inv.tx(kTxLogDamaged), {Shown(p.log->Name()), t.records}))
                  << "\n";
}

int Info(const Args& args) {
    Invocation inv("log info", kInfoUsage);
    if (!inv.Start(args, {}, {})) return inv.Exit();
    std::string file;
    if (int rc = OneLogFile(inv, file); rc != 0) return rc;
    Inspect in;
    if (!in.Open(inv, file)) return 1;
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
    ReportDamage(inv, in.p, tally);
    return 0;
}

int Records(const Args& args) {
    Invocation inv("log records", kRecordsUsage);
    if (!inv.Start(args, {}, {})) return inv.Exit();
    std::string file;
    if (int rc = OneLogFile(inv, file); rc != 0) return rc;
    Inspect in;
    if (!in.Open(inv, file)) return 1;
    auto c = in.p.log->NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward())
        std::cout << StoredRecordJson(c->Current()).dump() << "\n";
    ReportDamage(inv, in.p, in.p.log->Tally());
    return 0;
}

// Applies the options to the settings of the log that p holds. An option that would change
// them is refused with a message naming it: an existing log keeps its settings, so that its
// records read as they were recorded. False when refused or an option is bad.
bool OptionsAgreeWithLog(const Invocation& inv, Program& p, const std::string& file) {
    const LogSettings logged = SettingsIn(p);
    if (!ApplyDecodeOptions(inv, p)) return false;
    const LogSettings given = SettingsIn(p);
    const Options& o = inv.opt();
    std::vector<std::string> options = DecodeValueOptions();
    options.insert(options.end(), DecodeFlagOptions().begin(), DecodeFlagOptions().end());
    for (const std::string& option : options) {
        for (int ch = 0; ch < 2 && o.Has(option); ++ch) {
            std::string was = LoggedValue(option, logged, ch, p.texts);
            if (was == LoggedValue(option, given, ch, p.texts)) continue;
            std::string as = "--" + option + (o.Get(option).empty() ? "" : " " + o.Get(option));
            inv.Refuse(
                inv.Say(inv.tx(kTxLogContradicts), {Shown(file), "--" + option, was, Shown(as)}));
            return false;
        }
    }
    return true;
}

int Write(const Args& args) {
    Invocation inv("log write", kWriteUsage);
    if (!inv.Start(args, DecodeValueOptions(), DecodeFlagOptions())) return inv.Exit();
    const Options& o = inv.opt();
    if (o.Positional().empty()) return inv.Refuse(inv.Say(inv.tx(2206), {"FILE"}));
    if (o.Positional().size() > 1)
        return inv.Refuse(inv.Say(inv.tx(2205), {Shown(o.Positional()[1])}));
    const std::string file = o.Positional()[0];
    // Appending needs a log; a new one is created where nothing is.
    std::error_code ec;
    const int rc = std::filesystem::exists(file, ec) ? inv.CheckLogFile(file) : 0;
    if (rc != 0) return rc;
    std::string error;
    std::vector<DecodeBlock> blocks;
    if (!ParseDecodeInput(std::cin, blocks, inv, error)) return inv.Refuse(error);
    CliMessages msg;
    Program p(inv.TextsDir(), msg);
    if (!LoadCommandTexts(inv, p)) return 1;
    QtClock sys;
    TimeBase stamps(sys);
    stamps.Resync();
    p.CreateLog(stamps);
    // A new log is created with the options' settings. An existing one keeps its own: it is
    // looked at first (nothing written), and options that contradict it are refused.
    const bool exists = FileExists(file);
    if (exists) {
        if (!p.log->OpenForInspection(file)) return 1;
        if (!OptionsAgreeWithLog(inv, p, file)) return kExitRefused;
        p.log->CloseLog();
    } else if (!ApplyDecodeOptions(inv, p)) {
        return kExitRefused;
    }
    if (!p.log->OpenLog(file, false)) return 1;
    // The settings came again from the log's head; the channels start from them.
    if (exists && !ApplyDecodeOptions(inv, p)) return kExitRefused;
    if (p.log->Damage().Any()) {
        std::cerr << ShownText(
                         inv.Say(inv.tx(kTxLogDamaged), {Shown(file), p.log->Tally().records}))
                  << "\n";
    }
    // A recording with receive times keeps its timing: today's date and the time of each line.
    double stamp = std::floor(sys.LocalNow());
    const double today = stamp;
    if (InputIsTimed(blocks)) p.log->timeStamp = [&stamp] { return stamp; };
    RunDecode(
        p, blocks,
        [&p, &stamp](const T_Telegramm& te, int) {
            T_Telegramm copy = te;
            if (te.dt != 0) stamp = te.dt;
            p.log->AppendTelegram(copy);
        },
        today);
    p.log->FlushLog();
    p.log->CloseLog();
    if (!p.log->KeptAs().empty())
        std::cerr << ShownText(inv.Say(inv.tx(kTxLogKept), {Shown(p.log->KeptAs())})) << "\n";
    if (p.log->Dropped() > 0)
        std::cerr << ShownText(inv.Say(inv.tx(kTxLogFilterDropped), {p.log->Dropped()})) << "\n";
    if (p.av.logerr) {
        const std::string& why = p.log->WriteError();
        if (why.empty())
            std::cerr << ShownText(p.texts.tx(kTxLogWriteErr)) << Shown(file) << "\n";
        else
            std::cerr << ShownText(why) << "\n";
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

// Progress of an export on standard error: on a terminal a line that counts up, with
// --progress one line per 10 %, else nothing (a script's error output stays clean).
class Progress {
public:
    Progress(const Invocation& inv, bool lines)
        : inv_(inv), lines_(lines), terminal_(isatty(STDERR_FILENO) != 0) {}
    bool Step(int pct) {
        if (lines_) {
            for (; next_ <= pct && next_ < 100; next_ += 10) Line(next_);
        } else if (terminal_) {
            std::cerr << "\r" << inv_.Say(inv_.tx(2218), {pct}) << std::flush;
            shown_ = true;
        }
        return true;
    }
    void End() {
        if (lines_) Line(100);
        if (shown_) std::cerr << "\r" << inv_.Say(inv_.tx(2218), {100}) << "\n";
    }

private:
    void Line(int pct) { std::cerr << inv_.Say(inv_.tx(2218), {pct}) << "\n" << std::flush; }
    const Invocation& inv_;
    bool lines_, terminal_, shown_ = false;
    int next_ = 10;
};

int Export(const Args& args) {
    Invocation inv("log export", kExportUsage);
    if (!inv.Start(args, {"format", "out", "kind", "filter"}, {"progress"})) return inv.Exit();
    const Options& o = inv.opt();
    long long format = 3;
    int kind = 0;
    if (!inv.Choice("kind", {"text", "log", "pdf"}, kind)) return kExitRefused;
    // A printout takes the full interpretation unless a format is given.
    if (!o.Has("format") && kind != 2) return inv.Refuse(inv.Say(inv.tx(2206), {"--format 3..7"}));
    if (!inv.Number("format", 3, 7, format, "3|4|5|6|7")) return kExitRefused;
    if (kind != 0 && !o.Has("out"))
        return inv.Refuse(
            inv.Say(inv.tx(2208), {kind == 1 ? "--kind log" : "--kind pdf", "--out"}));
    std::string file;
    if (int rc = OneLogFile(inv, file); rc != 0) return rc;
    std::string filter;
    if (o.Has("filter")) {
        filter = o.Get("filter");
        if (!FileExists(filter)) filter += "." + inv.tx(2018);
        if (inv.CheckInputFile(filter) != 0) return kExitRefused;
    }
    CliMessages msg;
    StillClock clock;
    Program p(ProgramDir(), msg);
    if (!p.LoadLanguage(inv.LangOf(ProgramDir()))) return 1;
    // The log is never the target, by whatever name or link it is given.
    if (o.Has("out") && SameFile(o.Get("out"), file))
        return inv.Refuse(inv.Say(inv.tx(kTxSameFile), {Shown(o.Get("out")), Shown(file)}));
    p.CreateLog(clock);
    if (!Inspect::OpenLog(p, file)) return 1;
    p.pp.format = static_cast<int32_t>(format);
    if (p.pp.format == VF_CSV) p.pp.zeitzl = 1;
    p.pp.onlausg = 0; // a log file is shown as the log display shows it
    if (!filter.empty()) {
        if (!LoadNamedFilter(filter, p.ap.afilt, p.ap))
            return inv.Refuse(inv.Say(inv.tx(2213), {Shown(o.Get("filter"))}));
        p.ap.afilt.aktiv = static_cast<uint8_t>(p.ap.afilt.def);
    }
    QtLocaleFormats loc(OutputLocale(inv));
    SetDefaultNumberFormat(loc.Numbers());
    RenderEnv render = p.Rendering(loc);
    LogOutputEnv env = p.OutputEnv(render, loc, clock);
    Progress progress(inv, o.Has("progress"));
    env.progress = [&progress](int pct) { return progress.Step(pct); };
    bool ok;
    if (!o.Has("out")) {
        StreamSink sink(std::cout);
        ok = WriteLogLines(env, sink);
    } else if (kind == 2) {
        // The printer's path, into a PDF file.
        if (RefuseTheLog(env, o.Get("out"))) return 1;
        ok = PrintLog(env, *QtPrinter::Pdf(o.Get("out")));
        if (!ok) return inv.Fail(1, inv.Say(inv.tx(kTxPrinterFails), {Shown(o.Get("out"))}));
    } else {
        ok = WriteLogOutput(env, o.Get("out"), kind == 1 ? OUT_LOG : OUT_TEXT);
    }
    if (ok) progress.End();
    ReportDamage(inv, p, p.log->Tally());
    return ok ? 0 : 1;
}

int RunLog(const Args& args) {
    const std::string sub = args.empty() ? std::string() : args[0];
    const Args rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (sub == "write") return Write(rest);
    if (sub == "export") return Export(rest);
    if (sub == "info") return Info(rest);
    if (sub == "records") return Records(rest);
    Invocation inv("log", kUsage);
    if (sub == "--help" || sub == "-h") {
        inv.Start(args, {}, {});
        return inv.Exit();
    }
    if (!inv.StartWords(args)) return inv.Exit();
    if (sub.empty()) return inv.Refuse(inv.Say(inv.tx(2206), {"write|info|records|export"}));
    return inv.UnknownSubCommand(sub, "write, info, records, export");
}

const CliCommand reg("log", kUsage, RunLog);

} // namespace

} // namespace vdl::cli
