#include "log/log_fixture.h"

#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace vdl {
namespace {

using test::FileBytes;
using test::Frame;

class LogStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("logstore");
        w.av.DataDir = dir;
        name = dir + "a.lg1";
    }
    int32_t Field(const std::string& p, size_t ofs) {
        auto d = FileBytes(p);
        int32_t v = 0;
        if (d.size() >= ofs + 4) std::memcpy(&v, d.data() + ofs, 4);
        return v;
    }
    std::string dir, name;
    test::LogWorld w;
};

TEST_F(LogStoreTest, AppendFlushAndReadBack) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    EXPECT_EQ(Field(name, 8), kLogOpenMark);
    double t0 = w.clock.LocalNow();
    auto in = w.Append(5, 20, 7);
    EXPECT_EQ(in[0].nr, 1);
    EXPECT_EQ(in[4].nr, 5);
    EXPECT_DOUBLE_EQ(in[0].dt, t0);
    EXPECT_EQ(in[1].lgv, in[0].lga);
    EXPECT_EQ(in[0].lga, 52);
    EXPECT_EQ(w.log.Count(), 5);
    w.log.CloseLog();
    EXPECT_FALSE(w.av.logsave);
    EXPECT_EQ(Field(name, 8), 2000);
    EXPECT_EQ(Field(name, 4), 2128 + 32768);
    EXPECT_EQ(fs::file_size(name), 2128u + 32768u);

    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_FALSE(r.log.Recovered());
    auto out = r.ReadAll();
    ASSERT_EQ(out.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(out[i].nr, in[i].nr);
        EXPECT_DOUBLE_EQ(out[i].dt, in[i].dt);
        EXPECT_EQ(std::memcmp(out[i].b, in[i].b, 20), 0);
    }
    // New entries continue the numbers.
    T_Telegramm te = Frame(3);
    r.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, 6);
}

TEST_F(LogStoreTest, TelegramRefusedByTheLogFilterTakesNoNumber) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.ap.lfilt.aktiv = 1;
    w.log.logFilter = [](const T_Telegramm& te) { return te.stat != ST_CHECKSUM; };
    T_Telegramm a = Frame(10), bad = Frame(10, ST_CHECKSUM), c = Frame(10);
    w.log.AppendTelegram(a);
    w.log.AppendTelegram(bad);
    w.log.AppendTelegram(c);
    EXPECT_EQ(a.nr, 1);
    EXPECT_EQ(c.nr, 2);
    EXPECT_EQ(w.log.Count(), 2);
    EXPECT_EQ(w.ReadAll().size(), 2u);
    EXPECT_EQ(w.log.counters[0][1], 0); // not counted either
    EXPECT_EQ(w.log.Dropped(), 1);
    // An inactive log filter lets everything through.
    w.ap.lfilt.aktiv = 0;
    w.log.AppendTelegram(bad);
    EXPECT_EQ(bad.nr, 3);
    EXPECT_EQ(w.log.Dropped(), 1);
}

TEST_F(LogStoreTest, EntryEndingAt32766StaysAndAt32768MovesOn) {
    // 108 entries of 302 bytes end at 64 + 108 x 302 = 32680.
    for (int last : {54, 56}) {
        test::LogWorld x;
        x.ap.MaxLog = 1;
        std::string n = dir + "edge" + std::to_string(last) + ".lg1";
        ASSERT_TRUE(x.log.OpenLog(n, false));
        x.Append(108, 270);
        T_Telegramm te = Frame(last);
        x.log.AppendTelegram(te);
        if (last == 54) {
            EXPECT_EQ(te.lga, 86);
            EXPECT_EQ(x.log.Kopf().blakt, 0) << "ends at 32766: stays";
            EXPECT_EQ(te.lgv, 302);
        } else {
            EXPECT_EQ(te.lga, 88);
            EXPECT_EQ(x.log.Kopf().blakt, 1) << "would end at 32768: next block";
            EXPECT_EQ(te.lgv, 0);
        }
        EXPECT_EQ(x.ReadAll().size(), 109u);
    }
}

TEST_F(LogStoreTest, SingleBlockRingOverwritesItsOnlyBlock) {
    w.ap.MaxLog = 0;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    EXPECT_EQ(w.log.Kopf().anzbl, 1);
    w.Append(108, 270); // block full
    auto more = w.Append(3, 270);
    EXPECT_EQ(w.log.Kopf().blakt, 0);
    EXPECT_EQ(w.log.Kopf().blalt, 0);
    EXPECT_EQ(w.log.Kopf().nralt, 109);
    EXPECT_EQ(w.log.Kopf().nrneu, 111);
    EXPECT_EQ(w.log.Count(), 3);
    auto all = w.ReadAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].nr, 109);
    EXPECT_DOUBLE_EQ(w.log.Kopf().dtalt, more[0].dt);

    w.log.CloseLog();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.ReadAll().size(), 3u);
}

