#include "ui/dlg_rm.h"

#include "app/help_pages.h"
#include "app/program.h"
#include "asdu/address_text.h"
#include "send/feedback_files.h"
#include "send/feedback_form.h"
#include "send/type_picker.h"
#include "ui/dlg_typ.h"
#include "ui/row_table.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace vdl {

namespace {

constexpr int kHelpContext = HC_CONTENTS;
constexpr int kPickerOffset = 352;
constexpr int kTxCaption = 1250, kTxEin = 1251, kTxWzeit = 1347, kTxHeadings = 1260;
constexpr int kTxEdit = 1159, kTxLoad = 1382, kTxSave = 1383, kTxName = 1384, kTxFilter = 1379;
constexpr int kTxExt = 1367;
constexpr int kHintCa = 836, kHintOa = 839, kHintQualifier = 1270, kHintType = 1269,
              kHintOther = 502;

} // namespace

TfmRm::TfmRm(Program& p, QWidget* main) : FormDialog(p.texts, main), p_(p), kept_(p.rmTab) {
    setObjectName("TfmRm");
    setWindowTitle(tx(kTxCaption));
    auto* form = new QFormLayout;
    body()->addLayout(form);
    QLabel* l = nullptr;
    cbEin = MakeCombo(kTxEin, &l);
    cbEin->setObjectName("cbEin");
    form->addRow(l, cbEin);
    sfWzeit = MakeEntry(kTxWzeit, &l);
    sfWzeit->setObjectName("sfWzeit");
    sfWzeit->setMaximumWidth(100);
    form->addRow(l, sfWzeit);

    T_RmTab& tab = p_.rmTab;
    RowTableAccess a;
    a.rows = kRmEntries;
    a.columns = RMC_COUNT;
    a.heading = [this](int col) { return tx(kTxHeadings + col); };
    a.text = [this, &tab](int row, int col) { return FeedbackCellText(tab, row, col, TextEnv()); };
    a.isCheck = [](int col) { return col == RMC_CON || col == RMC_RET || col == RMC_TERM; };
    a.checked = [&tab](int row, int col) {
        const T_BefRm& e = tab.e[row - 1];
        return (col == RMC_CON ? e.con : col == RMC_RET ? e.ret : e.term) != 0;
    };
    a.set = [this, &tab](int row, int col, const std::string& s) {
        return SetFeedbackCell(tab, row, col, s, TextEnv());
    };
    a.editable = [](int col) { return col != RMC_ROW; };
    model_ = new RowTableModel(a, this);
    grid = new RowTableView(this);
    grid->setObjectName("grid");
    grid->setModel(model_);
    grid->hasPicker = [](int col) {
        return col == RMC_BCA || col == RMC_BOA || col == RMC_ROA || col == RMC_RTYP;
    };
    grid->pick = [this](int row, int col) { PickCell(row, col); };
    grid->Fit({6, 14, 15, 10, 9, 9, 8, 15, 12}, 18);
    body()->addWidget(grid, 1);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowHintOfCell(); });
    AddButtons(kHelpContext);
    SetFocusOrder({cbEin, sfWzeit, grid});

    SelectEntry(cbEin, tab.ein ? 1 : 0);
    sfWzeit->setText(QString::number(tab.wzeit));
    const int row = std::clamp(tab.zeile, 1, kRmEntries);
    const int col = std::clamp(tab.spalte, 1, RMC_COUNT - 1);
    grid->setCurrentIndex(model_->index(row - 1, col));
    resize(width(), std::max(height(), 36 * fontMetrics().height()));
    PlaceBesideMain(main);
    RestoreFocus(tab.ilo);
}

SeTeTextEnv TfmRm::TextEnv() const {
    return SeTeTextEnv{p_.av, p_.ap};
}

void TfmRm::ShowHintOfCell() {
    const int col = grid->currentIndex().column();
    const int hint = col == RMC_BCA                       ? kHintCa
                     : (col == RMC_BOA || col == RMC_ROA) ? kHintOa
                     : col == RMC_BKEN                    ? kHintQualifier
                     : col == RMC_RTYP                    ? kHintType
                                                          : kHintOther;
    SetHint(grid, hint);
    ShowHintOf(grid);
}

void TfmRm::PickCell(int row, int col) {
    T_BefRm& e = p_.rmTab.e[row - 1];
    T_SeLiObj obj{};
    uint32_t ca = static_cast<uint32_t>(e.bca);
    obj.oa = col == RMC_ROA ? e.roa : e.boa;
    obj.typ = e.rtyp;
    obj.urs = 11;
    const int mode = col == RMC_BCA ? PICK_CA : col == RMC_RTYP ? PICK_TYPE : PICK_OBJECT;
    const QWidget* main = parentWidget() ? parentWidget() : this;
    PickEnv env{texts(), p_.av, p_.ap, p_.objects};
    if (!Pick(this, x() - kPickerOffset, y(), main->height(), mode, obj, ca, 0, env)) return;
    if (mode == PICK_CA)
        e.bca = static_cast<int32_t>(ca);
    else if (mode == PICK_TYPE && IsReturnType(obj.typ))
        e.rtyp = obj.typ;
    else if (mode == PICK_OBJECT)
        (col == RMC_ROA ? e.roa : e.boa) = obj.oa;
    model_->Refresh();
    grid->setCurrentIndex(model_->index(row - 1, col));
}

