// The user guide: the page and anchor that each help context opens, where the pages lie
// (beside the start page that text 1163 names, in the program's directory) and the Help
// command that hands the page to the system's browser.
#pragma once

#include "core/browser.h"

#include <string>
#include <vector>

namespace vdl {

class Program;
class TextTable;

constexpr int kTxHelpFile = 1163;     // the guide's start page, relative to the program
constexpr int kTxHelpNotShown = 2232; // the browser could not show the page (page)

// Help contexts of the main window's Help menu and of the dialogs.
enum : int {
    HC_CONTENTS = 110,    // Help > Contents
    HC_MAIN_WINDOW = 140, // F1 in the main window
    HC_LINK_TEST = 2300,  // link test window
    HC_EXPORT = 1100,     // print and export dialog
    HC_CHANNEL = 5400,    // channel parameters
    HC_GENERAL = 5500,    // general settings
    HC_DISPLAY = 5550,    // display settings and colours
    HC_OPTIONS = 5700,    // options
    HC_TYPE_COLOURS = 5800,
    HC_CAUSE_COLOURS = 5850,
    HC_MODEM = 5900, // modem dialling
    HC_DISPLAY_FILTER = 6100,
    HC_LOG_FILTER = 6300,
    HC_IMAGE = 6500, // station image window
};

struct HelpPage {
    std::string page;   // file name beside the start page
    std::string anchor; // "" for the top of the page
};
// The page of a help context; an unknown context opens the start page.
HelpPage HelpPageOf(int context);
// Every page and anchor the contexts lead to (for checks of the guide).
std::vector<HelpPage> AllHelpPages();

// The file of a page: the directory of the start page (programDir + text 1163) + page.
std::string HelpPageFile(const std::string& programDir, const TextTable& t,
                         const std::string& page);

// Help: opens the guide in the browser at the page of the context. A page that is missing
// opens the start page; a guide that is missing, or a browser that cannot show it, is
// reported. True when the browser took the page.
bool ShowHelp(Program& p, Browser& browser, int context);

} // namespace vdl
