// The command feedback: which entries a command matches, the steps sent (confirmation, return
// information, termination) and their timing, the return information by type, the negative
// confirmations of unknown addresses, the feedback text file and the parameter set block.
#include "link/user_data_reception.h"
#include "list_rig.h"
#include "send/feedback_files.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vdl;
using namespace vdl::test;

namespace {

// Channel 1 as the controlled station of station 1 with the feedback on.
struct FeedbackRig : ListRig {
    FeedbackRig() {
        com[0].bp.fkt = FKT_SLAVE;
        InitChannel(com[0], av, ap);
        Open();
        tab.ein = 1;
    }
    T_BefRm& Entry(int i, int32_t boa, int32_t roa, uint8_t rtyp, int8_t bken = -1) {
        T_BefRm& e = tab.e[i - 1];
        e.bca = 1;
        e.boa = boa;
        e.roa = roa;
        e.rtyp = rtyp;
        e.bken = bken;
        e.con = e.ret = e.term = 1;
        return e;
    }
    // A command of type typ (cause 6) to common address ca, object address oa; the frame as
    // the receiver leaves it. True when the feedback took it.
    bool Command(uint8_t typ, int32_t oa, const Bytes& element, uint16_t ca = 1,
                 uint8_t cause = 6) {
        Bytes objects = Ioa3(static_cast<uint32_t>(oa));
        objects.insert(objects.end(), element.begin(), element.end());
        last = Record(Variable(0x53, 1, Asdu(typ, 1, cause, ca, objects)));
        last.ek = EK_RX1;
        DecodeHeader(last, com[0].bp.fkt, LayoutOf(ap));
        return fb.MatchCommand(com[0], last);
    }
    // The next step built for station 1, as its ASDU; empty when none is ready.
    Bytes Step() { return fb.Build(com[0], 0) ? BuiltAsdu() : Bytes(); }
    T_Telegramm last;
};

Bytes Obj(uint8_t typ, uint8_t cause, uint32_t oa, const Bytes& element) {
    Bytes b = {typ, 1, cause, 1, 0};
    Bytes a = Ioa3(oa);
    b.insert(b.end(), a.begin(), a.end());
    b.insert(b.end(), element.begin(), element.end());
    return b;
}

} // namespace

TEST(CommandFeedback, ADoubleCommandIsConfirmedAnsweredWithItsStateAndTerminated) {
    FeedbackRig r;
    r.Entry(1, 500, 600, 3);
    ASSERT_TRUE(r.Command(46, 500, {0x02}));
    EXPECT_EQ(r.last.stat, ST_OK);
    EXPECT_EQ(r.Step(), Obj(46, 7, 500, {0x02}));
    EXPECT_EQ(r.Step(), Obj(3, 11, 600, {0x02})) << "double point on, cause 11";
    EXPECT_EQ(r.Step(), Obj(46, 10, 500, {0x02}));
    EXPECT_TRUE(r.Step().empty());
    EXPECT_EQ(r.com[0].se.rm, 1);
}

TEST(CommandFeedback, TheReturnInformationFollowsTheCommandAndItsType) {
    struct Row {
        const char* what;
        uint8_t typ;
        Bytes element;
        uint8_t rtyp;
        Bytes answer; // the return information's element
        uint8_t cause;
    } rows[] = {
        {"single command on, single point", 45, {0x01}, 1, {0x01}, 11},
        {"single command off, double point off", 45, {0x00}, 3, {0x01}, 11},
        {"double command off, single point", 46, {0x01}, 1, {0x00}, 11},
        {"regulating step up", 47, {0x02}, 5, {0x03, 0x00}, 11},
        {"set-point scaled, scaled value", 49, {0x34, 0x12, 0x00}, 11, {0x34, 0x12, 0x00}, 3},
        {"set-point float, float value",
         50,
         {0x00, 0x00, 0x48, 0x41, 0x00},
         13,
         {0x00, 0x00, 0x48, 0x41, 0x00},
         3},
        {"bitstring command, bitstring", 51, {1, 2, 3, 4}, 7, {1, 2, 3, 4, 0}, 3},
    };
    for (const Row& row : rows) {
        FeedbackRig r;
        r.av.dRmStg = 3;
        r.Entry(1, 500, 600, row.rtyp);
        ASSERT_TRUE(r.Command(row.typ, 500, row.element)) << row.what;
        ASSERT_FALSE(r.Step().empty()) << row.what;
        EXPECT_EQ(r.Step(), Obj(row.rtyp, row.cause, 600, row.answer)) << row.what;
    }
}

