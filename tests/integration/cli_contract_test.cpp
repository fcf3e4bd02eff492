// The command-line contract of vordal-cli that scripts rely on: help, refusals and their exit
// codes, the language of messages and output, messages that never echo control characters.
// The expected wording comes from the program texts, so that it is checked, not restated.
#include "core/format.h"
#include "core/text_table.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

const TextTable& Texts(int lang) {
    static TextTable t[2];
    if (t[lang].Count() == 0) {
        EXPECT_TRUE(t[lang].LoadFile(TextFilePath(BinDir(), lang)).ok());
    }
    return t[lang];
}
std::string Say(int lang, int n, std::initializer_list<FmtArg> args) {
    return Format(Texts(lang).tx(n), args);
}
const int ger = 0, usa = 1;

constexpr int kAnyExit = -1;
const std::string kAny = "*";

struct Row {
    std::string args;  // after the program's name
    std::string input; // standard input
    int exit;
    std::string outHas; // "": standard output stays empty; kAny: not looked at
    std::string errHas; // "": standard error stays empty; kAny: not looked at
    std::string errLacks = "";
};

} // namespace

TEST(CliContract, HelpRefusalsLanguageAndExitCodes) {
    const std::string dir = TempDir("cli-contract");
    const std::string missing = dir + "missing.hex", notLog = dir + "plain.txt",
                      evil = dir + "evil.hex", log = dir + "sample.lg1";
    std::ofstream(notLog) << "hello\n";
    // A file whose bytes would set the terminal's title and clear its screen.
    std::ofstream(evil) << "\x1b]0;owned\x07\x1b[2J\n";
    const std::string cli = Quote(BinDir() + "vordal-cli") + " ";
    ProcessResult w = RunProgram(cli + "log write " + Quote(log) + " --cot-length 2 < " +
                                 Quote(SourceDir() + "samples/sample_recording.hex"));
    ASSERT_EQ(w.exitCode, 0) << w.err;
    const std::string ch1[2] = {Texts(ger).tx(1176), Texts(usa).tx(1176)}; // "channel 1 received"

    const std::vector<Row> rows = {
        // --help everywhere: the usage on standard output, exit 0.
        {"--help", "", 0, "log export", ""},
        {"help", "", 0, "commands:", ""},
        {"decode --help", "", 0, "decode [FILE]", ""},
        {"decode --format 9 -h", "", 0, "--records", ""},
        {"log --help", "", 0, "log records", ""},
        {"log write --help", "", 0, "log write", ""},
        {"log info --help", "", 0, "log info", ""},
        {"log records --help", "", 0, "log records", ""},
        {"log export --help", "", 0, "--progress", ""},
        {"monitor --help", "", 0, "--port1", ""},
        {"texts --help", "", 0, "texts check", ""},
        {"texts check --help", "", 0, "texts check", ""},
        {"virtual-line --help", "", 0, "virtual-line", ""},
        // Unknown commands and sub-commands name themselves.
        {"frobnicate", "", 2, "", Say(usa, 2200, {"frobnicate"})},
        {"log frobnicate", "", 2, "", "'frobnicate'"},
        {"texts frobnicate", "", 2, "", "'frobnicate'"},
        {"decode --frobnicate", "", 2, "", Say(usa, 2201, {"--frobnicate"})},
        {"log", "", 2, "", Say(usa, 2206, {"write|info|records|export"})},
        // Bad values: refused with a message and exit 2, nothing printed.
        {"decode --ca-structure 8.x", "E5\n", 2, "", "'8.x'"},
        {"decode --ioa-structure 8..8", "E5\n", 2, "", "'8..8'"},
        {"decode --lang fr", "E5\n", 2, "", "'fr'"},
        {"decode --format 3 --time-line maybe", "E5\n", 2, "", "'maybe'"},
        {"decode --format 3 --full-percent -5", "E5\n", 2, "", "'-5'"},
        {"decode --format 8", "E5\n", 2, "", "'8'"},
        {"log export " + Quote(log) + " --format 3 --kind paper", "", 2, "", "'paper'"},
        {"log export " + Quote(log), "", 2, "", Say(usa, 2206, {"--format 3..7"})},
        {"monitor --baud fast --port1 /dev/null", "", 2, "", "'fast'"},
        {"monitor --format 3", "", 2, "", "--port1"},
        {"monitor --port1 /dev/null --data-dir /dev/null/dir", "", 2, "", "/dev/null/dir"},
        {"log info", "", 2, "", Say(usa, 2206, {"FILE"})},
        // Input paths: a directory is refused; a missing file and a file that is not a log each
        // have their own message.
        {"decode " + Quote(dir), "", 2, "", Say(usa, 2210, {dir})},
        {"log info " + Quote(dir), "", 2, "", Say(usa, 2210, {dir})},
        {"log export " + Quote(dir) + " --format 3", "", 2, "", Say(usa, 2210, {dir})},
        {"decode " + Quote(missing), "", 1, "", Say(usa, 2209, {missing})},
        {"log records " + Quote(missing), "", 1, "", Say(usa, 2209, {missing})},
        {"log info " + Quote(notLog), "", 1, "", Say(usa, 2212, {notLog})},
        {"log write " + Quote(notLog), "E5\n", 1, "", Say(usa, 2212, {notLog})},
        {"log write " + Quote(dir), "E5\n", 2, "", Say(usa, 2210, {dir})},
        {"log export " + Quote(notLog) + " --format 7", "", 1, "", Say(usa, 2212, {notLog})},
        // English unless --lang ger: messages and interpretation alike.
        {"decode --lang ger " + Quote(missing), "", 1, "", Say(ger, 2209, {missing})},
        {"decode --lang ger --ca-structure 8.x", "", 2, "",
         Say(ger, 2203, {"--ca-structure", "8.x", Texts(ger).tx(595)})},
        {"decode --format 3", "E5\n", 0, ch1[usa], ""},
        {"decode --format 3 --lang ger", "E5\n", 0, ch1[ger], ""},
        {"log export " + Quote(log) + " --format 3", "", 0, ch1[usa], ""},
        // The page header of the text export is not cut off (the German one is the longest).
        {"log export " + Quote(log) + " --format 3 --lang ger", "", 0, Texts(ger).tx(424) + "\r\n",
         ""},
        {"log export " + Quote(log) + " --format 7 --lang ger", "", 0, Texts(ger).tx(1173), ""},
        // Control characters of an input file are shown, not sent to the terminal.
        {"decode " + Quote(evil), "", 2, "", "'\\x1B]0;owned\\x07\\x1B[2J'", "\x1b"},
        // Receive times in the input: seconds from midnight, or a time of day.
        {"decode --records", "@1.5 E5\n@00:00:02.250 c2 E5\n", 0, "\"time\":2.25", ""},
        {"decode --records", "@1.5x E5\n", 2, "", Say(usa, 2217, {1, "@1.5x"})},
        // No Qt platform warnings without a desktop session (the instance lock asks for the
        // runtime directory).
        {"monitor --port1 /dev/null --duration 0 --log " + Quote(dir + "m.lg1"), "", kAnyExit, kAny,
         kAny, "XDG_RUNTIME_DIR"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("vordal-cli " + r.args);
        ProcessResult p =
            RunProgram("env -u XDG_RUNTIME_DIR LC_ALL=C HOME=" + Quote(dir) +
                           " XDG_CONFIG_HOME=" + Quote(dir + "config") +
                           " XDG_DATA_HOME=" + Quote(dir + "data") + " " + cli + r.args,
                       r.input);
        if (r.exit != kAnyExit) {
            EXPECT_EQ(p.exitCode, r.exit) << p.err;
        }
        auto check = [](const std::string& stream, const std::string& has, const char* what) {
            if (has == kAny) return;
            if (has.empty()) {
                EXPECT_EQ(stream, "") << what;
            } else {
                EXPECT_NE(stream.find(has), std::string::npos) << what << ": " << stream;
            }
        };
        check(p.out, r.outHas, "standard output");
        check(p.err, r.errHas, "standard error");
        if (!r.errLacks.empty()) {
            EXPECT_EQ(p.err.find(r.errLacks), std::string::npos) << p.err;
        }
    }
}
