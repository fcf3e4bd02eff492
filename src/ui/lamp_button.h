// The lamp buttons of the tool bar (receive and transmit lamp of each channel) and the online
// button: tool buttons whose picture is chosen by an image index.
#pragma once

#include <QToolButton>

namespace vdl {

// Pictures of the lamps: 0 receive dark, 1 receive lit, 2 transmit dark, 3 transmit lit; of
// the online button: 0 offline, 1 online.
enum class LampKind { Receive, Transmit, Online };

class LampButton : public QToolButton {
    Q_OBJECT
public:
    LampButton(LampKind kind, QWidget* parent = nullptr);

    int ImageIndex() const { return index_; }
    void SetImageIndex(int i);
    // Lights or darkens the lamp (the lowest bit of the image index).
    void SetLit(bool lit) { SetImageIndex(lit ? (index_ | 1) : (index_ & ~1)); }
    bool Lit() const { return (index_ & 1) != 0; }

private:
    LampKind kind_;
    int index_ = 0;
};

} // namespace vdl
