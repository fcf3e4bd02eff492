// The modem settings of a channel (T_Modem): the built-in values, the limits the dialling
// window keeps, and the modem file, which holds the whole record of 192 octets as one block.
#pragma once

#include "core/records.h"

#include <string>

namespace vdl {

constexpr int32_t kModemLen = static_cast<int32_t>(sizeof(T_Modem));
// Maximum connection time and idle time-out, in seconds.
constexpr int32_t kDauerMin = 10, kDauerMax = 1000000;
constexpr int32_t kLinkMin = 2, kLinkMax = 600;
// Longest command, hang-up or connect string.
constexpr int kAtStrMax = 27;

// The settings of a channel before any are loaded: no modem, a connect message "CONNECT", the
// escape and ATH as hang-up string, an hour at most and a minute without frames.
T_Modem DefaultModem();

// Reads a modem file into m: taken only when the file is exactly 192 octets long and its first
// field is 192; otherwise m stays as it was and the result is false.
bool ReadModemFile(const std::string& path, T_Modem& m);
// Writes m (with its first field 192) as the whole file; false when it was not completely
// written (error gets the system's words).
bool WriteModemFile(const std::string& path, const T_Modem& m, std::string& error);

// The seconds a connection may last and may stay idle, within their limits (a record from a
// damaged file must not hang up at once or never).
int32_t ModemDauer(const T_Modem& m);
int32_t ModemLink(const T_Modem& m);

// Whether two records differ in what the dialling window edits (not the focus index).
bool ModemDiffers(const T_Modem& a, const T_Modem& b);

} // namespace vdl
