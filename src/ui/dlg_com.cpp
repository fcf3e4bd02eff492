#include "ui/dlg_com.h"

#include "core/form_rules.h"
#include "core/text_table.h"
#include "link/channel_params.h"
#include "link/port_list.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

namespace vdl {

namespace {

constexpr int kHelpContext = 5400;
constexpr int kTxCaption = 652; // + channel
constexpr int kTxPage1 = 559;
constexpr int kTxPage2 = 560;
constexpr int kTxZyZtBalanced = 621;
constexpr int kTxZyZtUnbalanced = 924;
constexpr int kTxTeLg = 613, kTxTeLgAscii = 911;
constexpr int kTxTimeOut = 617, kTxTimeOutAscii = 914;
constexpr int kTxBaudFirst = 657;
constexpr int kMaxLogText = 83;
// Watched modem lines in the order of the check list: DCD, DSR, CTS.
constexpr uint8_t kAendBits[3] = {0x80, 0x40, 0x20};

QString Num(int v) {
    return QString::number(v);
}

} // namespace

TfmCom::TfmCom(const TextTable& t, const ChannelDialogEnv& env, int channel, T_BetriebsPar& bp,
               QWidget* main)
    : FormDialog(t, main), env_(env), bp_(bp) {
    setObjectName("TfmCom");
    setWindowTitle(tx(kTxCaption + (channel == 1 ? 1 : 0)));
    // The line of a frame-oriented function is held to 8E1 before anything is shown.
    ApplyCharacterFormatRule(bp_, env_.formatFree);
    pages_ = new QTabWidget(this);
    body()->addWidget(pages_);
    BuildPage1();
    BuildPage2();
    AddButtons(kHelpContext);
    SetFocusOrder({cbFktn,   cbProt,    sfLinkAdr, edZyZtV,    cbRiBit, cbVwE5, cbAbfr, cbBefCon,
                   cbSpikes, chlbAend,  sfLogText, cbCom,      cbBaud,  cbPari, cbData, cbStop,
                   edTeLg,   edTimeOut, edWiedH,   edZyZtLink, edSVerz, cbFRts, edTVor, edTNach});
    Fill();
    PlaceBesideMain(main);
}

void TfmCom::AddComboRow(QFormLayout* f, QComboBox*& cb, int n, const char* name) {
    QLabel* l = nullptr;
    cb = MakeCombo(n, &l);
    cb->setObjectName(name);
    f->addRow(l, cb);
}

QLabel* TfmCom::AddEntryRow(QFormLayout* f, QLineEdit*& e, int n, const char* name) {
    QLabel* l = nullptr;
    e = MakeEntry(n, &l);
    e->setObjectName(name);
    f->addRow(l, e);
    return l;
}

void TfmCom::BuildPage1() {
    auto* page = new QWidget(pages_);
    auto* f = new QFormLayout(page);
    auto addCombo = [&](QComboBox*& cb, int n, const char* name) { AddComboRow(f, cb, n, name); };
    auto addEntry = [&](QLineEdit*& e, int n, const char* name) {
        return AddEntryRow(f, e, n, name);
    };
    addCombo(cbFktn, 1470, "cbFktn");
    addCombo(cbProt, 568, "cbProt");
    addEntry(sfLinkAdr, 600, "sfLinkAdr");
    lblZyZtV = addEntry(edZyZtV, kTxZyZtBalanced, "edZyZtV");
    addCombo(cbRiBit, 572, "cbRiBit");
    addCombo(cbVwE5, 562, "cbVwE5");
    addCombo(cbAbfr, 603, "cbAbfr");
    addCombo(cbBefCon, 576, "cbBefCon");
    addCombo(cbSpikes, 609, "cbSpikes");
    chlbAend = MakeCheckList(922, kHintChoice);
    chlbAend->setObjectName("chlbAend");
    chlbAend->setMaximumHeight(chlbAend->sizeHintForRow(0) * 3 + 8);
    f->addRow(MakeLabel(921), chlbAend);
    pages_->addTab(page, tx(kTxPage1));

    connect(cbFktn, &QComboBox::activated, this, &TfmCom::OnFunction);
    connect(cbProt, &QComboBox::activated, this, &TfmCom::OnProcedure);
}

void TfmCom::BuildPage2() {
    auto* page = new QWidget(pages_);
    auto* f = new QFormLayout(page);
    auto addCombo = [&](QComboBox*& cb, int n, const char* name) { AddComboRow(f, cb, n, name); };
    auto addEntry = [&](QLineEdit*& e, int n, const char* name) {
        return AddEntryRow(f, e, n, name);
    };
    addEntry(sfLogText, 627, "sfLogText");
    sfLogText->setMaxLength(kMaxLogText);
    cbCom = new QComboBox(page);
    cbCom->setObjectName("cbCom");
    cbCom->setEditable(true);
    cbCom->setInsertPolicy(QComboBox::NoInsert);
    SetHint(cbCom, kHintChoice);
    f->addRow(MakeLabel(671), cbCom);
    addCombo(cbBaud, 655, "cbBaud");
    addCombo(cbPari, 891, "cbPari");
    addCombo(cbData, 899, "cbData");
    addCombo(cbStop, 906, "cbStop");
    lblTeLg = addEntry(edTeLg, kTxTeLg, "edTeLg");
    lblTimeOut = addEntry(edTimeOut, kTxTimeOut, "edTimeOut");
    addEntry(edWiedH, 615, "edWiedH");
    addEntry(edZyZtLink, 619, "edZyZtLink");
    addEntry(edSVerz, 881, "edSVerz");
    addCombo(cbFRts, 1337, "cbFRts");
    addEntry(edTVor, 629, "edTVor");
    addEntry(edTNach, 631, "edTNach");
    pages_->addTab(page, tx(kTxPage2));

    connect(cbBaud, &QComboBox::activated, this, [this] { RecalcTimeout(); });
    connect(edTeLg, &QLineEdit::textEdited, this, [this] { RecalcTimeout(); });
    connect(cbCom->lineEdit(), &QLineEdit::editingFinished, this, &TfmCom::OnPortEdited);
}

void TfmCom::Fill() {
    SelectEntry(cbFktn, bp_.fkt);
    SelectEntry(cbProt, bp_.pro);
    sfLinkAdr->setText(Qs(LinkAddressText(bp_.la)));
    sfLinkAdr->setEnabled(env_.lgla != 0);
    OnProcedure(cbProt->currentIndex());
    SelectEntry(cbRiBit, bp_.rb);
    SelectEntry(cbVwE5, bp_.vwe5);
    SelectEntry(cbAbfr, bp_.abf);
    SelectEntry(cbBefCon, bp_.bcon);
    SelectEntry(cbSpikes, bp_.spik);
    for (int i = 0; i < 3; ++i) SetChecked(chlbAend, i, (bp_.paend & kAendBits[i]) != 0);

    sfLogText->setText(Qs(bp_.logtxt.str()));
    PortList pl = BuildPortList(texts(), Names(), env_.ports, env_.otherPort, bp_.cnr);
    for (const std::string& e : pl.entries) cbCom->addItem(Qs(e));
    portNumbers = pl.numbers;
    cbCom->setCurrentIndex(pl.selected);
    // The stored index names the baud rate; an index outside the list falls back to the rate.
    int baudIndex = bp_.BaudI;
    if (baudIndex < 0 || baudIndex >= cbBaud->count()) {
        baudIndex = 0;
        for (int i = 0; i < cbBaud->count(); ++i)
            if (LeadingNumber(Ss(cbBaud->itemText(i))) == bp_.baud) baudIndex = i;
    }
    SelectEntry(cbBaud, baudIndex);
    SelectEntry(cbPari, bp_.pari);
    SelectEntry(cbData, bp_.data - 5);
    SelectEntry(cbStop, bp_.stop - 1);
    edTeLg->setText(Num(bp_.tlg));
    edTimeOut->setText(Num(bp_.qzt));
    edWiedH->setText(Num(bp_.wh));
    edZyZtLink->setText(Num(bp_.zztl));
    edSVerz->setText(Num(bp_.sverz));
    SelectEntry(cbFRts, bp_.rts);
    edTVor->setText(Num(bp_.tv));
    edTNach->setText(Num(bp_.tn));

    ascii_ = bp_.fkt == FKT_ASCII;
    UpdateModeTexts();
    RecalcTimeout();
    pages_->setCurrentIndex(bp_.pgi == 1 ? 1 : 0);
}

void TfmCom::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(bp_.ilo);
    }
}

