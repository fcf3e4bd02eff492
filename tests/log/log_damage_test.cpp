// Damaged logs: a file cut anywhere behind its head, an entry whose length lies, stamps that are
// no dates. Every complete record is read back in order with its number and time; the first
// write into a damaged log keeps the file as it was beside it, or writes nothing.
#include "log/log_fixture.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace fs = std::filesystem;

namespace vdl {
namespace {

using test::FileBytes;
using test::Frame;

void Spit(const std::string& p, const std::vector<uint8_t>& d) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}

// 250 records of 302 bytes: 108 fill a block, so blocks 0 and 1 are full and block 2 holds 34.
constexpr int kRecords = 250;
constexpr size_t kPerBlock = 108;
size_t EntryEnd(size_t k) {
    return 2128 + (k / kPerBlock) * 32768 + 64 + (k % kPerBlock + 1) * 302;
}

class LogDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("logdamage");
        name = dir + "a.lg1";
        w.ap.MaxLog = 1;
        ASSERT_TRUE(w.log.OpenLog(name, false));
        in = w.Append(kRecords, 270, 1000);
        w.log.CloseLog();
        good = FileBytes(name);
        ASSERT_EQ(good.size(), 2128u + 3 * 32768u);
    }
    // The records read are the first ones written, with their numbers, times and bytes.
    void ExpectFirst(const std::vector<T_Telegramm>& out, size_t n, const std::string& what) {
        ASSERT_GE(out.size(), n) << what;
        for (size_t i = 0; i < n; ++i) {
            ASSERT_EQ(out[i].nr, static_cast<int32_t>(i + 1)) << what;
            ASSERT_DOUBLE_EQ(out[i].dt, in[i].dt) << what;
            ASSERT_EQ(std::memcmp(out[i].b, in[i].b, 270), 0) << what;
        }
    }
    std::string dir, name;
    test::LogWorld w;
    std::vector<T_Telegramm> in;
    std::vector<uint8_t> good;
};

TEST_F(LogDamageTest, ACutLogGivesBackEveryCompleteRecordAndKeepsThemWhenWritten) {
    const size_t cuts[] = {
        2128,                              // the head alone
        2128 + 40,                         // inside the head of block 0
        2128 + 64 + 302 * 5 + 100,         // inside a record of block 0
        2128 + 32768,                      // at the end of block 0
        2128 + 32768 + 64 + 302 * 10 + 31, // inside a record of block 1
        2128 + 2 * 32768 + 64 + 302 * 20,  // at the end of a record of block 2
        good.size() - 1,                   // the last byte of the file
    };
    for (size_t cut : cuts) {
        const std::string what = "cut at " + std::to_string(cut);
        const std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<long>(cut));
        std::string p = dir + "cut.lg1";
        Spit(p, bytes);
        size_t expect = 0;
        while (expect < kRecords && EntryEnd(expect) <= cut) ++expect;

        test::LogWorld r;
        ASSERT_TRUE(r.log.OpenForInspection(p)) << what;
        EXPECT_TRUE(r.log.Damage().cut) << what;
        auto out = r.ReadAll();
        ASSERT_EQ(out.size(), expect) << what;
        ExpectFirst(out, expect, what);
        EXPECT_EQ(r.log.Count(), static_cast<int32_t>(expect)) << what;
        EXPECT_EQ(r.log.Tally().records, static_cast<int32_t>(expect)) << what;
        r.log.CloseLog();
        EXPECT_EQ(FileBytes(p), bytes) << what << ": looking changes nothing";

        // Appending goes on behind the last record, after the file was kept as it was.
        test::LogWorld a;
        ASSERT_TRUE(a.log.OpenLog(p, false)) << what;
        EXPECT_EQ(a.log.KeepName(), p + ".damaged");
        T_Telegramm te = Frame(10);
        a.log.AppendTelegram(te);
        EXPECT_EQ(te.nr, static_cast<int32_t>(expect + 1)) << what;
        a.log.CloseLog();
        EXPECT_EQ(a.log.KeptAs(), p + ".damaged");
        EXPECT_EQ(FileBytes(p + ".damaged"), bytes) << what;

        test::LogWorld b;
        ASSERT_TRUE(b.log.OpenLog(p, false)) << what;
        auto again = b.ReadAll();
        ASSERT_EQ(again.size(), expect + 1) << what;
        ExpectFirst(again, expect, what);
        EXPECT_FALSE(b.log.Damage().Any()) << what << ": written again whole";
        b.log.CloseLog();
        fs::remove(p + ".damaged");
    }
}

TEST_F(LogDamageTest, ALyingLengthIsCutThereAndTheOriginalKeptBeforeTheFirstWrite) {
    auto d = good;
    // Record 20 of block 2 (the block being written) claims 320 bytes instead of 302.
    d[2128 + 2 * 32768 + 64 + 20 * 302 + 2] = 0x40;
    Spit(name, d);
    Spit(name + ".damaged", {1, 2, 3}); // an older copy is not overwritten
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_TRUE(r.log.Damage().broken);
    EXPECT_EQ(r.log.Count(), 2 * 108 + 20);
    EXPECT_EQ(r.log.KeepName(), name + ".damaged2");
    r.log.Periodic();
    EXPECT_EQ(FileBytes(name), d) << "nothing written before an entry comes";
    T_Telegramm te = Frame(4);
    r.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, 2 * 108 + 21);
    EXPECT_EQ(FileBytes(name + ".damaged2"), d);
    EXPECT_EQ(FileBytes(name + ".damaged"), (std::vector<uint8_t>{1, 2, 3}));
    r.log.CloseLog();
    EXPECT_TRUE(r.msg.errors.empty());
}

TEST_F(LogDamageTest, WhenTheOriginalCannotBeKeptNothingIsWritten) {
    // A name so long that the name of the copy is too long for the file system.
    std::string p = dir + std::string(250, 'x') + ".lg1";
    std::vector<uint8_t> bytes(good.begin(), good.begin() + 2128 + 32768 + 500);
    Spit(p, bytes);
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(p, false));
    ASSERT_TRUE(r.log.Damage().Any());
    T_Telegramm te = Frame(4);
    r.log.AppendTelegram(te);
    r.log.FlushLog();
    r.log.CloseLog();
    EXPECT_TRUE(r.av.logerr);
    EXPECT_EQ(r.log.WriteError().rfind("cannot keep " + p, 0), 0u) << r.log.WriteError();
    EXPECT_EQ(FileBytes(p), bytes);
}

TEST(LogStamps, StampsThatAreNoDatesAreKeptAndCountedNeverConverted) {
    std::string dir = test::TempDir("logstamps");
    test::LogWorld w;
    ASSERT_TRUE(w.log.OpenLog(dir + "s.lg1", false));
    const double stamps[] = {1e300,
                             -1e300,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             EncodeDateTime(1899, 12, 31, 23, 59),
                             EncodeDateTime(2024, 5, 6, 7, 8, 9)};
    for (double dt : stamps) {
        T_Telegramm te = Frame(12);
        te.dt = dt;
        w.log.AppendCopy(te);
    }
    w.log.CloseLog();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenForInspection(dir + "s.lg1"));
    auto out = r.ReadAll();
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[0].dt, 1e300); // as stored
    EXPECT_TRUE(std::isnan(out[2].dt));
    LogTally t = r.log.Tally();
    EXPECT_EQ(t.records, 6);
    EXPECT_EQ(t.badStamps, 5);
    EXPECT_TRUE(r.log.Damage().Any());
}

} // namespace
} // namespace vdl
