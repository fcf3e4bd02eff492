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
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    hbar_->setObjectName(QStringLiteral("scbrHorz"));
    hbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->setRange(0, 0);
    hbar_->hide();
    connect(hbar_, &QScrollBar::valueChanged, this, [this] { Redraw(); });
    tbSt_ = new QTableWidget(3, 11, this);
    tbSt_->setObjectName(QStringLiteral("tbSt"));
    tbSt_->horizontalHeader()->hide();
    tbSt_->verticalHeader()->hide();
    tbSt_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbSt_->setSelectionMode(QAbstractItemView::NoSelection);
    tbSt_->setFocusPolicy(Qt::NoFocus);
    tbSt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tbSt_->horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
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

int LogView::ViewBottom() const {
    return height() - hbar_->sizeHint().height();
}

int LogView::Offset() const {
    return hbar_->value();
}

int LogView::GridWidth() const {
    int w = 2 * tbSt_->frameWidth();
    for (int c = 0; c < tbSt_->columnCount(); ++c) w += tbSt_->columnWidth(c);
    return w;
}

bool LogView::FitGrid(const std::vector<int>& leastWidths) {
    QFontMetrics fm(tbSt_->font());
    for (int c = 0; c < tbSt_->columnCount(); ++c) {
        int need =
            c < static_cast<int>(leastWidths.size()) ? leastWidths[static_cast<size_t>(c)] : 0;
        for (int r = 0; r < tbSt_->rowCount(); ++r)
            if (const QTableWidgetItem* it = tbSt_->item(r, c))
                need = std::max(need, fm.horizontalAdvance(it->text()) + 12);
        if (need != tbSt_->columnWidth(c)) tbSt_->setColumnWidth(c, need);
    }
    int before = tbSt_->height();
    PlaceChildren();
    return tbSt_->height() != before;
}

void LogView::PlaceChildren() {
    int rh = tbSt_->rowCount() > 0 ? tbSt_->rowHeight(0) : h_;
    // Columns wider than the view: the grid scrolls sideways instead of cutting them off.
    bool wide = GridWidth() > width();
    tbSt_->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    int barH = wide ? tbSt_->horizontalScrollBar()->sizeHint().height() : 0;
    tbSt_->setGeometry(0, 0, width(), rh * 3 + 4 + barH);
    int sw = scbrLog_->sizeHint().width();
    scbrLog_->setGeometry(width() - sw, 0, sw, height());
    int hh = hbar_->sizeHint().height();
    hbar_->setGeometry(0, height() - hh, width() - ScrollBarWidth(), hh);
    UpdateHorizontalRange();
}

void LogView::UpdateHorizontalRange() {
    // The widest line drawn decides how far the view scrolls sideways.
    QFontMetrics fm(font_), hfm(headerFont_);
    int widest = 0;
    for (const DrawnLine& l : model_.Lines()) {
        const QFontMetrics& m = l.style == LineStyle::Text ? fm : hfm;
        widest = std::max(widest, textX_ + m.horizontalAdvance(QString::fromStdString(l.text)));
    }
    int visible = width() - ScrollBarWidth();
    int over = std::max(0, widest + textX_ - visible);
    hbar_->setRange(0, over);
    hbar_->setPageStep(std::max(1, visible));
    hbar_->setSingleStep(std::max(1, fm.horizontalAdvance(QLatin1Char('0')) * 8));
    hbar_->setVisible(over > 0);
}

QColor LogView::Colour(uint8_t idx, bool foreground) const {
    // Index 0 is "no colour": text in the window text colour, background in the window colour.
    if (idx == 0) return PaletteColor(foreground ? 16 : 15);
    return PaletteColor(idx);
}

void LogView::Fill(int top, int bottom, int right, uint8_t colour) {
    model_.Fill(top, bottom, right, colour);
    background_ = colour;
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.fillRect(QRect(0, top, right, bottom - top), Colour(colour, false));
}

void LogView::Text(int x, int y, const std::string& s, T_FarbIndex pair, LineStyle style) {
    model_.Text(x, y, s, pair, style);
    textX_ = x;
    if (image_.isNull()) return;
    QPainter p(&image_);
    DrawText(p, DrawnLine{y, s, pair, style});
}

void LogView::DrawText(QPainter& p, const DrawnLine& l) {
    const QFont& f = l.style == LineStyle::Text ? font_ : headerFont_;
    p.setFont(f);
    QFontMetrics fm(f);
    QString t = QString::fromStdString(l.text);
    int lh = l.style == LineStyle::Text ? h_ : headerH_;
    int x = textX_ - Offset();
    // The text is drawn opaque: its background colour stands behind the characters only.
    p.fillRect(QRect(x, l.y, fm.horizontalAdvance(t), lh), Colour(l.pair.hg, false));
    p.setPen(Colour(l.pair.fg, true));
    p.drawText(x, l.y + fm.ascent(), t);
}

void LogView::Redraw() {
    if (image_.isNull()) return;
    QPainter p(&image_);
    p.fillRect(QRect(0, 0, width(), ViewBottom()), Colour(background_, false));
    for (const DrawnLine& l : model_.Lines()) DrawText(p, l);
    update();
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
    UpdateHorizontalRange();
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
    // A sideways turn (or Shift with the wheel) moves the long lines.
    int side = e->angleDelta().x();
    if (side == 0 && (e->modifiers() & Qt::ShiftModifier)) side = e->angleDelta().y();
    if (side != 0) {
        hbar_->setValue(hbar_->value() - side * hbar_->singleStep() / 120);
        e->accept();
        return;
    }
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
    case Qt::Key_Left:
    case Qt::Key_Right:
        hbar_->triggerAction(e->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                      : QAbstractSlider::SliderSingleStepAdd);
        return;
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
            if (k->key() == Qt::Key_Left || k->key() == Qt::Key_Right) {
                // Sideways, not a telegram up or down.
                keyPressEvent(k);
                return true;
            }
            emit keyPressed(k->key(), static_cast<int>(k->modifiers()));
        }
    }
    return QWidget::eventFilter(o, e);
}

} // namespace vdl
