// vordal: the desktop program.
#include "platform/program_host.h"
#include "ui/main_window.h"
#include "ui/qt_messages.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VDL_VERSION));
    vdl::QtMessages msg;
    msg.SetUnattended(qgetenv("VORDAL_MESSAGES") == "stderr");
    vdl::ProgramHost host(QApplication::applicationDirPath().toStdString() + "/", msg);
    switch (host.StartUp()) {
    case vdl::Program::StartResult::NoTexts:
        return vdl::kExitNoTexts;
    case vdl::Program::StartResult::NoSlot:
        return 0; // two instances run already
    case vdl::Program::StartResult::Run:
        break;
    }
    vdl::Program& prog = host.prog();
    vdl::TfmMain w(host);
    msg.SetParent(&w);
    msg.SetLanguage(&prog.texts, &prog.pp.sprache);
    w.onClose = [&host] { host.Shutdown(); };

    // --demo: channel 1 polls channel 2 on a virtual line of the program's own.
    std::vector<std::string> args;
    bool demo = false;
    QStringList qargs = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i) {
        if (qargs[i] == QStringLiteral("--demo"))
            demo = true;
        else
            args.push_back(qargs[i].toStdString());
    }
    host.Run(args);
    w.AfterStart();
    if (demo) host.StartDemo();
    w.show();
    return app.exec();
}
