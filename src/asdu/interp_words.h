// Small helpers shared by the lines of the telegram interpretation: texts by number with an
// offset taken from the data, the short and long form of a text, the label column.
#pragma once

#include "core/text_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vdl {

// Text base + off, or an empty text when the offset (taken from a frame or a file) is outside
// 0..limit. The offset never overflows the text number.
const std::string& TxAt(const TextTable& t, int base, int64_t off, int64_t limit = 2999);

// Some texts hold a short and a long form separated by a double blank. The short form is the
// part before it, the long form the part after it; without a double blank both are the whole.
std::string ShortForm(std::string_view s);
std::string LongForm(std::string_view s);

// The label column of every line after the header: the label left-justified in 9, then ":"
// left-justified in 3 plus the indent of secondary frames.
std::string LabelColumn(std::string_view label, int indent);

// Two upper-case hexadecimal digits.
std::string Hex2(uint8_t v);
// n upper-case hexadecimal digits of v.
std::string HexN(uint32_t v, int n);

// Removes leading and trailing blanks.
std::string Trim(std::string_view s);

// A short float (IEEE 754 single, given by its bits) as "%.7g"; a station that sends NaN or an
// infinity shows it as "NaN", "+Inf" or "-Inf". "0" only when the value cannot be formatted.
std::string ShortFloatText(uint32_t bits);

} // namespace vdl