void TfmCom::UpdateModeTexts() {
    int fkt = cbFktn->currentIndex();
    bool editable = CharacterFormatEditable(fkt, env_.formatFree);
    cbPari->setEnabled(editable);
    cbData->setEnabled(editable);
    cbStop->setEnabled(editable);
    lblTeLg->setText(tx(ascii_ ? kTxTeLgAscii : kTxTeLg));
    SetHint(edTeLg, (ascii_ ? kTxTeLgAscii : kTxTeLg) + 1);
    lblTimeOut->setText(tx(ascii_ ? kTxTimeOutAscii : kTxTimeOut));
    SetHint(edTimeOut, (ascii_ ? kTxTimeOutAscii : kTxTimeOut) + 1);
}

void TfmCom::OnFunction(int fkt) {
    if (fkt == FKT_MASTER) SelectEntry(cbRiBit, 1);
    if (fkt == FKT_SLAVE) SelectEntry(cbRiBit, 0);
    // A list that can no longer be changed shows the format the line will be held to.
    if (!CharacterFormatEditable(fkt, env_.formatFree) && fkt != FKT_ASCII) {
        SelectEntry(cbPari, 2);
        SelectEntry(cbData, 3);
        SelectEntry(cbStop, 0);
    }
    bool ascii = fkt == FKT_ASCII;
    bool changed = ascii != ascii_;
    ascii_ = ascii;
    UpdateModeTexts();
    // The time-out field means another time in ASCII mode; propose one that fits.
    if (changed) RecalcTimeout();
}

