#include "ui/dlg_flt.h"

#include "core/clock.h"
#include "core/form_rules.h"
#include "core/format.h"
#include "core/messages.h"
#include "core/text_table.h"
#include "log/filter.h"
#include "log/filter_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimeEdit>

#include <filesystem>

namespace vdl {

namespace {

constexpr int kTxCaptionDisplay = 692;
constexpr int kTxCaptionLog = 693;
constexpr int kTxRelation = 694;
constexpr int kTxComparison = 699;
constexpr int kTxFrom = 704;
constexpr int kTxTo = 705;
constexpr int kTxStatusLabel = 706;
constexpr int kTxSourceLabel = 707;
constexpr int kTxMask1 = 725;
constexpr int kTxMask2 = 877;
constexpr int kTxStatusEntries = 878;
constexpr int kTxSourceEntries = 879;
constexpr int kTxQualityEntries = 880;
constexpr int kTxNameLabel = 682;
constexpr int kTxReset = 679;
constexpr int kTxDelete = 681;
constexpr int kTxLoad = 2015;
constexpr int kTxSave = 2016;
constexpr int kTxFileFilter = 2017;
constexpr int kTxAskDelete = 2019;
constexpr int kHintName = 2020;
constexpr int kHintDelete = 2021;
constexpr int kHintOk = 2022;
constexpr int kHintReset = 2023;
constexpr int kHintQuality = 2024;
constexpr int kHintTime = 823;
constexpr int kHintDate = 826;
constexpr uint8_t kNoName = 255;

// Quality bits in the order of the check list entries.
constexpr uint8_t kQualityBits[6] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x01};

uint8_t MaskOf(const QListWidget* lb, uint8_t old) {
    if (lb->count() != 6) return old;
    uint8_t m = 0;
    for (int i = 0; i < 6; ++i)
        if (IsChecked(lb, i)) m |= kQualityBits[i];
    return m;
}

void ShowMask(QListWidget* lb, uint8_t m) {
    for (int i = 0; i < 6 && i < lb->count(); ++i) SetChecked(lb, i, (m & kQualityBits[i]) != 0);
}

void ShowDateTime(QDateEdit* d, QTimeEdit* t, double dt, bool endOfDay) {
    // No time yet (or a damaged one): today is proposed.
    if (!StampUsable(dt)) {
        d->setDate(QDate::currentDate());
        t->setTime(endOfDay ? QTime(23, 59, 59) : QTime(0, 0, 0));
        return;
    }
    DateTimeParts p = DecodeDateTime(dt);
    d->setDate(QDate(p.year, p.month, p.day));
    t->setTime(QTime(p.hour, p.minute, p.second));
}

double ReadDateTime(const QDateEdit* d, const QTimeEdit* t) {
    QDate a = d->date();
    QTime b = t->time();
    return EncodeDateTime(a.year(), a.month(), a.day(), b.hour(), b.minute(), b.second());
}

} // namespace

