// vordal: the desktop program.
#include "app/program.h"
#include "ui/main_window.h"
#include "ui/qt_messages.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vdl::QtMessages msg;
    msg.SetUnattended(qgetenv("VORDAL_MESSAGES") == "stderr");
    vdl::Program prog(QApplication::applicationDirPath().toStdString() + "/", msg);
    if (!prog.LoadStartTexts()) return vdl::kExitNoTexts;
    vdl::TfmMain w(prog);
    msg.SetParent(&w);
    w.show();
    return app.exec();
}
