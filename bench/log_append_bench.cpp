// Telegrams appended per second to a log on disk: the whole append step (number, stamp,
// counters, block, display ring), with the block written to disk at least once a second of
// the clock and at every block change.
#include "core/channel.h"
#include "log/log_store.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

using vdl::bench::NullMessages;
using vdl::bench::StepClock;

void Append(benchmark::State& state) {
    const int lg = static_cast<int>(state.range(0));
    StepClock clock;
    NullMessages msg;
    vdl::TextTable texts;
    vdl::T_AllgVar av;
    vdl::T_AllgPar ap = vdl::DefaultAllgPar();
    ap.MaxLog = 10; // a ring of 313 blocks, overwritten again and again
    vdl::T_ProgPar pp = vdl::DefaultProgPar();
    vdl::T_BetriebsPar bp1 = vdl::DefaultBetriebsPar(), bp2 = bp1;
    std::string name =
        (std::filesystem::temp_directory_path() / "vordal_bench_append.lg1").string();
    std::filesystem::remove(name);
    vdl::LogStore log(vdl::LogEnv{clock, msg, texts, av, ap, pp, bp1, bp2});
    log.OpenLog(name, false);
    vdl::T_Telegramm te{};
    te.ta = vdl::TA_VARIABLE;
    te.stat = vdl::ST_OK;
    te.ek = vdl::EK_RX1;
    te.lg = static_cast<int16_t>(lg);
    for (auto _ : state) {
        log.AppendTelegram(te);
        clock.ms += 1; // a telegram per millisecond of the clock
    }
    state.SetItemsProcessed(state.iterations());
    log.CloseLog();
    std::filesystem::remove(name);
}
BENCHMARK(Append)->Arg(20)->Arg(270)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
