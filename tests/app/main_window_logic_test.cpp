// What the main window shows and does without its widgets: status panels, the statistics grid,
// recently used files, window placement, keys, and the commands on a running program (log open
// and delete, parameter sets, object texts, filters, colour tables, general settings).
#include "app/main_commands.h"
#include "app/main_state.h"
#include "app/program.h"
#include "core/display_lists.h"
#include "core/modem_file.h"

#include "support/fake_clock.h"
#include "support/fake_link_platform.h"
#include "support/fake_messages.h"
#include "support/fake_port.h"
#include "support/fake_system.h"
#include "support/paths.h"
#include "support/program_fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace vdl;
using namespace vdl::test;
namespace fs = std::filesystem;

namespace {

// What the window would be told.
struct ViewSpy : ProgramView {
    int status = 0, logDisplay = 0, onlineDisplay = 0, dialling = 0;
    std::vector<int> commands;
    bool online = false;
    void UpdateStatus() override { ++status; }
    void ShowOnlineDisplay() override {
        ++onlineDisplay;
        online = true;
    }
    void ShowLogDisplay() override {
        ++logDisplay;
        online = false;
    }
    bool OnlineDisplayShown() const override { return online; }
    void PostViewCommand(int code) override { commands.push_back(code); }
    void ShowDialling() override { ++dialling; }
};

struct Rig : ProgramFakes {
    std::string dir;
    FakePort port[2];
    Program prog;
    ViewSpy view;

    explicit Rig(const std::string& name) : dir(TempDir(name)), prog(dir, msg) {
        fs::copy_file(BinDir() + "VdlText.ger", dir + "VdlText.ger");
        fs::copy_file(BinDir() + "VdlText.usa", dir + "VdlText.usa");
        folders.appData = dir + "appdata/";
        sv.enumeratePorts = [] { return std::vector<int>{1, 2}; };
        EXPECT_EQ(prog.StartUp(sv), Program::StartResult::Run);
        prog.persistSettings = false;
        prog.FormCreate({prog.texts.tx(673)}, &port[0], &port[1]);
        prog.view = &view;
    }
    std::string tx(int n) const { return prog.texts.tx(n); }
    void Log(int n, uint8_t ek, uint8_t stat = ST_OK) {
        for (int i = 0; i < n; ++i) {
            T_Telegramm te{};
            te.stat = stat;
            te.ta = TA_FIXED;
            te.ek = ek;
            te.lg = 5;
            prog.LogTelegram(te);
        }
    }
};

} // namespace

TEST(MainState, StatusPanelsFollowTheRecords) {
    Rig r("mw-panels");
    Program& p = r.prog;
    p.av.online = false;
    p.pp.onlausg = 0;
    EXPECT_EQ(StatusPanel(p, 0).text, r.tx(673));
    EXPECT_EQ(StatusPanel(p, 0).rgb, 0xF0CAA6);
    EXPECT_EQ(StatusPanel(p, 1).text, r.tx(1142));
    EXPECT_EQ(StatusPanel(p, 1).rgb, kNoColour);
    p.av.online = true;
    p.pp.onlausg = 1;
    EXPECT_EQ(StatusPanel(p, 0).text, r.tx(674));
    EXPECT_EQ(StatusPanel(p, 0).rgb, 0x00FF00);
    EXPECT_EQ(StatusPanel(p, 1).text, r.tx(1143));
    EXPECT_EQ(StatusPanel(p, 1).rgb, 0xC0DCC0);
    p.ap.lfilt.aktiv = 1;
    EXPECT_EQ(StatusPanel(p, 2).text, r.tx(1146) + r.tx(1140));
    EXPECT_EQ(StatusPanel(p, 2).rgb, 0xF0CAA6);
    EXPECT_EQ(StatusPanel(p, 3).text, r.tx(1145) + r.tx(1139));
    EXPECT_EQ(StatusPanel(p, 3).rgb, kNoColour);
    p.av.dtLog = "/some/where/day.lg1";
    p.av.dtOaTxt = "C:\\data\\objects.txt";
    EXPECT_EQ(StatusPanel(p, 4).text, r.tx(1194) + "day.lg1");
    EXPECT_EQ(StatusPanel(p, 5).text, r.tx(1192) + "objects.txt");
}

