// The main window off screen on a live line: a recorded exchange written into pseudo-terminals
// is received by both channels, drawn by the online display (checked on the view's model of
// drawn lines, its colours and its image), counted by the statistics grid, paged through in the
// log display; the status panels, the language switch and the short cuts follow the records.
#include "platform/program_host.h"
#include "platform/qt_locale.h"
#include "ui/lamp_button.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/qt_messages.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vdl;
using namespace vdl::test;

namespace {

// A started program with its main window, offline, on a log of its own.
struct Gui {
    FakeMessages msg;
    ProgramHost host;
    Program& p;
    QtLocaleFormats loc;
    std::unique_ptr<TfmMain> w;
    std::vector<T_Telegramm> logged;

    explicit Gui(const std::string& name, std::vector<std::string> args = {})
        : host((QtApp(), PrivateFolders(name), BinDir()), msg), p(host.prog()) {
        p.persistSettings = false;
        EXPECT_EQ(host.StartUp(), Program::StartResult::Run);
        p.av.dtLog = TempDir(name + "-log") + "gui.lg1";
        w = std::make_unique<TfmMain>(host);
        w->onClose = [this] { host.Shutdown(); };
        if (args.empty()) args.push_back(p.texts.tx(673));
        host.Run(args);
        w->AfterStart();
        w->resize(1000, 700);
        w->show();
        p.onLogged = [this](const T_Telegramm& te) { logged.push_back(te); };
        // Past the delayed opening of the ports (six ticks after the start).
        EXPECT_TRUE(RunLoopUntil([this] { return p.av.Tick > p.av.OpenUhr + 1; }));
        w->RunViewCommands();
    }
    ~Gui() {
        if (w) w->close();
    }
    std::string tx(int n) const { return p.texts.tx(n); }
    std::vector<std::string> Shown() const { return w->view()->Model().Texts(); }
    const std::vector<DrawnLine>& Drawn() const { return w->view()->Model().Lines(); }
    // The lines of a logged telegram as the renderer gives them, with their colour pairs.
    std::vector<DrawnLine> Rendered(const T_Telegramm& te) {
        RenderEnv env = p.Rendering(loc);
        T_TeleAusgabe c;
        c.env = &env;
        StartTelegram(c, te);
        std::vector<DrawnLine> v;
        for (std::string s = NextLine(c); !s.empty(); s = NextLine(c)) v.push_back({0, s, c.tcl});
        return v;
    }
    // True when the lines of te are drawn one below the other in their colours.
    bool ShowsTelegram(const T_Telegramm& te) {
        std::vector<DrawnLine> r = Rendered(te);
        // A header line carries the time since the telegram drawn before: left out.
        if (!r.empty() && (p.pp.zeitzl || te.stat <= 39 || te.ta == TA_INTERNAL))
            r.erase(r.begin());
        const std::vector<DrawnLine>& d = Drawn();
        if (r.empty()) return false;
        for (size_t i = 0; i + r.size() <= d.size(); ++i) {
            bool all = true;
            for (size_t k = 0; k < r.size() && all; ++k)
                all = d[i + k].text == r[k].text && d[i + k].pair == r[k].pair &&
                      (k == 0 || d[i + k].y == d[i + k - 1].y + w->view()->LineHeight());
            if (all) return true;
        }
        return false;
    }
    void ConfigureLikeTheExchange() {
        p.ap.lgla = 1;
        p.ap.mitori = 1;
        for (T_ComVar& c : p.com) {
            c.bp.fkt = FKT_MONITOR;
            c.bp.pro = PRO_UNBALANCED;
            c.bp.vwe5 = 1;
        }
        p.pp.zeitzl = 0; // without header lines the lines do not depend on time differences
    }
    std::string Cell(int r, int c) const {
        QTableWidgetItem* it = w->view()->grid()->item(r, c);
        return it ? it->text().trimmed().toStdString() : std::string();
    }
};

} // namespace

