// The lists of the display settings and colour table dialogs: font sizes, palette entries,
// and the 256 entries of a colour table by type or by cause.
#pragma once

#include "core/settings_records.h"

#include <string>
#include <string_view>
#include <vector>

namespace vdl {

class TextTable;
struct T_AllgVar;

constexpr int kPaletteSize = 20;
constexpr int kTxFontSizes = 1402;    // comma-separated font sizes
constexpr int kTxPaletteNames = 1417; // + palette index: name of the colour
constexpr int kTxTest = 199;          // word for the test bit of the cause
constexpr int kTxNegative = 201;      // word for the P/N bit of the cause
constexpr int kTxCauseNames = 202;    // + cause: name of the cause; 202 itself: not defined
constexpr int kTxTypeNames = 70;      // + type: name of a known type

// The fixed colours of the palette as 0xRRGGBB; -1 for the system colours (0 and 15 window,
// 16 window text, 17 menu, 18 active caption, 19 inactive caption) and for indices outside it.
int PaletteRgb(int idx);

// The sizes a font size list offers, in the order of the text; entries that are no number
// are left out.
std::vector<int> FontSizes(std::string_view text);
// The entry that shows a size: the equal one, else the nearest (the smaller on a tie); -1 for
// an empty list. A stored size that the list lacks thus never jumps to an unrelated entry.
int FontSizeIndex(const std::vector<int>& sizes, int size);

// True when text on the colour 0xRRGGBB is read better in white than in black. The colour
// lists draw every entry on its own colour; the system colours are resolved first.
bool WhiteTextOn(int rgb);

// A palette entry of the colour table dialog: the index right-aligned in 3 columns, a blank
// and the colour's name.
std::string PaletteEntryText(const TextTable& t, int idx);

// Kinds of colour table.
enum : int { kFrbCauses = 0, kFrbTypes = 1 };

// Entry i (0..255) of a colour table list: the number right-aligned in 4 columns, four
// blanks and the name of the type (when the catalogue knows it) or of the cause (when bits
// 0..5 are a defined cause, with the words for the P/N and test bits before it).
std::string ColourTableEntryText(const TextTable& t, const T_AllgVar& av, int kind, int i);
// True for a type that the catalogue decodes (the type list of av holds it).
bool TypeInCatalogue(const T_AllgVar& av, int typ);
// The pair an entry is drawn in: a foreground of 0 or 255 is drawn black (1), a background of
// 0 or 255 on the window colour (15).
T_FarbIndex ColourTableEntryPair(T_FarbIndex p);
// True when the two tables give some entry another pair (the dialog's focus index does not
// count, so opening and confirming the dialog alone leaves nothing unsaved).
bool ColourTablesDiffer(const T_TypUrsFarben& a, const T_TypUrsFarben& b);

} // namespace vdl
