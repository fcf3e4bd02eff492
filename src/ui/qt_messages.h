// Messages as modal boxes above the main window: placed at a quarter of the window's height
// and a fifth of its width.
#pragma once

#include "core/messages.h"

class QWidget;

namespace vdl {

class QtMessages : public Messages {
public:
    void SetParent(QWidget* w) { parent_ = w; }
    // Unattended runs (VORDAL_MESSAGES=stderr) write messages to standard error instead of
    // showing boxes; questions are then answered No.
    void SetUnattended(bool on) { unattended_ = on; }
    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    Answer Ask(const std::string& text, bool cancel) override;

private:
    QWidget* parent_ = nullptr;
    bool unattended_ = false;
};

} // namespace vdl
