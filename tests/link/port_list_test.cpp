// The port list of the channel parameter dialog.
#include "link/port_list.h"

#include "core/text_table.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;

namespace {

TextTable PortTexts() {
    return test::MakeTexts({{kTxNoPort, "no port"}, {kTxPortPrefix, "COM"}});
}

} // namespace

TEST(PortList, OtherChannelsPortLeftOutOwnPortAlwaysIn) {
    TextTable t = PortTexts();
    PortList pl = BuildPortList(t, {1, 2, 5, 256}, 2, 5);
    EXPECT_EQ(pl.entries, (std::vector<std::string>{"no port", "COM1", "COM5", "COM256"}));
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 5, 256}));
    EXPECT_EQ(pl.selected, 2);

    // A bound port of the channel that the system list lacks is added and selected.
    pl = BuildPortList(t, {1}, 0, 300);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 300}));
    EXPECT_EQ(pl.selected, 2);
    // So is a configured port that is not plugged in now: OK must not drop it silently.
    pl = BuildPortList(t, {1}, 0, 7);
    EXPECT_EQ(pl.numbers.at(static_cast<size_t>(pl.selected)), 7);
    // Both channels on one port: the channel still sees its own.
    pl = BuildPortList(t, {1, 2}, 2, 2);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 2}));
    // No port configured: "no port" is selected.
    pl = BuildPortList(t, {1, 2}, 1, 0);
    EXPECT_EQ(pl.selected, 0);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 2}));
}

TEST(PortList, TypedEntriesReadBack) {
    TextTable t = PortTexts();
    EXPECT_EQ(ReadPortEntry(t, "COM7"), 7);
    EXPECT_EQ(ReadPortEntry(t, " com 12 "), 12);
    EXPECT_EQ(ReadPortEntry(t, "300"), 300);
    EXPECT_EQ(ReadPortEntry(t, "65535"), 65535);
    EXPECT_EQ(ReadPortEntry(t, "65536"), 0);
    EXPECT_EQ(ReadPortEntry(t, "COMx"), 0);
    EXPECT_EQ(ReadPortEntry(t, "no port"), 0);
    EXPECT_EQ(ReadPortEntry(t, ""), 0);
    EXPECT_EQ(PortEntryText(t, 0), "no port");
    EXPECT_EQ(PortEntryText(t, 9), "COM9");

    PortList pl = BuildPortList(t, {1}, 0, 0);
    EXPECT_EQ(AddPort(t, pl, 1), 1); // present: no second entry
    EXPECT_EQ(AddPort(t, pl, 400), 2);
    EXPECT_EQ(pl.entries.back(), "COM400");
    EXPECT_EQ(pl.numbers.size(), 3u);
}
