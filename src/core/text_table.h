// The numbered program texts, loaded from "VdlText." + language extension in the program
// directory. Code asks for texts by number only.
#pragma once

#include "core/allg_var.h"
#include "core/messages.h"

#include <array>
#include <string>
#include <vector>

namespace vdl {

constexpr int kMaxTexts = 3000;
constexpr int kMinTexts = 1000;

// Outcome of a load: error 0 success, 1 file missing or too short, 2 text number wrong,
// 3 numbering jumps, 4 too many lines. line is the line number the message names.
struct TextLoadResult {
    int error = 0;
    int line = 0;
    std::string message; // the complete message as shown to the user
    bool ok() const { return error == 0; }
};

class TextTable {
public:
    // Clears the table and loads the file. On an error the table keeps what was loaded so far.
    TextLoadResult LoadFile(const std::string& path);
    // The same from the file's bytes (name is used in the message of error 1).
    TextLoadResult LoadBytes(const std::string& bytes, const std::string& name);

    // Text n; empty for n below 0 or not below the number of entries.
    const std::string& GetText(int n) const;
    const std::string& tx(int n) const { return GetText(n); }
    // Puts a computed text into the table (0 <= n < Count()).
    void Replace(int n, std::string s);
    // Length of text n in characters (0 for an empty or missing text).
    int Length(int n) const;
    int Count() const { return static_cast<int>(texts_.size()); }

    // Type names given by the user, indexed by type identification (empty when not given).
    const std::string& TypeName(int typ) const;
    void SetTypeName(int typ, std::string s);
    void ClearTypeNames();

private:
    std::vector<std::string> texts_;
    std::array<std::string, 256> typeNames_;
};

// The four messages of the loader; they cannot come from the table, which may be missing.
extern const char* const kTextLoadMessages[5];

// Extension of the text file of a language: 0 "ger", 1 "usa".
const char* LanguageExtension(int lang);
std::string TextFilePath(const std::string& progDir, int lang);

// Loads the text file of a language from progDir and post-processes it into av. On failure
// shows the loader's message through msg and returns false.
bool LoadTextFile(TextTable& t, T_AllgVar& av, int lang, Messages& msg);

// The post-processing after a successful load: the permitted-cause texts from 1009 on are
// decoded from their two-digit codes, and khex, bitz, tz and the help file are taken.
void PostProcessTexts(TextTable& t, T_AllgVar& av);

// Loads the user's type names from progDir + text 298 (lines "number<tz>name"). A missing
// file leaves the list empty without a message.
void LoadTypeNames(TextTable& t, const T_AllgVar& av);

// Decodes a string of two-digit decimal character codes ("6566" gives "AB").
std::string DecodeTwoDigitCodes(const std::string& s);

// Splits a line into fields each followed by the separator tz (a last field without a
// separator counts too).
std::vector<std::string> SplitFields(const std::string& line, char tz);

} // namespace vdl
