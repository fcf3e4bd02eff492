#include "ui/dlg_typ.h"

#include "ui/form_texts.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vdl {

TfmTyp::TfmTyp(const PickList& list, int left, int top, int mainHeight, QWidget* parent)
    : QDialog(parent) {
    setObjectName("TfmTyp");
    setWindowTitle(Qs(list.caption));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    lbTyp = new QListWidget(this);
    lbTyp->setObjectName("lbTyp");
    lbTyp->setUniformItemSizes(true); // long object lists stay quick
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::Monospace);
    lbTyp->setFont(f);
    int longest = list.widthChars;
    for (const PickEntry& e : list.entries) {
        lbTyp->addItem(Qs(e.text));
        longest = std::max(longest, static_cast<int>(Qs(e.text).size()));
    }
    l->addWidget(lbTyp);
    if (list.selected >= 0) {
        lbTyp->setCurrentRow(list.selected);
        lbTyp->scrollToItem(lbTyp->item(list.top), QAbstractItemView::PositionAtTop);
    }
    const PickGeometry g = PickerGeometry(left, top, mainHeight, longest);
    setGeometry(g.x, g.y, g.w, g.h);
    connect(lbTyp, &QListWidget::itemDoubleClicked, this, [this] {
        if (Chosen() >= 0) accept();
    });
}

int TfmTyp::Chosen() const {
    QListWidgetItem* it = lbTyp->currentItem();
    return it && it->isSelected() ? lbTyp->row(it) : -1;
}

void TfmTyp::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (Chosen() >= 0) accept();
        return;
    }
    QDialog::keyPressEvent(e); // Escape: Cancel
}

bool Pick(QWidget* parent, int left, int top, int mainHeight, int mode, T_SeLiObj& obj,
          uint32_t& ca, int n, const PickEnv& env) {
    const PickList list = BuildPickList(mode, obj, ca, n, env);
    TfmTyp dlg(list, left, top, mainHeight, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    return TakePick(mode, list, dlg.Chosen(), obj, ca);
}

} // namespace vdl
