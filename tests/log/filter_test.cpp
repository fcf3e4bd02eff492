#include "log/filter.h"

#include "asdu/asdu_header.h"
#include "core/file_io.h"

#include "log/log_fixture.h"

#include <cstring>
#include <fstream>

namespace vdl {
namespace {

using test::Frame;

// A monitored single-point frame (type 1, SQ = 0) with one object per address and quality.
T_Telegramm SinglePoints(std::vector<std::pair<uint32_t, uint8_t>> objs, uint8_t ek = EK_RX1) {
    T_Telegramm te{};
    uint8_t* b = te.b;
    int n = 6;
    b[4] = 0x08;
    b[5] = 3;
    b[n++] = 1;
    b[n++] = static_cast<uint8_t>(objs.size());
    b[n++] = 3;
    b[n++] = 7;
    b[n++] = 0;
    for (auto [oa, q] : objs) {
        b[n++] = static_cast<uint8_t>(oa);
        b[n++] = static_cast<uint8_t>(oa >> 8);
        b[n++] = static_cast<uint8_t>(oa >> 16);
        b[n++] = q;
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
    te.ek = ek;
    te.lga = static_cast<uint16_t>(EntryLen(n));
    DecodeHeader(te, FKT_MONITOR, LayoutOf(DefaultAllgPar()));
    return te;
}

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override { NormaliseFilter(f, ap); }
    // Row k set to test values.
    void Row(int k, int rel, int w1, int vgl = 0, int w2 = 0) {
        f.z[k].rel = rel;
        f.z[k].w1 = w1;
        f.z[k].vgl = vgl;
        f.z[k].w2 = w2;
        NormaliseFilter(f, ap);
    }
    int RowOf(int32_t field) {
        auto v = FilterFields(ap);
        return static_cast<int>(std::find(v.begin(), v.end(), field) - v.begin());
    }
    bool Accepts(const T_Telegramm& te, bool display = false) {
        return FilterAccepts(f, te, FilterEnv{ap, LayoutOf(ap), 1, linkLine}, display);
    }
    T_AllgPar ap = DefaultAllgPar();
    T_Filter f{};
    bool linkLine = true;
};

TEST_F(FilterTest, RowsFollowTheAddressConfiguration) {
    EXPECT_EQ(FilterFields(ap), (std::vector<int32_t>{5, 6, 7, 8, 9, 10, 12, 13, 17, 18, 19}));
    EXPECT_EQ(f.def, 0);
    EXPECT_EQ(f.ekbits, 15);
    EXPECT_TRUE(f.okein && f.fehlein);
    // A row's values stay at its position when the configuration changes; its field follows.
    Row(4, 1, 30); // type
    EXPECT_EQ(f.z[4].feld, 9);
    EXPECT_EQ(f.def, 1);
    EXPECT_EQ(f.hinterla, 1);
    ap.lgla = 0;
    ap.mitori = 1;
    ap.oastr = {1, {16}};
    NormaliseFilter(f, ap);
    EXPECT_EQ(FilterFields(ap), (std::vector<int32_t>{5, 6, 7, 9, 10, 11, 12, 13, 17}));
    EXPECT_EQ(f.anzz, 9);
    EXPECT_EQ(f.z[4].feld, 10);
    EXPECT_EQ(f.z[4].w1, 30);
    EXPECT_EQ(f.z[9].feld, 0);
    Row(8, 1, 4);
    EXPECT_EQ(f.oaz, 9);
}

TEST_F(FilterTest, RelativeNumbersRunOverTheWrapOfTheNumbers) {
    // Numbers run over 31 bits; the relative number is counted across the wrap.
    struct Case {
        int32_t nr, oldest, relative;
    };
    const Case cases[] = {{7, 5, 3},
                          {2147483647, 0, 0}, // 2^31 numbers: the relative number wraps to 0
                          {4, 2147483645, 8},
                          {0, 2147483647, 2}};
    for (const Case& c : cases) {
        Row(0, 1, c.relative);
        T_Telegramm te = Frame(10);
        te.nr = c.nr;
        EXPECT_TRUE(FilterAccepts(f, te, FilterEnv{ap, LayoutOf(ap), c.oldest, true}, false))
            << c.nr << " " << c.oldest;
        EXPECT_EQ(NrSpan(c.oldest, c.nr), c.relative);
    }
}

TEST_F(FilterTest, OnlyErroneousTelegramsPlusInternalRecords) {
    f.okein = 0;
    f.fehlein = 1;
    NormaliseFilter(f, ap);
    EXPECT_EQ(f.def, 1);
    EXPECT_TRUE(Accepts(Frame(10, ST_CHECKSUM)));
    EXPECT_TRUE(Accepts(Frame(10, 39)));
    EXPECT_FALSE(Accepts(Frame(10, ST_OK)));
    T_Telegramm ev = Frame(0, ST_LINK_UP);
    ev.ta = TA_INTERNAL;
    ev.stat = 39; // an event below 40 counts as erroneous here
    EXPECT_TRUE(Accepts(ev));
}

TEST_F(FilterTest, InternalRecordsPassTheChannelChoice) {
    f.ekbits = 2; // sent on channel 1 only
    NormaliseFilter(f, ap);
    T_Telegramm ev = Frame(0, ST_LINK_UP, EK_RX1);
    ev.ta = TA_INTERNAL;
    EXPECT_TRUE(Accepts(ev));
    EXPECT_TRUE(Accepts(ev, true));
    EXPECT_FALSE(Accepts(SinglePoints({{1, 0}}, EK_RX1)));
    EXPECT_TRUE(Accepts(SinglePoints({{1, 0}}, EK_TX1)));
}

TEST_F(FilterTest, WrappingRangeOnTheType) {
    Row(RowOf(FF_TYP), 1, 250, 2, 10);
    auto typed = [](int typ) {
        T_Telegramm te = SinglePoints({{1, 0}});
        te.typ = static_cast<uint8_t>(typ);
        return te;
    };
    for (int t : {250, 255, 0, 10}) EXPECT_TRUE(Accepts(typed(t))) << t;
    for (int t : {11, 249, 100}) EXPECT_FALSE(Accepts(typed(t))) << t;
    // Does not match: the outcome is inverted.
    Row(RowOf(FF_TYP), 2, 250, 2, 10);
    EXPECT_TRUE(Accepts(typed(100)));
    EXPECT_FALSE(Accepts(typed(5)));
    // Equal to one of two values.
    Row(RowOf(FF_TYP), 1, 3, 1, 5);
    EXPECT_TRUE(Accepts(typed(5)));
    EXPECT_FALSE(Accepts(typed(4)));
}

TEST_F(FilterTest, FramesWithoutTheTestedFields) {
    Row(RowOf(FF_TYP), 1, 30);
    T_Telegramm fixed = Frame(5, ST_OK);
    fixed.ta = TA_FIXED;
    fixed.lc = 0x49;
    EXPECT_TRUE(Accepts(fixed)) << "a fixed frame has no type: accepted at once";
    T_Telegramm e5 = Frame(1, ST_OK);
    e5.ta = TA_FIXED;
    e5.b[0] = 0xE5;
    Row(RowOf(FF_LA), 1, 9);
    EXPECT_TRUE(Accepts(e5));
    fixed.la = 3;
    EXPECT_FALSE(Accepts(fixed)) << "the link address of a fixed frame is tested";
    fixed.la = 9;
    EXPECT_TRUE(Accepts(fixed));
    // The control field of a fixed frame: function and PRM bit.
    Row(RowOf(FF_LC), 1, 0x49 & 0x4F);
    EXPECT_TRUE(Accepts(fixed));
    fixed.lc = 0x0B;
    EXPECT_FALSE(Accepts(fixed));
    // Frames too broken to decode pass.
    EXPECT_TRUE(Accepts(Frame(5, ST_CHECKSUM)));
}

TEST_F(FilterTest, RelativeTelegramNumber) {
    Row(0, 1, 5, 2, 7);
    T_Telegramm te = SinglePoints({{1, 0}});
    te.nr = 6;
    EXPECT_TRUE(Accepts(te));
    te.nr = 8;
    EXPECT_FALSE(Accepts(te));
}

TEST_F(FilterTest, ObjectAddressPartsAndQuality) {
    // Object address of three 8-bit fields: the third is the low octet.
    Row(RowOf(FF_OA1 + 2), 1, 5);
    EXPECT_TRUE(Accepts(SinglePoints({{0x010204, 0}, {0x010205, 0}})));
    EXPECT_FALSE(Accepts(SinglePoints({{0x010204, 0}, {0x050506, 0}})));
    // Both in force: one object must pass both.
    f.qmask1 = QB_IV;
    NormaliseFilter(f, ap);
    EXPECT_FALSE(Accepts(SinglePoints({{0x000005, 0x00}, {0x000006, 0x80}})));
    EXPECT_TRUE(Accepts(SinglePoints({{0x000006, 0x00}, {0x000005, 0x81}})));
    // Quality alone: at least one bit of the first mask, none of the second.
    Row(RowOf(FF_OA1 + 2), 0, 0);
    f.qmask1 = QB_IV | QB_BL;
    f.qmask2 = QB_NT;
    NormaliseFilter(f, ap);
    EXPECT_TRUE(Accepts(SinglePoints({{1, 0x10}})));
    EXPECT_FALSE(Accepts(SinglePoints({{1, 0x00}})));
    EXPECT_FALSE(Accepts(SinglePoints({{1, 0x90 | 0x40}})));
    // Types without quality fail the quality test.
    T_Telegramm other = SinglePoints({{1, 0x80}});
    other.typ = 100;
    EXPECT_FALSE(Accepts(other));
}

TEST_F(FilterTest, DisplayWithoutFilterHidesCorrectFixedFramesWithoutTheLinkLine) {
    linkLine = false;
    T_Telegramm fixed = Frame(5, ST_OK), bad = Frame(5, ST_CHECKSUM);
    fixed.ta = bad.ta = TA_FIXED;
    fixed.lga = bad.lga = 38;
    FilterEnv env{ap, LayoutOf(ap), 1, false};
    EXPECT_FALSE(DisplayAccepts(fixed, env));
    EXPECT_TRUE(DisplayAccepts(bad, env));
    env.linkLine = true;
    EXPECT_TRUE(DisplayAccepts(fixed, env));
    T_Telegramm end{};
    EXPECT_FALSE(DisplayAccepts(end, env));
    // An active display filter decides alone, and hides fixed frames without the link line.
    ap.afilt.aktiv = 1;
    NormaliseFilter(ap.afilt, ap);
    env.linkLine = false;
    EXPECT_FALSE(DisplayAccepts(fixed, env));
    T_Telegramm ev = Frame(0, ST_LINK_UP);
    ev.ta = TA_INTERNAL;
    ev.lga = 32;
    EXPECT_TRUE(DisplayAccepts(ev, env));
}

TEST(NamedFilter, FilesOfExactly388Bytes) {
    std::string dir = test::TempDir("filters");
    T_AllgPar ap = DefaultAllgPar();
    T_Filter f{};
    f.z[4].rel = 1;
    f.z[4].w1 = 13;
    f.qmask2 = QB_IV;
    NormaliseFilter(f, ap);
    ASSERT_TRUE(SaveNamedFilter(dir + "Types.flt", f));
    T_Filter back{};
    ASSERT_TRUE(LoadNamedFilter(dir + "Types.flt", back, ap));
    EXPECT_EQ(back.lg, 388);
    EXPECT_EQ(back.z[4].w1, 13);
    EXPECT_EQ(back.qmask2, QB_IV);

    std::vector<uint8_t> d;
    ASSERT_TRUE(ReadWholeFile(dir + "Types.flt", d, 1000));
    ASSERT_EQ(d.size(), 388u);
    auto write = [&](const std::string& p, const std::vector<uint8_t>& bytes) {
        std::ofstream o(p, std::ios::binary);
        o.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    };
    write(dir + "short.flt", {d.begin(), d.end() - 1});
    auto wrongLen = d;
    wrongLen[2] = 0x83;
    write(dir + "len.flt", wrongLen);
    T_Filter keep{};
    keep.qmask1 = 9;
    EXPECT_FALSE(LoadNamedFilter(dir + "short.flt", keep, ap));
    EXPECT_FALSE(LoadNamedFilter(dir + "len.flt", keep, ap));
    EXPECT_FALSE(LoadNamedFilter(dir + "missing.flt", keep, ap));
    EXPECT_EQ(keep.qmask1, 9);
    std::vector<uint8_t> after;
    ReadWholeFile(dir + "short.flt", after, 1000);
    EXPECT_EQ(after.size(), 387u);
    write(dir + "note.txt", {1});
    EXPECT_EQ(NamedFilters(dir, "flt"), (std::vector<std::string>{"Types", "len", "short"}));
}

} // namespace
} // namespace vdl
