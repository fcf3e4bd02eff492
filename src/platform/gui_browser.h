// The user guide in the system's browser, through the desktop's services.
#pragma once

#include "core/browser.h"

namespace vdl {

class QtBrowser : public Browser {
public:
    bool OpenPage(const std::string& file, const std::string& anchor) override;
};

} // namespace vdl
