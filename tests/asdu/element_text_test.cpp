#include "asdu/element_text.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

// Renders one element of type typ from the given octets, as the full view (format 3) or the
// others; checks that the cursor moved over exactly `advance` octets.
struct ElementTextTest : ::testing::Test {
    TextTable t = MakeTexts(RenderWords());
    FixedLocale loc{"dd/mm/yyyy", "d/mm/yyyy", "hh:nn:ss", '.', ':', NumberFormat{',', '.'}};

    std::string Text(int typ, const Bytes& el, bool full, int advance = -1,
                     int32_t mwvoll = 32767) {
        T_Telegramm te{};
        te.typ = static_cast<uint8_t>(typ);
        te.lg = static_cast<int16_t>(20 + el.size());
        std::memcpy(te.b + 20, el.data(), el.size());
        ElementTextEnv env{t, loc, full, '$', "01", mwvoll};
        int pos = 20;
        std::string s = ElementText(te, pos, env);
        if (advance >= 0) {
            EXPECT_EQ(pos - 20, advance) << "type " << typ;
        }
        return s;
    }
};

} // namespace

TEST_F(ElementTextTest, NormalisedValueDecimalsFollowThePercentage) {
    // -16384 of 32767 is -50.0015 %: two decimals.
    EXPECT_EQ(Text(9, {0x00, 0xC0, 0x00}, true, 3), "-16384=-50.00%  ");
    EXPECT_EQ(Text(9, {0xE8, 0x03, 0x00}, true), "  1000= 3.052%  ");
    EXPECT_EQ(Text(9, {0xFF, 0x7F, 0x00}, true, 3, 16384), " 32767= 200.0%  ");
    // A full scale of 0 in the settings does not divide by zero.
    EXPECT_EQ(Text(21, {0x00, 0x40}, false, 2, 0), " 16384= 50.00%  ");
}

TEST_F(ElementTextTest, StepPositionIsSignedSevenBitsWithTransientWord) {
    EXPECT_EQ(Text(5, {0x7F, 0x00}, true, 2), "-1  ");
    EXPECT_EQ(Text(5, {0xC1, 0x00}, true), "-63  transient ");
    EXPECT_EQ(Text(5, {0xC1, 0x00}, false), "-63  T ");
    EXPECT_EQ(Text(5, {0x3F, 0x80}, true), "63  invalid  ");
}

TEST_F(ElementTextTest, QualityWordsAreLongOnlyInTheFullViewWithAtMostTwoBits) {
    EXPECT_EQ(Text(1, {0x81}, true, 1), "ON invalid  ");
    EXPECT_EQ(Text(1, {0x81}, false), "ON IV  ");
    EXPECT_EQ(Text(1, {0xF0}, true), "OFF IV NT SB BL  ");
    // A reserved bit counts towards the two.
    EXPECT_EQ(Text(1, {0x92}, true), "OFF IV BL RES  ");
    EXPECT_EQ(Text(3, {0x02 | 0x40}, true), "ON not topical  ");
    // QDS: the overflow word, long with at most three bits of the octet.
    EXPECT_EQ(Text(11, {0x05, 0x00, 0x01}, true, 3), "     5  overflow  ");
    EXPECT_EQ(Text(11, {0x05, 0x00, 0xF1}, true), "     5  IV NT SB BL OV  ");
}

TEST_F(ElementTextTest, CounterWordsAndSequenceNumber) {
    // Sequence octet 0xE5: IV, CA and CY set, so the short words; sequence number 5.
    EXPECT_EQ(Text(15, {0x87, 0xD6, 0x12, 0x00, 0xE5}, true, 5), "IV CA CY  Seq=5  1,234,567  ");
    EXPECT_EQ(Text(15, {0x07, 0x00, 0x00, 0x00, 0x83}, true), "invalid  Seq=3        7  ");
    EXPECT_EQ(Text(15, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}, false), "SQ=0       -1  ");
}

