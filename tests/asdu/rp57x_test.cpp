// The rp57x frame formats in the full view: link line and message lines of both control field
// parities, every value rendering, packed values, paging. The format strings of this test show
// their arguments plainly, so that each row states which bytes a rendering takes.
#include "asdu/renderer.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

std::map<int, std::string> RpWords() {
    std::map<int, std::string> w = {
        {1485, "even "},
        {1486, "odd "},
        {1487, " b5=0"},
        {1488, " b5=1"},
        {1489, "%s (%s, %d)"},
        {1490, " b76="},
        {1491, "a%d "},
        {1492, "A%d "},
        {1493, "a%d s%d "},
        {1495, "W%d A%d %s"},
        {1504, "G%d %d %s B%d %s"},
        {1505, "OFF"},
        {1506, "ON"},
        {1515, "G%d %d %s"},
        {1516, "G%d %d %s %s"},
        {1517, "N%d W%d $%4.4x %s"},
        {1518, ".%3.3d"},
        {1519, " (%d %d)"},
        {1521, "SW status word"},
        {1523, "single"},
        {1630, "C%d %s %d %d"},
        {1656, "M%d %s"},
        {1770, "C14 %d %s"},
        {1771, "?"},
        {1780, "C15 %d %s"},
        {1805, "n%d "},
        {1806, "K%d/%d%s "},
        {1815, "%d=%.*f%% "},
        {1816, "B[%s] "},
        {1817, "M[%s] "},
        {1818, "Z[%s] "},
        {1819, "%2.2d:%2.2d:%2.2d"},
        {1821, "b7 "},
        {1823, "b6 "},
        {1829, "b3 "},
        {1833, "b1 "},
        {1834, "F[%s] "},
        {1835, "D%d/%2.2d:%2.2d:%2.2d "},
        {1836, "Z2[%s %8.8x] "},
        {1837, "S%d B%d %s "},
        {1838, "Q%d%s %d%d "},
        {1847, "n2 %d "},
        {1848, "n3 %d "},
        {1849, " A%d.%d.%d"},
        {1850, "K2 %d %d %d%s "},
        {1851, "V[%s] "},
        {1852, " A%d"},
        {1853, "L%d/%d %d %s"},
        {1854, "other"},
        {1855, "state"},
        {1856, "command"},
        {1857, "special"},
        {1858, "N%d V%d "},
        {1859, "Q2 %d%s %d "},
        {1860, "BL%d/%d %d "},
        {1862, "N%d %s"},
        {1863, "V%d,%d N%d %s"},
        {1865, "C7 %d %s"},
        {1866, "V%d,%d C%d %s"},
        {1867, "D[%s]"},
        {1900, "Z[%s] %d"},
        {1901, "O%d %d %d %d %d %d"},
        {1902, "N[%s] %d [%s] "},
        {1903, "L[%s][%s]"},
    };
    // Names by offset: the name shows which offset was taken.
    auto names = [&w](int base, const std::string& p, int n) {
        for (int i = 0; i < n; ++i) w[base + i] = p + std::to_string(i);
    };
    names(1496, "k", 8);
    names(1507, "g", 8);
    names(1631, "c", 25);
    names(1657, "m", 113);
    for (int k = 1; k <= 5; ++k) w[1771 + k] = "x" + std::to_string(k);
    names(1781, "n", 22);
    names(1807, "s", 8);
    names(1839, "q", 4);
    names(1868, "n", 31);
    names(1904, "st", 4);
    for (int t = 0; t < 82; ++t)
        w[1540 + t] = "E" + std::to_string(t) + " even" + std::to_string(t);
    return w;
}

// A variable frame of the variant: link address, control field, in function 6 the station,
// then the message bytes. The link address stands first, where a frame without link address
// has its control field.
Bytes RpFrame(int fkt, uint8_t lc, const Bytes& msg, bool station = true) {
    Bytes user{lc};
    if (fkt == FKT_RP6 && station) user.push_back(3);
    user.insert(user.end(), msg.begin(), msg.end());
    return Variable(7, 0, user, 0);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes r;
    for (const Bytes& p : parts) r.insert(r.end(), p.begin(), p.end());
    return r;
}

