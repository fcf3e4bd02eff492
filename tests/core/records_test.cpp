#include "core/channel.h"
#include "core/records.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vdl;

TEST(BetriebsPar, StoredFormsOf492And144Bytes) {
    T_BetriebsPar stored = DefaultBetriebsPar();
    stored.cnr = 7;
    stored.baud = 19200;
    stored.logtxt.set("station A");
    std::vector<uint8_t> bytes(sizeof stored);
    std::memcpy(bytes.data(), &stored, sizeof stored);

    T_BetriebsPar bp{};
    ASSERT_TRUE(ReadBetriebsPar(bp, bytes.data(), bytes.size()));
    EXPECT_EQ(bp.cnr, 7);
    EXPECT_EQ(bp.logtxt.str(), "station A");

    // The older form of 144 bytes fills only its own bytes; logtxt (offset 144) stays.
    T_BetriebsPar cur = DefaultBetriebsPar();
    cur.logtxt.set("kept");
    cur.cnr = 1;
    std::vector<uint8_t> old(bytes.begin(), bytes.begin() + 144);
    int32_t lg = 144;
    std::memcpy(old.data(), &lg, 4);
    ASSERT_TRUE(ReadBetriebsPar(cur, old.data(), old.size()));
    EXPECT_EQ(cur.cnr, 7);
    EXPECT_EQ(cur.baud, 19200);
    EXPECT_EQ(cur.logtxt.str(), "kept");
    EXPECT_EQ(cur.lg, 492);

    // Another length, or a buffer shorter than its length field says, changes nothing.
    T_BetriebsPar untouched = DefaultBetriebsPar();
    lg = 300;
    std::memcpy(bytes.data(), &lg, 4);
    EXPECT_FALSE(ReadBetriebsPar(untouched, bytes.data(), bytes.size()));
    lg = 492;
    std::memcpy(bytes.data(), &lg, 4);
    EXPECT_FALSE(ReadBetriebsPar(untouched, bytes.data(), 200));
    EXPECT_EQ(untouched.cnr, 0);
}

TEST(Telegramm, ShortStringsAndBounds) {
    T_Telegramm t{};
    t.setS0("message");
    EXPECT_EQ(t.lg, 8);
    EXPECT_EQ(t.s0(), "message");
    t.setS0(std::string(300, 'x'));
    EXPECT_EQ(t.b[0], 255);
    EXPECT_EQ(t.lg, 256);
    t.lg = 400;
    EXPECT_EQ(t.validLen(), 270);
    t.lg = -3;
    EXPECT_EQ(t.validLen(), 0);

    T_ShortStr<83> s{};
    s.set(std::string(100, 'y'));
    EXPECT_EQ(s.len, 83);
    s.len = 200; // a damaged length octet never reads past the field
    EXPECT_EQ(s.str().size(), 83u);
}

TEST(ChannelRecords, ChannelTwoIsACopyWithItsOwnNumbers) {
    T_ComVar c1, c2;
    InitChannelRecords(c1, c2);
    EXPECT_EQ(c1.em.enr, 1);
    EXPECT_EQ(c1.se.snr, 2);
    EXPECT_EQ(c2.em.enr, 3);
    EXPECT_EQ(c2.se.snr, 4);
    EXPECT_EQ(c1.bp.la.a[0], 1);
    EXPECT_EQ(c2.bp.la.a[0], 2);
    EXPECT_EQ(c2.bp.baud, c1.bp.baud);
    EXPECT_EQ(c2.bp.fkt, c1.bp.fkt);
}
