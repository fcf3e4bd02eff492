// The log view without widgets: layout, navigation codes, the pages of the log display (newest,
// oldest, moves, proportional jumps, paging inside a long telegram, hidden fixed frames, date
// lines) and the online display step, checked on the model of the drawn lines against the
// renderer's own output.
#include "log/log_page.h"

#include "asdu/asdu_header.h"
#include "core/channel.h"
#include "log/log_fixture.h"
#include "support/frames.h"

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

using namespace vdl;
using namespace vdl::test;

namespace {

struct PageWorld : LogWorld {
    T_ComVar com[2];
    FixedLocale loc{"dd/mm/yyyy", "d.mm.yyyy", "hh:nn:ss", '.', ':', NumberFormat{',', '.'}};
    DrawnLines canvas;
    std::unique_ptr<LogPage> page;
    RenderEnv renv; // the same settings, for rendering the expected lines

    explicit PageWorld(const std::string& name) {
        const std::pair<int, std::string> words[] = {
            {421, "LOG "}, {422, "ONLINE "}, {1212, "unf "}, {1213, "filt "},       {409, "F3 "},
            {410, "F4 "},  {411, "F5 "},     {412, "F6 "},   {413, "F7 "},          {407, "noT "},
            {408, "T "},   {423, "noL"},     {424, "L"},     {1191, "*** end ***"}, {425, " nr "},
            {427, " of "}, {1176, "R1"},     {1177, "S1"},   {1178, "R2"},          {1179, "S2"},
            {403, "ASDU"}, {405, "Obj"},     {406, "Link"}};
        for (const auto& [n, s] : words) texts.Replace(n, s);
        ap.lgla = 1;
        ap.mitori = 0;
        ap.castr = T_AdrStruktur{1, {16, 0, 0, 0, 0}};
        ap.oastr = T_AdrStruktur{1, {24, 0, 0, 0, 0}};
        DeriveAsduLayout(av, ap);
        InitChannelRecords(com[0], com[1]);
        pp.format = VF_FULL;
        pp.zeitzl = 0; // no header lines: the lines do not depend on time differences
        pp.linkzl = 1;
        EXPECT_TRUE(log.OpenLog(TempDir(name) + "page.lg1", false));
        page = std::make_unique<LogPage>(
            LogPageEnv{log, av, ap, pp, texts, loc, [this] { return Env(); },
                       [this] {
                           return FilterEnv{ap, LayoutOf(ap), log.Kopf().nralt, pp.linkzl != 0};
                       },
                       [this] { return clock.Millis(); }},
            canvas);
        ViewLayout l;
        l.h = 10;
        l.headerH = 12;
        l.lines = 30;
        l.gap = 5;
        l.top = 6;
        l.bottom = 400;
        l.right = 600;
        l.fillTop = 0;
        l.fillBottom = 410;
        page->SetLayout(l);
    }

    RenderEnv Env() {
        RenderEnv e;
        e.texts = &texts;
        e.av = &av;
        e.ap = &ap;
        e.pp = &pp;
        e.com[0] = &com[0];
        e.com[1] = &com[1];
        e.loc = &loc;
        e.oldestNr = log.Kopf().nralt;
        return e;
    }