const Bytes kT = Hex("02 25 55 CE");         // 36001230 tenths of a millisecond
const std::string kTs = "n3 9 01:00:00.123"; // Ts(9, kT)
const std::string kDay16 = "16.01.1980 01:00:00.123";

struct Rp57xTest : ::testing::Test {
    RenderFixture f;
    Rp57xTest() {
        for (const auto& [n, s] : RpWords()) f.texts.Replace(n, s);
        f.SetFormat(VF_FULL);
        Function(FKT_RP5);
    }
    void Function(int fkt) {
        f.com[0].bp.fkt = fkt;
        f.com[0].rp57x = true;
        f.com[0].rpbrsp1 = fkt == FKT_RP5 ? 12 : 16;
    }
    T_Telegramm Rec(const Bytes& b, uint8_t stat = ST_OK) {
        T_Telegramm te = Record(b);
        // What lies behind the frame must never be read.
        for (int i = te.lg; i < kTeByteLen; ++i) te.b[i] = 0xEE;
        te.stat = stat;
        te.ek = EK_RX1;
        te.dt = f.dt;
        te.nr = 1;
        return te;
    }
    // The link line and the message lines (checked for their indent and shown without it).
    std::vector<std::string> Shown(const T_Telegramm& te) {
        auto lines = f.Lines(te);
        EXPECT_GE(lines.size(), 2u);
        if (lines.size() < 2) return {};
        std::vector<std::string> out{lines[1]};
        const std::string indent(static_cast<size_t>(f.com[0].rpbrsp1), ' ');
        for (size_t i = 2; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].substr(0, indent.size()), indent) << lines[i];
            out.push_back(lines[i].substr(indent.size()));
        }
        return out;
    }
    std::vector<std::string> Messages(int fkt, uint8_t lc, const Bytes& msg) {
        Function(fkt);
        auto v = Shown(Rec(RpFrame(fkt, lc, msg)));
        if (!v.empty()) v.erase(v.begin());
        return v;
    }
};

struct Row {
    std::vector<int> lcs; // control fields of the types that share the rendering
    Bytes msg;
    std::vector<std::string> lines;
};

std::string Dump(const std::string& hex) {
    Bytes b = Hex(hex);
    return HexDump(b.data(), static_cast<int>(b.size()));
}

} // namespace

TEST_F(Rp57xTest, OddControlFieldTypes) {
    const std::vector<Row> rows = {
        {{0x03}, Hex("05 12 34"), {"N5 W4660 $1234 0001 0010  0011 0100  "}},
        {{0x17}, Hex("05 FF FE"), {"N5 W-2 $FFFE 1111 1111  1111 1110  "}},
        {{0x05}, Hex("03 AA BB CC"), {"M3 m3", Dump("BB CC")}},
        // The code names end at 112: the text after them is another format.
        {{0x05}, Hex("71 00 01"), {"M113 m112", Dump("01")}},
        {{0x05}, Hex("FF 00 01"), {"M255 m112", Dump("01")}},
        {{0x07, 0x0B}, Hex("25 0B"), {"G645 2 g2"}},
        {{0x09}, Hex("0B C8"), {"W200 A3 k3"}},
        {{0x0D}, Hex("1B 04 05 06 07 08 09 0A 0B"), {"C27 c2 4 5", Dump("05 06 07 08 09 0A 0B")}},
        {{0x13}, Hex("A5 03"), {"G641 2 g2 B1 ON"}},
        {{0x19}, Hex("00 10 00 0A BC DE"), {"16.01.1980 00:01:10.371 (16 703710)"}},
        {{0x1B}, Hex("25 0A"), {"G645 2 g2 OFF"}},
        {{0x1D}, Hex("60 01 02 03"), {"C14 96 x4", Dump("02 03")}},
        {{0x1D}, Hex("09 01 02 03"), {"C14 9 ?", Dump("02 03")}},
        // Short telegrams and the unknown type 10: the link line only.
        {{0x01, 0x0F, 0x11, 0x1F}, {}, {}},
        {{0x15}, Hex("01 02 03"), {}},
    };
    for (const Row& r : rows)
        for (int lc : r.lcs)
            EXPECT_EQ(Messages(FKT_RP5, static_cast<uint8_t>(lc), r.msg), r.lines)
                << "control field " << lc;
}

