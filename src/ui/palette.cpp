#include "ui/palette.h"

#include "core/display_lists.h"

#include <QApplication>
#include <QPalette>

namespace vdl {

QColor PaletteColor(int idx) {
    int rgb = PaletteRgb(idx);
    if (rgb >= 0) return QColor(QRgb(rgb));
    QPalette p = QApplication::palette();
    switch (idx) {
    case 16:
        return p.color(QPalette::Text);
    case 17:
        return p.color(QPalette::Window);
    case 18:
        return p.color(QPalette::Active, QPalette::Highlight);
    case 19:
        return p.color(QPalette::Mid);
    default:
        return p.color(QPalette::Base); // 0 and 15: the window colour
    }
}

QColor ReadableOn(const QColor& background) {
    return WhiteTextOn(static_cast<int>(background.rgb() & 0xFFFFFF)) ? QColor(Qt::white)
                                                                      : QColor(Qt::black);
}

} // namespace vdl
