#include "ui/dlg_alg.h"

#include "asdu/address_text.h"
#include "core/data_dir_entry.h"
#include "core/form_rules.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/text_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace vdl {

namespace {
constexpr int kHelpContext = 5500;
constexpr int kTxCaption = 556;
constexpr int kTxFolderTitle = 2104;
constexpr int kTxCreateDir = 2106;
constexpr int kTxDataDir = 2107;
constexpr int kMaxDataDir = 150;

int Bits(const T_AdrStruktur& s) {
    int sum = 0;
    for (int i = 0; i < s.anz && i < 5; ++i) sum += s.fd[i];
    return sum;
}
} // namespace

TfmAlg::TfmAlg(const TextTable& t, Messages& msg, char khex, T_AllgPar& ap, std::string& dataDir,
               QWidget* main, int toolBarHeight)
    : FormDialog(t, main), msg_(msg), khex_(khex), ap_(ap), dataDir_(dataDir) {
    setObjectName("TfmAlg");
    setWindowTitle(tx(kTxCaption));
    auto* f = new QFormLayout;
    body()->addLayout(f);
    QLabel* l = nullptr;
    auto combo = [&](QComboBox*& cb, int n, const char* name, int value) {
        cb = MakeCombo(n, &l);
        cb->setObjectName(name);
        SelectEntry(cb, value);
        f->addRow(l, cb);
    };
    auto entry = [&](QLineEdit*& e, int n, const char* name, const QString& value) {
        e = MakeEntry(n, &l);
        e->setObjectName(name);
        e->setText(value);
        f->addRow(l, e);
    };
    combo(cobxLLink, 585, "cobxLLink", ap_.lgla);
    combo(cobxHerAdr, 590, "cobxHerAdr", ap_.mitori);
    entry(edStatAdr, 594, "edStatAdr", Qs(AdrStrukturText(ap_.castr, t)));
    entry(edObjAdr, 597, "edObjAdr", Qs(AdrStrukturText(ap_.oastr, t)));
    entry(edMwVoll, 581, "edMwVoll", QString::number(ap_.mwvoll));
    combo(cobxDatAdr, 635, "cobxDatAdr", ap_.DatAdr);
    entry(edTimeout, 639, "edTimeout", QString::number(ap_.Timeout));
    combo(cobxAbruf, 641, "cobxAbruf", ap_.Abruf);
    combo(cobxIDX, 645, "cobxIDX", ap_.IDX);
    entry(edMaxLog, 633, "edMaxLog", QString::number(ap_.MaxLog));

    edLogVerz = MakeEntry(kTxDataDir, &l);
    edLogVerz->setObjectName("edLogVerz");
    edLogVerz->setMaxLength(kMaxDataDir);
    edLogVerz->setText(Qs(dataDir_));
    edLogVerz->setMinimumWidth(320);
    btnVerz = new QPushButton("...", this);
    btnVerz->setObjectName("btnVerz");
    btnVerz->setAutoDefault(false);
    SetHint(btnVerz, kHintButton);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(edLogVerz, 1);
    dirRow->addWidget(btnVerz);
    f->addRow(l, dirRow);
    connect(btnVerz, &QPushButton::clicked, this, &TfmAlg::ChooseFolder);
    SetEnterAction(edLogVerz, [this] { ChooseFolder(); });
    connect(edLogVerz, &QLineEdit::textEdited, this, [this] { MarkError(edLogVerz, false); });

    chbSZt = MakeCheck(624);
    chbSZt->setObjectName("chbSZt");
    chbSZt->setChecked(ap_.SZt != 0);
    f->addRow(chbSZt);
    chbGen = MakeCheck(625);
    chbGen->setObjectName("chbGen");
    chbGen->setChecked(ap_.Gen != 0);
    f->addRow(chbGen);

    AddButtons(kHelpContext);
    SetFocusOrder({cobxLLink, cobxHerAdr, edStatAdr, edObjAdr, edMwVoll, cobxDatAdr, edTimeout,
                   cobxAbruf, cobxIDX, edMaxLog, edLogVerz, btnVerz, chbSZt, chbGen});

    if (main) {
        adjustSize();
        QRect m = main->frameGeometry();
        QScreen* s = main->screen();
        int left = m.left() + m.width() - frameGeometry().width();
        if (s) left = std::max(left, s->availableGeometry().left());
        move(left, m.top() + 2 * toolBarHeight);
    }
}

