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
    using S = std::vector<Step>;
    const auto C = State::Command, O = State::Online;
    const Config busy{.echo = false, .dialResult = Result::Busy},
        noCarrier{.echo = false, .dialResult = Result::NoCarrier},
        noTone{.echo = false, .dialResult = Result::NoDialtone},
        split{.echo = false, .form = Form::Split}, pieces{.echo = false, .form = Form::Pieces},
        noSpeed{.echo = false, .speed = 0}, twoRings{.echo = false, .rings = 2};
    struct Row {
        const char* name;
        Config config;
        S steps;
        State end;
    } rows[] = {
        // clang-format off
        {"AT", quiet, {{0, "AT\r", OK}}, C},
        {"lower case, LF ignored", quiet, {{0, "at\r\n", OK}}, C},
        {"not a command", quiet, {{0, "aT\r", ""}, {0, "hello\r", ""}}, C},
        {"several on a line", quiet, {{0, "ATE0 V1S0=0H0\r", OK}}, C},
        {"wrong commands", quiet, {{0, "ATJ\r", ERR}, {0, "ATE2\r", ERR}, {0, "ATS0=256\r", ERR},
                                   {0, "ATS0\r", ERR}}, C},
        {"echo by default, ATE0", {}, {{0, "AT\r", "AT\r" + OK}, {0, "ATE0\r", "ATE0\r" + OK},
                                       {0, "AT\r", OK}}, C},
        {"ATZ, AT&F restore the echo", quiet, {{0, "ATE1\r", OK}, {0, "ATZ\r", "ATZ\r" + OK},
                                               {0, "AT\r", OK}, {0, "ATE1\r", OK},
                                               {0, "AT&F\r", "AT&F\r" + OK}, {0, "AT\r", OK}}, C},
        {"numeric results", quiet, {{0, "ATV0\r", "0\r"}, {0, "ATJ\r", "4\r"}, {0, "ATD1\r", ""},
                                    {2000, "", "1\r"}}, O},
        {"S register", quiet, {{0, "ATS0=2\r", OK}, {0, "ATS0?\r", "\r\n002\r\n" + OK}}, C},
        {"dial connects after the delay", quiet, {{0, "ATD123\r\n", ""}, {1999, "", ""},
                                                  {2000, "", C9600}}, O},
        {"dial busy", busy, {{0, "ATD1\r", ""}, {2000, "", "\r\nBUSY\r\n"}, {2000, "AT\r", OK}}, C},
        {"dial without carrier", noCarrier, {{0, "ATD1\r", ""}, {2000, "", NOC}}, C},
        {"dial without tone", noTone, {{0, "ATD1\r", ""}, {2000, "", "\r\nNO DIALTONE\r\n"}}, C},
        {"two lines", split, {{0, "ATD1\r", ""}, {2000, "", "\r\nCONNECT\r\n9600\r\n"}}, O},
        {"two pieces", pieces, {{0, "ATD1\r", ""}, {2000, "", "\r\nCONN"}, {2299, "", ""},
                                {2300, "", "ECT 9600\r\n"}}, O},
        {"connect without speed", noSpeed, {{0, "ATD1\r", ""}, {2000, "", "\r\nCONNECT\r\n"}}, O},
        {"a key ends dialling", quiet, {{0, "ATD1\r\n", ""}, {500, "x", NOC}, {2000, "", ""}}, C},
        {"data passes both ways", quiet, dialled + S{{2100, "\x10\x49", "", "\x10\x49"},
                                                     {2100, "!remote:\xE5", "\xE5"}}, O},
        {"escape with guard times, ATO", quiet, dialled + S{{3000, "+++", "", "+++"},
            {3999, "", ""}, {4000, "", OK}, {4000, "!remote:x", ""}, {4000, "ATO\r", C9600},
            {4100, "ab", "", "ab"}}, O},
        {"escape, ATH", quiet, escaped + S{{4000, "ATH\r", OK}}, C},
        {"no escape without the guard before", quiet, dialled + S{{2500, "+++", "", "+++"},
                                                                  {9000, "", ""}}, O},
        {"no escape without the guard after", quiet, dialled + S{{3000, "+++", "", "+++"},
            {3500, "x", "", "x"}, {9000, "", ""}}, O},
        {"no escape with slow pluses", quiet, dialled + S{{3000, "+", "", "+"},
            {4001, "+", "", "+"}, {4500, "+", "", "+"}, {9000, "", ""}}, O},
        {"no escape: four pluses", quiet, dialled + S{{3000, "++++", "", "++++"}, {9000, "", ""}},
            O},
        {"DTR drop hangs up", quiet, dialled + S{{2500, "!dtr", NOC}, {2500, "AT\r", OK}}, C},
        {"DTR drop in online command state", quiet, escaped + S{{4500, "!dtr", NOC}}, C},
        {"remote hangs up", quiet, dialled + S{{2500, "!hangup", NOC}, {2600, "!remote:x", ""}}, C},
        {"no call to resume or hang up", quiet, {{0, "ATO\r", NOC}, {0, "!hangup", ""},
            {0, "!dtr", ""}, {0, "ATH\r", OK}}, C},
        {"no dialling in a call", quiet, escaped + S{{4000, "ATD2\r", ERR}}, State::OnlineCommand},
        {"ring, ATA", quiet, {{0, "!ring", RING}, {2999, "", ""}, {3000, "", RING},
            {3500, "ATA\r", ""}, {5500, "", C9600}}, O},
        {"auto-answer after two rings", quiet, {{0, "ATS0=2\r", OK}, {100, "!ring", RING},
            {3100, "", RING}, {5099, "", ""}, {5100, "", C9600}}, O},
        {"the caller gives up", twoRings, {{0, "!ring", RING}, {3000, "", RING}, {6000, "", ""},
                                           {9000, "ATA\r", NOC}}, C},
        {"ATH refuses a call", quiet, {{0, "!ring", RING}, {100, "ATH\r", OK}, {3000, "", ""}}, C},
        {"no ring during a call", quiet, dialled + S{{2500, "!ring", ""}}, O},
        // clang-format on
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
