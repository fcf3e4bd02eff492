#include "log/log_page.h"

#include "asdu/asdu_header.h"
#include "asdu/asdu_layout.h"
#include "asdu/rp57x.h"

#include "core/clock.h"
#include "core/format.h"
#include "core/utf8.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vdl {

namespace {

// The pieces of a text the renderer returned: lines separated by CR LF (a trailing line end
// gives no empty line).
template <class F> void ForEachLine(const std::string& s, F&& f) {
    size_t start = 0;
    while (start < s.size()) {
        size_t e = s.find("\r\n", start);
        if (e == std::string::npos) {
            f(s.substr(start));
            return;
        }
        f(s.substr(start, e - start));
        start = e + 2;
    }
}

int32_t Relative(int32_t nr, int32_t oldest) {
    return static_cast<int32_t>((static_cast<uint32_t>(nr) - static_cast<uint32_t>(oldest)) &
                                static_cast<uint32_t>(kNrMask));
}

} // namespace

int NavigationMove(int code) {
    switch (code) {
    case NAV_PAGE_UP:
        return -5;
    case NAV_PAGE_DOWN:
        return 5;
    case NAV_LINE_UP:
        return -1;
    case NAV_LINE_DOWN:
        return 1;
    case NAV_PAGE_UP_500:
        return -500;
    case NAV_PAGE_DOWN_500:
        return 500;
    case NAV_PAGE_UP_5000:
        return -5000;
    case NAV_PAGE_DOWN_5000:
        return 5000;
    case NAV_PAGE_UP_50:
        return -50;
    case NAV_PAGE_DOWN_50:
        return 50;
    default:
        return 0;
    }
}

int ScrollCode(ScrollEvent e, bool ctrl, bool shift) {
    switch (e) {
    case ScrollEvent::LineUp:
        return NAV_LINE_UP;
    case ScrollEvent::LineDown:
        return NAV_LINE_DOWN;
    case ScrollEvent::PageUp:
    case ScrollEvent::PageDown: {
        // The page codes carry the modifiers in their high bits: Ctrl 512, Shift 1536, both 1024.
        int base = e == ScrollEvent::PageUp ? NAV_PAGE_UP : NAV_PAGE_DOWN;
        if (ctrl && shift) return base + 1024;
        if (shift) return base + 1536;
        if (ctrl) return base + 512;
        return base;
    }
    case ScrollEvent::Top:
        return NAV_OLDEST;
    case ScrollEvent::Bottom:
        return NAV_NEWEST;
    case ScrollEvent::Track:
        return NAV_REDRAW;
    case ScrollEvent::Other:
        return -1;
    }
    return -1;
}

ViewLayout ComputeLayout(const ViewMetrics& m, bool onlineDisplay) {
    ViewLayout l;
    l.h = std::max(1, m.h);
    l.headerH = std::max(1, m.headerH);
    l.lines = std::max(1, (m.clientH - m.statusH) / l.h - 6);
    l.gap = l.h * std::clamp(m.gapPct, 0, 200) / 100;
    l.top = (onlineDisplay ? m.gridBottom : m.toolBottom) + 6;
    l.bottom = m.statusTop - l.h / 3;
    l.right = m.width - (onlineDisplay ? 0 : m.scrollW);
    l.fillTop = l.top - 6;
    l.fillBottom = m.statusTop;
    return l;
}

// ---- the model of the drawn lines ----

void DrawnLines::Fill(int top, int bottom, int, uint8_t) {
    std::erase_if(lines_, [&](const DrawnLine& l) { return l.y >= top && l.y < bottom; });
}

void DrawnLines::Text(int, int y, const std::string& s, T_FarbIndex pair, LineStyle style) {
    std::erase_if(lines_, [&](const DrawnLine& l) { return l.y == y; });
    auto at =
        std::find_if(lines_.begin(), lines_.end(), [&](const DrawnLine& l) { return l.y > y; });
    lines_.insert(at, DrawnLine{y, s, pair, style});
}

void DrawnLines::ScrollUp(int top, int bottom, int, int dy, uint8_t) {
    std::erase_if(lines_, [&](const DrawnLine& l) { return l.y >= top && l.y < top + dy; });
    for (DrawnLine& l : lines_)
        if (l.y >= top + dy && l.y < bottom) l.y -= dy;
}

