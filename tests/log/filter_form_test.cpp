// The widget-free rules of the filter dialog.
#include "log/filter_form.h"

#include "log/filter.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;

TEST(FilterForm, FieldMaximaFollowTheConfiguration) {
    T_AllgPar ap = DefaultAllgPar(); // link address 1 octet, common address 8.8, object 8.8.8
    EXPECT_EQ(FilterFieldMax(FF_NR, ap), 2147483647);
    EXPECT_EQ(FilterFieldMax(FF_LG, ap), 261);
    EXPECT_EQ(FilterFieldMax(FF_LC, ap), 79);
    EXPECT_EQ(FilterFieldMax(FF_LA, ap), 255);
    EXPECT_EQ(FilterFieldMax(FF_URS, ap), 255);
    EXPECT_EQ(FilterFieldMax(FF_CA1, ap), 255);
    EXPECT_EQ(FilterFieldMax(FF_CA1 + 2, ap), 0); // no third part
    ap.lgla = 2;
    ap.castr = {2, {4, 12, 0, 0, 0}};
    ap.oastr = {3, {1, 7, 16, 0, 0}};
    EXPECT_EQ(FilterFieldMax(FF_LA, ap), 65535);
    EXPECT_EQ(FilterFieldMax(FF_CA1, ap), 15);
    EXPECT_EQ(FilterFieldMax(FF_CA1 + 1, ap), 4095);
    EXPECT_EQ(FilterFieldMax(FF_OA1, ap), 1);
    EXPECT_EQ(FilterFieldMax(FF_OA1 + 2, ap), 65535);
    EXPECT_EQ(FilterFieldMax(FF_LAST, ap), 0);
    EXPECT_EQ(FilterFieldMax(4, ap), 0);
}

TEST(FilterForm, RowLabels) {
    TextTable t = test::MakeTexts({{708, "Number"}, {715, ". part of CA"}, {721, ". part of IOA"}});
    EXPECT_EQ(FilterRowLabel(t, FF_NR), "Number");
    EXPECT_EQ(FilterRowLabel(t, FF_CA1), "&1. part of CA");
    EXPECT_EQ(FilterRowLabel(t, FF_OA1 + 1), "&2. part of IOA");
}

TEST(FilterForm, NamesStayInTheDataDirectory) {
    EXPECT_TRUE(ValidFilterName("only errors"));
    EXPECT_TRUE(ValidFilterName("Störungen 2"));
    for (const char* bad : {"", "../x", "a/b", "a\\b", "c:x", ".hidden", "a\tb", "x?"})
        EXPECT_FALSE(ValidFilterName(bad)) << bad;
}

TEST(FilterForm, SameCriteriaIgnoresBookkeeping) {
    T_AllgPar ap = DefaultAllgPar();
    T_Filter a{};
    a.z[2].rel = 1;
    a.z[2].w1 = 7;
    NormaliseFilter(a, ap);
    T_Filter b = a;
    b.ilo = 4;
    b.nameidx = 3;
    b.aktiv = 1;
    b.lg = kFilterLen;
    EXPECT_TRUE(SameFilterCriteria(a, b));
    b.z[2].w1 = 8;
    EXPECT_FALSE(SameFilterCriteria(a, b));
    b = a;
    b.qmask2 = 0x80;
    EXPECT_FALSE(SameFilterCriteria(a, b));
}
