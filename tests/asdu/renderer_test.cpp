#include "asdu/renderer.h"

#include "render_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vdl;
using namespace vdl::test;

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

struct RendererTest : ::testing::Test {
    RenderFixture f;
    // Three single points 100, 101 (IV), 102, spontaneous, common address 5.
    Bytes ThreeSinglePoints(uint8_t lc = 0x08) {
        Bytes o;
        for (auto [ioa, siq] : {std::pair{100u, 0x01}, {101u, 0x80}, {102u, 0x00}}) {
            Bytes a = f.Ioa(ioa);
            o.insert(o.end(), a.begin(), a.end());
            o.push_back(static_cast<uint8_t>(siq));
        }
        return f.Frame(1, 3, 0x03, 5, o, lc);
    }
    const std::string kHeader = "  1         Rx1: 12:34:56,789            ok";
};

} // namespace

TEST(HexDump, GroupsOfFourAndCharacterColumn) {
    uint8_t b[17];
    for (int i = 0; i < 17; ++i) b[i] = static_cast<uint8_t>(0x30 + i);
    b[1] = 0x0A;
    EXPECT_EQ(HexDump(b, 16),
              "30 0A 32 33  34 35 36 37  38 39 3A 3B  3C 3D 3E 3F  0.23456789:;<=>?  ");
    // In an export row the separator is no character of its own.
    EXPECT_EQ(HexDump(b + 11, 1, ';').substr(52, 1), ".");
    EXPECT_EQ(HexDump(b + 11, 1).substr(52, 1), ";");
    std::string one = HexDump(b, 1);
    EXPECT_EQ(one, "30" + std::string(50, ' ') + "0" + std::string(17, ' '));
    EXPECT_EQ(one.size(), 70u);
}

TEST_F(RendererTest, FullViewOfAVariableFrame) {
    f.SetFormat(VF_FULL);
    EXPECT_EQ(f.Lines(f.Rec(ThreeSinglePoints())),
              (std::vector<std::string>{
                  kHeader,
                  "Link     :  LA=1   FC8=uS8 CF=$08 RES=0 PRM=0 ACD=0 DFC=0",
                  "ASDU     :  single point=1, 3 objects",
                  "Cause    :  spontaneous=3",
                  "CA       :      5 ",
                  "Obj  1   :       100  ON ",
                  "Obj  2   :       101  OFF invalid  ",
                  "Obj  3   :       102  OFF ",
              }));
}

TEST_F(RendererTest, CompactViewCarriesCauseAndCommonAddressOnTheAsduLine) {
    f.SetFormat(VF_COMPACT);
    f.texts.SetTypeName(1, " SP ");
    auto lines = f.Lines(f.Rec(ThreeSinglePoints()));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "ASDU     :  SP=1  spont=3      5 ");
    EXPECT_EQ(lines[3], "Obj  1   :       100  ON ");
    EXPECT_EQ(lines[4], "Obj  2   :       101  OFF IV  "); // short words
}

TEST_F(RendererTest, SingleCharacterWithBothLinesGivesHeaderAndLinkLine) {
    f.SetFormat(VF_FULL, true, true);
    auto lines = f.Lines(f.Rec(Bytes{0xE5}));
    EXPECT_EQ(lines, (std::vector<std::string>{kHeader, "Link     :  single char E5"}));
}

TEST_F(RendererTest, FixedFrameWithLinkLineOffGivesNoLines) {
    T_Telegramm te = f.Rec(Fixed(0x5B, 1));
    for (int fmt : {VF_FULL, VF_COMPACT, VF_LINE, VF_BYTES}) {
        f.SetFormat(fmt, true, false);
        EXPECT_TRUE(f.Lines(te).empty()) << fmt;
    }
    // A faulty fixed frame stays visible.
    te.stat = ST_REPETITION;
    f.SetFormat(VF_FULL, true, false);
    EXPECT_EQ(f.Lines(te).size(), 2u);
}