TEST_F(ElementTextTest, BitStringsInBitsOrHexadecimal) {
    Bytes bits{0x01, 0x00, 0x00, 0x80, 0x00};
    EXPECT_EQ(Text(7, bits, true, 5), "10000000  00000000  00000000  00000001  ");
    EXPECT_EQ(Text(7, bits, false), "$80 $00 $00 $01  ");
    EXPECT_EQ(Text(33, {0x01, 0x00, 0x00, 0x80, 0x00, 0, 0, 0, 0, 0, 0, 0}, true, 12).substr(0, 17),
              "$80 $00 $00 $01  ");
    // Type 8 turns to hexadecimal in the full view when the quality text is not empty.
    EXPECT_EQ(Text(8, {0x01, 0x00, 0x00, 0x80, 0x80, 0, 0, 0}, true, 8).substr(0, 26),
              "$80 $00 $00 $01  invalid  ");
    EXPECT_EQ(Text(51, {0x0F, 0x00, 0x00, 0xF0}, true, 4),
              "11110000  00000000  00000000  00001111");
    // With a time tag, a blank between the bits and the date.
    EXPECT_EQ(
        Text(64, {0x0F, 0x00, 0x00, 0xF0, 0x10, 0x27, 0x00, 0x00, 0x01, 0x01, 0x18}, true, 11),
        "11110000  00000000  00000000  00001111 01.01.2024  00:00:10,000");
}

TEST_F(ElementTextTest, ShortFloatWithNotANumberAndInfinities) {
    EXPECT_EQ(Text(13, {0x00, 0x00, 0xC0, 0x3F, 0x00}, true, 5), "1.5  ");
    EXPECT_EQ(Text(13, {0x00, 0x00, 0xC0, 0x7F, 0x00}, true), "NaN  ");
    EXPECT_EQ(Text(36, {0x00, 0x00, 0x80, 0x7F, 0x80, 0, 0, 0, 0, 0, 0, 0}, false, 12).substr(0, 9),
              "+Inf  IV ");
    EXPECT_EQ(Text(112, {0x00, 0x00, 0x80, 0xFF, 0x01}, true), "-Inf  threshold");
    EXPECT_EQ(Text(50, {0x00, 0x00, 0x80, 0xBF, 0x85}, true, 5), "-1  execute qualifier 5  ");
    EXPECT_EQ(Text(50, {0x00, 0x00, 0x80, 0xBF, 0x05}, false), "-1  S QL=5  ");
}

TEST_F(ElementTextTest, TimeTags) {
    // CP24: 1.234 s, minute 5 with IV.
    EXPECT_EQ(Text(2, {0x01, 0xD2, 0x04, 0x85}, true, 4), "ON 05:01,234 IV ");
    // CP56: 4 March 2015, Wednesday (3), 12:34:56.789, summer time.
    Bytes cp56{0xD5, 0xDD, 0x22, 0x8C, 0x64, 0x03, 0x0F};
    Bytes el{0x00};
    el.insert(el.end(), cp56.begin(), cp56.end());
    EXPECT_EQ(Text(30, el, true, 8), "OFF DoW3 04.03.2015  SU 12:34:56,789");
    // Month 13 cannot exist: the date shows as 1 January of the year.
    el[6] = 0x0D;
    el[5] = 0x04; // day 4, no day of week
    EXPECT_EQ(Text(30, el, true), "OFF 01.01.2015  SU 12:34:56,789");
    // A command with time tag shows its time as well.
    Bytes sc{0x01, 0x10, 0x27, 0x00, 0x00, 0x01, 0x01, 0x18};
    EXPECT_EQ(Text(58, sc, false, 8), "ON S QU=0  01.01.2024  00:00:10,000");
}

TEST_F(ElementTextTest, ProtectionEventsWithElapsedTime) {
    Bytes el{0x0A, 0xE8, 0x03, 0x00, 0x00, 0x00}; // ON, EI set, 1000 ms
    EXPECT_EQ(Text(17, el, true, 6), "ON EI 01,000s  00:00,000 ");
    Bytes spe{0x21, 0x84, 0x0F, 0x00, 0, 0, 0}; // SRD and GS, QDP IV with a reserved bit
    EXPECT_EQ(Text(18, spe, true, 7), "SRD GS  invalid RES  t=00,015s  00:00,000 ");
    Bytes oci{0x93, 0x00, 0x10, 0x27, 0, 0, 0};
    EXPECT_EQ(Text(19, oci, false, 7), "RES CL1 GC t=10,000s  00:00,000 ");
}

