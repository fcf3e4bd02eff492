// The send lists: packing of objects into telegrams (sequences, the length limit, runs of one
// type), the cycles with and without a number of objects per cycle, the row reader and the
// list text file, the parameter set blocks, the editor's station and its optional columns.
#include "list_rig.h"
#include "send/list_files.h"
#include "send/seli_encoder.h"
#include "send/seli_form.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

constexpr int kOaLen = 3, kScaledLen = 3; // object address and element of type 11

uint32_t Le(const Bytes& b, size_t at, int n) {
    uint32_t v = 0;
    for (int k = n - 1; k >= 0; --k) v = (v << 8) | b.at(at + static_cast<size_t>(k));
    return v;
}

// The addresses and values of the objects of an ASDU of type 11 (qualifier at 1, objects at 5).
struct Objects {
    std::vector<uint32_t> oa, value;
};
Objects Read(const Bytes& asdu) {
    Objects o;
    const int k = asdu.at(1) & 0x7F;
    const bool sq = (asdu.at(1) & 0x80) != 0;
    size_t p = 5;
    uint32_t first = 0;
    for (int i = 0; i < k; ++i) {
        if (!sq || i == 0) {
            first = Le(asdu, p, kOaLen);
            o.oa.push_back(first);
            p += kOaLen;
        }
        o.value.push_back(Le(asdu, p, 2));
        p += kScaledLen;
    }
    EXPECT_EQ(p, asdu.size()) << "the ASDU holds exactly its objects";
    return o;
}

} // namespace

TEST(SendList, ObjectsArePackedAsSequencesOrWithTheirAddressesWithinTheLength) {
    struct Row {
        const char* what;
        std::vector<std::pair<int, int32_t>> objects;
        int tlg;
        uint8_t vsq;
        std::vector<uint32_t> addresses; // as written
        std::vector<uint32_t> values;
    } rows[] = {
        {"a gap of addresses ends the sequence",
         {{1, 100}, {2, 101}, {3, 102}, {5, 200}},
         255,
         0x04,
         {100, 101, 102, 200},
         {1000, 1010, 1020, 2000}},
        {"consecutive addresses go as a sequence",
         {{1, 100}, {2, 101}, {3, 102}},
         255,
         0x83,
         {100},
         {1000, 1010, 1020}},
        // 11 octets up to the address, 3 + 3 per object and 2: 19, 22, 25, 28 fit in 30.
        {"a sequence within 30 octets",
         {{1, 10}, {2, 11}, {3, 12}, {4, 13}, {5, 14}, {6, 15}},
         30,
         0x84,
         {10},
         {100, 110, 120, 130}},
        // With addresses: 11 + 6 per object + 2: 19, 25 fit, 31 does not.
        {"objects with addresses within 30 octets",
         {{1, 10}, {2, 20}, {3, 30}, {4, 40}},
         30,
         0x02,
         {10, 20},
         {100, 200}},
    };
    for (const Row& r : rows) {
        ListRig rig;
        rig.com[0].bp.tlg = r.tlg;
        SeLi& l = rig.List(1, r.objects);
        ASSERT_EQ(BuildListTelegram(rig.com[0], rig.env, l, {}), ListBuildResult::Built) << r.what;
        const Bytes asdu = rig.BuiltAsdu();
        EXPECT_LE(static_cast<int>(rig.Built().size()), r.tlg) << r.what;
        EXPECT_EQ(asdu[0], 11) << r.what;
        EXPECT_EQ(asdu[1], r.vsq) << r.what;
        EXPECT_EQ(asdu[2], 3) << r.what;
        const Objects o = Read(asdu);
        EXPECT_EQ(o.oa, r.addresses) << r.what;
        EXPECT_EQ(o.value, r.values) << r.what;
        EXPECT_EQ(l.anzzyk, static_cast<int>(r.values.size())) << r.what;
    }
}