TEST_F(RendererTest, VariableFrameWithLinkLineOffSkipsOnlyTheLinkLine) {
    f.SetFormat(VF_FULL, true, false);
    auto lines = f.Lines(f.Rec(ThreeSinglePoints()));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1].substr(0, 4), "ASDU");
    // Without the time line the header goes too.
    f.SetFormat(VF_FULL, false, false);
    lines = f.Lines(f.Rec(ThreeSinglePoints()));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 4), "ASDU");
}

TEST_F(RendererTest, CutLastObjectShowsTheBytesThatArePresent) {
    f.SetFormat(VF_FULL);
    Bytes o = f.Ioa(7);
    for (uint8_t b : {0x00, 0x00, 0xC0, 0x3F, 0x00}) o.push_back(b); // 1.5
    Bytes cut = f.Ioa(8);
    o.insert(o.end(), cut.begin(), cut.end());
    o.push_back(0x41);
    o.push_back(0x42); // 2 of 5 octets
    auto lines = f.Lines(f.Rec(f.Frame(13, 2, 0x03, 5, o), ST_ASDU_LENGTH));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5], "Obj  1   :         7  1.5  ");
    const uint8_t ab[] = {0x41, 0x42};
    EXPECT_EQ(lines[6], "Obj  2   :         8  " + HexDump(ab, 2));
}

TEST_F(RendererTest, CutObjectAddressBecomesAByteRow) {
    f.SetFormat(VF_FULL);
    Bytes o = f.Ioa(7);
    o.push_back(0x01);
    o.push_back(0x08); // two octets of the next object's address
    o.push_back(0x00);
    auto lines = f.Lines(f.Rec(f.Frame(1, 2, 0x03, 5, o), ST_ASDU_LENGTH));
    ASSERT_EQ(lines.size(), 7u);
    const uint8_t rest[] = {0x08, 0x00};
    EXPECT_EQ(lines[6], "Byte  1-2:  " + HexDump(rest, 2));
}

TEST_F(RendererTest, LineErrorCodeIsNamedAndLeavesTheByteRows) {
    f.SetFormat(VF_FULL);
    Bytes b = Fixed(0x5B, 1);
    b.push_back(0x01); // error code: parity
    T_Telegramm te = f.Rec(b, ST_LINE_ERROR);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "  1         Rx1: 12:34:56,789            line error parity");
    EXPECT_EQ(lines[1], "Byte  1-5:  " + HexDump(te.b, 5));
    EXPECT_EQ(f.ctx.te.lg, 5);
}

TEST_F(RendererTest, FormatSevenRepeatsTheTelegramPartForEveryObject) {
    f.SetFormat(VF_CSV);
    auto lines = f.Lines(f.Rec(ThreeSinglePoints()));
    ASSERT_EQ(lines.size(), 3u);
    const std::string common = "Rx1;04.03.2015;12:34:56;789;3;ok;8;1;M_SP;1;3;3;;5 ;";
    EXPECT_EQ(lines[0], "1;0;" + common + "100;;1;0;");
    EXPECT_EQ(lines[1], "1;1;" + common + "101;;0;128;");
    EXPECT_EQ(lines[2], "1;2;" + common + "102;;0;0;");
    EXPECT_EQ(f.ctx.ExpStr, common);
}

TEST_F(RendererTest, FormatSevenShowsFixedFramesAndEvents) {
    f.SetFormat(VF_CSV);
    EXPECT_EQ(f.Lines(f.Rec(Fixed(0x5B, 1))),
              (std::vector<std::string>{"1;0;Rx1;04.03.2015;12:34:56;789;2;ok;91;1;"}));
    EXPECT_EQ(f.Lines(f.Rec(Bytes{0xE5})),
              (std::vector<std::string>{"1;0;Rx1;04.03.2015;12:34:56;789;2;ok;229;"}));
    // Without link addresses the link address field stays, empty: the columns do not move.
    f.PlainAddresses(0);
    EXPECT_EQ(f.Lines(f.Rec(Fixed(0x5B, 0, 0))),
              (std::vector<std::string>{"1;0;Rx1;04.03.2015;12:34:56;789;2;ok;91;;"}));
    std::vector<std::string> fld = CsvFields(f.Lines(f.Rec(ThreeSinglePoints()))[0]);
    ASSERT_GE(fld.size(), 17u);
    EXPECT_EQ(fld[9], "");
    EXPECT_EQ(fld[10], "M_SP");
    EXPECT_EQ(fld[16], "100");
    f.PlainAddresses();
    T_Telegramm ev{};
    ev.stat = ST_LINK_UP;
    ev.ta = TA_INTERNAL;
    ev.ek = EK_TX1;
    ev.la = 3;
    ev.dt = f.dt;
    ev.nr = 1;
    EXPECT_EQ(f.Lines(ev),
              (std::vector<std::string>{"1;0;Tx1;04.03.2015;12:34:56;789;4;link up;"}));
}

