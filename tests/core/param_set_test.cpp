#include "core/channel.h"
#include "core/file_head.h"
#include "core/file_io.h"
#include "core/filter_rows.h"
#include "core/param_set.h"
#include "core/settings.h"

#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace vdl {
namespace {

std::vector<uint8_t> Slurp(const std::string& p) {
    std::vector<uint8_t> d;
    ReadWholeFile(p, d, 1 << 24);
    return d;
}

void Spit(const std::string& p, const std::vector<uint8_t>& d) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(d.data()), static_cast<std::streamsize>(d.size()));
}

void PutU32(std::vector<uint8_t>& d, size_t ofs, uint32_t v) {
    std::memcpy(d.data() + ofs, &v, 4);
}

struct State {
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    T_BetriebsPar bp1 = DefaultBetriebsPar();
    T_BetriebsPar bp2 = DefaultBetriebsPar();
    T_ProgPar pp = DefaultProgPar();
    T_Modem modem{};
    T_ParaBlocks blocks = DefaultParaBlocks();
    TextTable texts = test::FileTexts();
    test::FakeMessages msg;
    ParamSetEnv Env() { return ParamSetEnv{av, ap, bp1, bp2, pp, modem, blocks, texts, msg}; }
};

class ParamSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("paramset");
        a.av.DataDir = b.av.DataDir = dir;
        // Something of everything, so that a round trip shows that each part travels.
        a.ap.lgla = 2;
        a.ap.MaxLog = 7;
        a.ap.afilt.aktiv = 1; // stored inactive
        a.ap.lfilt.z[2].rel = 1;
        a.ap.lfilt.z[2].w1 = 7;
        // As the program holds them: normalised for the address settings.
        NormaliseFilter(a.ap.afilt, a.ap);
        NormaliseFilter(a.ap.lfilt, a.ap);
        a.bp1.baud = 19200;
        a.bp2.fkt = FKT_SLAVE;
        a.pp.frburs.frb[3] = {4, 5};
        a.modem.dauer = 1234;
        a.blocks.rm[100] = 1;
        a.blocks.sete[200] = 2;
        a.blocks.seli[300000] = 3;
        a.blocks.casl[144003] = 4;
        file = dir + "set.vpa";
    }
    std::string dir, file;
    State a, b;
};

TEST_F(ParamSetTest, SavedAndLoadedGivesTheSameBytes) {
    ParamSetEnv ea = a.Env();
    ASSERT_TRUE(SaveParameterSet(ea, file));
    std::vector<uint8_t> first = Slurp(file);
    ASSERT_EQ(first.size(), kParamSetLen);
    EXPECT_EQ(first[16 + 476], 0); // display filter stored inactive

    ParamSetEnv eb = b.Env();
    b.av.setelisav = true;
    ASSERT_TRUE(LoadParameterSet(eb, file));
    EXPECT_TRUE(b.msg.errors.empty());
    EXPECT_EQ(b.av.dtSeTeLi, file);
    EXPECT_FALSE(b.av.setelisav);
    EXPECT_EQ(b.ap.lgla, 2);
    EXPECT_EQ(b.ap.MaxLog, DefaultAllgPar().MaxLog); // the present log size stays
    EXPECT_EQ(b.bp1.baud, 19200);
    EXPECT_EQ(b.bp2.fkt, FKT_SLAVE);
    EXPECT_EQ(b.pp.frburs.frb[3], (T_FarbIndex{4, 5}));
    EXPECT_EQ(b.modem.dauer, 1234);
    EXPECT_EQ(b.blocks.casl[144003], 4);

    b.ap.MaxLog = a.ap.MaxLog;
    b.ap.afilt.aktiv = 1;
    std::string again = dir + "again.vpa";
    ASSERT_TRUE(SaveParameterSet(eb, again));
    EXPECT_EQ(Slurp(again), first);
}

