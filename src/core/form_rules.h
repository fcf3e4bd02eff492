// How forms take their texts from the program text table (combo box entries, comma-separated
// lists, counted lists), and where a dialog is placed beside the main window. Widget-free, so
// the dialogs and their tests share one reading of the texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vdl {

class TextTable;

// Text numbers the form rules fix.
constexpr int kTxOk = 676;
constexpr int kTxCancel = 677;
constexpr int kTxHelp = 678;
constexpr int kHintButton = 519; // hint of every button
constexpr int kHintChoice = 502; // hint of check boxes and combo boxes

// Dialogs open this far below the main window's top.
constexpr int kDialogTopOffset = 64;
// Longest list a counted text may announce; a larger or unreadable count gives no entries.
constexpr int kMaxListEntries = 256;

// The decimal number a text holds, blanks around it ignored; fallback when it holds none.
int TextNumber(std::string_view s, int fallback = 0);
// The decimal number a text starts with, blanks before it ignored ("9600 bit/s" gives 9600);
// fallback when it starts with none.
int LeadingNumber(std::string_view s, int fallback = 0);

// Entries whose count is text countText (decimal) and whose captions are the texts from
// firstText on.
std::vector<std::string> CountedEntries(const TextTable& t, int countText, int firstText);
// The entries of a combo box labelled by text n: count text n + 1, entries texts n + 2 on.
std::vector<std::string> ComboEntries(const TextTable& t, int n);
// The entries of a check list box or radio group: the text split at its commas, each entry
// without the blanks around it. An empty text gives no entries.
std::vector<std::string> CommaList(std::string_view s);

// Left edge of a dialog placed at the main window's right edge but kept on the screen.
int DialogLeft(int mainLeft, int mainWidth, int screenWidth, int dialogWidth);

} // namespace vdl