void TfmCom::OnProcedure(int pro) {
    bool unbalanced = pro == PRO_UNBALANCED;
    int n = unbalanced ? kTxZyZtUnbalanced : kTxZyZtBalanced;
    lblZyZtV->setText(tx(n));
    SetHint(edZyZtV, n + 1);
    edZyZtV->setText(Num(unbalanced ? bp_.zztpoll : bp_.zztv));
    MarkError(edZyZtV, false);
}

int TfmCom::CurrentBaud() const {
    // An entry without a number (texts missing or wrong) keeps the channel's rate.
    int i = cbBaud->currentIndex();
    int baud = i < 0 ? 0 : LeadingNumber(Ss(cbBaud->itemText(i)));
    return baud > 0 ? baud : bp_.baud;
}

void TfmCom::RecalcTimeout() {
    bool ok = false;
    int tlg = edTeLg->text().trimmed().toInt(&ok);
    if (!ok && !ascii_) return;
    edTimeOut->setText(Num(ProposedTimeout(ascii_ ? FKT_ASCII : FKT_MONITOR, CurrentBaud(), tlg)));
    MarkError(edTimeOut, false);
}

int TfmCom::PortNumber() const {
    QString text = cbCom->currentText().trimmed();
    int i = cbCom->findText(text);
    if (i >= 0 && i < static_cast<int>(portNumbers.size()))
        return portNumbers[static_cast<size_t>(i)];
    return ReadPortEntry(texts(), Names(), Ss(text));
}

void TfmCom::OnPortEdited() {
    int n = PortNumber();
    PortList pl;
    pl.entries.clear();
    for (int i = 0; i < cbCom->count(); ++i) pl.entries.push_back(Ss(cbCom->itemText(i)));
    pl.numbers = portNumbers;
    int idx = AddPort(texts(), Names(), pl, n);
    if (idx >= cbCom->count()) cbCom->addItem(Qs(pl.entries.back()));
    portNumbers = pl.numbers;
    cbCom->setCurrentIndex(idx);
    cbCom->setEditText(cbCom->itemText(idx));
}

