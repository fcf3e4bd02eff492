#include "asdu/object_texts.h"

#include "app/program.h"

#include "render_fixture.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

struct ObjectTextsTest : ::testing::Test {
    RenderFixture f;
    std::vector<std::string> logged;
    ObjectTextEnv Env() {
        return ObjectTextEnv{f.texts, f.av,
                             f.ap,    f.msg,
                             &f.pfu,  [this](const std::string& m) { logged.push_back(m); }};
    }
    bool Load(const std::string& content) {
        ObjectTextEnv e = Env();
        return f.objects.LoadContent(content, "objects.txt", e);
    }
};

} // namespace

TEST_F(ObjectTextsTest, ObjectLinesNamesAndColours) {
    ASSERT_TRUE(Load("100;2-12;Breaker Q1;\r\n"
                     "5;;Pump;\r\n"
                     "CA;7;Station North;\r\n"
                     "\"300;3;Quoted;\"\r\n"
                     ";comment line\r\n"
                     "no separator here\r\n"
                     "IP;1.2.3.4;\r\n"));
    EXPECT_TRUE(f.msg.errors.empty());
    EXPECT_EQ(f.objects.ObjectCount(), 3);
    int i = f.objects.FindObject(100, 55);
    ASSERT_GE(i, 0);
    EXPECT_EQ(f.objects.ObjectName(i), "Breaker Q1");
    EXPECT_EQ(f.objects.ObjectColour(i), (T_FarbIndex{2, 12}));
    EXPECT_EQ(f.objects.ObjectColour(f.objects.FindObject(5, 0)), (T_FarbIndex{0, 0}));
    EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(300, 0)), "Quoted");
    EXPECT_EQ(f.objects.FindObject(101, 0), -1);
    EXPECT_EQ(f.objects.CaName(f.objects.FindCaName(7)), "Station North");
    EXPECT_EQ(f.objects.FindCaName(8), -1);
    EXPECT_EQ(f.av.dtOaTxt, "objects.txt");
    // Enumeration is in key order.
    EXPECT_EQ(f.objects.ObjectAt(0)->id, 5u);
    EXPECT_EQ(f.objects.ObjectAt(3), nullptr);
    EXPECT_EQ(f.objects.ObjectName(-1), "");
}

TEST_F(ObjectTextsTest, RweModeKeysObjectsByLowNibbleOfCommonAddress) {
    ASSERT_TRUE(Load("RWE;\r\n3;100;;Feeder;\r\nCA;2;Area two;\r\n"));
    EXPECT_TRUE(f.objects.RweMode());
    for (uint32_t ca : {3u, 19u, 35u})
        EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(100, ca)), "Feeder") << ca;
    EXPECT_EQ(f.objects.FindObject(100, 4), -1);
    // The name of a common address is looked up with the address shifted right by 4.
    EXPECT_EQ(f.objects.CaName(f.objects.FindCaName(0x23)), "Area two");
    EXPECT_EQ(f.objects.FindCaName(2), -1);
}

TEST_F(ObjectTextsTest, CaColumnModeKeysByWholeCommonAddressAndWinsOverRwe) {
    ASSERT_TRUE(Load("RWE;\r\nCACOL;\r\n3;300;100;;Deep;\r\n"));
    EXPECT_TRUE(f.objects.CaColumnMode());
    EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(100, 300)), "Deep");
    EXPECT_EQ(f.objects.FindObject(100, 300 & 0x0F), -1);
}

TEST_F(ObjectTextsTest, StructuredAddressesAreReadInTheConfiguredStructure) {
    f.ap.castr = T_AdrStruktur{2, {8, 8, 0, 0, 0}};
    f.ap.oastr = T_AdrStruktur{3, {8, 8, 8, 0, 0}};
    DeriveAsduLayout(f.av, f.ap);
    ASSERT_TRUE(Load("1 2 3;;Structured;\r\nCA;12-5;Sub;\r\n"));
    EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(0x010203, 0)), "Structured");
    EXPECT_EQ(f.objects.CaName(f.objects.FindCaName(0x0C05)), "Sub");
}

TEST_F(ObjectTextsTest, UrsLineColoursOnlyTheCompleteCauseOctet) {
    ASSERT_TRUE(Load("URS;67;3-14;\r\n"));
    EXPECT_EQ(f.pfu.frb[0x43], (T_FarbIndex{3, 14}));
    EXPECT_EQ(f.pfu.frb[0x03], (T_FarbIndex{0, 0}));
}

