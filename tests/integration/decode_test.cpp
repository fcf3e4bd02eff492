// vordal-cli decode: recorded bytes through the receivers of both channels.
#include "support/frames.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

using namespace vdl::test;
using nlohmann::json;

namespace {

// A texts folder whose program texts hold the permitted function codes and causes.
std::string TextsDir() {
    static std::string dir;
    if (dir.empty()) {
        dir = TempDir("decode-texts");
        std::ofstream(dir + "VdlText.ger", std::ios::binary) << StandardTextFile();
    }
    return dir;
}

ProcessResult Decode(const std::string& input, const std::string& options) {
    return RunProgram(Quote(BinDir() + "vordal-cli") + " decode --records --texts " +
                          Quote(TextsDir()) + " " + options,
                      input);
}

std::vector<json> Records(const ProcessResult& r) {
    std::vector<json> out;
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line)) out.push_back(json::parse(line));
    return out;
}

struct Frame {
    int channel; // 1 controlling station, 2 controlled station
    Bytes bytes;
    int typ = 0, struk = 0, urs = 0, ca = 0;
};

std::string Input(const std::vector<Frame>& frames) {
    std::string s = "# an unbalanced exchange, station 7, common address 0x0102\n";
    for (const Frame& f : frames)
        s += "c" + std::to_string(f.channel) + " " + ToHex(f.bytes) + "\n";
    return s;
}

const char* kSettings = "--link-address-length 1 --cot-length 2 --ca-structure 8.8 "
                        "--ioa-structure 8.8.8 --vwe5 1";

} // namespace

TEST(CliDecode, UnbalancedExchangeIsCorrectThroughout) {
    constexpr uint8_t la = 7;
    // The controlling station's counted requests toggle FCB, starting with 1 after the reset.
    bool fcb = true;
    auto counted = [&fcb](uint8_t code) {
        uint8_t lc = static_cast<uint8_t>(0x50 | code | (fcb ? 0x20 : 0));
        fcb = !fcb;
        return lc;
    };
    auto asdu = [](int typ, int struk, int cot, const Bytes& objects) {
        Bytes a{static_cast<uint8_t>(typ),
                static_cast<uint8_t>(struk),
                static_cast<uint8_t>(cot),
                0x00,
                0x02,
                0x01};
        for (uint8_t x : objects) a.push_back(x);
        return a;
    };
    std::vector<Frame> ex = {
        {1, Fixed(0x49, la)}, // request status of link
        {2, Fixed(0x0B, la)}, // status of link
        {1, Fixed(0x40, la)}, // reset of remote link
        {2, Hex("E5")},       // acknowledged
        {1, Fixed(0x49, la)}, // status again (no FCV, not counted)
        {2, Fixed(0x0B, la)},
        {1, Fixed(counted(0x0B), la)}, // class 2 poll
        {2, Fixed(0x09, la)},          // no data
        {1, Variable(counted(0x03), la, asdu(100, 1, 6, Hex("00 00 00 14"))), 100, 1, 6, 0x0102},
        {2, Fixed(0x20, la)},          // positive acknowledgement, ACD
        {1, Fixed(counted(0x0A), la)}, // class 1 poll
        {2, Variable(0x28, la, asdu(100, 1, 7, Hex("00 00 00 14"))), 100, 1, 7, 0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Variable(0x28, la, asdu(1, 0x84, 20, Hex("E8 03 00 01 00 01 81"))), 1, 0x84, 20,
         0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Variable(0x28, la, asdu(9, 2, 20, Hex("D0 07 00 00 40 00  D1 07 00 00 C0 80"))), 9, 2,
         20, 0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Variable(0x28, la, asdu(11, 1, 20, Hex("B8 0B 00 FE FF 00"))), 11, 1, 20, 0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Variable(0x28, la, asdu(13, 1, 20, Hex("A0 0F 00 00 00 C0 3F 00"))), 13, 1, 20, 0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Variable(0x08, la, asdu(100, 1, 10, Hex("00 00 00 14"))), 100, 1, 10, 0x0102},
        {1, Fixed(counted(0x0B), la)},
        {2, Variable(0x28, la, asdu(30, 1, 3, Hex("E9 03 00 01 10 27 1E 0A 08 0C 1A"))), 30, 1, 3,
         0x0102},
        {1, Fixed(counted(0x0A), la)},
        {2, Fixed(0x09, la)},
    };
    ProcessResult r = Decode(Input(ex), kSettings);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<json> rec = Records(r);
    ASSERT_EQ(rec.size(), ex.size()) << r.out;
    for (size_t i = 0; i < ex.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i) + ": " + ToHex(ex[i].bytes));
        EXPECT_EQ(rec[i]["stat"], 40);
        EXPECT_EQ(rec[i]["ek"], ex[i].channel == 1 ? 1 : 3);
        EXPECT_EQ(rec[i]["bytes"], ToHex(ex[i].bytes));
        EXPECT_EQ(rec[i]["lg"], ex[i].bytes.size());
        EXPECT_EQ(rec[i]["ta"], ex[i].bytes[0] == 0x68 ? 3 : 2);
        EXPECT_EQ(rec[i]["typ"], ex[i].typ);
        EXPECT_EQ(rec[i]["struk"], ex[i].struk);
        EXPECT_EQ(rec[i]["urs"], ex[i].urs);
        EXPECT_EQ(rec[i]["ca"], ex[i].ca);
        const bool single = ex[i].bytes.size() == 1;
        EXPECT_EQ(rec[i]["la"], single ? 0 : la);
        EXPECT_EQ(rec[i]["lc"], single ? 0xE5 : ex[i].bytes[ex[i].bytes[0] == 0x68 ? 4 : 1]);
    }

    // The same exchange with a repeated poll and a single character that is not permitted.
    std::vector<Frame> bad = {ex[0], ex[1], ex[2], ex[3], ex[6], ex[6]};
    r = Decode(Input(bad), "--link-address-length 1 --cot-length 2 --vwe5 0");
    rec = Records(r);
    ASSERT_EQ(rec.size(), bad.size());
    EXPECT_EQ(rec[3]["stat"], 12);
    EXPECT_EQ(rec[4]["stat"], 40);
    EXPECT_EQ(rec[5]["stat"], 14);
}