    // A variable frame of single points with n objects (addresses base, base + 1, ...).
    T_Telegramm Points(int n, uint32_t base = 100, uint8_t ek = EK_RX1) {
        Bytes a{1, static_cast<uint8_t>(n), 20, 1, 0};
        for (int i = 0; i < n; ++i) {
            uint32_t ioa = base + static_cast<uint32_t>(i);
            a.insert(a.end(), {static_cast<uint8_t>(ioa), static_cast<uint8_t>(ioa >> 8),
                               static_cast<uint8_t>(ioa >> 16), static_cast<uint8_t>(i & 1)});
        }
        return Rec(Variable(0x08, 1, a), ek);
    }
    T_Telegramm FixedFrame(uint8_t lc = 0x49) { return Rec(Fixed(lc, 1), EK_RX1); }
    T_Telegramm Rec(const Bytes& b, uint8_t ek) {
        T_Telegramm te = Record(b);
        DecodeHeader(te, FKT_MONITOR, LayoutOf(ap));
        te.stat = ST_OK;
        te.ek = ek;
        return te;
    }
    void Add(T_Telegramm te, uint32_t step = 10) {
        log.AppendTelegram(te);
        clock.Advance(step);
    }
    // The lines the renderer gives for a stored telegram, starting at object obja.
    std::vector<std::string> Rendered(const T_Telegramm& stored, int obja = 0) {
        renv = Env();
        T_TeleAusgabe c;
        c.env = &renv;
        c.obja = obja;
        StartTelegram(c, stored);
        std::vector<std::string> v;
        for (std::string s = NextLine(c); !s.empty(); s = NextLine(c)) v.push_back(s);
        return v;
    }
    std::vector<DrawnLine> Lines() const { return canvas.Lines(); }
    const DrawnLine* DateLine() const {
        for (const DrawnLine& l : canvas.Lines())
            if (l.style == LineStyle::Date) return &l;
        return nullptr;
    }
    // The relative number of the page's first telegram, from the date line; -1 without one.
    int FirstNumber() const {
        const DrawnLine* d = DateLine();
        std::string s = d ? d->text : "";
        size_t p = s.find(" nr ");
        return p == std::string::npos ? -1 : std::stoi(s.substr(p + 4));
    }
    std::vector<std::string> TelegramLines() const {
        std::vector<std::string> v;
        for (const DrawnLine& l : canvas.Lines())
            if (l.style == LineStyle::Text) v.push_back(l.text);
        return v;
    }
    void ShowLog() {
        page->ToLogDisplay();
        ASSERT_TRUE(av.LogAusg);
    }
};

} // namespace

TEST(LogPageCodes, ScrollEventsAndMoves) {
    EXPECT_EQ(ScrollCode(ScrollEvent::LineUp, true, true), NAV_LINE_UP);
    EXPECT_EQ(ScrollCode(ScrollEvent::LineDown, false, false), NAV_LINE_DOWN);
    EXPECT_EQ(ScrollCode(ScrollEvent::PageUp, false, false), NAV_PAGE_UP);
    EXPECT_EQ(ScrollCode(ScrollEvent::PageDown, true, false), NAV_PAGE_DOWN_500);
    EXPECT_EQ(ScrollCode(ScrollEvent::PageUp, false, true), NAV_PAGE_UP_50);
    EXPECT_EQ(ScrollCode(ScrollEvent::PageDown, true, true), NAV_PAGE_DOWN_5000);
    EXPECT_EQ(ScrollCode(ScrollEvent::Top, true, false), NAV_OLDEST);
    EXPECT_EQ(ScrollCode(ScrollEvent::Bottom, false, false), NAV_NEWEST);
    EXPECT_EQ(ScrollCode(ScrollEvent::Track, false, false), NAV_REDRAW);
    EXPECT_EQ(ScrollCode(ScrollEvent::Other, false, false), -1);
    // Page up: 5 without modifier, 50 with Shift, 500 with Ctrl, 5000 with both.
    EXPECT_EQ(NavigationMove(ScrollCode(ScrollEvent::PageUp, false, false)), -5);
    EXPECT_EQ(NavigationMove(ScrollCode(ScrollEvent::PageUp, false, true)), -50);
    EXPECT_EQ(NavigationMove(ScrollCode(ScrollEvent::PageUp, true, false)), -500);
    EXPECT_EQ(NavigationMove(ScrollCode(ScrollEvent::PageUp, true, true)), -5000);
    EXPECT_EQ(NavigationMove(NAV_LINE_DOWN), 1);
    EXPECT_EQ(NavigationMove(NAV_NEWEST), 0);
}

