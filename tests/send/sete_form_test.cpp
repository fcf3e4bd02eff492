// The editor's rules without widgets and the picker's lists, with the real program texts.
#include "send/sete_form.h"

#include "asdu/address_text.h"
#include "asdu/catalogue.h"
#include "send/type_picker.h"
#include "send_rig.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

struct RealTexts {
    TextTable tx;
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    RealTexts() {
        EXPECT_TRUE(tx.LoadFile(BinDir() + "VdlText.usa").ok());
        PostProcessTexts(tx, av);
        DeriveAsduLayout(av, ap);
        InstallAsduTexts(tx, av, ap);
    }
    ValueFormat Format(int typ) const { return ValueFormatOf(PickIndexOf(typ), tx); }
};

T_Var Int(int32_t v) {
    T_Var x;
    x.l = v;
    return x;
}
T_Var Flt(float f) {
    T_Var x;
    x.sgl = f;
    return x;
}

} // namespace

TEST(SeTeForm, ValueEntry) {
    RealTexts r;
    ValueFormat dec{VAL_DEC, false, 0, 0, ""}, point{VAL_DEC, true, 0, 1, ""},
        step{VAL_DEC, true, -64, 63, ""}, flt{VAL_FLOAT, false, 0, 0, ""};
    struct Row {
        const char* text;
        ValueFormat f;
        bool ok;
        int32_t v;
    } rows[] = {
        {"1", point, true, 1},   {" 1=ON ", point, true, 1}, // the shown name is cut off
        {"2", point, false, 0},  {"", point, true, 0},       // empty reads 0
        {"#5", dec, true, 5},    {"d 7", dec, true, 7},      // decimal markers
        {"$ff", dec, true, 255}, {"-64", step, true, -64},
        {"-65", step, false, 0}, {"B101", dec, true, 5}, // binary digits
        {"%11", dec, true, 3},   {"0101", dec, true, 5}, // a leading 0 reads binary
        {"12x", dec, false, 0},  {"1.5", dec, false, 0},
    };
    for (const Row& row : rows) {
        T_Var v = Int(99);
        EXPECT_EQ(ParseValue(row.text, row.f, r.tx, v), row.ok) << row.text;
        EXPECT_EQ(v.l, row.v) << row.text;
    }
    T_Var v;
    ASSERT_TRUE(ParseValue("-1,5", flt, r.tx, v));
    EXPECT_FLOAT_EQ(v.sgl, -1.5f);
    EXPECT_FALSE(ParseValue("1,5,", flt, r.tx, v));
}

TEST(SeTeForm, ValueDisplayAndStepping) {
    RealTexts r;
    EXPECT_EQ(ValueText(1, Int(1), r.Format(1), r.tx), " 1=" + r.tx.tx(2117));
    EXPECT_EQ(ValueText(46, Int(2), r.Format(46), r.tx), " 2=" + r.tx.tx(2117));
    EXPECT_EQ(ValueText(47, Int(1), r.Format(47), r.tx), " 1=" + r.tx.tx(2120));
    EXPECT_EQ(ValueText(104, Int(0x55AA), r.Format(104), r.tx), "$55AA");
    EXPECT_EQ(ValueText(50, Flt(12.25f), r.Format(50), r.tx), "12.25");
    EXPECT_EQ(ValueText(11, Int(-5), r.Format(11), r.tx), "-5");
    // What is shown reads back.
    for (int typ : {1, 3, 46, 47, 104, 50, 11}) {
        const ValueFormat f = r.Format(typ);
        const T_Var v = f.kind == VAL_FLOAT ? Flt(3.5f) : Int(typ == 104 ? 0xBEEF : 1);
        T_Var back;
        ASSERT_TRUE(ParseValue(ValueText(typ, v, f, r.tx), f, r.tx, back)) << typ;
        EXPECT_EQ(back.u, v.u) << typ;
    }
    const ValueFormat step = r.Format(5);
    ASSERT_TRUE(step.ranged);
    EXPECT_EQ(StepValue(Int(63), step, 1).l, -64); // wraps around the range
    EXPECT_EQ(StepValue(Int(-64), step, -1).l, 63);
    EXPECT_EQ(StepValue(Int(5), r.Format(15), -1).l, 4);
    EXPECT_FLOAT_EQ(StepValue(Flt(1.5f), r.Format(13), 1).sgl, 2.5f);
}

TEST(SeTeForm, TypeChangeBringsTheValueIntoRange) {
    RealTexts r;
    T_SeTe t{};
    t.inf.sgl = 0.0f;
    BringValueIntoRange(t, r.Format(13));
    EXPECT_FLOAT_EQ(t.inf.sgl, 10000.0f);
    t.inf.sgl = -3.0f;
    BringValueIntoRange(t, r.Format(13));
    EXPECT_FLOAT_EQ(t.inf.sgl, -3.0f);
    t.inf.l = 7;
    BringValueIntoRange(t, r.Format(1)); // 0..1
    EXPECT_EQ(t.inf.l, 1);
    t.inf.l = 40000;
    BringValueIntoRange(t, r.Format(11)); // -32768..32767
    EXPECT_EQ(t.inf.l, 10000);
}