TEST_F(LogStoreTest, NegativeSizeSettingIsTakenAsZero) {
    w.ap.MaxLog = -5;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    EXPECT_EQ(w.log.Kopf().anzbl, 1);
    EXPECT_EQ(LogBlockCount(10), 313);
}

TEST_F(LogStoreTest, RingWrittenPastItsEndKeepsTheNewestAndCountsRight) {
    w.ap.MaxLog = 1; // 32 blocks
    ASSERT_TRUE(w.log.OpenLog(name, false));
    const int n = w.log.Kopf().anzbl;
    ASSERT_EQ(n, 32);
    const int perBlock = 108;
    auto in = w.Append(perBlock * 40 + 17, 270, 1);
    const T_LogKopf& k = w.log.Kopf();
    EXPECT_EQ(k.blakt, 40 % n);
    EXPECT_EQ(k.blalt, (40 + 1) % n);
    // 31 full blocks behind the one being written.
    EXPECT_EQ(w.log.Count(), 31 * perBlock + 17);
    EXPECT_EQ(k.nrneu, static_cast<int32_t>(in.size()));
    EXPECT_EQ(k.nralt, k.nrneu - w.log.Count() + 1);
    auto all = w.ReadAll();
    ASSERT_EQ(static_cast<int32_t>(all.size()), w.log.Count());
    for (size_t i = 1; i < all.size(); ++i) ASSERT_EQ(all[i].nr, all[i - 1].nr + 1);
    EXPECT_EQ(all.back().nr, k.nrneu);

    w.log.CloseLog();
    EXPECT_EQ(Field(name, 4), 2128 + 32 * 32768);
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.log.Count(), 31 * perBlock + 17);
    EXPECT_EQ(r.ReadAll().size(), all.size());
}

TEST_F(LogStoreTest, OpeningALogTakesTheSettingsOfItsHead) {
    w.ap.lgla = 2;
    w.ap.oastr = {2, {8, 8}};
    w.ap.afilt.aktiv = 1;
    w.bp1.baud = 1200;
    w.bp2.fkt = FKT_MASTER;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(2, 10);
    w.log.CloseLog();

    test::LogWorld r;
    r.ap.MaxLog = 55;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.ap.lgla, 2);
    EXPECT_EQ(r.ap.oastr.anz, 2);
    EXPECT_EQ(r.ap.afilt.aktiv, 0); // filters are stored inactive
    EXPECT_EQ(r.ap.MaxLog, 100);
    EXPECT_EQ(r.bp1.baud, 1200);
    EXPECT_EQ(r.bp2.fkt, FKT_MASTER);
    EXPECT_EQ(r.av.dtLog, name);
}

TEST_F(LogStoreTest, OlderHeadFormsAreRead) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.log.CloseLog();
    // Rewrite the head in the older forms: 876 bytes of settings, 144-byte channel blocks.
    auto d = FileBytes(name);
    int32_t v = 876;
    std::memcpy(d.data() + 16, &v, 4);
    d[16 + 8] = 0; // lgla 0
    v = 144;
    std::memcpy(d.data() + 1016, &v, 4);
    std::memcpy(d.data() + 1160, &v, 4);
    v = 2400;
    std::memcpy(d.data() + 1016 + 16, &v, 4);
    v = 4800;
    std::memcpy(d.data() + 1160 + 16, &v, 4);
    {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
    }
    test::LogWorld r;
    r.ap.res[100] = 7; // beyond 876: keeps its value
    r.bp1.res[10] = 9; // beyond 144: keeps its value
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.ap.lgla, 0);
    EXPECT_EQ(r.ap.res[100], 7);
    EXPECT_EQ(r.bp1.baud, 2400);
    EXPECT_EQ(r.bp2.baud, 4800);
    EXPECT_EQ(r.bp1.res[10], 9);
    EXPECT_EQ(r.bp1.lg, 492);
}