TEST(SendList, CyclesOfAFewObjectsWalkThroughTheList) {
    ListRig rig;
    SeLi& l = rig.List(1, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    l.anzo() = 2;
    l.h.anzt = 0;
    struct Step {
        uint8_t vsq;
        std::vector<uint32_t> addresses;
    } steps[] = {{0x82, {1}}, {0x82, {3}}, {0x02, {5, 1}}, {0x82, {2}}};
    int k = 0;
    for (const Step& s : steps) {
        ASSERT_EQ(BuildListTelegram(rig.com[0], rig.env, l, {}), ListBuildResult::Built);
        const Bytes asdu = rig.BuiltAsdu();
        EXPECT_EQ(asdu[1], s.vsq) << "telegram " << k;
        EXPECT_EQ(Read(asdu).oa, s.addresses) << "telegram " << k;
        EXPECT_TRUE(EndOfListCycle(l)) << "every telegram ends a cycle of two";
        EXPECT_EQ(l.h.stat, SS_TE_SENT);
        EXPECT_EQ(l.h.anzist, ++k);
    }
}

TEST(SendList, EachRunOfOneTypeIsATelegramAndTheCycleEndsAfterTheLast) {
    ListRig rig;
    SeLi& l = rig.List(1, {{1, 10}, {2, 11}});
    rig.List(1, {{3, 12}, {4, 13}}, 1);
    l.h.anzt = 2;
    std::vector<int> types;
    for (int cycle = 0; cycle < 2; ++cycle) {
        ASSERT_EQ(BuildListTelegram(rig.com[0], rig.env, l, {}), ListBuildResult::Built);
        types.push_back(rig.BuiltAsdu()[0]);
        EXPECT_FALSE(EndOfListCycle(l));
        ASSERT_EQ(BuildListTelegram(rig.com[0], rig.env, l, {}), ListBuildResult::Built);
        types.push_back(rig.BuiltAsdu()[0]);
        EXPECT_EQ(rig.BuiltAsdu()[1], 0x82);
        EXPECT_TRUE(EndOfListCycle(l));
        EXPECT_EQ(l.idx, 1);
    }
    EXPECT_EQ(types, (std::vector<int>{11, 1, 11, 1}));
    EXPECT_EQ(l.h.stat, SS_TE_IDLE) << "two cycles asked for, two sent";
}

TEST(SendList, PerObjectCommonAddressesSplitTelegramsAndAnswerTheirInterrogation) {
    ListRig rig;
    rig.pp.opt[8] = 1;
    SeLi& l = rig.List(1, {{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    for (int i = 1; i <= 4; ++i) l.caOf(i).ca = i <= 2 ? 7 : 8;
    l.h.anst = ANST_TYPE;
    l.h.typn = 100;
    rig.lists.RecountList(1);
    // An interrogation of common address 8 asks for objects 3 and 4 only.
    rig.com[0].bp.fkt = FKT_SLAVE;
    InitChannel(rig.com[0], rig.av, rig.ap);
    T_Telegramm te = Record(Variable(0x53, 1, Asdu(100, 1, 6, 8, {0, 0, 0, 20})));
    te.ek = EK_RX1;
    DecodeHeader(te, rig.com[0].bp.fkt, LayoutOf(rig.ap));
    rig.lists.FireOnReceive(rig.com[0], te);
    EXPECT_EQ(l.h.stat, SS_TE_REQUESTED);
    EXPECT_EQ(l.idx, 3);
    EXPECT_EQ(l.anzo(), 2);
    ASSERT_EQ(BuildListTelegram(rig.com[0], rig.env, l, {true, false}), ListBuildResult::Built);
    const Bytes asdu = rig.BuiltAsdu();
    EXPECT_EQ(Le(asdu, 3, 2), 8u);
    EXPECT_EQ(Read(asdu).oa, (std::vector<uint32_t>{3}));
    EXPECT_TRUE(EndOfListCycle(l));
}

TEST(SendList, TheRowReaderTakesLinesByTheirNumberOfFields) {
    ListRig rig;
    rig.av.tz = ';';
    rig.av.globca = 0xFFFF;
    rig.av.oamax = 0xFFFFFF;
    const SeTeTextEnv env{rig.av, rig.ap};
    struct Row {
        const char* line;
        RowKind kind;
        int akt = 0, ca = 0, oa = 0, typ = 0, urs = 0, hk = 0, inf = 0, qua = 0;
    } rows[] = {
        {"1;2;300;13;3;4;-5;16;", RowKind::Row, 1, 2, 300, 13, 3, 4, -5, 16},
        {"2;2;300;13;3;4;-5;16;", RowKind::None},
        {"1;2;300;13;3;256;-5;16;", RowKind::None},
        {"2;300;13;3;", RowKind::Row, 1, 2, 300, 13, 3, 0, 0, 0},
        {"0;300;13;3;9;1;", RowKind::Row, 0, 0, 300, 13, 3, 0, 9, 1},
        {"1;300;13;", RowKind::Row, 1, 0, 300, 13, 3, 0, 0, 0},
        {"a;b;c;d;e;f;g;h;i;j;k;l;m;n;o;p;", RowKind::Header},
        {"1;2;3;4;5;6;7;8;9;", RowKind::None},
        {"", RowKind::None},
    };
    for (const Row& r : rows) {
        ListRow row;
        ASSERT_EQ(ReadListRow(r.line, env, row), r.kind) << r.line;
        if (r.kind != RowKind::Row) continue;
        EXPECT_EQ(row.obj.akt, r.akt) << r.line;
        EXPECT_EQ(row.ca.ca, r.ca) << r.line;
        EXPECT_EQ(row.obj.oa, r.oa) << r.line;
        EXPECT_EQ(row.obj.typ, r.typ) << r.line;
        EXPECT_EQ(row.obj.urs, r.urs) << r.line;
        EXPECT_EQ(row.ca.hk, r.hk) << r.line;
        EXPECT_EQ(row.obj.inf.l, r.inf) << r.line;
        EXPECT_EQ(row.obj.qua, r.qua) << r.line;
    }
}

TEST(SendList, TheTextFileHoldsItsHeaderAndTheRowsUpToTheLastUsedObject) {
    ListRig rig;
    rig.av.tz = ';';
    rig.av.globca = 0xFFFF;
    rig.av.oamax = 0xFFFFFF;
    const SeTeTextEnv env{rig.av, rig.ap};
    SeLi& l = rig.seli.at(1);
    l.h.bez.set("MW");
    EXPECT_EQ(ListTextLines(l, env).size(), 2u) << "a list of default objects: header and one row";
    rig.List(1, {{1, 100}, {2, 101}, {7, 300}});
    l.caOf(7).ca = 5;
    const std::vector<std::string> lines = ListTextLines(l, env);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[7], "1;5;300;11;3;0;3000;0;");
    // Read back, the rows give the same objects.
    SeLi back;
    NewList(back, 1, rig.texts);
    size_t pos = 1;
    EXPECT_EQ(FillListObjects(back, lines, pos, env), 7);
    EXPECT_EQ(std::memcmp(back.obj.data(), l.obj.data(), sizeof l.obj), 0);
    EXPECT_EQ(back.caOf(7).ca, 5);
    EXPECT_TRUE(ReadSeTeHeader(lines[0], back.h, env));
    EXPECT_EQ(back.h.bez.str(), "MW");
}

TEST(SendList, TheParameterSetBlocksGoBackByteForByte) {
    ListRig rig;
    rig.List(3, {{1, 100}, {2, 101}, {3000, 7}});
    rig.seli.at(3).caOf(2) = T_CaHk{9, 4, 0};
    rig.seli.at(12).h.bez.set("zwoelf");
    const std::vector<uint8_t> lists = SeLiBlock(rig.seli), cas = CaSeLiBlock(rig.seli);
    ASSERT_EQ(lists.size(), 434116u);
    ASSERT_EQ(cas.size(), 144004u);
    SeLiSet other;
    ASSERT_TRUE(TakeSeLiBlocks(other, lists, cas));
    for (int n = 1; n <= kSeLiCount; ++n) CountActive(other.at(n));
    EXPECT_EQ(SeLiBlock(other), lists);
    EXPECT_EQ(CaSeLiBlock(other), cas);
    EXPECT_EQ(other.at(3).anzakt, 3);
    EXPECT_EQ(other.at(3).maxakt, 3000);
    // A block without its length is refused and changes nothing.
    std::vector<uint8_t> bad = lists;
    bad[0] ^= 1;
    EXPECT_FALSE(TakeSeLiBlocks(other, bad, cas));
    EXPECT_EQ(SeLiBlock(other), lists);
}

TEST(SendList, TheStationChosenInTheEditorIsTheOneTheStoredListAddresses) {
    // Channel 1 controls stations 1 and 2 in unbalanced mode; the broadcast address follows.
    ListRig r({1, 2});
    r.Open();
    struct Case {
        uint8_t laidx;
        uint32_t la;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 2}, Case{2, 0xFF}, Case{7, 1}}) {
        SeLi edited = r.lists.OpenForEditing(1);
        edited.h.laidx = c.laidx;
        r.lists.StoreEdited(1, edited);
        EXPECT_EQ(r.seli.at(1).h.la, c.la) << "station index " << int(c.laidx);
    }
}

TEST(SendList, TheEditorShowsTheCommonAddressAndOriginatorColumnsOnlyWhenTheyAreSent) {
    TextTable texts;
    T_AllgVar av;
    struct Case {
        bool perObjectCa;
        int mitori; // two-octet cause
        bool ca, hk;
    };
    for (const Case& c : {Case{false, 0, false, false}, Case{false, 1, false, false},
                          Case{true, 0, true, false}, Case{true, 1, true, true}}) {
        T_AllgPar ap = DefaultAllgPar();
        ap.mitori = c.mitori;
        const SeLiFormEnv e{texts, av, ap, c.perObjectCa};
        const std::string at = "option 8 " + std::to_string(c.perObjectCa) + ", two-octet cause " +
                               std::to_string(c.mitori);
        EXPECT_EQ(ListColumnShown(SLC_CA, e), c.ca) << at;
        EXPECT_EQ(ListColumnShown(SLC_HK, e), c.hk) << at;
        for (int col : {SLC_ROW, SLC_AKT, SLC_OA, SLC_TYP, SLC_URS, SLC_WERT, SLC_QUA})
            EXPECT_TRUE(ListColumnShown(col, e)) << at << ", column " << col;
    }
}
