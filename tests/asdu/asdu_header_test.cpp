#include "asdu/asdu_header.h"

#include "asdu/catalogue.h"
#include "support/frames.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

AsduLayout Layout(int lgla, int mitori, int lgca, int lgoa) {
    T_AllgPar ap{};
    ap.lgla = lgla;
    ap.mitori = mitori;
    ap.lgca = lgca;
    ap.lgoa = lgoa;
    return LayoutOf(ap);
}

// An ASDU: type, qualifier, cause (and originator), common address, then the objects.
Bytes Asdu(int typ, uint8_t struk, uint8_t cot, uint32_t ca, const Bytes& objects,
           const AsduLayout& l) {
    Bytes a{static_cast<uint8_t>(typ), struk, cot};
    if (l.mitori) a.push_back(0x07);
    for (int i = 0; i < l.lgca; ++i) a.push_back(static_cast<uint8_t>(ca >> (8 * i)));
    a.insert(a.end(), objects.begin(), objects.end());
    return a;
}

T_Telegramm Decoded(const Bytes& frame, const AsduLayout& l, int fkt = FKT_MONITOR) {
    T_Telegramm te = Record(frame);
    DecodeHeader(te, fkt, l);
    return te;
}

struct Grader {
    AsduLayout l = Layout(1, 1, 2, 3);
    TextTable texts = StandardTexts();
    T_TypUrsFarben pfu{};
    const T_TypUrsFarben* colours = nullptr;

    uint8_t Grade(int typ, uint8_t struk, uint8_t cot, const Bytes& objects, int extra = 0) {
        Bytes f = Variable(0x08, 1, Asdu(typ, struk, cot, 0x0102, objects, l), l.lgla);
        if (extra > 0) {
            // Longer by extra octets: insert before checksum and fix the length octets.
            f.insert(f.end() - 2, static_cast<size_t>(extra), 0);
            f[1] = f[2] = static_cast<uint8_t>(f[1] + extra);
        }
        T_Telegramm te = Decoded(f, l);
        bool ok = CheckAsdu(te, l, texts, colours);
        EXPECT_EQ(ok, te.stat == ST_OK);
        return te.stat;
    }
};

} // namespace

TEST(AsduLayout, DerivedPositions) {
    AsduLayout l = Layout(0, 0, 2, 3);
    EXPECT_EQ(l.TypI, 5);
    EXPECT_EQ(l.globla, 0xFF);
    l = Layout(1, 1, 2, 3);
    EXPECT_EQ(l.CaI, 10); // 9 + lgla
    EXPECT_EQ(l.OaI, 12);
    EXPECT_EQ(l.InfI, 15);
    l = Layout(2, 0, 1, 2);
    EXPECT_EQ(l.globla, 0xFFFF);
    EXPECT_EQ(l.globca, 0xFF);
    EXPECT_EQ(l.oamax, 0xFFFFu);

    // The derived values of the general state follow the structures of the settings.
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    ap.castr = {3, {4, 4, 8, 0, 0}};
    ap.oastr = {2, {8, 8, 0, 0, 0}};
    DeriveAsduLayout(av, ap);
    EXPECT_EQ(ap.lgca, 2);
    EXPECT_EQ(ap.lgoa, 2);
    EXPECT_EQ(av.OaI, LayoutOf(ap).OaI);
    EXPECT_EQ(av.InfI, LayoutOf(ap).InfI);
    EXPECT_EQ(av.cafmt, "%*d-%*d-%*d");
    EXPECT_EQ(av.lgcastr, 2 + 2 + 3 + 3);

    // A damaged settings record cannot move a position outside the header.
    ap.lgla = 70;
    ap.lgoa = -4;
    l = LayoutOf(ap);
    EXPECT_EQ(l.lgla, 2);
    EXPECT_EQ(l.lgoa, 1);
}

