// The send telegrams in the running program: carried by the parameter set file, requested by
// the minute service and by the command file, on the fake clock.
#include "app/main_commands.h"
#include "app/program.h"
#include "send/sete_files.h"

#include "program_rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The user data frames channel 1 sent.
std::vector<T_Telegramm> SentData(const ProgramRig& r) {
    std::vector<T_Telegramm> out;
    for (const T_Telegramm& t : r.seen)
        if (t.ek == EK_TX1 && t.lg > 6 && t.b[0] == 0x68) out.push_back(t);
    return out;
}

// Channel 1 monitors (sends without link procedure) on port 1; the program goes online.
void Online(ProgramRig& r) {
    r.Start();
    r.prog.com[0].bp.cnr = 1;
    r.Ticks(8);
    ASSERT_TRUE(r.prog.av.online);
}

} // namespace

TEST(ProgramSend, ParameterSetCarriesTheTelegramsByteForByte) {
    ProgramRig r("psend-set");
    r.Start();
    Program& p = r.prog;
    T_SeTe& t = p.sete.at(3);
    t.typ = 50;
    t.bez.set("Sollwert");
    float v = 12.5f;
    std::memcpy(&t.inf, &v, 4);
    t.zus = 200;
    t.anzt = 7;
    t.anst = ANST_EVERY_MINUTES;
    t.minute = 5;
    t.datei.set("x.csv");
    const std::string one = r.dir + "one.vpr", two = r.dir + "two.vpr";
    ASSERT_TRUE(SaveParamSetCommand(p, one));
    const std::vector<uint8_t> saved = FileBytes(one);
    ASSERT_EQ(saved.size(), kParamSetLen);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin() + 62020, saved.begin() + 62020 + 6532),
              SeTeBlock(p.sete));

    t.typ = 1;
    t.bez.set("changed");
    ASSERT_TRUE(LoadParamSetCommand(p, one));
    EXPECT_EQ(p.sete.at(3).typ, 50);
    EXPECT_EQ(p.sete.at(3).bez.str(), "Sollwert");
    EXPECT_TRUE(p.av.anstzeit); // a time-triggered telegram switches the minute service on
    ASSERT_TRUE(SaveParamSetCommand(p, two));
    const std::vector<uint8_t> again = FileBytes(two);
    ASSERT_EQ(again.size(), kParamSetLen);
    EXPECT_TRUE(
        std::equal(saved.begin() + 62020, saved.begin() + 62020 + 6532, again.begin() + 62020));
}

TEST(ProgramSend, MinuteServiceSendsEveryMinute) {
    ProgramRig r("psend-minute");
    Online(r);
    T_SeTe& t = r.prog.sete.at(1);
    t.anst = ANST_EVERY_MINUTES;
    t.minute = 0;
    r.prog.send->StopAll();
    ASSERT_TRUE(r.prog.av.anstzeit);
    r.prog.com[0].bp.fkt = FKT_FT12; // the clock triggers only a channel that does not monitor
    // From 10:00:01 to past 10:03: the first minute check and three changes of the minute.
    const int perMinute = 60000 / 54 + 1;
    r.Ticks(3 * perMinute + 200);
    EXPECT_EQ(SentData(r).size(), 4u);
    for (const T_Telegramm& f : SentData(r)) EXPECT_EQ(f.b[6], 1); // single point, telegram 1
}

TEST(ProgramSend, CommandFileRequestsTelegramTwelveOnceAndIsEmptied) {
    ProgramRig r("psend-cmd");
    Online(r);
    Program& p = r.prog;
    p.pp.opt[12] = 1;
    const std::string cmd = p.av.DataDir + p.texts.tx(395);
    {
        std::ofstream f(cmd, std::ios::binary);
        f << "GA;0;0;1;2;0;0;1;1;100;6;0;7;0;20;0;\r\n0;0;0;0;0;0;0;;\r\n0;\r\n";
    }
    r.Ticks(40);
    EXPECT_EQ(p.sete.at(12).typ, 100);
    EXPECT_EQ(p.sete.at(12).bez.str(), "GA");
    EXPECT_EQ(fs::file_size(cmd), 0u);
    std::vector<T_Telegramm> sent = SentData(r);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].b[6], 100);
    EXPECT_EQ(sent[0].b[9], 7); // common address 7
    // The emptied file requests nothing more.
    r.Ticks(40);
    EXPECT_EQ(SentData(r).size(), 1u);
    // Without option 12 the file is left alone.
    p.pp.opt[12] = 0;
    std::ofstream(cmd, std::ios::binary) << "x;0;0;1;2;0;0;1;1;100;6;0;7;0;20;0;\r\n\r\n";
    r.Ticks(40);
    EXPECT_GT(fs::file_size(cmd), 0u);
}
