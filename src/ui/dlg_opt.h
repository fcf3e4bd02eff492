// The options dialog: one check box per option byte.
#pragma once

#include "ui/form_texts.h"

#include <cstdint>

class QListWidget;

namespace vdl {

constexpr int kOptionBytes = 16;

class TfmOpt : public FormDialog {
    Q_OBJECT
public:
    TfmOpt(const TextTable& t, uint8_t (&opt)[kOptionBytes], QWidget* main);

    QListWidget* chlbOpt;

protected:
    bool Confirm() override;

private:
    uint8_t (&opt_)[kOptionBytes];
};

// Edits the option bytes of the program parameters; true on OK.
bool EditOptions(QWidget* main, const TextTable& t, uint8_t (&opt)[kOptionBytes]);

} // namespace vdl
