#include "ui/dlg_seli.h"

#include "app/help_pages.h"
#include "app/program.h"
#include "asdu/address_text.h"
#include "core/form_rules.h"
#include "send/list_files.h"
#include "send/sete_form.h"
#include "send/type_picker.h"
#include "ui/dlg_sete.h"
#include "ui/dlg_typ.h"
#include "ui/row_table.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vdl {

namespace {

constexpr int kHelpContext = HC_CONTENTS;
constexpr int kPickerOffset = 352;
constexpr int kTxLabels = 2340, kLabelName = 0, kLabelOrigin = 3, kLabelSender = 4,
              kLabelStation = 5;
constexpr int kTxTrigger = 856, kTxTypn = 848, kTxMinute = 934, kTxCycles = 832, kTxAnzo = 851;
constexpr int kTxPause = 853, kTxUeb = 2341, kTxKlasse = 2346, kTxCa = 835, kTxSend = 2351;
constexpr int kTxHeadings = 1271, kTxEdit = 1159, kTxAskDiscard = 1165, kTxListName = 1385;
constexpr int kTxLoad = 1377, kTxSave = 1378, kTxFilter = 1379, kTxExt = 1367;
constexpr int kHintName = 2352, kHintSender = 2353, kHintOrigin = 1226;
// Hints of the columns active .. originator.
constexpr int kColumnHints[] = {502, 836, 839, 1224, 1225, 1226};
constexpr int kTxQuaKinds = 1100, kTxQuaNone = 1117, kTxQuaHead = 1097, kTxQuaOf = 1101,
              kTxQuaTail = 1096, kTxValueHint = 937;

} // namespace

