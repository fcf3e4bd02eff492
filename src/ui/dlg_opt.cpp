#include "ui/dlg_opt.h"

#include "core/form_rules.h"
#include "core/text_table.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace vdl {

namespace {
constexpr int kHelpContext = 5700;
constexpr int kTxCaption = 1231;
constexpr int kTxCount = 1232;
constexpr int kTxFirst = 1233;
} // namespace

TfmOpt::TfmOpt(const TextTable& t, uint8_t (&opt)[kOptionBytes], QWidget* main)
    : FormDialog(t, main), opt_(opt) {
    setObjectName("TfmOpt");
    setWindowTitle(tx(kTxCaption));
    chlbOpt = new QListWidget(this);
    chlbOpt->setObjectName("chlbOpt");
    SetHint(chlbOpt, kHintChoice);
    std::vector<std::string> entries = CountedEntries(t, kTxCount, kTxFirst);
    // There are only so many option bytes; further entries would have nowhere to go.
    if (entries.size() > static_cast<size_t>(kOptionBytes)) entries.resize(kOptionBytes);
    for (size_t i = 0; i < entries.size(); ++i) {
        auto* it = new QListWidgetItem(Qs(entries[i]), chlbOpt);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        it->setCheckState(opt_[i] ? Qt::Checked : Qt::Unchecked);
    }
    chlbOpt->setMinimumWidth(chlbOpt->sizeHintForColumn(0) + 40);
    // Every option in sight, none behind a scroll bar.
    chlbOpt->setMinimumHeight(chlbOpt->sizeHintForRow(0) * chlbOpt->count() +
                              2 * chlbOpt->frameWidth() + 4);
    body()->addWidget(chlbOpt);
    AddButtons(kHelpContext);
    SetFocusOrder({chlbOpt});
    PlaceBesideMain(main);
}

bool TfmOpt::Confirm() {
    for (int i = 0; i < chlbOpt->count(); ++i) opt_[i] = IsChecked(chlbOpt, i) ? 1 : 0;
    return true;
}

bool EditOptions(QWidget* main, const TextTable& t, uint8_t (&opt)[kOptionBytes]) {
    TfmOpt dlg(t, opt, main);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vdl
