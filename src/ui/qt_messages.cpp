#include "ui/qt_messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <iostream>

namespace vdl {

namespace {

int Show(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
         QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QApplication::applicationName(), QString::fromStdString(text), buttons,
                    parent);
    if (parent) {
        if (parent->isMinimized()) parent->showNormal();
        QRect g = parent->frameGeometry();
        box.adjustSize();
        box.move(g.left() + g.width() / 5, g.top() + g.height() / 4);
    }
    return box.exec();
}

} // namespace

void QtMessages::Error(const std::string& text) {
    if (unattended_) {
        std::cerr << text << "\n";
        return;
    }
    Show(parent_, QMessageBox::Critical, text, QMessageBox::Ok);
}

void QtMessages::Info(const std::string& text) {
    if (unattended_) {
        std::cerr << text << "\n";
        return;
    }
    Show(parent_, QMessageBox::Information, text, QMessageBox::Ok);
}

Answer QtMessages::Ask(const std::string& text, bool cancel) {
    if (unattended_) {
        std::cerr << text << "\n";
        return Answer::No;
    }
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (cancel) buttons |= QMessageBox::Cancel;
    int r = Show(parent_, QMessageBox::Question, text, buttons);
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

} // namespace vdl