std::vector<std::string> DrawnLines::Texts() const {
    std::vector<std::string> v;
    for (const DrawnLine& l : lines_) v.push_back(l.text);
    return v;
}

// ---- the view ----

LogPage::LogPage(LogPageEnv env, ViewCanvas& canvas) : e_(std::move(env)), c_(canvas) {}

void LogPage::SetLayout(const ViewLayout& l) {
    lay_ = l;
    fullRedraw_ = true;
}

void LogPage::Refresh() {
    renv_ = e_.render();
    fenv_.emplace(e_.filters());
    const T_Filter& f = e_.ap.afilt;
    if (f.aktiv && HasObjectCriteria(f))
        renv_.objectFilter = [this](const T_Telegramm& te, int n) {
            return ObjectAccepts(e_.ap.afilt, te, n, *fenv_);
        };
    ctx_.env = &renv_;
    mctx_.env = &renv_;
}

bool LogPage::Pass(const T_Telegramm& te) const {
    return DisplayAccepts(te, *fenv_);
}

std::string LogPage::HeaderText() const {
    const T_ProgPar& pp = e_.pp;
    bool online = pp.onlausg != 0;
    bool filtered = e_.ap.afilt.aktiv || (online && e_.ap.lfilt.aktiv);
    int fmt = std::clamp(pp.format, static_cast<int32_t>(VF_FULL), static_cast<int32_t>(VF_CSV));
    std::string s = e_.texts.tx(kTxViewHeaderDisplay + (online ? 1 : 0)) +
                    e_.texts.tx(kTxViewHeaderFilter + (filtered ? 1 : 0)) +
                    e_.texts.tx(kTxViewHeaderFormat + fmt) +
                    e_.texts.tx(kTxViewHeaderTime + (pp.zeitzl ? 1 : 0)) +
                    e_.texts.tx(kTxViewHeaderLink + (pp.linkzl ? 1 : 0));
    return Utf8Left(s, 80);
}

void LogPage::ClearView() {
    T_FarbIndex base = ColourPair(e_.pp, CP_BASE);
    c_.Fill(lay_.fillTop, lay_.fillBottom, lay_.right, base.hg);
    c_.Text(10, lay_.top, HeaderText(), base, LineStyle::Header);
    y_ = lay_.top + lay_.headerH + 6;
    areaTop_ = y_;
    full_ = false;
}

void LogPage::DrawLine(const std::string& s, T_FarbIndex pair, LineStyle style) {
    if (full_) return;
    c_.Text(10, y_, s, pair, style);
    int h = style == LineStyle::Text ? lay_.h : lay_.headerH;
    if (y_ + h + lay_.h > lay_.bottom) full_ = true;
    y_ += h;
}

void LogPage::Gap() {
    if (y_ + lay_.gap + lay_.h > lay_.bottom) full_ = true;
    y_ += lay_.gap;
}

int LogPage::MeasureLines(const T_Telegramm& te) {
    if (!mctx_.env) Refresh();
    mctx_.obja = 0;
    mctx_.dtalt = 0;
    StartTelegram(mctx_, te);
    int n = 0;
    for (std::string s = NextLine(mctx_); !s.empty(); s = NextLine(mctx_))
        ForEachLine(s, [&](const std::string&) { ++n; });
    return n;
}

bool LogPage::DrawTelegram() {
    for (std::string s = NextLine(ctx_); !s.empty(); s = NextLine(ctx_)) {
        bool stopped = false;
        ForEachLine(s, [&](const std::string& line) {
            if (full_) {
                stopped = true;
                return;
            }
            DrawLine(line, ctx_.tcl, LineStyle::Text);
        });
        if (stopped) return false;
        if (full_) {
            // The page is full: the telegram fitted only if nothing follows.
            return NextLine(ctx_).empty();
        }
    }
    return true;
}

int LogPage::ObjectStep(const T_Telegramm& te) const {
    const T_ProgPar& pp = e_.pp;
    int lines = lay_.lines;
    const T_ComVar* ch = renv_.com[(te.ek == EK_RX2 || te.ek == EK_TX2) ? 1 : 0];
    if (ch && ch->rp57x) return lines - (pp.zeitzl ? 1 : 0) - 1;
    if (pp.format == VF_LINE) return lines - 1;
    int step = lines + (pp.format == VF_COMPACT ? 2 : 0) - (pp.linkzl ? 1 : 0) - 4;
    if (pp.zeitzl || te.ta == TA_VARIABLE) --step;
    return step;
}

