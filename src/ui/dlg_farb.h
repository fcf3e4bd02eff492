// The display settings dialog: font size, gap between telegrams, quality highlight mask and
// the eight colour pairs of the log view.
#pragma once

#include "core/settings_records.h"
#include "ui/form_texts.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vdl {

constexpr int kFarbRows = 8;

class TfmFarb : public FormDialog {
    Q_OBJECT
public:
    TfmFarb(const TextTable& t, T_AusgPar& ausg, QWidget* main);

    QComboBox* cbSize;
    QLineEdit* sfLeerZl;
    QListWidget* chlbQuali;
    std::array<QLabel*, kFarbRows> lblSample{};
    std::array<QComboBox*, kFarbRows> cbVg{}; // foreground
    std::array<QComboBox*, kFarbRows> cbHg{}; // background
    std::vector<int> sizes;                   // the size of each entry of cbSize

protected:
    bool Confirm() override;
    void showEvent(QShowEvent* e) override;

private:
    // The pair a row edits: received 1, sent 1, received 2, sent 2, heading, error, program
    // message, quality highlight.
    T_FarbIndex& Pair(T_AusgPar& a, int row);
    void DrawSample(int row);

    T_AusgPar& ausg_;
    bool restored_ = false;
};

// Edits the display settings; true on OK.
bool EditDisplaySettings(QWidget* main, const TextTable& t, T_AusgPar& ausg);

} // namespace vdl
