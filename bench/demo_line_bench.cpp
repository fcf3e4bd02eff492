// The demonstration line. Exchanges: channel 1 polls channel 2 inside one program over a
// null-modem of two fake ports on the fake clock (receivers, link procedures, transmitter and
// log store, no waiting on a line): the time of 10 000 exchanges and exchanges per second.
// Cpu: vordal-cli emulate --demo at 115200 bit/s for 30 s on its own pseudo-terminals, the
// processor time it used and the exchanges it made (its records read from standard output).
#include "../tests/support/pty_line.h"
#include "support/demo_rig.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace vdl;
using namespace vdl::test;
using Wall = std::chrono::steady_clock;

namespace {

std::string Folder(const std::string& name) {
    std::string d = (std::filesystem::temp_directory_path() / "vordal-demo-bench" / name).string();
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
    return d + "/";
}

void Exchanges(benchmark::State& state) {
    const size_t n = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        DemoRig r(Folder("exchanges"), VDL_BIN_DIR "/");
        if (!r.Start()) {
            state.SkipWithError("the program does not start");
            return;
        }
        r.GoFast();
        state.ResumeTiming();
        const auto start = Wall::now();
        const size_t done = r.Exchanges(n);
        const double s = std::chrono::duration<double>(Wall::now() - start).count();
        state.counters["exchanges"] = static_cast<double>(done);
        state.counters["seconds"] = s;
        state.counters["exchanges_per_s"] = static_cast<double>(done) / s;
        state.counters["records"] = static_cast<double>(r.logged.size());
    }
}

void Cpu(benchmark::State& state) {
    for (auto _ : state) {
        const std::string base = Folder("cpu");
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            std::string d = base + v;
            std::filesystem::create_directories(d);
            std::filesystem::permissions(d, std::filesystem::perms::owner_all);
            setenv(v, d.c_str(), 1);
        }
        const std::string seconds = std::to_string(state.range(0));
        ChildProgram emu(VDL_BIN_DIR "/vordal-cli",
                         {"emulate", "--demo", "--baud", "115200", "--duration", seconds,
                          "--records", "--log", base + "demo.vdl"});
        VirtualLine idle; // its loop gathers the program's output until the program ends
        size_t answers = 0, faulty = 0;
        const auto start = Wall::now();
        idle.Run(
            {&emu},
            [&] {
                // Count and drop the complete lines, so that the output does not pile up.
                size_t nl;
                while ((nl = emu.out.find('\n')) != std::string::npos) {
                    const std::string l = emu.out.substr(0, nl);
                    emu.out.erase(0, nl + 1);
                    if (l.find("\"ek\":1,") != std::string::npos &&
                        l.find("\"stat\":40,") != std::string::npos)
                        ++answers;
                    if (l.find("\"stat\":") != std::string::npos &&
                        std::stoi(l.substr(l.find("\"stat\":") + 7)) < 40 &&
                        l.find("\"ta\":4,") == std::string::npos)
                        ++faulty;
                }
                return emu.Finished();
            },
            std::chrono::seconds(state.range(0) + 20));
        const double wall = std::chrono::duration<double>(Wall::now() - start).count();
        const rusage& u = emu.usage;
        const double cpu = static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        state.counters["cpu_s"] = cpu;
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["wall_s"] = wall;
        state.counters["answers_ch1"] = static_cast<double>(answers);
        state.counters["faulty"] = static_cast<double>(faulty);
        state.counters["exit_code"] = emu.ExitCode();
    }
}

} // namespace

BENCHMARK(Exchanges)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Cpu)->Arg(30)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
