// The station image on a program: collected from the telegrams the log records, rebuilt from
// the log while offline (whole or in slices, with live telegrams after the older ones), the
// full table told once per refused object, and the row header click on the display filter.
#include "app/image_commands.h"

#include "app/main_commands.h"
#include "app/program.h"
#include "asdu/asdu_header.h"
#include "core/format.h"
#include "image/image_grid.h"
#include "log/filter.h"

#include "support/fake_clock.h"
#include "support/fake_messages.h"
#include "support/frames.h"
#include "support/paths.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Spy : ProgramView {
    std::vector<int> commands;
    void PostViewCommand(int code) override { commands.push_back(code); }
};

struct ImageRig : ::testing::Test {
    FakeMessages msg;
    FakeClock clock;
    Program p{BinDir(), msg};
    Spy view;
    std::string dir;

    void SetUp() override {
        ASSERT_TRUE(p.LoadStartTexts());
        dir = TempDir("imagecmd");
        p.av.DataDir = dir;
        p.CreateLog(clock);
        ASSERT_TRUE(p.log->OpenLog(dir + "a.lg1", false));
        p.view = &view;
    }
    // A single point (type 1, or another type) of common address ca at ioa with value v.
    void Point(uint32_t ioa, uint8_t v, int typ = 1, uint16_t ca = 1, uint8_t cot = 3) {
        Bytes element = typ == 30 ? Bytes{v, 0, 0, 0, 0, 1, 1, 24} : Bytes{v};
        Log(Asdu(typ, 1, cot, ca, Ioa3(ioa) + element));
    }
    void Log(const Bytes& asdu) {
        T_Telegramm te = Record(Variable(0x08, 1, asdu));
        te.ek = EK_RX1;
        DecodeHeader(te, FKT_MONITOR, LayoutOf(p.ap));
        p.LogTelegram(te);
        clock.Advance(5);
    }
    // Records of the log that are not frames: the channel's events and messages.
    void Noise() {
        T_Telegramm fixed = Record(Fixed(0x49, 1));
        p.LogTelegram(fixed);
        T_Telegramm ev{};
        ev.ta = TA_INTERNAL;
        ev.stat = ST_MESSAGE_TEXT;
        ev.setS0("event");
        p.LogTelegram(ev);
    }
    std::vector<T_Telegramm> Stored() {
        std::vector<T_Telegramm> v;
        auto c = p.log->NewCursor();
        for (bool ok = c->SeekOldest(); ok; ok = c->Forward()) v.push_back(c->Current());
        return v;
    }
    uint32_t Sum(const T_Obj& o) {
        uint32_t s = 0;
        for (uint32_t u : o.uz) s += u;
        return s;
    }
    const T_Obj* Row(uint32_t ioa, int key = 1, uint16_t ca = 1) {
        return p.image.Find(uint32_t{ca} << 8, (ioa << 8) | static_cast<uint32_t>(key));
    }
};

TEST_F(ImageRig, CollectsOnlyWhileOpenAndRebuildsFromTheLogWhenOffline) {
    for (int i = 0; i < 50; ++i) {
        Point(static_cast<uint32_t>(i % 7), static_cast<uint8_t>(i & 1));
        if (i % 10 == 0) Noise();
    }
    EXPECT_EQ(p.image.Count(), 0) << "closed: nothing collected";
    OpenImage(p);
    EXPECT_EQ(p.pp.abbild, 1);
    ASSERT_TRUE(p.imageRebuild);
    RebuildImage(p);
    EXPECT_FALSE(p.imageRebuild);
    ASSERT_EQ(p.image.Count(), 7);
    uint32_t all = 0;
    for (int r = 0; r < 7; ++r) all += Sum(p.image.At(r));
    EXPECT_EQ(all, 50u) << "every stored frame entered once";
    EXPECT_EQ(Row(6)->inf, 0); // last from i = 48
    EXPECT_EQ(Row(0)->inf, 1); // last from i = 49
    // Live telegrams go on into the image.
    Point(100, 1);
    EXPECT_EQ(p.image.Count(), 8);

    // Closing empties it; opening online does not read the log.
    CloseImage(p);
    EXPECT_EQ(p.image.Count(), 0);
    EXPECT_EQ(p.pp.abbild, 0);
    p.av.online = true;
    OpenImage(p);
    EXPECT_FALSE(p.imageRebuild);
    EXPECT_EQ(p.image.Count(), 0);
}

TEST_F(ImageRig, ASlicedRebuildGivesTheSameImageAndLiveTelegramsComeAfterIt) {
    for (int i = 0; i < 40; ++i) Point(static_cast<uint32_t>(i % 5), static_cast<uint8_t>(i & 1));
    OpenImage(p);
    RebuildImage(p);
    std::vector<T_Obj> whole;
    for (int r = 0; r < p.image.Count(); ++r) whole.push_back(p.image.At(r));

    RestartImage(p);
    int slices = 0;
    while (RebuildImageStep(p, 3)) ++slices;
    EXPECT_EQ(slices, 40 / 3);
    ASSERT_EQ(p.image.Count(), static_cast<int>(whole.size()));
    for (size_t r = 0; r < whole.size(); ++r)
        EXPECT_EQ(std::memcmp(&whole[r], &p.image.At(static_cast<int>(r)), sizeof(T_Obj)), 0) << r;

    // A telegram logged while a rebuild is pending: the older telegrams go in first, and the
    // new one once.
    RestartImage(p);
    ASSERT_TRUE(RebuildImageStep(p, 4));
    Point(0, 0, 1, 1, 20);
    EXPECT_FALSE(p.imageRebuild);
    EXPECT_EQ(Sum(*Row(0)), Sum(whole[0]) + 1);
    EXPECT_EQ(Row(0)->inf, 0);
    EXPECT_EQ(Row(0)->urs, 20);
}

