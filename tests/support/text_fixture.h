// A small program text table made in the test, so that tests do not depend on the wording of
// the real text files.
#pragma once

#include "core/text_table.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

namespace vdl::test {

// A table of empty texts 0..2999 with the given texts put in.
inline TextTable MakeTexts(std::initializer_list<std::pair<int, std::string>> texts) {
    std::string bytes;
    for (int i = 0; i < kMaxTexts; ++i) {
        char num[8];
        std::snprintf(num, sizeof num, "%04d", i);
        bytes += std::string(num) + "  ;\n";
    }
    TextTable t;
    t.LoadBytes(bytes, "test");
    for (const auto& [n, s] : texts) t.Replace(n, s);
    return t;
}

// The file names and messages the settings and the log use.
inline TextTable FileTexts() {
    return MakeTexts({{1131, "VdlSet"},
                      {1132, ".ini"},
                      {1199, "VdlLog"},
                      {1200, ".lg1"},
                      {1202, "write error: "},
                      {1203, "read error: "},
                      {1216, "parameter set refused"},
                      {1217, "parameter set not written"},
                      {1222, "VdlPara"},
                      {1223, ".vpa"},
                      {1371, "VdlObj.txt"},
                      {2160, "damaged %s: %d"},
                      {2161, "kept as %s before writing"},
                      {2162, "kept as %s"},
                      {2163, "head unreadable: %s"},
                      {2164, "%s is the log %s"},
                      {2165, "cannot keep %s as %s: %s"},
                      {2166, "cannot create %s: %s"},
                      {2167, "dropped %d"}});
}

} // namespace vdl::test
