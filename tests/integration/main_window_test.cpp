// The main window off screen on a live line: a recorded exchange written into pseudo-terminals
// is received by both channels, drawn by the online display (checked on the view's model of
// drawn lines, its colours and its image), counted by the statistics grid, paged through in the
// log display; the status panels, the language switch and the short cuts follow the records.
#include "platform/program_host.h"
#include "platform/qt_locale.h"
#include "ui/dlg_opt.h"
#include "ui/eliding_label.h"
#include "ui/lamp_button.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/palette.h"
#include "ui/qt_messages.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_browser.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
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

// A copy of the sample log that the build writes, in a folder of its own.
std::string SampleLogCopy(const std::string& name) {
    std::string sample = BinDir() + "../samples/sample_recording.lg1";
    EXPECT_TRUE(std::filesystem::exists(sample)) << sample;
    std::string copy = TempDir(name) + "sample.lg1";
    std::filesystem::copy_file(sample, copy);
    return copy;
}

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
    // The date line of the log display's page ("" without one).
    std::string DateLine() const {
        for (const DrawnLine& l : Drawn())
            if (l.style == LineStyle::Date) return l.text;
        return std::string();
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
    std::string count = std::to_string(p.log->Count());
    EXPECT_NE(g.DateLine().find(g.tx(427) + count), std::string::npos) << g.DateLine();

    // The thumb at the top: the oldest telegram, number 1.
    w.view()->scrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    w.RunViewCommands();
    EXPECT_NE(g.DateLine().find(g.tx(425) + "1" + g.tx(427)), std::string::npos) << g.DateLine();
    EXPECT_EQ(w.view()->scrollBar()->value(), 0);
    w.view()->scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    w.RunViewCommands();
    EXPECT_NE(g.DateLine().find(g.tx(425) + "2" + g.tx(427)), std::string::npos) << g.DateLine();
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

TEST(MainWindow, AFirstStartWithoutAPortShowsTheOnlineDisplayAndHowToChooseOne) {
    Gui g("gui-first", {"online"});
    TfmMain& w = *g.w;
    ASSERT_EQ(g.p.com[0].bp.cnr, 0);
    ASSERT_EQ(g.p.com[1].bp.cnr, 0);
    EXPECT_TRUE(g.msg.errors.empty()) << g.msg.errors[0];
    EXPECT_FALSE(g.p.av.online);
    EXPECT_TRUE(w.OnlineDisplayShown());
    EXPECT_TRUE(w.view()->grid()->isVisible());
    EXPECT_EQ(w.NoticeText().toStdString(), g.tx(2230));
    QWidget* f = w.focusWidget();
    EXPECT_TRUE(f == w.view() || w.view()->isAncestorOf(f))
        << (f ? f->objectName().toStdString() : "");
    // The lamps and the online button say what they are.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w.LampOf(i / 2, i % 2 == 1)->toolTip().toStdString(), g.tx(1154 + i));
    EXPECT_EQ(w.OnlineButton()->toolTip().toStdString(), g.tx(1148));
    // A port chosen: the line goes, and going online works.
    Pty pty;
    g.host.BindDevice(0, pty.slave);
    w.UpdateStatus();
    EXPECT_EQ(w.NoticeText(), QString());
    w.OnlineButton()->click();
    EXPECT_TRUE(g.p.av.online) << (g.msg.errors.empty() ? "" : g.msg.errors[0]);
    EXPECT_EQ(w.OnlineButton()->toolTip().toStdString(), g.tx(1149));
}

TEST(MainWindow, TheDemonstrationLineNextToTheHintShowsTelegramsAtOnce) {
    Gui g("gui-demo", {"online"});
    TfmMain& w = *g.w;
    const T_BetriebsPar own = g.p.com[0].bp;
    ASSERT_EQ(w.NoticeText().toStdString(), g.tx(2230));
    QPushButton* demo = w.DemoButton();
    ASSERT_TRUE(demo->isVisibleTo(&w));
    EXPECT_EQ(demo->text().toStdString(), g.tx(2262));
    EXPECT_EQ(demo->toolTip().toStdString(), g.tx(2263));
    demo->click();
    EXPECT_TRUE(g.msg.errors.empty()) << g.msg.errors[0];
    ASSERT_TRUE(g.p.av.online);
    EXPECT_TRUE(w.OnlineDisplayShown());
    EXPECT_EQ(w.NoticeText(), QString()) << "ports are chosen now";
    EXPECT_EQ(g.p.com[0].bp.fkt, FKT_MASTER);
    EXPECT_EQ(g.p.com[1].bp.fkt, FKT_SLAVE);
    // Polls answered on the program's own line, shown as they come.
    auto answers = [&] {
        int n = 0;
        for (const T_Telegramm& te : g.logged)
            if (te.ek == EK_RX1 && te.stat == ST_OK) ++n;
        return n;
    };
    ASSERT_TRUE(RunLoopUntil([&] { return answers() >= 3; })) << g.logged.size();
    EXPECT_EQ(std::count_if(g.logged.begin(), g.logged.end(),
                            [](const T_Telegramm& te) { return te.stat == ST_LINK_UP; }),
              1);
    const T_Telegramm answer = g.logged.back();
    EXPECT_TRUE(RunLoopUntil([&] { return g.ShowsTelegram(answer); }));
    // The channels' own settings come back when the program ends.
    w.close();
    EXPECT_EQ(g.p.com[0].bp.fkt, own.fkt);
    EXPECT_EQ(g.p.com[0].bp.cnr, own.cnr);
}

TEST(MainWindow, AtTheFirstStartTheGridFitsInEitherLanguage) {
    for (int lang : {0, 1}) {
        FakeMessages msg;
        ProgramHost host((QtApp(), PrivateFolders("gui-fit"), BinDir()), msg);
        Program& p = host.prog();
        p.persistSettings = false;
        ASSERT_EQ(host.StartUp(), Program::StartResult::Run);
        ASSERT_EQ(p.pp.wstate, 0); // nothing stored: the program's own size
        p.pp.sprache = lang;
        ASSERT_TRUE(p.LoadLanguage(lang));
        TfmMain w(host);
        host.Run({"offline"});
        w.AfterStart();
        w.show();
        w.ShowOnlineDisplay();
        QApplication::processEvents();
        QTableWidget* grid = w.view()->grid();
        QFontMetrics fm(grid->font());
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                EXPECT_LE(fm.horizontalAdvance(grid->item(r, c)->text()), grid->columnWidth(c))
                    << lang << " " << grid->item(r, c)->text().toStdString();
        // The window is as wide as the grid, as far as the screen allows; on a narrower
        // screen the grid scrolls sideways.
        int screenW = w.screen()->availableGeometry().width();
        EXPECT_GE(w.width(), std::min(w.view()->GridWidth(), screenW)) << lang;
        if (w.view()->GridWidth() > grid->width()) {
            EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn) << lang;
        }
        // The status panels stay inside the window, long file names and all, and a panel too
        // short for its text shows that it is cut (an ellipsis), not a clipped word.
        p.av.dtLog = "/a/long/folder/name/" + std::string(80, 'x') + ".lg1";
        w.UpdateStatus();
        QApplication::processEvents();
        EXPECT_LE(w.width(), screenW) << lang;
        for (int i = 0; i < kStatusPanels; ++i) {
            auto* l = w.findChild<QLabel*>(QStringLiteral("panel%1").arg(i));
            ASSERT_NE(l, nullptr) << i;
            if (!l->isVisible()) continue;
            EXPECT_LE(l->mapTo(&w, QPoint(l->width(), 0)).x(), w.width()) << lang << " " << i;
            if (l->fontMetrics().horizontalAdvance(l->text()) > l->contentsRect().width()) {
                EXPECT_NE(qobject_cast<ElidingLabel*>(l), nullptr) << lang << " " << i;
            }
        }
        w.close();
    }
}