TfmSeLi::TfmSeLi(Program& p, int n, QWidget* main)
    : FormDialog(p.texts, main), p_(p), n_(n), buf_(p.lists->OpenForEditing(n)) {
    setObjectName("TfmSeLi");
    setWindowTitle(tx(kTxListName) + QString::number(n));
    const std::vector<std::string> labels = CommaList(texts().tx(kTxLabels));
    auto label = [&](size_t i) { return i < labels.size() ? Qs(labels[i]) : QString(); };
    form_ = new QFormLayout;
    body()->addLayout(form_);
    QLabel* l = nullptr;
    auto entry = [&](int text, const char* name, int width) {
        QLineEdit* e = MakeEntry(text, &l);
        e->setObjectName(name);
        if (width) e->setMaximumWidth(width);
        return e;
    };
    sfBez = entry(0, "sfBez", 0);
    sfBez->setMaxLength(27);
    SetHint(sfBez, kHintName);
    form_->addRow(label(kLabelName), sfBez);
    cbAnst = MakeCombo(kTxTrigger, &l);
    cbAnst->setObjectName("cbAnst");
    QLabel* lAnst = l;
    sfTypn = MakeEntry(kTxTypn, &l);
    sfTypn->setObjectName("sfTypn");
    sfTypn->setMaximumWidth(80);
    lblTypn = l;
    auto* trig = new QHBoxLayout;
    trig->addWidget(cbAnst, 1);
    trig->addWidget(lblTypn);
    trig->addWidget(sfTypn);
    form_->addRow(lAnst, trig);
    sfSender = entry(0, "sfSender", 60);
    SetHint(sfSender, kHintSender);
    sfAnzt = entry(kTxCycles, "sfAnzt", 100);
    QLabel* lAnzt = l;
    sfAnzo = entry(kTxAnzo, "sfAnzo", 100);
    QLabel* lAnzo = l;
    sfWzt = entry(kTxPause, "sfWzt", 100);
    QLabel* lWzt = l;
    auto* counts = new QHBoxLayout;
    for (auto [lab, e] : {std::pair<QLabel*, QLineEdit*>{nullptr, sfSender},
                          {lAnzt, sfAnzt},
                          {lAnzo, sfAnzo},
                          {lWzt, sfWzt}}) {
        if (lab) counts->addWidget(lab);
        counts->addWidget(e);
    }
    counts->addStretch(1);
    form_->addRow(label(kLabelSender), counts);
    cbUeb = MakeCombo(kTxUeb, &l);
    cbUeb->setObjectName("cbUeb");
    form_->addRow(l, cbUeb);
    cbKlasse = MakeCombo(kTxKlasse, &l);
    cbKlasse->setObjectName("cbKlasse");
    form_->addRow(l, cbKlasse);
    cbStation = new QComboBox(this);
    cbStation->setObjectName("cbStation");
    SetHint(cbStation, kHintChoice);
    form_->addRow(label(kLabelStation), cbStation);
    sfHk = entry(0, "sfHk", 60);
    SetHint(sfHk, kHintOrigin);
    sfCa = entry(kTxCa, "sfCa", 120);
    QLabel* lCa = l;
    auto* addr = new QHBoxLayout;
    addr->addWidget(sfHk);
    addr->addWidget(lCa);
    addr->addWidget(sfCa);
    addr->addStretch(1);
    form_->addRow(label(kLabelOrigin), addr);
    addrRow_ = addr;

    RowTableAccess a;
    a.rows = kSeLiObjects;
    a.columns = SLC_COUNT;
    a.heading = [this](int col) { return tx(kTxHeadings + col); };
    a.text = [this](int row, int col) { return ListCellText(buf_, row, col, FormEnv()); };
    a.isCheck = [](int col) { return col == SLC_AKT; };
    a.checked = [this](int row, int) { return buf_.at(row).akt != 0; };
    a.set = [this](int row, int col, const std::string& s) {
        return SetListCell(buf_, row, col, s, FormEnv());
    };
    a.editable = [](int col) { return col != SLC_ROW; };
    model_ = new RowTableModel(a, this);
    grid = new RowTableView(this);
    grid->setObjectName("grid");
    grid->setModel(model_);
    grid->hasPicker = [](int col) {
        return col == SLC_TYP || col == SLC_URS || col == SLC_CA || col == SLC_OA;
    };
    grid->pick = [this](int row, int col) { PickCell(row, col); };
    grid->Fit({6, 7, 12, 14, 6, 6, 6, 16, 12}, 16);
    body()->addWidget(grid, 1);
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowHintOfCell(); });

    btnSend = MakeButton(kTxSend);
    btnSend->setObjectName("btnSend");
    body()->addWidget(btnSend);
    AddButtons(kHelpContext);
    connect(btnSend, &QPushButton::clicked, this, [this] { SendNow(); });
    connect(cbAnst, &QComboBox::activated, this, [this] { OnTrigger(); });
    connect(sfSender, &QLineEdit::editingFinished, this, [this] { OnSender(); });
    SetFocusOrder({sfBez, cbAnst, sfTypn, sfSender, sfAnzt, sfAnzo, sfWzt, cbUeb, cbKlasse,
                   cbStation, sfHk, sfCa, grid, btnSend});
    Fill();
    resize(width(), std::max(height(), 40 * fontMetrics().height()));
    PlaceBesideMain(main);
}

SeLiFormEnv TfmSeLi::FormEnv() const {
    return SeLiFormEnv{texts(), p_.av, p_.ap, p_.pp.opt[8] != 0};
}

SeTeTextEnv TfmSeLi::TextEnv() const {
    return SeTeTextEnv{p_.av, p_.ap};
}

void TfmSeLi::Fill() {
    const T_SeTe& h = buf_.h;
    sfBez->setText(Qs(h.bez.str()));
    SelectEntry(cbAnst, h.anst);
    OnTrigger();
    sfSender->setText(QString::number(h.snr > 2 ? 2 : 1));
    sfAnzt->setText(QString::number(h.anzt));
    sfAnzo->setText(QString::number(buf_.anzo()));
    sfWzt->setText(QString::number(h.wzt));
    SelectEntry(cbUeb, h.ueb);
    SelectEntry(cbKlasse, h.klasse == 1 ? 0 : 1);
    sfHk->setText(QString::number(h.hk));
    sfCa->setText(Qs(FormatCa(static_cast<uint32_t>(h.ca), p_.av, p_.ap)));
    OnSender();
    ShowColumns();
    model_->ClearMarks();
    model_->Refresh();
    const int row = std::clamp(buf_.zeileed, 1, kSeLiObjects);
    grid->setCurrentIndex(model_->index(row - 1, SLC_AKT));
}

