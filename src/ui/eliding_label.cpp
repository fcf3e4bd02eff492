#include "ui/eliding_label.h"

#include <QPainter>

#include <algorithm>

namespace vdl {

QSize ElidingLabel::minimumSizeHint() const {
    // Room for a few characters and the ellipsis.
    QSize s = QLabel::minimumSizeHint();
    int m = contentsMargins().left() + contentsMargins().right();
    s.setWidth(std::min(s.width(), fontMetrics().horizontalAdvance(QStringLiteral("Xxxx...")) + m));
    return s;
}

void ElidingLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = contentsRect();
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, static_cast<int>(alignment()),
               fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}

} // namespace vdl
