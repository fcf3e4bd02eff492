#include "log/filter.h"
#include "log/log_fixture.h"
#include "support/process.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace vdl {
namespace {

using test::BinDir;
using test::Quote;
using test::RunProgram;

std::string Cli() {
    return Quote(BinDir() + "vordal-cli");
}

std::vector<nlohmann::json> Lines(const std::string& out) {
    std::vector<nlohmann::json> v;
    std::istringstream s(out);
    std::string line;
    while (std::getline(s, line))
        if (!line.empty()) v.push_back(nlohmann::json::parse(line));
    return v;
}

class CliLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::TempDir("clilog");
        name = dir + "x.lg1";
        w.ap.lgla = 2;
        w.bp2.fkt = FKT_SLAVE;
        ASSERT_TRUE(w.log.OpenLog(name, false));
        w.clock.ms = 123;
        in = w.Append(250, 40, 1000);
    }
    std::string dir, name;
    test::LogWorld w;
    std::vector<T_Telegramm> in;
};

TEST_F(CliLogTest, InfoOfAClosedAndOfAnOpenLog) {
    w.log.CloseLog();
    auto r = RunProgram(Cli() + " log info " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["N"], 3126);
    EXPECT_EQ(j["count"], 250);
    EXPECT_EQ(j["blanz"], 1);
    EXPECT_EQ(j["nralt"], 1);
    EXPECT_EQ(j["nrneu"], 250);
    EXPECT_EQ(j["dtalt"], "2026-12-08T10:00:00.123");
    EXPECT_EQ(j["dtneu"], "2026-12-08T10:04:09.123");
    EXPECT_EQ(j["lgla"], 2);
    EXPECT_EQ(j["fkt1"], 0);
    EXPECT_EQ(j["fkt2"], 2);
    EXPECT_EQ(j["recovered"], false);
}

TEST_F(CliLogTest, RecordsCarryNumberAndTime) {
    w.log.CloseLog();
    auto r = RunProgram(Cli() + " log records " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto v = Lines(r.out);
    ASSERT_EQ(v.size(), 250u);
    EXPECT_EQ(v[0]["nr"], 1);
    EXPECT_EQ(v[0]["dt"], "2026-12-08T10:00:00.123");
    EXPECT_EQ(v[1]["dt"], "2026-12-08T10:00:01.123");
    EXPECT_EQ(v[0]["lg"], 40);
    EXPECT_EQ(v[0]["ta"], 3);
    EXPECT_EQ(v[0]["bytes"].get<std::string>().substr(0, 11), "00 01 02 03");
    EXPECT_EQ(v[249]["nr"], 250);
}

TEST_F(CliLogTest, ALogStillBeingWrittenIsReadWithoutChangingIt) {
    // The recorder still runs: the file on disk has what the last block write put there.
    auto before = test::FileBytes(name);
    auto r = RunProgram(Cli() + " log info " + Quote(name));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["recovered"], true);
    EXPECT_GE(j["count"].get<int>(), 249);
    EXPECT_EQ(test::FileBytes(name), before);
}

std::string Sample() {
    return test::SourceDir() + "samples/unbalanced_exchange.hex";
}
const char* kSampleOptions = " --cot-length 2 --vwe5 1";

std::string Slurp(const std::string& p) {
    auto b = test::FileBytes(p);
    return std::string(b.begin(), b.end());
}