TEST_F(ObjectTextsTest, FaultyLinesAreSkippedCountedAndListed) {
    // Colour 20, background 20, a missing address, an address beyond 3 octets, cause 256.
    ASSERT_TRUE(Load("1;20;a;\r\n2;1-20;b;\r\n;x\r\nCA;;x;\r\n16777216;;big;\r\nURS;256;1;\r\n"
                     "7;19-0;fine;\r\n"));
    EXPECT_EQ(f.objects.ObjectCount(), 1);
    EXPECT_EQ(f.objects.FaultyCount(), 5);
    EXPECT_EQ(f.objects.FaultyLines(), (std::vector<int>{1, 2, 4, 5, 6}));
    ASSERT_EQ(f.msg.errors.size(), 1u);
    EXPECT_EQ(f.msg.errors[0],
              "objects.txt: 7 lines, 5 faulty:\r\n            Lines: 1,  2,  4,  5,  6");
}

TEST_F(ObjectTextsTest, TwoHundredFiftyFaultyLinesListTheFirst201) {
    std::string content;
    for (int i = 0; i < 250; ++i) content += "1;99;bad;\r\n";
    content += "1;1;good;\r\n";
    ASSERT_TRUE(Load(content));
    EXPECT_EQ(f.objects.FaultyCount(), 250);
    ASSERT_EQ(f.objects.FaultyLines().size(), 201u);
    ASSERT_EQ(f.msg.errors.size(), 1u);
    const std::string& m = f.msg.errors[0];
    EXPECT_EQ(m.rfind("objects.txt: 251 lines, 250 faulty:", 0), 0u);
    EXPECT_NE(m.find("Lines: 191,  192"), std::string::npos);
    EXPECT_NE(m.find("Lines: 201"), std::string::npos);
    EXPECT_EQ(m.find("202"), std::string::npos);
    // 201 numbers make 21 rows.
    size_t rows = 0;
    for (size_t p = 0; (p = m.find("\r\n            Lines: ", p)) != std::string::npos; ++p) ++rows;
    EXPECT_EQ(rows, 21u);
}

TEST_F(ObjectTextsTest, DuplicateAddressesStayAndOneIsFound) {
    ASSERT_TRUE(Load("9;;first;\r\n9;;second;\r\n"));
    EXPECT_EQ(f.objects.ObjectCount(), 2);
    std::string n = f.objects.ObjectName(f.objects.FindObject(9, 0));
    EXPECT_TRUE(n == "first" || n == "second") << n;
}

TEST_F(ObjectTextsTest, UnreadableFileKeepsTablesAndReportsIt) {
    ASSERT_TRUE(Load("1;;kept;\r\n"));
    ObjectTextEnv e = Env();
    std::string missing = TempDir("objtexts") + "missing.txt";
    EXPECT_FALSE(f.objects.Load(missing, e));
    EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(1, 0)), "kept");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "cannot read " + missing);
    EXPECT_EQ(f.msg.errors.back(), logged[0]);
    // A directory cannot be read either.
    EXPECT_FALSE(f.objects.Load(TempDir("objtexts"), e));
    EXPECT_EQ(f.objects.ObjectCount(), 1);
}

TEST_F(ObjectTextsTest, FileWithAnsiNamesIsReadAsUtf8) {
    std::string dir = TempDir("objtexts");
    {
        std::ofstream o(dir + "ansi.txt", std::ios::binary);
        o << "4;;Sch\xFCtz;\r\n";
    }
    ObjectTextEnv e = Env();
    ASSERT_TRUE(f.objects.Load(dir + "ansi.txt", e));
    EXPECT_EQ(f.objects.ObjectName(f.objects.FindObject(4, 0)), "Sch\xC3\xBCtz");
}

TEST_F(ObjectTextsTest, CaNameCacheIsRenewedByALoad) {
    ASSERT_TRUE(Load("CA;5;old;\r\n"));
    EXPECT_EQ(f.objects.CaNameCached(5), "old");
    ASSERT_TRUE(Load("CA;5;new;\r\n"));
    EXPECT_EQ(f.objects.CaNameCached(5), "new");
    f.objects.Clear();
    EXPECT_EQ(f.objects.CaNameCached(5), "");
}

TEST(ProgramObjectTexts, FailedLoadForgetsTheFileNameAndUrsColoursReachTheCauseTable) {
    FakeMessages msg;
    Program p(BinDir(), msg);
    std::string dir = TempDir("progobj");
    {
        std::ofstream o(dir + "o.txt", std::ios::binary);
        o << "URS;3;4-5;\r\n";
    }
    ASSERT_TRUE(p.LoadObjectTexts(dir + "o.txt"));
    EXPECT_EQ(p.av.dtOaTxt, dir + "o.txt");
    ASSERT_NE(p.av.pfu, nullptr);
    EXPECT_EQ(p.av.pfu->frb[3], (T_FarbIndex{4, 5}));
    EXPECT_FALSE(p.LoadObjectTexts(dir + "none.txt"));
    EXPECT_EQ(p.av.dtOaTxt, "");
    EXPECT_EQ(msg.errors.size(), 1u);
}
