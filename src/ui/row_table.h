// A table of many rows that asks only for the cells it shows (the list editor's 3000 objects,
// the feedback dialog's 1000 entries): texts and check boxes come from functions over the
// record being edited, an entry goes back through a check; a refused entry marks its cell.
#pragma once

#include <QAbstractTableModel>
#include <QMenu>
#include <QTableView>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vdl {

// The editing of a dialog around a row table: copy, cut and paste of rows, and its menu.
struct RowEditing {
    std::function<void()> copy, cut, paste;
    std::function<void(const QPoint& at)> menu;
};

// Shift+F10 opens the menu at the middle of w; the keys of copy, cut and paste act. False when
// the key is none of them.
bool RowEditKey(QKeyEvent* e, QWidget* w, const RowEditing& r);

// The menu's first part: copy, cut and paste (the words given; paste only when canPaste),
// then a separator. RunRowEdit carries out the chosen one of them; false for another entry.
struct RowEditMenu {
    QAction* copy = nullptr;
    QAction* cut = nullptr;
    QAction* paste = nullptr;
};
RowEditMenu AddRowEditEntries(QMenu& m, const QString& copy, const QString& cut,
                              const QString& paste, bool canPaste);
bool RunRowEdit(const RowEditMenu& m, QAction* chosen, const RowEditing& r);

struct RowTableAccess {
    int rows = 0;
    int columns = 0;
    std::function<QString(int col)> heading;
    std::function<std::string(int row, int col)> text; // row 1..rows
    std::function<bool(int col)> isCheck;              // a check box column
    std::function<bool(int row, int col)> checked;
    std::function<bool(int row, int col, const std::string&)> set; // false: refused
    std::function<bool(int col)> editable;
};

class RowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowTableModel(RowTableAccess a, QObject* parent = nullptr)
        : QAbstractTableModel(parent), a_(std::move(a)) {}
    int rowCount(const QModelIndex& = {}) const override { return a_.rows; }
    int columnCount(const QModelIndex& = {}) const override { return a_.columns; }
    QVariant data(const QModelIndex& i, int role) const override;
    bool setData(const QModelIndex& i, const QVariant& v, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& i) const override;
    // Everything shown again (after a paste, a load, a cycle of the running list).
    void Refresh();
    bool AnyMarked() const { return !marked_.empty(); }
    std::pair<int, int> FirstMarked() const { return *marked_.begin(); }
    void ClearMarks() { marked_.clear(); }

private:
    RowTableAccess a_;
    std::set<std::pair<int, int>> marked_; // (row, column) of refused entries
};

// The table view of such a model: Enter, Tab and Right at the last column go on to the next
// row's first column; F12 and a left click in a picker column call pick.
class RowTableView : public QTableView {
    Q_OBJECT
public:
    explicit RowTableView(QWidget* parent = nullptr);
    std::function<bool(int col)> hasPicker;
    std::function<void(int row, int col)> pick;
    // The first and last selected row (1-based), the cursor row when nothing is selected.
    std::pair<int, int> SelectedRows() const;
    // Column widths in digits, every column in sight without scrolling sideways, rows lines high.
    void Fit(const std::vector<int>& digits, int rows);
    // An entry being typed into a cell is taken (its check runs).
    void FinishEditing();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
};

} // namespace vdl