int LogPage::PositionOf(int32_t nr) const {
    int32_t count = e_.log.Count();
    if (count <= 1) return kScrollMax;
    int64_t rel = Relative(nr, e_.log.Kopf().nralt);
    return static_cast<int>(std::clamp<int64_t>(rel * kScrollMax / (count - 1), 0, kScrollMax));
}

int LogPage::NavigateLog(int code, int position, bool draw) {
    if (OnlineShown()) {
        fullRedraw_ = true;
        return scrollPos_;
    }
    if (!e_.av.LogAusg) {
        if (draw) {
            ClearView();
            c_.Present();
        }
        return scrollPos_;
    }
    Refresh();
    LogCursor& cur = e_.log.View();
    const T_LogKopf& k = e_.log.Kopf();
    if (!cur.Valid() || k.ueber != ueberSeen_) {
        code = NAV_NEWEST;
        ueberSeen_ = k.ueber;
    }
    int32_t count = e_.log.Count();
    if (code == NAV_REDRAW && position == 0) code = NAV_OLDEST;
    if (code == NAV_REDRAW && position == kScrollMax) code = NAV_NEWEST;
    auto pass = [this](const T_Telegramm& t) { return Pass(t); };

    if (code >= 1 && code <= 7) {
        // A view option changed: stay on the nearest earlier telegram that is still shown.
        if (cur.Valid() && !Pass(cur.Current())) {
            if (cur.Move(-1, pass) == 0) cur.Move(1, pass);
            obja_ = 0;
        }
    } else if (code == NAV_NEWEST) {
        obja_ = 0;
        SeekNewestPage(cur);
    } else if (code == NAV_OLDEST) {
        obja_ = 0;
        if (cur.SeekOldest() && !Pass(cur.Current())) cur.Move(1, pass);
    } else {
        int move = 0;
        if (code == NAV_REDRAW) {
            if (position > 0 && position < kScrollMax && cur.Valid()) {
                int64_t target = static_cast<int64_t>(count) * position / kScrollMax;
                move = static_cast<int>(target - Relative(cur.Current().nr, k.nralt));
            }
        } else {
            move = NavigationMove(code);
        }
        if ((move == 1 || move == -1) && pageTelegrams_ == 1 && cur.Valid()) {
            // Paging inside one telegram that does not fit on a page.
            T_Telegramm t = cur.Current();
            int step = ObjectStep(t);
            const T_ComVar* ch = renv_.com[(t.ek == EK_RX2 || t.ek == EK_TX2) ? 1 : 0];
            const bool rp = ch && ch->rp57x && t.ta != TA_INTERNAL;
            // An rp57x frame pages over its records of four octets; its first two message
            // bytes are no count of objects.
            if (rp) DecodeHeader(t, ch->bp.fkt, LayoutOf(e_.ap));
            int objects = rp ? RpPagedRecords(t, ch->bp.fkt) : t.struk & 0x7F;
            int by = rp ? step : step - 1;
            by = std::max(1, by);
            if (move == 1 && !lastFit_) {
                int next = std::min(obja_ + by, std::max(0, objects - std::max(1, step)));
                if (next > obja_) {
                    obja_ = next;
                    move = 0;
                }
            } else if (move == -1 && obja_ > 0) {
                obja_ = std::max(0, obja_ - by);
                move = 0;
            }
        }
        if (move != 0 && cur.Move(move, pass) != 0) obja_ = 0;
        if (move > 0 && cur.Valid()) {
            // A move forward ends at the newest full page, as the newest page shows it, not
            // at a page that holds only the last few telegrams.
            std::unique_ptr<LogCursor> last = e_.log.NewCursor();
            SeekNewestPage(*last);
            if (last->Valid() &&
                Relative(cur.Current().nr, k.nralt) > Relative(last->Current().nr, k.nralt)) {
                SeekNewestPage(cur);
                obja_ = 0;
            }
        }
    }

    if (draw) {
        DrawPage();
    } else if (cur.Valid()) {
        scrollPos_ = PositionOf(cur.Current().nr);
    }
    return scrollPos_;
}