TEST(MainWindow, ALineWiderThanTheViewScrollsSideways) {
    QtApp();
    LogView v;
    v.resize(400, 300);
    v.ShowOnlineParts(false);
    v.show();
    QApplication::processEvents();
    T_FarbIndex pair{1, 15};
    v.Fill(0, 300, 400, 15);
    v.Text(10, 20, "short", pair, LineStyle::Text);
    v.Present();
    EXPECT_FALSE(v.horizontalBar()->isVisible());
    std::string wide(200, 'x');
    wide += "END";
    v.Text(10, 40, wide, pair, LineStyle::Text);
    v.Present();
    ASSERT_TRUE(v.horizontalBar()->isVisible());
    QScrollBar* h = v.horizontalBar();
    QFontMetrics fm(v.ViewFont());
    // Scrolled to the end, the line's end stands inside the view, left of the scroll bar.
    EXPECT_EQ(h->maximum(), 10 + fm.horizontalAdvance(QString::fromStdString(wide)) + 10 -
                                (400 - v.ScrollBarWidth()));
    EXPECT_LE(v.ViewBottom(), 300 - h->height());
    auto inked = [&](int x0, int x1, int y) {
        const QImage& img = v.Image();
        qreal d = img.devicePixelRatio();
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int dy = 0; dy < v.LineHeight(); ++dy)
                if (img.pixelColor(int(x * d), int((y + dy) * d)) == PaletteColor(1)) ++n;
        return n;
    };
    int right = 400 - v.ScrollBarWidth();
    EXPECT_EQ(inked(right - 40, right, 20), 0); // "short" is far to the left
    h->setValue(h->maximum());
    EXPECT_GT(inked(right - 40, right, 40), 0); // the end of the wide line
    EXPECT_EQ(inked(0, 40, 20), 0);             // "short" went off to the left
    // Keys move sideways too.
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(&v, &left);
    EXPECT_LT(h->value(), h->maximum());
    EXPECT_EQ(v.Model().Texts(), (std::vector<std::string>{"short", wide}));
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
    // The submenu of the telegram editor and the dialling window's item as well.
    ASSERT_NE(w.Action("miParTel"), nullptr);
    EXPECT_EQ(w.Action("miParTel")->text().toStdString(), g.tx(1447));
    EXPECT_EQ(w.Action("WaehlModem")->text().toStdString(), g.tx(1450));
    std::vector<std::string> buttons;
    for (QToolButton* b : w.MenuToolBar()->findChildren<QToolButton*>())
        buttons.push_back(b->text().toStdString());
    EXPECT_NE(std::find(buttons.begin(), buttons.end(), g.tx(504)), buttons.end());
    EXPECT_EQ(w.LampOf(1, true)->toolTip().toStdString(), g.tx(1157));
    EXPECT_EQ(w.PanelText(0).toStdString(), g.tx(673));
}