TEST(LogPageLayout, ValuesFromTheWindow) {
    ViewMetrics m;
    m.h = 15;
    m.headerH = 17;
    m.width = 800;
    m.statusTop = 560;
    m.toolBottom = 30;
    m.gridBottom = 100;
    m.scrollW = 16;
    m.clientH = 600;
    m.statusH = 20;
    m.gapPct = 50;
    ViewLayout log = ComputeLayout(m, false);
    EXPECT_EQ(log.lines, 580 / 15 - 6);
    EXPECT_EQ(log.gap, 7);
    EXPECT_EQ(log.top, 36);
    EXPECT_EQ(log.bottom, 555);
    EXPECT_EQ(log.right, 784);
    EXPECT_EQ(log.fillTop, 30);
    EXPECT_EQ(log.fillBottom, 560);
    ViewLayout online = ComputeLayout(m, true);
    EXPECT_EQ(online.top, 106); // below the statistics grid
    EXPECT_EQ(online.right, 800);
    m.gapPct = 500; // out of range: at most twice a line
    EXPECT_EQ(ComputeLayout(m, false).gap, 30);
}

TEST(LogPageModel, FillAndScrollMoveTheLines) {
    DrawnLines d;
    d.Text(10, 20, "a", {}, LineStyle::Text);
    d.Text(10, 30, "b", {}, LineStyle::Text);
    d.Text(10, 40, "c", {}, LineStyle::Text);
    d.Text(10, 30, "B", {}, LineStyle::Text); // drawn over
    EXPECT_EQ(d.Texts(), (std::vector<std::string>{"a", "B", "c"}));
    d.ScrollUp(20, 50, 100, 10, 15);
    ASSERT_EQ(d.Lines().size(), 2u);
    EXPECT_EQ(d.Lines()[0].y, 20);
    EXPECT_EQ(d.Lines()[0].text, "B");
    d.Fill(0, 25, 100, 15);
    EXPECT_EQ(d.Texts(), std::vector<std::string>{"c"});
}

TEST(LogPage, EmptyLogShowsTheHeaderAndTheEndOfTheLog) {
    PageWorld w("page-empty");
    w.ShowLog();
    EXPECT_EQ(w.page->NavigateLog(NAV_NEWEST), 0);
    EXPECT_EQ(w.canvas.Texts(), (std::vector<std::string>{"LOG unf F3 noT L", "*** end ***"}));
    EXPECT_EQ(w.Lines()[0].style, LineStyle::Header);
    EXPECT_EQ(w.Lines()[0].y, 6);
    EXPECT_EQ(w.Lines()[1].y, 6 + 12 + 6);
}

TEST(LogPage, NewestPageEndsWithTheNewestTelegram) {
    PageWorld w("page-newest");
    for (int i = 0; i < 100; ++i) w.Add(w.Points(2, 100 + 10 * static_cast<uint32_t>(i)));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.ShowLog();
    int pos = w.page->NavigateLog(NAV_NEWEST);
    std::vector<std::string> lines = w.TelegramLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "*** end ***");
    std::vector<std::string> newest = w.Rendered(all.back());
    EXPECT_TRUE(std::equal(newest.rbegin(), newest.rend(), lines.rbegin() + 1));

    // The page starts after the telegram that no longer fits below 5 lines and 20 pixels.
    int per = static_cast<int>(newest.size()) * 10 + 5;
    int k = (400 - (5 * 10 + 20)) / per; // telegrams that fit
    const DrawnLine* date = w.DateLine();
    ASSERT_NE(date, nullptr);
    EXPECT_NE(date->text.find(" nr " + std::to_string(100 - k + 1) + " of 100"), std::string::npos)
        << date->text;
    EXPECT_EQ(static_cast<int>(lines.size()), k * static_cast<int>(newest.size()) + 1);
    EXPECT_EQ(pos, 1000 * (100 - k) / 99); // the position of the page's first telegram
    for (const DrawnLine& l : w.Lines()) EXPECT_LE(l.y + 10, 400);
}