TEST_F(ParamSetTest, FiltersOfAFileAreTakenInactiveAndInOrder) {
    // A head from elsewhere: the log filter active, its rows never normalised, flags and
    // choices out of range.
    T_AllgPar foreign = a.ap;
    foreign.mitori = 1;
    T_Filter& f = foreign.lfilt;
    f.aktiv = 1;
    f.anzz = 99;
    for (T_FilterZeile& z : f.z) z = {77, 1, 5, 9, 5};
    f.z[3].rel = 7;
    f.okein = 2;
    f.fehlein = 1;
    f.oaz = 200;
    T_DateiKopf k = BuildFileHead(2128, 2000, foreign, a.bp1, a.bp2);
    std::memcpy(&k.ap.lfilt, &f, sizeof f); // stored as it came
    T_AllgPar got = DefaultAllgPar();
    T_BetriebsPar b1 = DefaultBetriebsPar(), b2 = b1;
    ASSERT_TRUE(
        TakeSettingsFromHead(reinterpret_cast<const uint8_t*>(&k), got, b1, b2, false).allg);
    EXPECT_EQ(got.lfilt.aktiv, 0);
    EXPECT_EQ(got.afilt.aktiv, 0);
    std::vector<int32_t> fields = FilterFields(got);
    ASSERT_EQ(got.lfilt.anzz, static_cast<int32_t>(fields.size()));
    for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(got.lfilt.z[i].feld, fields[i]);
    EXPECT_EQ(got.lfilt.z[3].rel, 0);
    EXPECT_EQ(got.lfilt.z[0].vgl, 0);
    EXPECT_EQ(got.lfilt.okein, 1);
    EXPECT_EQ(got.lfilt.oaz,
              1 + std::distance(fields.begin(), std::find(fields.begin(), fields.end(), 17)));
    T_Filter again = got.lfilt;
    NormaliseFilter(again, got);
    EXPECT_EQ(std::memcmp(&again, &got.lfilt, sizeof again), 0) << "taken normalised";
}

TEST_F(ParamSetTest, ShorterFormLoadsWithEmptyAddressTables) {
    ParamSetEnv ea = a.Env();
    std::vector<uint8_t> d = BuildParameterSet(ea);
    d.resize(kParamSetLenNoCa);
    Spit(file, d);
    b.blocks.casl[500] = 9;
    ParamSetEnv eb = b.Env();
    ASSERT_TRUE(LoadParameterSet(eb, file));
    EXPECT_EQ(b.blocks.casl, EmptyCaSeLiBlock());
    EXPECT_EQ(b.blocks.seli[300000], 3);
    EXPECT_EQ(b.modem.dauer, 1234);
}

TEST_F(ParamSetTest, BadFilesAreRefusedAndChangeNothing) {
    ParamSetEnv ea = a.Env();
    std::vector<uint8_t> good = BuildParameterSet(ea);
    struct Case {
        const char* what;
        std::vector<uint8_t> d;
    };
    std::vector<Case> cases;
    cases.push_back({"wrong size", std::vector<uint8_t>(good.begin(), good.end() - 1)});
    cases.push_back({"feedback length", good});
    PutU32(cases.back().d, 2000, 60019);
    cases.push_back({"telegram length", good});
    PutU32(cases.back().d, 62020, 0);
    cases.push_back({"list length", good});
    PutU32(cases.back().d, 68552, 434117);
    cases.push_back({"head length", good});
    PutU32(cases.back().d, 8, 2128);
    cases.push_back({"magic", good});
    PutU32(cases.back().d, 0, 0x12345678);
    for (const Case& c : cases) {
        Spit(file, c.d);
        State s;
        s.av.DataDir = dir;
        ParamSetEnv es = s.Env();
        EXPECT_FALSE(LoadParameterSet(es, file)) << c.what;
        ASSERT_EQ(s.msg.errors.size(), 1u) << c.what;
        EXPECT_EQ(s.msg.errors[0], "parameter set refused\n" + file);
        EXPECT_EQ(s.ap.lgla, 1) << c.what;
        EXPECT_EQ(s.blocks.seli, DefaultParaBlocks().seli) << c.what;
        EXPECT_EQ(s.av.dtSeTeLi, "") << c.what;
        EXPECT_EQ(Slurp(file), c.d) << c.what;
    }
}

TEST_F(ParamSetTest, SecondMagicTakesNoSettings) {
    ParamSetEnv ea = a.Env();
    std::vector<uint8_t> d = BuildParameterSet(ea);
    PutU32(d, 0, kFileMagicNoSettings);
    Spit(file, d);
    ParamSetEnv eb = b.Env();
    ASSERT_TRUE(LoadParameterSet(eb, file));
    EXPECT_EQ(b.ap.lgla, 1);
    EXPECT_EQ(b.bp1.baud, DefaultBetriebsPar().baud);
    EXPECT_EQ(b.blocks.sete[200], 2);
}

