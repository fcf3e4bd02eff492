// The station image as its window shows it: the cells of the grid, the caption with the span,
// the clipboard text, and the column widths.
#include "image/image_grid.h"

#include "asdu/asdu_header.h"
#include "asdu/element_text.h"
#include "core/clock.h"

#include "support/frames.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Grid : ::testing::Test {
    TextTable t = MakeTexts({{70, "type "},
                             {71, "M_SP_NA_1  single point"},
                             {79, "M_ME_NA_1  measured value, normalised"},
                             {100, "M_SP_TB_1  single point with CP56Time2a"},
                             {198, "PRIVATE  private range"},
                             {199, "test "},
                             {201, "neg "},
                             {205, "spont  spontaneous"},
                             {267, " orig="},
                             {271, "IV"},
                             {284, "OFF"},
                             {285, "ON"},
                             {292, "date "},
                             {2031, "%d objects from %s to %s (%s)"},
                             {2233, "%d object from %s to %s (%s)"},
                             {2234, "no objects yet"},
                             {2048, "16"},
                             {2049, "No"},
                             {2054, "Value"},
                             {2064, "other"}});
    T_AllgVar av;
    T_AllgPar ap = DefaultAllgPar();
    T_ProgPar pp = DefaultProgPar();
    FixedLocale loc{"dd/mm/yyyy", "d/mm/yyyy", "hh:nn:ss", '.', ':', NumberFormat{',', '.'}};
    StationImage im;
    ImageTextEnv e{t, av, ap, pp, loc};

    Grid() {
        im.open = true;
        pp.format = 4;
    }
    T_Telegramm Enter(int typ, uint8_t cot, const Bytes& object, double dt = 46000.5) {
        T_Telegramm te = Record(Variable(0x08, 1, Asdu(typ, 1, cot, 7, object)));
        te.dt = dt;
        DecodeHeader(te, FKT_MONITOR, LayoutOf(ap));
        im.EnterTelegram(te, ImageEnv{LayoutOf(ap), 100});
        return te;
    }
    // The interpretation of the element of the frame's first object.
    std::string Interpretation(const T_Telegramm& te) {
        ElementTextEnv env{t, loc, pp.format == 3, av.khex, av.bitz, ap.mwvoll};
        int pos = LayoutOf(ap).InfI;
        std::string s = ElementText(te, pos, env);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
};

TEST_F(Grid, CellsShowTheObjectAsTheInterpretationDoes) {
    T_Telegramm sp = Enter(30, 0x83, Hex("03 00 00 81 E8 03 05 0A 09 0C 18"));
    T_Telegramm me = Enter(9, 3, Hex("04 00 00 00 C0 80"));
    ASSERT_EQ(im.Count(), 2);
    EXPECT_EQ(ImageCell(im, 0, 0, e), "No");
    EXPECT_EQ(ImageCell(im, 0, 5, e), "Value");
    EXPECT_EQ(ImageCell(im, 1, 0, e), "0001");
    EXPECT_EQ(ImageCell(im, 2, 0, e), "0002");
    EXPECT_EQ(ImageCell(im, 1, 1, e), "12:00:00,000");
    EXPECT_EQ(ImageCell(im, 1, 4, e), "M_SP_TB_1=30");
    EXPECT_EQ(ImageCell(im, 2, 4, e), "M_ME_NA_1=9");
    // The value with quality and time tag, rebuilt from what the image keeps.
    EXPECT_EQ(ImageCell(im, 1, 5, e), Interpretation(sp));
    EXPECT_NE(ImageCell(im, 1, 5, e).find("ON"), std::string::npos);
    EXPECT_NE(ImageCell(im, 1, 5, e).find("10:05:01"), std::string::npos) << ImageCell(im, 1, 5, e);
    EXPECT_EQ(ImageCell(im, 2, 5, e), Interpretation(me));
    EXPECT_EQ(ImageCell(im, 1, 6, e), "test spont=3");
    EXPECT_EQ(ImageCell(im, 1, 9, e), "1"); // uz3
    EXPECT_EQ(ImageCell(im, 1, 7, e), "0");
    // Rows and columns outside the table are empty.
    EXPECT_EQ(ImageCell(im, 3, 1, e), "");
    EXPECT_EQ(ImageCell(im, 1, 16, e), "");
}

