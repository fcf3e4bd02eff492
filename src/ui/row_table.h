// A table of many rows that asks only for the cells it shows (the list editor's 3000 objects,
// the feedback dialog's 1000 entries): texts and check boxes come from functions over the
// record being edited, an entry goes back through a check; a refused entry marks its cell.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vdl {

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
