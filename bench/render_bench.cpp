// Records rendered per second in the full view (format 3) and the export (format 7), for a mix
// of the frames of a monitored unbalanced exchange.
#include "app/program.h"
#include "asdu/asdu_header.h"
#include "asdu/renderer.h"
#include "core/clock.h"
#include "core/locale_formats.h"

#include <benchmark/benchmark.h>

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

// A variable frame with its checksum, or a fixed frame, as a record of the receiver.
T_Telegramm Frame(std::vector<uint8_t> b, const vdl::AsduLayout& lay) {
    if (b[0] == 0x68) {
        uint8_t cs = 0;
        for (size_t i = 4; i < b.size(); ++i) cs = static_cast<uint8_t>(cs + b[i]);
        uint8_t l = static_cast<uint8_t>(b.size() - 4);
        b[1] = b[2] = l;
        b.push_back(cs);
        b.push_back(0x16);
    } else if (b[0] == 0x10) {
        b.push_back(static_cast<uint8_t>(b[1] + b[2]));
        b.push_back(0x16);
    }
    T_Telegramm te{};
    te.lg = static_cast<int16_t>(b.size());
    std::memcpy(te.b, b.data(), b.size());
    te.ta = b[0] == 0x68 ? vdl::TA_VARIABLE : vdl::TA_FIXED;
    vdl::DecodeHeader(te, vdl::FKT_MONITOR, lay);
    te.stat = vdl::ST_OK;
    return te;
}

// The mix: polls, acknowledgements, single points, a sequence of measured values, floats and
// single points with time tags, an interrogation confirmation.
std::vector<T_Telegramm> Mix(const vdl::AsduLayout& lay) {
    std::vector<std::vector<uint8_t>> frames = {
        {0x10, 0x5B, 0x01},
        {0xE5},
        {0x10, 0x7A, 0x01},
        {0x68, 0, 0, 0x68, 0x08, 0x01, 0x01, 0x03, 0x03, 0x05, 0x00, 0x64, 0x00, 0x00, 0x01,
         0x65, 0x00, 0x00, 0x80, 0x66, 0x00, 0x00, 0x00},
        {0x68, 0, 0, 0x68, 0x28, 0x01, 0x09, 0x88, 0x01, 0x05, 0x00, 0xE8, 0x03, 0x00, 0x00,
         0x40, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0x08, 0x00,
         0x00, 0x04, 0x00, 0x00, 0x02, 0x00, 0x00, 0x01, 0x00, 0x00},
        {0x68, 0, 0, 0x68, 0x08, 0x01, 0x24, 0x02, 0x03, 0x05, 0x00, 0x10, 0x27, 0x00, 0x00,
         0x00, 0xC0, 0x3F, 0x00, 0xD5, 0xDD, 0x22, 0x0C, 0x64, 0x03, 0x0F, 0x11, 0x27, 0x00,
         0x00, 0x00, 0x20, 0xC1, 0x01, 0xD5, 0xDD, 0x22, 0x0C, 0x64, 0x03, 0x0F},
        {0x68, 0, 0, 0x68, 0x08, 0x01, 0x1E, 0x01, 0x03, 0x05, 0x00, 0xC8, 0x00, 0x00, 0x01,
         0xD5, 0xDD, 0x22, 0x0C, 0x64, 0x03, 0x0F},
        {0x68, 0, 0, 0x68, 0x08, 0x01, 0x64, 0x01, 0x07, 0x05, 0x00, 0x00, 0x00, 0x00, 0x14},
    };
    std::vector<T_Telegramm> out;
    double dt = vdl::EncodeDateTime(2015, 3, 4, 12, 0, 0);
    int nr = 1;
    for (auto& f : frames) {
        T_Telegramm te = Frame(f, lay);
        te.ek = static_cast<uint8_t>(nr % 2 ? vdl::EK_RX1 : vdl::EK_TX1);
        te.nr = nr++;
        te.dt = dt + nr * 0.02 / 86400;
        out.push_back(te);
    }
    return out;
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
        mix = Mix(vdl::LayoutOf(p.ap));
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

// The input of vordal-cli decode: the frames of the mix, the requests on channel 1 and the
// answers on channel 2, repeated to a million frames.
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

void BM_RenderFormat3(benchmark::State& state) { RenderMix(state, vdl::VF_FULL); }
void BM_RenderFormat7(benchmark::State& state) { RenderMix(state, vdl::VF_CSV); }

} // namespace

BENCHMARK(BM_RenderFormat3);
BENCHMARK(BM_RenderFormat7);
BENCHMARK(BM_CliDecodeFormat7MillionFrames)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
