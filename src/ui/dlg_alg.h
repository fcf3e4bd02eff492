// The general settings dialog: address lengths and structures, file transfer settings, the
// 100 % value, the log size and the data directory.
#pragma once

#include "core/settings_records.h"
#include "ui/form_texts.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace vdl {

class Messages;

class TfmAlg : public FormDialog {
    Q_OBJECT
public:
    // dataDir: the present data directory; on OK it holds the chosen one (with a trailing
    // separator). toolBarHeight: the dialog opens two tool-bar heights below the main window.
    TfmAlg(const TextTable& t, Messages& msg, char khex, T_AllgPar& ap, std::string& dataDir,
           QWidget* main, int toolBarHeight);

    QComboBox *cobxLLink, *cobxHerAdr, *cobxDatAdr, *cobxAbruf, *cobxIDX;
    QLineEdit *edStatAdr, *edObjAdr, *edMwVoll, *edTimeout, *edMaxLog, *edLogVerz;
    QCheckBox *chbSZt, *chbGen;
    QPushButton* btnVerz;

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;

private:
    void ChooseFolder();
    bool CheckDataDir();

    Messages& msg_;
    char khex_;
    T_AllgPar& ap_;
    std::string& dataDir_;
    bool restored_ = false;
};

// Runs the dialog on ap (a copy of the general settings). Returns true on OK: ap holds the
// edited settings and dataDir the chosen data directory, which the caller compares with the
// present one.
bool EditGeneralSettings(QWidget* main, int toolBarHeight, const TextTable& t, Messages& msg,
                         char khex, T_AllgPar& ap, std::string& dataDir);

} // namespace vdl
