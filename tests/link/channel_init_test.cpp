#include "link/channel_init.h"

#include <gtest/gtest.h>

using namespace vdl;

namespace {

struct Chan {
    T_ComVar c;
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    Chan() {
        T_ComVar other;
        InitChannelRecords(c, other);
    }
    void Init() { InitChannel(c, av, ap); }
};

} // namespace

TEST(ChannelInit, ReceiveTimeoutAndCharacterTime) {
    Chan s;
    s.c.bp.baud = 9600;
    s.Init();
    EXPECT_EQ(s.c.em.TOut, 373u); // round(704000 / 9600) + 300
    EXPECT_EQ(s.c.em.tlg, 16);
    EXPECT_EQ(s.c.se.pzt, 5); // trunc(44000 / 9600) + 1

    s.c.bp.baud = 1200;
    s.Init();
    EXPECT_EQ(s.c.em.TOut, 887u); // round(586.67) + 300
    EXPECT_EQ(s.c.se.pzt, 37);

    // ASCII mode takes the character time-out and the telegram length of the parameters.
    s.c.bp.fkt = FKT_ASCII;
    s.c.bp.qzt = 11;
    s.c.bp.tlg = 80;
    s.Init();
    EXPECT_EQ(s.c.em.TOut, 11u);
    EXPECT_EQ(s.c.em.tlg, 80);

    // A baud rate of 0 from a damaged file does not divide by zero.
    s.c.bp.fkt = FKT_MONITOR;
    s.c.bp.baud = 0;
    s.Init();
    EXPECT_EQ(s.c.em.TOut, 373u);
}

TEST(ChannelInit, EmulationModeFromFunctionAndProcedure) {
    struct Case {
        int fkt, pro, sim;
    } cases[] = {
        {FKT_MONITOR, PRO_UNBALANCED, SIM_NONE}, {FKT_MASTER, PRO_UNBALANCED, SIM_MASTER},
        {FKT_SLAVE, PRO_UNBALANCED, SIM_SLAVE},  {FKT_MASTER, PRO_BALANCED, SIM_BALANCED},
        {FKT_SLAVE, PRO_BALANCED, SIM_BALANCED}, {FKT_FT12, PRO_BALANCED, SIM_NONE},
        {FKT_ASCII, PRO_UNBALANCED, SIM_NONE},   {FKT_RP5, PRO_UNBALANCED, SIM_NONE},
        {FKT_RP6, PRO_BALANCED, SIM_NONE},       {FKT_MONITOR, PRO_BALANCED, SIM_NONE},
    };
    for (const Case& k : cases) {
        Chan s;
        s.c.bp.fkt = k.fkt;
        s.c.bp.pro = k.pro;
        s.Init();
        EXPECT_EQ(s.c.se.sim, k.sim) << "fkt " << k.fkt << " pro " << k.pro;
    }
}

TEST(ChannelInit, Rp57xVariants) {
    Chan s;
    s.c.bp.fkt = FKT_RP5;
    s.Init();
    EXPECT_TRUE(s.c.rp57x);
    EXPECT_EQ(s.c.rpbrsp1, 12);
    s.c.bp.fkt = FKT_RP6;
    s.Init();
    EXPECT_TRUE(s.c.rp57x);
    EXPECT_EQ(s.c.rpbrsp1, 16);
    s.c.bp.fkt = FKT_FT12;
    s.Init();
    EXPECT_FALSE(s.c.rp57x);
}

TEST(ChannelInit, ReceiveAndLinkStateAreReset) {
    Chan s;
    s.c.em.ela[3] = 17;
    s.c.em.efcb = 0x55;
    s.c.em.anzspik = 4;
    s.c.em.syn = true;
    s.c.se.sendq = 5;
    s.c.se.wquit = true;
    s.c.se.empfq = 0x0B;
    s.c.se.usfcb = 3;
    s.c.se.uslstat = 0;
    s.c.bp.paend = 0x80 | 0x40 | 0x20;
    s.Init();
    for (int16_t a : s.c.em.ela) EXPECT_EQ(a, -1);
    EXPECT_EQ(s.c.em.efcb, 0);
    EXPECT_EQ(s.c.em.anzspik, 0);
    EXPECT_FALSE(s.c.em.syn);
    EXPECT_EQ(s.c.se.sendq, 0);
    EXPECT_FALSE(s.c.se.wquit);
    EXPECT_EQ(s.c.se.empfq, 255);
    EXPECT_EQ(s.c.se.usfcb, 0);
    EXPECT_EQ(s.c.se.uslstat, 0xFFFF);
    EXPECT_EQ(s.c.se.paend, 0x80 | 0x20 | 0x10);
}

TEST(ChannelInit, LinkAddressCountAndLayout) {
    Chan s;
    s.c.bp.la.anz = 0;
    s.Init();
    EXPECT_EQ(s.c.bp.la.anz, 1);
    s.c.bp.la.anz = 4;
    s.ap.lgla = 0; // without link address octets there is exactly one station
    s.Init();
    EXPECT_EQ(s.c.bp.la.anz, 1);
    EXPECT_EQ(s.av.TypI, 5);

    s.ap.lgla = 2;
    s.ap.mitori = 1;
    s.Init();
    EXPECT_EQ(s.av.TypI, 7);
    EXPECT_EQ(s.av.CaI, 11);
    EXPECT_EQ(s.av.OaI, 13);
    EXPECT_EQ(s.av.InfI, 16);
    EXPECT_EQ(s.av.globla, 0xFFFF);
}
