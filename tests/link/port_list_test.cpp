// Port numbers, their devices and the bindings kept in the user store; the port list of the
// channel parameter dialog; the reasons a port failed.
#include "link/port_list.h"
#include "link/port_names.h"

#include "core/text_table.h"
#include "support/fake_system.h"
#include "support/text_fixture.h"

#include <gtest/gtest.h>

using namespace vdl;

namespace {

TextTable PortTexts() {
    return test::MakeTexts({{kTxNoPort, "no port"},
                            {kTxPortPrefix, "COM"},
                            {kTxPortFault + 1, "No such file or directory"},
                            {kTxPortFault + 7, "The other side hung up"}});
}

} // namespace

TEST(PortNames, TheRuleNamesTheLinuxDevices) {
    PortNames n(false);
    struct Row {
        int number;
        const char* device;
    } rows[] = {{1, "/dev/ttyS0"},     {64, "/dev/ttyS63"},   {65, "/dev/ttyUSB0"},
                {130, "/dev/ttyACM1"}, {193, "/dev/ttyAMA0"}, {255, "/dev/ttyAMA62"}};
    for (const Row& r : rows) {
        EXPECT_EQ(n.DevicePath(r.number), r.device);
        EXPECT_EQ(n.NumberOf(r.device), r.number);
        EXPECT_EQ(n.Bind(r.device), r.number) << "a device the rule names keeps its number";
    }
    EXPECT_EQ(n.NumberOf("/dev/ttyS64"), 0);
    EXPECT_EQ(n.NumberOf("/dev/ttyAMA63"), 0);
    EXPECT_EQ(n.NumberOf("/dev/ttyS01x"), 0);
    EXPECT_EQ(n.DevicePath(0), "");
    EXPECT_EQ(n.DevicePath(256), "");
    EXPECT_EQ(n.Name(256), "256"); // an unbound number is shown as the number
    EXPECT_TRUE(n.Bound().empty());
    EXPECT_EQ(n.Bind("ttyS0"), 0) << "not a device path";

    PortNames w(true);
    EXPECT_EQ(w.DevicePath(3), "COM3");
    EXPECT_EQ(w.NumberOf("com12"), 12);
    EXPECT_EQ(w.NumberOf("\\\\.\\COM7"), 7);
    EXPECT_EQ(w.Bind("COM4"), 4);
    EXPECT_EQ(w.Bind("/dev/ttyS0"), 0);
}

TEST(PortNames, BindingsSurviveARestartThroughTheStore) {
    test::FakeStore store;
    {
        PortNames n(false);
        n.Attach(store, true);
        EXPECT_EQ(n.Bind("/dev/pts/7"), 256);
        EXPECT_EQ(n.Bind("/dev/serial/by-id/usb-adapter-if00"), 257);
        EXPECT_EQ(n.Bind("/dev/pts/7"), 256);
    }
    EXPECT_EQ(store.values.size(), 2u);
    PortNames again(false);
    EXPECT_EQ(again.DevicePath(257), "");
    again.Attach(store, true);
    EXPECT_EQ(again.DevicePath(256), "/dev/pts/7");
    EXPECT_EQ(again.Name(257), "/dev/serial/by-id/usb-adapter-if00");
    // A new device takes the next number, never one that is taken.
    EXPECT_EQ(again.Bind("/dev/pts/9"), 258);

    // Another instance bound a device meanwhile: its number is not given away twice.
    PortNames other(false);
    other.Attach(store, true);
    store.values[std::string(kRegPortKey) + "|259"] = "/dev/pts/11";
    EXPECT_EQ(other.Bind("/dev/pts/12"), 260);
    EXPECT_EQ(other.NumberOf("/dev/pts/11"), 259);

    // A program that keeps no settings binds in memory only.
    test::FakeStore untouched;
    PortNames cli(false);
    cli.Attach(untouched, false);
    EXPECT_EQ(cli.Bind("/dev/pts/3"), 256);
    EXPECT_TRUE(untouched.values.empty());
}

