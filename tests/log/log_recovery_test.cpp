// What survives an abrupt end: the file as it is on disk at a moment (a copy taken while the
// store still runs) is what a killed program leaves behind.
#include "log/log_fixture.h"

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace vdl {
namespace {

using test::FileBytes;
using test::Frame;

class LogRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("logrecovery");
        w.av.DataDir = dir;
        name = dir + "a.lg1";
        crash = dir + "crash.lg1";
    }
    // Runs for ms milliseconds in 54 ms timer steps, appending a telegram every `every` steps.
    void Run(int ms, int every, int lg = 40) {
        for (int t = 0, step = 0; t < ms; t += 54, ++step) {
            if (step % every == 0) {
                T_Telegramm te = Frame(lg, ST_OK, EK_RX1, static_cast<uint8_t>(step));
                w.log.AppendTelegram(te);
                in.push_back(te);
            }
            w.clock.Advance(54);
            w.log.Periodic();
        }
    }
    void Crash() { fs::copy_file(name, crash, fs::copy_options::overwrite_existing); }
    // The crashed copy must hold a run of the recorded telegrams that reaches at least the last
    // one stamped a second before the end, with numbers, times and bytes intact.
    void ExpectRecovered(test::LogWorld& r) {
        ASSERT_TRUE(r.log.OpenLog(crash, false));
        EXPECT_TRUE(r.log.Recovered());
        auto out = r.ReadAll();
        ASSERT_FALSE(out.empty());
        double end = w.clock.LocalNow();
        int32_t lastDue = 0;
        for (const T_Telegramm& t : in)
            if (t.dt <= end - 1000 / kMsPerDay) lastDue = t.nr;
        EXPECT_GE(out.back().nr, lastDue);
        for (size_t i = 0; i < out.size(); ++i) {
            // The recorded telegrams are numbered from 1 without gaps.
            ASSERT_EQ(out[i].nr, out[0].nr + static_cast<int32_t>(i));
            ASSERT_LE(out[i].nr, static_cast<int32_t>(in.size()));
            const T_Telegramm& a = in[static_cast<size_t>(out[i].nr - 1)];
            ASSERT_DOUBLE_EQ(out[i].dt, a.dt);
            ASSERT_EQ(std::memcmp(out[i].b, a.b, static_cast<size_t>(a.lg)), 0);
        }
        EXPECT_EQ(r.log.Kopf().nrneu, out.back().nr);
        EXPECT_EQ(r.log.Kopf().nralt, out.front().nr);
        EXPECT_EQ(r.log.Count(), static_cast<int32_t>(out.size()));
    }
    std::string dir, name, crash;
    test::LogWorld w;
    std::vector<T_Telegramm> in;
};

TEST_F(LogRecoveryTest, NeverClosedLogIsRecoveredUpToTheLastSecond) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(5000, 2);
    Crash();
    test::LogWorld r;
    ExpectRecovered(r);
    // The recovered log takes new entries after its last one.
    T_Telegramm te = Frame(4);
    r.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, r.log.Kopf().nrneu);
    EXPECT_EQ(te.nr, r.ReadAll()[r.ReadAll().size() - 2].nr + 1);
}

TEST_F(LogRecoveryTest, WithoutTimerTheNextEntryWritesTheBlock) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    for (int i = 0; i < 300; ++i) {
        T_Telegramm te = Frame(20);
        w.log.AppendTelegram(te);
        in.push_back(te);
        w.clock.Advance(10);
    }
    Crash();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(crash, false));
    // Written with the entry that came 1000 ms after the first unwritten one.
    EXPECT_GE(r.log.Count(), 201);
}

TEST_F(LogRecoveryTest, ReopenedLogIsMarkedAndRecovered) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(2000, 1);
    w.log.CloseLog();
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(3000, 1);
    Crash();
    test::LogWorld r;
    ExpectRecovered(r);
    EXPECT_EQ(r.ReadAll().front().nr, 1);
}

TEST_F(LogRecoveryTest, RingPastItsEndIsRecovered) {
    w.ap.MaxLog = 1; // 32 blocks
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(2000, 1);
    w.log.CloseLog(); // the stored state names block 0
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(54 * 4000, 1, 270); // about 37 blocks: the ring wraps
    Crash();
    test::LogWorld r;
    ExpectRecovered(r);
    EXPECT_EQ(r.log.Kopf().blalt, (r.log.Kopf().blakt + 1) % 32);
    EXPECT_EQ(r.log.Count(), static_cast<int32_t>(r.ReadAll().size()));
}

TEST_F(LogRecoveryTest, StateLaggingBehindItsBlocksIsRecovered) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(2000, 1);
    w.log.CloseLog();
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(2000, 1);
    Crash();
    // As if the open mark had never been written: a clean head with an old state.
    auto d = FileBytes(crash);
    int32_t v = 2000;
    std::memcpy(d.data() + 8, &v, 4);
    {
        std::ofstream f(crash, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
    }
    test::LogWorld r;
    ExpectRecovered(r);
}

TEST_F(LogRecoveryTest, EntriesFailingTheChainEndTheRecoveryOfTheirBlock) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(3000, 1);
    Crash();
    auto d = FileBytes(crash);
    // Entry 20 of block 0 claims another number.
    size_t pos = 2128 + 64 + 19 * EntryLen(40) + 16;
    d[pos] ^= 0x40;
    {
        std::ofstream f(crash, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
    }
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(crash, false));
    EXPECT_EQ(r.log.Count(), 19);
    EXPECT_EQ(r.ReadAll().size(), 19u);
    // Appending goes on behind the last good entry.
    T_Telegramm te = Frame(4);
    r.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, 20);
    EXPECT_EQ(r.ReadAll().size(), 20u);
}

TEST_F(LogRecoveryTest, CrashBeforeTheFirstBlockWriteGivesAnEmptyLog) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    Run(500, 1);
    Crash();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(crash, false));
    EXPECT_TRUE(r.log.Empty());
    EXPECT_EQ(r.log.Kopf().anzbl, w.log.Kopf().anzbl);
}

} // namespace
} // namespace vdl
