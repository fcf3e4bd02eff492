// The program information: title, rights, version and a closing line.
#pragma once

#include "core/info_text.h"
#include "ui/form_texts.h"

class QListWidget;

namespace vdl {

class TfmInfo : public FormDialog {
    Q_OBJECT
public:
    TfmInfo(const TextTable& t, const VersionInfo& v, QWidget* main);

    QListWidget* lbInfo;

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

void ShowInfo(QWidget* main, const TextTable& t, const VersionInfo& v);

} // namespace vdl