TEST(MainWindow, DatesAndTheToolkitsTextsSpeakTheProgramsLanguage) {
    std::string copy = SampleLogCopy("gui-dates-file");
    Gui g("gui-dates", {copy, "offline"});
    TfmMain& w = *g.w;
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
        EXPECT_NE(g.DateLine().find(month), std::string::npos) << lang << " " << g.DateLine();
        // The toolkit's own buttons (message boxes, file dialogs) follow.
        QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
        EXPECT_EQ(yes, lang == 0 ? QString("&Ja") : QString("&Yes"))
            << "the toolkit's German texts (qt6-translations-l10n) are missing";
    }
}

TEST(MainWindow, TheKeysReachTheViewAndSwitchesKeepThePlace) {
    std::string copy = SampleLogCopy("gui-focus-file");
    Gui g("gui-focus", {copy, "offline"});
    TfmMain& w = *g.w;
    w.activateWindow();
    auto inView = [&] {
        QWidget* f = w.focusWidget();
        return f && (f == w.view() || w.view()->isAncestorOf(f));
    };
    auto key = [&](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, m);
        QApplication::sendEvent(w.focusWidget() ? w.focusWidget() : w.view(), &press);
        QKeyEvent release(QEvent::KeyRelease, k, m);
        QApplication::sendEvent(w.focusWidget() ? w.focusWidget() : w.view(), &release);
        w.RunViewCommands();
    };
    auto pageOf = [&](int nr) { return g.tx(425) + std::to_string(nr) + g.tx(427); };
    ASSERT_FALSE(w.OnlineDisplayShown());
    EXPECT_TRUE(inView());

    // The keys page the log display.
    key(Qt::Key_Home);
    key(Qt::Key_PageDown);
    EXPECT_NE(g.DateLine().find(pageOf(6)), std::string::npos) << g.DateLine();

    // To the online display and back: the keys stay in the view, the page is the same.
    w.Action("aAusgLog")->trigger();
    ASSERT_TRUE(w.OnlineDisplayShown());
    EXPECT_TRUE(inView());
    w.Action("aAusgLog")->trigger();
    w.RunViewCommands();
    ASSERT_FALSE(w.OnlineDisplayShown());
    EXPECT_TRUE(inView());
    EXPECT_NE(g.DateLine().find(pageOf(6)), std::string::npos) << g.DateLine();

    // A change of language keeps the page and the keys too.
    QAction* other = w.Action(g.p.pp.sprache == 0 ? "miUsa" : "miGer");
    int lang = g.p.pp.sprache == 0 ? 1 : 0;
    other->trigger();
    ASSERT_TRUE(RunLoopUntil([&] { return g.p.pp.sprache == lang && other->isChecked(); }));
    w.RunViewCommands();
    EXPECT_TRUE(inView());
    EXPECT_NE(g.DateLine().find(pageOf(6)), std::string::npos) << g.DateLine();

    // Ctrl+PgDn and Shift+PgDn past the end show the same full page as End.
    key(Qt::Key_End);
    std::vector<std::string> last = g.Shown();
    ASSERT_EQ(last.back(), g.tx(1191));
    for (Qt::KeyboardModifier m : {Qt::ControlModifier, Qt::ShiftModifier}) {
        key(Qt::Key_PageUp);
        key(Qt::Key_PageDown, m);
        EXPECT_EQ(g.Shown(), last) << m;
    }
}

