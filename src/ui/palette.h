// The 20-colour palette of the log view and the colour dialogs as Qt colours; the system
// entries follow the application's palette.
#pragma once

#include <QColor>

namespace vdl {

QColor PaletteColor(int idx);

// Black or white, whichever reads better on the colour.
QColor ReadableOn(const QColor& background);

} // namespace vdl
