#include "log/log_print.h"

#include "core/utf8.h"

#include <algorithm>

namespace vdl {

PrintLayout PrintLayoutOf(const Printer& pr) {
    PrintLayout l;
    l.top = pr.DpiY() / 2;
    l.bottom = pr.PageHeight() - pr.DpiY() / 2;
    l.left = pr.DpiX() / 3;
    l.right = pr.PageWidth() - pr.DpiX() / 3;
    l.lineHeight = std::max(1, pr.LineHeight());
    return l;
}

bool PrintSink::Draw(const std::string& s) {
    if (y_ + lay_.lineHeight > lay_.bottom && y_ > lay_.top && !inHeader_) {
        if (!pr_.NewPage()) return false;
        ++page_;
        y_ = lay_.top;
        if (header) {
            inHeader_ = true;
            for (const std::string& h : header(page_))
                if (!Line(h)) return false;
            inHeader_ = false;
        }
    }
    bool ok = s.empty() || pr_.Text(lay_.left, y_, s);
    y_ += lay_.lineHeight;
    return ok;
}

bool PrintSink::Line(const std::string& s) {
    const int width = lay_.right - lay_.left;
    std::string rest = s;
    // The part that fits the page (up to its last blank when it has one, at least one
    // character), then the rest on the next line.
    while (pr_.TextWidth(rest) > width && Utf8Length(rest) > 1) {
        size_t lo = 1, hi = Utf8Length(rest) - 1;
        while (lo < hi) {
            size_t mid = (lo + hi + 1) / 2;
            if (pr_.TextWidth(Utf8Left(rest, mid)) <= width)
                lo = mid;
            else
                hi = mid - 1;
        }
        std::string part = Utf8Left(rest, lo);
        size_t blank = part.find_last_of(' ');
        if (blank != std::string::npos && blank > 0 && rest[part.size()] != ' ')
            part.resize(blank + 1);
        if (!Draw(part)) return false;
        rest = rest.substr(part.size());
    }
    return Draw(rest);
}

bool PrintLog(LogOutputEnv& env, Printer& pr) {
    if (!pr.Begin(env.log.Name(), kPrintFont, kPrintPoints)) return false;
    bool cancelled = false;
    LogOutputEnv run = env;
    run.progress = [&env, &cancelled](int pct) {
        cancelled = env.progress && !env.progress(pct);
        return !cancelled;
    };
    PrintSink sink(pr);
    bool ok = WriteLogLines(run, sink);
    if (cancelled) {
        pr.Abort();
        return false;
    }
    return pr.End() && ok;
}

} // namespace vdl