TEST_F(RendererTest, AStampThatIsNoDateShowsAnEmptyTime) {
    T_Telegramm good = f.Rec(ThreeSinglePoints());
    for (double bad : {1e300, -1e300, std::nan("")}) {
        T_Telegramm te = good;
        te.dt = bad;
        f.SetFormat(VF_FULL);
        f.ctx.dtalt = good.dt; // the telegram before had a time: no difference either
        auto lines = f.Lines(te);
        ASSERT_FALSE(lines.empty());
        std::string blank = kHeader;
        blank.replace(blank.find("12:34:56,789"), 12, std::string(12, ' '));
        EXPECT_EQ(lines[0], blank) << bad;
        f.SetFormat(VF_CSV);
        lines = f.Lines(te);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].substr(0, 16), "1;0;Rx1;;;;3;ok;") << bad;
    }
}

TEST_F(RendererTest, LineViewIndentsFurtherObjectsUnderTheFirst) {
    f.SetFormat(VF_LINE);
    auto lines = f.Lines(f.Rec(ThreeSinglePoints()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Rx1      1  12:34:56,789    1 $08      5 Type 1  spont      100  ON ok");
    size_t col = lines[0].find("100");
    EXPECT_EQ(lines[1].find("101"), col);
    EXPECT_EQ(lines[2].find("102"), col);
    // The address column starts five characters before the digits.
    EXPECT_EQ(lines[1].substr(col - 17, 12), "Obj  2   :  ");
    // Without time line and with the originator address.
    f.PlainAddresses(1, 1);
    f.SetFormat(VF_LINE, false, true);
    lines = f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(lines[0].substr(0, 36), "Rx1    1 $08      5 Type 1  spont o7");
}

TEST_F(RendererTest, ByteViewShowsHeaderAndRows) {
    f.SetFormat(VF_BYTES);
    T_Telegramm te = f.Rec(ThreeSinglePoints());
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Byte 1-16:  " + HexDump(te.b, 16));
    EXPECT_EQ(lines[2], "    17-25:  " + HexDump(te.b + 16, 9));
}

TEST_F(RendererTest, TypesThatAreNotDecodableShowRestRows) {
    f.SetFormat(VF_FULL);
    Bytes o = f.Ioa(1);
    for (int i = 0; i < 20; ++i) o.push_back(static_cast<uint8_t>(i));
    T_Telegramm te = f.Rec(f.Frame(99, 1, 0x03, 5, o), ST_UNKNOWN_TYPE);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "ASDU     :  Type 99=99");
    EXPECT_EQ(lines[5], "Obj      :         1  ");
    EXPECT_EQ(lines[6], "     1-16:  " + HexDump(te.b + 14, 16));
    EXPECT_EQ(lines[7], "    17-20:  " + HexDump(te.b + 30, 4));
}

TEST_F(RendererTest, SequenceOfATypeWithoutElementEndsInsteadOfRepeating) {
    // Read command (102) has no element; in a sequence the walk would not move.
    f.SetFormat(VF_FULL);
    Bytes o = f.Ioa(9);
    o.push_back(0xAA);
    o.push_back(0xBB);
    T_Telegramm te = f.Rec(f.Frame(102, 0x83, 0x05, 5, o), ST_STRUCT_CAUSE);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5], "Obj  1   :         9  ");
    EXPECT_EQ(lines[6], "      1-2:  " + HexDump(te.b + 14, 2));
    f.SetFormat(VF_CSV);
    EXPECT_EQ(f.Lines(te).size(), 2u);
    f.SetFormat(VF_LINE);
    EXPECT_EQ(f.Lines(te).size(), 2u);
}