TEST_F(LogStoreTest, LoadedLogWithoutEntriesIsLeftAsItWas) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.CloseLog();
    auto before = FileBytes(name);
    auto mtime = fs::last_write_time(name);
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_FALSE(r.av.logsave);
    r.log.OpenForReading();
    r.log.View().Back();
    r.log.CloseLog();
    EXPECT_EQ(FileBytes(name), before);
    EXPECT_EQ(fs::last_write_time(name), mtime);
}

TEST_F(LogStoreTest, AutomaticLogIsFlushedEvenWithoutEntries) {
    std::string autoName = w.log.AutomaticName(w.clock.LocalNow());
    EXPECT_EQ(autoName, dir + "VdlLog.lg1");
    w.pp.opt[13] = 1;
    EXPECT_EQ(w.log.AutomaticName(w.clock.LocalNow()), dir + "VdlLog08.lg1");
    w.av.pnr = 2;
    EXPECT_EQ(w.log.AutomaticName(w.clock.LocalNow()), dir + "VdlLog208.lg1");
    w.pp.opt[13] = 0;
    w.av.pnr = 1;
    ASSERT_TRUE(w.log.OpenLog(autoName, false));
    w.log.CloseLog();
    test::LogWorld r;
    r.av.DataDir = dir;
    ASSERT_TRUE(r.log.OpenLog(autoName, false));
    r.log.CloseLog();
    EXPECT_EQ(Field(autoName, 8), 2000);
}

TEST_F(LogStoreTest, AgeCheckEmptiesAnOldDailyLog) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.CloseLog();
    test::LogWorld r;
    r.clock.start += 1.5; // the next day: kept
    ASSERT_TRUE(r.log.OpenLog(name, true));
    EXPECT_EQ(r.log.Count(), 3);
    r.log.CloseLog();
    test::LogWorld s;
    s.clock.start += 3; // three days later: emptied
    ASSERT_TRUE(s.log.OpenLog(name, true));
    EXPECT_EQ(s.log.Count(), 0);
    EXPECT_TRUE(s.log.Empty());
}

TEST_F(LogStoreTest, StatisticsCounters) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    int notified = 0;
    w.log.statisticsChanged = [&] { ++notified; };
    T_Telegramm ok = Frame(10), err = Frame(10, ST_CHECKSUM), dfc = Frame(5, ST_DFC_IN_RESPONSE),
                rts = Frame(0, ST_RTS, EK_TX2), ev = Frame(0, ST_LINK_UP, EK_TX1);
    ev.ta = TA_INTERNAL;
    for (T_Telegramm* t : {&ok, &err, &dfc, &rts, &ev}) w.log.AppendTelegram(*t);
    EXPECT_EQ(w.log.counters[0][0], 3);
    EXPECT_EQ(w.log.counters[0][1], 1);
    EXPECT_EQ(w.log.counters[3][0], 0); // RTS events are not telegrams
    EXPECT_EQ(w.log.counters[1][0], 0); // internal records are not counted
    EXPECT_EQ(notified, 4);
    EXPECT_EQ(w.log.Count(), 5); // but all are stored
}

TEST_F(LogStoreTest, DisplayRingDropsSixteenOnOverflow) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.log.displayFilter = [](const T_Telegramm& te) { return te.stat == ST_OK; };
    T_Telegramm hidden = Frame(5, ST_CHECKSUM);
    w.log.AppendTelegram(hidden);
    auto in = w.Append(49, 8);
    T_Telegramm te;
    ASSERT_TRUE(w.log.ring.Next(te));
    EXPECT_EQ(te.nr, 2);
    w.Append(2, 8); // 51 in all, one drawn: the head reaches the tail
    int n = 0;
    int32_t first = -1;
    while (w.log.ring.Next(te)) {
        if (first < 0) first = te.nr;
        ++n;
    }
    EXPECT_EQ(first, 3 + 16);
    EXPECT_EQ(n, 50 - 16);
    w.log.ring.Clear();
    EXPECT_FALSE(w.log.ring.Next(te));
}

