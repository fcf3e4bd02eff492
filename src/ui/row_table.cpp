#include "ui/row_table.h"

#include "ui/form_texts.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

namespace vdl {

bool RowEditKey(QKeyEvent* e, QWidget* w, const RowEditing& r) {
    if (e->key() == Qt::Key_F10 && (e->modifiers() & Qt::ShiftModifier))
        r.menu(w->mapToGlobal(w->rect().center()));
    else if (e->matches(QKeySequence::Copy))
        r.copy();
    else if (e->matches(QKeySequence::Cut))
        r.cut();
    else if (e->matches(QKeySequence::Paste))
        r.paste();
    else
        return false;
    return true;
}

RowEditMenu AddRowEditEntries(QMenu& m, const QString& copy, const QString& cut,
                              const QString& paste, bool canPaste) {
    RowEditMenu e;
    e.copy = m.addAction(copy);
    e.cut = m.addAction(cut);
    e.paste = m.addAction(paste);
    e.paste->setEnabled(canPaste);
    m.addSeparator();
    return e;
}

bool RunRowEdit(const RowEditMenu& m, QAction* chosen, const RowEditing& r) {
    if (chosen == nullptr) return false;
    if (chosen == m.copy)
        r.copy();
    else if (chosen == m.cut)
        r.cut();
    else if (chosen == m.paste)
        r.paste();
    else
        return false;
    return true;
}

QVariant RowTableModel::data(const QModelIndex& i, int role) const {
    const int row = i.row() + 1, col = i.column();
    const bool check = a_.isCheck && a_.isCheck(col);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return check ? QVariant() : QVariant(Qs(a_.text(row, col)));
    if (role == Qt::CheckStateRole && check)
        return a_.checked(row, col) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::BackgroundRole && marked_.count({row, col})) return QColor(255, 200, 200);
    if (role == Qt::TextAlignmentRole && col == 0)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool RowTableModel::setData(const QModelIndex& i, const QVariant& v, int role) {
    const int row = i.row() + 1, col = i.column();
    if (role != Qt::CheckStateRole && role != Qt::EditRole) return false;
    const QString entry = role == Qt::EditRole       ? v.toString()
                          : v.toInt() == Qt::Checked ? QStringLiteral("1")
                                                     : QStringLiteral("0");
    const std::string text = Ss(entry);
    const bool ok = a_.set(row, col, text);
    if (ok)
        marked_.erase({row, col});
    else
        marked_.insert({row, col});
    // A type change may change the row's other cells.
    emit dataChanged(index(i.row(), 0), index(i.row(), a_.columns - 1));
    return ok;
}

QVariant RowTableModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole) return a_.heading(section);
    return {};
}

Qt::ItemFlags RowTableModel::flags(const QModelIndex& i) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (a_.isCheck && a_.isCheck(i.column())) return f | Qt::ItemIsUserCheckable;
    if (!a_.editable || a_.editable(i.column())) f |= Qt::ItemIsEditable;
    return f;
}

void RowTableModel::Refresh() {
    beginResetModel();
    endResetModel();
}

RowTableView::RowTableView(QWidget* parent) : QTableView(parent) {
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
}

std::pair<int, int> RowTableView::SelectedRows() const {
    int first = currentIndex().row() + 1, last = first;
    const QModelIndexList sel = selectionModel()->selectedIndexes();
    if (!sel.isEmpty()) {
        first = last = sel.front().row() + 1;
        for (const QModelIndex& i : sel) {
            first = std::min(first, i.row() + 1);
            last = std::max(last, i.row() + 1);
        }
    }
    return {first, last};
}

void RowTableView::Fit(const std::vector<int>& digits, int rows) {
    horizontalHeader()->setStretchLastSection(true);
    const int w = fontMetrics().horizontalAdvance(QStringLiteral("0"));
    int total = verticalScrollBar()->sizeHint().width() + 4;
    for (size_t c = 0; c < digits.size(); ++c) {
        setColumnWidth(static_cast<int>(c), digits[c] * w + 12);
        total += digits[c] * w + 12;
    }
    setMinimumWidth(total);
    setMinimumHeight(rows * verticalHeader()->defaultSectionSize());
}

void RowTableView::FinishEditing() {
    if (state() != EditingState) return;
    if (QWidget* editor = QApplication::focusWidget()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void RowTableView::keyPressEvent(QKeyEvent* e) {
    const QModelIndex cur = currentIndex();
    const int lastCol = model() ? model()->columnCount() - 1 : 0;
    if (cur.isValid() && e->key() == Qt::Key_F12 && hasPicker && hasPicker(cur.column())) {
        pick(cur.row() + 1, cur.column());
        return;
    }
    const bool onward = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Return ||
                        e->key() == Qt::Key_Enter || e->key() == Qt::Key_Right;
    if (cur.isValid() && onward && cur.column() == lastCol && state() != EditingState &&
        cur.row() + 1 < model()->rowCount()) {
        setCurrentIndex(model()->index(cur.row() + 1, 1));
        return;
    }
    QTableView::keyPressEvent(e);
}

void RowTableView::mousePressEvent(QMouseEvent* e) {
    QTableView::mousePressEvent(e);
    const QModelIndex i = indexAt(e->pos());
    if (e->button() == Qt::LeftButton && i.isValid() && hasPicker && hasPicker(i.column()) &&
        i == currentIndex())
        pick(i.row() + 1, i.column());
}

} // namespace vdl
