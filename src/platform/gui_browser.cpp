#include "platform/gui_browser.h"

#include <QDesktopServices>
#include <QUrl>

namespace vdl {

bool QtBrowser::OpenPage(const std::string& file, const std::string& anchor) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    if (!anchor.empty()) url.setFragment(QString::fromStdString(anchor));
    return QDesktopServices::openUrl(url);
}

} // namespace vdl
