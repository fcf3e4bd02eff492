// vordal-cli log: writes, describes, lists and exports log files.
//   log write FILE      appends the records of decode input (standard input) to a log
//   log info FILE       the state of the log as one JSON object
//   log records FILE    one JSON object per stored record
//   log export FILE     the log as text, CSV or a new log file
#include "cli.h"
#include "decode_input.h"
#include "inspect.h"
#include "record_json.h"

#include "app/program.h"
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

#include <fstream>
#include <iostream>

namespace vdl::cli {

namespace {

int Info(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    const LogStore& log = *in.p.log;
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
    return 0;
}

int Records(const std::string& file) {
    Inspect in;
    if (!in.Open(file)) return 1;
    auto c = in.p.log->NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward())
        std::cout << StoredRecordJson(c->Current()).dump() << "\n";
    return 0;
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
    // A new log is created with the given settings; an existing one brings its own, and the
    // options given change them.
    bool exists = FileExists(file);
    if (!exists && !ApplyDecodeOptions(o, p, error)) {
        std::cerr << "vordal-cli log write: " << error << "\n";
        return 2;
    }
    if (!p.log->OpenLog(file, false)) return 1;
    if (exists && !ApplyDecodeOptions(o, p, error)) {
        p.log->CloseLog();
        std::cerr << "vordal-cli log write: " << error << "\n";
        return 2;
    }
    RunDecode(p, blocks, [&p](const T_Telegramm& te, int) {
        T_Telegramm copy = te;
        p.log->AppendTelegram(copy);
    });
    p.log->FlushLog();
    p.log->CloseLog();
    if (p.av.logerr) {
        std::cerr << p.texts.tx(kTxLogWriteErr) << file << "\n";
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
    const bool parsed = o.Parse(args, {"format", "out", "kind", "filter"}, {}, error);
    const std::string kind = o.Get("kind", "text");
    // A printout takes the view format of the full interpretation unless one is given.
    if (!parsed || o.Positional().size() != 1 || (!o.Has("format") && kind != "pdf")) {
        if (error.empty()) error = "one log file and --format 3..7";
        std::cerr << "vordal-cli log export: " << error << "\n";
        return 2;
    }
    const std::string fmt = o.Get("format", "3");
    if (fmt.size() != 1 || fmt[0] < '3' || fmt[0] > '7') {
        std::cerr << "vordal-cli log export: --format must be 3..7\n";
        return 2;
    }
    if (kind != "text" && kind != "log" && kind != "pdf") {
        std::cerr << "vordal-cli log export: --kind must be text, log or pdf\n";
        return 2;
    }
    if ((kind == "log" || kind == "pdf") && !o.Has("out")) {
        std::cerr << "vordal-cli log export: --kind " << kind << " needs --out\n";
        return 2;
    }
    StderrMessages msg;
    StillClock clock;
    Program p(ProgramDir(), msg);
    if (!p.LoadStartTexts()) return 1;
    p.CreateLog(clock);
    if (!p.log->OpenForInspection(o.Positional()[0])) return 1;
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
    } else if (kind == "pdf") {
        // The printer path, into a PDF file.
        if (RefuseTheLog(env, o.Get("out"))) return 1;
        ok = PrintLog(env, *QtPrinter::Pdf(o.Get("out")));
        if (!ok) std::cerr << "vordal-cli log export: cannot write " << o.Get("out") << "\n";
    } else {
        ok = WriteLogOutput(env, o.Get("out"), kind == "log" ? OUT_LOG : OUT_TEXT);
    }
    if (shown) std::cerr << "\rexport: 100 %\n";
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
    "                         the log as the view shows it (7: CSV), or into a new log file\n"
    "  log export FILE --kind pdf --out OUT.pdf [--format 3..7] [--filter NAMEDFILTER]\n"
    "                         the log printed into a PDF file (pages with headers)";

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