TEST_F(Rp57xTest, EvenControlFieldTypes) {
    const std::vector<Row> rows = {
        {{0x0A}, Hex("03 80 01"), {"N3 1000 0000  0000 0001  "}},
        {{0x0C}, Hex("03 00 0F 09 08"), {"V9,8 N3 0000 0000  0000 1111  "}},
        {{0x0E},
         Hex("28 0B 0C 0D 0E 0F 10"),
         {"C7 40 n30", "D[" + Dump("0B 0C 0D 0E 0F 10") + "]"}},
        {{0x10},
         Hex("02 0B 0C 0D 0E 0F 10 AA BB"),
         {"V170,187 C2 n2", "D[" + Dump("0B 0C 0D 0E 0F 10") + "]"}},
        {{0x12}, Hex("00 01 E2 40 07 01 02"), {"Z[     123,456] 7", Dump("01 02")}},
        {{0x14}, Hex("25 0B"), {"G645 2 g2"}},
        {{0x1C}, Hex("07 01 02"), {"C14 7 x2", Dump("01 02")}},
        // A group of three values, then one of one value.
        {{0x28},
         Hex("0A 31 23 45 67 89 14 1F FF"),
         {"n10 291=14.55% ", "n11 1110=55.50% ", "n12 1929=96.45% ", "n20 -1=-0.050% "}},
        // A group of two values leaves the low nibble of its last byte unused.
        {{0x2A, 0x80, 0x82},
         Hex("05 21 23 45 6F 07 10 01"),
         {"n5 291=14.55% ", "n6 1110=55.50% ", "n7 1=0.050% "}},
        {{0x2C, 0x2E, 0x84, 0x86},
         Hex("01 02 F1 00 02 03 0F FF 03 10 08 00"),
         {"n1 256=12.80% K0/2s2 ", "n2 -1=-0.050% K0/3s3 ", "n3 -2048=-102.4% K1/0s0 "}},
        {{0x30, 0x32, 0x88, 0x8A},
         Hex("01 80 01 02 00 FF"),
         {"n1 B[1000 0000  0000 0001  ] ", "n2 B[0000 0000  1111 1111  ] "}},
        {{0x34, 0x36, 0x8C, 0x8E},
         Hex("01 00 0F F0 00"),
         {"n1 B[1111 0000  0000 0000  ] M[0000 0000  0000 1111  ] "}},
        {{0x38, 0x3A, 0x90, 0x92}, Hex("04 12 FC 18"), {"n4 -1000=-50.00% K1/2s2 "}},
        {{0x3C, 0x3E, 0x94, 0x96},
         Hex("04 82 00 12 D6 87 6E 5E"),
         {"n4 Z[    1,234,567] F[b7 b1 ] 13:25:30"}},
        {{0x40}, Cat({Hex("05 06 36 0B 09"), kT}), {"n5 n2 6 S3 B1 st2 Q2q2 11 ", kTs}},
        {{0x42, 0x44}, Cat({Hex("05 06 55 00 09"), kT}), {"n5 n2 6 K2 1 1 5s5 Q0q0 00 ", kTs}},
        {{0x46},
         Cat({Hex("01 02 00 10"), kT, Hex("00 05 36 08")}),
         {"L1/2 0 state", "n5 S3 B1 st2 Q2 2q2 0 " + kDay16}},
        {{0x46},
         Cat({Hex("01 02 00 10"), kT, Hex("02 05 16 08")}),
         {"L1/2 0 state", "n5 K2 0 1 6s6 Q2 2q2 0 " + kDay16}},
        {{0x46},
         Cat({Hex("01 02 00 10"), kT, Hex("04 05 36 08")}),
         {"L1/2 0 state", "N5 V54 Q2 2q2 0 " + kDay16}},
        // The kind of the list is the byte after the header; other kinds show no value.
        {{0x46},
         Cat({Hex("01 02 04 10"), kT, Hex("07 05 36 08")}),
         {"L1/2 4 special", "Q2 2q2 0 05.11.1982 01:00:00.123"}},
        {{0x48},
         Cat({Hex("01 02 07 00 10"), kT, Hex("FC 18 03 03 E8 04")}),
         {"BL1/2 7 " + kDay16, "n3 -1000=-50.00% ", "n4 1000=50.00% "}},
        {{0x4A, 0x4C, 0x98, 0x9A},
         Hex("04 12 00 12 D6 87"),
         {"n4 Z2[    1,234,567 0012D687] K1/2s2 "}},
        // The duration is the three bytes after the counter.
        {{0x4E, 0x50, 0x9C, 0x9E},
         Hex("04 02 00 12 D6 87 06 0E 8B"),
         {"n4 Z[    1,234,567] F[b1 ] D3/01:02:03 "}},
        {{0x52},
         Cat({Hex("05 06 36 0B 09"), kT, Hex("01 02 03 04 09")}),
         {"n5 n2 6 S3 B1 st2 Q2q2 11 ", kTs + " A258.772.9"}},
        {{0x56},
         Cat({Hex("05 06 02 3F C0 00 00 0B 09"), kT, Hex("01 02 03 04 09")}),
         {"n5 n2 6 V[1.5] Q2q2 11 ", kTs + " A258.772.9"}},
        {{0x56},
         Cat({Hex("05 06 00 00 12 D6 87 0B 09"), kT, Hex("01 02 03 04 09")}),
         {"n5 n2 6 V[   1,234,567] Q2q2 11 ", kTs + " A258.772.9"}},
        {{0x58},
         Cat({Hex("05 06 36 0B 09"), kT, Hex("01 02")}),
         {"n5 n2 6 S3 B1 st2 Q2q2 11 ", kTs + " A258"}},
        // Short telegrams and types without a rendering: the link line only.
        {{0x00, 0x02, 0x04, 0x06, 0x08, 0x18, 0x1A}, {}, {}},
        {{0x20, 0x54, 0x5A, 0xA0, 0xFE}, Hex("01 02 03 04"), {}},
    };
    for (const Row& r : rows)
        for (int lc : r.lcs)
            EXPECT_EQ(Messages(FKT_RP5, static_cast<uint8_t>(lc), r.msg), r.lines)
                << "control field " << lc;
    // Type 15 is a message of function 6.
    EXPECT_EQ(Messages(FKT_RP6, 0x1E, Hex("19")), (std::vector<std::string>{"C15 25 n21"}));
}

