#include "ui/dlg_farb.h"

#include "core/display_lists.h"
#include "core/form_rules.h"
#include "core/text_table.h"
#include "ui/palette.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace vdl {

namespace {
constexpr int kHelpContext = 5550;
constexpr int kTxCaption = 1400;
constexpr int kTxSizeLabel = 1401;
constexpr int kTxSample = 1403;
constexpr int kTxForeground = 1404;
constexpr int kTxBackground = 1405;
constexpr int kTxGap = 1406;
constexpr int kTxGapHint = 2231; // the text after the label is the first sample row
constexpr int kTxRows = 1407;    // + row
constexpr int kTxMask = 1415;    // quality highlight entries, bit 7 first
constexpr int kFirstColour = 1;
constexpr int kLastColour = 19;

// Selects the entry of a palette index, or none for an index the list does not offer (so
// that such a stored index survives OK unchanged).
void SelectColour(QComboBox* cb, int idx) {
    cb->setCurrentIndex(idx >= kFirstColour && idx <= kLastColour ? idx - kFirstColour : -1);
}
} // namespace

TfmFarb::TfmFarb(const TextTable& t, T_AusgPar& ausg, QWidget* main)
    : FormDialog(t, main), ausg_(ausg) {
    setObjectName("TfmFarb");
    setWindowTitle(tx(kTxCaption));
    auto* form = new QFormLayout;
    body()->addLayout(form);

    cbSize = new QComboBox(this);
    cbSize->setObjectName("cbSize");
    SetHint(cbSize, kHintChoice);
    sizes = FontSizes(t.tx(kTxFontSizes));
    for (int s : sizes) cbSize->addItem(QString::number(s));
    cbSize->setCurrentIndex(FontSizeIndex(sizes, ausg_.size));
    form->addRow(MakeLabel(kTxSizeLabel), cbSize);

    QLabel* l = nullptr;
    sfLeerZl = MakeEntry(kTxGap, &l);
    sfLeerZl->setObjectName("sfLeerZl");
    SetHint(sfLeerZl, kTxGapHint);
    sfLeerZl->setText(QString::number(ausg_.leerzl));
    form->addRow(l, sfLeerZl);

    chlbQuali = MakeCheckList(kTxMask, kHintChoice);
    chlbQuali->setObjectName("chlbQuali");
    for (int i = 0; i < chlbQuali->count(); ++i)
        SetChecked(chlbQuali, i, (ausg_.quamask & (0x80 >> i)) != 0);
    form->addRow(new QLabel(this), chlbQuali);

    auto* grid = new QGridLayout;
    body()->addLayout(grid);
    grid->addWidget(MakeLabel(kTxSample), 0, 0);
    grid->addWidget(MakeLabel(kTxForeground), 0, 1);
    grid->addWidget(MakeLabel(kTxBackground), 0, 2);
    std::vector<QWidget*> order{cbSize, sfLeerZl, chlbQuali};
    for (int row = 0; row < kFarbRows; ++row) {
        auto* sample = new QLabel(tx(kTxRows + row), this);
        sample->setAutoFillBackground(true);
        sample->setMargin(2);
        lblSample[static_cast<size_t>(row)] = sample;
        grid->addWidget(sample, row + 1, 0);
        for (int side = 0; side < 2; ++side) {
            auto* cb = new QComboBox(this);
            cb->setObjectName(QString(side == 0 ? "cbVg%1" : "cbHg%1").arg(row));
            SetHint(cb, kHintChoice);
            for (int c = kFirstColour; c <= kLastColour; ++c) {
                cb->addItem(tx(kTxPaletteNames + c));
                int item = cb->count() - 1;
                cb->setItemData(item, PaletteColor(c), Qt::BackgroundRole);
                cb->setItemData(item, ReadableOn(PaletteColor(c)), Qt::ForegroundRole);
            }
            const T_FarbIndex& p = Pair(ausg_, row);
            SelectColour(cb, side == 0 ? p.fg : p.hg);
            (side == 0 ? cbVg : cbHg)[static_cast<size_t>(row)] = cb;
            grid->addWidget(cb, row + 1, side + 1);
            order.push_back(cb);
            connect(cb, &QComboBox::currentIndexChanged, this, [this, row] { DrawSample(row); });
        }
        DrawSample(row);
    }
    AddButtons(kHelpContext);
    SetFocusOrder(order);
    PlaceBesideMain(main);
}

T_FarbIndex& TfmFarb::Pair(T_AusgPar& a, int row) {
    switch (row) {
    case 0:
    case 1:
    case 2:
    case 3:
        return a.ek[row];
    case 4:
        return a.basis;
    case 5:
        return a.fehler;
    case 6:
        return a.intern;
    default:
        return a.quali;
    }
}

void TfmFarb::DrawSample(int row) {
    const T_FarbIndex& stored = Pair(ausg_, row);
    auto colour = [&](QComboBox* cb, int storedIdx) {
        return PaletteColor(cb->currentIndex() < 0 ? storedIdx : cb->currentIndex() + kFirstColour);
    };
    QLabel* s = lblSample[static_cast<size_t>(row)];
    QPalette p = s->palette();
    p.setColor(QPalette::WindowText, colour(cbVg[static_cast<size_t>(row)], stored.fg));
    p.setColor(QPalette::Window, colour(cbHg[static_cast<size_t>(row)], stored.hg));
    s->setPalette(p);
}

void TfmFarb::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(ausg_.ilo);
    }
}

bool TfmFarb::Confirm() {
    int gap = 0;
    if (!ReadIntField(sfLeerZl, 0, 200, gap)) {
        sfLeerZl->setFocus();
        return false;
    }
    T_AusgPar a = ausg_;
    a.ilo = FocusIndex();
    a.leerzl = gap;
    if (cbSize->currentIndex() >= 0) a.size = sizes[static_cast<size_t>(cbSize->currentIndex())];
    if (chlbQuali->count() == 8) {
        uint8_t mask = 0;
        for (int i = 0; i < 8; ++i)
            if (IsChecked(chlbQuali, i)) mask |= static_cast<uint8_t>(0x80 >> i);
        a.quamask = mask;
    }
    for (int row = 0; row < kFarbRows; ++row) {
        T_FarbIndex& p = Pair(a, row);
        int fg = cbVg[static_cast<size_t>(row)]->currentIndex();
        int hg = cbHg[static_cast<size_t>(row)]->currentIndex();
        if (fg >= 0) p.fg = static_cast<uint8_t>(fg + kFirstColour);
        if (hg >= 0) p.hg = static_cast<uint8_t>(hg + kFirstColour);
    }
    ausg_ = a;
    return true;
}

bool EditDisplaySettings(QWidget* main, const TextTable& t, T_AusgPar& ausg) {
    TfmFarb dlg(t, ausg, main);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vdl
