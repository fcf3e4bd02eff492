#include "ui/dlg_druk.h"

#include "app/program.h"
#include "core/clock.h"
#include "core/form_rules.h"
#include "core/format.h"
#include "log/filter.h"
#include "log/log_print.h"
#include "platform/qt_printer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vdl {

namespace {
constexpr int kHelpContext = 1100;
constexpr int kTxCaption = 1312;
constexpr int kTxKindCaption = 1313;
constexpr int kTxKinds = 1314;
constexpr int kTxPrinterLabel = 1316;
constexpr int kTxFileLabel = 1317;
constexpr int kTxNote = 1319; // three lines
constexpr int kTxSaveTitle = 2070;
constexpr int kTxSaveFilter = 2071;
constexpr int kTxFolder = 2072;
constexpr int kTxFileHint = 2105;
constexpr int kTxPdfPrinter = 2290;
constexpr int kMaxName = 250;

DateTimeParts Today(const Program& p) {
    return DecodeDateTime(p.tb ? p.tb->LocalNow() : 0);
}
} // namespace

TfmDruk::TfmDruk(Program& p, const LocaleFormats& loc, QWidget* main)
    : FormDialog(p.texts, main), p_(p), loc_(loc) {
    setObjectName(QStringLiteral("TfmDruk"));
    setWindowTitle(tx(kTxCaption));
    auto* note = new QLabel(tx(kTxNote) + "\n" + tx(kTxNote + 1) + "\n" + tx(kTxNote + 2), this);
    body()->addWidget(note);
    lblDir_ = new QLabel(this);
    lblDir_->setObjectName(QStringLiteral("lblDir"));
    body()->addWidget(lblDir_);

    auto* box = new QGroupBox(tx(kTxKindCaption), this);
    box->setObjectName(QStringLiteral("rgrAusg"));
    auto* boxLayout = new QHBoxLayout(box);
    rgrAusg_ = new QButtonGroup(this);
    const QStringList kinds = tx(kTxKinds).split(QLatin1Char(','));
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(i < kinds.size() ? kinds[i] : QString::number(i), box);
        SetHint(r, kHintChoice);
        rgrAusg_->addButton(r, i);
        boxLayout->addWidget(r);
    }
    body()->addWidget(box);

    QLabel* lp = nullptr;
    pcbDruk_ = new QComboBox(this);
    pcbDruk_->setObjectName(QStringLiteral("pcbDruk"));
    SetHint(pcbDruk_, kHintChoice);
    for (const std::string& n : SystemPrinters()) pcbDruk_->addItem(Qs(n));
    pcbDruk_->addItem(tx(kTxPdfPrinter));
    lp = MakeLabel(kTxPrinterLabel);
    lp->setBuddy(pcbDruk_);
    body()->addWidget(lp);
    body()->addWidget(pcbDruk_);

    edFile_ = new QLineEdit(this);
    edFile_->setObjectName(QStringLiteral("edFile"));
    edFile_->setMaxLength(kMaxName);
    edFile_->setTextMargins(5, 0, 0, 0);
    SetHint(edFile_, kTxFileHint);
    edFile_->installEventFilter(this);
    lblFile_ = MakeLabel(kTxFileLabel);
    lblFile_->setBuddy(edFile_);
    body()->addWidget(lblFile_);
    body()->addWidget(edFile_);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("pbAusg"));
    bar_->setRange(0, 100);
    bar_->hide();
    body()->addWidget(bar_);
    AddButtons(kHelpContext);
    SetEnterAction(edFile_, [this] { ChooseFile(); });
    SetFocusOrder({box, pcbDruk_, edFile_});

    // The stored kind and printer, and the proposed name.
    pcbDruk_->setCurrentIndex(std::clamp<int>(p_.pp.drucker, 0, pcbDruk_->count() - 1));
    int kind = std::clamp<int>(p_.pp.ausgart, OUT_TEXT, OUT_LOG);
    rgrAusg_->button(kind)->setChecked(true);
    DateTimeParts d = Today(p_);
    edFile_->setText(
        Qs(ProposedOutputName(p_.av.dtDruk, Target(), p_.texts, d.year, d.month, d.day)));
    KindChanged();
    connect(rgrAusg_, &QButtonGroup::idClicked, this, [this] { KindChanged(); });
    connect(pcbDruk_, &QComboBox::currentIndexChanged, this, [this] { KindChanged(); });
    PlaceBesideMain(main);
}

int TfmDruk::Kind() const {
    return std::max(0, rgrAusg_->checkedId());
}

