// The log display over a log of 100000 telegrams (the frames of the bundled recording, over
// and over): the time of one page redraw, of a page move, and of the jumps between the newest
// and the oldest page and to the middle of the log, each drawn into the model of lines only and
// into the view's off-screen image (font, colours and text as on the screen).
#include "app/program.h"
#include "asdu/asdu_header.h"
#include "core/locale_formats.h"
#include "log/log_page.h"
#include "ui/log_view.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vdl;

constexpr int kTelegrams = 100000;

class StepClock : public Clock {
public:
    uint32_t Millis() override { return ms; }
    double LocalNow() override { return EncodeDateTime(2026, 12, 8, 10, 0, 0) + ms / kMsPerDay; }
    uint32_t ms = 0;
};

class SilentMessages : public Messages {
public:
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    Answer Ask(const std::string&, bool) override { return Answer::No; }
};

// The frames of samples/sample_recording.hex as records of their channel.
std::vector<T_Telegramm> Recording(const T_AllgPar& ap) {
    std::ifstream f(std::string(VDL_SOURCE_DIR) + "/samples/sample_recording.hex");
    std::vector<T_Telegramm> out;
    std::string s;
    while (std::getline(f, s)) {
        if (s.size() < 4 || s[0] != 'c') continue;
        T_Telegramm te{};
        std::istringstream in(s.substr(3));
        std::string hex;
        while (in >> hex && te.lg < kTeByteLen)
            te.b[te.lg++] = static_cast<uint8_t>(std::stoi(hex, nullptr, 16));
        te.ta = te.b[0] == 0x68 ? TA_VARIABLE : TA_FIXED;
        DecodeHeader(te, FKT_MONITOR, LayoutOf(ap));
        te.stat = ST_OK;
        te.ek = s[1] == '2' ? EK_RX2 : EK_RX1;
        out.push_back(te);
    }
    return out;
}

// A program with its texts, a log of 100000 telegrams and a log view on a canvas.
struct World {
    SilentMessages msg;
    StepClock clock;
    Program p{std::string(VDL_BIN_DIR) + "/", msg};
    FixedLocale loc;
    DrawnLines lines;
    std::unique_ptr<LogView> view;
    std::unique_ptr<LogPage> page;

    explicit World(bool image) {
        p.LoadStartTexts();
        p.ap.mitori = 1;
        DeriveAsduLayout(p.av, p.ap);
        p.pp.format = VF_FULL;
        p.pp.zeitzl = 1;
        p.pp.linkzl = 1;
        std::string dir =
            (std::filesystem::temp_directory_path() / "vordal-log-view-bench").string();
        std::filesystem::create_directories(dir);
        std::string file = dir + (image ? "/image.lg1" : "/lines.lg1");
        std::filesystem::remove(file);
        p.CreateLog(clock);
        {
            p.log->OpenLog(file, false);
            std::vector<T_Telegramm> rec = Recording(p.ap);
            for (int i = 0; i < kTelegrams; ++i) {
                T_Telegramm te = rec[static_cast<size_t>(i) % rec.size()];
                p.log->AppendTelegram(te);
                clock.ms += 37;
            }
            p.log->FlushLog();
        }
        p.log->OpenLog(file, false);
        ViewCanvas* canvas = &lines;
        if (image) {
            view = std::make_unique<LogView>();
            view->SetFontSize(10);
            view->resize(1000, 700);
            view->show(); // the image is made at the first resize of the shown widget
            QApplication::processEvents();
            view->ShowOnlineParts(false);
            canvas = view.get();
        }
        page = std::make_unique<LogPage>(
            LogPageEnv{*p.log, p.av, p.ap, p.pp, p.texts, loc, [this] { return p.Rendering(loc); },
                       [this] { return p.Filters(); }, [this] { return clock.Millis(); }},
            *canvas);
        ViewMetrics m;
        m.h = image ? view->LineHeight() : 15;
        m.headerH = image ? view->HeaderHeight() : 17;
        m.width = 1000;
        m.statusTop = 640;
        m.scrollW = 16;
        m.clientH = 680;
        m.statusH = 20;
        page->SetLayout(ComputeLayout(m, false));
        page->ToLogDisplay();
    }
};

World& Get(bool image) {
    static std::unique_ptr<World> w[2];
    if (!w[image]) w[image] = std::make_unique<World>(image);
    return *w[image];
}

void BM_PageRedraw(benchmark::State& state) {
    World& w = Get(state.range(0) != 0);
    w.page->NavigateLog(NAV_REDRAW, 500);
    for (auto _ : state) benchmark::DoNotOptimize(w.page->NavigateLog(NAV_REDRAW, kNoPosition));
    state.counters["telegrams"] = w.p.log->Count();
    const DrawnLines& d = w.view ? w.view->Model() : w.lines;
    state.counters["page_lines"] = static_cast<double>(d.Lines().size());
    if (w.view) state.counters["image_height"] = w.view->Image().height();
}

void BM_PageDown(benchmark::State& state) {
    World& w = Get(state.range(0) != 0);
    w.page->NavigateLog(NAV_REDRAW, 500);
    for (auto _ : state) benchmark::DoNotOptimize(w.page->NavigateLog(NAV_PAGE_DOWN));
}

void BM_JumpNewestToOldest(benchmark::State& state) {
    World& w = Get(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        w.page->NavigateLog(NAV_NEWEST);
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.page->NavigateLog(NAV_OLDEST));
    }
}

void BM_JumpOldestToNewest(benchmark::State& state) {
    World& w = Get(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        w.page->NavigateLog(NAV_OLDEST);
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.page->NavigateLog(NAV_NEWEST));
    }
}

// The thumb dragged from the newest page to the middle: 50000 telegrams stepped over.
void BM_ThumbToTheMiddle(benchmark::State& state) {
    World& w = Get(state.range(0) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        w.page->NavigateLog(NAV_NEWEST);
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.page->NavigateLog(NAV_REDRAW, 500));
    }
}

// range 0: the model of lines only; 1: drawn into the off-screen image as well.
BENCHMARK(BM_PageRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpNewestToOldest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpOldestToNewest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbToTheMiddle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