TEST_F(ImageRig, ALogReplacedOrEmptiedEndsTheRebuild) {
    for (int i = 0; i < 20; ++i) Point(static_cast<uint32_t>(i), 1);
    OpenImage(p);
    ASSERT_TRUE(RebuildImageStep(p, 5));
    p.log->NewLog();
    EXPECT_FALSE(RebuildImageStep(p, 100));
    EXPECT_EQ(p.image.Count(), 5);

    // Another log opened: the image is that log's.
    p.log->CloseLog();
    ASSERT_TRUE(p.log->OpenLog(dir + "b.lg1", false));
    Point(77, 1);
    Point(78, 1);
    p.log->CloseLog();
    ASSERT_TRUE(p.log->OpenLog(dir + "a.lg1", false));
    ASSERT_TRUE(OpenLogFileCommand(p, dir + "b.lg1"));
    RebuildImage(p);
    ASSERT_EQ(p.image.Count(), 2);
    EXPECT_NE(Row(77), nullptr);
}

TEST_F(ImageRig, AFullTableIsToldOncePerRefusedObjectAfterItsTelegram) {
    p.av.AbbMax = 2;
    OpenImage(p);
    RebuildImage(p);
    Log(Asdu(1, 5, 3, 1,
             Ioa3(1) + Bytes{1} + Ioa3(2) + Bytes{1} + Ioa3(3) + Bytes{1} + Ioa3(4) + Bytes{1} +
                 Ioa3(5) + Bytes{1}));
    EXPECT_EQ(p.image.Count(), 3);
    std::vector<T_Telegramm> v = Stored();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].ta, TA_VARIABLE);
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(v[k].stat, ST_MESSAGE_IO);
        EXPECT_EQ(v[k].ta, TA_INTERNAL);
        EXPECT_EQ(v[k].s0(), Format(p.texts.tx(kTxImageFull), {2}));
    }
    EXPECT_TRUE(msg.errors.empty());

    // A rebuild reads the log: it writes nothing into it and tells the user once.
    RestartImage(p);
    RebuildImage(p);
    EXPECT_EQ(Stored().size(), 3u);
    ASSERT_EQ(msg.errors.size(), 1u);
    EXPECT_EQ(msg.errors[0], Format(p.texts.tx(kTxImageFull), {2}));
}

TEST_F(ImageRig, TheRowHeaderFiltersTheDisplayToTheObjectAndASecondClickClearsIt) {
    OpenImage(p);
    RebuildImage(p);
    Point(300, 1, 1, 0x0102);
    Point(300, 0, 30, 0x0102); // the same object with time tag: typneu 30, typalt 1
    Point(301, 1, 1, 0x0102);
    Point(300, 1, 3, 0x0102); // a double point at the same address: another row
    ASSERT_EQ(p.image.Count(), 3);
    int r = 1;
    while (r <= p.image.Count() && p.image.At(r - 1).oax != ((300u << 8) | 1)) ++r;
    ASSERT_EQ(p.image.At(r - 1).typalt, 1);

    auto frame = [&](int typ, uint32_t ioa, uint16_t ca) {
        Bytes element = typ == 30 ? Bytes{1, 0, 0, 0, 0, 1, 1, 24} : Bytes{1};
        T_Telegramm te = Record(Variable(0x08, 1, Asdu(typ, 1, 3, ca, Ioa3(ioa) + element)));
        te.ek = EK_RX1;
        te.lga = static_cast<uint16_t>(te.lg + 32); // as read from the log
        DecodeHeader(te, FKT_MONITOR, LayoutOf(p.ap));
        return te;
    };
    ImageClick click;
    EXPECT_EQ(ImageRowHeaderClick(p, r, click), 36);
    EXPECT_EQ(p.ap.afilt.aktiv, 1);
    EXPECT_EQ(p.ap.afilt.nameidx, 255);
    EXPECT_TRUE(DisplayAccepts(frame(1, 300, 0x0102), p.Filters()));
    EXPECT_TRUE(DisplayAccepts(frame(30, 300, 0x0102), p.Filters()));
    EXPECT_FALSE(DisplayAccepts(frame(3, 300, 0x0102), p.Filters()));
    EXPECT_FALSE(DisplayAccepts(frame(1, 301, 0x0102), p.Filters()));
    EXPECT_FALSE(DisplayAccepts(frame(1, 300, 0x0103), p.Filters()));

    // The second click on the same object: the view is unfiltered again.
    EXPECT_EQ(ImageRowHeaderClick(p, r, click), 0);
    EXPECT_EQ(p.ap.afilt.aktiv, 0);
    EXPECT_EQ(p.ap.afilt.def, 0);
    EXPECT_TRUE(DisplayAccepts(frame(1, 301, 0x0102), p.Filters()));
    EXPECT_EQ(view.commands, (std::vector<int>{36, 0}));
    // A row without object does nothing.
    EXPECT_EQ(ImageRowHeaderClick(p, 4, click), -1);
    EXPECT_EQ(ImageRowHeaderClick(p, 0, click), -1);
}

} // namespace