TEST(CliDecode, PausesEndOfInputAndChannels) {
    // An unfinished frame waits for the pause, the end of the input closes the rest.
    std::string in = "10 49 07\n\nc2 68 0C\n# a comment between\n0C 68\n";
    ProcessResult r = Decode(in, "");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<json> rec = Records(r);
    ASSERT_EQ(rec.size(), 4u) << r.out;
    EXPECT_EQ(rec[0]["stat"], 8);
    EXPECT_EQ(rec[0]["lg"], 3);
    EXPECT_EQ(rec[0]["line"], 2); // closed by the pause on line 2
    EXPECT_EQ(rec[1]["ek"], 1);   // "0C 68" on channel 1: stray bytes
    EXPECT_EQ(rec[1]["stat"], 5);
    EXPECT_EQ(rec[1]["bytes"], "0C");
    EXPECT_EQ(rec[2]["bytes"], "68"); // a frame start of its own
    EXPECT_EQ(rec[2]["line"], 0);     // closed at the end of the input
    EXPECT_EQ(rec[3]["ek"], 3);
    EXPECT_EQ(rec[3]["bytes"], "68 0C");

    // Upper case C1 is a byte, lower case c1 the channel.
    rec = Records(Decode("C1 C2\nc2 C1\n", ""));
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0]["bytes"], "C1 C2");
    EXPECT_EQ(rec[1]["ek"], 3);

    // 40 bytes of garbage: 16, 16 and 8.
    r = Decode(std::string(80, 'A') + "\n", "");
    rec = Records(r);
    ASSERT_EQ(rec.size(), 3u);
    EXPECT_EQ(rec[2]["lg"], 8);
}

