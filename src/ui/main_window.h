// The single main window of the desktop program.
#pragma once

#include <QMainWindow>

namespace vdl {

class Program;

class TfmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(Program& prog, QWidget* parent = nullptr);

    // Loads every caption from the program text table (also after a language change).
    void ApplyTexts();

private:
    Program& prog_;
};

} // namespace vdl