TEST(CommandFeedback, ASingleCommandAnsweredByAMeasuredValueGetsAValueOfItsRange) {
    FeedbackRig r;
    r.Entry(1, 500, 600, 9);
    for (int k = 0; k < 20; ++k) {
        ASSERT_TRUE(r.Command(45, 500, {0x01}));
        r.Step();
        const Bytes ret = r.Step();
        ASSERT_EQ(ret.size(), 11u);
        EXPECT_EQ(ret[0], 9);
        EXPECT_EQ(ret[2], 3) << "spontaneous";
        EXPECT_LE(ret[8] | ret[9] << 8, 1999);
        r.Step();
    }
}

TEST(CommandFeedback, ASelectOrADeactivationIsOnlyConfirmed) {
    for (const auto& [element, cause] : {std::pair<Bytes, uint8_t>{{0x82}, 6}, {{0x02}, 8}}) {
        FeedbackRig r;
        r.Entry(1, 500, 600, 3);
        ASSERT_TRUE(r.Command(46, 500, element, 1, cause));
        EXPECT_EQ(r.Step(), Obj(46, static_cast<uint8_t>(cause + 1), 500, element));
        r.av.Tick += 100;
        EXPECT_TRUE(r.Step().empty());
    }
}

TEST(CommandFeedback, TheReturnInformationWaitsForTheDelay) {
    FeedbackRig r;
    r.tab.wzeit = 1000; // 19 ticks of 54 ms
    r.Entry(1, 500, 600, 1);
    ASSERT_TRUE(r.Command(45, 500, {0x01}));
    EXPECT_EQ(r.Step()[2], 7);
    int waited = 0;
    while (r.fb.SelectFeedback(r.com[0], 0) == 0 && waited < 100) {
        ++r.av.Tick;
        ++waited;
    }
    EXPECT_GE(waited, 18);
    EXPECT_LE(waited, 20);
    EXPECT_EQ(r.Step()[2], 11);
    EXPECT_EQ(r.Step()[2], 10);
}

TEST(CommandFeedback, TwoMatchingEntriesAreSentInTurn) {
    FeedbackRig r;
    r.Entry(1, 500, 600, 1).ret = 0;
    r.Entry(2, 500, 601, 1).ret = 0;
    r.tab.e[0].term = r.tab.e[1].term = 0;
    r.Entry(3, 500, 602, 1, 7); // another qualifier: not this command
    ASSERT_TRUE(r.Command(45, 500, {0x01}));
    EXPECT_EQ(r.Step()[2], 7);
    EXPECT_EQ(r.com[0].se.rm, 1);
    EXPECT_EQ(r.Step()[2], 7);
    EXPECT_EQ(r.com[0].se.rm, 2);
    EXPECT_TRUE(r.Step().empty());
}

