#include "ui/lamp_button.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace vdl {

namespace {

QIcon LampIcon(LampKind kind, int index) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    bool lit = (index & 1) != 0;
    QColor on = kind == LampKind::Receive    ? QColor(0, 200, 0)
                : kind == LampKind::Transmit ? QColor(230, 0, 0)
                                             : QColor(0, 200, 0);
    QColor off = kind == LampKind::Online ? QColor(200, 60, 60) : QColor(90, 90, 90);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(lit ? on : off);
    if (kind == LampKind::Online)
        p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
    else
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return QIcon(pm);
}

} // namespace

LampButton::LampButton(LampKind kind, QWidget* parent) : QToolButton(parent), kind_(kind) {
    SetImageIndex(kind == LampKind::Transmit ? 2 : 0);
}

void LampButton::SetImageIndex(int i) {
    index_ = i;
    setIcon(LampIcon(kind_, i));
}

} // namespace vdl
