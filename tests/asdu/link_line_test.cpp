#include "asdu/link_line.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

struct LinkLineTest : ::testing::Test {
    TextTable t = MakeTexts(RenderWords());
};

} // namespace

TEST_F(LinkLineTest, UnbalancedPrimaryRequestNamesFunctionAndFlags) {
    // 0x5B: PRM 1, FCB 0, FCV 1, function 11 (request class 2 data).
    T_Telegramm te = Record(Fixed(0x5B, 7));
    te.lc = 0x5B;
    te.la = 7;
    EXPECT_EQ(LinkLineText(t, te, PRO_UNBALANCED, 1, 0),
              "Link     :  LA=7   FC11=uP11 CF=$5B RES=0 PRM=1 FCB=0 FCV=1");
    EXPECT_EQ(ControlFlags(t, 0x5B, PRO_UNBALANCED), " RES=0 PRM=1 FCB=0 FCV=1");
}

TEST_F(LinkLineTest, BalancedSecondaryUsesDirAcdDfcWords) {
    // 0x80: DIR 1, secondary, ACD 0, DFC 0, function 0 (positive acknowledgement).
    T_Telegramm te = Record(Fixed(0x80, 3));
    te.lc = 0x80;
    te.la = 3;
    EXPECT_EQ(LinkLineText(t, te, PRO_BALANCED, 1, 0),
              "Link     :  LA=3   FC0=bS0 CF=$80 DIR=1 PRM=0 ACD=0 DFC=0");
    // Secondary frames move the value column by the indent, after the colon.
    EXPECT_EQ(LinkLineText(t, te, PRO_BALANCED, 0, 4).substr(0, 18), "Link     :      FC");
}

TEST_F(LinkLineTest, SingleCharacterHasNoAddressPart) {
    T_Telegramm te = Record(Bytes{0xE5});
    te.lc = 0xE5;
    te.la = 0;
    EXPECT_EQ(LinkLineText(t, te, PRO_UNBALANCED, 2, 0), "Link     :  single char E5");
    // One-line view: five blanks for the missing 2-octet address.
    EXPECT_EQ(LinkShortForm(te, 2), "      $E5  ");
}

TEST_F(LinkLineTest, ShortFormWidthFollowsLinkAddressLength) {
    T_Telegramm te = Record(Fixed(0x49, 12));
    te.lc = 0x49;
    te.la = 12;
    EXPECT_EQ(LinkShortForm(te, 0), " $49  ");
    EXPECT_EQ(LinkShortForm(te, 1), " 12 $49  ");
    EXPECT_EQ(LinkShortForm(te, 2), "   12 $49  ");
}
