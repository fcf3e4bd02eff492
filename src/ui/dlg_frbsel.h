// The colour table dialog: a colour pair for each of the 256 types or causes.
#pragma once

#include "core/settings_records.h"
#include "ui/form_texts.h"

class QListWidget;

namespace vdl {

struct T_AllgVar;

class TfmFrbSel : public FormDialog {
    Q_OBJECT
public:
    // kind: 0 causes, 1 types (kFrbCauses, kFrbTypes).
    TfmFrbSel(const TextTable& t, const T_AllgVar& av, int kind, T_TypUrsFarben& table,
              QWidget* main);

    // The table as edited so far (changes are stored at once, handed back on OK).
    const T_TypUrsFarben& Work() const { return work_; }

    QListWidget* lbEntries;
    QListWidget* lbVg; // foreground: palette 0..19
    QListWidget* lbHg; // background

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;

private:
    void OnEntry(int i);
    void OnColour();
    void DrawEntry(int i);

    const T_AllgVar& av_;
    int kind_;
    T_TypUrsFarben& table_;
    T_TypUrsFarben work_;
    bool showing_ = false; // an entry's pair is being shown, not chosen
    bool restored_ = false;
};

// Edits a colour table; true on OK. The caller compares the colours (ColourTablesDiffer) to
// decide whether send data became unsaved.
bool EditColourTable(QWidget* main, const TextTable& t, const T_AllgVar& av, int kind,
                     T_TypUrsFarben& table);

} // namespace vdl
