// The output dialog: the whole log, as far as it passes the display filter, in the present view
// format into a text file, onto a printer (or a PDF file through the printing), or into a new
// log file; with a progress bar and a Cancel that stops a running output.
#pragma once

#include "log/output_form.h"
#include "ui/form_texts.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace vdl {

class LocaleFormats;
class Program;

class TfmDruk : public FormDialog {
    Q_OBJECT
public:
    TfmDruk(Program& p, const LocaleFormats& loc, QWidget* main);

    // The output kind shown (0 text file, 1 printer, 2 log file).
    int Kind() const;
    void SetKind(int kind);
    QLineEdit* nameField() const { return edFile_; }
    QComboBox* printers() const { return pcbDruk_; }
    QProgressBar* progress() const { return bar_; }
    bool Running() const { return running_; }
    bool Ran() const { return ran_; }

    // Where a chosen file name comes from (a save dialog; tests give their own).
    std::function<QString(const QString& dir)> askFile;

protected:
    bool Confirm() override;
    void reject() override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    OutputTarget Target() const;
    bool PdfChosen() const;
    void KindChanged();
    void ChooseFile();
    bool Run(const std::string& name);

    Program& p_;
    const LocaleFormats& loc_;
    QButtonGroup* rgrAusg_ = nullptr;
    QComboBox* pcbDruk_ = nullptr;
    QLineEdit* edFile_ = nullptr;
    QLabel* lblDir_ = nullptr;
    QLabel* lblFile_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* help_ = nullptr;
    bool running_ = false;
    bool cancel_ = false;
    bool ran_ = false;
};

// miLogDrucken: runs the dialog; true when an output ran.
bool RunOutputDialog(QWidget* main, Program& p, const LocaleFormats& loc);

} // namespace vdl