TEST_F(RendererTest, DisplayFilterHookAndPagingChooseTheObjects) {
    f.SetFormat(VF_FULL);
    T_Telegramm te = f.Rec(ThreeSinglePoints());
    f.env.objectFilter = [](const T_Telegramm&, int n) { return n != 2; };
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5].substr(0, 6), "Obj  1");
    EXPECT_EQ(lines[6].substr(0, 6), "Obj  3");
    f.SetFormat(VF_CSV);
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(CsvFields(lines[1])[16], "102");
    // No object passes: the telegram ends without object lines (the export shows nothing).
    f.env.objectFilter = [](const T_Telegramm&, int) { return false; };
    EXPECT_TRUE(f.Lines(te).empty());
    f.SetFormat(VF_FULL);
    EXPECT_EQ(f.Lines(te).size(), 5u);
    f.env.objectFilter = nullptr;
    f.ctx.obja = 1;
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5].substr(0, 6), "Obj  2");
}

TEST_F(RendererTest, HeaderLineRelativeNumberAndTimeDifference) {
    f.SetFormat(VF_FULL);
    f.env.oldestNr = 1000;
    T_Telegramm te = f.Rec(Fixed(0x5B, 1));
    te.nr = 2233;
    EXPECT_EQ(f.Lines(te)[0], "1,234       Rx1: 12:34:56,789            ok");
    te.dt += 1.5 / 86400;
    te.ek = EK_TX1;
    EXPECT_EQ(f.Lines(te)[0], "1,234       Tx1: 12:34:58,289  d=1.500s  ok");
    te.dt += 150.0 / 86400;
    EXPECT_EQ(f.Lines(te)[0].substr(31, 10), "d=150.0s  ");
    // The same time on the same channel: no difference shown.
    EXPECT_EQ(f.Lines(te)[0].substr(31, 10), std::string(10, ' '));
    f.env.oldestNr = 2147483600; // the numbers wrapped in between
    te.nr = 100;
    EXPECT_EQ(f.Lines(te)[0].substr(0, 5), "149  ");
}

TEST_F(RendererTest, SecondaryFramesAreIndentedAfterTheColon) {
    f.av.OfsSekTel = 3;
    f.SetFormat(VF_FULL);
    auto lines = f.Lines(f.Rec(ThreeSinglePoints(0x08)));
    EXPECT_EQ(lines[0].substr(0, 18), "  1            Rx1");
    EXPECT_EQ(lines[2], "ASDU     :     single point=1, 3 objects");
    lines = f.Lines(f.Rec(ThreeSinglePoints(0x73))); // primary
    EXPECT_EQ(lines[2], "ASDU     :  single point=1, 3 objects");
}

TEST_F(RendererTest, NamesFromTheObjectTextTableAndStructuredAddresses) {
    f.ap.castr = T_AdrStruktur{2, {8, 8, 0, 0, 0}};
    f.ap.oastr = T_AdrStruktur{2, {16, 8, 0, 0, 0}};
    DeriveAsduLayout(f.av, f.ap);
    ObjectTextEnv e{f.texts, f.av, f.ap, f.msg, &f.pfu, nullptr};
    ASSERT_TRUE(f.objects.LoadContent("0 101;;Breaker;\r\nCA;0 5;North;\r\n", "o.txt", e));
    f.SetFormat(VF_FULL);
    auto lines = f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(lines[4], "CA       :    0-  5 North");
    EXPECT_EQ(lines[5], "Obj  1   :      0-100  ON ");
    EXPECT_EQ(lines[6], "Obj  2   :      0-101 Breaker          OFF invalid  ");
    f.SetFormat(VF_CSV);
    EXPECT_EQ(CsvFields(f.Lines(f.Rec(ThreeSinglePoints()))[1])[17], "Breaker");
    // A name longer than the address column keeps a blank before the type's short name.
    ASSERT_TRUE(f.objects.LoadContent("CA;0 5;Substation North;\r\n", "o.txt", e));
    f.SetFormat(VF_LINE);
    EXPECT_NE(f.Lines(f.Rec(ThreeSinglePoints()))[0].find("  0-  5 Substation North Type 1  "),
              std::string::npos);
}