TEST(SeTeForm, QualityBoxesAndCauses) {
    RealTexts r;
    const QualityBoxes qds = QualityBoxesOf(ELK_QDS);
    EXPECT_EQ(qds.text, 1086);
    EXPECT_EQ(QualityChecks(qds, 0x81), (std::vector<bool>{true, false, false, false, true}));
    // Read back, the fifth box is bit 0 and bits 3..1 stay 0.
    EXPECT_EQ(QuaOfChecks(qds, QualityChecks(qds, 0x8F)), 0x81);
    const QualityBoxes cmd = QualityBoxesOf(ElementKindOf(45));
    EXPECT_EQ(QuaOfChecks(cmd, {true}), 0x80);
    EXPECT_TRUE(QualityBoxesOf(ElementKindOf(100)).bits.empty());

    const std::vector<int> causes = CausesOfPick(PickIndexOf(45), r.tx);
    ASSERT_FALSE(causes.empty());
    EXPECT_EQ(causes[static_cast<size_t>(CauseSelection(causes, 8))], 8);
    EXPECT_EQ(CauseSelection({5, 3, 20}, 7), 1); // not listed: cause 3
    EXPECT_EQ(CauseSelection({5, 20}, 7), 0);    // nor 3: the first
    EXPECT_EQ(CauseListEntry(6, r.tx), " 6=activation");
    EXPECT_EQ(TypeListEntry(1, r.tx), " 1=Single-point information");
    EXPECT_EQ(NameOfEntry(TypeListEntry(45, r.tx)), "Single command");
    EXPECT_EQ(TypeListEntry(131, r.tx), r.tx.tx(1334));
}

TEST(SeTeForm, ByteField) {
    std::vector<uint8_t> b;
    ASSERT_TRUE(ParseByteField("1 2", 128, b));
    EXPECT_EQ(ToHex(b), "01 02");
    ASSERT_TRUE(ParseByteField("0A0b,3\r\nFF", 130, b));
    EXPECT_EQ(ToHex(b), "0A 0B 03 FF");
    ASSERT_TRUE(ParseByteField("68\"AB \"1", 131, b));
    EXPECT_EQ(ToHex(b), "68 41 42 20 01");
    ASSERT_TRUE(ParseByteField("Ä1", PT_TEXT, b)); // one byte per character
    EXPECT_EQ(ToHex(b), "C4 31");
    EXPECT_FALSE(ParseByteField(std::string(265, 'x'), PT_TEXT, b));
    EXPECT_TRUE(ParseByteField(std::string(264 * 2, 'F'), PT_HEX, b));

    const uint8_t raw[11] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xAB};
    EXPECT_EQ(ByteFieldText(raw, 11, PT_HEX), "00 01 02 03 04 05 06 07 08 09\r\nAB");
    ASSERT_TRUE(ParseByteField(ByteFieldText(raw, 11, PT_HEX), PT_HEX, b));
    EXPECT_EQ(b, std::vector<uint8_t>(raw, raw + 11));
    const uint8_t text[3] = {0x41, 0xC4, 0x0D};
    ASSERT_TRUE(ParseByteField(ByteFieldText(text, 3, PT_TEXT), PT_TEXT, b));
    EXPECT_EQ(b, std::vector<uint8_t>(text, text + 3));
}

TEST(SeTeForm, RawTypesStartFromTheTelegramsEncoding) {
    SendRig r;
    r.com[0].bp.fkt = FKT_MONITOR;
    r.Open();
    T_SeTe t = r.Interrogation(1);
    t.ueb = 1;
    const Bytes asdu = Hex("64 01 06 01 00 00 00 00 14");
    EXPECT_EQ(StartBytes(PT_FIXED, t, r.com[0], r.env), Hex("00 01"));
    EXPECT_EQ(StartBytes(PT_ASDU, t, r.com[0], r.env), asdu);
    Bytes frame = Variable(0x44, 1, asdu);
    EXPECT_EQ(StartBytes(PT_HEX, t, r.com[0], r.env), frame);
    EXPECT_EQ(StartBytes(PT_FRAME, t, r.com[0], r.env), Bytes(frame.begin() + 4, frame.end() - 2));
    EXPECT_TRUE(StartBytes(PT_TEXT, t, r.com[0], r.env).empty());
}

TEST(SeTeForm, StationsAndComparison) {
    SendRig r({1, 2});
    r.Open();
    EXPECT_EQ(StationChoices(r.com[0], 1), (std::vector<uint16_t>{1, 2, 0xFF}));
    EXPECT_TRUE(StationChoices(r.com[0], 0).empty());
    EXPECT_TRUE(StationChoices(r.com[1], 1).empty()); // channel 2 monitors
    T_SeTe a = r.T(1), b = r.T(1);
    b.stat = 2;
    b.tick = 99;
    b.ilo = 4;
    EXPECT_FALSE(EditedDiffers(a, b));
    b.bez.set("other");
    EXPECT_TRUE(EditedDiffers(a, b));
    // Storing resolves the link address from the station index.
    a.laidx = 1;
    EXPECT_TRUE(r.tel.StoreEdited(1, a));
    EXPECT_EQ(r.T(1).la, 2u);
    EXPECT_TRUE(r.av.setelisav);
    r.av.setelisav = false;
    EXPECT_FALSE(r.tel.StoreEdited(1, r.T(1)));
    EXPECT_FALSE(r.av.setelisav);
}

