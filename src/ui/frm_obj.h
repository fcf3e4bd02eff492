// The station image window: the image in a grid that asks only for the cells it shows (so a
// table of 100 000 objects opens and scrolls at once), refreshed every 32 ticks while
// telegrams arrive, with automatic column widths, Copy, Clear, and the row header click that
// restricts the main log view to one object. It has no owner window.
#pragma once

#include "app/image_commands.h"
#include "image/image_grid.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QPushButton;
class QTableView;

namespace vdl {

class LocaleFormats;
class Program;

// The grid's rows are the objects (row 0 of the image, the headings, is the column header;
// column 0, the row number, is the row header).
class ImageModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ImageModel(Program& p, const LocaleFormats& loc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // Takes the present table: rows added at the end, every shown cell redrawn.
    void Refresh();
    ImageTextEnv Env() const;

private:
    Program& p_;
    const LocaleFormats& loc_;
    int rows_ = 0;
    int cols_ = kImageColumns;
};

class TfmObj : public QWidget {
    Q_OBJECT
public:
    TfmObj(Program& p, const LocaleFormats& loc);
    ~TfmObj() override;

    // aStObj: the image collects; an empty image is rebuilt from the log when offline.
    void Open();
    // Every tick of the main timer.
    void ImageTick();
    // RefreshImageWindow: caption, rows, widths and the grid.
    void Refresh();
    // One slice of a pending rebuild (the event loop runs them until it is done).
    void RebuildSlice();
    // The captions and hints from the program texts (also after a change of language).
    void ApplyTexts();

    // The main window comes to the front after a row header click; help opens the help.
    std::function<void()> showMain;
    std::function<void()> help;
    // The timing statistics of the refresh for the main window's caption (switch "t2").
    std::function<void(const std::string&)> timingCaption;

    QTableView* grid() const { return grid_; }
    ImageModel* model() const { return model_; }
    QCheckBox* autoWidths() const { return chkAuto_; }
    QPushButton* button(int i) const { return buttons_[i]; } // Copy, Clear, Exit, Help
    std::string Caption() const;
    // Rows selected by the row header click (for the tests).
    void ClickRowHeader(int row);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void ApplyWidths(const ImageWidths& w);
    void Copy();
    void Clear();
    void StoreSettings();
    void RestoreSettings();

    Program& p_;
    const LocaleFormats& loc_;
    ImageModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QCheckBox* chkAuto_ = nullptr;
    QPushButton* buttons_[4] = {};
    ImageColumnFit fit_;
    ImageClick click_;
    QTimer rebuild_;
    QElapsedTimer sinceRefresh_;
};

} // namespace vdl