TEST(CliLogWrite, RealExchangeWrittenAndExportedAsCsv) {
    std::string dir = test::TempDir("clilogwrite");
    std::string log = dir + "ex.lg1";
    auto w =
        RunProgram(Cli() + " log write " + Quote(log) + kSampleOptions + " < " + Quote(Sample()));
    ASSERT_EQ(w.exitCode, 0) << w.err;
    auto dec = Lines(RunProgram(Cli() + " decode " + Quote(Sample()) + kSampleOptions).out);
    auto rec = Lines(RunProgram(Cli() + " log records " + Quote(log)).out);
    ASSERT_EQ(rec.size(), dec.size());
    ASSERT_GT(rec.size(), 20u);
    for (size_t i = 0; i < rec.size(); ++i) {
        EXPECT_EQ(rec[i]["nr"], static_cast<int>(i + 1));
        EXPECT_EQ(rec[i]["bytes"], dec[i]["bytes"]);
        EXPECT_EQ(rec[i]["stat"], dec[i]["stat"]);
        EXPECT_EQ(rec[i]["ek"], dec[i]["ek"]);
    }

    // The log opens as any log: its settings come with it.
    test::LogWorld r;
    ASSERT_TRUE(r.log.OpenLog(log, false));
    EXPECT_FALSE(r.log.Recovered());
    EXPECT_EQ(r.ap.mitori, 1);
    EXPECT_EQ(r.bp1.vwe5, 1);
    r.log.CloseLog();

    auto e = RunProgram(Cli() + " log export " + Quote(log) + " --format 7 --out " +
                        Quote(dir + "ex.csv"));
    ASSERT_EQ(e.exitCode, 0) << e.err;
    auto csv = test::OutputLines(Slurp(dir + "ex.csv"));
    auto head = test::OutputLines(
        RunProgram(Cli() + " decode --format 7 " + Quote(Sample()) + kSampleOptions).out);
    ASSERT_FALSE(head.empty());
    EXPECT_EQ(csv.front(), head.front()) << "the column line";
    // One line per information object of every frame with objects, one for any other record;
    // the second column counts the objects of a frame.
    size_t i = 1, objects = 0;
    for (const auto& j : rec) {
        int n = j["ta"] == 3 ? (j["struk"].get<int>() & 0x7F) : 1;
        if (n == 0) n = 1;
        for (int k = 0; k < n; ++k, ++i) {
            ASSERT_LT(i, csv.size());
            std::string expect = std::to_string(j["nr"].get<int>()) + ";" + std::to_string(k) + ";";
            EXPECT_EQ(csv[i].substr(0, expect.size()), expect) << csv[i];
        }
        if (j["ta"] == 3) objects += static_cast<size_t>(n);
    }
    EXPECT_GT(objects, 10u);
    // Rows only: no closing line.
    ASSERT_EQ(csv.size(), i);
    EXPECT_EQ(csv.back().find("***"), std::string::npos) << csv.back();
}

TEST(CliLogWrite, AppendsToAnExistingLog) {
    std::string dir = test::TempDir("clilogappend");
    std::string log = dir + "ex.lg1";
    for (int k = 0; k < 2; ++k)
        ASSERT_EQ(RunProgram(Cli() + " log write " + Quote(log) + kSampleOptions + " < " +
                             Quote(Sample()))
                      .exitCode,
                  0);
    auto rec = Lines(RunProgram(Cli() + " log records " + Quote(log)).out);
    ASSERT_EQ(rec.size() % 2, 0u);
    EXPECT_EQ(rec.back()["nr"], static_cast<int>(rec.size()));
    // Bad input: nothing written, the log stays as it was.
    auto before = test::FileBytes(log);
    auto bad = RunProgram(Cli() + " log write " + Quote(log), "68 0Z\n");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(test::FileBytes(log), before);
}

TEST(CliLogWrite, ARecordingWithReceiveTimesKeepsThemInTheLog) {
    std::string log = test::TempDir("clilogtimed") + "timed.lg1";
    auto w = RunProgram(Cli() + " log write " + Quote(log) + " --cot-length 2 < " +
                        Quote(test::SourceDir() + "samples/sample_recording.hex"));
    ASSERT_EQ(w.exitCode, 0) << w.err;
    auto rec = Lines(RunProgram(Cli() + " log records " + Quote(log)).out);
    ASSERT_GT(rec.size(), 30u);
    // The first lines of the recording: today's date and the time of each line.
    const std::string day = rec[0]["dt"].get<std::string>().substr(0, 11);
    const char* times[] = {"09:30:00.006", "09:30:00.019", "09:30:00.047", "09:30:00.056"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rec[i]["dt"], day + times[i]);
    for (size_t i = 1; i < rec.size(); ++i)
        EXPECT_GE(rec[i]["dt"].get<std::string>(), rec[i - 1]["dt"].get<std::string>());
}