TEST_F(Rp57xTest, LinkLineByFunctionAndParity) {
    struct LinkRow {
        int fkt;
        Bytes frame;
        std::string line;
    };
    const std::vector<LinkRow> rows = {
        // Odd: the type in the low four bits, then bits 7..6 and bit 5 of the control field.
        {FKT_RP5, RpFrame(FKT_RP5, 0xE3, Hex("05 12 34")),
         "Rx1:  odd a7 status word (SW, 1) b76=3 b5=1"},
        // A name without a blank stands in both places.
        {FKT_RP5, RpFrame(FKT_RP5, 0x07, Hex("25 0B")),
         "Rx1:  odd a7 single (single, 3) b76=0 b5=0"},
        {FKT_RP5, RpFrame(FKT_RP5, 0x28, Hex("01 10 01")), "Rx1:  even a7 even20 (E20, 20)"},
        // Even types above 81 take the name of 81.
        {FKT_RP5, RpFrame(FKT_RP5, 0xFE, Hex("01 02")), "Rx1:  even a7 even81 (E81, 127)"},
        {FKT_RP6, RpFrame(FKT_RP6, 0x28, Hex("01 10 01")), "Rx1:  even a7 s3 even20 (E20, 20)"},
        // Function 6: the date and time message carries no station, nor does a fixed frame.
        {FKT_RP6, RpFrame(FKT_RP6, 0x19, Hex("00 10 00 0A BC DE"), false),
         "Rx1:  odd A7  (, 12) b76=0 b5=0"},
        {FKT_RP6, Hex("10 07 01 08 16"), "Rx1:  odd A7  (, 0) b76=0 b5=0"},
        {FKT_RP5, Hex("10 07 1A 21 16"), "Rx1:  even a7 even13 (E13, 13)"},
    };
    for (const LinkRow& r : rows) {
        Function(r.fkt);
        EXPECT_EQ(f.Lines(Rec(r.frame)).at(1), r.line);
    }
}

