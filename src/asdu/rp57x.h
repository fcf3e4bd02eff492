// The interpretation of the rp57x frame formats (channel functions 5 and 6): the link address
// stands before the control field, the control field carries the message type, and values of
// several octets are big-endian. The full and compact views show such a frame as its header
// line, a link line and message lines; the words and layouts are format strings of the program
// text table.
#pragma once

#include "asdu/renderer.h"

#include <string>

namespace vdl {

// Line znr (2 the link line, 3 and later the message lines) of an rp57x frame prepared in ctx
// by StartTelegram; an empty text ends the telegram. Reads only the bytes of the frame: a value
// that would lie beyond the message (at or after the checksum) reads as 0.
std::string RpLine(T_TeleAusgabe& ctx);

// The position of the first message byte (m0) of a variable rp57x frame of channel function
// fkt: after the control field, and in function 6 after the station address, except in the
// date and time message (odd type 12).
int RpMessageStart(const T_Telegramm& te, int fkt);
// The type name of an rp57x frame (header decoded) as its link line shows it.
const std::string& RpTypeName(const TextTable& texts, const T_Telegramm& te);
// The records of four octets that paging by obja steps over in an rp57x frame: those of the
// types 22, 23, 66 and 67 with an even control field; 0 for every other frame, whose lines do
// not depend on obja.
int RpPagedRecords(const T_Telegramm& te, int fkt);

} // namespace vdl