void TfmAlg::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(ap_.ilo);
    }
}

void TfmAlg::ChooseFolder() {
    QString dir = QFileDialog::getExistingDirectory(this, tx(kTxFolderTitle), edLogVerz->text(),
                                                    QFileDialog::ShowDirsOnly);
    if (dir.isEmpty()) return;
    edLogVerz->setText(dir.left(kMaxDataDir));
    MarkError(edLogVerz, false);
}

bool TfmAlg::CheckDataDir() {
    std::string dir = Ss(edLogVerz->text().trimmed());
    bool ok = false;
    switch (CheckDataDirEntry(dir)) {
    case DataDirState::Exists:
        ok = true;
        break;
    case DataDirState::Missing:
        ok = msg_.Ask(texts().tx(kTxCreateDir) + "\n" + dir) == Answer::Yes && CreateDataDir(dir);
        break;
    case DataDirState::Invalid:
        break;
    }
    MarkError(edLogVerz, !ok);
    return ok;
}

bool TfmAlg::Confirm() {
    QWidget* firstBad = nullptr;
    auto bad = [&](QWidget* w) {
        if (!firstBad) firstBad = w;
    };
    T_AdrStruktur castr{}, oastr{};
    bool caOk = ParseAdrStruktur(Ss(edStatAdr->text()), 16, castr, khex_);
    MarkError(edStatAdr, !caOk);
    if (!caOk) bad(edStatAdr);
    bool oaOk = ParseAdrStruktur(Ss(edObjAdr->text()), 24, oastr, khex_);
    MarkError(edObjAdr, !oaOk);
    if (!oaOk) bad(edObjAdr);
    int mwvoll = 0, timeout = 0, maxlog = 0;
    if (!ReadIntField(edMwVoll, 100, 32767, mwvoll)) bad(edMwVoll);
    if (!ReadIntField(edTimeout, 3, 255, timeout)) bad(edTimeout);
    if (!ReadIntField(edMaxLog, 1, 2000, maxlog)) bad(edMaxLog);
    // The directory question comes last, and only when everything else is in order.
    if (!firstBad && !CheckDataDir()) bad(edLogVerz);
    if (firstBad) {
        firstBad->setFocus();
        return false;
    }

    auto pick = [](QComboBox* cb, int old) {
        return cb->currentIndex() < 0 ? old : cb->currentIndex();
    };
    T_AllgPar a = ap_;
    a.ilo = FocusIndex();
    a.lgla = pick(cobxLLink, a.lgla);
    a.mitori = pick(cobxHerAdr, a.mitori);
    a.castr = castr;
    a.oastr = oastr;
    a.lgca = Bits(castr) / 8;
    a.lgoa = Bits(oastr) / 8;
    a.mwvoll = mwvoll;
    a.DatAdr = pick(cobxDatAdr, a.DatAdr);
    a.Timeout = timeout;
    a.Abruf = pick(cobxAbruf, a.Abruf);
    a.IDX = pick(cobxIDX, a.IDX);
    a.MaxLog = maxlog;
    a.SZt = chbSZt->isChecked() ? 1 : 0;
    a.Gen = chbGen->isChecked() ? 1 : 0;
    ap_ = a;
    dataDir_ = WithSeparator(Ss(edLogVerz->text().trimmed()));
    return true;
}

bool EditGeneralSettings(QWidget* main, int toolBarHeight, const TextTable& t, Messages& msg,
                         char khex, T_AllgPar& ap, std::string& dataDir) {
    TfmAlg dlg(t, msg, khex, ap, dataDir, main, toolBarHeight);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vdl