TEST(LogPage, OldestMovesAndProportionalJumps) {
    PageWorld w("page-moves");
    for (int i = 0; i < 100; ++i) w.Add(w.Points(1, 100 + static_cast<uint32_t>(i)));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.ShowLog();
    EXPECT_EQ(w.page->NavigateLog(NAV_OLDEST), 0);
    EXPECT_EQ(w.FirstNumber(), 1);
    std::vector<std::string> oldest = w.Rendered(all.front());
    std::vector<std::string> lines = w.TelegramLines();
    EXPECT_TRUE(std::equal(oldest.begin(), oldest.end(), lines.begin()));

    EXPECT_EQ(w.page->NavigateLog(NAV_LINE_DOWN), 1000 * 1 / 99);
    EXPECT_EQ(w.FirstNumber(), 2);
    w.page->NavigateLog(NAV_LINE_UP);
    EXPECT_EQ(w.FirstNumber(), 1);
    w.page->NavigateLog(NAV_LINE_UP); // nothing before the oldest
    EXPECT_EQ(w.FirstNumber(), 1);
    w.page->NavigateLog(NAV_PAGE_DOWN);
    EXPECT_EQ(w.FirstNumber(), 6);
    w.page->NavigateLog(NAV_PAGE_DOWN_50);
    EXPECT_EQ(w.FirstNumber(), 56);
    w.page->NavigateLog(NAV_PAGE_UP_5000);
    EXPECT_EQ(w.FirstNumber(), 1);

    // The thumb: 0 the oldest, 1000 the newest page, in between a share of the count.
    EXPECT_EQ(w.page->NavigateLog(NAV_REDRAW, 500), 1000 * 50 / 99);
    EXPECT_EQ(w.FirstNumber(), 51);
    w.page->NavigateLog(NAV_REDRAW, kNoPosition); // a redraw stays
    EXPECT_EQ(w.FirstNumber(), 51);
    w.page->NavigateLog(NAV_REDRAW, 0);
    EXPECT_EQ(w.FirstNumber(), 1);
    w.page->NavigateLog(NAV_REDRAW, 1000);
    EXPECT_GT(w.FirstNumber(), 50);
    EXPECT_EQ(w.TelegramLines().back(), "*** end ***");
}

TEST(LogPage, MovesPastTheEndShowTheNewestFullPage) {
    PageWorld w("page-past-end");
    for (int i = 0; i < 100; ++i) w.Add(w.Points(1, 100 + static_cast<uint32_t>(i)));
    w.ShowLog();
    int newestPos = w.page->NavigateLog(NAV_NEWEST);
    int newest = w.FirstNumber();
    std::vector<std::string> newestLines = w.TelegramLines();
    ASSERT_GE(100 - newest, 5); // the page holds more telegrams than the moves below skip
    // From a page a little before the newest one, each forward move that would pass it shows
    // the newest page, filled to the bottom, as the newest page code does.
    struct Case {
        int code;
        int back; // telegrams before the newest page where the move starts
    } cases[] = {{NAV_LINE_DOWN, 0},
                 {NAV_PAGE_DOWN, 3},
                 {NAV_PAGE_DOWN_50, 4},
                 {NAV_PAGE_DOWN_500, 1},
                 {NAV_PAGE_DOWN_5000, 5}};
    for (const Case& c : cases) {
        w.page->NavigateLog(NAV_NEWEST);
        for (int i = 0; i < c.back; ++i) w.page->NavigateLog(NAV_LINE_UP);
        ASSERT_EQ(w.FirstNumber(), newest - c.back);
        EXPECT_EQ(w.page->NavigateLog(c.code), newestPos) << c.code;
        EXPECT_EQ(w.FirstNumber(), newest) << c.code;
        EXPECT_EQ(w.TelegramLines(), newestLines) << c.code;
    }
    // A move that stays before the newest page moves as far as it says.
    w.page->NavigateLog(NAV_NEWEST);
    for (int i = 0; i < 10; ++i) w.page->NavigateLog(NAV_LINE_UP);
    w.page->NavigateLog(NAV_PAGE_DOWN);
    EXPECT_EQ(w.FirstNumber(), newest - 5);
    // The thumb just before the end shows the newest page too.
    w.page->NavigateLog(NAV_REDRAW, 999);
    EXPECT_EQ(w.FirstNumber(), newest);
}

