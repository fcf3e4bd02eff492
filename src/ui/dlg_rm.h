// The command feedback dialog: the switch, the delay of the return information and the table
// of 1000 entries. Modal; it edits the live table and gives it back as it was on Cancel.
#pragma once

#include "send/feedback.h"
#include "send/sete_files.h"
#include "ui/form_texts.h"
#include "ui/row_table.h"

class QComboBox;
class QLineEdit;

namespace vdl {

class Program;
class RowTableModel;
class RowTableView;

class TfmRm : public FormDialog {
    Q_OBJECT
public:
    TfmRm(Program& p, QWidget* main);

    bool LoadFrom(const std::string& path);
    bool SaveTo(const std::string& path);
    void Copy();
    void Cut();
    void Paste();

    QComboBox* cbEin;
    QLineEdit* sfWzeit;
    RowTableView* grid;

protected:
    bool Confirm() override;
    void reject() override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ShowHintOfCell();
    void PickCell(int row, int col);
    void ShowMenu(const QPoint& at);
    RowEditing Editing();
    SeTeTextEnv TextEnv() const;

    Program& p_;
    T_RmTab kept_; // the table as it was when the dialog opened
    RowTableModel* model_ = nullptr;
};

// RunFeedbackDialog: the modal dialog on the program's table.
void RunFeedbackDialog(Program& p, QWidget* main);

} // namespace vdl
