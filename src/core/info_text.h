// The lines of the program information.
#pragma once

#include <string>
#include <vector>

namespace vdl {

class TextTable;

// What the executable says about itself; empty fields count as missing.
struct VersionInfo {
    std::string legal;       // rights line
    std::string fileVersion; // a.b.c.d
    std::string productVersion;
};

// Empty, text 1324, empty, the rights line after a blank, empty, text 1325 with the file and
// product versions ("?.?.?.?" and text 1 without a version), empty, text 1326.
std::vector<std::string> InfoLines(const TextTable& t, const VersionInfo& v);

} // namespace vdl
