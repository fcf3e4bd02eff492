// Telegrams written out per second by the log output in view formats 3 (full interpretation)
// and 7 (CSV), from a log on disk of 20000 frames with three single points each.
#include "app/program.h"
#include "asdu/asdu_header.h"
#include "log/log_output.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using vdl::bench::NullMessages;
using vdl::bench::StepClock;

class NullSink : public vdl::OutputSink {
public:
    bool Line(const std::string& s) override {
        bytes += s.size();
        return true;
    }
    size_t bytes = 0;
};

vdl::T_Telegramm Frame(const vdl::AsduLayout& lay, int i) {
    const uint8_t asdu[] = {0x08, 1, 1,   3,
                            3,    7, 0,   static_cast<uint8_t>(i),
                            0,    0, 1,   static_cast<uint8_t>(i + 1),
                            0,    0, 0,   static_cast<uint8_t>(i + 2),
                            0,    0, 0x81};
    vdl::T_Telegramm te{};
    int n = 4;
    uint8_t cs = 0;
    for (uint8_t b : asdu) {
        te.b[n++] = b;
        cs = static_cast<uint8_t>(cs + b);
    }
    te.b[0] = te.b[3] = 0x68;
    te.b[1] = te.b[2] = sizeof asdu;
    te.b[n++] = cs;
    te.b[n++] = 0x16;
    te.lg = static_cast<int16_t>(n);
    te.ta = vdl::TA_VARIABLE;
    te.stat = vdl::ST_OK;
    te.ek = vdl::EK_RX1;
    vdl::DecodeHeader(te, vdl::FKT_MONITOR, lay);
    return te;
}

void Export(benchmark::State& state) {
    NullMessages msg;
    StepClock clock;
    vdl::Program p(VDL_BIN_DIR, msg);
    if (!p.LoadStartTexts()) {
        state.SkipWithError("program texts missing");
        return;
    }
    std::string name =
        (std::filesystem::temp_directory_path() / "vordal_bench_export.lg1").string();
    std::filesystem::remove(name);
    p.CreateLog(clock);
    p.log->OpenLog(name, false);
    const int n = 20000;
    vdl::AsduLayout lay = vdl::LayoutOf(p.ap);
    for (int i = 0; i < n; ++i) {
        vdl::T_Telegramm te = Frame(lay, i);
        p.log->AppendTelegram(te);
        clock.ms += 7;
    }
    p.log->FlushOnOffline();
    p.pp.format = static_cast<int32_t>(state.range(0));
    vdl::FixedLocale loc;
    vdl::RenderEnv render = p.Rendering(loc);
    vdl::LogOutputEnv env = p.OutputEnv(render, loc, clock);
    for (auto _ : state) {
        NullSink sink;
        vdl::WriteLogLines(env, sink);
        benchmark::DoNotOptimize(sink.bytes);
    }
    state.SetItemsProcessed(state.iterations() * n);
    p.log->CloseLog();
    std::filesystem::remove(name);
}
BENCHMARK(Export)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
