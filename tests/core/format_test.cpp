#include "core/format.h"

#include <gtest/gtest.h>

using vdl::Format;
using vdl::FormatNf;
using vdl::NumberFormat;
using vdl::TryFormat;

TEST(Format, IntegersWidthPrecisionAndJustification) {
    EXPECT_EQ(Format("%d", {42}), "42");
    EXPECT_EQ(Format("%5d|", {42}), "   42|");
    EXPECT_EQ(Format("%-5d|", {42}), "42   |");
    EXPECT_EQ(Format("%.3d", {7}), "007");
    EXPECT_EQ(Format("%0.2d:%0.2d", {5, 12}), "05:12");
    EXPECT_EQ(Format("%.3d", {-7}), "-007");
    EXPECT_EQ(Format("%d", {-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%x", {255}), "FF");
    EXPECT_EQ(Format("%.4x", {0x1A}), "001A");
    EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
}

TEST(Format, StarTakesWidthAndPrecisionFromTheArguments) {
    EXPECT_EQ(Format("%*d|", {6, 12}), "    12|");
    EXPECT_EQ(Format("%-*d|", {4, 3}), "3   |");
    EXPECT_EQ(Format("%.*f", {1, 2.25}), "2.2");
    EXPECT_EQ(Format("%*.*f", {7, 3, 3.14159}), "  3.142");
    EXPECT_EQ(Format("%*d-%*d", {3, 1, 3, 22}), "  1- 22");
}

TEST(Format, Strings) {
    EXPECT_EQ(Format("<%s>", {"abc"}), "<abc>");
    EXPECT_EQ(Format("<%6s>", {"abc"}), "<   abc>");
    EXPECT_EQ(Format("<%-6s>", {"abc"}), "<abc   >");
    EXPECT_EQ(Format("<%.2s>", {"abc"}), "<ab>");
    // Width counts characters, not bytes: umlauts take one column.
    EXPECT_EQ(Format("<%5s>", {"\xC3\xA4\xC3\xB6"}), "<   \xC3\xA4\xC3\xB6>");
    EXPECT_EQ(Format("%s and %s", {"one", std::string("two")}), "one and two");
    EXPECT_EQ(Format("100%%", {}), "100%");
}

TEST(Format, ArgumentIndexesRestartTheSequence) {
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(Format("%0:d/%0:d", {9}), "9/9");
}

TEST(Format, FloatingPointForms) {
    EXPECT_EQ(Format("%f", {1.5}), "1.50");
    EXPECT_EQ(Format("%.3f", {-0.0004}), "0.000");
    EXPECT_EQ(Format("%.1f", {99.95}), "100.0");
    EXPECT_EQ(Format("%4.1f", {3.25}), " 3.2");
    EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {-0.00012345}), "-1.23E-004");
    EXPECT_EQ(Format("%g", {0.5}), "0.5");
    EXPECT_EQ(Format("%g", {100.0}), "100");
    EXPECT_EQ(Format("%g", {1e20}), "1E+20");
    EXPECT_EQ(Format("%.3g", {3.14159}), "3.14");
    // An integer argument is taken where a floating-point value is expected.
    EXPECT_EQ(Format("%.1f", {3}), "3.0");
}

TEST(Format, ThousandsSeparatorsFollowTheLocale) {
    EXPECT_EQ(Format("%*.0n", {3, 1234567}), "1,234,567");
    EXPECT_EQ(Format("%*.0n", {9, 999}), "      999");
    EXPECT_EQ(Format("%.2n", {-1234.5}), "-1,234.50");
    EXPECT_EQ(Format("%.0n", {1000.0}), "1,000");
    NumberFormat de{',', '.'};
    EXPECT_EQ(FormatNf(de, "%*.0n", {3, 1234567}), "1.234.567");
    EXPECT_EQ(FormatNf(de, "%.2n", {1234.5}), "1.234,50");
    EXPECT_EQ(FormatNf(de, "%.1f", {2.5}), "2,5");
}

TEST(Format, FaultyDirectivesAreReportedNotThrown) {
    std::string out, err;
    EXPECT_FALSE(TryFormat("%d", {std::string("x")}, out, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(TryFormat("%s", {5}, out, &err));
    EXPECT_FALSE(TryFormat("%d %d", {5}, out, &err)); // missing argument
    EXPECT_FALSE(TryFormat("%d", {1.5}, out, &err));  // no floating point for %d
    EXPECT_FALSE(TryFormat("abc %", {}, out, &err));   // incomplete directive
    EXPECT_FALSE(TryFormat("%q", {1}, out, &err));     // unknown directive
    EXPECT_TRUE(TryFormat("%d", {5}, out, &err));
    EXPECT_EQ(out, "5");
    // The non-throwing form marks the fault and keeps what was formatted before it.
    EXPECT_EQ(Format("n=%d s=%d", {1}), "n=1 s=?");
}
