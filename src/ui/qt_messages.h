// Messages as modal boxes above the main window: placed at a quarter of the window's height
// and a fifth of its width.
#pragma once

#include "core/messages.h"

#include <cstdint>

class QMessageBox;
class QWidget;

namespace vdl {

class TextTable;

// German questions get the button captions of text 2076 at the positions where text 2077
// holds the standard captions (10 characters each).
void LocaliseButtons(QMessageBox& box, const TextTable& t);

class QtMessages : public Messages {
public:
    void SetParent(QWidget* w) { parent_ = w; }
    // Unattended runs (VORDAL_MESSAGES=stderr) write messages to standard error instead of
    // showing boxes; questions are then answered No.
    void SetUnattended(bool on) { unattended_ = on; }
    // The texts and the language index (0 German): questions in German get the program's own
    // button captions.
    void SetLanguage(const TextTable* t, const int32_t* language) {
        texts_ = t;
        language_ = language;
    }
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    Answer Ask(const std::string& text, bool cancel) override;

private:
    int Show(int icon, const std::string& text, int buttons);

    QWidget* parent_ = nullptr;
    bool unattended_ = false;
    const TextTable* texts_ = nullptr;
    const int32_t* language_ = nullptr;
};

} // namespace vdl
