// The station image over a log of 1 000 000 telegrams on disk (polls, single points, measured
// values and time-tagged points of 40 000 objects): the rebuild of the image from the log, with
// the peak memory of the process; the same rebuild in the window's slices, with the longest
// slice (the longest time the event loop waits); the CSV export of the same log to compare;
// and the grid of the window on an image of 100 000 objects (refresh, scroll to the end).
#include "app/image_commands.h"
#include "app/program.h"
#include "asdu/asdu_header.h"
#include "log/filter.h"
#include "log/log_output.h"
#include "platform/qt_locale.h"
#include "ui/frm_obj.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using namespace vdl;
using bench::NullMessages;
using bench::StepClock;

constexpr int kTelegrams = 1000000;
constexpr uint32_t kObjects = 20000; // addresses per type

class NullSink : public OutputSink {
public:
    bool Line(const std::string& s) override {
        bytes += s.size();
        return true;
    }
    size_t bytes = 0;
};

double Megabytes(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

// The resident set of the process now, in KiB.
long Rss() {
    std::ifstream f("/proc/self/status");
    for (std::string l; std::getline(f, l);)
        if (l.rfind("VmRSS:", 0) == 0) return std::atol(l.c_str() + 6);
    return 0;
}

long PeakRss() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Telegram i of the traffic: a poll, or a frame of single points, normalised measured values
// or a single point with CP56Time2a, addresses spread over kObjects.
T_Telegramm Telegram(int i, const AsduLayout& lay) {
    T_Telegramm te{};
    auto put = [&te](std::initializer_list<int> b) {
        for (int x : b) te.b[te.lg++] = static_cast<uint8_t>(x);
    };
    auto ioa = [&](uint32_t a) { put({int(a & 0xFF), int(a >> 8 & 0xFF), int(a >> 16)}); };
    if (i % 4 == 0) {
        put({0x10, 0x5B, 0x01, 0x5C, 0x16});
        te.ta = TA_FIXED;
    } else {
        put({0x68, 0, 0, 0x68, 0x08, 0x01});
        const uint32_t a = static_cast<uint32_t>(i) * 7919u % kObjects;
        switch (i % 4) {
        case 1: // three single points
            put({1, 3, 3, 1, 0});
            for (uint32_t k = 0; k < 3; ++k) {
                ioa((a + k) % kObjects);
                put({i & 1});
            }
            break;
        case 2: // five normalised values
            put({9, 5, 1, 1, 0});
            for (uint32_t k = 0; k < 5; ++k) {
                ioa((a + k) % kObjects + 100000);
                put({i & 0xFF, (i >> 8) & 0x7F, 0});
            }
            break;
        default: // a single point with time tag
            put({30, 1, 3, 1, 0});
            ioa(a);
            put({i & 1, 0xE8, 0x03, 5, 10, 9, 12, 25});
            break;
        }
        te.b[1] = te.b[2] = static_cast<uint8_t>(te.lg - 4);
        uint8_t cs = 0;
        for (int k = 4; k < te.lg; ++k) cs = static_cast<uint8_t>(cs + te.b[k]);
        put({cs, 0x16});
        te.ta = TA_VARIABLE;
    }
    te.stat = ST_OK;
    te.ek = EK_RX2;
    DecodeHeader(te, FKT_MONITOR, lay);
    return te;
}

struct World {
    NullMessages msg;
    StepClock clock;
    Program p{std::string(VDL_BIN_DIR) + "/", msg};
    std::string file;

    World() {
        p.LoadStartTexts();
        p.ap.MaxLog = 120; // 120 000 KiB: the whole traffic fits the ring
        p.av.AbbMax = 100000;
        file = (std::filesystem::temp_directory_path() / "vordal_bench_image.lg1").string();
        std::filesystem::remove(file);
        p.CreateLog(clock);
        p.log->OpenLog(file, false);
        const AsduLayout lay = LayoutOf(p.ap);
        for (int i = 0; i < kTelegrams; ++i) {
            T_Telegramm te = Telegram(i, lay);
            p.log->AppendTelegram(te);
            clock.ms += 3;
        }
        p.log->FlushOnOffline();
    }
    ~World() {
        p.log->CloseLog();
        std::filesystem::remove(file);
    }
};

World& Get() {
    static World w;
    return w;
}

void BM_RebuildImage(benchmark::State& state) {
    World& w = Get();
    const long before = Rss();
    for (auto _ : state) {
        CloseImage(w.p);
        OpenImage(w.p);
        RebuildImage(w.p);
        benchmark::DoNotOptimize(w.p.image.Count());
    }
    state.SetItemsProcessed(state.iterations() * kTelegrams);
    state.counters["telegrams"] = w.p.log->Count();
    state.counters["objects"] = w.p.image.Count();
    state.counters["table_MB"] =
        static_cast<double>(w.p.image.St().ot.capacity() * sizeof(T_Obj)) / (1024.0 * 1024.0);
    state.counters["rss_before_MB"] = Megabytes(before);
    state.counters["peak_rss_MB"] = Megabytes(PeakRss());
}

// As the window runs it: slices of 2000 telegrams until 20 ms have passed, the event loop in
// between. max_slice_ms is the longest the loop waited.
void BM_RebuildInSlices(benchmark::State& state) {
    World& w = Get();
    std::vector<double> ms, cpu;
    using Clock = std::chrono::steady_clock;
    auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    for (auto _ : state) {
        CloseImage(w.p);
        OpenImage(w.p);
        bool more = true;
        while (more) {
            auto t0 = Clock::now();
            double c0 = cpuMs();
            while (more && Clock::now() - t0 < std::chrono::milliseconds(20))
                more = RebuildImageStep(w.p, 2000);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            cpu.push_back(cpuMs() - c0);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    // On a loaded machine the wall time of a slice includes the time other processes ran.
    state.counters["max_slice_cpu_ms"] = cpu.back();
    state.SetItemsProcessed(state.iterations() * kTelegrams);
    state.counters["slices"] =
        static_cast<double>(ms.size()) / static_cast<double>(state.iterations());
    state.counters["median_slice_ms"] = ms[ms.size() / 2];
    state.counters["p95_slice_ms"] = ms[ms.size() * 95 / 100];
    state.counters["max_slice_ms"] = ms.back();
}

void BM_ExportCsv(benchmark::State& state) {
    World& w = Get();
    w.p.pp.format = VF_CSV;
    w.p.pp.zeitzl = 1;
    FixedLocale loc;
    RenderEnv render = w.p.Rendering(loc);
    LogOutputEnv env = w.p.OutputEnv(render, loc, w.clock);
    size_t bytes = 0;
    for (auto _ : state) {
        NullSink sink;
        WriteLogLines(env, sink);
        bytes = sink.bytes;
    }
    state.SetItemsProcessed(state.iterations() * kTelegrams);
    state.counters["csv_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The window's grid on 100 000 objects: a refresh (rows taken, the shown cells drawn), and the
// jump to the last row with its drawing.
void BM_GridOf100000(benchmark::State& state) {
    NullMessages msg;
    StepClock clock;
    Program p{std::string(VDL_BIN_DIR) + "/", msg};
    p.LoadStartTexts();
    p.av.AbbMax = 100000;
    p.CreateLog(clock);
    const AsduLayout lay = LayoutOf(p.ap);
    p.image.open = true;
    for (uint32_t a = 0; a < 100000; ++a) {
        T_Telegramm te = Telegram(1, lay);
        te.b[11] = static_cast<uint8_t>(a);
        te.b[12] = static_cast<uint8_t>(a >> 8);
        te.b[13] = static_cast<uint8_t>(a >> 16);
        te.struk = 1;
        p.image.EnterTelegram(te, p.ImageEnvOf());
    }
    QtLocaleFormats loc;
    TfmObj w(p, loc);
    w.resize(900, 700);
    w.show();
    w.Refresh();
    QApplication::processEvents();
    const bool toEnd = state.range(0) != 0;
    for (auto _ : state) {
        if (toEnd) {
            state.PauseTiming();
            w.grid()->scrollToTop();
            QApplication::processEvents();
            state.ResumeTiming();
            w.grid()->scrollToBottom();
        } else {
            w.Refresh();
        }
        w.grid()->viewport()->repaint();
    }
    state.counters["rows"] = w.grid()->model()->rowCount();
    w.hide();
}

BENCHMARK(BM_RebuildImage)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RebuildInSlices)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportCsv)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GridOf100000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
