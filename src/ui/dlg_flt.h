// The filter dialog: the display filter or the log filter, with named filters saved in the data
// directory.
#pragma once

#include "core/settings_records.h"
#include "ui/form_texts.h"

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;

namespace vdl {

class Messages;

struct FilterDialogEnv {
    std::string dataDir;       // where named filters live (with a trailing separator)
    int32_t telegramCount = 0; // telegrams in the log: proposed range of the number row
    bool logFilter = false;    // the log filter (caption 693, help 6300), else the display filter
};

enum class FilterEdit {
    Cancel,  // nothing changed
    Ok,      // f holds the edited, normalised filter
    Cleared, // cancelled after a named filter was deleted: f holds the cleared filter
};

class TfmFlt : public FormDialog {
    Q_OBJECT
public:
    TfmFlt(const TextTable& t, Messages& msg, const T_AllgPar& ap, const FilterDialogEnv& env,
           T_Filter& f, QWidget* main);

    struct Row {
        int32_t field = 0;
        QLabel* label = nullptr;
        QComboBox* rel = nullptr;
        QLineEdit* w1 = nullptr;
        QComboBox* vgl = nullptr;
        QLineEdit* w2 = nullptr;
    };

    // The filter as the controls show it (not normalised, not validated).
    const T_Filter& Work() const { return work_; }
    bool Cleared() const { return cleared_; }

    // Choosing a name in the list loads that file; the pop-up menu's Load and Save.
    void ChooseName(int index);
    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path);
    void Reset();
    void Delete();

    QCheckBox *chbVon, *chbBis;
    QDateEdit *dtVon, *dtBis;
    QTimeEdit *tmVon, *tmBis;
    QListWidget *chlbStatus, *chlbQuelle, *chlbQ1, *chlbQ2;
    QComboBox* cbName;
    QPushButton *btnReset, *btnDelete;
    std::vector<Row> rows;
    std::vector<std::string> names; // entries of cbName after the empty first one

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void Show();
    bool ReadControls(); // validates and writes the controls into work_
    std::string PathOf(const std::string& name) const;
    int NameIndex(const std::string& name) const; // list entry, 0 when none
    int AddName(const std::string& name);
    void FillNames();
    int StoredNameEntry();

    Messages& msg_;
    const T_AllgPar& ap_;
    FilterDialogEnv env_;
    T_Filter& f_;
    T_Filter work_;
    std::string ext_;
    bool cleared_ = false;
    bool restored_ = false;
};

// Runs the dialog on f (a copy of the display or log filter). The caller takes f unless the
// result is Cancel and then sets the filter's active byte to its defined field.
FilterEdit EditFilter(QWidget* main, const TextTable& t, Messages& msg, const T_AllgPar& ap,
                      const FilterDialogEnv& env, T_Filter& f);

} // namespace vdl
