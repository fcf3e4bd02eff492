// The display filter and the log filter: which telegrams are shown and which are stored.
// Both are T_Filter records inside the general settings; named filters are kept as files of
// one record each in the data directory.
#pragma once

#include "asdu/asdu_layout.h"
#include "core/filter_rows.h"
#include "core/records.h"
#include "core/settings_records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vdl {

// Quality bits of the masks.
enum : uint8_t {
    QB_IV = 0x80,
    QB_NT = 0x40,
    QB_SB = 0x20,
    QB_BL = 0x10,
    QB_EI = 0x08,
    QB_OV = 0x01
};

// What a filter test needs beyond the telegram.
struct FilterEnv {
    const T_AllgPar& ap;
    AsduLayout lay;
    int32_t nralt = 0;    // number of the oldest telegram of the log (relative numbers)
    bool linkLine = true; // the link line of the display is on
};

// Value of part `part` (0-based, the first the most significant) of an address with the given
// structure; 0 for a part the structure does not have.
uint32_t AddressPart(uint32_t addr, const T_AdrStruktur& s, int part);

// The full test of a filter. display: the filter is the display filter (fixed frames are
// hidden with the link line off).
bool FilterAccepts(const T_Filter& f, const T_Telegramm& te, const FilterEnv& env, bool display);

// True when the filter tests information objects (object address rows or quality masks).
bool HasObjectCriteria(const T_Filter& f);
// The object criteria of a filter (object address rows and quality masks) for object j
// (1-based) of te; true when the filter has none.
bool ObjectAccepts(const T_Filter& f, const T_Telegramm& te, int j, const FilterEnv& env);

// The test of the display: never the end marker; with the display filter active, that filter;
// otherwise everything except correct fixed frames while the link line is off.
bool DisplayAccepts(const T_Telegramm& te, const FilterEnv& env);

// Named filter files: exactly one 388-byte record with 388 in its length field. Anything else
// is ignored (false, f unchanged). The loaded filter is normalised for the present
// configuration.
bool LoadNamedFilter(const std::string& path, T_Filter& f, const T_AllgPar& ap);
// The same for the bytes of a named filter file.
bool TakeNamedFilter(const std::vector<uint8_t>& data, T_Filter& f, const T_AllgPar& ap);
bool SaveNamedFilter(const std::string& path, T_Filter f);
// The names (without directory and extension) of the files dir + "*." + ext, sorted.
std::vector<std::string> NamedFilters(const std::string& dir, const std::string& ext);

} // namespace vdl