void LogPage::SeekNewestPage(LogCursor& c) {
    if (!c.SeekNewest()) return;
    if (e_.ap.afilt.aktiv) {
        if (!Pass(c.Current())) c.Move(-1, [this](const T_Telegramm& t) { return Pass(t); });
        return;
    }
    // Back from the newest until the page is filled; the page starts after the telegram that
    // no longer fits.
    int sum = 5 * lay_.h + 20;
    for (;;) {
        T_Telegramm t = c.Current();
        if (Pass(t)) {
            int n = MeasureLines(t);
            if (n > 0) sum += n * lay_.h + lay_.gap;
        }
        if (sum > lay_.bottom) {
            c.Forward();
            break;
        }
        if (!c.Back()) break;
    }
}

void LogPage::DrawPage() {
    ClearView();
    LogCursor& cur = e_.log.View();
    const T_LogKopf& k = e_.log.Kopf();
    int32_t count = e_.log.Count();
    T_FarbIndex base = ColourPair(e_.pp, CP_BASE);
    auto pass = [this](const T_Telegramm& t) { return Pass(t); };
    pageTelegrams_ = 0;
    lastFit_ = true;
    ctx_.tjs = 0;

    bool any = cur.Valid();
    if (any && !Pass(cur.Current())) any = cur.Move(1, pass) != 0 || cur.Move(-1, pass) != 0;
    if (!any) {
        DrawLine(e_.texts.tx(kTxEndOfLog), base, LineStyle::Text);
        scrollPos_ = count > 1 ? kScrollMax : 0;
        c_.Present();
        return;
    }

    T_Telegramm te = cur.Current();
    // The time difference of the first telegram is taken from the one before it.
    ctx_.dtalt = 0;
    ctx_.ekalt = 0;
    {
        LogCursor back = cur;
        if (back.Back()) {
            T_Telegramm p = back.Current();
            ctx_.dtalt = p.dt;
            ctx_.ekalt = p.ek;
        }
    }
    DateTimeParts d = DecodeDateTime(te.dt);
    NumberFormat nf = e_.loc.Numbers();
    double rel = static_cast<double>(Relative(te.nr, k.nralt)) + 1;
    // A stamp that is no date (a damaged log) leaves the date out.
    std::string date = (StampUsable(te.dt) ? e_.loc.LongDate(d.year, d.month, d.day) : "") +
                       e_.texts.tx(kTxDateLineNr) + FormatNf(nf, "%.0n", {rel}) +
                       e_.texts.tx(kTxDateLineOf) +
                       FormatNf(nf, "%.0n", {static_cast<double>(count)});
    DrawLine(date, base, LineStyle::Date);
    y_ += 6;
    int lastDay = DayOf(te.dt);
    scrollPos_ = PositionOf(te.nr);

    LogCursor walk = cur; // the view stays on the first telegram of the page
    bool first = true;
    while (!full_) {
        ctx_.obja = first ? obja_ : 0;
        StartTelegram(ctx_, te);
        if (int day = DayOf(te.dt); !first && day != kNoDay && day != lastDay) {
            DateTimeParts dd = DecodeDateTime(te.dt);
            DrawLine(e_.loc.ShortDate(dd.year, dd.month, dd.day), ctx_.tcl, LineStyle::Text);
            lastDay = day;
        }
        ++pageTelegrams_;
        lastFit_ = DrawTelegram();
        if (full_) break;
        Gap();
        if (full_) break;
        bool ok = walk.Forward();
        while (ok && !Pass(walk.Current())) ok = walk.Forward();
        if (!ok) {
            DrawLine(e_.texts.tx(kTxEndOfLog), base, LineStyle::Text);
            break;
        }
        te = walk.Current();
        first = false;
    }
    c_.Present();
}

void LogPage::DrawOnline(const T_Telegramm& te) {
    int lines = MeasureLines(te);
    if (lines == 0) return;
    int height = lines * lay_.h + lay_.gap;
    int area = lay_.bottom - areaTop_;
    if (height > area) {
        ClearView();
    } else if (y_ + height > lay_.bottom) {
        int d = y_ + height - lay_.bottom;
        c_.ScrollUp(areaTop_, lay_.bottom, lay_.right, d, ColourPair(e_.pp, CP_BASE).hg);
        y_ -= d;
    }
    ctx_.obja = 0;
    StartTelegram(ctx_, te);
    DrawOnlineLines();
    y_ += lay_.gap;
}

