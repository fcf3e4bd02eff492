// A small text table for the dialog tests: the captions, labels, hints and list entries the
// settings dialogs ask for, with wording made up here so that the tests do not depend on the
// program's text files.
#pragma once

#include "core/text_table.h"
#include "support/text_fixture.h"

#include <string>

namespace vdl::test {

inline void PutCombo(TextTable& t, int n, const std::string& label,
                     std::initializer_list<std::string> entries) {
    t.Replace(n, label);
    t.Replace(n + 1, std::to_string(entries.size()));
    int i = n + 2;
    for (const std::string& e : entries) t.Replace(i++, e);
}

inline TextTable DialogTexts() {
    TextTable t = MakeTexts({});
    auto put = [&](int n, const std::string& s) { t.Replace(n, s); };
    put(1, "?");
    put(25, "$");
    put(26, ".");
    put(502, "hint: choose");
    put(519, "hint: button");
    put(676, "OK");
    put(677, "Cancel");
    put(678, "Help");
    put(679, "Reset");
    put(681, "Delete");
    // Channel dialog
    put(652, "Channel 1");
    put(653, "Channel 2");
    put(559, "Link");
    put(560, "Line");
    PutCombo(t, 1470, "Function",
             {"monitor", "controlling", "controlled", "FT 1.2", "ASCII", "rp570", "rp571"});
    PutCombo(t, 568, "Procedure", {"balanced", "unbalanced"});
    PutCombo(t, 572, "Direction bit", {"0", "1"});
    PutCombo(t, 562, "E5", {"never", "a", "b", "c"});
    PutCombo(t, 603, "Polling", {"p0", "p1"});
    PutCombo(t, 576, "Confirm", {"no", "yes"});
    PutCombo(t, 609, "Spikes", {"keep", "drop"});
    PutCombo(t, 655, "Baud",
             {"110", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600"});
    PutCombo(t, 891, "Parity", {"none", "odd", "even", "mark", "space"});
    PutCombo(t, 899, "Data bits", {"5", "6", "7", "8"});
    PutCombo(t, 906, "Stop bits", {"1", "2"});
    PutCombo(t, 1337, "RTS", {"r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7"});
    put(600, "Link addresses");
    put(601, "hint: link addresses");
    put(621, "Link test cycle [s]");
    put(622, "hint: link test cycle");
    put(924, "Poll cycle [ms]");
    put(925, "hint: poll cycle");
    put(921, "Watched lines");
    put(922, "DCD, DSR, CTS");
    put(627, "Log text");
    put(628, "hint: log text");
    put(671, "Port");
    put(613, "Telegram length");
    put(614, "hint: telegram length");
    put(911, "Line length");
    put(617, "Time-out [ms]");
    put(618, "hint: time-out");
    put(914, "Character time-out [ms]");
    put(615, "Repetitions");
    put(619, "Link cycle [s]");
    put(881, "Send delay [ms]");
    put(882, "hint: send delay");
    put(629, "RTS lead [ms]");
    put(631, "RTS lag [ms]");
    put(1206, "no port");
    put(1207, "COM");
    // Options
    put(1231, "Options");
    put(1232, "3");
    put(1233, "F8 online");
    put(1234, "F9 display");
    put(1235, "F11 filter");
    // Display settings
    put(1400, "Display");
    put(1401, "Font size");
    put(1402, "8    ,9    ,10   ,11   ,12   ,13   ,14   ,15   ,16");
    put(1403, "Sample");
    put(1404, "Foreground");
    put(1405, "Background");
    put(1406, "Gap [%]");
    for (int r = 0; r < 8; ++r) put(1407 + r, "row " + std::to_string(r));
    put(1415, "IV,NT,SB,BL,EI,OV,tIV,tSB");
    for (int c = 0; c < 20; ++c) put(1417 + c, "colour" + std::to_string(c));
    // Colour tables
    put(1457, "Colours by cause");
    put(1458, "Colours by type");
    put(1459, "Causes");
    put(1460, "Types");
    put(1461, "Foreground");
    put(1462, "Background");
    put(71, "M_SP_NA_1  single point");
    put(202, "undefined");
    put(205, "spont  spontaneous");
    put(199, "T ");
    put(201, "P/N ");
    // Link test
    put(1294, "Switches act at once.");
    put(1295, "Link test ");
    put(1296, "13");
    for (int i = 0; i < 13; ++i) put(1297 + i, "switch " + std::to_string(i));
    put(1310, "Close");
    // Information
    put(1323, "About");
    put(1324, "Vordal");
    put(1325, "Version ");
    put(1326, "The end");
    // General settings
    put(556, "General settings");
    PutCombo(t, 585, "Link address length", {"none", "1 octet", "2 octets"});
    PutCombo(t, 590, "Originator address", {"without", "with"});
    put(594, "Common address structure");
    put(595, "hint: common address structure");
    put(597, "Object address structure");
    put(581, "100 %");
    PutCombo(t, 635, "Directory address", {"d0", "d1"});
    put(639, "File time-out");
    PutCombo(t, 641, "Call", {"c0", "c1"});
    PutCombo(t, 645, "Index file", {"i0", "i1"});
    put(633, "Log size");
    put(2107, "Data directory");
    put(2108, "hint: data directory");
    put(624, "Substitute time");
    put(625, "Generated time bit");
    put(2104, "Choose the data directory");
    put(2106, "Create the directory?");
    // Filter dialog
    put(692, "Display filter");
    put(693, "Log filter");
    PutCombo(t, 694, "Condition", {"off", "matches", "does not match"});
    PutCombo(t, 699, "Comparison", {"=1", "=1 or 2", "1..2"});
    put(704, "from");
    put(705, "to");
    put(706, "Status");
    put(707, "Source");
    for (int f = 5; f <= 11; ++f) put(703 + f, "field " + std::to_string(f));
    for (int f = 12; f <= 16; ++f) put(703 + f, ". part of CA");
    for (int f = 17; f <= 21; ++f) put(703 + f, ". part of IOA");
    put(725, "at least one");
    put(877, "all clear");
    put(878, "error-free,erroneous");
    put(879, "rx1,tx1,rx2,tx2");
    put(880, "IV,NT,SB,BL,EI,OV");
    put(682, "Saved filter");
    put(2015, "Load");
    put(2016, "Save");
    put(2017, "Filters (*.flt)");
    put(2018, "flt");
    put(2019, "Delete %s?");
    put(2020, "hint: name");
    return t;
}

} // namespace vdl::test
