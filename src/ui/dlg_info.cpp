#include "ui/dlg_info.h"

#include "core/form_rules.h"
#include "core/text_table.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vdl {

namespace {
constexpr int kTxCaption = 1323;
}

TfmInfo::TfmInfo(const TextTable& t, const VersionInfo& v, QWidget* main) : FormDialog(t, main) {
    setObjectName("TfmInfo");
    setWindowTitle(tx(kTxCaption));
    lbInfo = new QListWidget(this);
    lbInfo->setObjectName("lbInfo");
    lbInfo->setFocusPolicy(Qt::NoFocus);
    for (const std::string& line : InfoLines(t, v)) lbInfo->addItem(Qs(line));
    lbInfo->setMinimumWidth(lbInfo->sizeHintForColumn(0) + 40);
    body()->addWidget(lbInfo);
    auto* row = new QHBoxLayout;
    QPushButton* ok = MakeButton(kTxOk);
    ok->setDefault(true);
    row->addStretch(1);
    row->addWidget(ok);
    row->addStretch(1);
    body()->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    adjustSize();
    if (main) {
        QRect m = main->frameGeometry();
        QRect g = frameGeometry();
        move(m.center() - QPoint(g.width() / 2, g.height() / 2));
    }
}

void TfmInfo::keyPressEvent(QKeyEvent*) {
    // Any key closes the information.
    accept();
}

void ShowInfo(QWidget* main, const TextTable& t, const VersionInfo& v) {
    TfmInfo dlg(t, v, main);
    dlg.exec();
}

} // namespace vdl
