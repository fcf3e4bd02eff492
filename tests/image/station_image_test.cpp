// The station image: element decoding checked against element octets written from the
// standard's definitions, the rows by address and type, the counters by cause, the full table,
// and frames that claim more than they hold.
#include "image/station_image.h"

#include "asdu/asdu_header.h"

#include "support/frames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

constexpr double kDay = 46000.0; // any day number

// A correct variable frame of the default layout (link address 1 octet, one cause octet unless
// the layout has the originator, common address 2, object address 3) with the given objects,
// each its 3-octet address followed by its element.
T_Telegramm Frame(int typ, uint8_t vsq, uint8_t cot, uint16_t ca, const Bytes& objects,
                  const AsduLayout& lay = AsduLayout{}, uint8_t orig = 0) {
    T_Telegramm te =
        Record(Variable(0x08, 1, Asdu(typ, vsq, cot, ca, objects, lay.mitori ? orig : -1)));
    te.stat = ST_OK;
    te.ek = EK_RX1;
    te.dt = kDay;
    DecodeHeader(te, FKT_MONITOR, lay);
    return te;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Image {
    StationImage im;
    ImageEnv env;
    Image() { im.open = true; }
    int Enter(const T_Telegramm& te) { return im.EnterTelegram(te, env); }
    const T_Obj* Row(uint16_t ca, uint32_t ioa, int key) const {
        return im.Find(uint32_t{ca} << 8, (ioa << 8) | static_cast<uint32_t>(key));
    }
};

// One element per row: what the standard's octets mean (value, quality or qualifier, and
// the octets of elapsed time and time tag).
struct ElementCase {
    int typ;
    const char* element; // hexadecimal octets of the element
    int64_t inf;
    int qua;
    const char* zt; // the time octets kept (empty: none)
};

const ElementCase kElements[] = {
    {1, "81", 1, 0x80, ""},                      // SIQ: IV, SPI on
    {2, "01 E8 03 05", 1, 0x00, "E8 03 05"},     // SIQ + CP24Time2a (1 s, minute 5)
    {3, "92", 2, 0x90, ""},                      // DIQ: IV, BL, DPI on
    {4, "C1 10 27 3B", 1, 0xC0, "10 27 3B"},     // DIQ indeterminate-free with NT + CP24
    {5, "C1 10", 0xC1, 0x10, ""},                // VTI -63 transient, QDS BL
    {6, "05 00 00 00 01", 5, 0x00, "00 00 01"},  // VTI + QDS + CP24
    {7, "78 56 34 12 01", 0x12345678, 0x01, ""}, // BSI, QDS OV
    {9, "00 C0 80", -16384, 0x80, ""},           // NVA -0.5, QDS IV
    {10, "FF 7F 00 D0 07 0A", 32767, 0x00, "D0 07 0A"},
    {11, "FE FF 10", -2, 0x10, ""},               // SVA -2, QDS BL
    {13, "00 00 C0 3F 00", 0x3FC00000, 0x00, ""}, // IEEE STD 754 1.5
    {15, "10 27 00 00 85", 10000, 0x85, ""},      // BCR 10000, sequence 5, IV
    {16, "FF FF FF FF 21 00 00 02", 0xFFFFFFFF, 0x21, "00 00 02"},
    {17, "0A F4 01 10 27 07", 2, 0x08, "F4 01 10 27 07"},    // SEP: ES on, EI; CP16 500 ms; CP24
    {18, "03 08 64 00 00 00 01", 3, 0x08, "64 00 00 00 01"}, // SPE GS+SL1, QDP EI
    {19, "01 00 C8 00 00 00 02", 1, 0x00, "C8 00 00 00 02"}, // OCI GC
    {20, "FF 00 0F 00 00", 0x000F00FF, 0x00, ""},            // SCD, QDS
    {21, "00 40", 16384, 0, ""},                             // NVA without quality
    {30, "01 E8 03 05 0A 09 0C 18", 1, 0x00, "E8 03 05 0A 09 0C 18"}, // SIQ + CP56Time2a
    {31, "02 00 00 00 00 01 01 18", 2, 0x00, "00 00 00 00 01 01 18"},
    {34, "00 20 00 00 00 00 00 01 01 18", 8192, 0x00, "00 00 00 00 01 01 18"},
    {45, "81", 1, 0x80, ""},                                          // SCO: select, on
    {46, "82", 2, 0x80, ""},                                          // DCO: select, on
    {47, "01", 1, 0x00, ""},                                          // RCO: lower
    {48, "00 20 80", 8192, 0x80, ""},                                 // NVA + QOS select
    {49, "E8 03 00", 1000, 0x00, ""},                                 // SVA + QOS
    {50, "00 00 20 41 00", 0x41200000, 0x00, ""},                     // 10.0 + QOS
    {51, "FF FF FF FF", 0xFFFFFFFF, 0x00, ""},                        // BSI, no qualifier
    {58, "81 00 00 00 00 01 01 18", 1, 0x80, "00 00 00 00 01 01 18"}, // SCO + CP56
    {70, "80", 0, 0x80, ""},  // COI: after a change of parameters
    {100, "14", 0, 0x14, ""}, // QOI station interrogation
    {101, "45", 0, 0x45, ""}, // QCC freeze, group 5
    {103, "00 00 00 00 01 01 18", 0, 0x00, "00 00 00 00 01 01 18"}, // clock synchronisation
    {104, "55 AA", 0xAA55, 0x00, ""},                               // FBP
    {105, "01", 1, 0x00, ""},                                       // QRP general reset
    {106, "34 12", 0x1234, 0x00, ""},                               // CP16 delay
    {110, "00 10 01", 4096, 0x01, ""},                              // NVA + QPM threshold
    {112, "00 00 80 3F 02", 0x3F800000, 0x02, ""},
    {113, "03", 0, 0x03, ""},                     // QPA
    {120, "02 01 10 00 00 80", 0x0102, 0x00, ""}, // NOF, LOF, FRQ: only the name of file
    {22, "11 22 33 44", 0x11223344, 0x00, ""},    // not in the catalogue: four octets, MSB first
};

TEST(StationImage, DecodesEachElementAsTheStandardDefinesIt) {
    for (const ElementCase& c : kElements) {
        SCOPED_TRACE(c.typ);
        Image g;
        const Bytes element = Hex(c.element);
        T_Telegramm te = Frame(c.typ, 1, 3, 7, Ioa3(0x010203) + element);
        EXPECT_EQ(g.Enter(te), 0);
        ASSERT_EQ(g.im.Count(), 1);
        const T_Obj& o = g.im.At(0);
        EXPECT_EQ(o.cax, 7u << 8);
        EXPECT_EQ(o.oax >> 8, 0x010203u);
        EXPECT_EQ(o.typneu, c.typ);
        const int64_t inf = InfIsUnsigned(c.typ) ? int64_t{static_cast<uint32_t>(o.inf)} : o.inf;
        EXPECT_EQ(inf, c.inf);
        EXPECT_EQ(o.qua, c.qua);
        const Bytes zt = Hex(c.zt);
        EXPECT_EQ(ToHex(Bytes(o.zt, o.zt + zt.size())), ToHex(zt));
        // Of a seven-octet tag eight octets are kept: the one behind it is the checksum here.
        const size_t kept = zt.size() == 7 || zt.size() == 9 ? zt.size() + 1 : zt.size();
        if (kept > zt.size()) {
            EXPECT_EQ(o.zt[zt.size()], te.b[te.lg - 2]);
        }
        for (size_t k = kept; k < sizeof o.zt; ++k) EXPECT_EQ(o.zt[k], 0) << k;

        // The octets that show the object give back the element (only the name of file of a
        // file transfer element is kept).
        uint8_t back[24] = {};
        int n = ElementOctets(o, back, sizeof back);
        if (c.typ != 120) {
            EXPECT_EQ(ToHex(Bytes(back, back + n)), ToHex(element));
        }
    }
}

TEST(StationImage, CountsEachCauseInItsCounter) {
    // uz1 cause 1, uz2 2, uz3 3, uz4 5, uz5 20..41, uz6 6 and 8, uz7 7, 9, 11, 12, uz8 10,
    // uz9 every other cause; the test and negative bits do not matter.
    for (int cause = 0; cause < 64; ++cause) {
        int expect = 8;
        if (cause == 1) expect = 0;
        if (cause == 2) expect = 1;
        if (cause == 3) expect = 2;
        if (cause == 5) expect = 3;
        if (cause >= 20 && cause <= 41) expect = 4;
        if (cause == 6 || cause == 8) expect = 5;
        if (cause == 7 || cause == 9 || cause == 11 || cause == 12) expect = 6;
        if (cause == 10) expect = 7;
        for (int bits : {0x00, 0x80, 0x40}) EXPECT_EQ(CauseCounter(cause | bits), expect) << cause;
    }
    Image g;
    for (int cot : {44, 20, 12, 12 | 0x40})
        g.Enter(Frame(1, 1, static_cast<uint8_t>(cot), 1, Ioa3(5) + Bytes{0x01}));
    const T_Obj* o = g.Row(1, 5, 1);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->uz[8], 1u); // 44
    EXPECT_EQ(o->uz[4], 1u); // 20
    EXPECT_EQ(o->uz[6], 2u); // 12, also negative
    EXPECT_EQ(o->urs, 12 | 0x40);
}

