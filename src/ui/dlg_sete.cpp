#include "ui/dlg_sete.h"

#include "app/help_pages.h"
#include "app/program.h"
#include "asdu/address_text.h"
#include "core/form_rules.h"
#include "send/sete_files.h"
#include "send/type_picker.h"
#include "ui/dlg_typ.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <cstring>

namespace vdl {

namespace {

constexpr int kHelpContext = HC_CONTENTS; // the guide has no page of its own for the editor
constexpr int kPickerOffset = 352;
constexpr int kCounterWaitMs = 350;
// Labels of text 2340, by position.
enum {
    L_NAME,
    L_TYPE,
    L_CAUSE,
    L_ORIGIN,
    L_SENDER,
    L_STATION,
    L_DATE,
    L_TIME,
    L_MS,
    L_BYTES,
    L_FILE,
    L_DIR
};
constexpr int kTxLabels = 2340;
constexpr int kTxTrigger = 856, kTxTypn = 848, kTxMinute = 934;
constexpr int kTxCycles = 832, kTxPause = 853, kTxUeb = 2341, kTxKlasse = 2346;
constexpr int kTxCa = 835, kTxOa = 838, kTxTn = 2350, kTxTransient = 365, kTxFreeze = 806;
constexpr int kTxTimeBits = 363, kTxTimeBits7 = 364, kTxSend = 2351;
constexpr int kTxAskDiscard = 1165;
constexpr int kTxLoad = 1380, kTxSave = 1381, kTxFilter = 1379, kTxExt = 1367, kTxName = 1386;
constexpr int kHintType = 1224, kHintCause = 1225, kHintOrigin = 1226, kHintName = 2352;
constexpr int kHintSender = 2353, kHintBytes = 2354, kHintMs = 2355, kHintFile = 2356;
constexpr int kHintTime = 823, kHintDate = 826;

} // namespace

bool FillStationSelector(QComboBox* cb, const T_ComVar& c, int lgla, int laidx) {
    const std::vector<uint16_t> stations = StationChoices(c, lgla);
    cb->clear();
    for (uint16_t a : stations) cb->addItem(QString::number(a));
    SelectEntry(cb, laidx > c.bp.la.anz ? 0 : laidx);
    return !stations.empty();
}

TfmSeTe::TfmSeTe(Program& p, int n, QWidget* main)
    : FormDialog(p.texts, main), p_(p), n_(n), buf_(p.send->OpenForEditing(n)) {
    setObjectName("TfmSeTe");
    setWindowTitle(tx(kTxName) + QString::number(n));
    const std::vector<std::string> labels = CommaList(texts().tx(kTxLabels));
    auto label = [&](int i) {
        return i < static_cast<int>(labels.size()) ? Qs(labels[static_cast<size_t>(i)]) : QString();
    };
    auto entry = [&](const char* name, int hint) {
        QLineEdit* e = MakeEntry(0);
        e->setObjectName(name);
        SetHint(e, hint);
        return e;
    };
    auto combo = [&](int n, const char* name, QLabel** l) {
        QComboBox* cb = MakeCombo(n, l);
        cb->setObjectName(name);
        return cb;
    };
    form_ = new QFormLayout;
    body()->addLayout(form_);

    sfBez = entry("sfBez", kHintName);
    sfBez->setMaxLength(27);
    Row(sfBez, label(L_NAME));
    QLabel* l = nullptr;
    cbAnst = combo(kTxTrigger, "cbAnst", &l);
    form_->addRow(l, cbAnst);
    sfTypn = MakeEntry(kTxTypn, &lblTypn);
    sfTypn->setObjectName("sfTypn");
    form_->addRow(lblTypn, sfTypn);
    sfSender = entry("sfSender", kHintSender);
    Row(sfSender, label(L_SENDER));
    sfAnzt = MakeEntry(kTxCycles, &l);
    sfAnzt->setObjectName("sfAnzt");
    form_->addRow(l, sfAnzt);
    sfWzt = MakeEntry(kTxPause, &l);
    sfWzt->setObjectName("sfWzt");
    form_->addRow(l, sfWzt);
    cbUeb = combo(kTxUeb, "cbUeb", &l);
    form_->addRow(l, cbUeb);
    cbKlasse = combo(kTxKlasse, "cbKlasse", &l);
    form_->addRow(l, cbKlasse);
    cbStation = new QComboBox(this);
    cbStation->setObjectName("cbStation");
    SetHint(cbStation, kHintChoice);
    Row(cbStation, label(L_STATION));

    cbTyp = new QComboBox(this);
    cbTyp->setObjectName("cbTyp");
    SetHint(cbTyp, kHintType);
    cbTyp->setMaxVisibleItems(24);
    for (int i = 0; i < p_.av.maxpicktyp; ++i)
        cbTyp->addItem(Qs(TypeListEntry(TypeOfPick(i, p_.av), texts())));
    Row(cbTyp, label(L_TYPE));
    cbUrs = new QComboBox(this);
    cbUrs->setObjectName("cbUrs");
    SetHint(cbUrs, kHintCause);
    Row(cbUrs, label(L_CAUSE));
    chlbTn = MakeCheckList(kTxTn, kHintChoice);
    chlbTn->setObjectName("chlbTn");
    chlbTn->setFlow(QListView::LeftToRight);
    chlbTn->setMaximumHeight(chlbTn->sizeHintForRow(0) + 8);
    form_->addRow(QString(), chlbTn);
    sfHk = entry("sfHk", kHintOrigin);
    Row(sfHk, label(L_ORIGIN));
    sfCa = MakeEntry(kTxCa, &l);
    sfCa->setObjectName("sfCa");
    form_->addRow(l, sfCa);
    sfOa = MakeEntry(kTxOa, &l);
    sfOa->setObjectName("sfOa");
    form_->addRow(l, sfOa);

    auto* valueRow = new QWidget(this);
    auto* vl = new QHBoxLayout(valueRow);
    vl->setContentsMargins(0, 0, 0, 0);
    sfWert = entry("sfWert", 0);
    chbTrans = MakeCheck(kTxTransient);
    chbTrans->setObjectName("chbTrans");
    vl->addWidget(sfWert, 1);
    vl->addWidget(chbTrans);
    lblWert = Row(valueRow, QString());
    chlbQua = new QListWidget(this);
    chlbQua->setObjectName("chlbQua");
    chlbQua->setFlow(QListView::LeftToRight);
    SetHint(chlbQua, kHintChoice);
    form_->addRow(QString(), chlbQua);
    cbFrz = combo(kTxFreeze, "cbFrz", &l);
    form_->addRow(l, cbFrz);
    sfZus = entry("sfZus", 0);
    lblZus = Row(sfZus, QString());
    sfDatum = entry("sfDatum", kHintDate);
    Row(sfDatum, label(L_DATE));
    sfZeit = entry("sfZeit", kHintTime);
    Row(sfZeit, label(L_TIME));
    sfMs = entry("sfMs", kHintMs);
    Row(sfMs, label(L_MS));
    chlbZt1 = MakeCheckList(kTxTimeBits, kHintChoice);
    chlbZt1->setObjectName("chlbZt1");
    form_->addRow(QString(), chlbZt1);
    chlbZt2 = MakeCheckList(kTxTimeBits7, kHintChoice);
    chlbZt2->setObjectName("chlbZt2");
    form_->addRow(QString(), chlbZt2);
    for (QListWidget* lb : {chlbZt1, chlbZt2, chlbQua}) {
        lb->setFlow(QListView::LeftToRight);
        lb->setMaximumHeight(lb->sizeHintForRow(0) + 8);
    }
    meBytes = new QPlainTextEdit(this);
    meBytes->setObjectName("meBytes");
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    meBytes->setFont(mono);
    meBytes->setTabChangesFocus(true);
    SetHint(meBytes, kHintBytes);
    Row(meBytes, label(L_BYTES));
    cbDatei = new QComboBox(this);
    cbDatei->setObjectName("cbDatei");
    SetHint(cbDatei, kHintFile);
    Row(cbDatei, label(L_FILE));

    btnSend = MakeButton(kTxSend);
    btnSend->setObjectName("btnSend");
    body()->addWidget(btnSend);
    AddButtons(kHelpContext);

    for (QWidget* w :
         {static_cast<QWidget*>(sfCa), static_cast<QWidget*>(sfOa), static_cast<QWidget*>(sfWert)})
        w->installEventFilter(this);
    connect(cbAnst, &QComboBox::activated, this, [this] { OnTrigger(); });
    connect(sfSender, &QLineEdit::editingFinished, this, [this] { OnSender(); });
    connect(cbTyp, &QComboBox::activated, this, [this](int i) { OnType(i, true); });
    connect(btnSend, &QPushButton::clicked, this, [this] { SendNow(); });
    SetFocusOrder({sfBez,    cbAnst,    sfTypn,   sfSender, sfAnzt,  sfWzt,   cbUeb,
                   cbKlasse, cbStation, cbTyp,    cbUrs,    chlbTn,  sfHk,    sfCa,
                   sfOa,     sfWert,    chbTrans, chlbQua,  cbFrz,   sfZus,   sfDatum,
                   sfZeit,   sfMs,      chlbZt1,  chlbZt2,  meBytes, cbDatei, btnSend});
    Fill();
    PlaceBesideMain(main);
}

QLabel* TfmSeTe::Row(QWidget* w, const QString& label) {
    auto* l = new QLabel(label, this);
    form_->addRow(l, w);
    return l;
}

const T_ComVar& TfmSeTe::Channel() const {
    return p_.com[ChannelOfSnr(buf_.snr)];
}

int TfmSeTe::Typ() const {
    const int t = TypeOfPick(cbTyp->currentIndex(), p_.av);
    return t < 0 ? buf_.typ : t;
}

void TfmSeTe::Fill() {
    const T_SeTe& t = buf_;
    sfBez->setText(Qs(t.bez.str()));
    SelectEntry(cbAnst, t.anst);
    OnTrigger();
    sfSender->setText(QString::number(t.snr > 2 ? 2 : 1));
    sfAnzt->setText(QString::number(t.anzt));
    sfWzt->setText(QString::number(t.wzt));
    SelectEntry(cbUeb, t.ueb);
    SelectEntry(cbKlasse, t.klasse == 1 ? 0 : 1);
    OnSender();
    SetChecked(chlbTn, 0, (t.tn & 0x80) != 0);
    SetChecked(chlbTn, 1, (t.tn & 0x40) != 0);
    sfHk->setText(QString::number(t.hk));
    sfCa->setText(Qs(FormatCa(static_cast<uint32_t>(t.ca), p_.av, p_.ap)));
    sfOa->setText(Qs(FormatOa(static_cast<uint32_t>(t.oa), p_.av, p_.ap)));
    chbTrans->setChecked(t.trans != 0);
    SelectEntry(cbFrz, t.quaidx);
    sfZus->setText(QString::number(t.zus));
    sfDatum->setText(Qs(DateFieldText(t.datum)));
    sfZeit->setText(Qs(TimeFieldText(t.zeit)));
    sfMs->setText(QString::number(t.ms));
    SetChecked(chlbZt1, 0, t.iv != 0);
    SetChecked(chlbZt1, 1, t.gen != 0);
    SetChecked(chlbZt2, 0, t.su != 0);
    SetChecked(chlbZt2, 1, t.wt != 0);
    meBytes->setPlainText(Qs(ByteFieldText(t.b, t.lg, t.typ)));
    // An unknown type opens on the third entry of the list.
    const int pick = PickIndexOf(t.typ);
    cbTyp->setCurrentIndex(pick >= 0 && pick < cbTyp->count() ? pick
                                                              : std::min(2, cbTyp->count() - 1));
    OnType(cbTyp->currentIndex(), false);
}

void TfmSeTe::OnTrigger() {
    const bool minute = cbAnst->currentIndex() >= ANST_MINUTE;
    const int n = minute ? kTxMinute : kTxTypn;
    lblTypn->setText(tx(n));
    SetHint(sfTypn, n + 1);
    sfTypn->setText(QString::number(minute ? buf_.minute : buf_.typn));
}

void TfmSeTe::OnSender() {
    bool ok = false;
    const int s = sfSender->text().trimmed().toInt(&ok);
    if (ok && (s == 1 || s == 2)) buf_.snr = 2 * s;
    const T_ComVar& c = Channel();
    form_->setRowVisible(cbStation, FillStationSelector(cbStation, c, p_.ap.lgla, buf_.laidx));
    const bool slave = c.se.sim == SIM_SLAVE;
    form_->setRowVisible(cbUeb, !slave);
    form_->setRowVisible(cbKlasse, slave);
}

void TfmSeTe::OnType(int pick, bool byUser) {
    const int typ = TypeOfPick(pick, p_.av);
    if (typ < 0) return;
    if (byUser) {
        T_SeTe now;
        if (ReadFields(now, false)) {
            now.typ = buf_.typ;
            buf_ = now;
        }
        // A raw type that replaces an ordinary one starts from the telegram's encoding.
        if (!IsPseudoType(buf_.typ) && typ >= PT_ASDU && typ <= PT_TEXT) {
            std::vector<uint8_t> b = StartBytes(typ, buf_, Channel(), *p_.linkEnv);
            if (!b.empty())
                meBytes->setPlainText(Qs(ByteFieldText(b.data(), static_cast<int>(b.size()), typ)));
        }
        buf_.bez.set(NameOfEntry(Ss(cbTyp->itemText(pick))).substr(0, 27));
        sfBez->setText(Qs(buf_.bez.str()));
    }
    buf_.typ = static_cast<uint8_t>(typ);
    ctl_ = ControlsOf(typ, texts());
    if (byUser) BringValueIntoRange(buf_, ctl_.value);
    FillCauses();
    FillFiles();
    ShowControls();
    ShowValue();
}

void TfmSeTe::FillCauses() {
    causes_ = CausesOfPick(ctl_.pick, texts());
    cbUrs->clear();
    for (int c : causes_) cbUrs->addItem(Qs(CauseListEntry(c, texts())));
    const int sel = CauseSelection(causes_, buf_.urs);
    if (sel >= 0) {
        cbUrs->setCurrentIndex(sel);
        buf_.urs = static_cast<uint8_t>(causes_[static_cast<size_t>(sel)]);
    }
}

void TfmSeTe::FillFiles() {
    cbDatei->clear();
    if (!ctl_.file && ctl_.kind != ELK_FILE) return;
    QDir dir(Qs(p_.av.DataDir));
    const QStringList files = ctl_.file ? dir.entryList({QStringLiteral("*.csv")}, QDir::Files)
                                        : dir.entryList(QDir::Files);
    cbDatei->addItems(files);
    const int i = cbDatei->findText(Qs(buf_.datei.str()));
    cbDatei->setCurrentIndex(i >= 0 ? i : (cbDatei->count() ? 0 : -1));
}

void TfmSeTe::ShowControls() {
    auto show = [this](QWidget* w, bool on) { form_->setRowVisible(w, on); };
    show(cbUrs, ctl_.addresses);
    show(chlbTn, ctl_.addresses);
    show(sfHk, ctl_.addresses && p_.ap.mitori != 0);
    show(sfCa, ctl_.addresses);
    show(sfOa, ctl_.addresses);
    show(sfWert->parentWidget(), ctl_.valueField);
    lblWert->setText(Qs(ctl_.valueLabel));
    SetHintText(sfWert, Qs(ctl_.value.hint));
    chbTrans->setVisible(ctl_.transient);
    const bool boxes = !ctl_.quality.bits.empty();
    if (boxes) {
        FillCheckList(chlbQua, texts().tx(ctl_.quality.text));
        const std::vector<bool> on = QualityChecks(ctl_.quality, buf_.qua);
        for (size_t i = 0; i < on.size(); ++i) SetChecked(chlbQua, static_cast<int>(i), on[i]);
    }
    show(chlbQua, boxes);
    show(cbFrz, ctl_.kind == ELK_FREEZE);
    show(sfZus, ctl_.zusLabel != 0);
    if (ctl_.zusLabel) {
        lblZus->setText(tx(ctl_.zusLabel));
        SetHint(sfZus, ctl_.zusLabel + 1);
    }
    show(sfDatum, ctl_.cp56);
    show(sfZeit, ctl_.timeTag);
    show(sfMs, ctl_.timeTag);
    show(chlbZt1, ctl_.timeTag);
    show(chlbZt2, ctl_.cp56);
    show(meBytes, ctl_.bytes);
    show(cbDatei, ctl_.file || ctl_.kind == ELK_FILE);
}

void TfmSeTe::ShowValue() {
    sfWert->setText(Qs(ValueText(buf_.typ, buf_.inf, ctl_.value, texts())));
    MarkError(sfWert, false);
}

bool TfmSeTe::ReadFields(T_SeTe& out, bool mark) {
    T_SeTe t = buf_;
    QWidget* first = nullptr;
    auto check = [&](QWidget* w, bool ok) {
        if (mark) MarkError(w, !ok);
        if (!ok && !first) first = w;
        return ok;
    };
    auto number = [&](QLineEdit* e, long long lo, long long hi, long long& v) {
        bool ok = false;
        v = e->text().trimmed().toLongLong(&ok);
        return check(e, ok && v >= lo && v <= hi);
    };
    auto visible = [this](QWidget* w) { return form_->isRowVisible(w); };
    long long v = 0;
    t.anst = std::max(0, cbAnst->currentIndex());
    if (t.anst >= ANST_MINUTE) {
        if (number(sfTypn, 0, 59, v)) t.minute = static_cast<uint16_t>(v);
    } else if (number(sfTypn, 0, 272, v)) {
        t.typn = static_cast<uint16_t>(v);
    }
    if (number(sfSender, 1, 2, v)) t.snr = static_cast<int32_t>(2 * v);
    if (number(sfAnzt, 0, 100000, v)) t.anzt = static_cast<int32_t>(v);
    if (number(sfWzt, 0, 100000, v)) t.wzt = static_cast<int32_t>(v);
    if (visible(cbKlasse))
        t.klasse = cbKlasse->currentIndex() == 0 ? 1 : 2;
    else
        t.ueb = static_cast<int16_t>(std::clamp(cbUeb->currentIndex(), 0, 2));
    if (visible(cbStation) && cbStation->currentIndex() >= 0)
        t.laidx = static_cast<uint8_t>(cbStation->currentIndex());
    // The fields belong to the type they were shown for (a type change reads them first).
    const TypeControls c = ControlsOf(t.typ, texts());
    if (cbUrs->currentIndex() >= 0 && cbUrs->currentIndex() < static_cast<int>(causes_.size()))
        t.urs = static_cast<uint8_t>(causes_[static_cast<size_t>(cbUrs->currentIndex())]);
    if (c.bytes) {
        std::vector<uint8_t> b;
        if (check(meBytes, ParseByteField(Ss(meBytes->toPlainText()), t.typ, b))) {
            std::memset(t.b, 0, sizeof t.b);
            std::copy(b.begin(), b.end(), t.b);
            t.lg = static_cast<int32_t>(b.size());
        }
    }
    if (c.addresses) {
        t.tn = static_cast<uint8_t>((IsChecked(chlbTn, 0) ? 0x80 : 0) |
                                    (IsChecked(chlbTn, 1) ? 0x40 : 0));
        if (visible(sfHk) && number(sfHk, 0, 255, v)) t.hk = static_cast<uint8_t>(v);
        uint32_t a = 0;
        if (check(sfCa, ParseCa(Ss(sfCa->text()), a, p_.av, p_.ap, true)))
            t.ca = static_cast<int32_t>(a);
        if (check(sfOa, ParseOa(Ss(sfOa->text()), a, p_.av, p_.ap, true)))
            t.oa = static_cast<int32_t>(a);
    }
    if (c.valueField) {
        T_Var x;
        if (check(sfWert, ParseValue(Ss(sfWert->text()), c.value, texts(), x))) t.inf = x;
    }
    if (c.file || c.kind == ELK_FILE) {
        t.zeile = 0;
        t.fileidx = cbDatei->currentIndex();
        t.datei.set(Ss(cbDatei->currentText()));
    }
    if (!c.quality.bits.empty()) {
        std::vector<bool> on;
        for (size_t i = 0; i < c.quality.bits.size(); ++i)
            on.push_back(IsChecked(chlbQua, static_cast<int>(i)));
        t.qua = QuaOfChecks(c.quality, on);
    } else {
        t.qua = 0;
    }
    if (c.kind == ELK_FREEZE)
        t.quaidx = static_cast<uint8_t>(std::clamp(cbFrz->currentIndex(), 0, 3));
    if (c.zusLabel && number(sfZus, 0, c.zusMax, v)) t.zus = static_cast<int32_t>(v);
    if (c.timeTag) {
        double d = t.datum, z = 0;
        if (c.cp56) check(sfDatum, ParseDateField(Ss(sfDatum->text()), d));
        const bool zok = check(sfZeit, ParseTimeField(Ss(sfZeit->text()), z));
        if (number(sfMs, 0, 999, v)) t.ms = static_cast<int32_t>(v);
        t.datum = d;
        if (zok) t.zeit = z != 0 ? z + t.ms / 86400000.0 : 0;
        t.iv = IsChecked(chlbZt1, 0);
        t.gen = IsChecked(chlbZt1, 1);
        t.su = c.cp56 && IsChecked(chlbZt2, 0);
        t.wt = c.cp56 && IsChecked(chlbZt2, 1);
    }
    t.trans = c.transient && chbTrans->isChecked() ? 0x80 : 0;
    t.bez.set(Ss(sfBez->text()).substr(0, 27));
    t.ilo = FocusIndex();
    if (first) {
        if (mark) first->setFocus();
        return false;
    }
    out = t;
    return true;
}

bool TfmSeTe::Store() {
    T_SeTe t;
    if (!ReadFields(t, true)) return false;
    p_.send->StoreEdited(n_, t);
    buf_ = p_.sete.at(n_);
    return true;
}

void TfmSeTe::SendNow() {
    if (!Store()) return;
    p_.send->RequestSend(n_);
    const bool counter = buf_.typ == 15 || buf_.typ == 16 || buf_.typ == 37;
    if (counter && p_.pp.opt[11] && p_.svc) {
        // The advanced reading and sequence number are shown once the telegram went out.
        p_.svc->ActiveWait(kCounterWaitMs);
        Reload();
    }
}

void TfmSeTe::Reload() {
    buf_ = p_.sete.at(n_);
    Fill();
}

void TfmSeTe::reject() {
    T_SeTe t;
    bool changed = !ReadFields(t, false);
    if (!changed) {
        t.la = p_.send->ResolveLinkAddress(t);
        changed = EditedDiffers(t, p_.sete.at(n_));
    }
    if (changed && p_.msg.Ask(texts().tx(kTxAskDiscard), false) != Answer::Yes) return;
    FormDialog::reject();
}

void TfmSeTe::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(buf_.ilo);
    }
}

