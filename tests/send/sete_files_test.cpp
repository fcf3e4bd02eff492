// The telegram text file and the raw file of type 133: their read rules, written down here,
// and the round trip of a saved telegram.
#include "send/sete_files.h"

#include "asdu/asdu_layout.h"
#include "core/settings_records.h"
#include "support/frames.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Files {
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    SeTeTextEnv env{av, ap};
    AsduLayout lay;
    std::string dir;

    explicit Files(const std::string& name) : dir(TempDir(name)) {
        DeriveAsduLayout(av, ap);
        lay = LayoutOf(ap);
        av.DataDir = dir;
    }
    void Write(const std::string& file, const std::string& content) const {
        std::ofstream(dir + file, std::ios::binary) << content;
    }
};

T_SeTe Zero() {
    T_SeTe t;
    std::memset(&t, 0, sizeof t);
    return t;
}

} // namespace

TEST(RawFile, NumbersGiveTheirOctetsAndLinesEndAtTheFirstNonNumber) {
    RawLines l = ParseRawLines({"1;300;70000;", "", "5;x;6;", "16777216;", " 7 ; 8"}, ';');
    ASSERT_EQ(l.size(), 3u); // the empty line and the line without a number are dropped
    EXPECT_EQ(ToHex(l[0]), "01 2C 01 70 11 01");
    EXPECT_EQ(ToHex(l[1]), "05");
    EXPECT_EQ(ToHex(l[2]), "07 08");
    // At most 250 octets are collected: a number is taken while fewer are collected.
    std::string many;
    for (int i = 0; i < 300; ++i) many += "70000;";
    l = ParseRawLines({many}, ';');
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].size(), 252u);
}

TEST(RawFile, ReloadTakesLineCountAndCommonAddressOrFallsBackToOneOctet) {
    Files f("sete-raw");
    T_SeTe t = Zero();
    t.typ = PT_FILE;
    t.datei.set("raw.csv");
    f.Write("raw.csv", "1;1;3;300;10;0;0;1;\r\n1;1;3;1;0;11;0;0;0;\r\n");
    RawLines lines;
    ReloadRawFile(t, lines, f.av, f.lay);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(t.anzt, 2);
    EXPECT_EQ(t.ca, 300); // the first line's common address, low octet first
    EXPECT_EQ(t.datei.str(), "raw.csv");
    EXPECT_EQ(RawLineCa(lines[1], f.lay), 1u);

    t.datei.set("missing.csv");
    ReloadRawFile(t, lines, f.av, f.lay);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(t.anzt, 1);
    EXPECT_EQ(t.datei.str(), "");
}

TEST(SeTeText, SavedTelegramLoadsBackFieldForField) {
    Files f("sete-text");
    T_SeTe t = Zero();
    t.bez.set("Befehl Schütz 3");
    t.anst = ANST_TYPE;
    t.typn = 13;
    t.anzt = 3;
    t.snr = 4;
    t.wzt = 2500;
    t.ueb = 1;
    t.la = 7;
    t.typ = 50;
    t.urs = 6;
    t.hk = 9;
    t.ca = 0x0102;
    t.oa = 0x030405;
    float v = -12.25f;
    std::memcpy(&t.inf, &v, 4);
    t.qua = 0x80;
    t.tn = 0x80;
    t.ms = 250;
    t.zus = 1000;
    t.iv = t.su = t.gen = 1;
    t.trans = 0x80;
    t.datei.set("x.csv");
    t.lg = 3;
    t.b[0] = 0x10;
    t.b[1] = 0xFF;
    t.b[2] = 0;
    std::string error;
    ASSERT_TRUE(SaveSeTeFile(f.dir + "t.txt", t, f.env, error)) << error;
    EXPECT_EQ(SeTeTextLines(t, f.env)[0],
              "Befehl Schütz 3;1;13;3;4;0;2500;1;7;50;6;9;258;197637;-1052508160;128;");

    T_SeTe back = Zero();
    ASSERT_TRUE(LoadSeTeFile(f.dir + "t.txt", back, f.env, error));
    EXPECT_EQ(SeTeTextLines(back, f.env), SeTeTextLines(t, f.env));
    EXPECT_EQ(back.zus, 1000); // the elapsed time of two octets survives the round trip
}

TEST(SeTeText, HeaderIsTakenWholeOrNotAtAll) {
    Files f("sete-hdr");
    T_SeTe t = Zero();
    t.bez.set("old");
    t.typ = 1;
    t.anst = 0;
    t.wzt = 77;
    // Twelve fields: read up to the twelfth, then rejected as a whole; bez keeps its value.
    ASSERT_TRUE(ReadSeTeText({"new;1;5;1;2;0;0;0;1;100;6;0;", "0;0;0;0;0;0;0;;"}, t, f.env));
    EXPECT_EQ(t.bez.str(), "old");
    EXPECT_EQ(t.typ, 1);
    // Eleven fields are ignored; an invalid field (ueb 3) rejects the header.
    ReadSeTeText({"new;1;5;1;2;0;0;0;1;100;6;", ""}, t, f.env);
    ReadSeTeText({"new;1;5;1;2;0;0;3;1;100;6;0;1;0;20;0;", ""}, t, f.env);
    EXPECT_EQ(t.bez.str(), "old");
    // A valid header: mode 4 stores the third field as the minute; an unusable address is 0.
    t.typn = 99;
    ASSERT_TRUE(ReadSeTeText({"new name that is longer than twenty-seven;4;30;1;2;0;0;0;1;100;6;0;"
                              "abc;5;20;0;",
                              ""},
                             t, f.env));
    EXPECT_EQ(t.bez.str(), "new name that is longer tha");
    EXPECT_EQ(t.minute, 30);
    EXPECT_EQ(t.typn, 99);
    EXPECT_EQ(t.ca, 0);
    EXPECT_EQ(t.oa, 5);
    EXPECT_EQ(t.wzt, 0);
    // Fewer than two lines: nothing is read.
    EXPECT_FALSE(ReadSeTeText({"x;0;0;1;2;0;0;0;1;1;3;0;1;1;1;0;"}, t, f.env));
    EXPECT_EQ(t.typ, 100);
}

TEST(SeTeText, SecondAndThirdLineStopAtTheFirstInvalidField) {
    Files f("sete-l23");
    T_SeTe t = Zero();
    t.gen = 1;
    t.datei.set("keep");
    // Line 2: tn, ms, zus, iv; su = 2 is invalid, so su, trans, gen and the name stay.
    ReadSeTeText({"", "64;500;3;1;2;1;0;name;", "4;1;2;300;4;"}, t, f.env);
    EXPECT_EQ(t.tn, 64);
    EXPECT_EQ(t.ms, 500);
    EXPECT_EQ(t.zus, 3);
    EXPECT_EQ(t.iv, 1);
    EXPECT_EQ(t.gen, 1);
    EXPECT_EQ(t.datei.str(), "keep");
    // Line 3: the bytes up to the first invalid one.
    EXPECT_EQ(t.lg, 2);
    EXPECT_EQ(t.b[0], 1);
    EXPECT_EQ(t.b[1], 2);
    // Four fields in line 2 are too few to be read.
    ReadSeTeText({"", "1;2;3;0;", ""}, t, f.env);
    EXPECT_EQ(t.tn, 64);
}