TEST(MainState, AFirstStartWithoutAPortOpensQuietlyAndSaysHowToChooseOne) {
    Rig r("mw-noport");
    Program& p = r.prog;
    p.com[0].bp.cnr = p.com[1].bp.cnr = 0;
    p.pp.online = 1;
    p.pp.onlausg = 1;
    r.view.online = true;
    fs::copy_file(BinDir() + "Vordal_Objekttexte.txt", p.av.dtOaTxt);
    EXPECT_EQ(PortHint(p), r.tx(2230));
    // The ports would be opened now: there is none, and nobody has asked to go online.
    while (p.av.Tick <= p.av.OpenUhr + 1) p.TimerStep();
    EXPECT_TRUE(r.msg.errors.empty()) << r.msg.errors[0];
    EXPECT_FALSE(p.av.online);
    EXPECT_EQ(p.pp.online, 1);       // the next start goes online again
    EXPECT_EQ(r.view.logDisplay, 0); // the online display stays
    EXPECT_GT(r.view.status, 0);
    // The user goes online without a port: now the message says how to choose one.
    p.ToggleOnline();
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0], r.tx(1137));
    // A port on either channel ends the line.
    p.com[1].bp.cnr = 2;
    EXPECT_EQ(PortHint(p), "");
}

TEST(MainState, StatisticsGridCountsByChannelAndDirection) {
    Rig r("mw-grid");
    Program& p = r.prog;
    r.Log(1234, EK_RX1);
    r.Log(3, EK_RX1, ST_CHECKSUM);
    r.Log(2, EK_TX2);
    r.Log(1, EK_RX1, ST_DFC_IN_RESPONSE); // counted, but not as an error
    GridColumn c1 = GridColumnOf(p.texts, 1);
    EXPECT_GT(c1.width, 0);
    EXPECT_EQ(GridCell(p, 0, 1), c1.title);
    EXPECT_EQ(GridCell(p, 1, 0), r.tx(1280));
    EXPECT_EQ(GridCell(p, 2, 0), r.tx(1281));
    std::string rx = GridCell(p, 1, 1);
    EXPECT_EQ(rx.size(), 12u);
    EXPECT_EQ(rx.substr(rx.find_first_not_of(' ')), Format("%.0n", {1238.0}));
    EXPECT_EQ(GridCell(p, 1, 2), "        3");
    EXPECT_EQ(GridCell(p, 2, 3), "           2");
    EXPECT_EQ(GridCell(p, 2, 1), "           0");
    // Offline the link states are not in use.
    EXPECT_EQ(GridCell(p, 1, 5), r.tx(1184));
    EXPECT_EQ(GridCell(p, 1, 6), r.tx(1184));
    p.com[0].bp.cnr = 7;
    p.com[1].bp.cnr = 0;
    p.com[0].bp.baud = 19200;
    EXPECT_EQ(GridCell(p, 1, 7), PortNames::kComNames ? "COM7" : "/dev/ttyS6"); // the device
    EXPECT_EQ(GridCell(p, 2, 7), "-");
    EXPECT_EQ(GridCell(p, 1, 8), " 19200");
    p.com[1].bp.fkt = FKT_SLAVE;
    p.com[1].bp.pro = 1;
    EXPECT_EQ(GridCell(p, 2, 9), r.tx(1472 + FKT_SLAVE));
    EXPECT_EQ(GridCell(p, 2, 10), r.tx(1182));
    EXPECT_EQ(GridCell(p, 3, 1), "");
}