TEST(LogPage, ALongTelegramIsPagedByItsObjects) {
    PageWorld w("page-objects");
    w.Add(w.Points(1, 1));
    w.Add(w.Points(60, 1000)); // 60 object lines: taller than the page
    w.Add(w.Points(1, 2));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    w.page->NavigateLog(NAV_LINE_DOWN);
    EXPECT_EQ(w.page->PageTelegrams(), 1);
    EXPECT_EQ(w.page->FirstObject(), 0);
    std::vector<std::string> lines = w.TelegramLines();
    std::vector<std::string> full = w.Rendered(all[1]);
    ASSERT_LT(lines.size(), full.size());
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), full.begin()));

    // Forward pages by objects, each page starting with the object it names.
    int pages = 0;
    int last = 0;
    while (pages < 20) {
        w.page->NavigateLog(NAV_LINE_DOWN);
        if (w.page->FirstObject() == 0) break; // moved on to the next telegram
        EXPECT_GT(w.page->FirstObject(), last);
        last = w.page->FirstObject();
        std::vector<std::string> expect = w.Rendered(all[1], last);
        std::vector<std::string> shown = w.TelegramLines();
        ASSERT_FALSE(shown.empty());
        auto n = static_cast<long>(std::min(shown.size(), expect.size()));
        EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + n),
                  std::vector<std::string>(expect.begin(), expect.begin() + n));
        ++pages;
    }
    EXPECT_GE(pages, 2);
    EXPECT_LE(last, 60);
    // The last object page ended the telegram; the next move went to the next telegram.
    EXPECT_EQ(w.TelegramLines().front(), w.Rendered(all[2]).front());
    // Back into the long telegram, then backwards by objects to its start.
    w.page->NavigateLog(NAV_LINE_UP);
    EXPECT_EQ(w.page->FirstObject(), 0);
    EXPECT_EQ(w.TelegramLines().front(), full.front());
}

TEST(LogPage, ObjectPagesGoBackward) {
    PageWorld w("page-objects-back");
    w.Add(w.Points(60, 1000));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    w.page->NavigateLog(NAV_LINE_DOWN);
    w.page->NavigateLog(NAV_LINE_DOWN);
    int at = w.page->FirstObject();
    ASSERT_GT(at, 0);
    w.page->NavigateLog(NAV_LINE_UP);
    EXPECT_LT(w.page->FirstObject(), at);
    while (w.page->FirstObject() > 0) w.page->NavigateLog(NAV_LINE_UP);
    EXPECT_EQ(w.TelegramLines().front(), w.Rendered(all[0]).front());
}

TEST(LogPage, AnRp57xFramePagesByItsRecordsOnlyWhereItHasThem) {
    PageWorld w("page-rp57x");
    w.com[0].bp.fkt = FKT_RP5;
    w.com[0].rp57x = true;
    w.com[0].rpbrsp1 = 12;
    w.texts.Replace(1489, "type %3$d"); // the link line names the message type
    w.texts.Replace(1805, "n%d ");      // the record's number on each message line
    // The variant's frame: link address 7, the control field (the message type), the message.
    auto rp = [&w](uint8_t lc, int records, int size, uint8_t first) {
        Bytes user{lc};
        for (int i = 0; i < records; ++i)
            for (int k = 0; k < size; ++k)
                user.push_back(static_cast<uint8_t>(k == 0 ? first + i : 0x10 + k));
        return w.Rec(Variable(7, 0, user, 0), EK_RX1);
    };
    // Measured values of four octets a record, the first numbered 0: no count of objects.
    w.Add(rp(0x2C, 60, 4, 0));
    // Words of three octets a record do not page by obja: their first octet is no count either.
    w.Add(rp(0x30, 60, 3, 100));
    w.Add(rp(0x2C, 1, 4, 50));
    std::vector<T_Telegramm> all = w.ReadAll();
    // The first two lines shown, and those of a telegram from object obja.
    auto head = [](std::vector<std::string> v) {
        v.resize(2);
        return v;
    };
    auto from = [&](int t, int obja = 0) { return head(w.Rendered(all[t], obja)); };
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    ASSERT_EQ(head(w.TelegramLines()), from(0));
    std::vector<int> starts;
    for (int i = 0; i < 5 && head(w.TelegramLines()) != from(1); ++i) {
        w.page->NavigateLog(NAV_LINE_DOWN);
        const int at = w.page->FirstObject();
        if (at == 0) continue;
        starts.push_back(at);
        EXPECT_EQ(head(w.TelegramLines()), from(0, at));
    }
    // One step of 29 message lines, after which the rest of the records fits the page.
    EXPECT_EQ(starts, (std::vector<int>{29}));
    ASSERT_EQ(head(w.TelegramLines()), from(1));
    // The words do not fit either, but the next move goes on to the next telegram.
    w.page->NavigateLog(NAV_LINE_DOWN);
    EXPECT_EQ(w.page->FirstObject(), 0);
    EXPECT_EQ(head(w.TelegramLines()), from(2));
}

