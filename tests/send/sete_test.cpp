// The send telegram set: the initial set, the parameter set block and the value formats.
#include "send/sete.h"

#include "support/frames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace vdl;
using namespace vdl::test;

TEST(SeTeSet, InitialSet) {
    TextTable tx = MakeTexts({{71, "M_SP_NA_1  Single-point information"},
                              {170, "C_IC_NA_1  Interrogation command with a very long name"},
                              {174, "C_TS_NA_1  Test command"}});
    SeTeSet s;
    s.at(3).stat = 2;
    InitialSeTeSet(s, tx);
    const int types[] = {1, 2, 3, 4, 5, 6, 7, 8, 100, 104, 45, 46};
    for (int n = 1; n <= kSeTeCount; ++n) {
        const T_SeTe& t = s.at(n);
        EXPECT_EQ(t.typ, types[n - 1]) << n;
        EXPECT_EQ(t.urs, n <= 8 ? 3 : 6) << n;
        EXPECT_EQ(t.snr, 2);
        EXPECT_EQ(t.anzt, 1);
        EXPECT_EQ(t.la, 1u);
        EXPECT_EQ(t.struk, 1);
        EXPECT_EQ(t.stat, 0);
        EXPECT_EQ(t.anst, 0);
        EXPECT_EQ(t.inf.l, n == 9 ? 20 : (n == 10 ? 0x55AA : 1)) << n;
    }
    EXPECT_EQ(s.at(1).bez.str(), "Single-point information");
    EXPECT_EQ(s.at(9).bez.str(), "Interrogation command with "); // 27 characters
    EXPECT_EQ(s.at(2).bez.str(), "");
}

TEST(SeTeSet, ParameterSetBlockRoundTripsByteForByte) {
    std::vector<uint8_t> block(kSeTeSetBlockLen);
    std::mt19937 rnd(7);
    for (uint8_t& b : block) b = static_cast<uint8_t>(rnd());
    const uint32_t len = kSeTeSetBlockLen;
    std::memcpy(block.data(), &len, 4);
    // The line-list reference of every record is stored as 0.
    for (int i = 0; i < kSeTeCount; ++i) std::memset(block.data() + 4 + i * kSeTeLen + 52, 0, 4);
    SeTeSet s;
    s.lines[4] = {{1, 2, 3}};
    ASSERT_TRUE(TakeSeTeBlock(s, block));
    EXPECT_TRUE(s.lines[4].empty());
    EXPECT_EQ(SeTeBlock(s), block);
    // A block of another length is refused and changes nothing.
    std::vector<uint8_t> other = block;
    other[0] ^= 1;
    const T_SeTe before = s.at(1);
    EXPECT_FALSE(TakeSeTeBlock(s, other));
    EXPECT_EQ(std::memcmp(&before, &s.at(1), sizeof before), 0);
}

TEST(SeTeSet, ValueFormats) {
    TextTable tx = MakeTexts({{937, "1 0..1  state"},
                              {941, "1 -64..63  step"},
                              {943, "2 bitstring"},
                              {949, "5 float"},
                              {950, "3 0..0  none"}});
    struct Row {
        int pick, kind;
        bool ranged;
        long long lo, hi;
        const char* hint;
    } rows[] = {
        {0, VAL_DEC, true, 0, 1, "0..1  state"},  {4, VAL_DEC, true, -64, 63, "-64..63  step"},
        {6, VAL_HEX, false, 0, 0, "bitstring"},   {12, VAL_FLOAT, false, 0, 0, "float"},
        {13, VAL_BIN, false, 0, 0, "0..0  none"}, {14, VAL_NONE, false, 0, 0, ""}};
    for (const Row& r : rows) {
        ValueFormat f = ValueFormatOf(r.pick, tx);
        EXPECT_EQ(f.kind, r.kind) << r.pick;
        EXPECT_EQ(f.ranged, r.ranged) << r.pick;
        if (r.ranged) {
            EXPECT_EQ(f.lo, r.lo);
            EXPECT_EQ(f.hi, r.hi);
        }
        EXPECT_EQ(f.hint, r.hint);
    }
}
