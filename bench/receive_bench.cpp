// The receive path: frames judged per second for a realistic mix of a polled line (fixed
// frames, single characters, variable frames with 1..20 objects), fed in blocks as the port
// delivers them.
#include "core/channel.h"
#include "core/clock.h"
#include "core/text_table.h"
#include "link/channel_init.h"
#include "link/receiver.h"

#include "traffic.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vdl;

namespace {

using namespace vdl::bench;

class StillClock : public Clock {
public:
    uint32_t Millis() override { return 0; }
    double LocalNow() override { return 0; }
};

class CountHooks : public RxHooks {
public:
    void Log(T_ComVar&, const T_Telegramm& te) override {
        ++frames;
        if (te.stat != ST_OK) ++faulty;
    }
    long frames = 0;
    long faulty = 0;
};

TextTable Texts() {
    std::string file;
    char line[32];
    for (int i = 0; i < 1100; ++i) {
        const char* t = "";
        if (i == 67) t = "2201200022110000";
        if (i == 69) t = "1100000011010000";
        std::snprintf(line, sizeof line, "%04d  %s;\r\n", i, t);
        file += line;
    }
    TextTable texts;
    texts.LoadBytes(file, "bench");
    texts.Replace(1009 + 9, std::string(1, '\x03')); // type 9 (position 9): spontaneous
    return texts;
}

void BM_ReceiveMix(benchmark::State& state) {
    T_ComVar c, other;
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    InitChannelRecords(c, other);
    InitChannel(c, av, ap);
    StillClock clock;
    CountHooks hooks;
    TextTable texts = Texts();
    const RxEnv env{clock, av, ap, texts, hooks};
    int perRun = 0;
    const Bytes traffic = Traffic(2000, perRun);
    for (auto _ : state) {
        // A new monitoring run each time, so the frame count state starts clean.
        InitChannel(c, av, ap);
        for (size_t off = 0; off < traffic.size(); off += 269) {
            c.em.fehl = 0;
            ReceiveBlock(c, env, traffic.data() + off, std::min<size_t>(269, traffic.size() - off));
        }
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(hooks.frames), benchmark::Counter::kIsRate);
    state.counters["faulty"] = static_cast<double>(hooks.faulty);
    state.counters["bytes/frame"] = static_cast<double>(traffic.size()) / perRun;
    state.SetBytesProcessed(static_cast<int64_t>(traffic.size()) * state.iterations());
}
BENCHMARK(BM_ReceiveMix)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
