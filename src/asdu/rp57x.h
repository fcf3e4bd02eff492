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

} // namespace vdl
