// Writing a time tag of the standard (CP24Time2a or CP56Time2a) from a day number.
#pragma once

#include <cstdint>

namespace vdl {

constexpr int kCP24Len = 3;
constexpr int kCP56Len = 7;

// Writes the time of dt (a day number) at p: milliseconds of the minute (two octets, low
// first), the minute; for CP56 also the hour, the day of the month (with the day of the week
// 1 = Monday .. 7 = Sunday in bits 5..7 when weekday is set), the month and the year of the
// century. The invalid and summer time bits stay 0.
void WriteTimeTag(uint8_t* p, bool cp56, double dt, bool weekday = false);

// The time tag of every object of the ASDU of te whose time tag is all zero is filled with dt.
// Objects beyond the frame's length are left alone. Returns the number of tags filled.
struct AsduLayout;
struct T_Telegramm;
int FillEmptyTimeTags(T_Telegramm& te, const AsduLayout& lay, double dt);

} // namespace vdl
