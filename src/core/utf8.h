// Small helpers for the UTF-8 strings the program keeps its texts in.
#pragma once

#include <string>
#include <string_view>

namespace vdl {

// Number of characters (code points) of a UTF-8 string; a stray byte counts as one.
size_t Utf8Length(std::string_view s);
// The first n characters.
std::string Utf8Left(std::string_view s, size_t n);
// Characters from position pos (0-based) on, at most n of them.
std::string Utf8Mid(std::string_view s, size_t pos, size_t n = std::string::npos);
bool IsValidUtf8(std::string_view s);
std::u32string Utf8ToU32(std::string_view s);
std::string U32ToUtf8(std::u32string_view s);
// Windows-1252 (the common ANSI code page) to UTF-8.
std::string AnsiToUtf8(std::string_view s);
// UTF-16 bytes (without the byte-order mark) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// Pads with blanks to width characters: on the left (right-aligned) or on the right.
std::string PadLeft(std::string_view s, size_t width);
std::string PadRight(std::string_view s, size_t width);

} // namespace vdl
