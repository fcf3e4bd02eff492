// How forms read their lists from the text table, and where dialogs are placed.
#include "core/allg_var.h"
#include "core/display_lists.h"
#include "core/form_rules.h"
#include "core/info_text.h"
#include "core/text_table.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;

using vdl::test::MakeTexts;

TEST(FormRules, ComboEntriesFollowTheCountText) {
    TextTable t = MakeTexts(
        {{568, "Procedure"}, {569, "2"}, {570, "balanced"}, {571, "unbalanced"}, {572, "ignored"}});
    EXPECT_EQ(ComboEntries(t, 568), (std::vector<std::string>{"balanced", "unbalanced"}));
    // A count that is no number, or absurdly large, gives no entries rather than garbage.
    t.Replace(569, "two");
    EXPECT_TRUE(ComboEntries(t, 568).empty());
    t.Replace(569, "100000");
    EXPECT_TRUE(ComboEntries(t, 568).empty());
    t.Replace(569, " 1 ");
    EXPECT_EQ(ComboEntries(t, 568), std::vector<std::string>{"balanced"});
    // Entries beyond the table are empty texts, never a crash.
    t.Replace(2998, "3");
    EXPECT_EQ(ComboEntries(t, 2997).size(), 3u);
}

TEST(FormRules, CommaListsAndNumbers) {
    EXPECT_EQ(CommaList("DCD, DSR ,CTS"), (std::vector<std::string>{"DCD", "DSR", "CTS"}));
    EXPECT_EQ(CommaList("a,,b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(CommaList("   ").empty());
    EXPECT_EQ(LeadingNumber(" 9600 bit/s"), 9600);
    EXPECT_EQ(LeadingNumber("bit 9600", -1), -1);
    EXPECT_EQ(TextNumber("14"), 14);
    EXPECT_EQ(TextNumber("14x", -1), -1);
    EXPECT_EQ(TextNumber("99999999999", -1), -1);
}

TEST(FormRules, DialogStaysOnTheScreen) {
    // Room to the right of the main window: the dialog starts at its right edge.
    EXPECT_EQ(DialogLeft(100, 800, 1920, 400), 900);
    // No room: pushed back so that its right edge is the screen's.
    EXPECT_EQ(DialogLeft(1000, 800, 1920, 400), 1520);
    // Wider than the screen: its left edge stays visible.
    EXPECT_EQ(DialogLeft(0, 800, 600, 700), 0);
}

TEST(DisplayLists, FontSizeChosenByNumberNotBySubstring) {
    std::vector<int> sizes = FontSizes("8    ,9    ,10   ,11   ,12   ,13   ,14   ,15   ,16");
    ASSERT_EQ(sizes.size(), 9u);
    EXPECT_EQ(FontSizeIndex(sizes, 8), 0);
    EXPECT_EQ(FontSizeIndex(sizes, 10), 2);
    EXPECT_EQ(FontSizeIndex(sizes, 16), 8);
    // 6 occurs inside "16" but is not offered: the nearest size, 8, is shown instead of 16.
    EXPECT_EQ(FontSizeIndex(sizes, 6), 0);
    EXPECT_EQ(FontSizeIndex(sizes, 40), 8);
    EXPECT_EQ(FontSizeIndex({}, 10), -1);
    // Ties go to the smaller size.
    EXPECT_EQ(FontSizeIndex({8, 12}, 10), 0);
}

TEST(DisplayLists, PaletteEntries) {
    TextTable t = MakeTexts({{1417, "window"}, {1418, "black"}, {1436, "inactive caption"}});
    EXPECT_EQ(PaletteEntryText(t, 0), "  0 window");
    EXPECT_EQ(PaletteEntryText(t, 1), "  1 black");
    EXPECT_EQ(PaletteEntryText(t, 19), " 19 inactive caption");
    EXPECT_EQ(PaletteRgb(4), 0x00C000);
    EXPECT_EQ(PaletteRgb(12), 0xFFD3D3);
    EXPECT_EQ(PaletteRgb(15), -1); // system colour
    EXPECT_EQ(PaletteRgb(20), -1);
}

TEST(DisplayLists, EveryPaletteColourGetsTheTextColourOfHigherContrast) {
    // Dark colours of the palette (black, blue, red, violet, grey) take white text, light ones
    // black.
    for (int i : {1, 2, 3, 7, 9}) EXPECT_TRUE(WhiteTextOn(PaletteRgb(i))) << i;
    for (int i : {4, 5, 6, 8, 10, 11, 12, 13, 14}) EXPECT_FALSE(WhiteTextOn(PaletteRgb(i))) << i;
    // System colours resolved by the desktop: dark window text, a light window.
    EXPECT_TRUE(WhiteTextOn(0x000000));
    EXPECT_FALSE(WhiteTextOn(0xFFFFFF));
    EXPECT_TRUE(WhiteTextOn(0x202060));  // a dark caption colour
    EXPECT_FALSE(WhiteTextOn(0xC0C0C0)); // a light grey
}

TEST(DisplayLists, ColourTableEntries) {
    TextTable t = MakeTexts({{71, "M_SP_NA_1  single point"},
                             {72, "M_SP_TA_1  single point with time"},
                             {199, "T "},
                             {201, "P/N "},
                             {202, "undefined"},
                             {205, "spont  spontaneous"},
                             {206, "undefined"}});
    T_AllgVar av;
    av.TypStr[0] = 1;
    av.maxpicktyp = 1; // only type 1 is in the catalogue
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbTypes, 1), "   1    M_SP_NA_1  single point");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbTypes, 2), "   2    ");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbTypes, 255), " 255    ");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 3), "   3    spont  spontaneous");
    // Bit 6 is P/N, bit 7 the test bit; their words stand before the name.
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 0x43), "  67    P/N spont  spontaneous");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 0xC3), " 195    T P/N spont  spontaneous");
    // A cause named like cause 0, or without a name, is not defined.
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 4), "   4    ");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 0x80), " 128    ");
    EXPECT_EQ(ColourTableEntryText(t, av, kFrbCauses, 9), "   9    ");
}

TEST(DisplayLists, EntryPairsAndTableComparison) {
    EXPECT_EQ(ColourTableEntryPair({0, 0}), (T_FarbIndex{1, 15}));
    EXPECT_EQ(ColourTableEntryPair({255, 255}), (T_FarbIndex{1, 15}));
    EXPECT_EQ(ColourTableEntryPair({3, 12}), (T_FarbIndex{3, 12}));
    T_TypUrsFarben a = DefaultTypUrsFarben(), b = a;
    b.ilo = 2;
    EXPECT_FALSE(ColourTablesDiffer(a, b));
    b.frb[255].hg = 4;
    EXPECT_TRUE(ColourTablesDiffer(a, b));
}

TEST(InfoText, LinesWithAndWithoutVersion) {
    TextTable t = MakeTexts({{1, "?"}, {1324, "Vordal"}, {1325, "Version "}, {1326, "end"}});
    auto lines = InfoLines(t, {"(c) 2024 the authors", "1.2.3.4", "1.2"});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "Vordal");
    EXPECT_EQ(lines[3], " (c) 2024 the authors");
    EXPECT_EQ(lines[5], "Version 1.2.3.4   1.2");
    EXPECT_EQ(lines[7], "end");
    lines = InfoLines(t, {});
    EXPECT_EQ(lines[3], " -");
    EXPECT_EQ(lines[5], "Version ?.?.?.?   ?");
}
