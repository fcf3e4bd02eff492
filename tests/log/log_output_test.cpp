#include "log/log_output.h"

#include "app/program.h"
#include "asdu/asdu_header.h"
#include "core/settings.h"
#include "core/utf8.h"

#include "log/log_fixture.h"

#include <cmath>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace vdl {
namespace {

using test::FileBytes;

std::vector<std::string> TextLines(const std::string& path) {
    std::vector<std::string> v;
    ReadTextLines(path, v);
    return v;
}

// A variable frame of the default layout (link address 1, cause 1 octet, common address 2,
// object address 3) with single points.
T_Telegramm SinglePoints(int objects, const AsduLayout& lay) {
    T_Telegramm te{};
    uint8_t* b = te.b;
    int n = 4;
    b[n++] = 0x08;
    b[n++] = 1;
    b[n++] = 1;
    b[n++] = static_cast<uint8_t>(objects);
    b[n++] = 3;
    b[n++] = 7;
    b[n++] = 0;
    for (int i = 0; i < objects; ++i) {
        b[n++] = static_cast<uint8_t>(100 + i);
        b[n++] = 0;
        b[n++] = 0;
        b[n++] = static_cast<uint8_t>(i & 1);
    }
    uint8_t cs = 0;
    for (int i = 4; i < n; ++i) cs = static_cast<uint8_t>(cs + b[i]);
    b[0] = b[3] = 0x68;
    b[1] = b[2] = static_cast<uint8_t>(n - 4);
    b[n++] = cs;
    b[n++] = 0x16;
    te.lg = static_cast<int16_t>(n);
    te.ta = TA_VARIABLE;
    te.stat = ST_OK;
    te.ek = EK_RX1;
    DecodeHeader(te, FKT_MONITOR, lay);
    return te;
}

class LogOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(p.LoadStartTexts());
        dir = test::TempDir("logoutput");
        p.av.DataDir = dir;
        p.CreateLog(clock);
        name = dir + "src.lg1";
        ASSERT_TRUE(p.log->OpenLog(name, false));
        render.texts = &p.texts;
        render.av = &p.av;
        render.ap = &p.ap;
        render.pp = &p.pp;
        render.com[0] = &p.com[0];
        render.com[1] = &p.com[1];
        render.loc = &loc;
    }
    LogOutputEnv Env() {
        return LogOutputEnv{
            *p.log,
            render,
            loc,
            LogEnv{clock, msg, p.texts, p.av, p.ap, p.pp, p.com[0].bp, p.com[1].bp},
            [this](const T_Telegramm& te) { return DisplayAccepts(te, p.Filters()); },
            nullptr};
    }
    void Add(T_Telegramm te, uint32_t ms = 100) {
        p.log->AppendTelegram(te);
        clock.Advance(ms);
    }
    test::FakeMessages msg;
    test::FakeClock clock;
    Program p{test::BinDir(), msg};
    FixedLocale loc;
    RenderEnv render;
    std::string dir, name;
};

TEST_F(LogOutputTest, EmptyLogWritesTheHeaderAndTheEndOnly) {
    LogOutputEnv env = Env();
    ASSERT_TRUE(WriteLogOutput(env, dir + "out.txt", OUT_TEXT));
    auto v = TextLines(dir + "out.txt");
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].substr(0, 32), "src.lg1" + std::string(25, ' '));
    EXPECT_NE(v[0].find(p.texts.tx(429) + " 1"), std::string::npos);
    // The view header right-aligned in 60 columns and never cut: the German one is longer.
    EXPECT_GE(Utf8Length(v[1]), 60u);
    const std::string& link = p.texts.tx(423 + (p.pp.linkzl ? 1 : 0));
    ASSERT_GT(v[1].size(), link.size());
    EXPECT_EQ(v[1].substr(v[1].size() - link.size()), link) << v[1];
    EXPECT_EQ(v[2], "");
    EXPECT_EQ(v[3], p.texts.tx(kTxOutEnd));
    // The page number stands apart from its word however many digits it has.
    for (int page : {1, 10, 123})
        EXPECT_TRUE(PageHeader(env, 0, page)[0].ends_with(" " + std::to_string(page)) &&
                    PageHeader(env, 0, page)[0].find(p.texts.tx(429) + " ") != std::string::npos)
            << PageHeader(env, 0, page)[0];
}

// A CSV file holds the column line and the rows only: no date line when the day changes, no
// closing line.
TEST_F(LogOutputTest, CsvHasTheColumnLineAndOneLinePerObjectOnly) {
    AsduLayout lay = LayoutOf(p.ap);
    Add(SinglePoints(3, lay), 86400000); // the next telegram a day later
    Add(SinglePoints(1, lay));
    p.pp.format = VF_CSV;
    LogOutputEnv env = Env();
    ASSERT_TRUE(WriteLogOutput(env, dir + "out.csv", OUT_TEXT));
    auto v = TextLines(dir + "out.csv");
    ASSERT_EQ(v.size(), 1u + 4u) << ::testing::PrintToString(v);
    EXPECT_EQ(v[0], p.texts.tx(kTxCsvHeader));
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(v[i].rfind(i < 4 ? "1;" : "2;", 0), 0u) << v[i];
}