TEST(MainState, LinkStatesOfABalancedStationInBothDirections) {
    Rig r("mw-balanced");
    Program& p = r.prog;
    p.av.online = true;
    T_ComVar& c = p.com[0];
    c.se.open = true;
    c.se.sim = SIM_BALANCED;
    struct Row {
        uint8_t lke, lks; // the partner reset this station's link; the own link's state
        int partner, own; // the texts of the grid's two link columns
    };
    const Row rows[] = {
        {0, 0, kTxLinkDown, kTxLinkDown},
        {0x10, 3, kTxLinkUp, kTxLinkDown},
        {0x10, 1, kTxLinkUp, kTxLinkUp},
        {0, 5, kTxLinkDown, kTxLinkUp},
    };
    for (const Row& row : rows) {
        c.se.lke = row.lke;
        c.se.lks = row.lks;
        EXPECT_EQ(GridCell(p, 1, 5), r.tx(row.partner)) << int(row.lke);
        EXPECT_EQ(GridCell(p, 1, 6), r.tx(row.own)) << int(row.lks);
    }
}

// A controlling or controlled station of several stations: the link column shows whether the
// links of all its stations are up, whichever station is in turn.
TEST(MainState, TheLinkColumnOfSeveralStationsDoesNotFollowTheStationInTurn) {
    Rig r("mw-stations");
    Program& p = r.prog;
    p.av.online = true;
    T_ComVar& c = p.com[0];
    c.se.open = true;
    c.bp.la.anz = 3;
    struct Row {
        uint8_t sim;
        uint16_t uslstat; // bit i: station i's link is down
        int col, text;    // the link column and what it shows
    };
    const Row rows[] = {
        {SIM_MASTER, 0x0, 6, kTxLinkUp},   {SIM_MASTER, 0x2, 6, kTxLinkDown},
        {SIM_MASTER, 0x7, 6, kTxLinkDown}, {SIM_MASTER, 0x8, 6, kTxLinkUp},
        {SIM_SLAVE, 0x0, 5, kTxLinkUp},    {SIM_SLAVE, 0x4, 5, kTxLinkDown},
    };
    for (const Row& row : rows) {
        c.se.sim = row.sim;
        c.se.uslstat = row.uslstat;
        for (int usi = 0; usi < 3; ++usi) {
            c.se.usi = usi;
            EXPECT_EQ(GridCell(p, 1, row.col), r.tx(row.text))
                << int(row.sim) << " " << row.uslstat << " station " << usi;
        }
    }
}

TEST(MainState, RecentFilesNewestFirstEachOnceAtMostEight) {
    T_AllgVar av;
    for (int i = 0; i < 10; ++i) AddRecentFile(av, "/d/f" + std::to_string(i) + ".lg1");
    EXPECT_EQ(av.anzmru, kMaxMru);
    EXPECT_EQ(av.mru[0], "/d/f9.lg1");
    EXPECT_EQ(av.mru[7], "/d/f2.lg1");
    AddRecentFile(av, "/d/F5.LG1"); // the same name in other case moves to the top
    EXPECT_EQ(av.anzmru, kMaxMru);
    EXPECT_EQ(av.mru[0], "/d/F5.LG1");
    EXPECT_EQ(std::count(av.mru.begin(), av.mru.end(), "/d/f5.lg1"), 0);
    RemoveRecentFile(av, "/d/f9.lg1");
    EXPECT_EQ(av.anzmru, kMaxMru - 1);
    EXPECT_EQ(av.mru[1], "/d/f8.lg1");
    EXPECT_TRUE(av.mru[7].empty());
    AddRecentFile(av, "");
    EXPECT_EQ(av.anzmru, kMaxMru - 1);
}

