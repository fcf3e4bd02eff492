// vordal-cli image on a recorded exchange, object by object against a decoding of the frames
// written here from the standard; the grid as CSV; the limit of objects; bad arguments; and the
// printout of a log into a PDF file, read back as text.
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace vdl {
namespace {

using test::BinDir;
using test::Quote;
using test::RunProgram;

std::string Cli() {
    return Quote(BinDir() + "vordal-cli");
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
    std::vector<nlohmann::json> v;
    for (const std::string& line : test::OutputLines(out))
        if (!line.empty()) v.push_back(nlohmann::json::parse(line));
    return v;
}

std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> b;
    std::istringstream s(hex);
    for (std::string x; s >> x;) b.push_back(static_cast<uint8_t>(std::stoi(x, nullptr, 16)));
    return b;
}

// The recorded exchange as a log: link address 1 octet, cause 2 octets (with originator),
// common address 2, object address 3.
std::string ExchangeLog(const std::string& dir) {
    std::string log = dir + "exchange.lg1";
    auto w = RunProgram(Cli() + " log write " + Quote(log) + " --cot-length 2 --vwe5 1 < " +
                        Quote(test::SourceDir() + "samples/unbalanced_exchange.hex"));
    EXPECT_EQ(w.exitCode, 0) << w.err;
    return log;
}

// What the station should hold after the exchange, from the frames' octets as the standard
// lays them out: per object (common address, address, type without time tag) the latest
// element and the telegrams per group of causes.
struct Expected {
    int typneu = 0, typalt = 0, urs = 0, hk = 0, qua = 0;
    int64_t inf = 0;
    std::string dt;
    int uz[9] = {};
};

int Counter(int cause) {
    static const std::map<int, int> groups = {{1, 0}, {2, 1}, {3, 2},  {5, 3},  {6, 5}, {8, 5},
                                              {7, 6}, {9, 6}, {11, 6}, {12, 6}, {10, 7}};
    if (cause >= 20 && cause <= 41) return 4;
    auto it = groups.find(cause);
    return it == groups.end() ? 8 : it->second;
}

std::map<std::tuple<int, int, int>, Expected> Decode(const std::vector<nlohmann::json>& records) {
    std::map<std::tuple<int, int, int>, Expected> m;
    for (const nlohmann::json& r : records) {
        if (r["ta"] != 3 || r["stat"].get<int>() < 40) continue;
        std::vector<uint8_t> f = Bytes(r["bytes"]);
        // 68 L L 68 C A | type, qualifier, cause, originator, common address (2), objects
        const size_t a = 6;
        const int typ = f[a], n = f[a + 1] & 0x7F, cot = f[a + 2], orig = f[a + 3];
        const bool sq = f[a + 1] & 0x80;
        const int ca = f[a + 4] | f[a + 5] << 8;
        static const std::map<int, int> lengths = {{1, 1},  {3, 1},  {11, 3}, {13, 5},
                                                   {30, 8}, {45, 1}, {100, 1}};
        if (!lengths.count(typ)) {
            ADD_FAILURE() << "a type this decoding does not know: " << typ;
            continue;
        }
        const int len = lengths.at(typ);
        size_t p = a + 6;
        const int first = f[p] | f[p + 1] << 8 | f[p + 2] << 16;
        for (int i = 0; i < n; ++i) {
            int ioa = first + i;
            if (!sq || i == 0) {
                ioa = f[p] | f[p + 1] << 8 | f[p + 2] << 16;
                p += 3;
            }
            const uint8_t* e = &f[p];
            p += len;
            const int key = typ == 30 ? 1 : typ; // with and without time tag: one object
            Expected& x = m[{ca, ioa, key}];
            if (x.typneu != 0 && x.typneu != typ) x.typalt = x.typneu;
            x.typneu = typ;
            x.urs = cot;
            x.hk = orig;
            x.dt = r["dt"];
            ++x.uz[Counter(cot & 0x3F)];
            switch (typ) {
            case 1:  // SIQ
            case 30: // SIQ + CP56Time2a
            case 45: // SCO
                x.inf = e[0] & 1;
                x.qua = e[0] & 0xFE;
                break;
            case 3: // DIQ
                x.inf = e[0] & 3;
                x.qua = e[0] & 0xFC;
                break;
            case 11: // SVA + QDS
                x.inf = static_cast<int16_t>(e[0] | e[1] << 8);
                x.qua = e[2];
                break;
            case 13: // IEEE 754 short float (its bits) + QDS
                x.inf = static_cast<uint32_t>(e[0] | e[1] << 8 | e[2] << 16) |
                        static_cast<uint32_t>(e[3]) << 24;
                x.qua = e[4];
                break;
            case 100: // QOI
                x.inf = 0;
                x.qua = e[0];
                break;
            }
        }
    }
    return m;
}

TEST(CliImage, TheImageOfARecordedExchangeMatchesTheFramesObjectByObject) {
    std::string dir = test::TempDir("cliimage");
    std::string log = ExchangeLog(dir);
    auto rec = RunProgram(Cli() + " log records " + Quote(log));
    ASSERT_EQ(rec.exitCode, 0) << rec.err;
    auto expected = Decode(JsonLines(rec.out));
    ASSERT_GE(expected.size(), 8u);

    auto r = RunProgram(Cli() + " image " + Quote(log));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto rows = JsonLines(r.out);
    ASSERT_EQ(rows.size(), expected.size());
    std::tuple<int, int, int> before{-1, -1, -1};
    for (const nlohmann::json& j : rows) {
        const int key = j["typneu"] == 30 ? 1 : j["typneu"].get<int>();
        std::tuple<int, int, int> k{j["ca"], j["ioa"], key};
        EXPECT_LT(before, k) << "rows in address order";
        before = k;
        ASSERT_TRUE(expected.count(k)) << j.dump();
        const Expected& x = expected[k];
        SCOPED_TRACE(j.dump());
        EXPECT_EQ(j["typneu"], x.typneu);
        EXPECT_EQ(j["typalt"], x.typalt);
        EXPECT_EQ(j["urs"], x.urs);
        EXPECT_EQ(j["hk"], x.hk);
        EXPECT_EQ(j["qua"], x.qua);
        EXPECT_EQ(j["inf"].get<int64_t>(), x.inf);
        EXPECT_EQ(j["dt"], x.dt);
        for (int u = 0; u < 9; ++u) EXPECT_EQ(j["uz" + std::to_string(u + 1)], x.uz[u]) << u;
    }
}

TEST(CliImage, TheLimitKeepsOneMoreObjectCsvIsTheGridAndBadArgumentsAreRefused) {
    std::string dir = test::TempDir("cliimagemax");
    std::string log = ExchangeLog(dir);
    auto r = RunProgram(Cli() + " image " + Quote(log) + " --max 2");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonLines(r.out).size(), 3u);
    EXPECT_FALSE(r.err.empty()) << "the full table is told";
    // As CSV: the heading row, the three objects, the caption; TAB-separated, CR LF.
    auto csv = RunProgram(Cli() + " image " + Quote(log) + " --max 2 --format csv");
    std::vector<std::string> lines = test::OutputLines(csv.out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\r'), 5);
    EXPECT_EQ(std::count(lines[3].begin(), lines[3].end(), '\t'), 15);
    EXPECT_EQ(lines[3].substr(0, 5), "0003\t");

    for (const char* bad : {" --format xml", " --max 0", " --max many", " --max", " --frobnicate"})
        EXPECT_EQ(RunProgram(Cli() + " image " + Quote(log) + bad).exitCode, 2) << bad;
    EXPECT_EQ(RunProgram(Cli() + " image").exitCode, 2);
    EXPECT_EQ(RunProgram(Cli() + " image " + Quote(dir + "missing.lg1")).exitCode, 1);
    auto help = RunProgram(Cli() + " image --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--max"), std::string::npos);
}

