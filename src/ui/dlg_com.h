// The channel parameter dialog: the operating parameters of one channel on two pages.
#pragma once

#include "core/records.h"
#include "link/port_names.h"
#include "ui/form_texts.h"

#include <string>
#include <vector>

class QFormLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace vdl {

// What the dialog needs besides the channel's parameters.
struct ChannelDialogEnv {
    char khex = '$';         // hexadecimal prefix of link addresses
    int lgla = 1;            // link address length of the general settings (0 disables the list)
    bool formatFree = false; // option 9: the character format is free
    std::vector<int> ports;  // ports found on the system and bound ones (EnumeratePorts)
    int otherPort = 0;       // port of the other channel, left out of the list
    // The devices of the port numbers; a device typed into the port entry is bound here. The
    // dialog keeps its own when none is given.
    PortNames* names = nullptr;
};

class TfmCom : public FormDialog {
    Q_OBJECT
public:
    // channel: 0 or 1. The character format rule is applied to bp at once (it stays applied
    // on Cancel); OK writes the controls into bp.
    TfmCom(const TextTable& t, const ChannelDialogEnv& env, int channel, T_BetriebsPar& bp,
           QWidget* main);

    // The port number the port entry holds now.
    int PortNumber() const;
    // The time-out the dialog proposes for the controls as they stand.
    void RecalcTimeout();

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;

private:
    void AddComboRow(QFormLayout* f, QComboBox*& cb, int n, const char* name);
    QLabel* AddEntryRow(QFormLayout* f, QLineEdit*& e, int n, const char* name);
    void BuildPage1();
    void BuildPage2();
    void Fill();
    void OnFunction(int fkt);
    void OnProcedure(int pro);
    void OnPortEdited();
    void UpdateModeTexts();
    int CurrentBaud() const;

    PortNames& Names() const { return env_.names ? *env_.names : ownNames_; }

    ChannelDialogEnv env_;
    mutable PortNames ownNames_;
    T_BetriebsPar& bp_;
    QTabWidget* pages_ = nullptr;
    bool ascii_ = false;
    bool restored_ = false;

public:
    // Controls, named as the program names them (tests reach them through findChild too).
    QComboBox *cbFktn, *cbProt, *cbRiBit, *cbVwE5, *cbAbfr, *cbBefCon, *cbSpikes;
    QLineEdit *sfLinkAdr, *edZyZtV;
    QLabel* lblZyZtV;
    QListWidget* chlbAend;
    QLineEdit* sfLogText;
    QComboBox *cbCom, *cbBaud, *cbPari, *cbData, *cbStop, *cbFRts;
    QLineEdit *edTeLg, *edTimeOut, *edWiedH, *edZyZtLink, *edSVerz, *edTVor, *edTNach;
    QLabel *lblTeLg, *lblTimeOut;
    std::vector<int> portNumbers; // port number of each entry of cbCom
};

// Runs the dialog for channel 0 or 1 on bp. Returns true on OK (bp holds the new parameters);
// on Cancel bp holds the old ones with the character format rule applied.
bool EditChannelParams(QWidget* main, const TextTable& t, const ChannelDialogEnv& env, int channel,
                       T_BetriebsPar& bp);

} // namespace vdl