TEST(DecodeHeader, FixedVariableAndSingleCharacter) {
    AsduLayout l = Layout(2, 0, 2, 3);
    T_Telegramm te = Decoded(Fixed(0x5B, 0x1234, 2), l);
    EXPECT_EQ(te.lc, 0x5B);
    EXPECT_EQ(te.la, 0x1234);
    EXPECT_EQ(te.typ, 0);

    te = Decoded(Variable(0x73, 0x0201, Asdu(100, 1, 6, 0xABCD, Hex("00 00 00 14"), l), 2), l);
    EXPECT_EQ(te.lc, 0x73);
    EXPECT_EQ(te.la, 0x0201);
    EXPECT_EQ(te.typ, 100);
    EXPECT_EQ(te.struk, 1);
    EXPECT_EQ(te.urs, 6);
    EXPECT_EQ(te.ca, 0xABCD);

    te = Decoded(Hex("E5"), l);
    EXPECT_EQ(te.lc, 0xE5);
    EXPECT_EQ(te.la, 0);

    // Without link address octets the address is 0.
    l = Layout(0, 0, 1, 1);
    te = Decoded(Variable(0x08, 0, Asdu(1, 1, 3, 0x42, Hex("07 01"), l), 0), l);
    EXPECT_EQ(te.la, 0);
    EXPECT_EQ(te.typ, 1);
    EXPECT_EQ(te.ca, 0x42);
}

TEST(DecodeHeader, ShortFramesKeepTheirAsduFieldsAtZero) {
    AsduLayout l = Layout(2, 1, 2, 3);
    // 11 bytes: below the 12 that carry an ASDU header.
    T_Telegramm te = Record(Hex("68 05 05 68 08 01 00 01 01 0B 16"));
    te.typ = 99;
    DecodeHeader(te, FKT_MONITOR, l);
    EXPECT_EQ(te.typ, 0);
    EXPECT_EQ(te.ca, 0);
    // 12 bytes with a header that needs 13 (common address at 11..12): octets beyond the frame
    // are not taken from whatever an earlier frame left in the buffer.
    te = Record(Hex("68 06 06 68 08 01 00 01 01 03 07 AA"));
    te.b[12] = 0x55;
    DecodeHeader(te, FKT_MONITOR, l);
    EXPECT_EQ(te.typ, 1);
    EXPECT_EQ(te.ca, 0x00AA);
}

TEST(DecodeHeader, Rp57xFieldOrder) {
    AsduLayout l = Layout(1, 0, 2, 3);
    T_Telegramm te = Decoded(Hex("10 07 1A 21 16"), l, FKT_RP5);
    EXPECT_EQ(te.la, 7);
    EXPECT_EQ(te.ca, 7);
    EXPECT_EQ(te.lc, 0x1A);
    EXPECT_EQ(te.typ, 0x0D);

    Bytes v = Hex("68 06 06 68 05 2B 03 81 00 00 16");
    te = Decoded(v, l, FKT_RP5);
    EXPECT_EQ(te.la, 5);
    EXPECT_EQ(te.lc, 0x2B);
    EXPECT_EQ(te.typ, (0x2B >> 1) & 0x0F); // odd control field: low four bits only
    EXPECT_EQ(te.struk, 3);
    EXPECT_EQ(te.urs, 0x81);
    EXPECT_EQ(te.ca, 0);
    te = Decoded(v, l, FKT_RP6);
    EXPECT_EQ(te.ca, 3);
    EXPECT_EQ(te.struk, 0x81);
    EXPECT_EQ(te.urs, 0);
    te = Decoded(Hex("68 06 06 68 05 AC 03 81 00 00 16"), l, FKT_RP6);
    EXPECT_EQ(te.typ, 0x56); // even: the whole control field shifted
}