TEST_F(CliLogTest, ExportIntoALogThroughANamedFilterWithProgress) {
    // 250 telegrams on channel 1 received; add sent ones on channel 2.
    for (int i = 0; i < 1000; ++i) {
        T_Telegramm te = test::Frame(12, ST_OK, EK_TX2);
        w.log.AppendTelegram(te);
    }
    w.log.CloseLog();
    T_Filter f{};
    f.ekbits = 8; // sent on channel 2
    NormaliseFilter(f, DefaultAllgPar());
    ASSERT_TRUE(SaveNamedFilter(dir + "sent2.flt", f));
    std::string out = dir + "out.lg1";
    const std::string cmd = Cli() + " log export " + Quote(name) + " --format 3 --kind log --out " +
                            Quote(out) + " --filter " + Quote(dir + "sent2");
    // Standard error is no terminal here: no progress unless asked for, then a line per 10 %
    // (the progress is taken after every 1000th telegram: 75 % of these 1250).
    auto r = RunProgram(cmd);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = RunProgram(cmd + " --progress");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "export: 10 %\nexport: 20 %\nexport: 30 %\nexport: 40 %\nexport: 50 %\n"
                     "export: 60 %\nexport: 70 %\nexport: 100 %\n");
    auto j = nlohmann::json::parse(RunProgram(Cli() + " log info " + Quote(out)).out);
    EXPECT_EQ(j["count"], 1000);
    EXPECT_EQ(j["nralt"], 1);
    auto rec = Lines(RunProgram(Cli() + " log records " + Quote(out)).out);
    ASSERT_EQ(rec.size(), 1000u);
    EXPECT_EQ(rec[0]["ek"], 4);
    // The log itself is no target, and a bad filter file is refused.
    EXPECT_EQ(RunProgram(Cli() + " log export " + Quote(name) + " --format 3 --kind log --out " +
                         Quote(name))
                  .exitCode,
              2);
    EXPECT_EQ(RunProgram(Cli() + " log export " + Quote(name) + " --format 3 --filter " +
                         Quote(dir + "none"))
                  .exitCode,
              2);
    EXPECT_EQ(RunProgram(Cli() + " log export " + Quote(name) + " --format 8").exitCode, 2);
}

TEST_F(CliLogTest, ExportNeverOverwritesItsSourceByWhateverNameItIsGiven) {
    w.log.CloseLog();
    auto before = test::FileBytes(name);
    fs::create_symlink(name, dir + "link.lg1");
    const std::string targets[] = {"./x.lg1", dir + "x.lg1", dir + "link.lg1",
                                   dir + "../" + fs::path(dir).parent_path().filename().string() +
                                       "/x.lg1"};
    for (const std::string& out : targets) {
        for (const char* kind : {"text", "log"}) {
            auto r =
                RunProgram("cd " + Quote(dir) + " && " + Cli() +
                           " log export x.lg1 --format 7 --kind " + kind + " --out " + Quote(out));
            EXPECT_EQ(r.exitCode, 2) << out << " " << kind;
            EXPECT_NE(r.err.find(out), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("x.lg1"), std::string::npos) << r.err;
            EXPECT_EQ(test::FileBytes(name), before) << out << " " << kind;
        }
    }
}

TEST_F(CliLogTest, ACutLogIsReadAsFarAsItHoldsAndWrittenWithoutLosingIt) {
    w.log.CloseLog();
    auto all = test::FileBytes(name);
    // 250 records of 72 bytes in block 0: the first 247 end before byte 20000.
    std::vector<uint8_t> cut(all.begin(), all.begin() + 20000);
    std::string t = dir + "t.lg1";
    {
        std::ofstream f(t, std::ios::binary);
        f.write(reinterpret_cast<const char*>(cut.data()),
                static_cast<std::streamsize>(cut.size()));
    }
    auto info = RunProgram(Cli() + " log info " + Quote(t));
    ASSERT_EQ(info.exitCode, 0) << info.err;
    auto j = nlohmann::json::parse(info.out);
    EXPECT_EQ(j["damaged"], true);
    EXPECT_EQ(j["records"], 247);
    EXPECT_EQ(j["count"], 247);
    EXPECT_EQ(j["nrneu"], 247);
    EXPECT_NE(info.err.find(t), std::string::npos) << "the repair is reported";
    auto rec = RunProgram(Cli() + " log records " + Quote(t));
    ASSERT_EQ(rec.exitCode, 0);
    auto v = Lines(rec.out);
    ASSERT_EQ(v.size(), 247u);
    EXPECT_EQ(v[246]["nr"], 247);
    EXPECT_EQ(v[246]["dt"], "2026-12-08T10:04:06.123");
    EXPECT_NE(rec.err.find("247"), std::string::npos) << rec.err;
    EXPECT_EQ(test::FileBytes(t), cut);

    auto wr = RunProgram(Cli() + " log write " + Quote(t) + " < " + Quote(Sample()));
    ASSERT_EQ(wr.exitCode, 0) << wr.err;
    EXPECT_NE(wr.err.find(t + ".damaged"), std::string::npos) << wr.err;
    EXPECT_EQ(test::FileBytes(t + ".damaged"), cut);
    auto after = Lines(RunProgram(Cli() + " log records " + Quote(t)).out);
    ASSERT_GT(after.size(), 247u);
    for (size_t i = 0; i < 247; ++i) EXPECT_EQ(after[i], v[i]);
    EXPECT_EQ(after[247]["nr"], 248);
    auto healed = nlohmann::json::parse(RunProgram(Cli() + " log info " + Quote(t)).out);
    EXPECT_EQ(healed["damaged"], false);
}