TEST(MainWindow, OnlineOnALiveLineDrawsCountsAndPagesTheTelegrams) {
    Gui g("gui-live");
    Program& p = g.p;
    TfmMain& w = *g.w;
    g.ConfigureLikeTheExchange();
    Pty pty[2];
    g.host.BindDevice(0, pty[0].slave);
    g.host.BindDevice(1, pty[1].slave);
    EXPECT_EQ(w.PanelText(0).toStdString(), g.tx(673));

    w.Action("aGoOnl")->trigger();
    ASSERT_TRUE(p.av.online) << (g.msg.errors.empty() ? "" : g.msg.errors[0]);
    EXPECT_EQ(w.PanelText(0).toStdString(), g.tx(674));
    EXPECT_EQ(w.PanelColour(0), QColor(0, 255, 0));
    EXPECT_EQ(w.PanelText(1).toStdString(), g.tx(1143));
    EXPECT_EQ(w.PanelText(4).toStdString(), g.tx(1194) + "gui.lg1");
    EXPECT_TRUE(w.OnlineButton()->isChecked());
    EXPECT_TRUE(w.view()->grid()->isVisible());
    EXPECT_FALSE(w.view()->scrollBar()->isVisible());

    std::vector<Line> ex = Exchange();
    int frames[2] = {0, 0};
    for (const Line& l : ex) {
        size_t before = g.logged.size();
        pty[l.channel].Play(l.bytes);
        ++frames[l.channel];
        ASSERT_TRUE(RunLoopUntil([&] { return g.logged.size() > before; }));
    }
    // One telegram is drawn per tick: wait until the display has caught up.
    ASSERT_TRUE(RunLoopUntil([&] { return p.log->ring.tail == p.log->ring.head; }, 10000));
    const T_Telegramm& newest = g.logged.back();
    EXPECT_TRUE(g.ShowsTelegram(newest));
    EXPECT_TRUE(g.ShowsTelegram(g.logged[g.logged.size() - 2]));
    EXPECT_EQ(g.Drawn().front().text.rfind(g.tx(422), 0), 0u); // the online display's header
    std::vector<DrawnLine> last = g.Rendered(newest);
    EXPECT_EQ(g.Drawn().back().text, last.back().text);
    // The colours of the channels: received on channel 1 and on channel 2 differ.
    T_FarbIndex rx1 = ColourPair(p.pp, EK_RX1), rx2 = ColourPair(p.pp, EK_RX2);
    ASSERT_NE(rx1, rx2);
    EXPECT_EQ(g.Rendered(newest).front().pair, newest.ek == EK_RX1 ? rx1 : rx2);
    // The image holds the text: the rows of the newest line are not all background.
    const QImage& img = w.view()->Image();
    int y = static_cast<int>(g.Drawn().back().y * img.devicePixelRatio());
    QColor bg = img.pixelColor(img.width() - 2, y + 1);
    int inked = 0;
    for (int x = 0; x < img.width() / 2; ++x)
        for (int dy = 0; dy < w.view()->LineHeight(); ++dy)
            if (img.pixelColor(x, y + dy) != bg) ++inked;
    EXPECT_GT(inked, 20);

    // The statistics grid counts the frames of each channel; none had an error.
    ASSERT_TRUE(RunLoopUntil([&] { return g.Cell(1, 1) == std::to_string(frames[0]); }));
    EXPECT_EQ(g.Cell(2, 1), std::to_string(frames[1]));
    EXPECT_EQ(g.Cell(1, 2), "0");
    EXPECT_EQ(g.Cell(1, 3), "0"); // nothing sent
    EXPECT_EQ(g.Cell(0, 0), std::string());
    EXPECT_EQ(g.Cell(1, 0), g.tx(1280));
    EXPECT_EQ(g.Cell(1, 9), g.tx(1472 + FKT_MONITOR));

    // The log display: the newest page ends with the newest telegram and the end of the log.
    w.Action("aAusgLog")->trigger();
    w.RunViewCommands();
    EXPECT_EQ(w.PanelText(1).toStdString(), g.tx(1142));
    EXPECT_TRUE(w.view()->scrollBar()->isVisible());
    EXPECT_FALSE(w.view()->grid()->isVisible());
    EXPECT_EQ(g.Drawn().front().text.rfind(g.tx(421), 0), 0u);
    EXPECT_EQ(g.Drawn().back().text, g.tx(1191));
    EXPECT_TRUE(g.ShowsTelegram(newest));
    auto dateLine = [&] {
        for (const DrawnLine& l : g.Drawn())
            if (l.style == LineStyle::Date) return l.text;
        return std::string();
    };
    std::string count = std::to_string(p.log->Count());
    EXPECT_NE(dateLine().find(g.tx(427) + count), std::string::npos) << dateLine();

    // The thumb at the top: the oldest telegram, number 1.
    w.view()->scrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    w.RunViewCommands();
    EXPECT_NE(dateLine().find(g.tx(425) + "1" + g.tx(427)), std::string::npos) << dateLine();
    EXPECT_EQ(w.view()->scrollBar()->value(), 0);
    w.view()->scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    w.RunViewCommands();
    EXPECT_NE(dateLine().find(g.tx(425) + "2" + g.tx(427)), std::string::npos) << dateLine();
    EXPECT_GT(w.view()->scrollBar()->value(), 0);

    // Back to the online display: drawn anew from the display ring at the next tick.
    w.Action("aAusgOnl")->trigger();
    EXPECT_EQ(w.PanelText(1).toStdString(), g.tx(1143));
    ASSERT_TRUE(RunLoopUntil([&] { return !w.page().FullRedrawPending(); }));
    EXPECT_EQ(g.Drawn().front().text.rfind(g.tx(422), 0), 0u);
    EXPECT_TRUE(g.ShowsTelegram(newest));

    // Offline: the log display comes back.
    w.Action("aGoOffl")->trigger();
    EXPECT_FALSE(p.av.online);
    EXPECT_EQ(w.PanelText(0).toStdString(), g.tx(673));
    EXPECT_EQ(w.PanelText(1).toStdString(), g.tx(1142));
    EXPECT_FALSE(w.OnlineButton()->isChecked());
}