TEST(StationImage, APointWithAndWithoutTimeTagIsOneRowAndMeasuredValuesAnother) {
    Image g;
    g.Enter(Frame(1, 1, 3, 1, Ioa3(100) + Bytes{0x01}));
    T_Telegramm late = Frame(30, 1, 3, 1, Ioa3(100) + Hex("00 E8 03 05 0A 09 0C 18"));
    late.dt = kDay + 0.5;
    g.Enter(late);
    g.Enter(Frame(9, 1, 3, 1, Ioa3(100) + Hex("00 40 00")));
    ASSERT_EQ(g.im.Count(), 2);
    const T_Obj* sp = g.Row(1, 100, 1);
    ASSERT_NE(sp, nullptr);
    EXPECT_EQ(sp->typneu, 30);
    EXPECT_EQ(sp->typalt, 1);
    EXPECT_EQ(sp->inf, 0);
    EXPECT_EQ(sp->dt, kDay + 0.5);
    EXPECT_EQ(sp->uz[2], 2u); // cause 3 twice
    const T_Obj* me = g.Row(1, 100, 9);
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(me->typneu, 9);
    EXPECT_EQ(me->typalt, 0);
    EXPECT_EQ(me->inf, 16384);
    // The span of the image: first and last telegram entered.
    EXPECT_EQ(g.im.St().start, kDay);
    EXPECT_EQ(g.im.St().ende, kDay);
    EXPECT_EQ(g.im.St().aend, 3);
}