TEST(LogPage, LinkLineOffHidesFixedFramesAndKeepsTheNearestEarlierTelegram) {
    PageWorld w("page-link");
    w.Add(w.Points(1, 1));
    w.Add(w.FixedFrame(0x49));
    w.Add(w.FixedFrame(0x0B));
    w.Add(w.Points(1, 2));
    // More than a page after them, so that the page can start on the fixed frame.
    for (int i = 0; i < 60; ++i) w.Add(w.Points(1, 10 + static_cast<uint32_t>(i)));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    w.page->NavigateLog(NAV_LINE_DOWN); // on the first fixed frame
    EXPECT_EQ(w.TelegramLines().front(), w.Rendered(all[1]).front());
    w.pp.linkzl = 0;
    w.page->NavigateLog(2);
    std::vector<std::string> lines = w.TelegramLines();
    std::vector<std::string> v1 = w.Rendered(all[0]), v2 = w.Rendered(all[3]);
    EXPECT_TRUE(std::equal(v1.begin(), v1.end(), lines.begin())); // back on the first
    // No fixed frame in between.
    ASSERT_GE(lines.size(), v1.size() + v2.size());
    EXPECT_TRUE(std::equal(v2.begin(), v2.end(), lines.begin() + static_cast<long>(v1.size())));
    EXPECT_NE(w.canvas.Texts().front().find("noL"), std::string::npos);
}

TEST(LogPage, ADateLineBeforeTheFirstTelegramOfANewDay) {
    PageWorld w("page-days");
    w.clock.start = EncodeDateTime(2026, 12, 8, 23, 59, 59);
    w.clock.ms = 0;
    w.Add(w.Points(1, 1), 500);
    w.Add(w.Points(1, 2), 1000); // 23:59:59.500
    w.Add(w.Points(1, 3));       // 00:00:00.500 of the next day
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    const DrawnLine* d = w.DateLine();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->text.rfind(w.loc.LongDate(2026, 12, 8), 0), 0u) << d->text;
    std::vector<std::string> lines = w.TelegramLines();
    std::string nextDay = w.loc.ShortDate(2026, 12, 9);
    auto it = std::find(lines.begin(), lines.end(), nextDay);
    ASSERT_NE(it, lines.end());
    std::vector<T_Telegramm> all = w.ReadAll();
    EXPECT_EQ(*(it + 1), w.Rendered(all[2]).front());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), w.loc.ShortDate(2026, 12, 8)), 0);
}

TEST(LogPage, StampsThatAreNoDatesGetNoDateLines) {
    PageWorld w("page-baddays");
    w.clock.start = EncodeDateTime(2026, 12, 8, 12);
    for (double dt : {1e300, EncodeDateTime(2026, 12, 8, 12), std::nan(""), -1e300,
                      EncodeDateTime(2026, 12, 9, 1)}) {
        T_Telegramm te = w.Points(1, 1);
        te.dt = dt;
        w.log.AppendCopy(te);
    }
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    const DrawnLine* d = w.DateLine();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->text.find(w.loc.LongDate(0, 0, 0)), std::string::npos) << d->text;
    // The first telegram has no date, so the first one with a date gets its date line, and
    // the next day its own; the stamps that are no dates get none.
    std::vector<std::string> lines = w.TelegramLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), w.loc.ShortDate(2026, 12, 8)), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), w.loc.ShortDate(2026, 12, 9)), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), w.loc.ShortDate(0, 0, 0)), 0);
}

