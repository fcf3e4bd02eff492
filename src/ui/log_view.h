// The owner-drawn log view: an off-screen image that the log page draws into and that is
// copied to the window, with the statistics grid above it (online display) and the scroll bar
// at its right (log display). It keeps the model of the lines drawn beside the image; a line
// wider than the view is reached with the horizontal scroll bar at the bottom, for which the
// view keeps a strip free.
#pragma once

#include "log/log_page.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <vector>

class QPainter;
class QScrollBar;
class QTableWidget;

namespace vdl {

class LogView : public QWidget, public ViewCanvas {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    // "Courier New" when installed, else the system's fixed-width font, in the given size.
    void SetFontSize(int size);
    const QFont& ViewFont() const { return font_; }
    int LineHeight() const { return h_; }
    int HeaderHeight() const { return headerH_; }

    // Shows the grid (online display) or the scroll bar (log display).
    void ShowOnlineParts(bool online);
    QScrollBar* scrollBar() const { return scbrLog_; }
    QTableWidget* grid() const { return tbSt_; }
    // Bottom of the grid when it is shown, else 0.
    int GridBottom() const;
    int ScrollBarWidth() const;
    // Where the telegram area ends: above the strip of the horizontal scroll bar.
    int ViewBottom() const;

    // Widens every column of the grid to its widest cell (the column's own width is the
    // least); with columns wider than the view the grid scrolls sideways. True when the
    // grid's height changed (the view is laid out again).
    bool FitGrid(const std::vector<int>& leastWidths);
    // The width the grid's columns take together.
    int GridWidth() const;

    QScrollBar* horizontalBar() const { return hbar_; }
    // The first pixel column shown (0 unless a long line was scrolled to).
    int Offset() const;

    // ViewCanvas
    void Fill(int top, int bottom, int right, uint8_t colour) override;
    void Text(int x, int y, const std::string& s, T_FarbIndex pair, LineStyle style) override;
    void ScrollUp(int top, int bottom, int right, int dy, uint8_t colour) override;
    void Present() override;

    const DrawnLines& Model() const { return model_; }
    const QImage& Image() const { return image_; }

signals:
    void resized();
    // The wheel turned by one notch up (-1) or down (+1).
    void wheelStep(int dir);
    void keyPressed(int key, int modifiers);
    void popupRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void PlaceChildren();
    QColor Colour(uint8_t idx, bool foreground) const;
    void DrawText(QPainter& p, const DrawnLine& l);
    // Shows the lines of the model again from a new offset.
    void Redraw();
    void UpdateHorizontalRange();

    QImage image_;
    QFont font_;
    QFont headerFont_;
    int h_ = 16;
    int headerH_ = 18;
    int wheelRest_ = 0;
    DrawnLines model_;
    QScrollBar* scbrLog_;
    QScrollBar* hbar_;
    QTableWidget* tbSt_;
    bool online_ = true;
    int textX_ = 10;          // where the lines begin
    uint8_t background_ = 15; // the colour the view was last filled with
};

} // namespace vdl