TEST(StationImage, SequenceOfElementsCountsTheAddressOn) {
    Image g;
    // SQ = 1, three measured values from address 100: one address, three elements.
    g.Enter(Frame(11, 0x83, 1, 2, Ioa3(100) + Hex("01 00 00 02 00 00 03 00 10")));
    ASSERT_EQ(g.im.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const T_Obj* o = g.Row(2, 100 + i, 11);
        ASSERT_NE(o, nullptr) << i;
        EXPECT_EQ(o->inf, i + 1);
        EXPECT_EQ(o->uz[0], 1u);
    }
    EXPECT_EQ(g.Row(2, 102, 11)->qua, 0x10);
}

TEST(StationImage, TheOriginatorComesWithATwoOctetCause) {
    Image g;
    g.env.lay.mitori = 1;
    g.env.lay.CaI = 10;
    g.env.lay.OaI = 12;
    g.env.lay.InfI = 15;
    g.Enter(Frame(3, 1, 0x87, 4, Ioa3(9) + Bytes{0x01}, g.env.lay, 5));
    const T_Obj* o = g.Row(4, 9, 3);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->hk, 5);
    EXPECT_EQ(o->urs, 0x87);
    EXPECT_EQ(o->uz[6], 1u);
}

TEST(StationImage, AFullTableRefusesNewObjectsAndKeepsUpdatingKnownOnes) {
    Image g;
    g.env.abbMax = 1000;
    for (uint32_t a = 1; a <= 1001; ++a)
        EXPECT_EQ(g.Enter(Frame(1, 1, 3, 1, Ioa3(a) + Bytes{0})), 0);
    EXPECT_EQ(g.im.Count(), 1001);
    // Two new objects in one telegram: both refused, one message each.
    EXPECT_EQ(g.Enter(Frame(1, 2, 3, 1, Ioa3(2000) + Bytes{0} + Ioa3(2001) + Bytes{0})), 2);
    EXPECT_EQ(g.im.Count(), 1001);
    EXPECT_EQ(g.Enter(Frame(1, 1, 3, 1, Ioa3(500) + Bytes{1})), 0);
    EXPECT_EQ(g.Row(1, 500, 1)->inf, 1);
    // The table grows in steps.
    EXPECT_EQ(g.im.St().hi, 5 * kImageStep - 1);
}

TEST(StationImage, RowsAreOrderedByAddressesAsUnsignedNumbers) {
    Image g;
    for (uint32_t a : {0x800000u, 5u, 0xFFFFFFu, 0x7FFFFFu})
        g.Enter(Frame(1, 1, 3, 0xFFFF, Ioa3(a) + Bytes{0}));
    g.Enter(Frame(1, 1, 3, 1, Ioa3(0xFFFFFF) + Bytes{0}));
    ASSERT_EQ(g.im.Count(), 5);
    const uint32_t order[] = {0xFFFFFF, 5, 0x7FFFFF, 0x800000, 0xFFFFFF};
    for (int r = 0; r < 5; ++r) EXPECT_EQ(g.im.At(r).oax >> 8, order[r]) << r;
    EXPECT_EQ(g.im.At(0).cax, 1u << 8);
    EXPECT_EQ(g.im.At(1).cax, 0xFFFFu << 8);
}