TEST_F(LogStoreTest, ViewNavigation) {
    w.ap.MaxLog = 1;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(200, 270); // two blocks
    ASSERT_TRUE(w.log.OpenForReading());
    EXPECT_TRUE(w.av.LogAusg);
    LogCursor& v = w.log.View();
    EXPECT_EQ(v.Current().nr, 200);
    EXPECT_FALSE(v.Forward());
    EXPECT_EQ(v.Move(-150, nullptr), -150);
    EXPECT_EQ(v.Current().nr, 50);
    EXPECT_EQ(v.Move(-100, nullptr), -49);
    EXPECT_EQ(v.Current().nr, 1);
    EXPECT_FALSE(v.Back());
    // Moves over telegrams that pass a filter.
    auto even = [](const T_Telegramm& te) { return te.nr % 2 == 0; };
    EXPECT_EQ(v.Move(3, even), 3);
    EXPECT_EQ(v.Current().nr, 6);
    // Moves of 5000 and more go over all telegrams.
    EXPECT_EQ(v.Move(5000, even), 194);
    EXPECT_EQ(v.Current().nr, 200);
    // Forward reading goes on as the log grows, across a block change.
    w.Append(1, 270);
    EXPECT_TRUE(v.Forward());
    EXPECT_EQ(v.Current().nr, 201);
    w.Append(20, 270); // the third block begins
    EXPECT_EQ(v.Move(20, nullptr), 20);
    EXPECT_EQ(v.Current().nr, 221);
    w.log.CloseView();
    EXPECT_FALSE(w.av.LogAusg);
}

TEST_F(LogStoreTest, ViewCountsOverwritesOfItsBlock) {
    w.ap.MaxLog = 0;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(10, 270);
    ASSERT_TRUE(w.log.OpenForReading());
    w.Append(100, 270);
    EXPECT_EQ(w.log.Kopf().ueber, 1);
}

TEST_F(LogStoreTest, FlushOnOfflineKeepsAppending) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.FlushOnOffline();
    EXPECT_EQ(Field(name, 8), 2000);
    EXPECT_FALSE(w.av.logsave);
    w.Append(2, 10);
    EXPECT_EQ(Field(name, 8), kLogOpenMark); // marked again by the new entries
    w.log.CloseLog();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.log.Count(), 5);
    EXPECT_FALSE(r.log.Recovered());
}

TEST_F(LogStoreTest, NewLogAndSaveAs) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.ap.afilt.aktiv = 1;
    std::string copy = dir + "b.lg1";
    ASSERT_TRUE(w.log.SaveAs(copy));
    EXPECT_EQ(w.av.dtLog, copy);
    EXPECT_EQ(w.ap.afilt.aktiv, 1);
    EXPECT_EQ(w.log.Count(), 3);
    EXPECT_EQ(FileBytes(name), FileBytes(copy));
    w.ap.MaxLog = 0;
    w.log.NewLog();
    EXPECT_EQ(w.log.Count(), 0);
    EXPECT_EQ(w.log.Kopf().anzbl, 1);
    T_Telegramm te = Frame(4);
    w.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, 1);
}

TEST_F(LogStoreTest, SaveAsOntoTheLogItselfIsRefused) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.FlushOnOffline();
    auto before = FileBytes(name);
    fs::path link = fs::path(dir) / "link.lg1";
    fs::create_symlink(name, link);
    for (const std::string& target : {name, link.string(), dir + "./a.lg1"}) {
        w.msg.errors.clear();
        EXPECT_FALSE(w.log.SaveAs(target)) << target;
        ASSERT_EQ(w.msg.errors.size(), 1u) << target;
        EXPECT_NE(w.msg.errors[0].find(target + " is the log " + name), std::string::npos);
        // The log goes on as it was.
        EXPECT_TRUE(w.log.IsOpen());
        EXPECT_EQ(w.log.Name(), name);
        EXPECT_EQ(FileBytes(name), before);
    }
    T_Telegramm te = Frame(4);
    w.log.AppendTelegram(te);
    EXPECT_EQ(te.nr, 4);
}

TEST_F(LogStoreTest, AnEmptyFileBecomesANewLog) {
    { std::ofstream f(name, std::ios::binary); }
    ASSERT_TRUE(w.log.OpenLog(name, false));
    EXPECT_TRUE(w.msg.errors.empty());
    w.Append(2, 10);
    w.log.CloseLog();
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_EQ(r.log.Count(), 2);
}

TEST_F(LogStoreTest, ALogThatCannotBeCreatedSaysWhy) {
    struct Case {
        std::string name;
        const char* reason;
    };
    fs::create_directory(dir + "folder.lg1");
    const Case cases[] = {{dir + "folder.lg1", "Is a directory"},
                          {dir + "missing/x.lg1", "No such file or directory"}};
    for (const Case& c : cases) {
        test::LogWorld r;
        EXPECT_FALSE(r.log.OpenLog(c.name, false)) << c.name;
        ASSERT_EQ(r.msg.errors.size(), 1u) << c.name;
        EXPECT_EQ(r.msg.errors[0], "cannot create " + c.name + ": " + c.reason);
        EXPECT_EQ(r.log.WriteError(), r.msg.errors[0]);
        EXPECT_TRUE(r.av.logerr);
    }
}

