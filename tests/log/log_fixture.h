// A log store on a fake clock with its own settings, for the log tests.
#pragma once

#include "core/channel.h"
#include "log/log_store.h"

#include "support/fake_clock.h"
#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

namespace vdl::test {

// A frame with lg bytes (b[i] = i + salt).
inline T_Telegramm Frame(int lg, uint8_t stat = ST_OK, uint8_t ek = EK_RX1, uint8_t salt = 0) {
    T_Telegramm te{};
    te.stat = stat;
    te.ta = lg > 6 ? TA_VARIABLE : TA_FIXED;
    te.ek = ek;
    te.lg = static_cast<int16_t>(lg);
    for (int i = 0; i < lg && i < kTeByteLen; ++i) te.b[i] = static_cast<uint8_t>(i + salt);
    return te;
}

inline std::vector<uint8_t> FileBytes(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

struct LogWorld {
    FakeClock clock;
    FakeMessages msg;
    TextTable texts = FileTexts();
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    T_ProgPar pp = DefaultProgPar();
    T_BetriebsPar bp1 = DefaultBetriebsPar();
    T_BetriebsPar bp2 = DefaultBetriebsPar();
    LogStore log{LogEnv{clock, msg, texts, av, ap, pp, bp1, bp2}};

    // Appends and advances the clock by step ms.
    std::vector<T_Telegramm> Append(int count, int lg, uint32_t step = 10) {
        std::vector<T_Telegramm> out;
        for (int i = 0; i < count; ++i) {
            T_Telegramm te = Frame(lg, ST_OK, EK_RX1, static_cast<uint8_t>(i));
            log.AppendTelegram(te);
            out.push_back(te);
            clock.Advance(step);
        }
        return out;
    }
    // Every telegram from the oldest to the newest.
    std::vector<T_Telegramm> ReadAll() {
        std::vector<T_Telegramm> v;
        auto c = log.NewCursor();
        for (bool ok = c->SeekOldest(); ok; ok = c->Forward()) v.push_back(c->Current());
        return v;
    }
};

} // namespace vdl::test
