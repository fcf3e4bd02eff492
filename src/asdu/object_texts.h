// Names and colours the user gives to information objects, names of common addresses and
// colours of causes of transmission, read from the object text file. The interpretation shows
// the names next to the addresses and draws object lines in the colours; the send editors and
// the station image list the same names.
#pragma once

#include "core/allg_var.h"
#include "core/messages.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vdl {

// One entry of the object table or of the name table of common addresses.
struct T_Element {
    uint16_t ca = 0;  // key part: 0, the low four bits of the common address, or the whole one
    T_FarbIndex cl{}; // colour pair, 0 = no colour
    uint32_t id = 0;  // object address (object table) or common address (name table)
    std::string s0;   // the name
};

struct T_TxtVar {
    std::vector<T_Element> a;
    int32_t anz = 0; // number of valid entries
    int32_t li = 0;
};

// Program texts of the object text file.
constexpr int kTxCaColumnKeyword = 1129; // switches the common address column on
constexpr int kTxFaultyLinesRow = 1369;  // starts each row of faulty line numbers
constexpr int kTxObjectTextExt = 1370;   // the file extension
constexpr int kTxFaultyLines = 1372;     // Format(file, lines, faulty lines, list)
constexpr int kTxCannotRead = 1914;      // Format(file)
constexpr int kMaxListedFaultyLines = 201;

// What loading reads and where it reports.
struct ObjectTextEnv {
    const TextTable& texts;
    T_AllgVar& av;       // address layout, separator; dtOaTxt is set on success
    const T_AllgPar& ap; // address structures
    Messages& msg;
    T_TypUrsFarben* pfu; // colour table by cause; "URS" lines write into it (may be null)
    // Stores a program message in the log (a record with stat 33); may be empty.
    std::function<void(const std::string&)> logMessage;
};

class ObjectTexts {
public:
    // Loads the file and replaces both tables. An unreadable file reports text 1914 and keeps
    // the tables; faulty lines are skipped and reported by text 1372.
    bool Load(const std::string& path, ObjectTextEnv& env);
    // The same from the file's content; name is the file name shown and remembered.
    bool LoadContent(const std::string& content, const std::string& name, ObjectTextEnv& env);
    // Empties both tables and switches both modes off.
    void Clear();

    // Index of the object (ioa, ca), or -1.
    int FindObject(uint32_t ioa, uint32_t ca) const;
    const std::string& ObjectName(int index) const;
    T_FarbIndex ObjectColour(int index) const;
    // Index of the name of a common address, or -1.
    int FindCaName(uint32_t ca) const;
    const std::string& CaName(int index) const;

    int ObjectCount() const { return objects_.anz; }
    int CaNameCount() const { return names_.anz; }
    // Enumeration for the pick lists (nullptr beyond the table).
    const T_Element* ObjectAt(int index) const;
    const T_Element* CaNameAt(int index) const;

    bool RweMode() const { return rwe_; }
    bool CaColumnMode() const { return caColumn_; }

    // The name of a common address as the interpretation shows it. The last address looked up
    // is remembered, so a run of telegrams of one station needs one search.
    const std::string& CaNameCached(uint32_t ca) const;
    // Forgets the remembered address (after a load, and when the address layout changes).
    void InvalidateCaCache() const { cacheCa_ = kNoCa; }

    // Faulty line numbers of the last load (the first 201) and their count.
    const std::vector<int>& FaultyLines() const { return faulty_; }
    int FaultyCount() const { return faultyCount_; }

private:
    static constexpr uint32_t kNoCa = 0x10000; // no common address has this value

    T_TxtVar objects_; // sorted by (ca, id)
    T_TxtVar names_;   // sorted by id
    bool rwe_ = false;
    bool caColumn_ = false;
    std::vector<int> faulty_;
    int faultyCount_ = 0;
    mutable uint32_t cacheCa_ = kNoCa;
    mutable std::string cacheName_;
};

// The list of faulty line numbers as the message of text 1372 shows it: numbers separated by
// ",  ", a new row (CR LF, twelve blanks and text 1369) before the 1st, 11th, 21st ... number.
std::string FaultyLineList(const std::vector<int>& lines, const TextTable& texts);

// A colour field: empty or "0" for no colour, else a foreground 0..19, optionally "-" and a
// background 0..19. Returns false for anything else.
bool ParseColourField(const std::string& field, T_FarbIndex& out);

} // namespace vdl