TEST(MainWindow, TheWheelInTheOnlineDisplaySwitchesToTheLogDisplay) {
    Gui g("gui-wheel");
    TfmMain& w = *g.w;
    w.ShowOnlineDisplay();
    ASSERT_TRUE(w.OnlineDisplayShown());
    emit w.view()->wheelStep(-1);
    EXPECT_FALSE(w.OnlineDisplayShown());
    w.RunViewCommands();
    EXPECT_EQ(g.Drawn().front().text.rfind(g.tx(421), 0), 0u);

    // Esc switches back only with option 1.
    g.p.pp.opt[1] = 0;
    emit w.view()->keyPressed(Qt::Key_Escape, 0);
    EXPECT_FALSE(w.OnlineDisplayShown());
    g.p.pp.opt[1] = 1;
    emit w.view()->keyPressed(Qt::Key_Escape, 0);
    EXPECT_TRUE(w.OnlineDisplayShown());
    emit w.view()->keyPressed(Qt::Key_Down, 0);
    EXPECT_FALSE(w.OnlineDisplayShown());
}

TEST(MainWindow, GoingOnlineWithoutAPortSaysHowToChooseOne) {
    Gui g("gui-noport");
    g.p.com[0].bp.cnr = 0;
    g.p.com[1].bp.cnr = 0;
    g.w->Action("aGoOnl")->trigger();
    EXPECT_FALSE(g.p.av.online);
    ASSERT_FALSE(g.msg.errors.empty());
    EXPECT_EQ(g.msg.errors.back(), g.tx(1137));
    EXPECT_EQ(g.w->PanelText(0).toStdString(), g.tx(673));
}

TEST(MainWindow, LanguageSwitchAppliesEveryCaption) {
    Gui g("gui-lang");
    TfmMain& w = *g.w;
    int other = g.p.pp.sprache == 0 ? 1 : 0;
    QAction* item = w.Action(other == 1 ? "miUsa" : "miGer");
    item->trigger();
    ASSERT_TRUE(RunLoopUntil([&] { return g.p.pp.sprache == other && item->isChecked(); }));
    EXPECT_EQ(w.Action("miLogOp")->text().toStdString(), g.tx(1350));
    EXPECT_EQ(w.Action("aFCsv")->text().toStdString(), g.tx(538));
    EXPECT_EQ(w.Action("miLinkT2")->text().toStdString(), g.tx(1452));
    std::vector<std::string> buttons;
    for (QToolButton* b : w.MenuToolBar()->findChildren<QToolButton*>())
        buttons.push_back(b->text().toStdString());
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), g.tx(504)), buttons.end());
    EXPECT_EQ(w.LampOf(1, true)->toolTip().toStdString(), g.tx(1157));
    EXPECT_EQ(w.PanelText(0).toStdString(), g.tx(673));
}