TEST_F(RendererTest, CauseLineWithTestBitNegativeAndOriginator) {
    f.PlainAddresses(1, 1);
    f.SetFormat(VF_FULL);
    Bytes o = f.Ioa(1);
    o.push_back(0x01);
    auto lines = f.Lines(f.Rec(f.Frame(1, 1, 0xC5, 5, o)));
    EXPECT_EQ(lines[3], "Cause    :  T neg =5 orig 7");
    f.SetFormat(VF_LINE);
    lines = f.Lines(f.Rec(f.Frame(1, 1, 0xC5, 5, o)));
    // Cause 5 has no name of its own: "C" and the number; T and N in front.
    EXPECT_NE(lines[0].find("Type 1  TNC5 o7   "), std::string::npos) << lines[0];
}

TEST_F(RendererTest, EventsAndMessages) {
    f.SetFormat(VF_FULL);
    T_Telegramm ev{};
    ev.stat = ST_LINK_UP;
    ev.ta = TA_INTERNAL;
    ev.ek = EK_TX1;
    ev.la = 3;
    ev.dt = f.dt;
    ev.nr = 1;
    auto lines = f.Lines(ev);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"  1         Tx1: 12:34:56,789            LA=3  link up"}));
    EXPECT_EQ(f.colours[0], f.pp.ausg.intern);

    T_Telegramm msg{};
    msg.stat = ST_MESSAGE_TEXT;
    msg.ta = TA_INTERNAL;
    msg.setS0("modem ready");
    msg.dt = f.dt;
    msg.nr = 1;
    lines = f.Lines(msg);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 11), "modem ready");
    EXPECT_EQ(f.colours[0], f.pp.ausg.intern);

    T_Telegramm rts = ev;
    rts.stat = ST_RTS;
    rts.ta = TA_FIXED;
    rts.la = 1;
    EXPECT_TRUE(EndsWith(f.Lines(rts)[0], "  RTS=1"));
    T_Telegramm modem = ev;
    modem.stat = ST_MODEM_LINE;
    modem.ta = TA_FIXED;
    modem.la = 0x89; // DCD changed to 1, CTS changed to 0
    EXPECT_TRUE(EndsWith(f.Lines(modem)[0], "  Modem DCD=1CTS=0"));
}

TEST_F(RendererTest, ChannelOpenRecordShowsItsCounters) {
    f.texts.Replace(480, "open port %s %s%s%s");
    f.texts.Replace(521, " %s:%.0f/%.0f");
    f.texts.Replace(1472, "monitor");
    f.texts.Replace(1482, " %d Bd");
    f.texts.Replace(1181, " bal");
    T_Telegramm ev{};
    ev.stat = ST_CHANNEL_OPEN;
    ev.ta = TA_INTERNAL;
    ev.ek = EK_RX1;
    ev.la = 4;
    ev.lg = 28;
    int32_t v[7] = {10, 1, 20, 2, 0, 9600, 0};
    std::memcpy(ev.b, v, sizeof v);
    ev.dt = f.dt;
    ev.nr = 1;
    f.SetFormat(VF_FULL);
    auto lines = f.Lines(ev);
    ASSERT_EQ(lines.size(), 1u);
    // No time difference for the open record.
    EXPECT_EQ(lines[0],
              "  1         Rx1: 12:34:56,789  open port 4 monitor bal 9600 Bd Rx1:10/1 Tx1:20/2");

    // A newer record names its device after the integers.
    const char dev[] = "/dev/ttyUSB0";
    std::memcpy(ev.b + 28, dev, sizeof dev - 1);
    ev.lg = static_cast<int16_t>(28 + sizeof dev - 1);
    EXPECT_EQ(f.Lines(ev)[0], "  1         Rx1: 12:34:56,789  open port /dev/ttyUSB0 monitor bal "
                              "9600 Bd Rx1:10/1 Tx1:20/2");
}