void LogPage::DrawOnlineLines() {
    for (std::string s = NextLine(ctx_); !s.empty(); s = NextLine(ctx_)) {
        ForEachLine(s, [&](const std::string& line) {
            // Lines above the area (the oldest telegram of a full redraw) and below it are
            // not drawn.
            if (y_ >= areaTop_ && y_ + lay_.h <= lay_.bottom)
                c_.Text(10, y_, line, ctx_.tcl, LineStyle::Text);
            y_ += lay_.h;
        });
    }
}

void LogPage::FullOnlineRedraw() {
    ClearView();
    DisplayRing& r = e_.log.ring;
    ctx_.dtalt = 0;
    ctx_.ekalt = 0;
    int area = lay_.bottom - areaTop_;
    std::vector<int> slots;
    int sum = 0;
    for (int i = 1; i <= DisplayRing::kSlots && sum < area; ++i) {
        int s = (r.head - i + DisplayRing::kSlots) % DisplayRing::kSlots;
        const T_Telegramm& t = r.slot[static_cast<size_t>(s)];
        if (t.lga == 0) break; // the slots before were never filled
        if (!Pass(t)) continue;
        int n = MeasureLines(t);
        if (n == 0) continue;
        slots.push_back(s);
        sum += n * lay_.h + lay_.gap;
    }
    // The oldest telegram may lose its first lines above the area.
    y_ = areaTop_ + std::min(0, area - sum);
    for (auto it = slots.rbegin(); it != slots.rend(); ++it) {
        ctx_.obja = 0;
        StartTelegram(ctx_, r.slot[static_cast<size_t>(*it)]);
        DrawOnlineLines();
        y_ += lay_.gap;
    }
    r.tail = r.head;
    fullRedraw_ = false;
}

void LogPage::OnlineStep() {
    if (!OnlineShown()) return;
    DisplayRing& r = e_.log.ring;
    if (r.head == r.tail && !fullRedraw_) return;
    uint32_t t0 = (e_.av.t2 && e_.millis) ? e_.millis() : 0;
    Refresh();
    if (fullRedraw_) {
        FullOnlineRedraw();
    } else {
        T_Telegramm te;
        if (r.Next(te) && Pass(te)) DrawOnline(te);
    }
    c_.Present();
    if (e_.av.t2 && e_.millis) {
        std::string c = CountTiming(e_.av, static_cast<double>(e_.millis() - t0));
        if (timingCaption) timingCaption(c);
    }
}

std::string CountTiming(T_AllgVar& av, double ms) {
    av.talt = ms;
    av.tsum += ms;
    av.tmax = std::max(av.tmax, ms);
    ++av.tanz;
    return Format("mittel: %4.1f  ist: %2d  max: %2d  anz: %d ",
                  {av.tsum / av.tanz, static_cast<int>(ms), static_cast<int>(av.tmax), av.tanz});
}

void LogPage::ZeroTiming() {
    e_.av.talt = e_.av.tsum = e_.av.tmax = 0;
    e_.av.tanz = 0;
}

void LogPage::ToOnlineDisplay() {
    LogCursor& cur = e_.log.View();
    if (!OnlineShown() && e_.av.LogAusg && cur.Valid()) {
        T_Telegramm t = cur.Current();
        kept_ = Place{cur.Block(), cur.Pos(), t.nr, t.dt, obja_};
    }
    e_.pp.onlausg = 1;
    e_.log.CloseView();
    fullRedraw_ = true;
}

bool LogPage::ToLogDisplay(bool keepPlace) {
    e_.pp.onlausg = 0;
    e_.log.OpenForReading();
    ueberSeen_ = e_.log.Kopf().ueber;
    obja_ = 0;
    pageTelegrams_ = 0;
    std::optional<Place> k = std::exchange(kept_, std::nullopt);
    if (!keepPlace || !k || !e_.av.LogAusg) return false;
    LogCursor& cur = e_.log.View();
    if (cur.SeekTo(k->block, k->pos) && cur.Current().nr == k->nr && cur.Current().dt == k->dt) {
        obja_ = k->obja;
        return true;
    }
    cur.SeekNewest(); // the telegram has left the log meanwhile
    return false;
}

} // namespace vdl