TEST_F(LogStoreTest, ALogInMemoryIsTheSameAsOnDisk) {
    // The same appends once into a file and once into bytes in memory, on the same clock.
    std::vector<char> bytes;
    test::LogWorld m;
    w.ap.MaxLog = m.ap.MaxLog = 1;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    ASSERT_TRUE(m.log.OpenBuffer(bytes, "memory.lg1", false));
    for (int i = 0; i < 400; ++i) {
        for (test::LogWorld* x : {&w, &m}) {
            T_Telegramm te = Frame(20 + i % 200, ST_OK, EK_RX1, static_cast<uint8_t>(i));
            x->log.AppendTelegram(te);
            x->clock.Advance(300);
            x->log.Periodic();
        }
    }
    w.log.CloseLog();
    m.log.CloseLog();
    auto disk = FileBytes(name);
    ASSERT_EQ(std::vector<char>(disk.begin(), disk.end()), bytes);
    // And reads back the same.
    ASSERT_TRUE(m.log.OpenBuffer(bytes, "memory.lg1", true));
    EXPECT_EQ(m.ReadAll().size(), 400u);
}

TEST_F(LogStoreTest, BadFilesAreLeftAsTheyWere) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.CloseLog();
    auto good = FileBytes(name);
    std::vector<Case> cases = {{"truncated head", {good.begin(), good.begin() + 1500}},
                               {"head cut inside the state", {good.begin(), good.begin() + 2100}},
                               {"not a log", std::vector<uint8_t>(5000, 'x')}};
    cases.push_back({"wrong state length", good});
    cases.back().bytes[2000] = 127;
    cases.push_back({"block count", good});
    std::memset(cases.back().bytes.data() + 2004, 0, 4);
    for (const Case& c : cases) {
        std::string p = dir + "bad.lg1";
        {
            std::ofstream f(p, std::ios::binary | std::ios::trunc);
            f.write(reinterpret_cast<const char*>(c.bytes.data()),
                    static_cast<std::streamsize>(c.bytes.size()));
        }
        test::LogWorld r;
        EXPECT_FALSE(r.log.OpenLog(p, false)) << c.what;
        EXPECT_FALSE(r.log.IsOpen()) << c.what;
        ASSERT_EQ(r.msg.errors.size(), 1u) << c.what;
        EXPECT_EQ(r.msg.errors[0], "head unreadable: " + p);
        T_Telegramm te = Frame(5);
        r.log.AppendTelegram(te); // no log: nothing stored, no crash
        r.log.CloseLog();
        EXPECT_EQ(FileBytes(p), c.bytes) << c.what;
    }
}

TEST_F(LogStoreTest, StateNamingAMissingBlockIsRebuiltWithoutWriting) {
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(3, 10);
    w.log.CloseLog();
    auto d = FileBytes(name);
    d[2012] = 5; // block being written: 5, not in the file
    {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
    }
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(name, false));
    EXPECT_TRUE(r.log.Recovered());
    EXPECT_EQ(r.log.Count(), 3);
    EXPECT_EQ(r.ReadAll().size(), 3u);
    r.log.CloseLog();
    EXPECT_EQ(FileBytes(name), d);
}

TEST_F(LogStoreTest, ABrokenChainIsReadAsFarAsItHolds) {
    w.ap.MaxLog = 1;
    ASSERT_TRUE(w.log.OpenLog(name, false));
    w.Append(250, 270); // blocks 0, 1 full, block 2 with 34
    w.log.CloseLog();
    auto good = FileBytes(name);

    // Break the chain in block 1 after its 10th entry.
    auto broken = good;
    size_t b1 = 2128 + 32768 + 64 + 10 * 302;
    broken[b1 + 2] = 0x31; // lga odd
    std::string p = dir + "broken.lg1";
    {
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(broken.data()),
                static_cast<std::streamsize>(broken.size()));
    }
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(p, false));
    auto all = r.ReadAll();
    // Reading forward stops at the broken entry of block 1 and goes on in block 2.
    ASSERT_EQ(all.size(), 108u + 10u + 34u);
    EXPECT_EQ(all[117].nr, 118);
    EXPECT_EQ(all[118].nr, 217);
    EXPECT_TRUE(r.log.Damage().broken);
    r.log.CloseLog();
    EXPECT_EQ(FileBytes(p), broken);
}

} // namespace
} // namespace vdl