TEST(MainState, FileKindsKeysFontAndPlacement) {
    Rig r("mw-kinds");
    const TextTable& t = r.prog.texts;
    EXPECT_EQ(KindOf("x" + t.tx(1200), t), FileKind::Log);
    EXPECT_EQ(KindOf("X" + t.tx(1223), t), FileKind::ParamSet);
    EXPECT_EQ(KindOf("x" + t.tx(1370), t), FileKind::ObjectTexts);
    EXPECT_EQ(KindOf("x.bin", t), FileKind::Other);

    uint8_t opt[16] = {1, 0, 1, 0};
    FunctionKeys k = FunctionKeysOf(opt);
    EXPECT_TRUE(k.online);
    EXPECT_FALSE(k.display);
    EXPECT_TRUE(k.filterToggle);
    EXPECT_FALSE(k.filter);

    EXPECT_EQ(ViewFontSize(7), 10);
    EXPECT_EQ(ViewFontSize(17), 10);
    EXPECT_EQ(ViewFontSize(8), 8);
    EXPECT_EQ(ViewFontSize(16), 16);

    EXPECT_EQ(MainWindowPlace(0, 100, 100, 800, 1920, 1080).kind, WindowPlaceKind::Default);
    EXPECT_EQ(MainWindowPlace(1, 100, 100, 800, 1920, 1080).kind, WindowPlaceKind::Stored);
    EXPECT_EQ(MainWindowPlace(1, -11, 100, 800, 1920, 1080).kind, WindowPlaceKind::Centred);
    EXPECT_EQ(MainWindowPlace(1, 1031, 100, 800, 1920, 1080).kind, WindowPlaceKind::Centred);
    EXPECT_EQ(MainWindowPlace(1, 100, -267, 800, 1920, 1080).kind, WindowPlaceKind::Centred);
    // Values of a damaged settings file.
    EXPECT_EQ(MainWindowPlace(1, 100, 100, INT32_MIN, 1920, 1080).kind, WindowPlaceKind::Centred);
    EXPECT_EQ(MainWindowPlace(1, 100, -1000000, INT32_MAX, 1920, 1080).kind,
              WindowPlaceKind::Stored);
    EXPECT_EQ(MainWindowPlace(1, 100, -266, 800, 1920, 1080).kind, WindowPlaceKind::Stored);
    EXPECT_EQ(MainWindowPlace(1, 100, 1871, 800, 1920, 1080).kind, WindowPlaceKind::Centred);
    EXPECT_TRUE(MainWindowPlace(3, 100, 100, 800, 1920, 1080).maximised);

    EXPECT_EQ(KeySwitch(ViewKey::Up, true, true), DisplaySwitch::ToLog);
    EXPECT_EQ(KeySwitch(ViewKey::Escape, true, true), DisplaySwitch::ToLog);
    EXPECT_EQ(KeySwitch(ViewKey::Other, true, true), DisplaySwitch::None);
    EXPECT_EQ(KeySwitch(ViewKey::Up, false, true), DisplaySwitch::None);
    EXPECT_EQ(KeySwitch(ViewKey::Escape, false, true), DisplaySwitch::ToOnline);
    EXPECT_EQ(KeySwitch(ViewKey::Escape, false, false), DisplaySwitch::None);
}

TEST(MainCommands, DeleteLogAsksAndEmptiesTheLog) {
    Rig r("mw-del");
    r.Log(5, EK_RX1);
    ASSERT_EQ(r.prog.log->Count(), 5);
    EXPECT_FALSE(DeleteLog(r.prog)); // No
    EXPECT_EQ(r.prog.log->Count(), 5);
    ASSERT_EQ(r.msg.questions.size(), 1u);
    EXPECT_EQ(r.msg.questions[0], Format(r.tx(1205), {r.prog.av.dtLog}));
    r.msg.answers.push_back(Answer::Yes);
    EXPECT_TRUE(DeleteLog(r.prog));
    EXPECT_EQ(r.prog.log->Count(), 0);
    EXPECT_EQ(r.prog.log->counters[0][0], 0);
    EXPECT_EQ(r.view.commands.back(), 35);
}

