// The JSON form of a telegram record that the commands print (one object per line).
#pragma once

#include "core/records.h"

#include <nlohmann/json.hpp>

#include <string>

namespace vdl::cli {

// ek, stat, ta, lg, la, lc, typ, struk, urs, ca as numbers and bytes as upper-case
// hexadecimal pairs separated by blanks.
nlohmann::json RecordJson(const T_Telegramm& te);
// The same with the log's number nr and time stamp dt (ISO 8601 local time with ms).
nlohmann::json StoredRecordJson(const T_Telegramm& te);
std::string IsoTime(double dt);

} // namespace vdl::cli
