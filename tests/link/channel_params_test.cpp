#include "link/channel_params.h"

#include "core/channel.h"

#include <gtest/gtest.h>

using namespace vdl;

TEST(LinkAddressList, RunsSeparatorsAndPrefix) {
    LinkAddressList l = ParseLinkAddressList("1, 2; 3x4", '$', 1);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.addresses, (std::vector<uint16_t>{1, 2, 3, 4}));

    l = ParseLinkAddressList("  $1F 10 $a ", '$', 1);
    EXPECT_EQ(l.addresses, (std::vector<uint16_t>{31, 10, 10}));

    // "1A" is a run but no decimal number: the scan ends, the numbers before it stay.
    l = ParseLinkAddressList("5 1A 7", '$', 1);
    EXPECT_EQ(l.addresses, (std::vector<uint16_t>{5}));

    // Sixteen addresses: the sixteenth is dropped without error.
    std::string s;
    for (int i = 1; i <= 16; ++i) s += std::to_string(i) + " ";
    l = ParseLinkAddressList(s, '$', 1);
    EXPECT_TRUE(l.valid);
    EXPECT_EQ(l.addresses.size(), 15u);
    EXPECT_EQ(l.addresses.back(), 15);
}

TEST(LinkAddressList, BroadcastAndAboveAreRefused) {
    EXPECT_FALSE(ParseLinkAddressList("1 255", '$', 1).valid);
    EXPECT_FALSE(ParseLinkAddressList("300", '$', 1).valid);
    EXPECT_TRUE(ParseLinkAddressList("254", '$', 1).valid);
    EXPECT_TRUE(ParseLinkAddressList("300 65534", '$', 2).valid);
    EXPECT_FALSE(ParseLinkAddressList("65535", '$', 2).valid);
    EXPECT_FALSE(ParseLinkAddressList("99999999", '$', 2).valid);

    T_LinkAdr la{};
    StoreLinkAddresses(ParseLinkAddressList("3 9", '$', 1), 1, la);
    EXPECT_EQ(la.anz, 2);
    EXPECT_EQ(la.a[0], 3);
    EXPECT_EQ(la.a[1], 9);
    EXPECT_EQ(la.a[2], 255);
    EXPECT_EQ(LinkAddressText(la), "3 9");
}

TEST(ChannelParams, ProposedTimeout) {
    EXPECT_EQ(ProposedTimeout(FKT_MONITOR, 9600, 255), 400); // round(2882000 / 9600 + 100)
    EXPECT_EQ(ProposedTimeout(FKT_ASCII, 1200, 255), 11);    // round(9.17) + 2
    EXPECT_EQ(ProposedTimeout(FKT_MASTER, 115200, 24), 103);
}

TEST(ChannelParams, CharacterFormatRule) {
    T_BetriebsPar bp = DefaultBetriebsPar();
    bp.pari = 0;
    bp.data = 7;
    bp.stop = 2;
    bp.tlg = 10;
    T_BetriebsPar ascii = bp;
    ascii.fkt = FKT_ASCII;
    ApplyCharacterFormatRule(ascii, false);
    EXPECT_EQ(ascii.data, 7);
    T_BetriebsPar freeFmt = bp;
    ApplyCharacterFormatRule(freeFmt, true);
    EXPECT_EQ(freeFmt.pari, 0);
    ApplyCharacterFormatRule(bp, false);
    EXPECT_EQ(bp.pari, 2);
    EXPECT_EQ(bp.data, 8);
    EXPECT_EQ(bp.stop, 1);
    EXPECT_EQ(bp.tlg, 24);
    EXPECT_TRUE(CharacterFormatEditable(FKT_FT12, false));
    EXPECT_FALSE(CharacterFormatEditable(FKT_MONITOR, false));
    EXPECT_TRUE(CharacterFormatEditable(FKT_MONITOR, true));
}