TEST_F(ElementTextTest, CommandsAndSystemInformation) {
    EXPECT_EQ(Text(45, {0x81}, true, 1), "ON execute qualifier 0  ");
    EXPECT_EQ(Text(45, {0x06}, false), "OFF S short   reserved ");
    EXPECT_EQ(Text(46, {0x0A}, true), "ON select long   ");
    // A double command's states 0 and 3 are not permitted (a double point's are not).
    EXPECT_EQ(Text(46, {0x00}, false), "not allowed S QU=0  ");
    EXPECT_EQ(Text(59, {0x83, 0, 0, 0, 0, 1, 1, 0x18}, false, 8),
              "not allowed E QU=0  01.01.2024  00:00:00,000");
    EXPECT_EQ(Text(3, {0x03}, false), "ERR ");
    EXPECT_EQ(Text(47, {0x02}, true), "higher select qualifier 0  ");
    EXPECT_EQ(Text(70, {0x81}, true, 1), "manual reset  changed");
    EXPECT_EQ(Text(70, {0x05}, true), "qualifier 5  ");
    EXPECT_EQ(Text(100, {20}, true, 1), "station");
    EXPECT_EQ(Text(100, {22}, true), "group 2");
    EXPECT_EQ(Text(101, {0x45}, true, 1), "general  freeze");
    EXPECT_EQ(Text(101, {0x02}, true), "group 2  read");
    EXPECT_EQ(Text(104, {0x34, 0x12}, true, 2), "$1234");
    EXPECT_EQ(Text(105, {2}, true, 1), "test");
    EXPECT_EQ(Text(106, {0xE8, 0x03}, true, 2), "1000 ms");
    EXPECT_EQ(Text(110, {0x00, 0x40, 0xC1}, true, 3), " 16384= 50.00%  POP LPC threshold");
    EXPECT_EQ(Text(111, {0x05, 0x00, 0x07}, false, 3), "     5  K=7");
    EXPECT_EQ(Text(113, {3}, true, 1), "act3");
    EXPECT_EQ(Text(102, {}, true, 0), "");
}

TEST_F(ElementTextTest, FileTransferElements) {
    EXPECT_EQ(Text(120, {0x02, 0x00, 0x10, 0x27, 0x00, 0x80}, true, 6),
              "NOF=2      L=10000      FRQ=$80 not ready");
    EXPECT_EQ(Text(122, {0x02, 0x00, 0x01, 0x01}, true, 4), "NOF=2      NOS=1 SCQ=$01 select file");
    EXPECT_EQ(Text(124, {0x02, 0x00, 0x01, 0x31}, true, 4),
              "NOF=2      NOS=1 AFQ=$31 positive file");
    // The segment shows its length; the cursor stands at its data.
    EXPECT_EQ(Text(125, {0x02, 0x00, 0x01, 0x05, 0xAA}, true, 4), "NOF=2      NOS=1 L=5");
    Bytes dir{0x03, 0x00, 0x64, 0x00, 0x00, 0x20, 0xD5, 0xDD, 0x22, 0x0C, 0x04, 0x03, 0x0F};
    EXPECT_EQ(Text(126, dir, true, 13),
              "NOF=3      L=100        SOF=$20  04.03.2015  12:34:56,789");
}

TEST_F(ElementTextTest, TypesWithoutElementTextLeaveTheCursor) {
    EXPECT_EQ(Text(22, {0x01, 0x02}, true, 0), "");
    EXPECT_EQ(Text(200, {0x01}, true, 0), "");
}

TEST_F(ElementTextTest, OctetsBeyondTheRecordReadAsZero) {
    T_Telegramm te{};
    te.typ = 13;
    te.lg = 10;
    std::memset(te.b, 0x41, sizeof te.b); // stale bytes behind the frame must not show
    ElementTextEnv env{t, loc, true, '$', "01", 32767};
    int pos = 10; // the element would start at the end of the record
    EXPECT_EQ(ElementText(te, pos, env), "0  ");
}
