// The dialling window on a running program whose channel 1 works through a modem on a
// pseudo-terminal: it opens when recording starts, sends its commands, shows the program
// status, loads and saves modem files, and takes its fields over when it closes.
#include "app/main_commands.h"
#include "core/modem_file.h"
#include "platform/program_host.h"
#include "ui/dlg_wahl.h"
#include "ui/main_window.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/paths.h"
#include "support/pty_line.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

struct ModemGui {
    FakeMessages msg;
    ProgramHost host;
    Program& p;
    PtyEnd line;
    std::unique_ptr<TfmMain> w;
    std::string dir;

    ModemGui() : host((QtApp(), PrivateFolders("dlg-wahl"), BinDir()), msg), p(host.prog()) {
        dir = TempDir("dlg-wahl-files");
        p.persistSettings = false;
        EXPECT_EQ(host.StartUp(), Program::StartResult::Run);
        p.av.dtLog = dir + "wahl.lg1";
        w = std::make_unique<TfmMain>(host);
        w->onClose = [this] { host.Shutdown(); };
        host.Run({p.texts.tx(673)}); // offline
        w->AfterStart();
        w->show();
        EXPECT_TRUE(RunLoopUntil([this] { return p.av.Tick > p.av.OpenUhr + 1; }));
        host.BindDevice(0, line.name);
        p.com[1].bp.cnr = 0;
        p.com[0].wm = DefaultModem();
        p.com[0].wm.vorh = 1;
    }
    ~ModemGui() {
        if (w) w->close();
    }
    std::string tx(int n) const { return p.texts.tx(n); }
    // What the program wrote to the line, once it has written n bytes.
    std::string Read(size_t n) {
        std::string got;
        RunLoopUntil([&] {
            char buf[256];
            for (ssize_t k; (k = ::read(line.master, buf, sizeof buf)) > 0;)
                got.append(buf, static_cast<size_t>(k));
            return got.size() >= n;
        });
        return got;
    }
};

} // namespace

TEST(DiallingWindow, OpensWithRecordingSendsAndShowsTheStatus) {
    ModemGui g;
    ASSERT_EQ(OpenDialling(), nullptr);
    g.p.SetOnline(true);
    ASSERT_TRUE(g.p.com[0].se.open);
    TfmWahl* d = OpenDialling();
    ASSERT_NE(d, nullptr) << "recording started through a modem";
    EXPECT_TRUE(d->chbModem->isChecked());
    EXPECT_EQ(d->edConnect->text(), "CONNECT");
    EXPECT_EQ(d->lblStatus->text().toStdString(), g.tx(1988));
    EXPECT_EQ(d->lblDcd->text().toStdString(), g.tx(1998)); // a pseudo-terminal has no DCD

    d->edAt[1]->setText("ATD42");
    d->btnAt[1]->click();
    EXPECT_EQ(g.Read(7), "ATD42\r\n");
    const std::string connect = "\r\nCONNECT 9600\r\n";
    ASSERT_EQ(::write(g.line.master, connect.data(), connect.size()),
              static_cast<ssize_t>(connect.size()));
    ASSERT_TRUE(RunLoopUntil([&] { return g.p.com[0].se.lks < 6; }, 4000));
    // Refreshed within 16 ticks.
    EXPECT_TRUE(RunLoopUntil([&] { return d->lblStatus->text().toStdString() == g.tx(1989); }));

    // The hang-up button: the escape alone after 21 ticks, then the rest of the string.
    d->edBreak->setText("+++ATH0");
    d->btnBreak->click();
    EXPECT_EQ(g.p.com[0].se.lks, 8);
    EXPECT_EQ(g.Read(3), "+++");
    EXPECT_EQ(g.Read(6), "ATH0\r\n");
    EXPECT_TRUE(RunLoopUntil([&] { return g.p.com[0].se.lks == 6; }));

    // The modem check box acts at once.
    d->chbModem->setChecked(false);
    EXPECT_EQ(g.p.com[0].se.lks, 0);
    EXPECT_EQ(g.p.com[0].wm.vorh, 0);
    EXPECT_TRUE(g.msg.errors.empty());
}

TEST(DiallingWindow, FilesAndTakingTheFieldsOver) {
    ModemGui g;
    g.w->Action("WaehlModem")->trigger();
    TfmWahl* d = OpenDialling();
    ASSERT_NE(d, nullptr);
    // Offline, the buttons only say so.
    d->btnAt[0]->click();
    d->btnDtr->click();
    EXPECT_EQ(g.msg.errors.size(), 2u);
    EXPECT_EQ(d->lblStatus->text().toStdString(), g.tx(1987));

    d->edConnect->setText("CONNECT 9600");
    d->edAt[3]->setText("ATH1");
    d->SaveFile(QString::fromStdString(g.dir + "m.mdm"));
    std::vector<char> image(sizeof(T_Modem) + 1);
    std::ifstream(g.dir + "m.mdm", std::ios::binary).read(image.data(), 193);
    for (size_t size : {191u, 193u})
        std::ofstream(g.dir + std::to_string(size) + ".mdm", std::ios::binary)
            .write(image.data(), static_cast<std::streamsize>(size));
    d->edConnect->setText("X");
    d->LoadFile(QString::fromStdString(g.dir + "191.mdm"));
    d->LoadFile(QString::fromStdString(g.dir + "193.mdm"));
    EXPECT_EQ(d->edConnect->text(), "X") << "not a modem file: ignored";
    EXPECT_EQ(g.msg.errors.size(), 2u);
    d->LoadFile(QString::fromStdString(g.dir + "m.mdm"));
    EXPECT_EQ(d->edConnect->text(), "CONNECT 9600");
    EXPECT_EQ(d->edAt[3]->text(), "ATH1");

    // A time outside its limits keeps the window open; Escape takes the fields over as OK.
    d->edDauer->setText("5");
    d->okButton()->click();
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(IsMarked(d->edDauer));
    EXPECT_EQ(g.p.com[0].wm.connect.str(), "CONNECT");
    d->edDauer->setText("20");
    g.msg.answers.push_back(Answer::No);
    d->reject();
    EXPECT_FALSE(d->isVisible());
    ASSERT_EQ(g.msg.questions.size(), 1u);
    EXPECT_EQ(g.msg.questions[0], g.tx(kTxAskSaveModem));
    EXPECT_EQ(g.p.com[0].wm.connect.str(), "CONNECT 9600");
    EXPECT_EQ(g.p.com[0].wm.dauer, 20);
    EXPECT_TRUE(RunLoopUntil([] { return OpenDialling() == nullptr; }, 2000));
}