TEST(StationImage, ObjectsMetInAnyOrderEndInAddressOrderEachOnce) {
    Image g;
    // Addresses in a scrambled order, each reported twice, the table read now and then.
    for (uint32_t round = 0; round < 2; ++round) {
        for (uint32_t i = 0; i < 6000; ++i) {
            uint32_t a = i * 7919u % 6000u;
            g.Enter(Frame(1, 1, 3, 1, Ioa3(a) + Bytes{static_cast<uint8_t>(round)}));
            if (i == 2500) {
                ASSERT_NE(g.Row(1, a, 1), nullptr);
                EXPECT_EQ(g.im.At(0).oax >> 8, 0u) << "read while objects wait";
            }
        }
    }
    ASSERT_EQ(g.im.Count(), 6000);
    for (int r = 0; r < 6000; ++r) {
        const T_Obj& o = g.im.At(r);
        EXPECT_EQ(o.oax >> 8, static_cast<uint32_t>(r));
        EXPECT_EQ(o.uz[2], 2u);
        EXPECT_EQ(o.inf, 1);
    }
}

TEST(StationImage, AFrameThatClaimsMoreObjectsThanItHoldsIsReadOnlyWithinTheFrame) {
    Image g;
    // Three objects announced, one present; the record's bytes behind the frame are old data.
    T_Telegramm te = Frame(9, 3, 3, 1, Ioa3(7) + Hex("34 12 00"));
    std::memset(te.b + te.lg, 0xEE, sizeof te.b - static_cast<size_t>(te.lg));
    EXPECT_EQ(g.Enter(te), 0);
    // Objects 2 and 3 have no address in the frame: they fall back to the first one's.
    ASSERT_EQ(g.im.Count(), 1);
    const T_Obj* o = g.Row(1, 7, 9);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->uz[2], 3u);
    // The last object's element lies beyond the frame and reads as nothing, never as 0xEE.
    EXPECT_EQ(o->inf, 0);
    EXPECT_EQ(o->qua, 0);

    // With SQ the addresses count on; the second element meets the checksum and the end
    // character, and what lies behind the frame reads as zero.
    Image s;
    T_Telegramm sq = Frame(11, 0x84, 3, 1, Ioa3(50) + Hex("01 00 00"));
    std::memset(sq.b + sq.lg, 0xEE, sizeof sq.b - static_cast<size_t>(sq.lg));
    s.Enter(sq);
    ASSERT_EQ(s.im.Count(), 4);
    EXPECT_EQ(s.Row(1, 50, 11)->inf, 1);
    EXPECT_EQ(s.Row(1, 51, 11)->inf, sq.b[sq.lg - 2] | 0x1600);
    EXPECT_EQ(s.Row(1, 51, 11)->qua, 0);
    for (uint32_t a = 52; a <= 53; ++a) EXPECT_EQ(s.Row(1, a, 11)->inf, 0) << a;
}

TEST(StationImage, OnlyCorrectVariableFramesOfAnOpenImageAreEntered) {
    Image g;
    T_Telegramm bad = Frame(1, 1, 3, 1, Ioa3(1) + Bytes{1});
    bad.stat = ST_CAUSE_27;
    g.Enter(bad);
    T_Telegramm fixed = Record(Fixed(0x49, 1));
    g.Enter(fixed);
    T_Telegramm graded = Frame(1, 1, 3, 1, Ioa3(2) + Bytes{1});
    graded.stat = ST_CAUSE_41; // a cause graded at 41 is still a correct frame
    g.Enter(graded);
    EXPECT_EQ(g.im.Count(), 1);
    EXPECT_EQ(g.im.St().aend, 1);
    g.im.open = false;
    g.Enter(Frame(1, 1, 3, 1, Ioa3(3) + Bytes{1}));
    EXPECT_EQ(g.im.Count(), 1);

    g.im.ClearImage();
    EXPECT_EQ(g.im.Count(), 0);
    EXPECT_EQ(g.im.St().hi, kImageStep - 1);
    EXPECT_EQ(g.im.St().start, 0);
    EXPECT_EQ(g.im.St().ende, 0);
}

} // namespace