void TfmSeLi::OnTrigger() {
    const bool minute = cbAnst->currentIndex() >= ANST_MINUTE;
    const int n = minute ? kTxMinute : kTxTypn;
    lblTypn->setText(tx(n));
    SetHint(sfTypn, n + 1);
    sfTypn->setText(QString::number(minute ? buf_.h.minute : buf_.h.typn));
}

void TfmSeLi::OnSender() {
    bool ok = false;
    const int s = sfSender->text().trimmed().toInt(&ok);
    if (ok && (s == 1 || s == 2)) buf_.h.snr = 2 * s;
    const T_ComVar& c = p_.com[ChannelOfSnr(buf_.h.snr)];
    form_->setRowVisible(cbStation, FillStationSelector(cbStation, c, p_.ap.lgla, buf_.h.laidx));
    const bool slave = c.se.sim == SIM_SLAVE;
    form_->setRowVisible(cbUeb, !slave);
    form_->setRowVisible(cbKlasse, slave);
}

void TfmSeLi::ShowColumns() {
    const SeLiFormEnv e = FormEnv();
    for (int c = 0; c < SLC_COUNT; ++c) grid->setColumnHidden(c, !ListColumnShown(c, e));
    // With a common address per object the header's is not used.
    sfHk->setEnabled(!e.perObjectCa);
    sfCa->setEnabled(!e.perObjectCa);
    form_->setRowVisible(addrRow_, !e.perObjectCa);
}

void TfmSeLi::ShowHintOfCell() {
    const QModelIndex i = grid->currentIndex();
    if (!i.isValid()) return;
    const T_SeLiObj& o = buf_.at(i.row() + 1);
    const TypeControls c = ControlsOf(o.typ, texts());
    QString hint;
    if (i.column() >= SLC_AKT && i.column() <= SLC_HK) {
        hint = tx(kColumnHints[i.column() - SLC_AKT]);
    } else if (i.column() == SLC_WERT) {
        hint = Qs(c.value.hint);
    } else if (i.column() == SLC_QUA) {
        const std::string kinds = texts().tx(kTxQuaKinds);
        const size_t at = static_cast<size_t>(std::max(0, c.pick));
        const int d = at < kinds.size() ? QString(QChar(kinds[at])).toInt(nullptr, 16) : 0;
        if (d == 0) {
            hint = tx(kTxQuaNone);
        } else {
            hint = tx(kTxQuaHead) + tx(kTxQuaOf + d);
            if (hint.size() + tx(kTxQuaTail).size() < 44) hint += tx(kTxQuaTail);
        }
    }
    (void)kTxValueHint;
    SetHintText(grid, hint);
    ShowHintOf(grid);
}

void TfmSeLi::PickCell(int row, int col) {
    T_SeLiObj obj = buf_.at(row);
    const bool perObject = p_.pp.opt[8] != 0;
    uint32_t ca = perObject ? buf_.caOf(row).ca : static_cast<uint32_t>(buf_.h.ca);
    const int mode = col == SLC_TYP   ? PICK_TYPE
                     : col == SLC_URS ? PICK_CAUSE
                     : col == SLC_CA  ? PICK_CA
                                      : PICK_OBJECT;
    const QWidget* main = parentWidget() ? parentWidget() : this;
    PickEnv env{texts(), p_.av, p_.ap, p_.objects};
    const uint8_t oldTyp = obj.typ;
    if (!Pick(this, x() - kPickerOffset, y(), main->height(), mode, obj, ca, 0, env)) return;
    if (mode == PICK_CA) {
        if (perObject)
            buf_.caOf(row).ca = static_cast<uint16_t>(ca);
        else
            sfCa->setText(Qs(FormatCa(ca, p_.av, p_.ap)));
    } else {
        buf_.at(row) = obj;
        if (obj.typ != oldTyp) AfterTypeChange(buf_.at(row), texts());
    }
    model_->Refresh();
    grid->setCurrentIndex(model_->index(row - 1, col));
}

