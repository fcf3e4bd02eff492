// vordal-cli emulate as controlling station against peer101 (a controlled station of our own,
// written from the standard) on a virtual line with zero delays (no send delay, no RTS times,
// poll cycle 0): the time from the last byte of an answer to the first byte of the next
// request, median and maximum over 1000 exchanges; and the processor time emulate uses while
// it polls one station for 60 s. The line is two pseudo-terminals joined by this program,
// which notes when bytes pass.
#include "../tests/support/pty_line.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace vdl::test;
using Clock = std::chrono::steady_clock;

namespace {

// Settings, data and lock folders of the run, away from the user's.
std::string PrivateFolders() {
    std::string base = (std::filesystem::temp_directory_path() / "vordal-emulate-bench/").string();
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        std::string d = base + v;
        std::filesystem::create_directories(d);
        std::filesystem::permissions(d, std::filesystem::perms::owner_all);
        setenv(v, d.c_str(), 1);
    }
    return base;
}

struct Run {
    VirtualLine line;
    std::unique_ptr<ChildProgram> emu, peer;
    std::vector<double> gapsUs; // answer end to next request, in microseconds
    Clock::time_point answerEnd;
    bool answerPending = false;

    explicit Run(long baud) {
        const std::string base = PrivateFolders();
        const std::string bin = VDL_BIN_DIR "/";
        const std::string b = std::to_string(baud);
        emu = std::make_unique<ChildProgram>(
            bin + "vordal-cli",
            std::vector<std::string>{
                "emulate", "--port1",   line.a.name, "--function",      "1", "--link-addresses",
                "1",       "--baud",    b,           "--sverz",         "0", "--tv",
                "0",       "--tn",      "0",         "--rts",           "0", "--zztpoll",
                "0",       "--records", "--log",     base + "bench.vdl"});
        peer = std::make_unique<ChildProgram>(
            bin + "peer101", std::vector<std::string>{"--role", "secondary", "--port", line.b.name,
                                                      "--addresses", "1", "--ca-length", "2",
                                                      "--ioa-length", "3", "--baud", b, "--quiet"});
        line.tap = [this](int dir, const char*, size_t) {
            const auto now = Clock::now();
            if (dir == 1) { // the station answers
                answerEnd = now;
                answerPending = true;
            } else if (answerPending) { // the next request begins
                answerPending = false;
                gapsUs.push_back(
                    std::chrono::duration<double, std::micro>(now - answerEnd).count());
            }
        };
    }
    bool Until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        return line.Run({emu.get(), peer.get()}, done, limit);
    }
    void Stop() {
        line.Stop({emu.get(), peer.get()});
        // emulate prints every telegram; the output is not needed.
        emu->out.clear();
    }
};

void Turnaround(benchmark::State& state) {
    for (auto _ : state) {
        Run r(state.range(0));
        // The first exchanges establish the link; 1000 after them are measured.
        const size_t warm = 10;
        if (!r.Until([&] { return r.gapsUs.size() >= warm + 1000; }, std::chrono::seconds(120))) {
            state.SkipWithError("too few exchanges");
            return;
        }
        r.Stop();
        std::vector<double> g(r.gapsUs.begin() + warm, r.gapsUs.begin() + warm + 1000);
        std::sort(g.begin(), g.end());
        state.counters["median_ms"] = (g[499] + g[500]) / 2000.0;
        state.counters["p95_ms"] = g[949] / 1000.0;
        state.counters["max_ms"] = g.back() / 1000.0;
        state.counters["min_ms"] = g.front() / 1000.0;
    }
}

void Cpu(benchmark::State& state) {
    for (auto _ : state) {
        Run r(9600);
        const auto start = Clock::now();
        const auto seconds = std::chrono::seconds(state.range(0));
        r.Until(
            [&] {
                if (r.emu->out.size() > (1u << 20)) r.emu->out.clear();
                return Clock::now() - start >= seconds;
            },
            seconds + std::chrono::seconds(5));
        const size_t exchanges = r.gapsUs.size();
        r.Stop();
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const rusage& u = r.emu->usage;
        const double cpu = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        state.counters["cpu_s"] = cpu;
        state.counters["user_s"] =
            static_cast<double>(u.ru_utime.tv_sec) + static_cast<double>(u.ru_utime.tv_usec) / 1e6;
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["exchanges"] = static_cast<double>(exchanges);
    }
}

} // namespace

BENCHMARK(Turnaround)->Arg(9600)->Arg(115200)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Cpu)->Arg(60)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