TEST_F(RendererTest, ColoursByChannelErrorQualityObjectTypeAndCause) {
    f.SetFormat(VF_FULL);
    const T_AusgPar& a = f.pp.ausg;
    T_Telegramm te = f.Rec(ThreeSinglePoints(), ST_OK, EK_RX2);
    auto lines = f.Lines(te);
    // Object 2 has IV: the quality highlight; the others the pair of channel 2 received.
    EXPECT_EQ(f.colours[0], a.ek[2]);
    EXPECT_EQ(f.colours[5], a.ek[2]);
    EXPECT_EQ(f.colours[6], a.quali);
    EXPECT_EQ(f.colours[7], a.ek[2]);
    // Errors keep the error pair on every line.
    f.Lines(f.Rec(ThreeSinglePoints(), ST_CHECKSUM));
    for (const T_FarbIndex& c : f.colours) EXPECT_EQ(c, a.fehler);

    // Priority: object colour, then type, then cause; a zero part keeps the channel's.
    f.pfu.frb[0x03] = T_FarbIndex{9, 0};
    f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(f.colours[5], (T_FarbIndex{9, a.ek[0].hg}));
    f.pft.frb[1] = T_FarbIndex{0, 11};
    f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(f.colours[5], (T_FarbIndex{a.ek[0].fg, 11}));
    ObjectTextEnv e{f.texts, f.av, f.ap, f.msg, &f.pfu, nullptr};
    ASSERT_TRUE(f.objects.LoadContent("102;13-14;x;\r\n", "o.txt", e));
    f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(f.colours[7], (T_FarbIndex{13, 14}));
    EXPECT_EQ(f.colours[5], (T_FarbIndex{a.ek[0].fg, 11}));
    // The header of a variable frame is drawn in the colour of its first object.
    EXPECT_EQ(f.colours[0], (T_FarbIndex{a.ek[0].fg, 11}));
    // Without the highlight bits in the mask, IV is not highlighted.
    f.av.FltQuaFrb = QualityHighlightMask(0x01);
    f.Lines(f.Rec(ThreeSinglePoints()));
    EXPECT_EQ(f.colours[6], (T_FarbIndex{a.ek[0].fg, 11}));
}

TEST(QualityHighlight, MaskBitsMoveToTheQualityWord) {
    EXPECT_EQ(QualityHighlightMask(0xFF), 0xC0F9);
    EXPECT_EQ(QualityHighlightMask(0x01), 0x4000);
    EXPECT_EQ(QualityHighlightMask(0x02), 0x8000);
    EXPECT_EQ(QualityHighlightMask(0x04), 0x0001);
    EXPECT_EQ(QualityHighlightMask(0x80), 0x0080);
}

TEST_F(RendererTest, ChannelsWithoutLinkChecksShowRawRows) {
    f.com[0].bp.fkt = FKT_FT12;
    Bytes b = ThreeSinglePoints();
    T_Telegramm te = f.Rec(b);
    f.SetFormat(VF_FULL);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(0, 32), "Byte 1-16:    104  19  19 104   ");
    f.SetFormat(VF_COMPACT);
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 6u); // 25 bytes, six per row
    EXPECT_EQ(lines[1], "Byte  1-6:     0110 1000   0001 0011   0001 0011   0110 1000   "
                        "0000 1000   0000 0001");
    f.SetFormat(VF_LINE);
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 35), "Rx1   1  12:34:56,789  08 01 01 03 ");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 5), "00 ok"); // the checksum is not shown
}

TEST_F(RendererTest, CollectTextJoinsAllLines) {
    f.SetFormat(VF_FULL);
    StartTelegram(f.ctx, f.Rec(Bytes{0xE5}));
    CollectText(f.ctx);
    EXPECT_EQ(f.ctx.anztxt, 2);
    EXPECT_EQ(f.ctx.TxtStr, kHeader + "\r\nLink     :  single char E5\r\n");
}