TEST_F(Rp57xTest, FixedFramesShowNoMessageLine) {
    Function(FKT_RP6);
    T_Telegramm te = Rec(Hex("10 07 01 08 16"));
    EXPECT_EQ(f.Lines(te).size(), 2u); // header and link line
    // With the link line off a correct fixed frame shows nothing; a faulty one keeps both.
    f.SetFormat(VF_FULL, true, false);
    EXPECT_TRUE(f.Lines(te).empty());
    EXPECT_EQ(f.Lines(Rec(Hex("10 07 03 0A 16"), ST_FORMAT_FUNCTION)).size(), 2u);
    // A variable frame keeps its link line.
    EXPECT_EQ(f.Lines(Rec(RpFrame(FKT_RP6, 0x14, Hex("25 0B")))).size(), 3u);
}

TEST_F(Rp57xTest, DateAndTimeOfFunction6StartsAfterTheControlField) {
    EXPECT_EQ(Messages(FKT_RP6, 0x19, Hex("00 10 00 0A BC DE")).size(), 1u);
    auto v = Shown(Rec(RpFrame(FKT_RP6, 0x19, Hex("00 10 00 0A BC DE"), false)));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1], "16.01.1980 00:01:10.371 (16 703710)");
}

TEST_F(Rp57xTest, ObjectDescriptionOf32BytesGivesThreeLines) {
    // Object description: header bytes, value (time of day), name, kind, two limits, date.
    Bytes msg = Hex("02 01 03  02 25 51 00  41 42 43 01 45 46  05  2F  00 0F 42 40"
                    "  00 00 00 64  DE AD BE EF  11 22  01 00  33");
    ASSERT_EQ(msg.size(), 32u);
    for (int fkt : {FKT_RP5, FKT_RP6})
        EXPECT_EQ(Messages(fkt, 0x16, msg),
                  (std::vector<std::string>{
                      "O1 3 2 17 34 51",
                      "N[ABC.EF] 5 [   1,000,000] 12.09.1980 01:00:00.000",
                      "L[         100][$DEADBEEF]",
                  }));
}

TEST_F(Rp57xTest, PagingStartsAtTheRecordObja) {
    const Bytes msg = Hex("01 02 01 00  02 03 0F FF  03 10 08 00  04 00 00 10");
    auto lines = [&](int obja) {
        f.ctx.obja = obja;
        auto v = Messages(FKT_RP5, 0x2C, msg);
        f.ctx.obja = 0;
        return v;
    };
    EXPECT_EQ(lines(3), (std::vector<std::string>{"n4 16=0.800% K0/0s0 "}));
    EXPECT_EQ(lines(2).size(), 2u);
    EXPECT_EQ(lines(-1).size(), 4u);
    // Past the last record: no message line, and no overflow of the position.
    EXPECT_TRUE(lines(4).empty());
    EXPECT_TRUE(lines(INT32_MAX).empty());
}

