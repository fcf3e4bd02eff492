// The output dialog's rules: the extension of each kind, the proposed name, the name on OK.
#include "log/output_form.h"

#include "log/log_output.h"

#include "support/text_fixture.h"

#include <gtest/gtest.h>

namespace vdl {
namespace {

const TextTable kTexts = test::MakeTexts({{1200, ".lg1"}});

TEST(OutputForm, ExtensionFollowsKindAndFormat) {
    struct Case {
        OutputTarget t;
        const char* ext;
    } cases[] = {
        {{OUT_TEXT, 3, false}, ".txt"},    {{OUT_TEXT, 7, false}, ".csv"},
        {{OUT_PRINTER, 7, false}, ".csv"}, {{OUT_PRINTER, 4, true}, ".pdf"},
        {{OUT_LOG, 7, false}, ".lg1"},     {{OUT_LOG, 3, false}, ".lg1"},
    };
    for (const Case& c : cases) EXPECT_EQ(OutputExtension(c.t, kTexts), c.ext) << c.t.kind;
}

TEST(OutputForm, ANameWithoutFilePartOrLogBecomesTheDatedName) {
    const OutputTarget text{OUT_TEXT, 3, false};
    const OutputTarget csv{OUT_TEXT, 7, false};
    struct Case {
        const char* dtDruk;
        OutputTarget t;
        const char* proposed;
    } cases[] = {
        {"/d/", text, "/d/Log101_2015_03_04.txt"},
        {"/d/Log", csv, "/d/Log101_2015_03_04.csv"},
        {"/d/Log.txt", text, "/d/Log101_2015_03_04.txt"},
        {"", text, "Log101_2015_03_04.txt"},
        {"/d/Export.txt", csv, "/d/Export.csv"},
        {"/d/Logbook", text, "/d/Logbook.txt"},
        {"/d.x/run", {OUT_LOG, 3, false}, "/d.x/run.lg1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProposedOutputName(c.dtDruk, c.t, kTexts, 2015, 3, 4), c.proposed) << c.dtDruk;
}

TEST(OutputForm, ANameWithoutDirectoryGoesWhereTheLastOneWas) {
    const OutputTarget text{OUT_TEXT, 3, false};
    EXPECT_EQ(OutputNameOnOk("out", "/data/old.txt", text, kTexts, 2020, 1, 2), "/data/out.txt");
    EXPECT_EQ(OutputNameOnOk("Log", "/data/old.txt", text, kTexts, 2020, 1, 2),
              "/data/Log101_2020_01_02.txt");
    EXPECT_EQ(OutputNameOnOk("/x/y.csv", "/data/old.txt", text, kTexts, 2020, 1, 2), "/x/y.txt");
}

} // namespace
} // namespace vdl