bool TfmSeLi::ReadHeader(bool mark) {
    T_SeTe& h = buf_.h;
    QWidget* first = nullptr;
    auto number = [&](QLineEdit* e, long long lo, long long hi, auto store) {
        bool ok = false;
        const long long v = e->text().trimmed().toLongLong(&ok);
        ok = ok && v >= lo && v <= hi;
        if (mark) MarkError(e, !ok);
        if (ok)
            store(v);
        else if (!first)
            first = e;
    };
    h.anst = std::max(0, cbAnst->currentIndex());
    if (h.anst >= ANST_MINUTE)
        number(sfTypn, 0, 59, [&](long long v) { h.minute = static_cast<uint16_t>(v); });
    else
        number(sfTypn, 0, 272, [&](long long v) { h.typn = static_cast<uint16_t>(v); });
    number(sfSender, 1, 2, [&](long long v) { h.snr = static_cast<int32_t>(2 * v); });
    number(sfAnzt, 0, 100000, [&](long long v) { h.anzt = static_cast<int32_t>(v); });
    number(sfAnzo, 0, kSeLiObjects, [&](long long v) { buf_.anzo() = static_cast<int32_t>(v); });
    number(sfWzt, 0, 100000, [&](long long v) { h.wzt = static_cast<int32_t>(v); });
    if (form_->isRowVisible(cbKlasse))
        h.klasse = cbKlasse->currentIndex() == 0 ? 1 : 2;
    else
        h.ueb = static_cast<int16_t>(std::clamp(cbUeb->currentIndex(), 0, 2));
    if (form_->isRowVisible(cbStation) && cbStation->currentIndex() >= 0)
        h.laidx = static_cast<uint8_t>(cbStation->currentIndex());
    if (sfHk->isEnabled())
        number(sfHk, 0, 255, [&](long long v) { h.hk = static_cast<uint8_t>(v); });
    uint32_t ca = 0;
    const bool caOk = !sfCa->isEnabled() || ParseCa(Ss(sfCa->text()), ca, p_.av, p_.ap, true);
    if (mark) MarkError(sfCa, !caOk);
    if (caOk && sfCa->isEnabled()) h.ca = static_cast<int32_t>(ca);
    if (!caOk && !first) first = sfCa;
    h.bez.set(Ss(sfBez->text()).substr(0, 27));
    h.ilo = FocusIndex();
    buf_.zeileed = grid->currentIndex().row() + 1;
    if (first) {
        if (mark) first->setFocus();
        return false;
    }
    return true;
}

bool TfmSeLi::Store() {
    // An entry being edited is ended first; a refused cell keeps the editor open.
    grid->FinishEditing();
    if (!ReadHeader(true)) return false;
    if (model_->AnyMarked()) {
        const auto [row, col] = model_->FirstMarked();
        grid->setCurrentIndex(model_->index(row - 1, col));
        grid->setFocus();
        return false;
    }
    p_.lists->StoreEdited(n_, buf_);
    return true;
}

bool TfmSeLi::Confirm() {
    if (!Store()) return false;
    p_.lists->ForgetEditor(n_);
    return true;
}

void TfmSeLi::SendNow() {
    if (!ReadHeader(true) || model_->AnyMarked()) {
        Store();
        return;
    }
    p_.lists->SendFromEditor(n_, buf_, grid->currentIndex().row() + 1);
    buf_ = p_.seli.at(n_);
}

void TfmSeLi::CycleEnded() {
    // The running list's counter readings follow; the cursor walks with the objects sent.
    const SeLi& live = p_.seli.at(n_);
    const int count = live.anzo() > 0 ? live.anzo() : live.anzakt;
    int row = std::clamp(grid->currentIndex().row() + 1, 1, kSeLiObjects);
    const bool counters = p_.pp.opt[11] != 0;
    for (int k = 0; k < count; ++k) {
        const T_SeLiObj& o = live.at(row);
        if (o.akt && counters && (o.typ == 15 || o.typ == 16 || o.typ == 37)) {
            buf_.at(row).inf = o.inf;
            buf_.at(row).qua = o.qua;
        }
        row = row >= live.maxakt ? 1 : row + 1;
    }
    model_->Refresh();
    grid->setCurrentIndex(
        model_->index(row - 1, std::max<int>(SLC_AKT, grid->currentIndex().column())));
}

