#include "ui/form_texts.h"

#include "core/form_rules.h"
#include "core/text_table.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace vdl {

namespace {

std::function<void(int)>& HelpHandler() {
    static std::function<void(int)> h;
    return h;
}

// Background of a field whose entry is refused.
const char* const kErrorStyle = "background-color: rgb(255, 211, 211);";

} // namespace

QString Qs(const std::string& s) {
    return QString::fromStdString(s);
}
std::string Ss(const QString& s) {
    return s.toStdString();
}

void MarkError(QWidget* w, bool error) {
    if (!w || IsMarked(w) == error) return;
    w->setProperty("vdlError", error);
    w->setStyleSheet(error ? kErrorStyle : "");
}

bool IsMarked(const QWidget* w) {
    return w && w->property("vdlError").toBool();
}

void SetHint(QWidget* w, int n) {
    w->setProperty("vdlHint", n);
}

void SetHintText(QWidget* w, const QString& hint) {
    w->setProperty("vdlHintText", hint);
}

int HintOf(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property("vdlHint");
        if (v.isValid()) return v.toInt();
        if (w->isWindow()) break;
    }
    return 0;
}

bool ReadIntField(QLineEdit* e, int lo, int hi, int& v) {
    bool ok = false;
    qlonglong x = e->text().trimmed().toLongLong(&ok);
    ok = ok && x >= lo && x <= hi;
    MarkError(e, !ok);
    if (ok) v = static_cast<int>(x);
    return ok;
}

void FillCheckList(QListWidget* lb, const std::string& commaText) {
    lb->clear();
    for (const std::string& e : CommaList(commaText)) {
        auto* it = new QListWidgetItem(Qs(e), lb);
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        it->setCheckState(Qt::Unchecked);
    }
}

bool IsChecked(const QListWidget* lb, int row) {
    const QListWidgetItem* it = lb->item(row);
    return it && it->checkState() == Qt::Checked;
}

void SetChecked(QListWidget* lb, int row, bool on) {
    if (QListWidgetItem* it = lb->item(row)) it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

void FillCombo(QComboBox* cb, const std::vector<std::string>& entries) {
    cb->clear();
    for (const std::string& e : entries) cb->addItem(Qs(e));
    if (cb->count() > 0) cb->setCurrentIndex(0);
}

void SelectEntry(QComboBox* cb, int index) {
    cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : (cb->count() ? 0 : -1));
}

FormDialog::FormDialog(const TextTable& t, QWidget* parent) : QDialog(parent), t_(t) {
    auto* outer = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    outer->addLayout(body_);
    // The hint line wraps: a long hint shows whole, on two lines where one is too short.
    bar_ = new QLabel(this);
    bar_->setObjectName("lblHint");
    bar_->setWordWrap(true);
    bar_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    bar_->setContentsMargins(4, 2, 4, 2);
    bar_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bar_->setMinimumHeight(2 * bar_->fontMetrics().lineSpacing() + 8);
    outer->addWidget(bar_);
    connect(qApp, &QApplication::focusChanged, this, &FormDialog::OnFocusChanged);
}

QString FormDialog::tx(int n) const {
    return Qs(t_.tx(n));
}

QLabel* FormDialog::MakeLabel(int n) {
    return new QLabel(tx(n), this);
}

QPushButton* FormDialog::MakeButton(int n) {
    auto* b = new QPushButton(tx(n), this);
    b->setAutoDefault(false);
    SetHint(b, kHintButton);
    return b;
}

QCheckBox* FormDialog::MakeCheck(int n) {
    auto* c = new QCheckBox(tx(n), this);
    SetHint(c, kHintChoice);
    return c;
}

QComboBox* FormDialog::MakeCombo(int n, QLabel** label) {
    auto* cb = new QComboBox(this);
    FillCombo(cb, ComboEntries(t_, n));
    SetHint(cb, kHintChoice);
    if (label) {
        *label = MakeLabel(n);
        (*label)->setBuddy(cb);
    }
    return cb;
}

QLineEdit* FormDialog::MakeEntry(int n, QLabel** label) {
    auto* e = new QLineEdit(this);
    e->setTextMargins(5, 0, 0, 0);
    SetHint(e, n + 1);
    e->installEventFilter(this);
    if (label) {
        *label = MakeLabel(n);
        (*label)->setBuddy(e);
    }
    return e;
}

QListWidget* FormDialog::MakeCheckList(int entriesText, int hint) {
    auto* lb = new QListWidget(this);
    FillCheckList(lb, t_.tx(entriesText));
    SetHint(lb, hint);
    return lb;
}

void FormDialog::AddButtons(int helpContext) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    ok_ = MakeButton(kTxOk);
    ok_->setDefault(true);
    cancel_ = MakeButton(kTxCancel);
    QPushButton* help = help_ = MakeButton(kTxHelp);
    row->addWidget(ok_);
    row->addWidget(cancel_);
    row->addWidget(help);
    body_->addLayout(row);
    connect(ok_, &QPushButton::clicked, this, &FormDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &FormDialog::reject);
    connect(help, &QPushButton::clicked, this, [helpContext] { OpenHelp(helpContext); });
    // F1 anywhere in the dialog opens the same page.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [helpContext] { OpenHelp(helpContext); });
}

void FormDialog::OpenHelp(int context) {
    if (HelpHandler()) HelpHandler()(context);
}

QString FormDialog::ShownHint() const {
    return bar_->text();
}

void FormDialog::ShowHintOf(QWidget* w) {
    const QVariant own = w ? w->property("vdlHintText") : QVariant();
    if (own.isValid()) {
        bar_->setText(own.toString());
        return;
    }
    int n = HintOf(w);
    bar_->setText(n > 0 ? tx(n) : QString());
}

void FormDialog::SetFocusOrder(std::vector<QWidget*> order) {
    order_ = std::move(order);
}

int FormDialog::FocusIndex() const {
    return lastIndex_ < 0 ? 0 : lastIndex_;
}

void FormDialog::RestoreFocus(int ilo) {
    if (ilo < 0 || ilo >= static_cast<int>(order_.size())) return;
    QWidget* w = order_[static_cast<size_t>(ilo)];
    if (w->isEnabled()) {
        w->setFocus();
        lastIndex_ = ilo;
    }
}

void FormDialog::SetEnterAction(QLineEdit* e, std::function<void()> action) {
    enterActions_.emplace_back(e, std::move(action));
}

void FormDialog::PlaceBesideMain(QWidget* main) {
    if (!main) return;
    adjustSize();
    QRect m = main->frameGeometry();
    QScreen* s = main->screen();
    QRect sg = s ? s->availableGeometry() : QRect(0, 0, 1 << 15, 1 << 15);
    int left = sg.left() +
               DialogLeft(m.left() - sg.left(), m.width(), sg.width(), frameGeometry().width());
    move(left, m.top() + kDialogTopOffset);
}

void FormDialog::accept() {
    if (Confirm()) QDialog::accept();
}

void FormDialog::SetHelpHandler(std::function<void(int)> handler) {
    HelpHandler() = std::move(handler);
}

bool FormDialog::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == 0) {
            for (auto& [field, action] : enterActions_)
                if (field == o) {
                    action();
                    return true;
                }
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

void FormDialog::OnFocusChanged(QWidget*, QWidget* now) {
    if (!now || !isAncestorOf(now)) return;
    ShowHintOf(now);
    for (size_t i = 0; i < order_.size(); ++i)
        if (order_[i] == now || order_[i]->isAncestorOf(now)) lastIndex_ = static_cast<int>(i);
}

} // namespace vdl
