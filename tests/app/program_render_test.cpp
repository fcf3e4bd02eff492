#include "app/program.h"

#include "support/fake_messages.h"
#include "support/frames.h"
#include "support/paths.h"

#include <gtest/gtest.h>

using namespace vdl;
using namespace vdl::test;

namespace {

int ExportLines(Program& p, const T_Telegramm& te) {
    FixedLocale loc;
    RenderEnv env = p.Rendering(loc);
    T_TeleAusgabe ctx;
    ctx.env = &env;
    StartTelegram(ctx, te);
    CollectText(ctx);
    return ctx.anztxt;
}

} // namespace

TEST(ProgramRendering, DisplayFilterChoosesTheObjectsShown) {
    FakeMessages msg;
    Program p(BinDir(), msg);
    ASSERT_TRUE(p.LoadStartTexts());
    p.ap.lgla = 1;
    p.ap.mitori = 1;
    p.pp.format = 7;
    // Three single points: valid, invalid (IV), valid.
    T_Telegramm te = Record(Variable(0x08, 1, Hex("01 03 14 00 01 00  01 00 00 01  02 00 00 81  03 00 00 00")));
    te.ek = 3;
    te.stat = ST_OK;
    te.typ = 1;
    te.struk = 3;
    te.urs = 20;
    te.lga = 52;
    EXPECT_EQ(ExportLines(p, te), 3);

    // Only objects with IV set: the display filter shows one line.
    p.ap.afilt.qmask1 = 0x80;
    NormaliseFilter(p.ap.afilt, p.ap);
    p.ap.afilt.aktiv = 1;
    EXPECT_EQ(ExportLines(p, te), 1);
    // Switched off, all objects are shown again.
    p.ap.afilt.aktiv = 0;
    EXPECT_EQ(ExportLines(p, te), 3);
    // An object address row: object address 3 only.
    p.ap.afilt = T_Filter{};
    NormaliseFilter(p.ap.afilt, p.ap);
    int row = -1;
    for (int k = 0; k < p.ap.afilt.anzz; ++k)
        if (p.ap.afilt.z[k].feld == FF_OA1 + 2) row = k;
    ASSERT_GE(row, 0);
    p.ap.afilt.z[row].rel = 1;
    p.ap.afilt.z[row].w1 = 3;
    NormaliseFilter(p.ap.afilt, p.ap);
    p.ap.afilt.aktiv = 1;
    EXPECT_EQ(ExportLines(p, te), 1);
}
