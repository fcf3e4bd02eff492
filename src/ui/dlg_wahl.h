// The dialling window of channel 1: the modem check box, the automatic answer, four command
// strings with a send button each, the hang-up string with its button, a DTR button, the
// connect message, the maximum connection time and the idle time-out, and the program status
// and DCD line refreshed every 16 ticks. Non-modal, only one at a time; OK or Escape takes
// over all fields, and changed settings are offered for saving. A pop-up menu loads and saves
// modem files.
#pragma once

#include "core/records.h"
#include "ui/form_texts.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vdl {

class Program;

class TfmWahl : public FormDialog {
    Q_OBJECT
public:
    // channel: 0 (channel 1).
    TfmWahl(Program& p, int channel, QWidget* main);

    // The program status and the DCD line (every 16 ticks).
    void Refresh();
    // Loads a modem file into the fields (a file that is no modem file is ignored) or saves
    // the fields as one; a name from the file dialog when empty.
    void LoadFile(const QString& file = {});
    void SaveFile(const QString& file = {});
    // Escape (and closing the window) takes the fields over as OK does.
    void reject() override;

    QCheckBox *chbModem, *chbAta;
    std::array<QLineEdit*, 4> edAt{};
    std::array<QPushButton*, 4> btnAt{};
    QLineEdit *edBreak, *edConnect, *edDauer, *edLink;
    QPushButton *btnBreak, *btnDtr;
    QLabel *lblStatus, *lblDcd;
    QMenu* pmWahl;

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;

private:
    void Show(const T_Modem& m);
    // The fields as a record; false (the first bad field marked) when a number is out of range.
    bool Fields(T_Modem& m);
    void Send(int i);

    Program& p_;
    int channel_;
    T_Modem opened_;
    bool restored_ = false;
};

// Opens the dialling window of channel 1, or brings the open one to the front.
TfmWahl* ShowDialling(QWidget* main, Program& p);
// The open dialling window, or nullptr.
TfmWahl* OpenDialling();

} // namespace vdl
