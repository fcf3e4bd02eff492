// The information element at a cursor as a list of numbers for the separator-delimited export:
// each number in decimal followed by the separator.
#pragma once

#include "core/records.h"

#include <string>

namespace vdl {

// The element of type te.typ that starts at b[pos], with its time tag, as numbers each
// followed by tz. pos advances over the element (by its catalogue length). Types that are
// neither known nor commands with time tag give nothing and leave pos. Octets beyond the
// record read as 0.
std::string ElementCsv(const T_Telegramm& te, int& pos, char tz);

} // namespace vdl
