// The toolkit follows the program's language: the default locale (month and day names of
// date fields and calendars, number forms) and the translation of the toolkit's own texts
// (standard buttons, file dialogs) in German.
#pragma once

#include <QLocale>

namespace vdl {

// The locale of the program's language (0 German, 1 English) on this system.
QLocale ProgramLocale(int language);

// Sets the default locale and installs or removes the toolkit's German translation. Returns
// false when German was asked for and the translation is not installed (the toolkit then
// speaks English).
bool ApplyToolkitLanguage(int language);

} // namespace vdl
