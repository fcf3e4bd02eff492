#include "ui/dlg_frbsel.h"

#include "core/allg_var.h"
#include "core/display_lists.h"
#include "core/form_rules.h"
#include "core/text_table.h"
#include "ui/palette.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

namespace vdl {

namespace {
constexpr int kTxCaption = 1457;   // + kind
constexpr int kTxListLabel = 1459; // + kind
constexpr int kTxForeground = 1461;
constexpr int kTxBackground = 1462;
constexpr int kEntries = 256;
} // namespace

TfmFrbSel::TfmFrbSel(const TextTable& t, const T_AllgVar& av, int kind, T_TypUrsFarben& table,
                     QWidget* main)
    : FormDialog(t, main), av_(av), kind_(kind == kFrbTypes ? kFrbTypes : kFrbCauses),
      table_(table), work_(table) {
    setObjectName("TfmFrbSel");
    setWindowTitle(tx(kTxCaption + kind_));
    auto* grid = new QGridLayout;
    body()->addLayout(grid);
    grid->addWidget(MakeLabel(kTxListLabel + kind_), 0, 0);
    grid->addWidget(MakeLabel(kTxForeground), 0, 1);
    grid->addWidget(MakeLabel(kTxBackground), 0, 2);

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lbEntries = new QListWidget(this);
    lbEntries->setObjectName("lbEntries");
    lbEntries->setFont(fixed);
    SetHint(lbEntries, kHintChoice);
    for (int i = 0; i < kEntries; ++i) {
        new QListWidgetItem(Qs(ColourTableEntryText(t, av_, kind_, i)), lbEntries);
        DrawEntry(i);
    }
    lbEntries->setMinimumWidth(lbEntries->sizeHintForColumn(0) + 30);
    grid->addWidget(lbEntries, 1, 0);

    for (int side = 0; side < 2; ++side) {
        auto* lb = new QListWidget(this);
        lb->setObjectName(side == 0 ? "lbVg" : "lbHg");
        lb->setFont(fixed);
        SetHint(lb, kHintChoice);
        for (int c = 0; c < kPaletteSize; ++c) {
            auto* it = new QListWidgetItem(Qs(PaletteEntryText(t, c)), lb);
            it->setBackground(PaletteColor(c));
            it->setForeground(ReadableOn(PaletteColor(c)));
        }
        lb->setMinimumWidth(lb->sizeHintForColumn(0) + 30);
        // All 20 colours in sight.
        lb->setMinimumHeight(lb->sizeHintForRow(0) * lb->count() + 2 * lb->frameWidth() + 4);
        grid->addWidget(lb, 1, side + 1);
        (side == 0 ? lbVg : lbHg) = lb;
        connect(lb, &QListWidget::currentRowChanged, this, &TfmFrbSel::OnColour);
    }
    connect(lbEntries, &QListWidget::currentRowChanged, this, &TfmFrbSel::OnEntry);
    lbEntries->setCurrentRow(0);

    AddButtons(kind_ == kFrbTypes ? 5800 : 5850);
    SetFocusOrder({lbEntries, lbVg, lbHg});
    PlaceBesideMain(main);
}

void TfmFrbSel::DrawEntry(int i) {
    QListWidgetItem* it = lbEntries->item(i);
    if (!it) return;
    T_FarbIndex p = ColourTableEntryPair(work_.frb[i]);
    it->setForeground(PaletteColor(p.fg));
    it->setBackground(PaletteColor(p.hg));
}

void TfmFrbSel::OnEntry(int i) {
    if (i < 0 || i >= kEntries) return;
    // Showing the entry's pair must not store anything.
    showing_ = true;
    const T_FarbIndex& p = work_.frb[i];
    lbVg->setCurrentRow(p.fg < kPaletteSize ? p.fg : -1);
    lbHg->setCurrentRow(p.hg < kPaletteSize ? p.hg : -1);
    showing_ = false;
}

void TfmFrbSel::OnColour() {
    int i = lbEntries->currentRow();
    if (showing_ || i < 0 || i >= kEntries) return;
    T_FarbIndex& p = work_.frb[i];
    if (lbVg->currentRow() >= 0) p.fg = static_cast<uint8_t>(lbVg->currentRow());
    if (lbHg->currentRow() >= 0) p.hg = static_cast<uint8_t>(lbHg->currentRow());
    DrawEntry(i);
}

void TfmFrbSel::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(work_.ilo);
    }
}

bool TfmFrbSel::Confirm() {
    work_.ilo = FocusIndex();
    table_ = work_;
    return true;
}

bool EditColourTable(QWidget* main, const TextTable& t, const T_AllgVar& av, int kind,
                     T_TypUrsFarben& table) {
    TfmFrbSel dlg(t, av, kind, table, main);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vdl
