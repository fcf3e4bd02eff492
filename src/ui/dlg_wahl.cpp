#include "ui/dlg_wahl.h"

#include "app/help_pages.h"
#include "app/main_commands.h"
#include "app/program.h"
#include "core/modem_file.h"
#include "core/text_table.h"
#include "link/modem.h"
#include "link/transmitter.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

namespace vdl {

namespace {

constexpr int kTxCaption = 1975;
constexpr int kTxModem = 1976;
constexpr int kTxCommands = 1977;
constexpr int kTxSend = 1978;
constexpr int kTxBreak = 1979;
constexpr int kTxDtr = 1980;
constexpr int kTxDauer = 1981; // entry field, hint 1982
constexpr int kTxLink = 1983;  // entry field, hint 1984
constexpr int kTxConnect = 1985;
constexpr int kTxStatus = 1986;
constexpr int kTxLoad = 1992;
constexpr int kTxSave = 1993;
constexpr int kTxFilter = 1994;
constexpr int kTxExtension = 1995;
constexpr int kTxDcd = 1997;
constexpr int kTxAta = 2010;
constexpr int kHintCommand = 2362;
constexpr int kHintBreak = 2363;
constexpr int kHintConnect = 2364;

QPointer<TfmWahl>& Instance() {
    static QPointer<TfmWahl> w;
    return w;
}
} // namespace

TfmWahl::TfmWahl(Program& p, int channel, QWidget* main)
    : FormDialog(p.texts, main), p_(p), channel_(channel), opened_(p.com[channel].wm) {
    setObjectName("TfmWahl");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tx(kTxCaption));
    auto* g = new QGridLayout;
    body()->addLayout(g);
    auto entry = [this](int hint, const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(kAtStrMax);
        e->setMinimumWidth(220);
        SetHint(e, hint);
        e->installEventFilter(this);
        return e;
    };
    auto button = [this](int n, const char* name) {
        QPushButton* b = MakeButton(n);
        b->setObjectName(name);
        return b;
    };
    int row = 0;
    chbModem = MakeCheck(kTxModem);
    chbModem->setObjectName("chbModem");
    g->addWidget(chbModem, row++, 0, 1, 3);
    chbAta = MakeCheck(kTxAta);
    chbAta->setObjectName("chbAta");
    g->addWidget(chbAta, row++, 0, 1, 3);
    g->addWidget(MakeLabel(kTxCommands), row, 0);
    const char* atNames[] = {"edAt1", "edAt2", "edAt3", "edAt4"};
    const char* sendNames[] = {"btnAt1", "btnAt2", "btnAt3", "btnAt4"};
    for (int i = 0; i < 4; ++i) {
        edAt[static_cast<size_t>(i)] = entry(kHintCommand, atNames[i]);
        btnAt[static_cast<size_t>(i)] = button(kTxSend, sendNames[i]);
        g->addWidget(edAt[static_cast<size_t>(i)], row, 1);
        g->addWidget(btnAt[static_cast<size_t>(i)], row++, 2);
        connect(btnAt[static_cast<size_t>(i)], &QPushButton::clicked, this, [this, i] { Send(i); });
        SetEnterAction(edAt[static_cast<size_t>(i)], [this, i] { Send(i); });
    }
    g->addWidget(MakeLabel(kTxBreak), row, 0);
    edBreak = entry(kHintBreak, "edBreak");
    btnBreak = button(kTxSend, "btnBreak");
    g->addWidget(edBreak, row, 1);
    g->addWidget(btnBreak, row++, 2);
    btnDtr = button(kTxDtr, "btnDtr");
    g->addWidget(btnDtr, row++, 2);
    g->addWidget(MakeLabel(kTxConnect), row, 0);
    edConnect = entry(kHintConnect, "edConnect");
    g->addWidget(edConnect, row++, 1);
    QLabel* l = nullptr;
    edDauer = MakeEntry(kTxDauer, &l);
    edDauer->setObjectName("edDauer");
    g->addWidget(l, row, 0);
    g->addWidget(edDauer, row++, 1);
    edLink = MakeEntry(kTxLink, &l);
    edLink->setObjectName("edLink");
    g->addWidget(l, row, 0);
    g->addWidget(edLink, row++, 1);
    g->addWidget(MakeLabel(kTxStatus), row, 0);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    g->addWidget(lblStatus, row++, 1);
    g->addWidget(MakeLabel(kTxDcd), row, 0);
    lblDcd = new QLabel(this);
    lblDcd->setObjectName("lblDcd");
    g->addWidget(lblDcd, row++, 1);

    AddButtons(HC_MODEM);
    cancelButton()->hide(); // Escape and OK both take the fields over

    // The modem check box acts at once: the link state is reset.
    connect(chbModem, &QCheckBox::toggled, this, [this](bool on) {
        if (p_.linkEnv) SetModemUsed(p_.com[channel_], *p_.linkEnv, on);
        Refresh();
    });
    connect(btnBreak, &QPushButton::clicked, this, [this] {
        T_ComVar& c = p_.com[channel_];
        c.wm.brk.set(Ss(edBreak->text()));
        if (p_.linkEnv) ModemHangUp(c, *p_.linkEnv);
        Refresh();
    });
    connect(btnDtr, &QPushButton::clicked, this, [this] {
        if (p_.linkEnv) ModemDtrPulse(p_.com[channel_], *p_.linkEnv);
        Refresh();
    });