TEST(LogPage, DisplayFilterSkipsTheObjectsItRejects) {
    PageWorld w("page-objfilter");
    w.Add(w.Points(4, 100));
    T_Filter& f = w.ap.afilt;
    f = T_Filter{};
    f.nameidx = 255;
    NormaliseFilter(f, w.ap);
    std::vector<int32_t> fields = FilterFields(w.ap);
    auto row = std::find(fields.begin(), fields.end(), FF_OA1) - fields.begin();
    ASSERT_LT(row, static_cast<long>(fields.size()));
    f.z[row].rel = 1;
    f.z[row].vgl = 2;
    f.z[row].w1 = 102;
    f.z[row].w2 = 103;
    NormaliseFilter(f, w.ap);
    f.aktiv = 1;
    ASSERT_TRUE(HasObjectCriteria(f));
    std::vector<T_Telegramm> all = w.ReadAll();
    FilterEnv fe{w.ap, LayoutOf(w.ap), w.log.Kopf().nralt, true};
    EXPECT_FALSE(ObjectAccepts(f, all[0], 1, fe));
    EXPECT_TRUE(ObjectAccepts(f, all[0], 3, fe));
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    std::vector<std::string> lines = w.TelegramLines();
    std::vector<std::string> every = w.Rendered(all[0]);
    // Objects 1 and 2 are not shown, 3 and 4 are.
    EXPECT_EQ(lines.size(), every.size() - 2 + 1);
    EXPECT_NE(w.canvas.Texts().front().find("filt"), std::string::npos);
}

TEST(LogPageOnline, OneTelegramPerStepAndScrollingAtTheBottom) {
    PageWorld w("page-online");
    w.page->ToOnlineDisplay();
    EXPECT_FALSE(w.av.LogAusg);
    w.page->OnlineStep(); // the full redraw of an empty ring: the header only
    EXPECT_EQ(w.canvas.Texts(), std::vector<std::string>{"ONLINE unf F3 noT L"});
    w.page->OnlineStep(); // nothing new: nothing drawn
    EXPECT_EQ(w.canvas.presented, 1);

    w.Add(w.Points(1, 1));
    w.Add(w.Points(1, 2));
    std::vector<T_Telegramm> all = w.ReadAll();
    w.page->OnlineStep();
    EXPECT_EQ(w.TelegramLines(), w.Rendered(all[0]));
    w.page->OnlineStep();
    std::vector<std::string> both = w.Rendered(all[0]);
    for (const std::string& s : w.Rendered(all[1])) both.push_back(s);
    EXPECT_EQ(w.TelegramLines(), both);

    // Many more: the area scrolls, the newest stays at the bottom, nothing leaves the area.
    for (int i = 0; i < 40; ++i) {
        w.Add(w.Points(1, 10 + static_cast<uint32_t>(i)));
        w.page->OnlineStep();
    }
    all = w.ReadAll();
    std::vector<std::string> lines = w.TelegramLines();
    std::vector<std::string> newest = w.Rendered(all.back());
    EXPECT_TRUE(std::equal(newest.rbegin(), newest.rend(), lines.rbegin()));
    int areaTop = 6 + 12 + 6;
    for (const DrawnLine& l : w.Lines())
        if (l.style == LineStyle::Text) {
            EXPECT_GE(l.y, areaTop);
            EXPECT_LE(l.y + 10, 400);
        }
    EXPECT_EQ(w.Lines().back().y + 10 + 5, 400); // the last telegram ends at the bottom

    // A resize draws the display anew from the ring: the same lines at the same places.
    std::vector<DrawnLine> before = w.Lines();
    w.page->SetLayout(w.page->Layout());
    EXPECT_TRUE(w.page->FullRedrawPending());
    w.page->OnlineStep();
    ASSERT_EQ(w.Lines().size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(w.Lines()[i].text, before[i].text);
        EXPECT_EQ(w.Lines()[i].y, before[i].y);
    }
}

