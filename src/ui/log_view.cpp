#include "ui/log_view.h"

#include "ui/palette.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QWheelEvent>

#include <cstring>

namespace vdl {

namespace {

QFont FixedFont(int size) {
    QFont f;
    if (QFontDatabase::families().contains(QStringLiteral("Courier New"))) {
        f = QFont(QStringLiteral("Courier New"));
    } else {
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    f.setPointSize(size);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

int TextHeight(const QFont& f) {
    return QFontMetrics(f).boundingRect(QStringLiteral("ABCQgj01234567890")).height();
}

} // namespace

LogView::LogView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LogView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    scbrLog_ = new QScrollBar(Qt::Vertical, this);
    scbrLog_->setObjectName(QStringLiteral("scbrLog"));
    scbrLog_->setRange(0, kScrollMax);
    scbrLog_->setValue(kScrollMax);
    scbrLog_->setSingleStep(1);
    scbrLog_->setPageStep(10);
    scbrLog_->installEventFilter(this);
    tbSt_ = new QTableWidget(3, 11, this);
    tbSt_->setObjectName(QStringLiteral("tbSt"));
    tbSt_->horizontalHeader()->hide();
    tbSt_->verticalHeader()->hide();
    tbSt_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbSt_->setSelectionMode(QAbstractItemView::NoSelection);
    tbSt_->setFocusPolicy(Qt::NoFocus);
    tbSt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbSt_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetFontSize(10);
    ShowOnlineParts(true);
}

void LogView::SetFontSize(int size) {
    font_ = FixedFont(size);
    headerFont_ = FixedFont(size + 1);
    headerFont_.setBold(true);
    h_ = std::max(1, TextHeight(font_));
    headerH_ = std::max(1, TextHeight(headerFont_));
    setFont(font_);
    tbSt_->setFont(font_);
    int rh = QFontMetrics(font_).height() + 4;
    for (int r = 0; r < tbSt_->rowCount(); ++r) tbSt_->setRowHeight(r, rh);
    PlaceChildren();
}

void LogView::ShowOnlineParts(bool online) {
    if (online != online_) {
        // What was drawn for the other display goes; the page draws anew.
        if (!image_.isNull()) image_.fill(PaletteColor(15));
        model_.Fill(-1000000, 1000000, width(), 15);
    }
    online_ = online;
    tbSt_->setVisible(online);
    scbrLog_->setVisible(!online);
    PlaceChildren();
}

int LogView::GridBottom() const {
    return online_ ? tbSt_->geometry().bottom() + 1 : 0;
}

int LogView::ScrollBarWidth() const {
    return online_ ? 0 : scbrLog_->sizeHint().width();
}

void LogView::PlaceChildren() {
    int rh = tbSt_->rowCount() > 0 ? tbSt_->rowHeight(0) : h_;
    tbSt_->setGeometry(0, 0, width(), rh * 3 + 4);
    int sw = scbrLog_->sizeHint().width();
    scbrLog_->setGeometry(width() - sw, 0, sw, height());
}

QColor LogView::Colour(uint8_t idx, bool foreground) const {
    // Index 0 is "no colour": text in the window text colour, background in the window colour.
    if (idx == 0) return PaletteColor(foreground ? 16 : 15);
    return PaletteColor(idx);
}

void LogView::Fill(int top, int bottom, int right, uint8_t colour) {
    model_.Fill(top, bottom, right, colour);
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.fillRect(QRect(0, top, right, bottom - top), Colour(colour, false));
}

void LogView::Text(int x, int y, const std::string& s, T_FarbIndex pair, LineStyle style) {
    model_.Text(x, y, s, pair, style);
    if (image_.isNull()) return;
    QPainter p(&image_);
    const QFont& f = style == LineStyle::Text ? font_ : headerFont_;
    p.setFont(f);
    QFontMetrics fm(f);
    QString t = QString::fromStdString(s);
    int lh = style == LineStyle::Text ? h_ : headerH_;
    // The text is drawn opaque: its background colour stands behind the characters only.
    p.fillRect(QRect(x, y, fm.horizontalAdvance(t), lh), Colour(pair.hg, false));
    p.setPen(Colour(pair.fg, true));
    p.drawText(x, y + fm.ascent(), t);
}

void LogView::ScrollUp(int top, int bottom, int right, int dy, uint8_t colour) {
    model_.ScrollUp(top, bottom, right, dy, colour);
    if (image_.isNull() || dy <= 0) return;
    qreal dpr = image_.devicePixelRatio();
    int t = static_cast<int>(top * dpr), b = static_cast<int>(bottom * dpr);
    int d = static_cast<int>(dy * dpr);
    t = std::max(0, t);
    b = std::min(image_.height(), b);
    size_t bpl = static_cast<size_t>(image_.bytesPerLine());
    for (int r = t; r + d < b; ++r)
        std::memcpy(image_.scanLine(r), image_.constScanLine(r + d), bpl);
    QPainter p(&image_);
    p.fillRect(QRect(0, bottom - dy, right, dy), Colour(colour, false));
}

void LogView::Present() {
    model_.Present();
    update();
}

void LogView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_.isNull())
        p.fillRect(rect(), PaletteColor(15));
    else
        p.drawImage(0, 0, image_);
}

void LogView::resizeEvent(QResizeEvent*) {
    qreal dpr = devicePixelRatioF();
    QSize s = size() * dpr;
    if (s.isEmpty()) s = QSize(1, 1);
    image_ = QImage(s, QImage::Format_RGB32);
    image_.setDevicePixelRatio(dpr);
    image_.fill(PaletteColor(15));
    model_.Fill(-1000000, 1000000, width(), 15);
    PlaceChildren();
    emit resized();
}

void LogView::wheelEvent(QWheelEvent* e) {
    wheelRest_ += e->angleDelta().y();
    while (wheelRest_ >= 120) {
        wheelRest_ -= 120;
        emit wheelStep(-1);
    }
    while (wheelRest_ <= -120) {
        wheelRest_ += 120;
        emit wheelStep(1);
    }
    e->accept();
}

void LogView::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // In the log display the scroll bar pages, whichever of the two has the focus.
        if (!online_) {
            QCoreApplication::sendEvent(scbrLog_, e);
            return;
        }
        break;
    default:
        break;
    }
    emit keyPressed(e->key(), static_cast<int>(e->modifiers()));
    QWidget::keyPressEvent(e);
}

void LogView::contextMenuEvent(QContextMenuEvent* e) {
    emit popupRequested(e->globalPos());
}

bool LogView::eventFilter(QObject* o, QEvent* e) {
    if (o == scbrLog_) {
        if (e->type() == QEvent::Wheel) {
            // The wheel moves by telegrams, not by thumb positions.
            wheelEvent(static_cast<QWheelEvent*>(e));
            return true;
        }
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            emit keyPressed(k->key(), static_cast<int>(k->modifiers()));
        }
    }
    return QWidget::eventFilter(o, e);
}

} // namespace vdl
