// The system's web browser, which shows the user guide.
#pragma once

#include <string>

namespace vdl {

class Browser {
public:
    virtual ~Browser() = default;
    // Shows a local HTML file at the anchor (none when empty); false when the system has no
    // way to show it.
    virtual bool OpenPage(const std::string& file, const std::string& anchor) = 0;
};

} // namespace vdl