TEST(MainWindow, DatesAndTheToolkitsTextsSpeakTheProgramsLanguage) {
    std::string sample = BinDir() + "../samples/sample_recording.lg1";
    std::string copy = TempDir("gui-dates-file") + "sample.lg1";
    std::filesystem::copy_file(sample, copy);
    Gui g("gui-dates", {copy, "offline"});
    TfmMain& w = *g.w;
    auto dateLine = [&] {
        for (const DrawnLine& l : g.Drawn())
            if (l.style == LineStyle::Date) return l.text;
        return std::string();
    };
    auto first = [&] {
        auto c = g.p.log->NewCursor();
        c->SeekOldest();
        return DecodeDateTime(c->Current().dt);
    };
    DateTimeParts d = first();
    const char* de[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    const char* en[] = {"January", "February", "March",     "April",   "May",      "June",
                        "July",    "August",   "September", "October", "November", "December"};
    for (int lang : {0, 1, 0}) {
        if (g.p.pp.sprache != lang) {
            QAction* item = w.Action(lang == 0 ? "miGer" : "miUsa");
            item->trigger();
            ASSERT_TRUE(RunLoopUntil([&] { return g.p.pp.sprache == lang && item->isChecked(); }));
        }
        w.RunViewCommands();
        // The long date of the page's date line names the month in the program's language,
        // whatever the system's locale.
        const char* month = (lang == 0 ? de : en)[d.month - 1];
        EXPECT_NE(dateLine().find(month), std::string::npos) << lang << " " << dateLine();
        // The toolkit's own buttons (message boxes, file dialogs) follow.
        QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
        EXPECT_EQ(yes, lang == 0 ? QString("&Ja") : QString("&Yes"))
            << "the toolkit's German texts (qt6-translations-l10n) are missing";
    }
}

TEST(MainWindow, FunctionKeysFollowTheOptions) {
    Gui g("gui-keys");
    TfmMain& w = *g.w;
    std::fill(std::begin(g.p.pp.opt), std::end(g.p.pp.opt), 0);
    w.SetShortcuts();
    EXPECT_TRUE(w.Action("aGoOnl")->shortcut().isEmpty());
    EXPECT_TRUE(w.Action("aAFilter")->shortcut().isEmpty());
    EXPECT_EQ(w.Action("aLogDel")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    g.p.pp.opt[0] = g.p.pp.opt[1] = g.p.pp.opt[2] = g.p.pp.opt[3] = 1;
    w.SetShortcuts();
    EXPECT_EQ(w.Action("aGoOnl")->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(w.Action("aAusgLog")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(w.Action("aAFiltAE")->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(w.Action("aAFilter")->shortcut(), QKeySequence(Qt::Key_F12));
}

TEST(MainWindow, ViewSwitchesTickTheirItemsAndRedraw) {
    Gui g("gui-view");
    TfmMain& w = *g.w;
    w.ShowLogDisplay();
    w.RunViewCommands();
    w.Action("aFByte")->trigger();
    EXPECT_EQ(g.p.pp.format, VF_BYTES);
    EXPECT_TRUE(w.Action("aFByte")->isChecked());
    EXPECT_FALSE(w.Action("aFLog")->isChecked());
    w.RunViewCommands();
    EXPECT_NE(g.Drawn().front().text.find(g.tx(406 + VF_BYTES)), std::string::npos);
    w.Action("aFCsv")->trigger();
    EXPECT_TRUE(g.p.pp.zeitzl);
    EXPECT_TRUE(w.Action("aZeit")->isChecked());
    w.Action("aZeit")->trigger(); // not in the export format
    EXPECT_TRUE(g.p.pp.zeitzl);
    w.Action("aFLog")->trigger();
    w.Action("aLink")->trigger();
    EXPECT_EQ(g.p.pp.linkzl, 0);
    EXPECT_FALSE(w.Action("aLink")->isChecked());
    w.RunViewCommands();
    EXPECT_NE(g.Drawn().front().text.find(g.tx(423)), std::string::npos);
}

TEST(MainWindow, TheSampleLogOpensOfflineWithInterpretedTelegrams) {
    std::string sample = BinDir() + "../samples/sample_recording.lg1";
    ASSERT_TRUE(std::filesystem::exists(sample)) << sample;
    std::string copy = TempDir("gui-sample-file") + "sample.lg1";
    std::filesystem::copy_file(sample, copy);
    Gui g("gui-sample", {copy, "offline"});
    Program& p = g.p;
    TfmMain& w = *g.w;
    EXPECT_FALSE(p.av.online);
    EXPECT_FALSE(w.OnlineDisplayShown());
    EXPECT_EQ(p.av.dtLog, copy);
    EXPECT_EQ(p.ap.mitori, 1); // the settings of the log's head
    std::vector<T_Telegramm> all;
    auto c = p.log->NewCursor();
    for (bool ok = c->SeekOldest(); ok; ok = c->Forward()) all.push_back(c->Current());
    ASSERT_GT(all.size(), 30u);
    EXPECT_EQ(g.Drawn().back().text, g.tx(1191));
    for (size_t i = all.size() - 4; i < all.size(); ++i) EXPECT_TRUE(g.ShowsTelegram(all[i])) << i;
    w.view()->scrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    w.RunViewCommands();
    EXPECT_TRUE(g.ShowsTelegram(all[0]));
    EXPECT_TRUE(g.ShowsTelegram(all[6])); // the interrogation
    EXPECT_EQ(all[6].typ, 100);
    EXPECT_TRUE(g.msg.errors.empty()) << g.msg.errors[0];
}

TEST(MainWindow, LampsAreBoundAndClosingKeepsThePlace) {
    Gui g("gui-close");
    TfmMain& w = *g.w;
    EXPECT_EQ(g.p.com[0].LedR.tbtn, w.LampOf(0, false));
    EXPECT_EQ(g.p.com[1].LedT.tbtn, w.LampOf(1, true));
    w.Lamp(g.p.com[1].LedT, true);
    EXPECT_TRUE(w.LampOf(1, true)->Lit());
    EXPECT_EQ(w.LampOf(1, true)->ImageIndex(), 3);
    w.Lamp(g.p.com[1].LedT, false);
    EXPECT_EQ(w.LampOf(1, true)->ImageIndex(), 2);
    EXPECT_EQ(w.LampOf(1, true)->toolTip().toStdString(), g.tx(1157));

    w.resize(820, 610);
    bool closed = false;
    w.onClose = [&] {
        closed = true;
        g.host.Shutdown();
    };
    w.close();
    EXPECT_TRUE(closed);
    EXPECT_EQ(g.p.pp.wstate, 1);
    EXPECT_EQ(g.p.pp.wwidth, 820);
    EXPECT_EQ(g.p.pp.wheight, 610);
    g.w.reset();
}

TEST(MessageBoxes, GermanQuestionsCarryTheProgramsButtonCaptions) {
    QtApp();
    TextTable t;
    std::string bytes;
    for (int i = 0; i < 2100; ++i) {
        char num[8];
        std::snprintf(num, sizeof num, "%04d", i);
        bytes += std::string(num) + "  ;\n";
    }
    ASSERT_TRUE(t.LoadBytes(bytes, "test").ok());
    t.Replace(2077, "&Yes      &No       Cancel    ");
    t.Replace(2076, "&Ja       &Nein     Abbrechen ");
    QMessageBox box(QMessageBox::Question, "t", "q",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // The captions as the toolkit gives them in English.
    box.button(QMessageBox::Yes)->setText("&Yes");
    box.button(QMessageBox::No)->setText("&No");
    box.button(QMessageBox::Cancel)->setText("Cancel");
    LocaliseButtons(box, t);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString("&Ja"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QString("&Nein"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString("Abbrechen"));
    // A caption that text 2077 does not hold stays.
    box.button(QMessageBox::Yes)->setText("&Oui");
    LocaliseButtons(box, t);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString("&Oui"));
}