bool TfmCom::Confirm() {
    struct Range {
        QLineEdit* e;
        int lo, hi;
        int v = 0;
    };
    Range r[] = {{edZyZtV, 0, 30000}, {edTeLg, 1, 261},     {edTimeOut, 1, 65535},
                 {edWiedH, 0, 65535}, {edZyZtLink, 1, 100}, {edSVerz, 0, 5000},
                 {edTVor, 0, 65535},  {edTNach, 0, 65535}};
    QWidget* firstBad = nullptr;
    for (Range& x : r)
        if (!ReadIntField(x.e, x.lo, x.hi, x.v) && !firstBad) firstBad = x.e;

    LinkAddressList la;
    if (env_.lgla != 0) {
        la = ParseLinkAddressList(Ss(sfLinkAdr->text().trimmed()), env_.khex, env_.lgla);
        // A station needs at least one address to be polled or answered under.
        bool ok = la.valid && !la.addresses.empty();
        MarkError(sfLinkAdr, !ok);
        if (!ok && !firstBad) firstBad = sfLinkAdr;
    }
    // The log text is stored in 83 bytes; a longer text would be cut inside a character.
    std::string logtxt = Ss(sfLogText->text());
    bool logOk = logtxt.size() <= static_cast<size_t>(kMaxLogText);
    MarkError(sfLogText, !logOk);
    if (!logOk && !firstBad) firstBad = sfLogText;

    if (firstBad) {
        pages_->setCurrentIndex(pages_->indexOf(firstBad->parentWidget()));
        firstBad->setFocus();
        return false;
    }

    // A list without entries (texts missing) leaves its parameter as it was.
    auto pick = [](QComboBox* cb, int old, int base = 0) {
        return cb->currentIndex() < 0 ? old : cb->currentIndex() + base;
    };
    bp_.fkt = pick(cbFktn, bp_.fkt);
    bp_.pro = pick(cbProt, bp_.pro);
    if (env_.lgla != 0) StoreLinkAddresses(la, env_.lgla, bp_.la);
    if (bp_.pro == PRO_UNBALANCED)
        bp_.zztpoll = r[0].v;
    else
        bp_.zztv = r[0].v;
    bp_.rb = pick(cbRiBit, bp_.rb);
    bp_.vwe5 = pick(cbVwE5, bp_.vwe5);
    bp_.abf = pick(cbAbfr, bp_.abf);
    bp_.bcon = pick(cbBefCon, bp_.bcon);
    bp_.spik = static_cast<uint8_t>(pick(cbSpikes, bp_.spik));
    uint8_t paend = bp_.paend & 0x1F;
    for (int i = 0; i < 3; ++i)
        if (IsChecked(chlbAend, i)) paend |= kAendBits[i];
    if (chlbAend->count() < 3) paend = bp_.paend;
    bp_.paend = paend;

    bp_.logtxt.set(logtxt);
    bp_.cnr = PortNumber();
    if (cbBaud->currentIndex() >= 0) {
        bp_.BaudI = cbBaud->currentIndex();
        bp_.baud = CurrentBaud();
    }
    bp_.pari = static_cast<uint8_t>(pick(cbPari, bp_.pari));
    bp_.data = static_cast<uint8_t>(pick(cbData, bp_.data, 5));
    bp_.stop = static_cast<uint8_t>(pick(cbStop, bp_.stop, 1));
    bp_.tlg = r[1].v;
    bp_.qzt = r[2].v;
    bp_.wh = r[3].v;
    bp_.zztl = r[4].v;
    bp_.sverz = r[5].v;
    bp_.rts = static_cast<uint8_t>(pick(cbFRts, bp_.rts));
    bp_.tv = r[6].v;
    bp_.tn = r[7].v;
    bp_.pgi = pages_->currentIndex();
    bp_.ilo = FocusIndex();
    return true;
}

bool EditChannelParams(QWidget* main, const TextTable& t, const ChannelDialogEnv& env, int channel,
                       T_BetriebsPar& bp) {
    TfmCom dlg(t, env, channel, bp, main);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vdl
