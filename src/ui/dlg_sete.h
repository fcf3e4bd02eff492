// The send telegram editor: one telegram at a time, its sending rules and its ASDU (type,
// cause, addresses, value, quality, time tag) or raw bytes. It works on a copy; OK and Send
// store it, Send then requests it, Escape leaves without storing (asking when it changed). Its
// rules live in the send subsystem (sete_form); the window binds them to controls.
#pragma once

#include "send/sete.h"
#include "send/sete_form.h"
#include "ui/form_texts.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace vdl {

class Program;

// Fills a station selector with the stations of the sending channel (StationChoices) and selects
// the station index, the first station when the index is beyond the channel's addresses.
// False when the channel offers no station to choose (the selector is then hidden).
bool FillStationSelector(QComboBox* cb, const T_ComVar& c, int lgla, int laidx);

class TfmSeTe : public FormDialog {
    Q_OBJECT
public:
    // Opens on telegram n (1..12) of the program; main is the main window.
    TfmSeTe(Program& p, int n, QWidget* main);

    int Number() const { return n_; }
    // Reads and checks the fields; when all are valid the copy replaces the telegram. False
    // (the first invalid field marked and focused) keeps the editor open.
    bool Store();
    // The Send button: stores, then requests the telegram.
    void SendNow();
    // Load and save of a telegram text file (the menu asks for the file first).
    bool LoadFrom(const std::string& path);
    bool SaveTo(const std::string& path);
    // The copy as the fields stand, without storing; false when a field is invalid.
    bool ReadFields(T_SeTe& out, bool mark);
    // Shows the stored telegram again (after Send with the counter option).
    void Reload();
    // The copy being edited.
    const T_SeTe& Buffer() const { return buf_; }
    // The picker of the common address (mode 4) or the object address (mode 3).
    void PickAddress(bool objectAddress);
    // Escape and Cancel: leaves at once when nothing changed, else after a question.
    void reject() override;

    // Controls, named as the program names them.
    QLineEdit *sfBez, *sfTypn, *sfSender, *sfAnzt, *sfWzt, *sfHk, *sfCa, *sfOa, *sfWert, *sfZus;
    QLineEdit *sfDatum, *sfZeit, *sfMs;
    QComboBox *cbAnst, *cbUeb, *cbKlasse, *cbStation, *cbTyp, *cbUrs, *cbFrz, *cbDatei;
    QListWidget *chlbTn, *chlbQua, *chlbZt1, *chlbZt2;
    QCheckBox* chbTrans;
    QPlainTextEdit* meBytes;
    QLabel *lblTypn, *lblWert, *lblZus;
    QPushButton* btnSend;

protected:
    bool Confirm() override { return Store(); }
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QLabel* Row(QWidget* w, const QString& label);
    void Fill();
    void OnTrigger();
    void OnSender();
    void OnType(int pick, bool byUser);
    void ShowControls();
    void FillCauses();
    void FillFiles();
    void ShowValue();
    void Step(QLineEdit* e, int delta);
    void ShowMenu(const QPoint& at);
    const T_ComVar& Channel() const;
    int Typ() const;

    Program& p_;
    int n_;
    T_SeTe buf_;
    TypeControls ctl_;
    QFormLayout* form_ = nullptr;
    std::vector<int> causes_;
    bool restored_ = false;
};

} // namespace vdl
