// The log view without its widget: the layout values, the header line, the page of the log
// display with its navigation codes, the online display step, and the lines they draw. All
// drawing goes to a ViewCanvas; the window's canvas paints an off-screen image, and every
// canvas can keep the model of the lines drawn, which is what the tests read.
#pragma once

#include "asdu/renderer.h"
#include "core/allg_var.h"
#include "core/locale_formats.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "log/filter.h"
#include "log/log_store.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vdl {

// Text numbers of the view.
constexpr int kTxViewHeaderDisplay = 421; // + online display shown
constexpr int kTxViewHeaderFormat = 406;  // + view format
constexpr int kTxViewHeaderTime = 407;    // + time line
constexpr int kTxViewHeaderLink = 423;    // + link line
constexpr int kTxViewHeaderFilter = 1212; // + filter flag
constexpr int kTxDateLineNr = 425;        // date line: before the relative number
constexpr int kTxDateLineOf = 427;        // date line: between the number and the count
constexpr int kTxEndOfLog = 1191;

// Navigation codes of the log display.
enum : int {
    NAV_REDRAW = 0,   // with a position 0..1000 a proportional jump, with -1 none
    NAV_PAGE_UP = 33, // -5 telegrams
    NAV_PAGE_DOWN = 34,
    NAV_NEWEST = 35,
    NAV_OLDEST = 36,
    NAV_LINE_UP = 38, // -1
    NAV_LINE_DOWN = 40,
    NAV_PAGE_UP_500 = 545,
    NAV_PAGE_DOWN_500 = 546,
    NAV_PAGE_UP_5000 = 1057,
    NAV_PAGE_DOWN_5000 = 1058,
    NAV_PAGE_UP_50 = 1569,
    NAV_PAGE_DOWN_50 = 1570,
};
constexpr int kNoPosition = -1;
constexpr int kScrollMax = 1000;

// The move of a navigation code in telegrams; 0 for the codes that do not move by a count.
int NavigationMove(int code);

// Events of the scroll bar.
enum class ScrollEvent { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Track, Other };
// The navigation code of a scroll bar event with the modifiers held; -1 when it is ignored.
int ScrollCode(ScrollEvent e, bool ctrl, bool shift);

// What the layout is computed from, in pixels of the view.
struct ViewMetrics {
    int h = 16;         // line height: text height of "ABCQgj01234567890"
    int headerH = 18;   // height of the header and date line font (one size larger, bold)
    int width = 0;      // client width
    int statusTop = 0;  // top of the status bar (the view ends above it)
    int toolBottom = 0; // bottom of the tool bars
    int gridBottom = 0; // bottom of the statistics grid (online display)
    int scrollW = 0;    // width of the scroll bar (log display)
    int clientH = 0;    // client height, tool bars included
    int statusH = 0;    // status bar height
    int gapPct = 50;    // telegram gap in percent of the line height
};

struct ViewLayout {
    int h = 16;
    int headerH = 18;
    int lines = 0;  // lines per page
    int gap = 8;    // telegram gap
    int top = 6;    // view top (the header line)
    int bottom = 0; // view bottom: lines end above it
    int right = 0;
    int fillTop = 0;    // the area cleared: view top - 6 ..
    int fillBottom = 0; // .. status bar top
};
ViewLayout ComputeLayout(const ViewMetrics& m, bool onlineDisplay);

// Kinds of lines drawn.
enum class LineStyle : uint8_t {
    Header, // the header line: font one size larger, bold
    Date,   // the date line above the first telegram of a page: the same font
    Text,   // telegram lines, later date lines, the end of the log
};

struct DrawnLine {
    int y = 0;
    std::string text;
    T_FarbIndex pair{};
    LineStyle style = LineStyle::Text;
};

// Where the view draws. Rows are pixel rows of the view; colours are palette indices.
class ViewCanvas {
public:
    virtual ~ViewCanvas() = default;
    // Fills rows top..bottom-1 up to column right with the colour.
    virtual void Fill(int top, int bottom, int right, uint8_t colour) = 0;
    virtual void Text(int x, int y, const std::string& s, T_FarbIndex pair, LineStyle style) = 0;
    // Moves rows top+dy..bottom-1 up by dy and fills the freed strip at the bottom.
    virtual void ScrollUp(int top, int bottom, int right, int dy, uint8_t colour) = 0;
    // Copies the view to the window.
    virtual void Present() {}
};

// The lines a view shows, kept as the drawing goes: the model of the drawn lines. Filling
// removes the lines it covers, scrolling moves them.
class DrawnLines : public ViewCanvas {
public:
    void Fill(int top, int bottom, int right, uint8_t colour) override;
    void Text(int x, int y, const std::string& s, T_FarbIndex pair, LineStyle style) override;
    void ScrollUp(int top, int bottom, int right, int dy, uint8_t colour) override;
    void Present() override { ++presented; }