TEST_F(LogOutputTest, TextHasEmptyLinesBetweenTelegramsAndDateLines) {
    AsduLayout lay = LayoutOf(p.ap);
    Add(SinglePoints(1, lay), 86400000); // the next telegram a day later
    Add(SinglePoints(1, lay));
    LogOutputEnv env = Env();
    ASSERT_TRUE(WriteLogOutput(env, dir + "out.txt", OUT_TEXT));
    auto v = TextLines(dir + "out.txt");
    std::string date = loc.ShortDate(2026, 12, 9);
    auto it = std::find(v.begin(), v.end(), date);
    ASSERT_NE(it, v.end()) << "date line of the second day: " << ::testing::PrintToString(v);
    EXPECT_EQ(*(it - 1), "") << "empty line after the first telegram";
    EXPECT_EQ(v.back(), p.texts.tx(kTxOutEnd));
    EXPECT_EQ(*(v.end() - 2), "");
}

TEST_F(LogOutputTest, IntoANewLogOnlyWhatPassesRenumberedFromOne) {
    AsduLayout lay = LayoutOf(p.ap);
    for (int i = 0; i < 5; ++i) {
        Add(SinglePoints(1, lay));
        T_Telegramm bad = SinglePoints(1, lay);
        bad.stat = ST_CHECKSUM;
        Add(bad);
    }
    p.ap.afilt.okein = 1;
    p.ap.afilt.fehlein = 0;
    NormaliseFilter(p.ap.afilt, p.ap);
    p.ap.afilt.aktiv = 1;
    LogOutputEnv env = Env();
    std::string out = dir + "out.lg1";
    ASSERT_TRUE(WriteLogOutput(env, out, OUT_LOG));
    EXPECT_TRUE(p.av.logsave) << "the program's log keeps its own state";

    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(out, false));
    EXPECT_FALSE(r.log.Recovered());
    auto all = r.ReadAll();
    ASSERT_EQ(all.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(all[i].nr, static_cast<int32_t>(i + 1));
        EXPECT_EQ(all[i].stat, ST_OK);
    }
}

TEST_F(LogOutputTest, StampsThatAreNoDatesGiveNoDatesAndEmptyTimeFields) {
    AsduLayout lay = LayoutOf(p.ap);
    for (double dt : {1e300, -1e300, std::nan(""), EncodeDateTime(2026, 12, 9, 1)}) {
        T_Telegramm te = SinglePoints(1, lay);
        te.dt = dt;
        p.log->AppendCopy(te);
    }
    LogOutputEnv env = Env();
    ASSERT_TRUE(WriteLogOutput(env, dir + "out.txt", OUT_TEXT));
    auto v = TextLines(dir + "out.txt");
    // The page header names no date; one date line, for the telegram with a date.
    EXPECT_NE(v[0].find(p.texts.tx(428) + " " + p.texts.tx(429)), std::string::npos) << v[0];
    EXPECT_EQ(std::count(v.begin(), v.end(), loc.ShortDate(2026, 12, 9)), 1);
    EXPECT_EQ(std::count(v.begin(), v.end(), loc.ShortDate(0, 0, 0)), 0);
    EXPECT_EQ(v.back(), p.texts.tx(kTxOutEnd));
    p.pp.format = VF_CSV;
    LogOutputEnv csv = Env();
    ASSERT_TRUE(WriteLogOutput(csv, dir + "out.csv", OUT_TEXT));
    auto c = TextLines(dir + "out.csv");
    ASSERT_EQ(c.size(), 1u + 3u + 1u) << ::testing::PrintToString(c);
    for (size_t i = 1; i <= 3; ++i) EXPECT_NE(c[i].find(";;;;3;ok;"), std::string::npos) << c[i];
}

TEST_F(LogOutputTest, TheLogItselfIsNoTargetByWhateverNameItIsGiven) {
    Add(SinglePoints(1, LayoutOf(p.ap)));
    p.log->FlushOnOffline();
    auto before = FileBytes(name);
    fs::path link = fs::path(dir) / "link.lg1";
    fs::create_symlink(name, link);
    fs::path hard = fs::path(dir) / "hard.lg1";
    fs::create_hard_link(name, hard);
    const std::string spellings[] = {name, dir + "./" + fs::path(name).filename().string(),
                                     dir + "sub/../" + fs::path(name).filename().string(),
                                     link.string(), hard.string()};
    fs::create_directory(dir + "sub");
    for (const std::string& target : spellings) {
        for (int kind : {OUT_TEXT, OUT_LOG}) {
            msg.errors.clear();
            LogOutputEnv env = Env();
            EXPECT_FALSE(WriteLogOutput(env, target, kind)) << target;
            ASSERT_EQ(msg.errors.size(), 1u) << target;
            EXPECT_EQ(msg.errors[0], SameFileMessage(p.texts, target, name));
            EXPECT_NE(msg.errors[0].find(target), std::string::npos);
            EXPECT_NE(msg.errors[0].find(name), std::string::npos);
            EXPECT_EQ(FileBytes(name), before) << target;
        }
    }
}

TEST_F(LogOutputTest, CancelEndsWithItsText) {
    AsduLayout lay = LayoutOf(p.ap);
    for (int i = 0; i < 2500; ++i) Add(SinglePoints(1, lay), 1);
    LogOutputEnv env = Env();
    std::vector<int> seen;
    env.progress = [&](int pct) {
        seen.push_back(pct);
        return seen.size() < 2;
    };
    EXPECT_FALSE(WriteLogOutput(env, dir + "out.txt", OUT_TEXT));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 3 * 100 / 9);
    auto v = TextLines(dir + "out.txt");
    EXPECT_EQ(v.back(), p.texts.tx(kTxOutCancelled));
}

} // namespace
} // namespace vdl
