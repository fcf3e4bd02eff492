// Printing the log onto a fake printer: the text of the output on pages with margins from the
// resolution, a header on every page, long lines continued, cancel, printer errors; and the
// progress of any output while the display filter passes nothing.
#include "log/log_print.h"

#include "app/program.h"
#include "core/utf8.h"
#include "log/filter.h"

#include "log/log_fixture.h"

namespace vdl {
namespace {

class FakePrinter : public Printer {
public:
    struct Item {
        int page, x, y;
        std::string s;
    };
    int width = 850, height = 300, dpi = 100, line = 10, charWidth = 7;
    bool beginOk = true;
    size_t failAt = SIZE_MAX; // Text fails from this item on
    std::vector<Item> items;
    int page = 1;
    bool aborted = false, ended = false;

    bool Begin(const std::string&, const std::string&, int) override { return beginOk; }
    int PageWidth() const override { return width; }
    int PageHeight() const override { return height; }
    int DpiX() const override { return dpi; }
    int DpiY() const override { return dpi; }
    int LineHeight() const override { return line; }
    int TextWidth(const std::string& s) const override {
        return static_cast<int>(Utf8Length(s)) * charWidth;
    }
    bool Text(int x, int y, const std::string& s) override {
        if (items.size() >= failAt) return false;
        items.push_back({page, x, y, s});
        return true;
    }
    bool NewPage() override {
        ++page;
        return true;
    }
    void Abort() override { aborted = true; }
    bool End() override {
        ended = true;
        return true;
    }
};

class LinesSink : public OutputSink {
public:
    bool Line(const std::string& s) override {
        lines.push_back(s);
        return true;
    }
    std::vector<std::string> lines;
};

class LogPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(p.LoadStartTexts());
        dir = test::TempDir("logprint");
        p.av.DataDir = dir;
        p.CreateLog(clock);
        ASSERT_TRUE(p.log->OpenLog(dir + "src.lg1", false));
        render = p.Rendering(loc);
    }
    LogOutputEnv Env() { return p.OutputEnv(render, loc, clock); }
    // Frames of 60 octets, a line of their bytes each in the byte view.
    void Add(int n) {
        for (int i = 0; i < n; ++i) {
            T_Telegramm te = test::Frame(60, ST_OK, EK_RX1, static_cast<uint8_t>(i));
            p.log->AppendTelegram(te);
            clock.Advance(10);
        }
    }
    test::FakeMessages msg;
    test::FakeClock clock;
    Program p{test::BinDir(), msg};
    FixedLocale loc;
    RenderEnv render;
    std::string dir;
};

TEST_F(LogPrintTest, PagesCarryTheOutputWithItsHeaderOnEachPage) {
    Add(30);
    LogOutputEnv env = Env();
    LinesSink text;
    ASSERT_TRUE(WriteLogLines(env, text));
    FakePrinter pr;
    ASSERT_TRUE(PrintLog(env, pr));
    EXPECT_TRUE(pr.ended);
    EXPECT_FALSE(pr.aborted);

    const PrintLayout lay = PrintLayoutOf(pr);
    EXPECT_EQ(lay.top, 50);
    EXPECT_EQ(lay.bottom, 250);
    EXPECT_EQ(lay.left, 33);
    ASSERT_GT(pr.page, 2);
    // Empty lines take their place without being drawn; every drawn line lies within the
    // margins, one line height below the one before on its page.
    std::vector<std::string> printed;
    int page = 0, y = 0;
    for (const FakePrinter::Item& it : pr.items) {
        EXPECT_EQ(it.x, lay.left);
        EXPECT_GE(it.y, lay.top);
        EXPECT_LE(it.y + lay.lineHeight, lay.bottom);
        EXPECT_EQ((it.y - lay.top) % lay.lineHeight, 0);
        if (it.page != page) {
            // A new page begins with its own header at the top margin.
            ASSERT_EQ(it.page, page + 1);
            page = it.page;
            EXPECT_EQ(it.y, lay.top);
            const std::vector<std::string> h = text.header(page);
            EXPECT_EQ(it.s, h[0]);
            EXPECT_NE(it.s.find(p.texts.tx(429) + " " + std::to_string(page)), std::string::npos);
            if (page > 1) printed.push_back("(header)");
        } else {
            EXPECT_GT(it.y, y);
        }
        y = it.y;
        if (!(page > 1 && it.y < lay.top + 2 * lay.lineHeight)) printed.push_back(it.s);
    }
    // Without the repeated headers the pages hold the text of the output, line for line.
    std::vector<std::string> expected;
    for (const std::string& s : text.lines)
        if (!s.empty()) expected.push_back(s);
    printed.erase(std::remove(printed.begin(), printed.end(), "(header)"), printed.end());
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(pr.items.back().s, p.texts.tx(kTxOutEnd));
}