TEST(MainWindow, HelpF1AndEveryDialogsHelpOpenTheGuideAtTheirPage) {
    Gui g("gui-help");
    TfmMain& w = *g.w;
    FakeBrowser browser;
    w.SetBrowser(&browser);
    std::string start = g.tx(1163);
    std::string guide = BinDir() + start.substr(0, start.rfind('/') + 1);
    ASSERT_TRUE(std::filesystem::exists(BinDir() + start)) << "the build puts the guide there";
    using Opened = std::pair<std::string, std::string>;

    w.Action("miHelp2")->trigger();
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened.back(), Opened(guide + "index.html", ""));
    w.Action("aHelpF1")->trigger();
    EXPECT_EQ(browser.opened.back(), Opened(guide + "views.html", ""));
    EXPECT_EQ(w.Action("aHelpF1")->shortcut(), QKeySequence(Qt::Key_F1));

    // A dialog's Help button and its F1 open the dialog's page.
    uint8_t opt[kOptionBytes] = {};
    TfmOpt o(g.p.texts, opt, &w);
    QPushButton* help = nullptr;
    for (QPushButton* b : o.findChildren<QPushButton*>())
        if (b->text().toStdString() == g.tx(678)) help = b;
    ASSERT_NE(help, nullptr);
    help->click();
    EXPECT_EQ(browser.opened.back(), Opened(guide + "settings.html", "options"));
    QShortcut* f1 = nullptr;
    for (QShortcut* s : o.findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::Key_F1)) f1 = s;
    ASSERT_NE(f1, nullptr);
    browser.opened.clear();
    emit f1->activated();
    EXPECT_EQ(browser.opened.back(), Opened(guide + "settings.html", "options"));

    // Without a browser the user is told.
    browser.works = false;
    w.Action("miHelp2")->trigger();
    ASSERT_FALSE(g.msg.errors.empty());
    EXPECT_NE(g.msg.errors.back().find(guide + "index.html"), std::string::npos);
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
