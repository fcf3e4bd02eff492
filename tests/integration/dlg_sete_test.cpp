// The send telegram editor, the picker and the main window's send commands, off screen on a
// started program (offline).
#include "platform/program_host.h"
#include "ui/dlg_sete.h"
#include "ui/dlg_typ.h"
#include "ui/main_window.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

struct Gui {
    FakeMessages msg;
    ProgramHost host;
    Program& p;
    std::unique_ptr<TfmMain> w;

    explicit Gui(const std::string& name)
        : host((QtApp(), PrivateFolders(name), BinDir()), msg), p(host.prog()) {
        p.persistSettings = false;
        EXPECT_EQ(host.StartUp(), Program::StartResult::Run);
        p.av.DataDir = TempDir(name + "-data");
        p.av.dtLog = p.av.DataDir + "gui.lg1";
        w = std::make_unique<TfmMain>(host);
        w->onClose = [this] { host.Shutdown(); };
        host.Run({p.texts.tx(673)});
        w->AfterStart();
        w->show();
    }
    ~Gui() {
        if (w) w->close();
    }
    std::string tx(int n) const { return p.texts.tx(n); }
    TfmSeTe* Open(int n) {
        w->Action(QStringLiteral("aPaTe%1").arg(n))->trigger();
        return w->SendEditor();
    }
    static void ChooseType(TfmSeTe* e, int typ) {
        const int i = PickIndexOf(typ);
        e->cbTyp->setCurrentIndex(i);
        emit e->cbTyp->activated(i);
    }
};

} // namespace

TEST(SendGui, MenuCaptionsAndShortCutsFollowTheTelegrams) {
    Gui g("sete-menu");
    g.p.sete.at(3).anst = ANST_TYPE;
    g.p.sete.at(3).typn = 13;
    g.p.sete.at(3).stat = SS_TE_REQUESTED;
    g.w->RefreshSendCaptions();
    const std::string name = g.p.sete.at(3).bez.str();
    EXPECT_EQ(Ss(g.w->Action("aSeTe3")->text()), "3 *" + g.tx(865) + "13  " + name);
    EXPECT_EQ(Ss(g.w->Action("aPaTe3")->text()), "3 *" + g.tx(865) + "13  " + name + "...");
    EXPECT_EQ(Ss(g.w->Action("aSeTe12")->text()).substr(0, 1), "C");
    // Stop is offered while something is active, and stops it.
    g.w->Action("miSeStop")->trigger();
    EXPECT_FALSE(g.p.send->AnyActive());
    // Alt and Shift with F1..F12 by options 5 and 4.
    g.p.pp.opt[4] = g.p.pp.opt[5] = 1;
    g.w->SetShortcuts();
    EXPECT_EQ(g.w->Action("aSeTe2")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F2));
    EXPECT_EQ(g.w->Action("aPaTe12")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F12));
    g.p.pp.opt[5] = 0;
    g.w->SetShortcuts();
    EXPECT_TRUE(g.w->Action("aSeTe2")->shortcut().isEmpty());
    // Offline, a send request is refused with its message.
    g.w->Action("aSeTe1")->trigger();
    ASSERT_FALSE(g.msg.errors.empty());
    EXPECT_EQ(g.msg.errors.back(), g.tx(870));
}

TEST(SendGui, EditorStoresAFloatSetPointAndGivesF12BackWhenClosed) {
    Gui g("sete-edit");
    g.p.pp.opt[3] = 1;
    g.w->SetShortcuts();
    TfmSeTe* e = g.Open(5);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(g.p.av.ParaSeTeLi, 1);
    EXPECT_TRUE(g.w->Action("aAFilter")->shortcut().isEmpty());
    Gui::ChooseType(e, 50);
    EXPECT_EQ(e->sfWert->text(), "10000"); // a float brought into range
    EXPECT_EQ(Ss(e->sfBez->text()), NameOfEntry(TypeListEntry(50, g.p.texts)).substr(0, 27));
    EXPECT_FALSE(e->sfZus->isHidden());
    e->sfWert->setText("12,5");
    e->sfZus->setText("200");
    e->sfCa->setText("7");
    e->sfOa->setText("1 44"); // the short form: the last fields
    e->okButton()->click();
    EXPECT_TRUE(e->sfZus->property("vdlError").toBool()); // QL is 0..127 in the editor
    e->sfZus->setText("100");
    e->okButton()->click();
    ASSERT_TRUE(RunLoopUntil([&] { return g.w->SendEditor() == nullptr; }));
    const T_SeTe& t = g.p.sete.at(5);
    EXPECT_EQ(t.typ, 50);
    EXPECT_FLOAT_EQ(t.inf.sgl, 12.5f);
    EXPECT_EQ(t.zus, 100);
    EXPECT_EQ(t.ca, 7);
    EXPECT_EQ(t.oa, 300);
    EXPECT_TRUE(g.p.av.setelisav);
    EXPECT_EQ(g.p.av.ParaSeTeLi, 0);
    EXPECT_EQ(g.w->Action("aAFilter")->shortcut(), QKeySequence(Qt::Key_F12));
}