bool TfmRm::Confirm() {
    grid->FinishEditing();
    int wzeit = 0;
    const bool ok = ReadIntField(sfWzeit, 0, 65535, wzeit);
    MarkError(sfWzeit, !ok);
    if (!ok) {
        sfWzeit->setFocus();
        return false;
    }
    if (model_->AnyMarked()) {
        const auto [row, col] = model_->FirstMarked();
        grid->setCurrentIndex(model_->index(row - 1, col));
        grid->setFocus();
        return false;
    }
    T_RmTab& t = p_.rmTab;
    t.ein = cbEin->currentIndex() == 1 ? 1 : 0;
    t.wzeit = static_cast<uint16_t>(wzeit);
    t.ilo = FocusIndex();
    t.zeile = grid->currentIndex().row() + 1;
    t.spalte = grid->currentIndex().column();
    p_.av.setelisav = true;
    return true;
}

void TfmRm::reject() {
    // The entries go back as they were; what the feedback did meanwhile stays its own.
    T_RmTab& t = p_.rmTab;
    for (int i = 0; i < kRmEntries; ++i) {
        T_BefRm& e = t.e[i];
        const T_BefRm& k = kept_.e[i];
        e.bca = k.bca;
        e.boa = k.boa;
        e.roa = k.roa;
        e.rtyp = k.rtyp;
        e.con = k.con;
        e.ret = k.ret;
        e.term = k.term;
        e.bken = k.bken;
    }
    t.ein = kept_.ein;
    t.wzeit = kept_.wzeit;
    FormDialog::reject();
}

RowEditing TfmRm::Editing() {
    return {[this] { Copy(); }, [this] { Cut(); }, [this] { Paste(); },
            [this](const QPoint& at) { ShowMenu(at); }};
}

void TfmRm::contextMenuEvent(QContextMenuEvent* e) {
    ShowMenu(e->globalPos());
}

void TfmRm::keyPressEvent(QKeyEvent* e) {
    if (!RowEditKey(e, this, Editing())) FormDialog::keyPressEvent(e);
}

void TfmRm::ShowMenu(const QPoint& at) {
    QMenu m(this);
    const RowEditMenu edit =
        AddRowEditEntries(m, tx(kTxEdit), tx(kTxEdit + 1), tx(kTxEdit + 2), [&] {
            T_BefRm probe;
            const std::string clip = Ss(QApplication::clipboard()->text());
            return ReadFeedbackRow(clip.substr(0, clip.find('\n')), probe, TextEnv());
        }());
    QAction* load = m.addAction(tx(kTxLoad));
    QAction* save = m.addAction(tx(kTxSave));
    QAction* chosen = m.exec(at);
    const QString dir = Qs(p_.av.DataDir);
    if (RunRowEdit(edit, chosen, Editing())) return;
    if (chosen == load) {
        QString f = QFileDialog::getOpenFileName(this, tx(kTxLoad), dir, tx(kTxFilter));
        if (!f.isEmpty()) LoadFrom(Ss(f));
    } else if (chosen == save) {
        QString f = QFileDialog::getSaveFileName(
            this, tx(kTxSave), dir + tx(kTxName) + "." + tx(kTxExt), tx(kTxFilter));
        if (!f.isEmpty()) SaveTo(Ss(f));
    }
}

void TfmRm::Copy() {
    const auto [first, last] = grid->SelectedRows();
    QApplication::clipboard()->setText(Qs(CopyFeedbackRows(p_.rmTab, first, last, TextEnv())));
}

void TfmRm::Cut() {
    const auto [first, last] = grid->SelectedRows();
    Copy();
    CutFeedbackRows(p_.rmTab, first, last);
    model_->Refresh();
    grid->setCurrentIndex(model_->index(first - 1, RMC_BCA));
}

void TfmRm::Paste() {
    const int at = grid->currentIndex().row() + 1;
    if (PasteFeedbackRows(p_.rmTab, at, Ss(QApplication::clipboard()->text()), TextEnv()) == 0)
        return;
    model_->Refresh();
    grid->setCurrentIndex(model_->index(at - 1, RMC_BCA));
}

bool TfmRm::LoadFrom(const std::string& path) {
    std::string error;
    if (!LoadFeedbackFile(path, p_.rmTab, TextEnv(), false, error)) {
        if (!error.empty()) p_.msg.Error(error);
        return false;
    }
    SelectEntry(cbEin, p_.rmTab.ein ? 1 : 0);
    sfWzeit->setText(QString::number(p_.rmTab.wzeit));
    p_.av.setelisav = true;
    model_->ClearMarks();
    model_->Refresh();
    grid->setCurrentIndex(model_->index(0, RMC_BCA));
    return true;
}

bool TfmRm::SaveTo(const std::string& path) {
    std::string error;
    if (SaveFeedbackFile(path, p_.rmTab, TextEnv(), error)) return true;
    p_.msg.Error(error);
    return false;
}

void RunFeedbackDialog(Program& p, QWidget* main) {
    TfmRm d(p, main);
    d.exec();
}

} // namespace vdl
