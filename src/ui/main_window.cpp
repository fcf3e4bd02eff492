#include "ui/main_window.h"

#include "app/program.h"

#include <QApplication>

namespace vdl {

TfmMain::TfmMain(Program& prog, QWidget* parent) : QMainWindow(parent), prog_(prog) {
    resize(900, 600);
    ApplyTexts();
}

void TfmMain::ApplyTexts() {
    QString caption = QString::fromStdString(prog_.Caption());
    setWindowTitle(caption);
    QApplication::setApplicationName(caption);
}

} // namespace vdl
