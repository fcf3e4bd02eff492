// The files of the send lists: the list text file (a telegram header line and one row per
// object), the row reader that also takes the rows of other forms (four or eight fields, a line
// of the log's export), loading into the editor with the question to go on into the next lists,
// the import without questions, and the list command file with its batch of files.
#pragma once

#include "send/list_service.h"
#include "send/sete_files.h"

#include <functional>
#include <string>
#include <vector>

namespace vdl {

constexpr int kTxListCommandFile = 396;
constexpr int kTxBatchKeyword = 398;
constexpr int kTxListsLoaded = 2069;
constexpr int kTxAskLoadOn = 2067;
constexpr int kTxAskSaveOn = 2068;

// ---- Rows ----

enum class RowKind { None, Header, Row };
struct ListRow {
    T_SeLiObj obj{};
    T_CaHk ca{};
};
// One line of a list file by its number of fields: 16 a header; more than 16 a line of the
// log's export (an active object); 4 common address, object address, type and cause (active);
// 8 active flag, common address, object address, type, cause, originator, value, qualifier;
// 3, 5, 6 or 7 active flag, object address, type, cause, value, qualifier; other lines are no
// rows, nor is a line with a field out of its range.
RowKind ReadListRow(const std::string& line, const SeTeTextEnv& env, ListRow& row);
// The row of an object as the list file writes it (8 fields).
std::string ListRowLine(const T_SeLiObj& o, const T_CaHk& ca, const SeTeTextEnv& env);
// The rows of a list: objects 1 up to the last that is not a default object (at least one).
std::vector<std::string> ListRowLines(const SeLi& l, const SeTeTextEnv& env);
// The header line and the rows.
std::vector<std::string> ListTextLines(const SeLi& l, const SeTeTextEnv& env);

// Reads rows from lines[pos] on into the objects of l from object 1 on, until 3000 are filled
// or the lines end; pos then stands after the last line read. The number of rows taken.
int FillListObjects(SeLi& l, const std::vector<std::string>& lines, size_t& pos,
                    const SeTeTextEnv& env);
// Whether lines from pos on remain to be read, a single last line that is no row aside.
bool ListLinesRemain(const std::vector<std::string>& lines, size_t pos, const SeTeTextEnv& env);

// ---- Files of the lists ----

// Saves list n; while the last object of the saved list is used, the question of text 2068
// offers to append the rows of the next list. False (error says why) when it cannot be written.
bool SaveListFile(SendLists& lists, int n, const std::string& path, std::string& error);

// Loads a list text file into the editor's copy buf of list n: a new list with the file's
// header (or named after the file), then the rows. Rows beyond 3000 go on into the next lists
// (stored directly) when the question of text 2067 is answered Yes. Logs text 2069 and makes the
// send data unsaved. False (error says why) when the file cannot be read.
bool LoadListFile(SendLists& lists, int n, SeLi& buf, const std::string& path, std::string& error);

// Imports a list text file into list n (n outside 1..12: the number the first line begins
// with, else 12) and as many following lists as the rows need, without questions; each list
// filled is counted. With n 0 the file is emptied afterwards. False when it could not be read
// (or emptied), after a message in the log.
bool ImportListFile(SendLists& lists, const std::string& path, int n);

// What the batch of the list command file does with files for the feedback table (0) and the
// send telegrams (13..24).
struct ListBatchHooks {
    std::function<bool(const std::string& path)> feedback;
    std::function<bool(const std::string& path, int telegram)> telegram;
};
// The list command file: a batch of lines "n;file" after a line with the keyword of text 398,
// or else a list file imported as ImportListFile with n 0. The batch file is emptied after.
void RunListCommandFile(SendLists& lists, const std::string& path, const ListBatchHooks& hooks);

} // namespace vdl