TEST(CheckAsdu, StructureAndLength) {
    Grader g;
    // Correct: one single point with cause 3.
    EXPECT_EQ(g.Grade(1, 1, 3, Hex("01 00 00 01")), ST_OK);
    // Two objects, one byte too many.
    EXPECT_EQ(g.Grade(1, 2, 3, Hex("01 00 00 01  02 00 00 00")), ST_OK);
    EXPECT_EQ(g.Grade(1, 2, 3, Hex("01 00 00 01  02 00 00 00"), 1), ST_ASDU_LENGTH);
    // SQ = 1: one address for all elements.
    EXPECT_EQ(g.Grade(1, 0x83, 3, Hex("64 00 00 01 00 01")), ST_OK);
    EXPECT_EQ(g.Grade(1, 0x83, 3, Hex("64 00 00 01 00")), ST_ASDU_LENGTH);
    // A single command allows one object only; no objects at all is wrong for any type.
    EXPECT_EQ(g.Grade(45, 2, 6, Hex("01 00 00 01 02 00 00 01")), ST_STRUCT_CAUSE);
    EXPECT_EQ(g.Grade(1, 0, 3, Hex("")), ST_STRUCT_CAUSE);
    // Types without the sequence flag refuse SQ = 1.
    EXPECT_EQ(g.Grade(2, 0x81, 3, Hex("01 00 00 01 00 00 00")), ST_STRUCT_CAUSE);
    // The file directory needs SQ = 1.
    EXPECT_EQ(g.Grade(126, 1, 13, Hex("01 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00")),
              ST_STRUCT_CAUSE);
    // A structure error is kept when the length fits, and replaced by 26 when it does not.
    EXPECT_EQ(g.Grade(1, 1, 3, Hex("")), ST_ASDU_LENGTH);
    // Too short for the header at all (link address length 1: 12 bytes or less).
    T_Telegramm te = Record(Hex("68 06 06 68 08 01 01 01 03 00 0E 16"));
    DecodeHeader(te, FKT_MONITOR, g.l);
    EXPECT_FALSE(CheckAsdu(te, g.l, g.texts, nullptr));
    EXPECT_EQ(te.stat, ST_ASDU_LENGTH);
}

TEST(CheckAsdu, FileSegmentLengthFromItsLengthOctet) {
    Grader g;
    EXPECT_EQ(g.Grade(125, 1, 13, Hex("01 00 00  05 00 01 03 AA BB CC")), ST_OK);
    EXPECT_EQ(g.Grade(125, 1, 13, Hex("01 00 00  05 00 01 04 AA BB CC")), ST_ASDU_LENGTH);
}

TEST(CheckAsdu, UnknownTypesAndTimedCommands) {
    Grader g;
    EXPECT_EQ(g.Grade(22, 1, 3, Hex("01 00 00 01")), ST_UNKNOWN_TYPE);
    // Listed for sending, not decodable.
    EXPECT_EQ(g.Grade(130, 1, 3, Hex("01 00 00")), ST_UNKNOWN_TYPE);
    // A single command with time tag, cause 6 permitted for type 45: stays 53.
    Bytes c58 = Hex("01 00 00 81  00 00 00 00 01 01 1A");
    EXPECT_EQ(g.Grade(58, 1, 6, c58), ST_TIMED_COMMAND);
    // ... graded further like the command without time tag.
    EXPECT_EQ(g.Grade(58, 2, 6, c58), ST_ASDU_LENGTH);
    EXPECT_EQ(g.Grade(58, 1, 3, c58), ST_CAUSE_27);
}