TEST_F(Rp57xTest, ReadingStopsAtTheChecksum) {
    // A counter with time whose frame ends early: the missing bytes read as 0, never the
    // checksum or what lies behind the frame.
    EXPECT_EQ(Messages(FKT_RP5, 0x3C, Hex("04 00 00 12")),
              (std::vector<std::string>{"n4 Z[    1,179,648] F[0 ] 00:00:00"}));
    // Records of three bytes with one byte left over: the last line takes it alone.
    EXPECT_EQ(Messages(FKT_RP5, 0x30, Hex("01 80 01 02")),
              (std::vector<std::string>{"n1 B[1000 0000  0000 0001  ] ",
                                        "n2 B[0000 0000  0000 0000  ] "}));
    // A frame without message bytes and with a wrong length.
    EXPECT_EQ(Messages(FKT_RP5, 0x3C, {}), (std::vector<std::string>{"n0 Z[            0] F[0 ] "
                                                                     "00:00:00"}));
    // Control characters of a name do not reach the view.
    Bytes msg(32, 0x1B);
    EXPECT_EQ(Messages(FKT_RP5, 0x16, msg).at(1).substr(0, 10), "N[......] ");
}

TEST_F(Rp57xTest, CompactViewShowsTheSameLines) {
    Function(FKT_RP6);
    T_Telegramm te = Rec(RpFrame(FKT_RP6, 0x28, Hex("0A 31 23 45 67 89")));
    auto full = f.Lines(te);
    f.SetFormat(VF_COMPACT);
    EXPECT_EQ(f.Lines(te), full);
    ASSERT_EQ(full.size(), 5u);
    EXPECT_EQ(full[2], std::string(16, ' ') + "n10 291=14.55% ");
}

TEST_F(Rp57xTest, ExportGivesTheMessageTypeAndTheMessageBytes) {
    f.SetFormat(VF_CSV);
    const std::string head = "1;0;Rx1;04.03.2015;12:34:56;789;";
    // The message bytes after m0 and m1 of a frame, as the rows after the first show them.
    auto rest = [](const T_Telegramm& te, int from, int index) {
        return "1;" + std::to_string(index) + ";" + std::string(15, ';') +
               HexDump(te.b + from, te.lg - 2 - from, ';') + ";";
    };
    struct ExportRow {
        int fkt;
        Bytes frame;
        std::string first;
        int restFrom; // first byte of the rest row; 0: no rest row
    } rows[] = {
        // A first message byte of 0 is no count of objects: the row is there all the same.
        {FKT_RP5, RpFrame(FKT_RP5, 0x30, Hex("00 05 AA BB")), "3;ok;48;7;E24 even24;24;0;5;;;", 8},
        {FKT_RP5, RpFrame(FKT_RP5, 0x2C, Hex("01 02 01 00 02 03 0F FF")),
         "3;ok;44;7;E22 even22;22;1;2;;;", 8},
        // Function 6: the station address in the common address column.
        {FKT_RP6, RpFrame(FKT_RP6, 0x2C, Hex("01 02 01 00")), "3;ok;44;7;E22 even22;22;1;2;;3;", 9},
        // The date and time message of function 6 has no station address.
        {FKT_RP6, RpFrame(FKT_RP6, 0x19, Hex("00 10 00 0A BC DE"), false),
         "3;ok;25;7;" + f.texts.tx(1532) + ";12;0;16;;;", 8},
        {FKT_RP5, RpFrame(FKT_RP5, 0x2C, Hex("01 02")), "3;ok;44;7;E22 even22;22;1;2;;;", 0},
        {FKT_RP6, Hex("10 07 01 08 16"), "2;ok;1;7;", 0},
    };
    for (const ExportRow& r : rows) {
        Function(r.fkt);
        T_Telegramm te = Rec(r.frame);
        auto lines = f.Lines(te);
        std::vector<std::string> expect{head + r.first};
        if (r.restFrom > 0) expect.push_back(rest(te, r.restFrom, 1));
        EXPECT_EQ(lines, expect) << r.first;
    }
    // More than 16 message bytes: rows of 16, numbered on.
    Function(FKT_RP5);
    Bytes msg(40, 0x11);
    T_Telegramm te = Rec(RpFrame(FKT_RP5, 0x30, msg));
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], rest(te, 8 + 32, 3));
}