bool TfmSeTe::eventFilter(QObject* o, QEvent* e) {
    const bool address = o == sfCa || o == sfOa;
    if (address && e->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        PickAddress(o == sfOa);
        return true;
    }
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (address && key == Qt::Key_F12) {
            PickAddress(o == sfOa);
            return true;
        }
        if ((o == sfWert || o == sfOa) && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            Step(static_cast<QLineEdit*>(o), key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return FormDialog::eventFilter(o, e);
}

void TfmSeTe::Step(QLineEdit* e, int delta) {
    if (e == sfOa) {
        uint32_t a = 0;
        if (!ParseOa(Ss(sfOa->text()), a, p_.av, p_.ap, true)) return;
        sfOa->setText(Qs(FormatOa((a + static_cast<uint32_t>(delta)) & p_.av.oamax, p_.av, p_.ap)));
        return;
    }
    T_Var v;
    if (!ParseValue(Ss(sfWert->text()), ctl_.value, texts(), v)) return;
    buf_.inf = StepValue(v, ctl_.value, delta);
    ShowValue();
}

void TfmSeTe::PickAddress(bool objectAddress) {
    T_SeLiObj obj{};
    uint32_t ca = static_cast<uint32_t>(buf_.ca), oa = static_cast<uint32_t>(buf_.oa);
    ParseCa(Ss(sfCa->text()), ca, p_.av, p_.ap, true);
    ParseOa(Ss(sfOa->text()), oa, p_.av, p_.ap, true);
    obj.oa = static_cast<int32_t>(objectAddress ? oa : ca);
    obj.typ = static_cast<uint8_t>(Typ());
    obj.urs = buf_.urs;
    const QWidget* main = parentWidget() ? parentWidget() : this;
    PickEnv env{texts(), p_.av, p_.ap, p_.objects};
    if (!Pick(this, x() - kPickerOffset, y(), main->height(), objectAddress ? PICK_OBJECT : PICK_CA,
              obj, ca, 0, env))
        return;
    if (objectAddress)
        sfOa->setText(Qs(FormatOa(static_cast<uint32_t>(obj.oa), p_.av, p_.ap)));
    else
        sfCa->setText(Qs(FormatCa(ca, p_.av, p_.ap)));
}

void TfmSeTe::contextMenuEvent(QContextMenuEvent* e) {
    ShowMenu(e->globalPos());
}

void TfmSeTe::keyPressEvent(QKeyEvent* e) {
    // Shift+F10 opens the load and save menu, as the right mouse button does.
    if (e->key() == Qt::Key_F10 && (e->modifiers() & Qt::ShiftModifier)) {
        ShowMenu(mapToGlobal(rect().center()));
        return;
    }
    FormDialog::keyPressEvent(e);
}

void TfmSeTe::ShowMenu(const QPoint& at) {
    QMenu m(this);
    QAction* load = m.addAction(tx(kTxLoad));
    QAction* save = m.addAction(tx(kTxSave));
    QAction* chosen = m.exec(at);
    const QString dir = Qs(p_.av.DataDir);
    if (chosen == load) {
        QString f = QFileDialog::getOpenFileName(this, tx(kTxLoad), dir, tx(kTxFilter));
        if (!f.isEmpty()) LoadFrom(Ss(f));
    } else if (chosen == save) {
        QString proposed = dir + tx(kTxName) + QString::number(n_) + "." + tx(kTxExt);
        QString f = QFileDialog::getSaveFileName(this, tx(kTxSave), proposed, tx(kTxFilter));
        if (!f.isEmpty()) SaveTo(Ss(f));
    }
}

bool TfmSeTe::LoadFrom(const std::string& path) {
    T_SeTe t;
    if (!ReadFields(t, false)) t = buf_;
    std::string error;
    if (!LoadSeTeFile(path, t, SeTeTextEnv{p_.av, p_.ap}, error)) {
        if (!error.empty()) p_.msg.Error(error);
        return false;
    }
    p_.send->StationFromLinkAddress(t);
    buf_ = t;
    Fill();
    return true;
}

bool TfmSeTe::SaveTo(const std::string& path) {
    if (!Store()) return false;
    std::string error;
    if (SaveSeTeFile(path, p_.sete.at(n_), SeTeTextEnv{p_.av, p_.ap}, error)) return true;
    p_.msg.Error(error);
    return false;
}

} // namespace vdl
