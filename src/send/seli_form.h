// The list editor's rules without widgets: what a cell of the object table shows, how an
// entry is checked and taken, the qualifier's entry forms, the type change, and copy, cut and
// paste of rows as text.
#pragma once

#include "asdu/address_text.h"
#include "core/text_table.h"
#include "send/seli.h"
#include "send/sete_files.h"

#include <string>

namespace vdl {

// Columns of the object table.
enum SeLiColumn {
    SLC_ROW,
    SLC_AKT,
    SLC_CA,
    SLC_OA,
    SLC_TYP,
    SLC_URS,
    SLC_HK,
    SLC_WERT,
    SLC_QUA,
    SLC_COUNT
};

struct SeLiFormEnv {
    const TextTable& texts;
    const T_AllgVar& av;
    const T_AllgPar& ap;
    bool perObjectCa = false; // option 8: the common address and originator columns
};

// Whether a column is shown: the common address only with option 8, the originator also only
// with a cause of two octets.
bool ListColumnShown(int col, const SeLiFormEnv& e);

// The text of a cell of row (1..3000); the active column shows nothing (a check box).
std::string ListCellText(const SeLi& l, int row, int col, const SeLiFormEnv& e);

// Takes an entry into a cell. False, the row unchanged, when the entry is not valid: a type
// the type table does not know, a cause the type does not permit, a value outside the type's
// rules, a qualifier of 256 or more, an invalid address. A new type brings the value into its
// range and the cause to one it permits.
bool SetListCell(SeLi& l, int row, int col, const std::string& text, const SeLiFormEnv& e);

// The qualifier as entered: by its first character's place in text 29 ("#D$-B%0"): "#" and
// "D" lead a decimal number, "$" a hexadecimal one; eight binary digits (as the table shows a
// qualifier) or a leading "B", "%" or "0" a binary number; other text a decimal number.
// False unless the result is 0..255.
bool ParseQualifier(const std::string& text, const std::string& text29, uint8_t& out);
std::string QualifierText(uint8_t q);

// After a type change: the value within the new type's range, the cause one it permits (3 when
// it may, else its first).
void AfterTypeChange(T_SeLiObj& o, const TextTable& texts);

// Rows first..last as the clipboard gets them: list file rows, CR LF between them.
std::string CopyListRows(const SeLi& l, int first, int last, const SeTeTextEnv& env);
// Removes rows first..last: the following rows move up, default objects fill the end. The
// per-object addresses move with their rows.
void CutListRows(SeLi& l, int first, int last);
// Inserts the readable rows of the text at row at, moving the rows from there down (rows pushed
// beyond 3000 are lost). The number of rows inserted.
int PasteListRows(SeLi& l, int at, const std::string& text, const SeTeTextEnv& env);
// Whether a text holds at least one readable row.
bool HasListRows(const std::string& text, const SeTeTextEnv& env);

} // namespace vdl
