#include "core/info_text.h"

#include "core/text_table.h"

namespace vdl {

std::vector<std::string> InfoLines(const TextTable& t, const VersionInfo& v) {
    std::string legal = v.legal.empty() ? "-" : v.legal;
    std::string version =
        v.fileVersion.empty() ? "?.?.?.?   " + t.tx(1) : v.fileVersion + "   " + v.productVersion;
    return {"", t.tx(1324), "", " " + legal, "", t.tx(1325) + version, "", t.tx(1326)};
}

} // namespace vdl
