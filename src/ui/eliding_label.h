// A label of the status bar that gives way when the bar is short: it shows as much of its text
// as fits and ends it with "..." instead of being cut off or pushing the other panels out of
// the window. text() keeps the whole text.
#pragma once

#include <QLabel>

namespace vdl {

class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace vdl
