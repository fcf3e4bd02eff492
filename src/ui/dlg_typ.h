// The picker: a small modal list of types, causes, object or common addresses with their
// names, or of all object texts to browse. Its lists come from the picker model of the send
// subsystem; the window only shows them and hands the choice back.
#pragma once

#include "send/type_picker.h"

#include <QDialog>

class QListWidget;

namespace vdl {

class TfmTyp : public QDialog {
    Q_OBJECT
public:
    // left, top: where the window goes; mainHeight: the main window's height.
    TfmTyp(const PickList& list, int left, int top, int mainHeight, QWidget* parent);

    // The entry chosen (highlighted) now, -1 without one.
    int Chosen() const;

    QListWidget* lbTyp;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// Runs the picker in a mode on an object and a common address (Pick), placed at (left, top)
// and as high as the main window less 50 pixels. Returns true on OK with a chosen entry; the
// object and ca then hold the choice.
bool Pick(QWidget* parent, int left, int top, int mainHeight, int mode, T_SeLiObj& obj,
          uint32_t& ca, int n, const PickEnv& env);

} // namespace vdl
