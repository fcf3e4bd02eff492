// What the main window shows, derived from the program's records: the status panels, the
// statistics grid, the recently used files, the kind of a file by its extension and the
// function keys the option bytes give. The window only puts these into its widgets.
#pragma once

#include "core/allg_var.h"
#include "core/text_table.h"

#include <cstdint>
#include <string>

namespace vdl {

class Program;

// Text numbers of the main window.
constexpr int kTxPanelOnline = 673;   // + online flag
constexpr int kTxPanelDisplay = 1142; // + online display flag
constexpr int kTxPanelLogFilter = 1146;
constexpr int kTxPanelDisplayFilter = 1145;
constexpr int kTxFilterOffOn = 1139; // + active flag
constexpr int kTxPanelLog = 1194;
constexpr int kTxPanelTexts = 1192;
constexpr int kTxGridRow1 = 1280;   // 1280, 1281: channel 1, 2
constexpr int kTxGridColumn = 1282; // + column: width, a comma and the title
constexpr int kTxLinkNotUsed = 1184;
constexpr int kTxLinkUp = 1185;
constexpr int kTxLinkDown = 1186;
constexpr int kTxFunction = 1472;  // + channel function
constexpr int kTxProcedure = 1181; // + link procedure

// The line of the status bar while no channel has a port.
constexpr int kTxChoosePort = 2230;

// Panels 0..5, and panel 6 with the channels' ports (shown after panel 0).
constexpr int kStatusPanels = 7;
constexpr int kPanelPorts = 6;
constexpr int kNoColour = -1;

// A status panel: its text and background (0xRRGGBB, or kNoColour for the bar's own colour).
struct PanelState {
    std::string text;
    int rgb = kNoColour;
};
PanelState StatusPanel(const Program& p, int panel);

// The line of the status bar that says how to choose a port, while no channel has one;
// empty otherwise.
std::string PortHint(const Program& p);

// The file name without its directory.
std::string FileNameOnly(const std::string& path);

// The statistics grid: 11 columns, row 0 the titles, rows 1 and 2 the channels.
constexpr int kGridColumns = 11;
constexpr int kGridRows = 3;
struct GridColumn {
    int width = 0;
    std::string title;
};
// Column c from its text: the width, a comma and the title.
GridColumn GridColumnOf(const TextTable& t, int c);
std::string GridCell(const Program& p, int row, int col);
// How a channel's port is shown: its device ("-" without a port), marked while its line is lost.
std::string PortShown(const Program& p, int channel);

// The recently used files, the newest first; at most kMaxMru, each name once.
void AddRecentFile(T_AllgVar& av, const std::string& file);
void RemoveRecentFile(T_AllgVar& av, const std::string& file);

// The kind of a file by its extension (texts 1200, 1223, 1370).
enum class FileKind { Log, ParamSet, ObjectTexts, Other };
FileKind KindOf(const std::string& file, const TextTable& t);

// The function keys the option bytes switch on.
struct FunctionKeys {
    bool online = false;        // F8: online and offline
    bool display = false;       // F9: log display and online display; cursor keys and Esc
    bool filterToggle = false;  // F11: display filter on and off
    bool filter = false;        // F12: display filter dialog
    bool editTelegrams = false; // Shift+F1..F12: edit send telegrams 1..12
    bool sendTelegrams = false; // Alt+F1..F12: send telegrams 1..12
};
FunctionKeys FunctionKeysOf(const uint8_t (&opt)[16]);

// The font size of the window and the view: a stored size outside 8..16 becomes 10.
int ViewFontSize(int stored);

// Where the main window opens: the stored position, centred (a stored position that lies off
// the screen), or where the system puts it (nothing stored); maximised for a stored state 3.
enum class WindowPlaceKind { Default, Stored, Centred };
struct WindowPlace {
    WindowPlaceKind kind = WindowPlaceKind::Default;
    bool maximised = false;
};
WindowPlace MainWindowPlace(int32_t state, int32_t top, int32_t left, int32_t width,
                            int screenWidth, int screenHeight);

// What a key does to the displays (option 1): in the online display the cursor keys up and
// down and Esc switch to the log display, in the log display Esc switches to the online
// display.
enum class ViewKey { Up, Down, Escape, Other };
enum class DisplaySwitch { None, ToLog, ToOnline };
DisplaySwitch KeySwitch(ViewKey k, bool onlineShown, bool option1);

} // namespace vdl