void TfmDruk::SetKind(int kind) {
    if (QAbstractButton* b = rgrAusg_->button(kind)) b->setChecked(true);
    KindChanged();
}

bool TfmDruk::PdfChosen() const {
    return pcbDruk_->currentIndex() == pcbDruk_->count() - 1;
}

OutputTarget TfmDruk::Target() const {
    return OutputTarget{Kind(), p_.pp.format, Kind() == OUT_PRINTER && PdfChosen()};
}

void TfmDruk::KindChanged() {
    const OutputTarget t = Target();
    const bool printer = t.kind == OUT_PRINTER;
    pcbDruk_->setEnabled(printer);
    // The PDF file is printed, but it needs a name.
    const bool named = !printer || t.pdf;
    edFile_->setEnabled(named);
    lblFile_->setEnabled(named);
    std::string name = Ss(edFile_->text());
    if (!name.empty()) edFile_->setText(Qs(WithExtension(name, OutputExtension(t, p_.texts))));
    lblDir_->setText(tx(kTxFolder) + Qs(DirectoryOf(Ss(edFile_->text()))));
}

void TfmDruk::ChooseFile() {
    if (running_) return;
    std::string typed = Ss(edFile_->text());
    DateTimeParts d = Today(p_);
    std::string dir = DirectoryOf(typed);
    if (dir.empty())
        dir = DirectoryOf(
            ProposedOutputName(p_.av.dtDruk, Target(), p_.texts, d.year, d.month, d.day));
    QString f = askFile ? askFile(Qs(dir))
                        : QFileDialog::getSaveFileName(
                              this, tx(kTxSaveTitle),
                              Qs(dir + typed.substr(DirectoryOf(typed).size())), tx(kTxSaveFilter));
    if (f.isEmpty()) return;
    edFile_->setText(f);
    accept(); // the output starts as with OK
}

bool TfmDruk::eventFilter(QObject* o, QEvent* e) {
    if (o == edFile_ && e->type() == QEvent::MouseButtonRelease && edFile_->isEnabled() &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        ChooseFile();
        return true;
    }
    return FormDialog::eventFilter(o, e);
}

bool TfmDruk::Confirm() {
    if (running_) return false;
    const OutputTarget t = Target();
    std::string name;
    if (t.kind != OUT_PRINTER || t.pdf) {
        DateTimeParts d = Today(p_);
        name =
            OutputNameOnOk(Ss(edFile_->text()), p_.av.dtDruk, t, p_.texts, d.year, d.month, d.day);
        edFile_->setText(Qs(name));
        p_.av.dtDruk = name;
    }
    p_.pp.ausgart = t.kind;
    p_.pp.drucker = pcbDruk_->currentIndex();
    return Run(name);
}

bool TfmDruk::Run(const std::string& name) {
    RenderEnv render = p_.Rendering(loc_);
    LogOutputEnv env = p_.OutputEnv(render, loc_, *p_.tb);
    env.progress = [this](int pct) {
        bar_->setValue(pct);
        // The window stays responsive; Cancel sets the flag.
        QCoreApplication::processEvents();
        return !cancel_;
    };
    const OutputTarget t = Target();
    // The output may not replace the log it reads: the dialog stays.
    if (!name.empty() && RefuseTheLog(env, name)) return false;

    okButton()->hide();
    if (helpButton()) helpButton()->hide();
    bar_->setValue(0);
    bar_->show();
    cancel_ = false;
    running_ = true;
    if (t.kind == OUT_PRINTER) {
        std::unique_ptr<QtPrinter> pr =
            t.pdf ? QtPrinter::Pdf(name) : QtPrinter::System(Ss(pcbDruk_->currentText()));
        if (!PrintLog(env, *pr) && !cancel_)
            p_.msg.Error(
                Format(p_.texts.tx(kTxPrinterFails), {t.pdf ? name : Ss(pcbDruk_->currentText())}));
    } else {
        WriteLogOutput(env, name, t.kind);
    }
    running_ = false;
    ran_ = true;
    return true; // the dialog closes, whatever the output came to
}

void TfmDruk::reject() {
    // Cancel while an output runs stops it; otherwise it closes the dialog.
    if (running_) {
        cancel_ = true;
        return;
    }
    FormDialog::reject();
}

bool RunOutputDialog(QWidget* main, Program& p, const LocaleFormats& loc) {
    if (!p.log || !p.tb) return false;
    TfmDruk dlg(p, loc, main);
    dlg.exec();
    return dlg.Ran();
}

} // namespace vdl
