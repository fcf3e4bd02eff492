// Records rendered per second in the full view (format 3) and the export (format 7), for the
// traffic of the receive benchmark, and the time of vordal-cli decode --format 7 over a million
// frames of it.
#include "app/program.h"
#include "asdu/renderer.h"
#include "core/clock.h"
#include "core/locale_formats.h"
#include "link/receiver.h"

#include "traffic.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using vdl::T_Telegramm;

using namespace vdl::bench;

class StillClock : public vdl::Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return vdl::EncodeDateTime(2015, 3, 4, 12, 0, 0); }
};

class Collect : public vdl::RxHooks {
public:
    void Log(vdl::T_ComVar&, const T_Telegramm& te) override { records.push_back(te); }
    std::vector<T_Telegramm> records;
};

// The records the receiver closes for the traffic, numbered and stamped 20 ms apart.
std::vector<T_Telegramm> Mix(vdl::Program& p) {
    StillClock clock;
    Collect hooks;
    const vdl::RxEnv env{clock, p.av, p.ap, p.texts, hooks};
    const Bytes traffic = Traffic(2000);
    vdl::T_ComVar& c = p.com[0];
    for (size_t off = 0; off < traffic.size(); off += 269) {
        c.em.fehl = 0;
        vdl::ReceiveBlock(c, env, traffic.data() + off,
                          std::min<size_t>(269, traffic.size() - off));
    }
    double dt = clock.LocalNow();
    int nr = 1;
    for (T_Telegramm& te : hooks.records) {
        te.nr = nr++;
        te.dt = dt + nr * 0.02 / 86400;
    }
    return hooks.records;
}

struct Setup {
    vdl::StderrMessages msg;
    vdl::Program p{VDL_BIN_DIR, msg};
    vdl::FixedLocale loc;
    vdl::RenderEnv env;
    std::vector<T_Telegramm> mix;
    Setup() {
        p.LoadLanguage(1);
        env = p.Rendering(loc);
        env.oldestNr = 1;
        mix = Mix(p);
    }
};

void RenderMix(benchmark::State& state, int format) {
    static Setup s;
    s.p.pp.format = format;
    vdl::T_TeleAusgabe ctx;
    ctx.env = &s.env;
    size_t i = 0, lines = 0;
    for (auto _ : state) {
        vdl::StartTelegram(ctx, s.mix[i]);
        vdl::CollectText(ctx);
        lines += static_cast<size_t>(ctx.anztxt);
        benchmark::DoNotOptimize(ctx.TxtStr.data());
        if (++i == s.mix.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["lines/record"] =
        static_cast<double>(lines) / static_cast<double>(state.iterations());
}

// The input of vordal-cli decode: the frames of the mix, requests on channel 1 and answers on
// channel 2, repeated to a million frames.
std::string MillionFrameFile() {
    std::string path = (std::filesystem::temp_directory_path() / "vordal-bench-1m.hex").string();
    if (std::filesystem::exists(path)) return path;
    static Setup s;
    std::ofstream out(path, std::ios::binary);
    char buf[4];
    for (int i = 0; i < 1000000; ++i) {
        const T_Telegramm& te = s.mix[static_cast<size_t>(i) % s.mix.size()];
        bool primary = te.lg > 1 && (te.lc & 0x40);
        out << (primary ? "c1" : "c2");
        for (int k = 0; k < te.lg; ++k) {
            std::snprintf(buf, sizeof buf, " %02X", te.b[k]);
            out << buf;
        }
        out << "\n";
    }
    return path;
}

void BM_CliDecodeFormat7MillionFrames(benchmark::State& state) {
    std::string file = MillionFrameFile();
    std::string cmd = std::string("\"") + VDL_BIN_DIR + "/vordal-cli\" decode --format 7 \"" +
                      file + "\" > /dev/null";
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int rc = std::system(cmd.c_str());
        auto t1 = std::chrono::steady_clock::now();
        if (rc != 0) state.SkipWithError("vordal-cli decode failed");
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000000);
}

void BM_RenderFormat3(benchmark::State& state) {
    RenderMix(state, vdl::VF_FULL);
}
void BM_RenderFormat7(benchmark::State& state) {
    RenderMix(state, vdl::VF_CSV);
}

} // namespace

BENCHMARK(BM_RenderFormat3);
BENCHMARK(BM_RenderFormat7);
BENCHMARK(BM_CliDecodeFormat7MillionFrames)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
