// Printing the log: the text lines of the output go onto the pages of a printer, with margins
// from the printer's resolution, a page header on every page and a page break before a line
// that would pass the bottom margin. The printer itself is a small interface of ours; the
// desktop program and the command-line program drive one made with the system's printing.
#pragma once

#include "log/log_output.h"

#include <string>

namespace vdl {

constexpr int kTxPrinterFails = 2291; // the printer or the PDF file cannot be used (%s)

class Printer {
public:
    virtual ~Printer() = default;
    // Starts the document (a print job, or a PDF file) in the given fixed-pitch font; false
    // when the printer cannot be used.
    virtual bool Begin(const std::string& title, const std::string& family, int points) = 0;
    // The sheet in device units, and the device units per inch.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    // Height of "X" and width of a text in the document's font.
    virtual int LineHeight() const = 0;
    virtual int TextWidth(const std::string& s) const = 0;
    // Draws a line of text with its top at y; false on a printer error.
    virtual bool Text(int x, int y, const std::string& s) = 0;
    virtual bool NewPage() = 0;
    // Drops the job (nothing more is printed); End is not called after it.
    virtual void Abort() = 0;
    virtual bool End() = 0;
};

// Where the lines go on a page: top and bottom margin half an inch, left margin a third of an
// inch (the right one too, so that a long line is continued rather than cut).
struct PrintLayout {
    int top = 0;
    int bottom = 0; // a line whose top passes this starts a new page
    int left = 0;
    int right = 0; // the last device unit a line may use
    int lineHeight = 1;
};
PrintLayout PrintLayoutOf(const Printer& pr);

// Lines onto pages: each at the left margin, one line height below the one before; before a
// line that would pass the bottom margin a new page starts with the header of the output. A line
// wider than the page continues on the next line.
class PrintSink : public OutputSink {
public:
    explicit PrintSink(Printer& pr) : pr_(pr), lay_(PrintLayoutOf(pr)), y_(lay_.top) {}
    bool Line(const std::string& s) override;
    int Pages() const { return page_; }

private:
    bool Draw(const std::string& s);
    Printer& pr_;
    PrintLayout lay_;
    int y_;
    int page_ = 1;
    bool inHeader_ = false;
};

// The font of printed output: the fixed-pitch font of the main window at 10 points.
constexpr const char* kPrintFont = "Courier New";
constexpr int kPrintPoints = 10;

// Prints the log (as far as it passes the display filter, in the present view format). A
// cancelled run writes text 1171 and drops the job; a printer error stops the run, and what
// was printed stays. True when the output ended normally.
bool PrintLog(LogOutputEnv& env, Printer& pr);

} // namespace vdl