TEST(LogPageOnline, ATelegramTallerThanTheAreaIsDrawnFromTheTop) {
    PageWorld w("page-online-tall");
    w.page->ToOnlineDisplay();
    w.page->OnlineStep();
    w.Add(w.Points(1, 1));
    w.page->OnlineStep();
    w.Add(w.Points(60, 1000));
    w.page->OnlineStep();
    std::vector<T_Telegramm> all = w.ReadAll();
    std::vector<std::string> tall = w.Rendered(all[1]);
    std::vector<std::string> lines = w.TelegramLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_LT(lines.size(), tall.size());
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), tall.begin()));
    EXPECT_EQ(w.Lines()[1].y, 6 + 12 + 6);
}

TEST(LogPageOnline, SwitchingToTheLogDisplayOpensTheLogAtTheNewest) {
    PageWorld w("page-switch");
    for (int i = 0; i < 5; ++i) w.Add(w.Points(1, static_cast<uint32_t>(i)));
    w.page->ToOnlineDisplay();
    EXPECT_EQ(w.page->NavigateLog(NAV_NEWEST), 1000); // only a full redraw is requested
    EXPECT_TRUE(w.page->FullRedrawPending());
    w.page->ToLogDisplay();
    EXPECT_TRUE(w.av.LogAusg);
    EXPECT_EQ(w.pp.onlausg, 0);
    w.page->NavigateLog(NAV_NEWEST);
    EXPECT_EQ(w.canvas.Texts().front(), "LOG unf F3 noT L");
    EXPECT_EQ(w.TelegramLines().back(), "*** end ***");
}

TEST(LogPageOnline, SwitchingBackComesToThePageTheLogDisplayLeft) {
    PageWorld w("page-keep");
    for (int i = 0; i < 60; ++i) w.Add(w.Points(1, static_cast<uint32_t>(i)));
    w.ShowLog();
    w.page->NavigateLog(NAV_OLDEST);
    w.page->NavigateLog(NAV_PAGE_DOWN);
    ASSERT_EQ(w.FirstNumber(), 6);
    // Away to the online display and back: the same page, even after telegrams came in.
    w.page->ToOnlineDisplay();
    w.Add(w.Points(1, 500));
    EXPECT_TRUE(w.page->ToLogDisplay(true));
    w.page->NavigateLog(NAV_REDRAW);
    EXPECT_EQ(w.FirstNumber(), 6);
    // Without keepPlace (going offline, another log) the newest page.
    w.page->ToOnlineDisplay();
    EXPECT_FALSE(w.page->ToLogDisplay(false));
    w.page->NavigateLog(NAV_NEWEST);
    EXPECT_GT(w.FirstNumber(), 50);
    // A place is kept once: a second switch from the online display has none.
    w.page->NavigateLog(NAV_OLDEST);
    w.page->ToOnlineDisplay();
    w.page->ToOnlineDisplay();
    EXPECT_TRUE(w.page->ToLogDisplay(true));
    w.page->NavigateLog(NAV_REDRAW);
    EXPECT_EQ(w.FirstNumber(), 1);
    w.page->ToOnlineDisplay();
    EXPECT_TRUE(w.page->ToLogDisplay(true));
    w.page->ToOnlineDisplay();
    // The telegram of the place has left the log: the newest page instead.
    w.log.NewLog();
    for (int i = 0; i < 3; ++i) w.Add(w.Points(1, static_cast<uint32_t>(i)));
    EXPECT_FALSE(w.page->ToLogDisplay(true));
}

TEST(LogPageOnline, TheTimingOfTheStepGoesToTheCaptionWithT2) {
    PageWorld w("page-timing");
    std::vector<std::string> captions;
    w.page->timingCaption = [&](const std::string& s) { captions.push_back(s); };
    w.page->ToOnlineDisplay();
    w.page->OnlineStep();
    EXPECT_TRUE(captions.empty()); // only with the switch t2
    w.av.t2 = true;
    w.Add(w.Points(1, 1));
    w.page->OnlineStep();
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "mittel:  0.0  ist:  0  max:  0  anz: 1 ");
    EXPECT_EQ(w.av.tanz, 1);
    w.page->ZeroTiming();
    EXPECT_EQ(w.av.tanz, 0);
}