TEST_F(Grid, TypeAndCauseColumnsFollowTheSettings) {
    Enter(1, 0x43, Hex("05 00 00 01"));
    Enter(140, 3, Hex("06 00 00 01 02 03 04"));
    t.SetTypeName(1, "SP");
    t.SetTypeName(140, "MyType");
    // A user's name in every view but the full one, and always above 128.
    EXPECT_EQ(ImageCell(im, 1, 4, e), "SP=1");
    pp.format = 3;
    EXPECT_EQ(ImageCell(im, 1, 4, e), "M_SP_NA_1=1");
    EXPECT_EQ(ImageCell(im, 2, 4, e), "MyType=140");
    t.SetTypeName(140, "");
    EXPECT_EQ(ImageCell(im, 2, 4, e), "PRIVATE=140");
    // A type the interpretation has no words for shows the octets it was read from.
    EXPECT_EQ(ImageCell(im, 2, 5, e), "$01020304");
    EXPECT_EQ(ImageCell(im, 1, 6, e), "neg spont=3");
    ap.mitori = 1;
    EXPECT_EQ(ImageCell(im, 1, 6, e), "neg spont=3 orig=0");
}

TEST_F(Grid, AStampOfADamagedLogThatIsNoDateShowsEmpty) {
    Enter(1, 3, Hex("05 00 00 01"), 1e300);
    EXPECT_EQ(ImageCaption(im.St(), e), "1 object from  to  ()");
}

TEST_F(Grid, CaptionGivesTheSpanWithWholeDays) {
    EXPECT_EQ(ImageCaption(im.St(), e), "no objects yet");
    Enter(1, 3, Hex("05 00 00 01"), 46000.25);
    Enter(1, 3, Hex("05 00 00 01"), 46000.75);
    EXPECT_EQ(ImageCaption(im.St(), e), "1 object from " + loc.ShortDate(2025, 12, 9) +
                                            " 06:00:00 to " + loc.ShortDate(2025, 12, 9) +
                                            " 18:00:00 (12:00:00)");
    Enter(1, 3, Hex("05 00 00 01"), 46003.25 + 3723.0 / 86400);
    EXPECT_NE(ImageCaption(im.St(), e).find("(3d 01:02:03)"), std::string::npos);
    Enter(1, 3, Hex("05 00 00 01"), 46001.25);
    EXPECT_NE(ImageCaption(im.St(), e).find("(1d 00:00:00)"), std::string::npos);
}

TEST_F(Grid, CopyGivesEveryRowWithHeadingsAndTheCaption) {
    Enter(1, 3, Hex("05 00 00 01"));
    Enter(1, 3, Hex("06 00 00 00"));
    std::string text = ImageCopyText(im, e, "caption");
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string l; std::getline(ss, l, '\n');) {
        ASSERT_FALSE(l.empty());
        EXPECT_EQ(l.back(), '\r');
        lines.push_back(l.substr(0, l.size() - 1));
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 3), "No\t");
    EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), '\t'), 15);
    EXPECT_EQ(lines[2].substr(0, 5), "0002\t");
    EXPECT_EQ(lines[3], "caption");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 6), "\tother");
}

TEST(ImageWidths, StoredAsHalfWidthInOneByte) {
    EXPECT_EQ(StoredImageWidth(0), 0);
    EXPECT_EQ(StoredImageWidth(85), 42);
    EXPECT_EQ(StoredImageWidth(510), 255);
    EXPECT_EQ(StoredImageWidth(512), 255);
    EXPECT_EQ(StoredImageWidth(4000), 255);
    EXPECT_EQ(ImageWidthFromStore(42), 84);
    EXPECT_EQ(ImageGridWidth(kImageDefaultWidths, 16, 1), 690 + 16 + 20);
}

TEST(ImageWidths, FitGrowsToTheDrawnTextsAndHandsThemOutOnce) {
    ImageColumnFit fit;
    ImageWidths w{};
    // Nothing drawn since the refresh: nothing to apply (the defaults would only flicker).
    fit.Start();
    EXPECT_FALSE(fit.Take(w));
    fit.Drawn(5, 200, 10);
    fit.Drawn(5, 120, 10);
    fit.Drawn(2, 10, 10); // narrower than its default
    ASSERT_TRUE(fit.Take(w));
    EXPECT_EQ(w[5], 210);
    EXPECT_EQ(w[2], kImageDefaultWidths[2]);
    EXPECT_FALSE(fit.Take(w));
    // The next refresh starts from the defaults again; the same drawing asks for nothing new.
    fit.Start();
    fit.Drawn(5, 200, 10);
    EXPECT_FALSE(fit.Take(w));
    fit.Start();
    fit.Drawn(5, 20, 10);
    ASSERT_TRUE(fit.Take(w));
    EXPECT_EQ(w[5], kImageDefaultWidths[5]);
}

} // namespace
