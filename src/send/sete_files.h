// The files of a send telegram: the three-line telegram text file (load, save, the command
// file dropped by another program) and the raw file of type 133, whose lines are ASDUs written
// as decimal numbers.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/allg_var.h"
#include "core/settings_records.h"
#include "send/sete.h"

#include <string>
#include <vector>

namespace vdl {

// A decimal integer within lo..hi (blanks around it allowed).
bool IntField(const std::string& field, long long lo, long long hi, long long& out);
// At most n characters and n bytes of a UTF-8 string, never cutting a character (names).
std::string Fit(const std::string& s, size_t n);

// ---- Raw file of type 133 ----

// The octets of the lines of a raw file: each line up to 250 numbers separated by tz, each
// number 0..16777215 giving its low octet, and its second and third octet when it needs them.
// A line ends at the first field that is no such number; lines without octets are dropped.
RawLines ParseRawLines(const std::vector<std::string>& lines, char tz);

// Reloads the lines of a type 133 telegram from DataDir + datei: anzt becomes the number of
// lines and ca the common address of the first line. A missing or unreadable file, or one
// without lines, empties datei and sets anzt 1. Other types drop their lines.
void ReloadRawFile(T_SeTe& t, RawLines& lines, const T_AllgVar& av, const AsduLayout& lay);

// The common address held by a raw line (0 when the line is too short for it).
uint32_t RawLineCa(const std::vector<uint8_t>& line, const AsduLayout& lay);

// ---- Telegram text file ----

// What the text file reads and writes besides the telegram: the separator and the address
// settings (structured address input, the masks of the written addresses).
struct SeTeTextEnv {
    const T_AllgVar& av;
    const T_AllgPar& ap;
};

// The three lines of a telegram's text file (without line ends).
std::vector<std::string> SeTeTextLines(const T_SeTe& t, const SeTeTextEnv& env);

// Reads the header line of a telegram text file (also the first line of a list text file) into
// t: taken when it has 16 fields and every field up to the quality is valid (the name and those
// fields; the others keep their values). False, t unchanged, otherwise.
bool ReadSeTeHeader(const std::string& line, T_SeTe& t, const SeTeTextEnv& env);

// Reads the lines of a telegram text file into t by the rules of the file: a header of more
// than 11 fields whose fields up to the quality are all valid is taken (name and fields; the
// other fields keep their values); the second line when it has more than 4 fields, up to its
// first invalid field; the third line's raw bytes up to the first invalid one. False, with t
// unchanged, for fewer than two lines.
bool ReadSeTeText(const std::vector<std::string>& lines, T_SeTe& t, const SeTeTextEnv& env);

// Loads a telegram text file into t. False when the file cannot be read (error gets the
// reason) or has fewer than two lines (error stays empty).
bool LoadSeTeFile(const std::string& path, T_SeTe& t, const SeTeTextEnv& env, std::string& error);
// Saves t as a telegram text file. False (error gets the reason) when it cannot be written.
bool SaveSeTeFile(const std::string& path, const T_SeTe& t, const SeTeTextEnv& env,
                  std::string& error);

// Writes lines, each ended by CR LF (no lines: an empty file). False (error says why) when the
// file cannot be written.
bool WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    std::string& error);

// Reads lines of a text file: a byte-order mark is dropped, a file that is not UTF-8 is taken
// as ANSI. False when it cannot be read.
bool ReadSendTextLines(const std::string& path, std::vector<std::string>& lines,
                       std::string& error);

} // namespace vdl
