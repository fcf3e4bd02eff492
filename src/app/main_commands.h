// The commands of the main window that need no widget. The window asks for file names and runs
// the dialogs; these functions do the work on the program, ask their questions through its
// messages and tell the window what to show through its view.
#pragma once

#include "core/settings_records.h"

#include <string>
#include <vector>

namespace vdl {

class Program;

// Text numbers of the commands.
constexpr int kTxAskGoOffline = 1204;
constexpr int kTxAskDeleteLog = 1205;
constexpr int kTxAskSaveSendData = 1134;
constexpr int kTxAskNewLogSize = 1328;
constexpr int kTxNoDisplayFilter = 1215;
constexpr int kTxFileMissing = 883;
constexpr int kTxAskSaveModem = 2361;

// The address settings changed (edited, or taken from a log or parameter set): the channels'
// run-time values and frame layout, the filter rows and the structure hints.
void DeriveFromSettings(Program& p);
// aLogDel: asks, then empties the log and zeroes the statistics. True when it was emptied.
bool DeleteLog(Program& p);
// miLogOp: goes offline (asking when online) and opens another log file. A file that is not a
// log is refused (with a message) and the log in use stays open. True when the file is the log.
bool OpenLogFileCommand(Program& p, const std::string& file);
// miLogSav: the log continues under the new name (a copy of the file).
bool SaveLogAs(Program& p, const std::string& file);
// miSeTeLoad: goes offline (asking when online), offers to save changed send data, loads.
bool LoadParamSetCommand(Program& p, const std::string& file);
// miSeTeSav: saves the parameter set; it becomes the program's parameter set file.
bool SaveParamSetCommand(Program& p, const std::string& file);
// aTextLoad, aTextClear: the object text table.
bool LoadObjectTextsCommand(Program& p, const std::string& file);
void ClearObjectTexts(Program& p);
// A recently used file: a missing one is reported and leaves the list; others are opened by
// their kind. True when it was opened.
bool OpenRecentFile(Program& p, const std::string& file);

// The view switches: aZeit, aLink (not in the export format) and the view formats 3..7.
void ToggleTimeLine(Program& p);
void ToggleLinkLine(Program& p);
void SetViewFormat(Program& p, int format);

// Takes an edited filter (display or log filter): it is in force when it restricts.
void TakeFilter(Program& p, bool logFilter, const T_Filter& f);
// aAFiltAE: switches a defined display filter on or off; without one, says so. True when it
// was switched.
bool ToggleDisplayFilter(Program& p);
// Takes an edited colour table (kind of display_lists.h); a changed one makes the send data
// unsaved. True when the colours changed.
bool TakeColourTable(Program& p, int kind, const T_TypUrsFarben& edited);
// Takes the display settings.
void TakeDisplaySettings(Program& p, const T_AusgPar& a);

// The general settings dialog ended with OK: edited is its copy of the settings, dataDir the
// data directory it chose.
void ApplyGeneralSettings(Program& p, const T_AllgPar& edited, const std::string& dataDir);

// The dialling window closed: its fields become channel i's modem settings (a changed modem
// check box resets the link state). When they differ from those it opened with and the user
// agrees, they are saved: channel 1's go into the parameter set file, which holds them, and
// the settings file is written. True when they were saved.
bool TakeModemSettings(Program& p, int i, const T_Modem& edited, const T_Modem& opened);

// Loads the texts of another language. False (the table holds the partial load) on failure.
bool ChangeLanguage(Program& p, int lang);

// aSeTe1..12: the send request of telegram n with its checks. True when it was requested.
bool SendTelegramCommand(Program& p, int n);
// miSeStop: stops every send telegram and list.
void StopSendingCommand(Program& p);
// The captions of the 12 send actions (edit = false) or edit actions (edit = true).
std::vector<std::string> SendCaptions(const Program& p, bool edit);
// aSeLi1..12: starts send list n (the send request with its checks; text 874 for a list without
// active objects). True when it was requested.
bool StartListCommand(Program& p, int n);
// Some send telegram or list is active (miSeStop is enabled).
bool AnySending(const Program& p);
// The captions of the 12 list actions (aSeLi) or edit actions (aPaLi).
std::vector<std::string> ListCaptions(const Program& p, bool edit);

} // namespace vdl