TEST(CliPrint, APrintoutIntoAPdfHoldsThePagesAsText) {
    std::string dir = test::TempDir("cliprint");
    std::string log = ExchangeLog(dir);
    std::string pdf = dir + "out.pdf";
    auto r = RunProgram(Cli() + " log export " + Quote(log) + " --kind pdf --out " + Quote(pdf));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream f(pdf, std::ios::binary);
    std::string head(5, '\0');
    f.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");

    // The text export of the same log, line by line, is what the pages hold.
    auto txt = RunProgram(Cli() + " log export " + Quote(log) + " --format 3");
    ASSERT_EQ(txt.exitCode, 0);
    if (std::system("command -v pdftotext > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    auto pages = RunProgram("pdftotext -layout " + Quote(pdf) + " -");
    ASSERT_EQ(pages.exitCode, 0) << pages.err;
    std::string text = pages.out;
    auto squeeze = [](std::string s) {
        std::string o;
        for (char c : s)
            if (c != ' ' && c != '\r' && c != '\n') o += c;
        return o;
    };
    // Every line of the text export is on the pages (blanks aside: the layout spaces them).
    const std::string all = squeeze(text);
    std::istringstream s(txt.out);
    int checked = 0;
    for (std::string l; std::getline(s, l);) {
        std::string q = squeeze(l);
        if (q.empty()) continue;
        EXPECT_NE(all.find(q), std::string::npos) << l;
        ++checked;
    }
    EXPECT_GT(checked, 50);
    // Several pages, each with the header naming its number.
    EXPECT_NE(text.find('\f'), std::string::npos);
    EXPECT_NE(squeeze(text).find("exchange.lg1"), std::string::npos);

    // No --out, or the log itself as target, is refused.
    EXPECT_EQ(RunProgram(Cli() + " log export " + Quote(log) + " --kind pdf").exitCode, 2);
    EXPECT_EQ(RunProgram(Cli() + " log export " + Quote(log) + " --kind pdf --out " + Quote(log))
                  .exitCode,
              2);
    EXPECT_EQ(JsonLines(RunProgram(Cli() + " log info " + Quote(log)).out).size(), 1u);
}

} // namespace
} // namespace vdl