TfmFlt::TfmFlt(const TextTable& t, Messages& msg, const T_AllgPar& ap, const FilterDialogEnv& env,
               T_Filter& f, QWidget* main)
    : FormDialog(t, main), msg_(msg), ap_(ap), env_(env), f_(f), work_(f),
      ext_(t.tx(kTxFilterExtension)) {
    setObjectName("TfmFlt");
    setWindowTitle(tx(env_.logFilter ? kTxCaptionLog : kTxCaptionDisplay));
    NormaliseFilter(work_, ap_);

    auto* top = new QGridLayout;
    body()->addLayout(top);
    auto timeRow = [&](int row, int n, QCheckBox*& chb, QDateEdit*& d, QTimeEdit*& tm) {
        chb = MakeCheck(n);
        d = new QDateEdit(this);
        d->setCalendarPopup(true);
        SetHint(d, kHintDate);
        tm = new QTimeEdit(this);
        tm->setDisplayFormat("HH:mm:ss");
        SetHint(tm, kHintTime);
        top->addWidget(chb, row, 0);
        top->addWidget(d, row, 1);
        top->addWidget(tm, row, 2);
    };
    timeRow(0, kTxFrom, chbVon, dtVon, tmVon);
    timeRow(1, kTxTo, chbBis, dtBis, tmBis);
    chbVon->setObjectName("chbVon");
    chbBis->setObjectName("chbBis");

    auto* lists = new QGridLayout;
    body()->addLayout(lists);
    auto list = [&](int col, int label, int entries, int hint, QListWidget*& lb, const char* name) {
        lb = MakeCheckList(entries, hint);
        lb->setObjectName(name);
        lb->setMaximumHeight(lb->sizeHintForRow(0) * std::max(lb->count(), 2) + 8);
        lists->addWidget(MakeLabel(label), 0, col);
        lists->addWidget(lb, 1, col);
    };
    list(0, kTxStatusLabel, kTxStatusEntries, kHintChoice, chlbStatus, "chlbStatus");
    list(1, kTxSourceLabel, kTxSourceEntries, kHintChoice, chlbQuelle, "chlbQuelle");
    list(2, kTxMask1, kTxQualityEntries, kHintQuality, chlbQ1, "chlbQ1");
    list(3, kTxMask2, kTxQualityEntries, kHintQuality, chlbQ2, "chlbQ2");

    auto* nameRow = new QHBoxLayout;
    body()->addLayout(nameRow);
    cbName = new QComboBox(this);
    cbName->setObjectName("cbName");
    cbName->setEditable(true);
    cbName->setInsertPolicy(QComboBox::NoInsert);
    cbName->setMinimumWidth(200);
    SetHint(cbName, kHintName);
    nameRow->addWidget(MakeLabel(kTxNameLabel));
    nameRow->addWidget(cbName, 1);
    connect(cbName, &QComboBox::activated, this, &TfmFlt::ChooseName);

    auto* grid = new QGridLayout;
    body()->addLayout(grid);
    grid->addWidget(MakeLabel(kTxRelation), 0, 1);
    grid->addWidget(MakeLabel(kTxComparison), 0, 3);
    std::vector<QWidget*> order{chbVon,     dtVon,      tmVon,  chbBis, dtBis, tmBis,
                                chlbStatus, chlbQuelle, chlbQ1, chlbQ2, cbName};
    std::vector<int32_t> fields = FilterFields(ap_);
    for (size_t k = 0; k < fields.size() && k < static_cast<size_t>(kFilterRows); ++k) {
        Row r;
        r.field = fields[k];
        r.rel = MakeCombo(kTxRelation);
        r.vgl = MakeCombo(kTxComparison);
        r.w1 = MakeEntry(kTxFilterRowLabels + r.field);
        r.w2 = MakeEntry(kTxFilterRowLabels + r.field);
        // The value fields share the row's hint: the field and its range.
        SetHint(r.w1, kHintChoice);
        SetHint(r.w2, kHintChoice);
        r.label = new QLabel(Qs(FilterRowLabel(t, r.field)), this);
        r.label->setBuddy(r.w1);
        int gr = static_cast<int>(k) + 1;
        grid->addWidget(r.label, gr, 0);
        grid->addWidget(r.rel, gr, 1);
        grid->addWidget(r.w1, gr, 2);
        grid->addWidget(r.vgl, gr, 3);
        grid->addWidget(r.w2, gr, 4);
        order.insert(order.end(), {r.rel, r.w1, r.vgl, r.w2});
        rows.push_back(r);
    }

    auto* buttons = new QHBoxLayout;
    body()->addLayout(buttons);
    btnReset = MakeButton(kTxReset);
    btnReset->setObjectName("btnReset");
    SetHint(btnReset, kHintReset);
    btnDelete = MakeButton(kTxDelete);
    btnDelete->setObjectName("btnDelete");
    SetHint(btnDelete, kHintDelete);
    buttons->addWidget(btnReset);
    buttons->addWidget(btnDelete);
    buttons->addStretch(1);
    connect(btnReset, &QPushButton::clicked, this, &TfmFlt::Reset);
    connect(btnDelete, &QPushButton::clicked, this, &TfmFlt::Delete);
    AddButtons(env_.logFilter ? 6300 : 6100);
    SetHint(okButton(), kHintOk);
    SetFocusOrder(order);

    FillNames();
    Show();
    cbName->setCurrentIndex(StoredNameEntry());
    PlaceBesideMain(main);
}

std::string TfmFlt::PathOf(const std::string& name) const {
    return env_.dataDir + name + "." + ext_;
}

void TfmFlt::FillNames() {
    names = NamedFilters(env_.dataDir, ext_);
    cbName->clear();
    cbName->addItem(QString());
    for (const std::string& n : names) cbName->addItem(Qs(n));
}

int TfmFlt::NameIndex(const std::string& name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i) + 1;
    return 0;
}

int TfmFlt::AddName(const std::string& name) {
    int i = NameIndex(name);
    if (i > 0) return i;
    names.push_back(name);
    cbName->addItem(Qs(name));
    return static_cast<int>(names.size());
}