TEST_F(LogPrintTest, ALineWiderThanThePageContinuesAtABlank) {
    FakePrinter pr;
    pr.width = 400; // 334 units between the margins: 47 characters
    PrintSink sink(pr);
    const std::string word = "abcdefghij";
    std::string line;
    for (int i = 0; i < 12; ++i) line += (i ? " " : "") + word;
    ASSERT_TRUE(sink.Line(line));
    ASSERT_TRUE(sink.Line(std::string(100, 'x')));
    for (const FakePrinter::Item& it : pr.items) EXPECT_LE(pr.TextWidth(it.s), 334) << it.s;
    // The words stay whole: every piece but the last of the line ends with its blank.
    std::string joined;
    size_t i = 0;
    for (; i < pr.items.size() && pr.items[i].s[0] != 'x'; ++i) joined += pr.items[i].s;
    ASSERT_EQ(i, 3u);
    EXPECT_EQ(pr.items[0].s.back(), ' ');
    EXPECT_EQ(pr.items[1].s.back(), ' ');
    EXPECT_EQ(joined, line);
    // A line without blanks is cut where the page ends.
    EXPECT_EQ(pr.items.back().s, std::string(100 - 47 - 47, 'x'));
}

TEST_F(LogPrintTest, CancelWritesItsTextAndDropsTheJob) {
    Add(2500);
    LogOutputEnv env = Env();
    int calls = 0;
    env.progress = [&](int) { return ++calls < 2; };
    FakePrinter pr;
    pr.height = 100000;
    EXPECT_FALSE(PrintLog(env, pr));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(pr.aborted);
    EXPECT_FALSE(pr.ended);
    EXPECT_EQ(pr.items.back().s, p.texts.tx(kTxOutCancelled));
}

TEST_F(LogPrintTest, APrinterErrorStopsTheRunAndKeepsWhatWasPrinted) {
    Add(20);
    LogOutputEnv env = Env();
    FakePrinter pr;
    pr.failAt = 7;
    EXPECT_FALSE(PrintLog(env, pr));
    EXPECT_EQ(pr.items.size(), 7u);
    EXPECT_TRUE(pr.ended);
    EXPECT_FALSE(pr.aborted);

    FakePrinter closed;
    closed.beginOk = false;
    EXPECT_FALSE(PrintLog(env, closed));
    EXPECT_TRUE(closed.items.empty());
}

TEST_F(LogPrintTest, ProgressRunsEvenWhenTheFilterPassesNothing) {
    Add(2500);
    LogOutputEnv env = Env();
    env.pass = [](const T_Telegramm&) { return false; };
    std::vector<int> seen;
    env.progress = [&](int pct) {
        seen.push_back(pct);
        return true;
    };
    LinesSink all;
    EXPECT_TRUE(WriteLogLines(env, all));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(all.lines.back(), p.texts.tx(kTxOutEnd));
    // A cancel there ends the output at once with its text.
    env.progress = [](int) { return false; };
    LinesSink cancelled;
    EXPECT_FALSE(WriteLogLines(env, cancelled));
    EXPECT_EQ(cancelled.lines.back(), p.texts.tx(kTxOutCancelled));
}

} // namespace
} // namespace vdl