TEST_F(CliLogTest, ALogWhoseHeadCannotBeReadIsNeverWritten) {
    std::string p = dir + "head.lg1";
    auto all = test::FileBytes(name);
    {
        std::ofstream f(p, std::ios::binary);
        f.write(reinterpret_cast<const char*>(all.data()), 1500);
    }
    auto before = test::FileBytes(p);
    for (const char* cmd : {" log info ", " log records "}) {
        auto r = RunProgram(Cli() + cmd + Quote(p));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(p), std::string::npos) << r.err;
    }
    auto wr = RunProgram(Cli() + " log write " + Quote(p) + " < " + Quote(Sample()));
    EXPECT_EQ(wr.exitCode, 1);
    EXPECT_NE(wr.err.find(p), std::string::npos) << wr.err;
    EXPECT_EQ(test::FileBytes(p), before);
}

TEST(CliLogWrite, AnExistingLogKeepsItsSettings) {
    std::string dir = test::TempDir("clilogsettings");
    std::string log = dir + "w.lg1";
    ASSERT_EQ(
        RunProgram(Cli() + " log write " + Quote(log) + kSampleOptions + " < " + Quote(Sample()))
            .exitCode,
        0);
    auto csv = [&] {
        return test::OutputLines(
            RunProgram(Cli() + " log export " + Quote(log) + " --format 7").out);
    };
    const auto before = csv();
    const auto bytes = test::FileBytes(log);
    struct Case {
        const char* options;
        const char* named; // the setting the message names
    };
    const Case refused[] = {{" --cot-length 1", "--cot-length 2"},
                            {" --vwe5 0", "--vwe5 1"},
                            {" --function 2", "--function 0"},
                            {" --link-address-length 2", "--link-address-length 1"},
                            {" --ca-structure 8", "--ca-structure 8.8"},
                            {" --spikes", "--spikes off"}};
    for (const Case& c : refused) {
        auto r =
            RunProgram(Cli() + " log write " + Quote(log) + c.options + " < " + Quote(Sample()));
        EXPECT_EQ(r.exitCode, 2) << c.options;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.options << ": " << r.err;
        EXPECT_EQ(test::FileBytes(log), bytes) << c.options;
    }
    // Options that repeat the log's settings, or none, append; the earlier records read as
    // they did.
    for (const char* options : {kSampleOptions, ""}) {
        auto r = RunProgram(Cli() + " log write " + Quote(log) + options + " < " + Quote(Sample()));
        EXPECT_EQ(r.exitCode, 0) << options << ": " << r.err;
    }
    auto now = csv();
    ASSERT_GT(now.size(), before.size());
    for (size_t i = 0; i + 1 < before.size(); ++i) EXPECT_EQ(now[i], before[i]) << i;
    auto j = nlohmann::json::parse(RunProgram(Cli() + " log info " + Quote(log)).out);
    EXPECT_EQ(j["mitori"], 1);
}

TEST(CliLogWrite, ALogThatCannotBeCreatedSaysWhy) {
    std::string dir = test::TempDir("clilogcreate");
    fs::create_directory(dir + "folder.lg1");
    struct Case {
        std::string file;
        const char* reason;
        int exitCode; // a directory is refused as a path that cannot be used
    };
    const Case cases[] = {{dir + "folder.lg1", "directory", 2},
                          {dir + "missing/x.lg1", "No such file or directory", 1}};
    for (const Case& c : cases) {
        auto r = RunProgram(Cli() + " log write " + Quote(c.file) + " < " + Quote(Sample()));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.file;
        EXPECT_NE(r.err.find(c.file), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    }
}

TEST_F(CliLogTest, NotALog) {
    std::string p = dir + "no.lg1";
    {
        std::ofstream f(p);
        f << "hello";
    }
    auto r = RunProgram(Cli() + " log records " + Quote(p));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(p), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(RunProgram(Cli() + " log").exitCode, 2);
}

} // namespace
} // namespace vdl

