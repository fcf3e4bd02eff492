// Output of the whole log, as far as it passes the display filter, in the present view
// format: as text lines (a text file, or the printer of the desktop program) with a page
// header, date lines and the renderer's lines, or into a new log file numbered from 1.
#pragma once

#include "asdu/renderer.h"
#include "core/locale_formats.h"
#include "log/log_store.h"

#include <functional>
#include <string>
#include <vector>

namespace vdl {

// Output kinds.
enum : int { OUT_TEXT = 0, OUT_PRINTER = 1, OUT_LOG = 2 };

constexpr int kTxOutEnd = 1170;
constexpr int kTxOutCancelled = 1171;
constexpr int kTxCsvHeader = 1173;

// Where the lines of a text output go. A printer starts a new page with its own header.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // False on a write error: the output stops.
    virtual bool Line(const std::string& s) = 0;
    // The header lines of page n, set by the output before its first line; a printer repeats
    // them on every page.
    std::function<std::vector<std::string>(int page)> header;
};

struct LogOutputEnv {
    LogStore& log;            // the log written out
    const RenderEnv& render;  // texts, settings and the view format of the renderer
    const LocaleFormats& loc; // the short date of date lines and headers
    LogEnv target;            // the settings a new log file is created with
    // The display filter; empty: every telegram.
    std::function<bool(const T_Telegramm&)> pass;
    // Called after every 1000th telegram of the log (passing the filter or not) with the
    // percentage done; false cancels.
    std::function<bool(int percent)> progress;
};

// The page header lines: in format 7 the column line of text 1173 alone; otherwise the log
// file name (32 columns), text 428, the date, text 429 and the page number, then the view
// header right-aligned in 60 columns, then an empty line.
std::vector<std::string> PageHeader(const LogOutputEnv& env, double firstDt, int page);

// The header text of the view: what is shown, the filter, the view format and the switches.
std::string ViewHeaderText(const TextTable& t, const T_ProgPar& pp, const T_AllgPar& ap);

// Writes the text form into sink. Returns false when a line could not be written or the run
// was cancelled (text 1171 ends it then); true at the normal end (text 1170). In format 7 only
// the column line and the rows are written: no date lines, no closing line.
bool WriteLogLines(LogOutputEnv& env, OutputSink& sink);

// True, after text 1315 and both names as an error, when name is the log being written out
// (by whatever name, link or hard link): no output may replace its own source.
bool RefuseTheLog(const LogOutputEnv& env, const std::string& name);

// The output run for a text file (kind 0) or a new log file (kind 2) named name. A target
// that is the log itself is refused with text 1315. A file that cannot be created stops the
// run with a message.
bool WriteLogOutput(LogOutputEnv& env, const std::string& name, int kind);

} // namespace vdl