TEST_F(ParamSetTest, UnusableSettingsInTheHeadAreNotTaken) {
    ParamSetEnv ea = a.Env();
    std::vector<uint8_t> d = BuildParameterSet(ea);
    PutU32(d, 1016 + 16, 0); // channel 1 baud rate 0
    PutU32(d, 16 + 24, 9);   // common address of nine parts
    Spit(file, d);
    ParamSetEnv eb = b.Env();
    ASSERT_TRUE(LoadParameterSet(eb, file));
    EXPECT_EQ(b.ap.castr.anz, 2);
    EXPECT_EQ(b.bp1.baud, DefaultBetriebsPar().baud);
}

TEST_F(ParamSetTest, MissingFiles) {
    ParamSetEnv eb = b.Env();
    std::string def = StandardFileName(b.av, b.texts, kTxParamSetFile);
    EXPECT_TRUE(LoadParameterSet(eb, def));
    EXPECT_TRUE(b.av.setelisav);
    EXPECT_TRUE(b.msg.errors.empty());
    EXPECT_FALSE(LoadParameterSet(eb, dir + "other.vpa"));
    EXPECT_EQ(b.msg.errors.size(), 1u);
}

TEST_F(ParamSetTest, SaveFailureReportsAndKeepsTheOldFile) {
    ParamSetEnv ea = a.Env();
    a.av.setelisav = true;
    EXPECT_FALSE(SaveParameterSet(ea, dir + "no/such/dir/x.vpa"));
    ASSERT_EQ(a.msg.errors.size(), 1u);
    EXPECT_EQ(a.msg.errors[0], "parameter set not written\n" + dir + "no/such/dir/x.vpa");
    EXPECT_TRUE(a.av.setelisav);
}

TEST_F(ParamSetTest, OldestFormIsConverted) {
    std::vector<uint8_t> d(kParamSetLenOld, 0);
    T_DateiKopf k = BuildFileHead(static_cast<int32_t>(kParamSetLenOld), 2000, a.ap, a.bp1, a.bp2);
    std::memcpy(d.data(), &k, sizeof k);
    PutU32(d, 2000, 6020);
    d[2000 + 4] = 1;       // feedback on
    d[2000 + 6019] = 0x77; // last byte of the short table
    PutU32(d, 12000, 6532);
    d[12000 + 10] = 5;
    // List 2 (index 1): header byte and object 400 (the last of the old form).
    size_t l2 = 20004 + 4976;
    d[l2 + 8] = 0x42;
    d[l2 + 176 + 399 * 12] = 0x99;
    Spit(file, d);
    ParamSetEnv eb = b.Env();
    ASSERT_TRUE(LoadParameterSet(eb, file));
    EXPECT_EQ(b.blocks.rm.size(), kRmBlockLen);
    uint32_t lg;
    std::memcpy(&lg, b.blocks.rm.data(), 4);
    EXPECT_EQ(lg, kRmBlockLen);
    EXPECT_EQ(b.blocks.rm[4], 1);
    EXPECT_EQ(b.blocks.rm[6019], 0x77);
    EXPECT_EQ(b.blocks.rm[6020], 0);
    EXPECT_EQ(b.blocks.sete[10], 5);
    size_t n2 = 4 + kSeLiLen;
    EXPECT_EQ(b.blocks.seli[n2 + 8], 0x42);
    EXPECT_EQ(b.blocks.seli[n2 + 176 + 399 * 12], 0x99);
    // Object 401 on is the default object: inf 1, type 2, cause 3.
    EXPECT_EQ(b.blocks.seli[n2 + 176 + 400 * 12 + 4], 1);
    EXPECT_EQ(b.blocks.seli[n2 + 176 + 2999 * 12 + 9], 2);
    EXPECT_EQ(b.blocks.seli[n2 + 176 + 2999 * 12 + 10], 3);
    EXPECT_EQ(b.ap.lgla, 2);
}

} // namespace
} // namespace vdl