TEST(MainCommands, OpeningAFileThatIsNoLogKeepsTheLogInUse) {
    Rig r("mw-open");
    r.Log(3, EK_RX1);
    std::string inUse = r.prog.av.dtLog;
    std::string bad = r.dir + "notalog" + r.tx(1200);
    std::ofstream(bad) << "these are not telegrams\n";
    EXPECT_FALSE(OpenLogFileCommand(r.prog, bad));
    EXPECT_EQ(r.prog.av.dtLog, inUse);
    EXPECT_TRUE(r.prog.log->IsOpen());
    EXPECT_EQ(r.prog.log->Count(), 3);
    EXPECT_FALSE(r.msg.errors.empty());
    EXPECT_EQ(std::ifstream(bad).peek(), 't'); // left as it was

    // A log file is opened, shown in the log display and remembered.
    std::string other = r.dir + "other" + r.tx(1200);
    EXPECT_TRUE(OpenLogFileCommand(r.prog, other));
    EXPECT_EQ(r.prog.av.dtLog, other);
    EXPECT_EQ(r.prog.log->Count(), 0);
    EXPECT_EQ(r.prog.av.mru[0], other);
    EXPECT_GE(r.view.logDisplay, 1);

    // Back to the first by its recent entry; a missing one is reported and forgotten.
    EXPECT_TRUE(OpenRecentFile(r.prog, inUse));
    EXPECT_EQ(r.prog.log->Count(), 3);
    std::string gone = r.dir + "gone" + r.tx(1200);
    AddRecentFile(r.prog.av, gone);
    EXPECT_FALSE(OpenRecentFile(r.prog, gone));
    EXPECT_EQ(r.msg.errors.back(), Format(r.tx(883), {gone}));
    EXPECT_NE(r.prog.av.mru[0], gone);
}

TEST(MainCommands, OpeningADamagedLogSaysSoAndKeepsItBeforeItIsWritten) {
    Rig r("mw-damaged");
    r.Log(40, EK_RX1); // entries of 38 bytes
    r.prog.log->FlushOnOffline();
    std::ifstream in(r.prog.av.dtLog, std::ios::binary);
    std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    bytes.resize(2128 + 64 + 25 * 38 + 10); // 25 records and part of the 26th
    std::string cut = r.dir + "cut" + r.tx(1200);
    std::ofstream(cut, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    r.msg.errors.clear();
    EXPECT_TRUE(OpenLogFileCommand(r.prog, cut));
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0],
              Format(r.tx(2160), {cut, 25}) + "\n" + Format(r.tx(2161), {cut + ".damaged"}));
    EXPECT_EQ(r.prog.log->Count(), 25);
    EXPECT_FALSE(fs::exists(cut + ".damaged")) << "looking keeps no copy";
    r.Log(1, EK_RX1);
    std::ifstream kept(cut + ".damaged", std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(kept), {}), bytes);
}

TEST(MainCommands, OpeningALogWhileOnlineAsksFirst) {
    Rig r("mw-open-online");
    r.prog.com[0].bp.cnr = 1;
    r.prog.SetOnline(true);
    ASSERT_TRUE(r.prog.av.online);
    std::string other = r.dir + "other" + r.tx(1200);
    EXPECT_FALSE(OpenLogFileCommand(r.prog, other)); // declined
    EXPECT_TRUE(r.prog.av.online);
    EXPECT_EQ(r.msg.questions.back(), r.tx(1204));
    r.msg.answers.push_back(Answer::Yes);
    EXPECT_TRUE(OpenLogFileCommand(r.prog, other));
    EXPECT_FALSE(r.prog.av.online);
}

TEST(MainCommands, ParameterSetsSaveAndLoadAskingAboutUnsavedSendData) {
    Rig r("mw-paramset");
    std::string set = r.dir + "mine" + r.tx(1223);
    r.prog.ap.mwvoll = 12345;
    r.prog.av.setelisav = true;
    EXPECT_TRUE(SaveParamSetCommand(r.prog, set));
    EXPECT_EQ(r.prog.av.dtSeTeLi, set);
    EXPECT_FALSE(r.prog.av.setelisav);
    EXPECT_NE(r.prog.Caption().find("mine"), std::string::npos);

    r.prog.ap.mwvoll = 100;
    r.prog.av.setelisav = true;
    std::string other = r.dir + "other" + r.tx(1223);
    r.msg.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(LoadParamSetCommand(r.prog, other));
    EXPECT_EQ(r.msg.questions.back(), Format(r.tx(1134), {set}));
    // Loading the same file does not ask.
    size_t asked = r.msg.questions.size();
    EXPECT_TRUE(LoadParamSetCommand(r.prog, set));
    EXPECT_EQ(r.msg.questions.size(), asked);
    EXPECT_EQ(r.prog.ap.mwvoll, 12345);
    EXPECT_FALSE(r.prog.av.setelisav);
}

