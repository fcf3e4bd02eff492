#include "core/locale_formats.h"

#include <gtest/gtest.h>

using namespace vdl;

TEST(LocaleFormats, PatternsFillDateAndTimeFields) {
    EXPECT_EQ(FormatDateTimePattern("dd/mm/yyyy", 2015, 3, 4, 0, 0, 0, '.', ':'), "04.03.2015");
    EXPECT_EQ(FormatDateTimePattern("d/m/yy", 2009, 11, 7, 0, 0, 0, '-', ':'), "7-11-09");
    // "mm" after an hour token is minutes; "nn" is always minutes.
    EXPECT_EQ(FormatDateTimePattern("hh:mm:ss", 0, 0, 0, 9, 5, 7, '.', ':'), "09:05:07");
    EXPECT_EQ(FormatDateTimePattern("h.nn 'Uhr'", 0, 0, 0, 9, 5, 7, '.', ':'), "9.05 Uhr");
}

TEST(LocaleFormats, FixedLocaleUsesItsSeparators) {
    FixedLocale loc("yyyy/mm/dd", "d/m/yyyy", "hh:nn:ss", '-', '.', NumberFormat{',', '.'});
    EXPECT_EQ(loc.ShortDate(2015, 3, 4), "2015-03-04");
    EXPECT_EQ(loc.LongTime(23, 59, 1), "23.59.01");
    EXPECT_EQ(loc.Numbers().decimal, ',');
}

TEST(LocaleFormats, TheProgramsLanguageChoosesTheLocale) {
    struct Case {
        int language;
        const char* system;
        const char* expected;
    } cases[] = {
        {0, "de_DE", "de_DE"},
        {0, "de_AT", "de_AT"}, // a German system keeps its country
        {0, "en_US", "de_DE"},
        {0, "C", "de_DE"}, // German names on any other system
        {1, "en_US", "en_US"},
        {1, "en-AU", "en-AU"}, // an English system keeps its forms
        {1, "de_DE", "en_GB"},
        {1, "C", "en_GB"}, // English names, 24-hour clock
        {1, "EN_ie.UTF-8", "EN_ie.UTF-8"},
        {0, "", "de_DE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocaleNameForLanguage(c.language, c.system), c.expected)
            << c.language << " " << c.system;
}