TEST(CommandFeedback, UnknownAddressesAreConfirmedNegatively) {
    struct Row {
        const char* what;
        uint16_t ca;
        int32_t oa;
        int8_t bken;
        uint8_t cause; // of the confirmation, with the negative bit
    } rows[] = {
        {"unknown object address", 1, 501, -1, 47 | 0x40},
        {"unknown common address", 2, 500, -1, 46 | 0x40},
        {"another qualifier", 1, 500, 9, 47 | 0x40},
    };
    for (const Row& row : rows) {
        FeedbackRig r;
        r.Entry(1, 500, 600, 1, row.bken);
        ASSERT_TRUE(r.Command(45, row.oa, {0x01}, row.ca)) << row.what;
        EXPECT_EQ(r.last.stat, ST_LINK_ADDRESS) << row.what;
        EXPECT_EQ(r.last.b[8], 6) << "the received frame is left as it came";
        EXPECT_TRUE(r.Step().empty()) << row.what;
        ASSERT_TRUE(ConfirmationKept(r.com[0], 0)) << row.what;
        ASSERT_TRUE(SendKeptConfirmation(r.com[0], r.env)) << row.what;
        EXPECT_EQ(r.BuiltAsdu()[2], row.cause) << row.what;
    }
}

TEST(CommandFeedback, SwitchedOffItTakesNoCommandAndSendsNoStep) {
    FeedbackRig r;
    r.Entry(1, 500, 600, 1);
    ASSERT_TRUE(r.Command(45, 500, {0x01}));
    r.tab.ein = 0;
    EXPECT_TRUE(r.Step().empty());
    EXPECT_FALSE(r.Command(45, 500, {0x01}));
    r.tab.ein = 1;
    EXPECT_EQ(r.Step()[2], 7) << "the pending step resumes";
}

TEST(CommandFeedback, TheTextFileReadsRowsOfSevenAndEightFields) {
    ListRig rig;
    const SeTeTextEnv env{rig.av, rig.ap};
    T_RmTab t;
    NewFeedbackTable(t);
    ASSERT_TRUE(ReadFeedbackText({"1;2500;", "1;500;3;1;1;0;600;31;", "1;501;1;0;1;601;3;",
                                  "no row", "1;502;200;1;1;1;602;3;", "2;503;1;1;1;603;9;"},
                                 t, env));
    EXPECT_EQ(t.ein, 1);
    EXPECT_EQ(t.wzeit, 2500);
    EXPECT_EQ(t.e[0].bken, 3);
    EXPECT_EQ(t.e[0].term, 0);
    EXPECT_EQ(t.e[0].rtyp, 31);
    EXPECT_EQ(t.e[1].boa, 501);
    EXPECT_EQ(t.e[1].bken, -1) << "a row of 7 fields matches any qualifier";
    EXPECT_EQ(t.e[1].con, 1);
    EXPECT_EQ(t.e[1].ret, 0);
    EXPECT_EQ(t.e[2].bca, 2) << "a qualifier out of range makes no row";
    EXPECT_EQ(t.e[2].rtyp, 9);
    EXPECT_TRUE(IsNewFeedbackEntry(t.e[3]));
    // Written and read again: the same entries.
    T_RmTab back;
    ReadFeedbackText(FeedbackTextLines(t, env), back, env);
    EXPECT_EQ(RmBlock(back), RmBlock(t));
    EXPECT_EQ(FeedbackTextLines(t, env).size(), 4u);
    // An empty file changes nothing.
    EXPECT_FALSE(ReadFeedbackText({}, back, env));
    EXPECT_EQ(back.wzeit, 2500);
}

TEST(CommandFeedback, TheParameterSetBlockGoesBackByteForByte) {
    T_RmTab t;
    NewFeedbackTable(t);
    t.ein = 1;
    t.wzeit = 700;
    t.e[999].boa = 77;
    t.e[3].bken = 5;
    const std::vector<uint8_t> b = RmBlock(t);
    ASSERT_EQ(b.size(), 60020u);
    T_RmTab u;
    NewFeedbackTable(u);
    ASSERT_TRUE(TakeRmBlock(u, b));
    EXPECT_EQ(RmBlock(u), b);
    std::vector<uint8_t> shorter(b.begin(), b.end() - 1);
    EXPECT_FALSE(TakeRmBlock(u, shorter));
}
