#include "asdu/address_text.h"

#include "asdu/asdu_layout.h"
#include "support/frames.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Settings {
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    void Structures(T_AdrStruktur ca, T_AdrStruktur oa) {
        ap.castr = ca;
        ap.oastr = oa;
        DeriveAsduLayout(av, ap);
    }
};

} // namespace

TEST(AddressStructure, CommonAddressStructures) {
    T_AdrStruktur s{};
    EXPECT_TRUE(ParseAdrStruktur("4.4.8", 16, s));
    EXPECT_EQ(s.anz, 3);
    EXPECT_EQ(s.fd[0], 4);
    EXPECT_EQ(s.fd[2], 8);
    EXPECT_TRUE(ParseAdrStruktur("4.4", 16, s));
    EXPECT_EQ(s.anz, 2);
    EXPECT_FALSE(ParseAdrStruktur("3.4", 16, s)); // 7 bits
    EXPECT_EQ(s.anz, 0);
    EXPECT_FALSE(ParseAdrStruktur("0.16", 16, s));  // a field without bits
    EXPECT_FALSE(ParseAdrStruktur("8.8.8", 16, s)); // 24 bits for a common address
    EXPECT_TRUE(ParseAdrStruktur("8.8.8", 24, s));  // ... fine for an object address
    EXPECT_TRUE(ParseAdrStruktur("16", 16, s));
    EXPECT_FALSE(ParseAdrStruktur("", 16, s));
    EXPECT_FALSE(ParseAdrStruktur("x", 16, s));
    // Six fields cannot be stored; the text is refused rather than cut.
    EXPECT_FALSE(ParseAdrStruktur("1 1 1 1 4 8", 24, s));
    EXPECT_TRUE(ParseAdrStruktur("1 1 1 1 4", 24, s));
}

TEST(AddressStructure, TextUsesTheSeparatorText) {
    TextTable t = MakeTexts({{26, "."}});
    EXPECT_EQ(AdrStrukturText({3, {4, 4, 8, 0, 0}}, t), "4.4.8");
    t.Replace(26, " / ");
    EXPECT_EQ(AdrStrukturText({2, {8, 16, 0, 0, 0}}, t), "8 / 16");
}

TEST(AddressText, StructuredDisplay) {
    Settings s;
    s.Structures({2, {8, 8, 0, 0, 0}}, {3, {8, 8, 8, 0, 0}});
    EXPECT_EQ(FormatCa(0x0C05, s.av, s.ap), " 12-  5");
    EXPECT_EQ(FormatOa(0x010203, s.av, s.ap), "  1-  2-  3");
    s.Structures({3, {4, 4, 8, 0, 0}}, {1, {24, 0, 0, 0, 0}});
    EXPECT_EQ(FormatCa(0xAB07, s.av, s.ap), "10-11-  7");
    EXPECT_EQ(FormatOa(1234567, s.av, s.ap), " 1234567");
}

TEST(AddressText, ParseWithStructureAndShortForm) {
    Settings s;
    s.Structures({2, {8, 8, 0, 0, 0}}, {2, {8, 8, 0, 0, 0}});
    uint32_t v = 99;
    EXPECT_TRUE(ParseOa("5", v, s.av, s.ap, true));
    EXPECT_EQ(v, 5u);
    EXPECT_TRUE(ParseOa("1 5", v, s.av, s.ap, true));
    EXPECT_EQ(v, 0x0105u);
    EXPECT_FALSE(ParseOa("300", v, s.av, s.ap, true)); // does not fit the last field
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(ParseOa("300", v, s.av, s.ap)); // a plain number up to the largest address
    EXPECT_EQ(v, 300u);
    EXPECT_FALSE(ParseOa("65536", v, s.av, s.ap));
    EXPECT_TRUE(ParseOa("12-5", v, s.av, s.ap));
    EXPECT_EQ(v, 0x0C05u);
    EXPECT_FALSE(ParseOa("1-256", v, s.av, s.ap)); // field above its maximum
    EXPECT_FALSE(ParseOa("1 2 3", v, s.av, s.ap)); // more numbers than fields
    EXPECT_FALSE(ParseOa("1 2 3", v, s.av, s.ap, true));
    EXPECT_FALSE(ParseOa("", v, s.av, s.ap));
    EXPECT_FALSE(ParseOa("G", v, s.av, s.ap));
    // Hexadecimal with the prefix; a letter without it is not a number.
    EXPECT_TRUE(ParseOa("$1F", v, s.av, s.ap));
    EXPECT_EQ(v, 31u);
    EXPECT_TRUE(ParseOa("$1 $ff", v, s.av, s.ap));
    EXPECT_EQ(v, 0x01FFu);
    EXPECT_FALSE(ParseOa("1F", v, s.av, s.ap));
    // Without the prefix character in text 25 the "$" separates like any other character.
    s.av.khex = '#';
    EXPECT_TRUE(ParseOa("$20", v, s.av, s.ap));
    EXPECT_EQ(v, 20u);
}

TEST(AddressText, CommonAddressRange) {
    Settings s;
    s.Structures({2, {8, 8, 0, 0, 0}}, {3, {8, 8, 8, 0, 0}});
    uint32_t v = 0;
    EXPECT_TRUE(ParseCa("65535", v, s.av, s.ap));
    EXPECT_FALSE(ParseCa("65536", v, s.av, s.ap));
    // A one-octet common address cannot hold 300 (it would be sent as 44).
    s.Structures({1, {8, 0, 0, 0, 0}}, {3, {8, 8, 8, 0, 0}});
    EXPECT_TRUE(ParseCa("255", v, s.av, s.ap));
    EXPECT_FALSE(ParseCa("300", v, s.av, s.ap));
    EXPECT_EQ(v, 0u);
}

TEST(AddressText, InstalledAfterTextLoad) {
    Settings s;
    s.Structures({3, {4, 4, 8, 0, 0}}, {1, {24, 0, 0, 0, 0}});
    TextTable t = MakeTexts({{26, "."}, {1227, " Bit"}, {836, "old"}, {839, "old"}});
    InstallAsduTexts(t, s.av, s.ap);
    EXPECT_EQ(t.tx(836), "4.4.8 Bit");
    EXPECT_EQ(t.tx(839), "24 Bit");
    EXPECT_EQ(s.av.maxpicktyp, 64);
    EXPECT_EQ(s.av.TypStr[0], 1);
}
