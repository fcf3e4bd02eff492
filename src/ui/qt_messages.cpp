#include "ui/qt_messages.h"

#include "core/text_table.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <iostream>

namespace vdl {

void LocaliseButtons(QMessageBox& box, const TextTable& t) {
    QString standard = QString::fromStdString(t.tx(2077));
    QString own = QString::fromStdString(t.tx(2076));
    for (QAbstractButton* b : box.buttons()) {
        QString caption = b->text();
        if (caption.isEmpty()) continue;
        qsizetype pos = standard.indexOf(caption);
        if (pos < 0) continue;
        QString c = own.mid(pos, 10).trimmed();
        if (!c.isEmpty()) b->setText(c);
    }
}

int QtMessages::Show(int icon, const std::string& text, int buttons) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), QApplication::applicationName(),
                    QString::fromStdString(text),
                    static_cast<QMessageBox::StandardButtons>(buttons), parent_);
    // Questions in German carry the program's own button captions; OK boxes and other
    // languages keep the standard ones.
    if (texts_ && language_ && *language_ == 0 && buttons != QMessageBox::Ok)
        LocaliseButtons(box, *texts_);
    if (parent_) {
        if (parent_->isMinimized()) parent_->showNormal();
        QRect g = parent_->frameGeometry();
        box.adjustSize();
        box.move(g.left() + g.width() / 5, g.top() + g.height() / 4);
    }
    return box.exec();
}

void QtMessages::Error(const std::string& text) {
    if (unattended_) {
        std::cerr << text << "\n";
        return;
    }
    Show(QMessageBox::Critical, text, QMessageBox::Ok);
}

void QtMessages::Info(const std::string& text) {
    if (unattended_) {
        std::cerr << text << "\n";
        return;
    }
    Show(QMessageBox::Information, text, QMessageBox::Ok);
}

Answer QtMessages::Ask(const std::string& text, bool cancel) {
    if (unattended_) {
        std::cerr << text << "\n";
        return Answer::No;
    }
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (cancel) buttons |= QMessageBox::Cancel;
    int r = Show(QMessageBox::Question, text, static_cast<int>(buttons));
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

} // namespace vdl