    // The lines top to bottom.
    const std::vector<DrawnLine>& Lines() const { return lines_; }
    std::vector<std::string> Texts() const;
    int presented = 0;

private:
    std::vector<DrawnLine> lines_; // sorted by y
};

// What the view reads.
struct LogPageEnv {
    LogStore& log;
    T_AllgVar& av;
    const T_AllgPar& ap;
    T_ProgPar& pp; // format, time and link line, the display flag, colour pairs
    const TextTable& texts;
    const LocaleFormats& loc;
    // The renderer's environment of now (the oldest number moves with the log).
    std::function<RenderEnv()> render;
    std::function<FilterEnv()> filters;
    std::function<uint32_t()> millis; // for the timing of the online display step (t2)
};

// The log view: the online display and the log display.
class LogPage {
public:
    LogPage(LogPageEnv env, ViewCanvas& canvas);

    void SetLayout(const ViewLayout& l);
    const ViewLayout& Layout() const { return lay_; }
    bool OnlineShown() const { return e_.pp.onlausg != 0; }

    // The header line of the view.
    std::string HeaderText() const;
    // Fills the view with the base colour and draws the header line.
    void ClearView();

    // The log display: moves by a navigation code and draws the page; returns the new scroll
    // position 0..1000. draw false only moves (a burst of commands draws once at the end).
    int NavigateLog(int code, int position = kNoPosition, bool draw = true);
    int ScrollPosition() const { return scrollPos_; }

    // The online display step of every timer tick.
    void OnlineStep();
    // The online display is drawn anew from the display ring at the next step.
    void RequestFullRedraw() { fullRedraw_ = true; }
    bool FullRedrawPending() const { return fullRedraw_; }

    // Switching displays: the online display closes the view's read handle and is drawn at the
    // next step, keeping the place of the log display it replaces; the log display opens the
    // log for reading at the newest telegram. With keepPlace it goes back to the place kept
    // when that telegram is still in the log, and returns true: the caller then posts a redraw
    // instead of the code for the newest page.
    void ToOnlineDisplay();
    bool ToLogDisplay(bool keepPlace = false);

    // Zeroes the timing statistics of the online display step.
    void ZeroTiming();
    // The caption of the timing statistics ("t2"), after a step that drew.
    std::function<void(const std::string&)> timingCaption;

    // Paging inside a long telegram: the first object shown.
    int FirstObject() const { return obja_; }
    // Telegrams begun on the last page drawn.
    int PageTelegrams() const { return pageTelegrams_; }

    // Lines of a telegram in the view format of now (a measurement of its height).
    int MeasureLines(const T_Telegramm& te);

private:
    bool Pass(const T_Telegramm& te) const;
    void Refresh(); // the renderer's environment of now
    void DrawLine(const std::string& s, T_FarbIndex pair, LineStyle style);
    void Gap();
    // Draws the lines of the telegram prepared in ctx_; false when the page got full before
    // it ended.
    bool DrawTelegram();
    void DrawPage();
    void DrawOnline(const T_Telegramm& te);
    void DrawOnlineLines();
    void FullOnlineRedraw();
    int ObjectStep(const T_Telegramm& te) const;
    // Places c at the first telegram of the newest page (the page that ends with the newest
    // telegram); with the display filter in force at the newest telegram that passes it.
    void SeekNewestPage(LogCursor& c);
    int PositionOf(int32_t nr) const;

    LogPageEnv e_;
    ViewCanvas& c_;
    ViewLayout lay_;
    RenderEnv renv_;
    std::optional<FilterEnv> fenv_;
    T_TeleAusgabe ctx_;  // the view's work record
    T_TeleAusgabe mctx_; // for measurements
    int y_ = 0;          // drawing cursor
    int areaTop_ = 0;    // top of the telegram area (below the header)
    bool full_ = false;  // the page is full
    bool fullRedraw_ = true;
    int scrollPos_ = kScrollMax;
    int32_t ueberSeen_ = 0;
    int pageTelegrams_ = 0;
    bool lastFit_ = true; // the last telegram of the page was drawn to its end
    int32_t obja_ = 0;    // first object of the page's first telegram
    // The place of the log display while the online display is shown.
    struct Place {
        int block = -1;
        int pos = 0;
        int32_t nr = 0; // with the time stamp: the telegram is still the same one
        double dt = 0;
        int32_t obja = 0;
    };
    std::optional<Place> kept_;
};

// Counts a timed drawing step (switch "t2") into the statistics of av and gives the caption
// that shows them.
std::string CountTiming(T_AllgVar& av, double ms);

} // namespace vdl