TEST(PortList, OtherChannelsPortLeftOutOwnPortAlwaysIn) {
    TextTable t = PortTexts();
    PortNames names(true);
    PortList pl = BuildPortList(t, names, {1, 2, 5, 256}, 2, 5);
    EXPECT_EQ(pl.entries, (std::vector<std::string>{"no port", "COM1", "COM5", "COM256"}));
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 5, 256}));
    EXPECT_EQ(pl.selected, 2);

    // A bound port of the channel that the system list lacks is added and selected.
    pl = BuildPortList(t, names, {1}, 0, 300);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 300}));
    EXPECT_EQ(pl.selected, 2);
    // So is a configured port that is not plugged in now: OK must not drop it silently.
    pl = BuildPortList(t, names, {1}, 0, 7);
    EXPECT_EQ(pl.numbers.at(static_cast<size_t>(pl.selected)), 7);
    // Both channels on one port: the channel still sees its own.
    pl = BuildPortList(t, names, {1, 2}, 2, 2);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 1, 2}));
    // No port configured: "no port" is selected.
    pl = BuildPortList(t, names, {1, 2}, 1, 0);
    EXPECT_EQ(pl.selected, 0);
    EXPECT_EQ(pl.numbers, (std::vector<int>{0, 2}));
}

TEST(PortList, EntriesShowTheDevice) {
    TextTable t = test::MakeTexts({{kTxNoPort, "none"}}); // the real prefix is empty
    PortNames names(false);
    int pts = names.Bind("/dev/pts/4");
    PortList pl = BuildPortList(t, names, {65, pts}, 0, 300);
    EXPECT_EQ(pl.entries,
              (std::vector<std::string>{"none", "65  /dev/ttyUSB0", "256  /dev/pts/4", "300"}));
    // Each entry reads back as its number.
    for (size_t i = 1; i < pl.entries.size(); ++i)
        EXPECT_EQ(ReadPortEntry(t, names, pl.entries[i]), pl.numbers[i]) << pl.entries[i];
}

TEST(PortList, TypedEntriesReadBack) {
    TextTable t = PortTexts();
    PortNames names(false);
    struct Row {
        const char* typed;
        int number;
    } rows[] = {
        {"COM7", 7},
        {" com 12 ", 12},
        {"300", 300},
        {"65535", 65535},
        {"65536", 0},
        {"COMx", 0},
        {"no port", 0},
        {"", 0},
        {"66 /dev/ttyUSB1", 66},
        {"66 /dev/ttyUSB2", 0}, // the device must be the number's own
        {"/dev/ttyACM0", 129},  // a device the rule names
        {"/dev/pts/5", 256},
        {"/dev/pts/5", 256}, // a device path is bound once
        {"/dev/pts/6", 257},
    };
    for (const Row& r : rows) EXPECT_EQ(ReadPortEntry(t, names, r.typed), r.number) << r.typed;
    EXPECT_EQ(PortEntryText(t, names, 0), "no port");
    EXPECT_EQ(PortEntryText(t, names, 9), "COM9  /dev/ttyS8");

    PortList pl = BuildPortList(t, names, {1}, 0, 0);
    EXPECT_EQ(AddPort(t, names, pl, 1), 1); // present: no second entry
    EXPECT_EQ(AddPort(t, names, pl, 256), 2);
    EXPECT_EQ(pl.entries.back(), "COM256  /dev/pts/5");
    EXPECT_EQ(pl.numbers.size(), 3u);
}

TEST(PortList, FaultsInTheProgramsWordsOrTheSystems) {
    TextTable t = PortTexts();
    EXPECT_EQ(PortFaultText(t, PortFault::NoDevice, "Datei nicht gefunden"),
              "No such file or directory");
    EXPECT_EQ(PortFaultText(t, PortFault::HungUp, "hang-up"), "The other side hung up");
    // No wording in the table, or none for the kind: the system's own words.
    EXPECT_EQ(PortFaultText(t, PortFault::Busy, "Device or resource busy"),
              "Device or resource busy");
    EXPECT_EQ(PortFaultText(t, PortFault::Other, "Stale file handle"), "Stale file handle");
}
