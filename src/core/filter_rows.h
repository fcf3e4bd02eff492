// The rows of a filter follow the address configuration: which field each row tests, and the
// values computed from the rest of the record. A filter is normalised whenever it comes from a
// file and whenever the configuration changes.
#pragma once

#include "core/settings_records.h"

#include <cstdint>
#include <vector>

namespace vdl {

// Fields a filter row can test.
enum : int32_t {
    FF_NR = 5,   // relative telegram number
    FF_LG = 6,   // length
    FF_LC = 7,   // control field & 0x4F
    FF_LA = 8,   // link address
    FF_TYP = 9,  // type identification
    FF_URS = 10, // cause without the test bit
    FF_HK = 11,  // originator address
    FF_CA1 = 12, // fields 1..5 of the structured common address: 12..16
    FF_OA1 = 17, // fields 1..5 of the structured object address: 17..21
    FF_LAST = 21,
};

// The number of parts of an address structure (0..5).
int StructureParts(const T_AdrStruktur& s);

// The field tested by row k of a normalised filter for this configuration (0 beyond the list).
std::vector<int32_t> FilterFields(const T_AllgPar& ap);

// Rebuilds the row list from the address configuration and the computed fields.
void NormaliseFilter(T_Filter& f, const T_AllgPar& ap);

} // namespace vdl