TEST(CheckAsdu, CauseGrading) {
    Grader g;
    Bytes sp30 = Hex("01 00 00 01  00 00 00 00 01 01 1A");
    // Interrogation cause for a time-tagged type that does not list it.
    EXPECT_EQ(g.Grade(30, 1, 20, sp30), ST_CAUSE_41);
    // Interrogation causes run from 20 to 36; 37 is the counter interrogation.
    EXPECT_EQ(g.Grade(30, 1, 36, sp30), ST_CAUSE_41);
    EXPECT_EQ(g.Grade(30, 1, 37, sp30), ST_CAUSE_27);
    EXPECT_EQ(g.Grade(31, 1, 19, Hex("01 00 00 01  00 00 00 00 01 01 1A")), ST_CAUSE_27);
    // The file directory is never graded 41 for an interrogation cause.
    EXPECT_EQ(g.Grade(126, 0x81, 20, Hex("01 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00")),
              ST_CAUSE_27);
    // Background scan for a time-tagged type.
    EXPECT_EQ(g.Grade(30, 1, 2, sp30), ST_CAUSE_41);
    // The test and negative bits do not change the cause.
    EXPECT_EQ(g.Grade(30, 1, 0x80 | 3, sp30), ST_OK);
    // Cause 0 is never permitted.
    EXPECT_EQ(g.Grade(1, 1, 0, Hex("01 00 00 01")), ST_CAUSE_27);
    // An unlisted cause: 27 without a colour for the cause octet, 47 with one, 27 again when
    // the cause is in the general list.
    EXPECT_EQ(g.Grade(45, 1, 3, Hex("01 00 00 01")), ST_CAUSE_27);
    g.colours = &g.pfu;
    g.pfu.frb[3] = {4, 0};
    EXPECT_EQ(g.Grade(45, 1, 3, Hex("01 00 00 01")), ST_CAUSE_47);
    g.pfu.frb[44] = {0, 2};
    EXPECT_EQ(g.Grade(45, 1, 44, Hex("01 00 00 01")), ST_CAUSE_27);
    // The colour is looked up by the complete cause octet.
    EXPECT_EQ(g.Grade(45, 1, 0x40 | 3, Hex("01 00 00 01")), ST_CAUSE_27);
    // A wrong length is reported, not the cause.
    EXPECT_EQ(g.Grade(45, 1, 3, Hex("01 00 00 01 00")), ST_ASDU_LENGTH);
}

TEST(CheckAsdu, OtherFramesPassUnchanged) {
    Grader g;
    T_Telegramm te = Record(Fixed(0x49, 1));
    te.stat = ST_OK;
    EXPECT_TRUE(CheckAsdu(te, g.l, g.texts, nullptr));
    EXPECT_EQ(te.stat, ST_OK);
}

TEST(ObjectAddress, SequenceAndSeparateAddresses) {
    AsduLayout l = Layout(1, 0, 2, 3);
    // SQ = 1, three objects from address 100: 100, 101, 102, elements one after the other.
    T_Telegramm te =
        Decoded(Variable(0x08, 1, Asdu(1, 0x83, 20, 1, Hex("64 00 00 01 00 01"), l)), l);
    EXPECT_EQ(ObjectAddress(1, te, l), 100u);
    EXPECT_EQ(ObjectAddress(2, te, l), 101u);
    EXPECT_EQ(ObjectAddress(3, te, l), 102u);
    EXPECT_EQ(ObjectOffset(1, te, l), l.InfI);
    EXPECT_EQ(ObjectOffset(3, te, l), l.InfI + 2);

    // SQ = 0: each object its own address.
    te = Decoded(
        Variable(0x08, 1, Asdu(9, 2, 3, 1, Hex("10 27 00 34 12 00  11 27 00 78 56 00"), l)), l);
    EXPECT_EQ(ObjectAddress(1, te, l), 10000u);
    EXPECT_EQ(ObjectAddress(2, te, l), 10001u);
    EXPECT_EQ(ObjectOffset(2, te, l), l.InfI + 6);
    // An object beyond the frame falls back to the first address.
    EXPECT_EQ(ObjectAddress(3, te, l), 10000u);
    EXPECT_EQ(ObjectAddress(127, te, l), 10000u);
}

TEST(ObjectAddress, TypesOutsideTheCatalogue) {
    AsduLayout l = Layout(1, 0, 2, 2);
    T_Telegramm te = Decoded(Variable(0x08, 1, Asdu(23, 2, 3, 1, Hex("01 00 AA 02 00 BB"), l)), l);
    // Element length 1 stands in for the unknown one.
    EXPECT_EQ(ObjectOffset(2, te, l), l.InfI + 3);
}