TEST(CliDecode, OptionsReachTheReceiver) {
    // Spike suppression: the short faulty frames are not printed.
    std::string spikes = "10 49 02\n\n10 49 02\n\n10 49 07 50 16\n";
    EXPECT_EQ(Records(Decode(spikes, "")).size(), 3u);
    std::vector<json> rec = Records(Decode(spikes, "--spikes"));
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0]["stat"], 40);
    // Function 3 accepts 0xA2 and checks no control field.
    rec = Records(Decode("A2\n10 45 07 4C 16\n", "--function 3"));
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0]["stat"], 40);
    EXPECT_EQ(rec[1]["stat"], 40);
    // Two link address octets, no originator address.
    rec = Records(Decode("10 49 07 01 51 16\n", "--link-address-length 2"));
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0]["la"], 0x0107);
    // Emulating the controlled station: a frame for another station.
    rec = Records(Decode("10 49 07 50 16\n", "--function 2 --link-addresses 3,5 --emulate"));
    EXPECT_EQ(rec[0]["stat"], 29);
    rec = Records(Decode("10 49 05 4E 16\n", "--function 2 --link-addresses 3,5 --emulate"));
    EXPECT_EQ(rec[0]["stat"], 40);
    // Balanced procedure reads the balanced function codes: 2 (test function) is permitted.
    rec = Records(Decode("10 72 07 79 16\n", "--procedure balanced"));
    EXPECT_EQ(rec[0]["stat"], 40);
    rec = Records(Decode("10 72 07 79 16\n", ""));
    EXPECT_EQ(rec[0]["stat"], 17);
}

TEST(CliDecode, BadInputAndOptionsAreRefusedClearly) {
    ProcessResult r = Decode("10 49 07 50 16\n10 4G\n", "");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    r = Decode("c1\n", ""); // a channel without bytes
    EXPECT_EQ(r.exitCode, 2);
    r = Decode("104\n", "");
    EXPECT_EQ(r.exitCode, 2);
    for (const char* opt :
         {"--function 7", "--procedure both", "--link-address-length 3", "--cot-length 0",
          "--ca-structure 3.4", "--ioa-structure 8.8.8.8", "--vwe5 4", "--link-addresses 1,255",
          "--link-addresses x", "--link-addresses 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16",
          "--frobnicate"}) {
        r = Decode("E5\n", opt);
        EXPECT_EQ(r.exitCode, 2) << opt;
        EXPECT_FALSE(r.err.empty()) << opt;
        EXPECT_TRUE(r.out.empty()) << opt;
    }
    r = RunProgram(Quote(BinDir() + "vordal-cli") + " decode /nonexistent/file.hex");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos);
    // A texts folder without texts: the loader's message.
    r = RunProgram(Quote(BinDir() + "vordal-cli") + " decode --texts " +
                       Quote(TempDir("decode-notexts")),
                   "E5\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Program text file missing/wrong"), std::string::npos) << r.err;
}

TEST(CliDecode, ReceiveTimesKeepTheTimingOfARecording) {
    // A frame cut short closes once the line has been quiet for the receive time-out, before
    // the next line; a time before the one of the line before is on the next day.
    std::vector<json> rec =
        Records(Decode("@23:59:59.990 c1 10 49 07\n@00:00:05.000 c2 E5\n@0.25 E5\n", ""));
    ASSERT_EQ(rec.size(), 3u);
    EXPECT_EQ(rec[0]["stat"], 8);
    EXPECT_GT(rec[0]["time"].get<double>(), 86399.990);
    EXPECT_LT(rec[0]["time"].get<double>(), 86401.0);
    EXPECT_EQ(rec[0]["line"], 2);
    EXPECT_EQ(rec[1]["time"], 86405.0);
    EXPECT_EQ(rec[2]["time"], 2 * 86400 + 0.25);
    // Without times the records carry none.
    rec = Records(Decode("E5\n", ""));
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_FALSE(rec[0].contains("time"));
}
