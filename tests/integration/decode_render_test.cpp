// vordal-cli decode --format: the interpretation of recorded bytes, in both languages.
#include "core/text_table.h"
#include "core/utf8.h"
#include "support/frames.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

using namespace vdl;
using namespace vdl::test;
using nlohmann::json;

namespace {

const char* kSettings = "--link-address-length 1 --cot-length 2 --ca-structure 8.8 "
                        "--ioa-structure 8.8.8 --vwe5 1";

std::string Sample() {
    return SourceDir() + "samples/unbalanced_exchange.hex";
}

// Runs the command with a fixed locale, so that dates and numbers do not follow the machine.
ProcessResult Cli(const std::string& options, const std::string& input = "") {
    return RunProgram("LC_ALL=C LANG=C " + Quote(BinDir() + "vordal-cli") + " decode " + options,
                      input);
}

std::vector<json> Records(const std::string& options) {
    ProcessResult r = Cli(options + " --records");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<json> v;
    for (const std::string& l : OutputLines(r.out)) v.push_back(json::parse(l));
    return v;
}

TextTable Texts(int lang) {
    TextTable t;
    EXPECT_TRUE(t.LoadFile(TextFilePath(BinDir(), lang)).ok());
    return t;
}

size_t CountStarting(const std::vector<std::string>& lines, const std::string& head) {
    size_t n = 0;
    for (const std::string& l : lines) n += l.rfind(head, 0) == 0;
    return n;
}

bool IsHeader(const std::string& l) {
    // "  1         ..." : the relative number right-aligned in 3, two blanks, padding to 12.
    return l.size() > 12 && l.find_first_not_of(" 0123456789,.") >= 5 && l[3] == ' ' &&
           l[4] == ' ' && l.find_first_not_of(' ') < 5 &&
           std::isdigit(static_cast<unsigned char>(l[2]));
}

} // namespace

TEST(CliDecodeFormat, FullViewInEnglishAndGerman) {
    std::vector<json> rec = Records(Sample() + " " + kSettings);
    ASSERT_EQ(rec.size(), 32u);
    size_t variable = 0;
    for (const json& j : rec) variable += j["ta"] == 3;
    std::string outs[2];
    for (int lang : {0, 1}) {
        SCOPED_TRACE(lang == 1 ? "usa" : "ger");
        ProcessResult r =
            Cli(Sample() + " " + kSettings + " --format 3 --lang " + (lang == 1 ? "usa" : "ger"));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        outs[lang] = r.out;
        TextTable t = Texts(lang);
        std::vector<std::string> lines = OutputLines(r.out);
        size_t headers = 0;
        for (const std::string& l : lines) headers += IsHeader(l);
        EXPECT_EQ(headers, rec.size());
        // Every frame has its link line, every variable frame its ASDU, cause and address lines.
        EXPECT_EQ(CountStarting(lines, PadRight(t.tx(406), 9) + ":  "), rec.size());
        EXPECT_EQ(CountStarting(lines, PadRight(t.tx(403), 9) + ":  "), variable);
        EXPECT_EQ(CountStarting(lines, PadRight(t.tx(402), 9) + ":  "), variable);
        // The 3 single points of the interrogation answer, the long form of the type name.
        std::string sp = t.tx(71).substr(t.tx(71).find("  ") + 2);
        EXPECT_NE(r.out.find(sp + "=1, 3"), std::string::npos) << sp;
        EXPECT_EQ(CountStarting(lines, t.tx(405) + "  1"), 2u); // frames with 3 and 2 objects
        // Lines end with CR LF, as the rendering joins them.
        EXPECT_NE(r.out.find("\r\n"), std::string::npos);
    }
    EXPECT_NE(outs[0], outs[1]);
}

TEST(CliDecodeFormat, ExportPrintsTheColumnLineAndOneLinePerObject) {
    std::vector<json> rec = Records(Sample() + " " + kSettings);
    size_t expected = 0;
    for (const json& j : rec)
        expected += (j["ta"] == 3 && j["lg"] > 10) ? (j["struk"].get<int>() & 0x7F) : 1;
    ProcessResult r = Cli(Sample() + " " + kSettings + " --format 7 --lang usa");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = OutputLines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], Texts(1).tx(1173));
    EXPECT_EQ(lines.size(), expected + 1);
    // The scaled values 4660 and -2 of objects 16 and 17.
    EXPECT_NE(r.out.find(";16;;4660;0;"), std::string::npos);
    EXPECT_NE(r.out.find(";17;;-2;16;"), std::string::npos);
}

TEST(CliDecodeFormat, LinkLineOffHidesFixedFramesAndLinkLines) {
    ProcessResult r = Cli(Sample() + " " + kSettings + " --format 3 --link-line off --lang usa");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = OutputLines(r.out);
    EXPECT_EQ(CountStarting(lines, PadRight(Texts(1).tx(406), 9) + ":"), 0u);
    size_t headers = 0;
    for (const std::string& l : lines) headers += IsHeader(l);
    EXPECT_EQ(headers, 11u); // the variable frames
    r = Cli(Sample() + " " + kSettings + " --format 7 --link-line off --time-line off");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(OutputLines(r.out).size(),
              1u + 11u + 3u); // column line, 11 frames, 2 + 1 more objects
}

TEST(CliDecodeFormat, ObjectNamesAndFullScale) {
    std::string dir = TempDir("decode-render");
    std::ofstream(dir + "objects.txt", std::ios::binary)
        << "16;;Feeder current;\r\nCA;1;North;\r\n";
    ProcessResult r = Cli(Sample() + " " + kSettings + " --format 3 --lang usa --objects " +
                          Quote(dir + "objects.txt"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("  0-  0- 16 Feeder current"), std::string::npos);
    EXPECT_NE(r.out.find("  0-  1 North"), std::string::npos);

    // A normalised value of 16384: 51.20 % of the default 32000, 100 % of 16384.
    std::string frame = ToHex(Variable(0x08, 1, Hex("09 01 03 00 01 00 05 00 00 00 40 00"), 1));
    r = Cli(std::string(kSettings) + " --format 5 --lang usa", "c1 " + frame + "\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(" 16384= 51.20%"), std::string::npos) << r.out;
    r = Cli(std::string(kSettings) + " --format 5 --full-percent 16384", "c1 " + frame + "\n");
    EXPECT_NE(r.out.find(" 16384= 100.0%"), std::string::npos) << r.out;
}

TEST(CliDecodeFormat, BadOptionsAreRefusedWithAMessage) {
    for (std::string opt : {"--format 8", "--format 3 --time-line yes", "--format 3 --lang fr",
                            "--format 3 --records", "--format 3 --full-percent 0",
                            "--format 3 --objects /nonexistent/objects.txt"}) {
        ProcessResult r = Cli(Sample() + " " + opt);
        EXPECT_EQ(r.exitCode, 2) << opt;
        EXPECT_NE(r.err.find("vordal-cli decode: "), std::string::npos) << opt << r.err;
        EXPECT_EQ(r.out, "") << opt;
    }
}