TEST(SendGui, InvalidFieldsKeepTheEditorOpenAndEscapeAsksAboutChanges) {
    Gui g("sete-invalid");
    TfmSeTe* e = g.Open(1);
    ASSERT_NE(e, nullptr);
    const T_SeTe before = g.p.sete.at(1);
    e->sfWert->setText("5"); // a single point is 0 or 1
    e->okButton()->click();
    EXPECT_EQ(g.w->SendEditor(), e);
    EXPECT_TRUE(e->sfWert->property("vdlError").toBool());
    EXPECT_EQ(std::memcmp(&before, &g.p.sete.at(1), sizeof before), 0);
    // Escape with changes: No keeps the editor, Yes leaves without storing.
    e->reject();
    EXPECT_EQ(g.msg.questions.size(), 1u);
    EXPECT_EQ(g.w->SendEditor(), e);
    g.msg.answers.push_back(Answer::Yes);
    e->reject();
    ASSERT_TRUE(RunLoopUntil([&] { return g.w->SendEditor() == nullptr; }));
    EXPECT_EQ(std::memcmp(&before, &g.p.sete.at(1), sizeof before), 0);
    // Without changes Escape closes at once.
    e = g.Open(1);
    e->reject();
    ASSERT_TRUE(RunLoopUntil([&] { return g.w->SendEditor() == nullptr; }));
    EXPECT_EQ(g.msg.questions.size(), 2u);
}

TEST(SendGui, RawTypeStartsFromTheEncodingAndFilesRoundTrip) {
    Gui g("sete-raw");
    TfmSeTe* e = g.Open(9); // an interrogation
    ASSERT_NE(e, nullptr);
    Gui::ChooseType(e, PT_ASDU);
    EXPECT_EQ(Ss(e->meBytes->toPlainText()), "64 01 06 00 00 00 00 00 14");
    EXPECT_TRUE(e->sfCa->isHidden());
    const std::string file = g.p.av.DataDir + "t9.txt";
    ASSERT_TRUE(e->SaveTo(file));
    EXPECT_EQ(g.p.sete.at(9).typ, PT_ASDU);
    EXPECT_EQ(g.p.sete.at(9).lg, 9);
    // Loaded into another telegram, the bytes come back.
    e->close();
    ASSERT_TRUE(RunLoopUntil([&] { return g.w->SendEditor() == nullptr; }));
    e = g.Open(2);
    ASSERT_TRUE(e->LoadFrom(file));
    EXPECT_EQ(Ss(e->meBytes->toPlainText()), "64 01 06 00 00 00 00 00 14");
    ASSERT_TRUE(e->Store());
    EXPECT_EQ(g.p.sete.at(2).typ, PT_ASDU);
    // A raw telegram that does not fit the byte field is refused.
    e->meBytes->setPlainText(QString(265 * 2, QChar('A')));
    EXPECT_FALSE(e->Store());
}

TEST(SendGui, PickerChoosesWithEnterAndCancelsWithEscape) {
    QtApp();
    PickList l;
    l.entries = {{"a", 1}, {"b", 2}, {"c", 3}};
    l.selected = 1;
    TfmTyp d(l, 10, 10, 500, nullptr);
    EXPECT_EQ(d.Chosen(), 1);
    EXPECT_EQ(d.height(), 450);
    d.lbTyp->setCurrentRow(2);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&d, &enter);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Chosen(), 2);
    TfmTyp c(l, 10, 10, 500, nullptr);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&c, &esc);
    EXPECT_EQ(c.result(), QDialog::Rejected);
}
