#include "ui/dlg_lnk.h"

#include "core/form_rules.h"
#include "core/text_table.h"
#include "ui/form_texts.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vdl {

namespace {
constexpr int kTxNote = 1294;
constexpr int kTxCaption = 1295; // followed by the channel number
constexpr int kTxCount = 1296;
constexpr int kTxFirst = 1297;
constexpr int kTxClose = 1310;
constexpr int kHelpContext = 2300;

QPointer<TfmLnk>& Instance() {
    static QPointer<TfmLnk> w;
    return w;
}
} // namespace

TfmLnk::TfmLnk(const TextTable& t, LinkTestSwitches& lt, int channelNr, QWidget* main)
    : QWidget(main, Qt::Tool | Qt::WindowStaysOnTopHint), lt_(lt), channelNr_(channelNr) {
    setObjectName("TfmLnk");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Qs(t.tx(kTxCaption) + std::to_string(channelNr)));
    auto* v = new QVBoxLayout(this);
    auto* note = new QLabel(Qs(t.tx(kTxNote)), this);
    note->setWordWrap(true);
    v->addWidget(note);
    chlbLink = new QListWidget(this);
    chlbLink->setObjectName("chlbLink");
    std::vector<std::string> names = CountedEntries(t, kTxCount, kTxFirst);
    if (names.size() > static_cast<size_t>(LT_COUNT)) names.resize(LT_COUNT);
    for (size_t i = 0; i < names.size(); ++i) {
        auto* it = new QListWidgetItem(Qs(names[i]), chlbLink);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        it->setCheckState(lt_[i] ? Qt::Checked : Qt::Unchecked);
    }
    chlbLink->setMinimumWidth(chlbLink->sizeHintForColumn(0) + 40);
    v->addWidget(chlbLink);
    btnClose = new QPushButton(Qs(t.tx(kTxClose)), this);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(btnClose);
    v->addLayout(row);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [] { FormDialog::OpenHelp(kHelpContext); });
    // A switch acts the moment it is ticked.
    connect(chlbLink, &QListWidget::itemChanged, this, [this](QListWidgetItem* it) {
        int i = chlbLink->row(it);
        if (i >= 0 && i < LT_COUNT) lt_[static_cast<size_t>(i)] = it->checkState() == Qt::Checked;
    });
    adjustSize();
    if (main) {
        QRect m = main->frameGeometry();
        move(m.width() - frameGeometry().width() - 10, m.top() + 32);
    }
}

void TfmLnk::closeEvent(QCloseEvent* e) {
    lt_.fill(false);
    QWidget::closeEvent(e);
}

TfmLnk* ShowLinkTest(QWidget* main, const TextTable& t, LinkTestSwitches& lt, int channelNr) {
    QPointer<TfmLnk>& w = Instance();
    if (!w) w = new TfmLnk(t, lt, channelNr, main);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

TfmLnk* OpenLinkTest() {
    return Instance();
}

} // namespace vdl
