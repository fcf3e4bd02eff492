// The receive path: frames judged per second for a realistic mix of a polled line (fixed
// frames, single characters, variable frames with 1..20 objects), fed in blocks as the port
// delivers them.
#include "core/channel.h"
#include "core/clock.h"
#include "core/text_table.h"
#include "link/channel_init.h"
#include "link/receiver.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vdl;

namespace {

using Bytes = std::vector<uint8_t>;

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

void Append(Bytes& out, uint8_t lc, const Bytes& asdu) {
    if (asdu.empty()) {
        uint8_t f[] = {0x10, lc, 0x01, static_cast<uint8_t>(lc + 1), 0x16};
        out.insert(out.end(), f, f + 5);
        return;
    }
    Bytes user{lc, 0x01};
    user.insert(user.end(), asdu.begin(), asdu.end());
    out.push_back(0x68);
    out.push_back(static_cast<uint8_t>(user.size()));
    out.push_back(static_cast<uint8_t>(user.size()));
    out.push_back(0x68);
    uint8_t sum = 0;
    for (uint8_t x : user) {
        out.push_back(x);
        sum = static_cast<uint8_t>(sum + x);
    }
    out.push_back(sum);
    out.push_back(0x16);
}

// Measured values (normalised, SQ = 0) with n objects: type, qualifier, cause, common address,
// then per object a 3-octet address and 3 octets of value and quality.
Bytes Measured(int n) {
    Bytes a{9, static_cast<uint8_t>(n), 3, 0x01, 0x00};
    for (int i = 0; i < n; ++i) {
        Bytes o{static_cast<uint8_t>(i), 0x10, 0x00, static_cast<uint8_t>(i * 7), 0x12, 0x00};
        a.insert(a.end(), o.begin(), o.end());
    }
    return a;
}

// A polled line: the controlling station alternates class 1 and class 2 requests with FCB
// toggling, the station answers with a single character, "no data", or data of 1..20 objects.
Bytes Traffic(int frames, int& count) {
    Bytes s;
    Append(s, 0x40, {}); // reset of remote link
    s.push_back(0xE5);
    count = 2;
    bool fcb = true;
    for (int i = 0; count < frames; ++i) {
        uint8_t poll = static_cast<uint8_t>((i % 2 ? 0x5A : 0x5B) | (fcb ? 0x20 : 0));
        fcb = !fcb;
        Append(s, poll, {});
        switch (i % 4) {
        case 0:
            Append(s, 0x09, {});
            break; // no data
        case 1:
            s.push_back(0xE5);
            break; // single character
        default:
            Append(s, 0x08, Measured(1 + (i / 2) % 20));
            break;
        }
        count += 2;
    }
    return s;
}

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