int TfmFlt::StoredNameEntry() {
    // The stored index counts entries of a list that may have changed since (files added or
    // removed); it names the filter only while that file still holds the same filter, so that
    // OK never writes this filter over another one.
    auto holds = [&](int entry) {
        T_Filter tmp{};
        return entry >= 1 && entry <= static_cast<int>(names.size()) &&
               LoadNamedFilter(PathOf(names[static_cast<size_t>(entry - 1)]), tmp, ap_) &&
               SameFilterCriteria(tmp, work_);
    };
    if (work_.nameidx == 0 || work_.nameidx == kNoName) return 0;
    if (holds(work_.nameidx)) return work_.nameidx;
    for (int e = 1; e <= static_cast<int>(names.size()); ++e)
        if (holds(e)) return e;
    return 0;
}

void TfmFlt::Show() {
    chbVon->setChecked(work_.vonein != 0);
    chbBis->setChecked(work_.bisein != 0);
    ShowDateTime(dtVon, tmVon, work_.von, false);
    ShowDateTime(dtBis, tmBis, work_.bis, true);
    SetChecked(chlbStatus, 0, work_.okein != 0);
    SetChecked(chlbStatus, 1, work_.fehlein != 0);
    for (int i = 0; i < 4; ++i) SetChecked(chlbQuelle, i, (work_.ekbits & (1 << i)) != 0);
    ShowMask(chlbQ1, work_.qmask1);
    ShowMask(chlbQ2, work_.qmask2);
    for (size_t k = 0; k < rows.size(); ++k) {
        const T_FilterZeile& z = work_.z[k];
        Row& r = rows[k];
        SelectEntry(r.rel, z.rel);
        SelectEntry(r.vgl, z.vgl);
        int32_t w1 = z.w1, w2 = z.w2;
        // An unused number row proposes the whole log.
        if (r.field == 5 && w1 == 0 && w2 == 0) {
            w1 = 1;
            w2 = env_.telegramCount;
        }
        r.w1->setText(QString::number(w1));
        r.w2->setText(QString::number(w2));
        MarkError(r.w1, false);
        MarkError(r.w2, false);
    }
}

bool TfmFlt::ReadControls() {
    T_Filter f = work_;
    QWidget* firstBad = nullptr;
    for (size_t k = 0; k < rows.size(); ++k) {
        Row& r = rows[k];
        int64_t max = FilterFieldMax(r.field, ap_);
        int v[2] = {0, 0};
        QLineEdit* e[2] = {r.w1, r.w2};
        for (int i = 0; i < 2; ++i) {
            // An empty value field counts as 0.
            if (e[i]->text().trimmed().isEmpty()) {
                MarkError(e[i], false);
                continue;
            }
            if (!ReadIntField(e[i], 0, static_cast<int>(max), v[i]) && !firstBad) firstBad = e[i];
        }
        T_FilterZeile& z = f.z[k];
        if (r.rel->currentIndex() >= 0) z.rel = r.rel->currentIndex();
        if (r.vgl->currentIndex() >= 0) z.vgl = r.vgl->currentIndex();
        z.w1 = v[0];
        z.w2 = v[1];
    }
    if (firstBad) {
        firstBad->setFocus();
        return false;
    }
    f.vonein = chbVon->isChecked() ? 1 : 0;
    f.bisein = chbBis->isChecked() ? 1 : 0;
    f.von = ReadDateTime(dtVon, tmVon);
    f.bis = ReadDateTime(dtBis, tmBis);
    if (chlbStatus->count() == 2) {
        f.okein = IsChecked(chlbStatus, 0) ? 1 : 0;
        f.fehlein = IsChecked(chlbStatus, 1) ? 1 : 0;
    }
    if (chlbQuelle->count() == 4) {
        f.ekbits = 0;
        for (int i = 0; i < 4; ++i)
            if (IsChecked(chlbQuelle, i)) f.ekbits |= 1 << i;
    }
    f.qmask1 = MaskOf(chlbQ1, f.qmask1);
    f.qmask2 = MaskOf(chlbQ2, f.qmask2);
    f.ilo = FocusIndex();
    NormaliseFilter(f, ap_);
    work_ = f;
    return true;
}

void TfmFlt::showEvent(QShowEvent* e) {
    FormDialog::showEvent(e);
    if (!restored_) {
        restored_ = true;
        RestoreFocus(work_.ilo);
    }
}