TEST(MainCommands, ViewSwitchesFiltersAndColourTables) {
    Rig r("mw-view");
    Program& p = r.prog;
    p.pp.format = VF_FULL;
    p.pp.zeitzl = 0;
    SetViewFormat(p, VF_CSV);
    EXPECT_EQ(p.pp.format, VF_CSV);
    EXPECT_EQ(p.pp.zeitzl, 1);
    EXPECT_EQ(r.view.commands.back(), VF_CSV);
    ToggleTimeLine(p);
    ToggleLinkLine(p);
    EXPECT_EQ(p.pp.zeitzl, 1); // not in the export format
    SetViewFormat(p, VF_FULL);
    uint8_t link = p.pp.linkzl;
    ToggleLinkLine(p);
    EXPECT_NE(p.pp.linkzl, link);
    EXPECT_EQ(r.view.commands.back(), 2);
    SetViewFormat(p, 9);
    EXPECT_EQ(p.pp.format, VF_FULL);

    // A filter is in force when it restricts; the toggle needs a defined filter.
    EXPECT_FALSE(ToggleDisplayFilter(p));
    EXPECT_EQ(r.msg.errors.back(), r.tx(1215));
    T_Filter f = p.ap.afilt;
    f.okein = 1;
    f.fehlein = 0;
    NormaliseFilter(f, p.ap);
    ASSERT_EQ(f.def, 1);
    TakeFilter(p, false, f);
    EXPECT_EQ(p.ap.afilt.aktiv, 1);
    EXPECT_TRUE(ToggleDisplayFilter(p));
    EXPECT_EQ(p.ap.afilt.aktiv, 0);
    T_Filter none = p.ap.lfilt;
    none.okein = none.fehlein = 1;
    NormaliseFilter(none, p.ap);
    TakeFilter(p, true, none);
    EXPECT_EQ(p.ap.lfilt.aktiv, 0);

    // Opening and confirming a colour table alone leaves nothing unsaved.
    p.av.setelisav = false;
    T_TypUrsFarben t = p.pp.frbtyp;
    t.ilo = 77;
    EXPECT_FALSE(TakeColourTable(p, kFrbTypes, t));
    EXPECT_FALSE(p.av.setelisav);
    EXPECT_EQ(p.pp.frbtyp.ilo, 77);
    t.frb[13] = T_FarbIndex{3, 5};
    EXPECT_TRUE(TakeColourTable(p, kFrbTypes, t));
    EXPECT_TRUE(p.av.setelisav);
    EXPECT_EQ(p.pp.frbtyp.frb[13], (T_FarbIndex{3, 5}));

    T_AusgPar a = p.pp.ausg;
    a.quamask = 0x04;
    TakeDisplaySettings(p, a);
    EXPECT_EQ(p.av.FltQuaFrb, QualityHighlightMask(0x04));
}

TEST(MainCommands, GeneralSettings) {
    Rig r("mw-general");
    Program& p = r.prog;
    r.Log(4, EK_RX1);
    std::string dir = p.av.DataDir;

    // Only the file transfer values: in force at once, nothing else happens.
    T_AllgPar e = p.ap;
    e.Timeout = 77;
    e.ilo = 3;
    ApplyGeneralSettings(p, e, dir);
    EXPECT_EQ(p.ap.Timeout, 77);
    EXPECT_EQ(p.ap.ilo, 3);
    EXPECT_FALSE(p.av.parasav);
    EXPECT_TRUE(r.msg.questions.empty());

    // A new log size asks; No keeps the log and its size.
    e = p.ap;
    e.MaxLog = p.ap.MaxLog + 1;
    e.lgla = 2;
    int32_t size = p.ap.MaxLog;
    ApplyGeneralSettings(p, e, dir);
    EXPECT_EQ(r.msg.questions.back(), r.tx(1328));
    EXPECT_EQ(p.ap.MaxLog, size);
    EXPECT_EQ(p.ap.lgla, 2);
    EXPECT_TRUE(p.av.parasav);
    EXPECT_EQ(p.log->Count(), 4);
    // Yes: a new empty log of the new size.
    e = p.ap;
    e.MaxLog = 1;
    r.msg.answers.push_back(Answer::Yes);
    ApplyGeneralSettings(p, e, dir);
    EXPECT_EQ(p.ap.MaxLog, 1);
    EXPECT_EQ(p.log->Count(), 0);
    EXPECT_EQ(p.log->Kopf().anzbl, LogBlockCount(1));

    // A data directory that cannot be written is refused; the old one stays.
    e = p.ap;
    ApplyGeneralSettings(p, e, "/proc/vordal-not-writable/");
    EXPECT_EQ(p.av.DataDir, dir);
    EXPECT_EQ(r.msg.errors.back().rfind(r.tx(2111), 0), 0u);

    // A new directory: everything is taken from it, the log starts there.
    std::string nd = TempDir("mw-general-new");
    ApplyGeneralSettings(p, e, nd);
    EXPECT_EQ(p.av.DataDir, nd);
    EXPECT_EQ(p.av.dtLog.rfind(nd, 0), 0u);
    EXPECT_TRUE(p.log->IsOpen());
    EXPECT_GE(r.view.logDisplay, 1);
}

