// The rules of the filter dialog that need no widget: the largest value a row's field takes,
// the row labels, which names a named filter may have, and whether a named filter file still
// holds the filter that refers to it.
#pragma once

#include "core/settings_records.h"

#include <cstdint>
#include <string>

namespace vdl {

class TextTable;

constexpr int kTxFilterRowLabels = 703; // + field
constexpr int kTxFilterExtension = 2018;

// The largest value of a field (5..21) for the configuration; 0 for other fields.
int64_t FilterFieldMax(int32_t field, const T_AllgPar& ap);
// The label of a row: text 703 + field; a part of an address gets "&" and its part number in
// front.
std::string FilterRowLabel(const TextTable& t, int32_t field);
// A name that makes a file in the data directory and nowhere else: not empty, no directory
// separators or drive colons, not starting with a dot, no control characters.
bool ValidFilterName(const std::string& name);
// True when two filters select the same telegrams (the focus index, the list index of the
// name, the active flag, the length field and the computed fields do not count).
bool SameFilterCriteria(const T_Filter& a, const T_Filter& b);

} // namespace vdl
