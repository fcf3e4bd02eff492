// The feedback table's text file: a first line with the switch and the delay, then one row per
// entry (common and object address of the command, its qualifier, the three steps, the object
// address and type of the return information).
#pragma once

#include "send/feedback.h"
#include "send/sete_files.h"

#include <string>
#include <vector>

namespace vdl {

constexpr int kTxFeedbackCommandFile = 397;

// One entry as a row of the file (8 fields), and a row read back (7 or 8 fields; false for a
// line that is no row).
std::string FeedbackRowLine(const T_BefRm& e, const SeTeTextEnv& env);
bool ReadFeedbackRow(const std::string& line, T_BefRm& e, const SeTeTextEnv& env);

// The lines of the file: entries 1 up to the last that is not new (at least entry 1).
std::vector<std::string> FeedbackTextLines(const T_RmTab& t, const SeTeTextEnv& env);
// Reads the lines into t: no lines change nothing; otherwise the table is new, line 1 gives the
// switch (0 or 1) and the delay (0..65535), and each further line that is a row (the qualifier
// only in a line of exactly 8 fields, else -1) the next entry, at most 1000. False for no lines.
bool ReadFeedbackText(const std::vector<std::string>& lines, T_RmTab& t, const SeTeTextEnv& env);

// Loads a feedback file; with emptyAfter the file is emptied once read (the command file). False
// (error says why) when it cannot be read or emptied; a file without lines changes nothing.
bool LoadFeedbackFile(const std::string& path, T_RmTab& t, const SeTeTextEnv& env, bool emptyAfter,
                      std::string& error);
bool SaveFeedbackFile(const std::string& path, const T_RmTab& t, const SeTeTextEnv& env,
                      std::string& error);

} // namespace vdl
