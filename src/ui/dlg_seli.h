// The send list editor: one list at a time, its header (name, trigger, sender, cycles, objects
// per cycle, pause, transmission kind or class, station, originator and common address) and its
// 3000 objects in a table that asks only for the rows it shows. It works on a copy; OK and Send
// store it (Send then starts the list from the cursor row and follows its cycles), Escape leaves
// without storing (asking when it changed). The rules live in the send subsystem (seli_form).
#pragma once

#include "send/seli.h"
#include "send/seli_form.h"
#include "ui/form_texts.h"
#include "ui/row_table.h"

class QComboBox;
class QLabel;
class QPushButton;
class QFormLayout;
class QLayout;
class QLineEdit;

namespace vdl {

class Program;
class RowTableModel;
class RowTableView;

class TfmSeLi : public FormDialog {
    Q_OBJECT
public:
    TfmSeLi(Program& p, int n, QWidget* main);

    int Number() const { return n_; }
    // Reads the header fields and stores the copy; false (the first invalid field or cell
    // marked) keeps the editor open.
    bool Store();
    // The Send button: stores, then starts the list from the cursor row.
    void SendNow();
    // A cycle of the running list ended: counter readings and the cursor follow it.
    void CycleEnded();
    bool LoadFrom(const std::string& path);
    bool SaveTo(const std::string& path);
    void Copy();
    void Cut();
    void Paste();
    const SeLi& Buffer() const { return buf_; }
    void reject() override;

    QLineEdit *sfBez, *sfTypn, *sfSender, *sfAnzt, *sfAnzo, *sfWzt, *sfHk, *sfCa;
    QComboBox *cbAnst, *cbUeb, *cbKlasse, *cbStation;
    RowTableView* grid;
    QPushButton* btnSend;
    QLabel* lblTypn;

protected:
    bool Confirm() override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Fill();
    void OnTrigger();
    void OnSender();
    bool ReadHeader(bool mark);
    void ShowColumns();
    void ShowHintOfCell();
    void PickCell(int row, int col);
    void ShowMenu(const QPoint& at);
    RowEditing Editing();
    SeLiFormEnv FormEnv() const;
    SeTeTextEnv TextEnv() const;

    Program& p_;
    int n_;
    SeLi buf_;
    RowTableModel* model_ = nullptr;
    QFormLayout* form_ = nullptr;
    QLayout* addrRow_ = nullptr;
    bool restored_ = false;
};

} // namespace vdl