void TfmSeLi::reject() {
    ReadHeader(false);
    const SeLi& stored = p_.seli.at(n_);
    const bool changed =
        model_->AnyMarked() ||
        std::memcmp(buf_.obj.data(), stored.obj.data(), sizeof buf_.obj) != 0 ||
        std::memcmp(buf_.ca.data(), stored.ca.data(), sizeof buf_.ca) != 0 ||
        std::memcmp(&buf_.h.anst, &stored.h.anst, kSeLiHeadLen - offsetof(T_SeTe, anst)) != 0;
    if (changed && p_.msg.Ask(texts().tx(kTxAskDiscard), false) != Answer::Yes) return;
    p_.lists->ForgetEditor(n_);
    FormDialog::reject();
}

void TfmSeLi::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(buf_.h.ilo);
    }
}

RowEditing TfmSeLi::Editing() {
    return {[this] { Copy(); }, [this] { Cut(); }, [this] { Paste(); },
            [this](const QPoint& at) { ShowMenu(at); }};
}

void TfmSeLi::contextMenuEvent(QContextMenuEvent* e) {
    ShowMenu(e->globalPos());
}

void TfmSeLi::keyPressEvent(QKeyEvent* e) {
    if (!RowEditKey(e, this, Editing())) FormDialog::keyPressEvent(e);
}

void TfmSeLi::ShowMenu(const QPoint& at) {
    QMenu m(this);
    const RowEditMenu edit =
        AddRowEditEntries(m, tx(kTxEdit), tx(kTxEdit + 1), tx(kTxEdit + 2),
                          HasListRows(Ss(QApplication::clipboard()->text()), TextEnv()));
    QAction* load = m.addAction(tx(kTxLoad));
    QAction* save = m.addAction(tx(kTxSave));
    QAction* chosen = m.exec(at);
    const QString dir = Qs(p_.av.DataDir);
    if (RunRowEdit(edit, chosen, Editing())) return;
    if (chosen == load) {
        QString f = QFileDialog::getOpenFileName(this, tx(kTxLoad), dir, tx(kTxFilter));
        if (!f.isEmpty()) LoadFrom(Ss(f));
    } else if (chosen == save) {
        const QString name =
            buf_.h.bez.str().empty() ? tx(kTxListName) + QString::number(n_) : Qs(buf_.h.bez.str());
        QString f = QFileDialog::getSaveFileName(this, tx(kTxSave), dir + name + "." + tx(kTxExt),
                                                 tx(kTxFilter));
        if (!f.isEmpty()) SaveTo(Ss(f));
    }
}

void TfmSeLi::Copy() {
    const auto [first, last] = grid->SelectedRows();
    QApplication::clipboard()->setText(Qs(CopyListRows(buf_, first, last, TextEnv())));
}

void TfmSeLi::Cut() {
    const auto [first, last] = grid->SelectedRows();
    Copy();
    CutListRows(buf_, first, last);
    model_->Refresh();
    grid->setCurrentIndex(model_->index(first - 1, SLC_AKT));
}

void TfmSeLi::Paste() {
    const int at = grid->currentIndex().row() + 1;
    if (PasteListRows(buf_, at, Ss(QApplication::clipboard()->text()), TextEnv()) == 0) return;
    model_->Refresh();
    grid->setCurrentIndex(model_->index(at - 1, SLC_AKT));
}

bool TfmSeLi::LoadFrom(const std::string& path) {
    std::string error;
    if (!LoadListFile(*p_.lists, n_, buf_, path, error)) {
        if (!error.empty()) p_.msg.Error(error);
        return false;
    }
    buf_.zeileed = 1;
    Fill();
    return true;
}

bool TfmSeLi::SaveTo(const std::string& path) {
    if (!Store()) return false;
    std::string error;
    if (SaveListFile(*p_.lists, n_, path, error)) return true;
    p_.msg.Error(error);
    return false;
}

} // namespace vdl