TEST(TypePicker, TypesAndCauses) {
    RealTexts r;
    ObjectTexts none;
    PickEnv env{r.tx, r.av, r.ap, none};
    T_SeLiObj obj{};
    obj.typ = 3;
    PickList l = BuildPickList(PICK_TYPE, obj, 0, 0, env);
    ASSERT_EQ(l.entries.size(), 22u);
    EXPECT_EQ(l.selected, 2);
    uint32_t ca = 0;
    ASSERT_TRUE(TakePick(PICK_TYPE, l, 14, obj, ca));
    EXPECT_EQ(obj.typ, 20);
    // The list editor's list leaves out the file transfer types 122..126 and the pseudo types.
    l = BuildPickList(PICK_TYPE, obj, 0, r.av.maxpicktyp - 11, env);
    ASSERT_EQ(l.entries.size(), 53u);
    EXPECT_EQ(l.entries.back().value, 121u);
    // A type outside the list selects nothing; OK still takes the entry chosen.
    obj.typ = 133;
    l = BuildPickList(PICK_TYPE, obj, 0, 0, env);
    EXPECT_EQ(l.selected, -1);
    EXPECT_FALSE(TakePick(PICK_TYPE, l, -1, obj, ca));
    EXPECT_EQ(obj.typ, 133);

    obj.typ = 45;
    obj.urs = 8;
    l = BuildPickList(PICK_CAUSE, obj, 0, 0, env);
    ASSERT_GE(l.selected, 0);
    EXPECT_EQ(l.entries[static_cast<size_t>(l.selected)].value, 8u);
    EXPECT_EQ(l.caption, r.tx.tx(1167));
}

TEST(TypePicker, AddressesFromTheObjectTexts) {
    RealTexts r;
    FakeMessages msg;
    ObjectTexts ot;
    ObjectTextEnv oe{r.tx, r.av, r.ap, msg, nullptr, {}};
    std::string content = "CA;1;North\r\nCA;2;South\r\nCA;3;\r\n" + r.tx.tx(1129) + ";\r\n";
    for (int i = 1; i <= 20; ++i)
        content += "1;" + std::to_string(i) + ";;n" + std::to_string(i) + "\r\n";
    content += "2;7;;s7\r\n";
    ASSERT_TRUE(ot.LoadContent(content, "o.txt", oe));
    PickEnv env{r.tx, r.av, r.ap, ot};
    T_SeLiObj obj{};
    obj.oa = 12;
    // One common address: its objects only, the chosen one with eight lines above it.
    PickList l = BuildPickList(PICK_OBJECT, obj, 1, 0, env);
    ASSERT_EQ(l.entries.size(), 20u);
    EXPECT_EQ(l.selected, 11);
    EXPECT_EQ(l.top, 3);
    EXPECT_EQ(l.caption, "20" + r.tx.tx(1168) + r.tx.tx(522) + FormatCa(1, r.av, r.ap));
    // The broadcast common address lists every object with its common address.
    l = BuildPickList(PICK_OBJECT, obj, 0xFFFF, 0, env);
    ASSERT_EQ(l.entries.size(), 21u);
    EXPECT_EQ(l.entries.back().text.rfind(FormatCa(2, r.av, r.ap), 0), 0u);
    uint32_t ca = 0;
    ASSERT_TRUE(TakePick(PICK_OBJECT, l, 20, obj, ca));
    EXPECT_EQ(obj.oa, 7);
    // Common addresses with a name.
    l = BuildPickList(PICK_CA, obj, 2, 0, env);
    ASSERT_EQ(l.entries.size(), 2u);
    EXPECT_EQ(l.selected, 1);
    EXPECT_EQ(l.caption, "2" + r.tx.tx(1169));
    ASSERT_TRUE(TakePick(PICK_CA, l, 0, obj, ca));
    EXPECT_EQ(ca, 1u);
    // Browsing writes nothing back.
    l = BuildPickList(PICK_BROWSE, obj, 0, 0, env);
    EXPECT_EQ(l.entries.size(), 21u);
    EXPECT_FALSE(TakePick(PICK_BROWSE, l, 0, obj, ca));
}

TEST(TypePicker, Geometry) {
    PickGeometry g = PickerGeometry(-30, 40, 700, 20);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 40);
    EXPECT_EQ(g.w, 352);
    EXPECT_EQ(g.h, 650);
    g = PickerGeometry(500, 0, 700, 48); // 8 * 48 + 40 = 424: 72 wider, 72 further left
    EXPECT_EQ(g.w, 424);
    EXPECT_EQ(g.x, 428);
    EXPECT_EQ(PickerGeometry(30, 0, 700, 48).x, 0);
}