    pmWahl = new QMenu(this);
    pmWahl->setObjectName("pmWahl");
    pmWahl->addAction(tx(kTxLoad), this, [this] { LoadFile(); });
    pmWahl->addAction(tx(kTxSave), this, [this] { SaveFile(); });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmWahl->popup(mapToGlobal(at)); });

    std::vector<QWidget*> order{chbModem, chbAta};
    for (size_t i = 0; i < 4; ++i) {
        order.push_back(edAt[i]);
        order.push_back(btnAt[i]);
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{edBreak, btnBreak, btnDtr, edConnect, edDauer, edLink})
        order.push_back(w);
    SetFocusOrder(order);
    Show(opened_);
    Refresh();
    PlaceBesideMain(main);
}

void TfmWahl::Show(const T_Modem& m) {
    {
        // Showing a record is not the user ticking the box.
        const QSignalBlocker block(chbModem);
        chbModem->setChecked(m.vorh != 0);
    }
    chbAta->setChecked(m.ata != 0);
    for (size_t i = 0; i < 4; ++i) edAt[i]->setText(Qs(m.at[i].str()));
    edBreak->setText(Qs(m.brk.str()));
    edConnect->setText(Qs(m.connect.str()));
    edDauer->setText(QString::number(m.dauer));
    edLink->setText(QString::number(m.link));
    for (QLineEdit* e : {edDauer, edLink}) MarkError(e, false);
}

bool TfmWahl::Fields(T_Modem& m) {
    int dauer = 0, link = 0;
    const bool dauerOk = ReadIntField(edDauer, kDauerMin, kDauerMax, dauer);
    const bool linkOk = ReadIntField(edLink, kLinkMin, kLinkMax, link);
    if (!dauerOk || !linkOk) {
        (dauerOk ? edLink : edDauer)->setFocus();
        return false;
    }
    m = p_.com[channel_].wm;
    m.vorh = chbModem->isChecked() ? 1 : 0;
    m.ata = chbAta->isChecked() ? 1 : 0;
    for (size_t i = 0; i < 4; ++i) m.at[i].set(Ss(edAt[i]->text()));
    m.brk.set(Ss(edBreak->text()));
    m.connect.set(Ss(edConnect->text()));
    m.dauer = dauer;
    m.link = link;
    m.ilo = FocusIndex();
    return true;
}

void TfmWahl::Send(int i) {
    if (p_.linkEnv)
        SendTextLine(p_.com[channel_], *p_.linkEnv, Ss(edAt[static_cast<size_t>(i)]->text()));
}

void TfmWahl::Refresh() {
    const T_ComVar& c = p_.com[channel_];
    lblStatus->setText(tx(ModemStatusText(p_.av.online, c)));
    lblDcd->setText(tx(DcdText(c)));
}

void TfmWahl::LoadFile(const QString& file) {
    QString f = file;
    if (f.isEmpty()) {
        f = QFileDialog::getOpenFileName(this, tx(kTxLoad), Qs(p_.av.DataDir + "Modem"),
                                         tx(kTxFilter));
        if (f.isEmpty()) return;
    }
    T_Modem m = p_.com[channel_].wm;
    if (!ReadModemFile(Ss(f), m)) return;   // not a modem file: ignored
    m.vorh = chbModem->isChecked() ? 1 : 0; // the check box acts only when ticked
    Show(m);
}

void TfmWahl::SaveFile(const QString& file) {
    T_Modem m;
    if (!Fields(m)) return;
    QString f = file;
    if (f.isEmpty()) {
        QFileDialog d(this, tx(kTxSave), Qs(p_.av.DataDir));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(tx(kTxExtension));
        d.setNameFilters(tx(kTxFilter).split(QStringLiteral(";;"), Qt::SkipEmptyParts));
        d.selectFile(QStringLiteral("Modem"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return;
        f = d.selectedFiles().front();
    }
    std::string error;
    if (!WriteModemFile(Ss(f), m, error)) p_.msg.Error(error);
}

bool TfmWahl::Confirm() {
    T_Modem m;
    if (!Fields(m)) return false;
    TakeModemSettings(p_, channel_, m, opened_);
    return true;
}

void TfmWahl::reject() {
    accept();
}

void TfmWahl::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(opened_.ilo);
    }
}

TfmWahl* ShowDialling(QWidget* main, Program& p) {
    QPointer<TfmWahl>& w = Instance();
    if (!w) {
        w = new TfmWahl(p, 0, main);
        QPointer<TfmWahl> shown = w;
        p.modemService = [shown] {
            if (shown) shown->Refresh();
        };
    }
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

TfmWahl* OpenDialling() {
    return Instance();
}

} // namespace vdl