void TfmFlt::ChooseName(int index) {
    if (index < 1 || index > static_cast<int>(names.size())) return;
    if (LoadFile(PathOf(names[static_cast<size_t>(index - 1)]))) {
        work_.nameidx = static_cast<uint8_t>(std::min(index, 254));
        cbName->setCurrentIndex(index);
    }
}

bool TfmFlt::LoadFile(const std::string& path) {
    T_Filter f = work_;
    if (!LoadNamedFilter(path, f, ap_)) return false; // not a filter file: ignored
    work_ = f;
    Show();
    // A file of the data directory is known by its name from now on.
    std::filesystem::path p(path);
    if (std::filesystem::path(env_.dataDir) / p.filename() == p && p.extension() == "." + ext_) {
        int i = AddName(p.stem().string());
        cbName->setCurrentIndex(i);
        work_.nameidx = static_cast<uint8_t>(std::min(i, 254));
    }
    return true;
}

bool TfmFlt::SaveFile(const std::string& path) {
    if (!ReadControls()) return false;
    if (!SaveNamedFilter(path, work_)) return false;
    std::filesystem::path p(path);
    if (std::filesystem::path(env_.dataDir) / p.filename() == p && p.extension() == "." + ext_) {
        int i = AddName(p.stem().string());
        cbName->setCurrentIndex(i);
        work_.nameidx = static_cast<uint8_t>(std::min(i, 254));
    }
    return true;
}

void TfmFlt::Reset() {
    T_Filter f{};
    f.nameidx = kNoName;
    NormaliseFilter(f, ap_);
    work_ = f;
    cbName->setCurrentIndex(0);
    cbName->setEditText(QString());
    MarkError(cbName, false);
    Show();
}

void TfmFlt::Delete() {
    std::string name = Ss(cbName->currentText().trimmed());
    if (name.empty()) return;
    if (msg_.Ask(Format(texts().tx(kTxAskDelete), {name})) != Answer::Yes) return;
    int i = NameIndex(name);
    if (i > 0) {
        names.erase(names.begin() + (i - 1));
        cbName->removeItem(i);
    }
    if (ValidFilterName(name)) {
        std::error_code ec;
        std::filesystem::remove(PathOf(name), ec);
    }
    Reset();
    if (i > 0) {
        // The filter may have referred to the deleted name: the cleared filter takes its place
        // at once, whatever the dialog ends with.
        f_ = work_;
        cleared_ = true;
    }
}

void TfmFlt::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    QAction* load = menu.addAction(tx(kTxLoad));
    QAction* save = menu.addAction(tx(kTxSave));
    QAction* chosen = menu.exec(e->globalPos());
    std::string name = Ss(cbName->currentText().trimmed());
    QString proposed = Qs(env_.dataDir + (name.empty() ? std::string("Filter") : name));
    if (chosen == load) {
        QString p =
            QFileDialog::getOpenFileName(this, tx(kTxLoad), Qs(env_.dataDir), tx(kTxFileFilter));
        if (!p.isEmpty()) LoadFile(Ss(p));
    } else if (chosen == save) {
        QFileDialog dlg(this, tx(kTxSave), proposed, tx(kTxFileFilter));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(Qs(ext_));
        dlg.selectFile(proposed);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            SaveFile(Ss(dlg.selectedFiles().first()));
    }
}

bool TfmFlt::Confirm() {
    if (!ReadControls()) return false;
    std::string name = Ss(cbName->currentText().trimmed());
    if (name.empty()) {
        work_.nameidx = kNoName;
    } else {
        bool ok = ValidFilterName(name);
        int entry = ok ? AddName(name) : 0;
        if (ok) {
            work_.nameidx = static_cast<uint8_t>(std::min(entry, 254));
            ok = SaveNamedFilter(PathOf(name), work_);
        }
        // A name that makes no file here, or a file that cannot be written, keeps the dialog
        // open with the name marked.
        MarkError(cbName, !ok);
        if (!ok) {
            cbName->setFocus();
            return false;
        }
    }
    f_ = work_;
    return true;
}

FilterEdit EditFilter(QWidget* main, const TextTable& t, Messages& msg, const T_AllgPar& ap,
                      const FilterDialogEnv& env, T_Filter& f) {
    TfmFlt dlg(t, msg, ap, env, f, main);
    if (dlg.exec() == QDialog::Accepted) return FilterEdit::Ok;
    return dlg.Cleared() ? FilterEdit::Cleared : FilterEdit::Cancel;
}

} // namespace vdl