TEST_F(RendererTest, TextLinesAreShownAsBytes) {
    T_Telegramm te{};
    te.stat = ST_TEXT_LINE;
    te.ta = TA_TEXT;
    te.ek = EK_RX1;
    te.dt = f.dt;
    te.nr = 1;
    const std::string text = "ATZ\r OK; and some more text";
    te.lg = static_cast<int16_t>(text.size());
    std::memcpy(te.b, text.data(), text.size());
    f.SetFormat(VF_FULL);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(EndsWith(lines[0], "  received text"));
    EXPECT_EQ(lines[1], "Byte 1-16:  " + HexDump(te.b, 16));
    f.SetFormat(VF_LINE);
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "     1-16:  " + HexDump(te.b, 16));
    f.SetFormat(VF_CSV);
    lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "1;-1;" + std::string(18, ';') + HexDump(te.b, 16, ';') + ";");
    EXPECT_EQ(CsvFields(lines[1]).size(), 21u); // the ";" of the text keeps to its column
    EXPECT_EQ(lines[2], "1;0;" + std::string(18, ';') + HexDump(te.b + 16, 11, ';') + ";");
}

TEST_F(RendererTest, VariantFramesDecodeTheirOwnHeaderAndTakeTheChannelPair) {
    f.com[0].bp.fkt = FKT_RP6;
    f.com[0].rp57x = true;
    f.SetFormat(VF_FULL);
    // Variable frame of the variant: address, control field, station, two message bytes.
    Bytes b = Hex("68 07 07 68 05 18 03 11 22 33 44 00 16");
    T_Telegramm te = Record(b);
    te.stat = ST_OK;
    te.ek = EK_RX1;
    te.dt = f.dt;
    te.nr = 1;
    // The header of the variant is decoded first; the cursor stands at the first message
    // byte after the two header bytes (function 6: index 9). Type = control field >> 1, low
    // four bits for an odd control field.
    StartTelegram(f.ctx, te);
    EXPECT_EQ(f.ctx.pb, 9);
    EXPECT_EQ(f.ctx.te.typ, 12);
    EXPECT_EQ(f.ctx.te.la, 5);
    EXPECT_EQ(f.ctx.te.ca, 3);
    // A short telegram of the variant: header line and its link line (the variant's lines).
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].starts_with("Rx1:  ")) << lines[1];
    // Variant frames take the channel's pair, changed by the non-zero parts of the type's.
    f.pft.frb[12] = T_FarbIndex{0, 9};
    f.Lines(te);
    EXPECT_EQ(f.colours[0], (T_FarbIndex{f.pp.ausg.ek[0].fg, 9}));
}

TEST_F(RendererTest, BytesOutsideAFrameAndReceiveErrorsShowHeaderAndByteRows) {
    T_Telegramm te{};
    te.stat = ST_NO_START;
    te.ta = TA_NONE;
    te.ek = EK_RX1;
    te.dt = f.dt;
    te.nr = 1;
    te.lg = 3;
    te.b[0] = 0x01;
    te.b[1] = 0x02;
    te.b[2] = 0x03;
    for (int fmt : {VF_FULL, VF_COMPACT, VF_LINE, VF_BYTES}) {
        f.SetFormat(fmt, false, false);
        auto lines = f.Lines(te);
        ASSERT_EQ(lines.size(), 2u) << fmt;
        EXPECT_TRUE(lines[0].ends_with("no start")) << lines[0];
        EXPECT_EQ(lines[1], "Byte  1-3:  " + HexDump(te.b, 3));
    }
    // The export shows the bytes from the first on, not from the type position.
    f.SetFormat(VF_CSV);
    auto lines = f.Lines(te);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[1].ends_with(HexDump(te.b, 3) + ";"));
}

TEST_F(RendererTest, LineViewOfEventsAndDisabledFixedFrames) {
    f.SetFormat(VF_LINE);
    T_Telegramm ev{};
    ev.stat = ST_LINK_UP;
    ev.ta = TA_INTERNAL;
    ev.ek = EK_TX2;
    ev.la = 12;
    ev.dt = f.dt;
    ev.nr = 1;
    EXPECT_EQ(f.Lines(ev), (std::vector<std::string>{"Tx2      1  12:34:56,789  12  link up"}));
    f.SetFormat(VF_LINE, false, false);
    EXPECT_TRUE(f.Lines(f.Rec(Fixed(0x5B, 1))).empty());
    EXPECT_EQ(f.Lines(f.Rec(Fixed(0x5B, 1), ST_REPETITION)).size(), 1u);
}
