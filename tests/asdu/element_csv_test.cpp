#include "asdu/element_csv.h"

#include "asdu/asdu_header.h"
#include "support/frames.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

// A telegram of the given type whose first element starts at the returned position.
struct Element {
    T_Telegramm te;
    int pos;
};

Element Make(int typ, const Bytes& element) {
    T_AllgPar ap = DefaultAllgPar(); // link address 1, cause 1, common address 2, object address 3
    AsduLayout l = LayoutOf(ap);
    Bytes asdu{static_cast<uint8_t>(typ), 1, 3, 1, 0, 1, 0, 0};
    for (uint8_t x : element) asdu.push_back(x);
    Element e{Record(Variable(0x08, 1, asdu)), 0};
    DecodeHeader(e.te, FKT_MONITOR, l);
    e.pos = ObjectOffset(1, e.te, l);
    return e;
}

std::string Csv(int typ, const Bytes& element, int* advanced = nullptr) {
    Element e = Make(typ, element);
    int start = e.pos;
    std::string s = ElementCsv(e.te, e.pos, ';');
    if (advanced) *advanced = e.pos - start;
    return s;
}

} // namespace

TEST(ElementCsv, ValuesAndQuality) {
    EXPECT_EQ(Csv(1, Hex("91")), "1;144;");
    EXPECT_EQ(Csv(3, Hex("32")), "2;48;");
    // Step position: the octet as it stands, not sign-extended.
    EXPECT_EQ(Csv(5, Hex("C1 00")), "193;0;");
    EXPECT_EQ(Csv(7, Hex("78 56 34 12 80")), "305419896;128;");
    EXPECT_EQ(Csv(9, Hex("00 C0 01")), "-16384;1;");
    EXPECT_EQ(Csv(11, Hex("FF 7F 00")), "32767;0;");
    EXPECT_EQ(Csv(13, Hex("00 00 C0 3F 00")), "1.5;0;");
    // A counter reading is signed, a bit string is not.
    EXPECT_EQ(Csv(15, Hex("FB FF FF FF E5")), "-5;229;");
    EXPECT_EQ(Csv(7, Hex("FB FF FF FF 00")), "4294967291;0;");
    EXPECT_EQ(Csv(21, Hex("FE FF")), "-2;");
    EXPECT_EQ(Csv(100, Hex("14")), "20;");
    EXPECT_EQ(Csv(104, Hex("AA 55")), "21930;");
    EXPECT_EQ(Csv(45, Hex("81")), "1;128;");
    EXPECT_EQ(Csv(46, Hex("82")), "2;128;");
    EXPECT_EQ(Csv(102, Hex("")), "");
}

TEST(ElementCsv, NotANumberAndInfinitiesAreShownAsSent) {
    EXPECT_EQ(Csv(13, Hex("00 00 C0 7F 00")), "NaN;0;");
    EXPECT_EQ(Csv(13, Hex("00 00 C0 FF 00")), "NaN;0;"); // with the sign bit
    EXPECT_EQ(Csv(13, Hex("00 00 80 7F 00")), "+Inf;0;");
    EXPECT_EQ(Csv(50, Hex("00 00 80 FF 81")), "-Inf;129;");
    EXPECT_EQ(Csv(13, Hex("FF FF 7F 7F 00")), "3.402823E+38;0;"); // the largest finite value
}

TEST(ElementCsv, TimeTags) {
    int adv = 0;
    // CP24: milliseconds and the minute octet.
    EXPECT_EQ(Csv(2, Hex("01 10 27 85"), &adv), "1;0;10000;133;");
    EXPECT_EQ(adv, 4);
    // CP56: then hour, day, month and year.
    EXPECT_EQ(Csv(30, Hex("00 E8 03 05 0A 21 0C 1A"), &adv), "0;0;1000;5;10;33;12;26;");
    EXPECT_EQ(adv, 8);
    // Protection event with elapsed time, then the CP24 time tag.
    EXPECT_EQ(Csv(17, Hex("02 F4 01 00 00 00")), "2;0;500;0;0;");
    // Timed command: graded as 45 but carries its own CP56.
    EXPECT_EQ(Csv(58, Hex("01 00 00 00 00 01 01 1A")), "1;0;0;0;0;1;1;26;");
}

TEST(ElementCsv, FileTransferAndUnknownTypes) {
    EXPECT_EQ(Csv(120, Hex("05 00 10 27 00 00")), "5;10000;0;");
    EXPECT_EQ(Csv(121, Hex("05 00 01 20 00 00 00")), "5;1;32;0;");
    EXPECT_EQ(Csv(123, Hex("05 00 01 03 7F")), "5;1;3;127;");
    int adv = 9;
    EXPECT_EQ(Csv(23, Hex("01 02 03"), &adv), "");
    EXPECT_EQ(adv, 0);
}

TEST(ElementCsv, ElementCutByTheFrameEnd) {
    // A cursor at the end of the record: octets beyond it read as 0, nothing outside b.
    Element e = Make(13, Hex("00 00 C0 3F 00"));
    for (int i = e.te.lg; i < kTeByteLen; ++i) e.te.b[i] = 0x77;
    int pos = e.te.lg;
    EXPECT_EQ(ElementCsv(e.te, pos, ';'), "0;0;");
    pos = 268;
    EXPECT_EQ(ElementCsv(e.te, pos, ';'), "0;0;");
}