TEST(MainCommands, LanguageChange) {
    Rig r("mw-lang");
    EXPECT_TRUE(ChangeLanguage(r.prog, 0));
    EXPECT_EQ(r.prog.pp.sprache, 0);
    std::string ger = r.prog.texts.tx(1350);
    EXPECT_TRUE(ChangeLanguage(r.prog, 1));
    EXPECT_EQ(r.prog.pp.sprache, 1);
    EXPECT_NE(r.prog.texts.tx(1350), ger);
    fs::remove(r.dir + "VdlText.ger");
    EXPECT_FALSE(ChangeLanguage(r.prog, 0));
    EXPECT_FALSE(r.msg.errors.empty());
}

TEST(MainCommands, TheDiallingWindowOpensThroughAModemAndItsChangesAreOfferedForSaving) {
    Rig r("mw-modem");
    Program& p = r.prog;
    p.com[0].bp.cnr = 1;
    p.com[1].bp.cnr = 0;
    p.SetOnline(true);
    EXPECT_EQ(r.view.dialling, 0) << "channel 1 has no modem";
    p.SetOnline(false);
    p.com[0].wm.vorh = 1;
    p.SetOnline(true);
    EXPECT_EQ(r.view.dialling, 1);
    EXPECT_EQ(p.com[0].se.lks, 6);

    const T_Modem opened = p.com[0].wm;
    p.av.dtSeTeLi = r.dir + "modem" + r.tx(1223);
    // Nothing changed: no question.
    EXPECT_FALSE(TakeModemSettings(p, 0, opened, opened));
    EXPECT_TRUE(r.msg.questions.empty());
    // Changed and not saved: taken all the same; the modem check box resets the link state.
    T_Modem edited = opened;
    edited.connect.set("CONNECT 9600");
    edited.vorh = 0;
    r.msg.answers.push_back(Answer::No);
    EXPECT_FALSE(TakeModemSettings(p, 0, edited, opened));
    EXPECT_EQ(r.msg.questions.back(), r.tx(kTxAskSaveModem));
    EXPECT_EQ(p.com[0].wm.connect.str(), "CONNECT 9600");
    EXPECT_EQ(p.com[0].se.lks, 0);
    EXPECT_FALSE(fs::exists(p.av.dtSeTeLi));
    // Saved: the parameter set file holds them.
    edited.vorh = 1;
    r.msg.answers.push_back(Answer::Yes);
    EXPECT_TRUE(TakeModemSettings(p, 0, edited, opened));
    EXPECT_EQ(p.com[0].se.lks, 6);
    p.SetOnline(false);
    p.com[0].wm = DefaultModem();
    ASSERT_TRUE(p.LoadParamSet(p.av.dtSeTeLi));
    EXPECT_EQ(p.com[0].wm.connect.str(), "CONNECT 9600");
    EXPECT_EQ(p.com[0].wm.vorh, 1);
}
