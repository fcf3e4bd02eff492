// Records the pages the program would show in the browser.
#pragma once

#include "core/browser.h"

#include <string>
#include <utility>
#include <vector>

namespace vdl::test {

class FakeBrowser : public Browser {
public:
    bool OpenPage(const std::string& file, const std::string& anchor) override {
        opened.emplace_back(file, anchor);
        return works;
    }
    std::vector<std::pair<std::string, std::string>> opened;
    bool works = true; // false: a system without a browser
};

} // namespace vdl::test
