// Where the program keeps its state between runs: the data directory (remembered in the
// per-user store), the settings file (T_ProgPar), and the file-name list.
#pragma once

#include "core/allg_var.h"
#include "core/messages.h"
#include "core/settings_records.h"
#include "core/text_table.h"
#include "core/user_store.h"

#include <string>
#include <vector>

namespace vdl {

// Text numbers of the standard file names (name = DataDir + text n + suffix + text n + 1).
constexpr int kTxSettingsFile = 1131;
constexpr int kTxLogFile = 1199;
constexpr int kTxParamSetFile = 1222;
constexpr int kTxObjTextFile = 1371;

// What the settings functions work on.
struct SettingsEnv {
    T_AllgVar& av;
    T_ProgPar& pp;
    const TextTable& texts;
    Messages& msg;
    KeyValueStore& store;
    Folders& folders;
    int localeLanguage = 0; // 0 German, 1 English: the default by the user's locale
};

// "" for instance 1, the instance number otherwise.
std::string InstanceSuffix(const T_AllgVar& av);
// DataDir + text n + instance suffix + text n + 1.
std::string StandardFileName(const T_AllgVar& av, const TextTable& t, int n);
// A directory name with a trailing separator.
std::string WithSeparator(std::string dir);
// Equality of two file or directory names without regard to case (ASCII letters).
bool SameNameNoCase(const std::string& a, const std::string& b);

// True when a probe file of 4096 bytes can be created, written and deleted in dir.
bool IsWritable(const std::string& dir);

// Reads a settings file into pp. Accepted only with exactly 4360 bytes and the right magic,
// length and format mark; otherwise pp stays as it is and false is returned.
bool ReadSettingsFile(const std::string& path, T_ProgPar& pp);
// The same for the bytes of a settings file.
bool TakeSettingsBytes(const std::vector<uint8_t>& data, T_ProgPar& pp);
// Brings a stored display settings block to version 2 (version 1 gets the last three colour
// pairs and the mask from the defaults; any other version is replaced by the defaults).
void UpgradeAusgPar(T_AusgPar& a);

// The data directory at start and the settings file from it.
void ReadStartSettings(SettingsEnv& env);
// The file-name list: DataDir + "zVordal_Dateinamen" + suffix + ".txt".
std::string FileNameListPath(const T_AllgVar& av);
void ReadFileNames(SettingsEnv& env);
// Takes the names and numbers of the lines of a file-name list (names of files that do not
// exist are cleared).
void TakeFileNames(T_AllgVar& av, const std::vector<std::string>& lines);
bool WriteFileNames(SettingsEnv& env);
// The file-name list first, then the settings file. False (after an error box) on failure.
bool WriteSettings(SettingsEnv& env);
void WriteDataDirToRegistry(SettingsEnv& env);

// Lines of a text file without their line ends (CR LF or LF). False when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

} // namespace vdl