namespace vdl {
namespace {

// A log recorded with another address layout is read with it by every command that reads it:
// link address 2 octets, cause with originator, a one-octet common address and object address
// structure 8.8, without options.
TEST(CliLogRead, EveryReaderTakesTheAddressLayoutOfTheLog) {
    std::string dir = test::TempDir("clilaylayout");
    std::string log = dir + "lay.lg1";
    // Single point of station 5 at common address 101, object 1-2 (258), ON.
    const std::string frame = "68 0B 0B 68 08 05 00 01 01 03 07 65 02 01 01 82 16\n";
    ASSERT_EQ(RunProgram(Cli() + " log write " + Quote(log) +
                             " --link-address-length 2 --cot-length 2 --ca-structure 8 "
                             "--ioa-structure 8.8",
                         frame)
                  .exitCode,
              0);
    struct Case {
        std::string args;
        std::string shows; // the object address as this reader writes it
    };
    const Case cases[] = {
        {"log export " + Quote(log) + " --format 3", "1-  2  ON"},
        {"log export " + Quote(log) + " --format 5", "101 SP"},
        {"log export " + Quote(log) + " --format 7", ";101 ;258;;1;"},
        {"image " + Quote(log) + " --format csv", "\t101\t  1-  2\t"},
    };
    for (const Case& c : cases) {
        auto r = RunProgram(Cli() + " " + c.args);
        ASSERT_EQ(r.exitCode, 0) << c.args << "\n" << r.err;
        EXPECT_NE(r.out.find(c.shows), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.find("-?"), std::string::npos) << c.args << "\n" << r.out;
    }
    // The printout too.
    if (std::system("command -v pdftotext > /dev/null 2>&1") != 0) return;
    ASSERT_EQ(RunProgram(Cli() + " log export " + Quote(log) + " --kind pdf --out " +
                         Quote(dir + "lay.pdf"))
                  .exitCode,
              0);
    auto text = RunProgram("pdftotext -layout " + Quote(dir + "lay.pdf") + " -").out;
    EXPECT_NE(text.find("1- 2 ON"), std::string::npos) << text;
    EXPECT_EQ(text.find("-?"), std::string::npos) << text;
}

} // namespace
} // namespace vdl

namespace vdl {
namespace {

// An export of a log file is headed as the log display, in the language's own date forms; its
// CSV holds the column line and rows only.
TEST(CliLogRead, ExportsAreHeadedAsTheLogDisplayInTheirLanguage) {
    std::string dir = test::TempDir("cliexporthead");
    std::string log = dir + "days.lg1";
    ASSERT_EQ(RunProgram(Cli() + " log write " + Quote(log),
                         "@23:59:59.900 10 49 01 4A 16\n@00:00:00.100 10 49 01 4A 16\n")
                  .exitCode,
              0);
    struct Case {
        const char* lang;
        const char* display; // the word of the view header
    };
    const char* english[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const Case& c : {Case{"usa", "log display"}, Case{"ger", "Log-Anzeige"}}) {
        auto text =
            RunProgram(Cli() + " log export " + Quote(log) + " --format 3 --lang " + c.lang);
        ASSERT_EQ(text.exitCode, 0) << text.err;
        auto lines = test::OutputLines(text.out);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_NE(lines[1].find(c.display), std::string::npos) << lines[1];
        if (std::string(c.lang) == "ger") {
            for (const char* m : english) EXPECT_EQ(text.out.find(m), std::string::npos) << m;
        }
        auto csv = test::OutputLines(
            RunProgram(Cli() + " log export " + Quote(log) + " --format 7 --lang " + c.lang).out);
        ASSERT_EQ(csv.size(), 3u) << ::testing::PrintToString(csv);
        EXPECT_EQ(csv[1].rfind("1;0;", 0), 0u);
        EXPECT_EQ(csv[2].rfind("2;0;", 0), 0u);
    }
}

} // namespace
} // namespace vdl
