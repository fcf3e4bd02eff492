#include "log/log_output.h"

#include "core/file_io.h"
#include "core/format.h"
#include "core/settings.h"
#include "core/utf8.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

namespace vdl {

namespace {

// Empty for a stamp that is no date (a damaged log).
std::string ShortDate(const LocaleFormats& loc, double dt) {
    if (!StampUsable(dt)) return {};
    DateTimeParts p = DecodeDateTime(dt);
    return loc.ShortDate(p.year, p.month, p.day);
}

std::string FileName(const std::string& path) {
    size_t s = path.find_last_of("/\\");
    return s == std::string::npos ? path : path.substr(s + 1);
}

// Walks the telegrams that pass the filter, from the oldest on, as far as the count of the log
// reaches. After every 1000th telegram it reports the progress, which may cancel the walk.
class Walk {
public:
    explicit Walk(LogOutputEnv& env)
        : env_(env), c_(env.log.NewCursor()), count_(env.log.Count()),
          oldest_(env.log.Kopf().nralt) {
        ok_ = count_ > 0 && c_->SeekOldest();
        Skip();
    }
    bool Ok() const { return ok_; }
    bool Cancelled() const { return cancelled_; }
    T_Telegramm Current() const { return c_->Current(); }
    void Next() {
        Step();
        Skip();
    }

private:
    int32_t Rel() const { return NrSpan(oldest_, c_->Current().nr); }
    void Skip() {
        while (ok_ && Rel() <= count_ && env_.pass && !env_.pass(c_->Current())) Step();
        if (ok_ && Rel() > count_) ok_ = false;
    }
    // Past the current telegram.
    void Step() {
        const int32_t rel = Rel();
        ok_ = c_->Forward();
        if (rel % 1000 != 0 || !env_.progress) return;
        int pct = static_cast<int>((rel / 256) * 100 / std::max(1, count_ / 256));
        if (!env_.progress(std::min(pct, 100))) {
            cancelled_ = true;
            ok_ = false;
        }
    }
    LogOutputEnv& env_;
    std::unique_ptr<LogCursor> c_;
    const int32_t count_;
    const int32_t oldest_;
    bool ok_ = false;
    bool cancelled_ = false;
};

class FileSink : public OutputSink {
public:
    explicit FileSink(std::ofstream& f) : f_(f) {}
    bool Line(const std::string& s) override {
        f_ << s << "\r\n";
        return static_cast<bool>(f_);
    }

private:
    std::ofstream& f_;
};

} // namespace

std::string ViewHeaderText(const TextTable& t, const T_ProgPar& pp, const T_AllgPar& ap) {
    bool filter = ap.afilt.aktiv || (ap.lfilt.aktiv && pp.onlausg);
    std::string s = t.tx(421 + (pp.onlausg ? 1 : 0)) + t.tx(1212 + (filter ? 1 : 0)) +
                    t.tx(406 + pp.format) + t.tx(407 + (pp.zeitzl ? 1 : 0)) +
                    t.tx(423 + (pp.linkzl ? 1 : 0));
    return PadRight(Utf8Left(s, 80), 80);
}

std::vector<std::string> PageHeader(const LogOutputEnv& env, double firstDt, int page) {
    const TextTable& t = *env.render.texts;
    const T_ProgPar& pp = *env.render.pp;
    if (pp.format == VF_CSV) return {t.tx(kTxCsvHeader)};
    // The page number keeps a blank before it however many digits it has.
    std::string number = Format("%2d", {page});
    const std::string& word = t.tx(429);
    if (!word.empty() && word.back() != ' ' && number.front() != ' ') number.insert(0, " ");
    std::string first = PadRight(FileName(env.log.Name()), 32) + t.tx(428) +
                        ShortDate(env.loc, firstDt) + " " + word + number;
    std::string view = ViewHeaderText(t, pp, *env.render.ap);
    while (!view.empty() && view.back() == ' ') view.pop_back();
    // Right-aligned in 60 columns; a longer header (German) is written whole, not cut.
    return {first, PadLeft(view, 60), ""};
}

bool WriteLogLines(LogOutputEnv& env, OutputSink& sink) {
    const TextTable& t = *env.render.texts;
    const bool csv = env.render.pp->format == VF_CSV;
    Walk w(env);
    double firstDt = w.Ok() ? w.Current().dt : 0;
    sink.header = [&env, firstDt](int page) { return PageHeader(env, firstDt, page); };
    for (const std::string& h : sink.header(1))
        if (!sink.Line(h)) return false;
    RenderEnv render = env.render;
    render.oldestNr = env.log.Kopf().nralt;
    T_TeleAusgabe ctx;
    ctx.env = &render;
    int day = DayOf(firstDt);
    for (; w.Ok(); w.Next()) {
        T_Telegramm te = w.Current();
        // A CSV file holds its column line and rows only: every row carries its date.
        if (int d = DayOf(te.dt); d != kNoDay && d != day) {
            day = d;
            if (!csv && !sink.Line(ShortDate(env.loc, te.dt))) return false;
        }
        StartTelegram(ctx, te);
        bool any = false;
        for (int guard = 0; guard < 10000; ++guard) {
            std::string text = NextLine(ctx);
            if (text.empty()) break;
            any = true;
            // A text may hold several lines.
            size_t a = 0;
            for (size_t e; (e = text.find("\r\n", a)) != std::string::npos; a = e + 2)
                if (!sink.Line(text.substr(a, e - a))) return false;
            if (a < text.size() && !sink.Line(text.substr(a))) return false;
        }
        if (any && !csv && !sink.Line("")) return false;
    }
    if (w.Cancelled()) {
        if (!csv) sink.Line(t.tx(kTxOutCancelled));
        return false;
    }
    return csv || sink.Line(t.tx(kTxOutEnd));
}

bool RefuseTheLog(const LogOutputEnv& env, const std::string& name) {
    if (!SameFile(name, env.log.Name())) return false;
    env.target.msg.Error(SameFileMessage(*env.render.texts, name, env.log.Name()));
    return true;
}

bool WriteLogOutput(LogOutputEnv& env, const std::string& name, int kind) {
    const TextTable& t = *env.render.texts;
    if (RefuseTheLog(env, name)) return false;
    if (kind != OUT_LOG) {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        if (!f) {
            env.target.msg.Error(name + ": " + std::strerror(errno));
            return false;
        }
        FileSink sink(f);
        bool ok = WriteLogLines(env, sink);
        f.close();
        return ok && static_cast<bool>(f);
    }

    // A new log file of the present settings, numbered from 1. Its own flags keep the state
    // of the program's log untouched.
    T_AllgVar av = env.target.av;
    const LogEnv& te = env.target;
    LogStore out(LogEnv{te.clock, te.msg, te.texts, av, te.ap, te.pp, te.bp1, te.bp2});
    if (!out.CreateLog(name)) return false; // the store said why
    Walk w(env);
    for (; w.Ok(); w.Next()) out.AppendCopy(w.Current());
    const bool ok = !w.Cancelled();
    out.FlushLog();
    out.CloseLog();
    if (av.logerr) {
        env.target.msg.Error(out.WriteError().empty() ? t.tx(kTxLogWriteErr) + name
                                                      : out.WriteError());
        return false;
    }
    return ok;
}

} // namespace vdl
