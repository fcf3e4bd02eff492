// The modem state machine with stepped time: each step feeds the terminal or the remote side
// (or an outside event) at a time and names exactly what the modem sends in that step.
#include "modem_peer.h"

#include <gtest/gtest.h>

using namespace modempeer;

namespace {

const std::string OK = "\r\nOK\r\n", ERR = "\r\nERROR\r\n", NOC = "\r\nNO CARRIER\r\n",
                  RING = "\r\nRING\r\n", C9600 = "\r\nCONNECT 9600\r\n";

// input: text from the terminal, or "!ring", "!hangup" (remote), "!dtr", "!remote:DATA".
struct Step {
    Ms at;
    std::string input, terminal, remote = "";
};

void apply(Modem& m, const Step& s) {
    if (s.input == "!ring")
        m.ring(s.at);
    else if (s.input == "!hangup")
        m.remoteHangup(s.at);
    else if (s.input == "!dtr")
        m.dtrDrop(s.at);
    else if (s.input.rfind("!remote:", 0) == 0)
        m.fromRemote(s.input.substr(8), s.at);
    else
        m.fromTerminal(s.input, s.at);
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Config quiet{.echo = false};
// Dialled at 0, online at 2000; then escaped with the guard times at 4000.
const std::vector<Step> dialled = {{0, "ATD123\r\n", ""}, {2000, "", C9600}};
const std::vector<Step> escaped =
    dialled + std::vector<Step>{{3000, "+++", "", "+++"}, {4000, "", OK}};

} // namespace

TEST(Modem, AnswersFollowTheCommands) {
    struct Row {
        const char* name;
        Config config;
        std::vector<Step> steps;
        State end;
    } rows[] = {
        {"AT", quiet, {{0, "AT\r", OK}}, State::Command},
        {"lower case, LF ignored", quiet, {{0, "at\r\n", OK}}, State::Command},
        {"not a command", quiet, {{0, "aT\r", ""}, {0, "hello\r", ""}}, State::Command},
        {"several on a line", quiet, {{0, "ATE0 V1S0=0H0\r", OK}}, State::Command},
        {"wrong commands",
         quiet,
         {{0, "ATJ\r", ERR}, {0, "ATE2\r", ERR}, {0, "ATS0=256\r", ERR}, {0, "ATS0\r", ERR}},
         State::Command},
        {"echo by default, ATE0",
         {},
         {{0, "AT\r", "AT\r" + OK}, {0, "ATE0\r", "ATE0\r" + OK}, {0, "AT\r", OK}},
         State::Command},
        {"ATZ restores the echo",
         quiet,
         {{0, "ATE1\r", OK}, {0, "AT\r", "AT\r" + OK}, {0, "ATZ\r", "ATZ\r" + OK}, {0, "AT\r", OK}},
         State::Command},
        {"AT&F restores the echo",
         quiet,
         {{0, "ATE1\r", OK}, {0, "AT&F\r", "AT&F\r" + OK}, {0, "AT\r", OK}},
         State::Command},
        {"numeric results",
         quiet,
         {{0, "ATV0\r", "0\r"}, {0, "ATJ\r", "4\r"}, {0, "ATD1\r", ""}, {2000, "", "1\r"}},
         State::Online},
        {"S register",
         quiet,
         {{0, "ATS0=2\r", OK}, {0, "ATS0?\r", "\r\n002\r\n" + OK}},
         State::Command},
        {"dial connects after the delay",
         quiet,
         {{0, "ATD123\r\n", ""}, {1999, "", ""}, {2000, "", C9600}},
         State::Online},
        {"dial busy",
         {.echo = false, .dialResult = Result::Busy},
         {{0, "ATD1\r", ""}, {2000, "", "\r\nBUSY\r\n"}, {2000, "AT\r", OK}},
         State::Command},
        {"dial without carrier",
         {.echo = false, .dialResult = Result::NoCarrier},
         {{0, "ATD1\r", ""}, {2000, "", NOC}},
         State::Command},
        {"dial without dial tone",
         {.echo = false, .dialResult = Result::NoDialtone},
         {{0, "ATD1\r", ""}, {2000, "", "\r\nNO DIALTONE\r\n"}},
         State::Command},
        {"connect split over two lines",
         {.echo = false, .form = Form::Split},
         {{0, "ATD1\r", ""}, {2000, "", "\r\nCONNECT\r\n9600\r\n"}},
         State::Online},
        {"connect in two pieces",
         {.echo = false, .form = Form::Pieces},
         {{0, "ATD1\r", ""}, {2000, "", "\r\nCONN"}, {2299, "", ""}, {2300, "", "ECT 9600\r\n"}},
         State::Online},
        {"connect without speed",
         {.echo = false, .speed = 0},
         {{0, "ATD1\r", ""}, {2000, "", "\r\nCONNECT\r\n"}},
         State::Online},
        {"a key abandons the dial",
         quiet,
         {{0, "ATD1\r\n", ""}, {500, "x", NOC}, {2000, "", ""}},
         State::Command},
        {"data passes both ways", quiet,
         dialled +
             std::vector<Step>{{2100, "\x10\x49", "", "\x10\x49"}, {2100, "!remote:\xE5", "\xE5"}},
         State::Online},
        {"escape with guard times, ATO", quiet,
         dialled + std::vector<Step>{{3000, "+++", "", "+++"},
                                     {3999, "", ""},
                                     {4000, "", OK},
                                     {4000, "!remote:x", ""},
                                     {4000, "ATO\r", C9600},
                                     {4100, "ab", "", "ab"}},
         State::Online},
        {"escape, ATH", quiet, escaped + std::vector<Step>{{4000, "ATH\r", OK}}, State::Command},
        {"no escape without the guard before", quiet,
         dialled + std::vector<Step>{{2500, "+++", "", "+++"}, {9000, "", ""}}, State::Online},
        {"no escape without the guard after", quiet,
         dialled +
             std::vector<Step>{{3000, "+++", "", "+++"}, {3500, "x", "", "x"}, {9000, "", ""}},
         State::Online},
        {"no escape with slow pluses", quiet,
         dialled +
             std::vector<Step>{
                 {3000, "+", "", "+"}, {4001, "+", "", "+"}, {4500, "+", "", "+"}, {9000, "", ""}},
         State::Online},
        {"no escape with four pluses", quiet,
         dialled + std::vector<Step>{{3000, "++++", "", "++++"}, {9000, "", ""}}, State::Online},
        {"DTR drop hangs up", quiet,
         dialled + std::vector<Step>{{2500, "!dtr", NOC}, {2500, "AT\r", OK}}, State::Command},
        {"DTR drop in online command state", quiet,
         escaped + std::vector<Step>{{4500, "!dtr", NOC}}, State::Command},
        {"remote hangs up", quiet,
         dialled + std::vector<Step>{{2500, "!hangup", NOC}, {2600, "!remote:x", ""}},
         State::Command},
        {"no call to resume or hang up",
         quiet,
         {{0, "ATO\r", NOC}, {0, "!hangup", ""}, {0, "!dtr", ""}, {0, "ATH\r", OK}},
         State::Command},
        {"no dialling during a call", quiet, escaped + std::vector<Step>{{4000, "ATD2\r", ERR}},
         State::OnlineCommand},
        {"ring, ATA",
         quiet,
         {{0, "!ring", RING},
          {2999, "", ""},
          {3000, "", RING},
          {3500, "ATA\r", ""},
          {5500, "", C9600}},
         State::Online},
        {"auto-answer after two rings",
         quiet,
         {{0, "ATS0=2\r", OK},
          {100, "!ring", RING},
          {3100, "", RING},
          {5099, "", ""},
          {5100, "", C9600}},
         State::Online},
        {"the caller gives up",
         {.echo = false, .rings = 2},
         {{0, "!ring", RING}, {3000, "", RING}, {6000, "", ""}, {9000, "ATA\r", NOC}},
         State::Command},
        {"ATH refuses a ringing call",
         quiet,
         {{0, "!ring", RING}, {100, "ATH\r", OK}, {3000, "", ""}},
         State::Command},
        {"no ring during a call", quiet, dialled + std::vector<Step>{{2500, "!ring", ""}},
         State::Online},
    };
    for (const Row& r : rows) {
        Modem m(r.config);
        for (std::size_t i = 0; i < r.steps.size(); ++i) {
            const Step& s = r.steps[i];
            apply(m, s);
            EXPECT_EQ(m.takeTerminal(), s.terminal) << r.name << ", step " << i;
            EXPECT_EQ(m.takeRemote(), s.remote) << r.name << ", step " << i;
        }
        EXPECT_EQ(name(m.state()), std::string(name(r.end))) << r.name;
    }
}

TEST(Modem, CountsWhatHappened) {
    Modem m(quiet);
    const std::vector<Step> session =
        escaped + std::vector<Step>{{4000, "ATH\r", OK},    {4000, "ATJ\r", ERR},
                                    {5000, "!ring", RING},  {6000, "ATA\r", ""},
                                    {8000, "", C9600},      {8100, "!remote:abc", "abc"},
                                    {8200, "!hangup", NOC}, {9000, "ATD2\r", ""},
                                    {11000, "", C9600},     {11500, "!dtr", NOC}};
    for (const Step& s : session) apply(m, s);
    const Counters& c = m.stats;
    EXPECT_EQ(c.commands, 5u);
    EXPECT_EQ(c.connects, 3u);
    EXPECT_EQ(c.hangupsAth, 1u);
    EXPECT_EQ(c.hangupsRemote, 1u);
    EXPECT_EQ(c.hangupsDtr, 1u);
    EXPECT_EQ(c.rings, 1u);
    EXPECT_EQ(c.errors, 1u);
    EXPECT_EQ(c.bytesToRemote, 3u);
    EXPECT_EQ(c.bytesFromRemote, 3u);
    // The log names the lines received and why the state changed.
    std::string log;
    for (const Event& e : m.takeEvents())
        if (e.kind != "tx") log += e.kind + ":" + e.text + (e.why.empty() ? "" : "/" + e.why) + " ";
    EXPECT_NE(log.find("rx:ATD123 state:connecting/dial 123 state:online/connected "
                       "state:online-command/escape rx:ATH state:command/ATH rx:ATJ "),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("state:command/remote hung up"), std::string::npos) << log;
    EXPECT_NE(log.find("state:command/DTR dropped"), std::string::npos) << log;
}
