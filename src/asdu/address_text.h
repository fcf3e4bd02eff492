// Common and object addresses as the user sees and types them: in their configured structure
// of up to five bit fields ("12-  5"), parsed back from text, and the structures themselves.
#pragma once

#include "core/allg_var.h"
#include "core/settings_records.h"
#include "core/text_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vdl {

// Program texts of the address structures.
constexpr int kTxStructSeparator = 26; // shown between the widths of a structure
constexpr int kTxCaStructure = 836;    // replaced by the common address structure
constexpr int kTxOaStructure = 839;    // replaced by the object address structure
constexpr int kTxStructureSuffix = 1227;

// Structured display of a common address (castr) or object address (oastr).
std::string FormatCa(uint32_t ca, const T_AllgVar& av, const T_AllgPar& ap);
std::string FormatOa(uint32_t ioa, const T_AllgVar& av, const T_AllgPar& ap);

// Address input: one plain number up to the largest address, or exactly one number per field
// of the structure, each within its field. With shortForm (the send editors) up to one number
// per field, the last numbers filling the last fields. Numbers are decimal, or hexadecimal with
// the prefix "$". Returns false and leaves 0 in out when the text is not a valid address.
bool ParseCa(std::string_view text, uint32_t& out, const T_AllgVar& av, const T_AllgPar& ap,
             bool shortForm = false);
bool ParseOa(std::string_view text, uint32_t& out, const T_AllgVar& av, const T_AllgPar& ap,
             bool shortForm = false);

// Structure input of the general settings: up to five widths, each at least 1, adding up to a
// multiple of 8 not above maxbits (16 for the common address, 24 for the object address).
bool ParseAdrStruktur(std::string_view text, int maxbits, T_AdrStruktur& out, char khex = '$');
// The widths separated by text 26.
std::string AdrStrukturText(const T_AdrStruktur& s, const TextTable& texts);

// After every load of the program texts: the type list, and texts 836 and 839 replaced by the
// descriptions of the configured address structures, each followed by text 1227.
void InstallAsduTexts(TextTable& texts, T_AllgVar& av, const T_AllgPar& ap);

} // namespace vdl
