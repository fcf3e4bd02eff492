// The channel parameter dialog, driven off screen: controls changed as a user would, then OK
// or Cancel, and the record checked.
#include "ui/dlg_com.h"

#include "core/channel.h"
#include "integration/dialog_texts.h"
#include "integration/qt_env.h"
#include "link/channel_params.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstring>

using namespace vdl;

namespace {

bool Same(const T_BetriebsPar& a, const T_BetriebsPar& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The parameters of a controlling station on 9600 bit/s, 8E1, as a user may have left them.
T_BetriebsPar Params() {
    T_BetriebsPar bp = DefaultBetriebsPar();
    bp.fkt = FKT_MASTER;
    bp.pro = PRO_UNBALANCED;
    bp.cnr = 3;
    bp.BaudI = 6;
    bp.baud = 9600;
    bp.pari = 2;
    bp.data = 8;
    bp.stop = 1;
    bp.tlg = 255;
    bp.qzt = 777;
    bp.zztv = 11;
    bp.zztpoll = 500;
    bp.la = T_LinkAdr{};
    bp.la.a[0] = 1;
    bp.la.a[1] = 7;
    bp.la.a[2] = 255;
    bp.la.anz = 2;
    bp.logtxt.set("station A");
    return bp;
}

ChannelDialogEnv Env() {
    ChannelDialogEnv env;
    env.ports = {1, 2, 3};
    env.otherPort = 2;
    return env;
}

// Chooses an entry as the user would (the dialog reacts to activation, not to filling).
void Choose(QComboBox* cb, int i) {
    cb->setCurrentIndex(i);
    emit cb->activated(i);
}

void Type(QLineEdit* e, const QString& s) {
    e->setText(s);
    emit e->textEdited(s);
}

class ComDialog : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
    TextTable t = test::DialogTexts();
};

} // namespace

TEST_F(ComDialog, FillsControlsFromTheRecordAndTheTexts) {
    T_BetriebsPar bp = Params();
    TfmCom dlg(t, Env(), 1, bp, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Channel 2");
    // Combo boxes take their entries by the text rule: label n, count n+1, entries n+2..
    ASSERT_EQ(dlg.cbFktn->count(), 7);
    EXPECT_EQ(dlg.cbFktn->itemText(1), "controlling");
    EXPECT_EQ(dlg.cbFktn->currentIndex(), 1);
    EXPECT_EQ(dlg.cbProt->currentIndex(), 1);
    EXPECT_EQ(dlg.sfLinkAdr->text(), "1 7");
    // Unbalanced: the cycle field is the poll cycle.
    EXPECT_EQ(dlg.lblZyZtV->text(), "Poll cycle [ms]");
    EXPECT_EQ(dlg.edZyZtV->text(), "500");
    EXPECT_EQ(dlg.cbBaud->currentText(), "9600");
    EXPECT_EQ(dlg.sfLogText->text(), "station A");
    EXPECT_EQ(dlg.chlbAend->count(), 3);
    // The port list: no port, COM1, COM3 (COM2 belongs to the other channel), each with its
    // device; COM3 chosen.
    ASSERT_EQ(dlg.cbCom->count(), 3);
    EXPECT_EQ(dlg.cbCom->itemText(0), "no port");
    EXPECT_EQ(dlg.cbCom->itemText(2), "COM3  /dev/ttyS2");
    EXPECT_EQ(dlg.cbCom->currentIndex(), 2);
    // The time-out is proposed on opening: (255 * 11000 + 77000) / 9600 + 100 = 400.
    EXPECT_EQ(dlg.edTimeOut->text(), "400");
}

TEST_F(ComDialog, CancelKeepsTheRecordExceptTheCharacterFormat) {
    T_BetriebsPar bp = Params();
    bp.pari = 0;
    bp.stop = 2;
    bp.tlg = 10;
    T_BetriebsPar expected = bp;
    ApplyCharacterFormatRule(expected, false);
    {
        TfmCom dlg(t, Env(), 0, bp, nullptr);
        dlg.show();
        Choose(dlg.cbProt, 0);
        Type(dlg.edTeLg, "100");
        dlg.cancelButton()->click();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_TRUE(Same(bp, expected));
    EXPECT_EQ(bp.pari, 2);
    EXPECT_EQ(bp.stop, 1);
    EXPECT_EQ(bp.tlg, 24);
}

TEST_F(ComDialog, OkWritesEveryControl) {
    T_BetriebsPar bp = Params();
    TfmCom dlg(t, Env(), 0, bp, nullptr);
    dlg.show();
    Choose(dlg.cbProt, 0); // balanced: the field now edits the link test cycle
    EXPECT_EQ(dlg.lblZyZtV->text(), "Link test cycle [s]");
    EXPECT_EQ(dlg.edZyZtV->text(), "11");
    dlg.edZyZtV->setText("30");
    dlg.sfLinkAdr->setText("4, $10");
    Choose(dlg.cbVwE5, 2);
    SetChecked(dlg.chlbAend, 0, true);
    SetChecked(dlg.chlbAend, 2, true);
    dlg.sfLogText->setText("line B");
    Choose(dlg.cbBaud, 3); // 1200
    Type(dlg.edTeLg, "100");
    dlg.edWiedH->setText("5");
    dlg.edZyZtLink->setText("100");
    dlg.edSVerz->setText("5000");
    Choose(dlg.cbFRts, 7);
    dlg.edTVor->setText("20");
    dlg.edTNach->setText("30");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(bp.pro, PRO_BALANCED);
    EXPECT_EQ(bp.zztv, 30);
    EXPECT_EQ(bp.zztpoll, 500); // the poll cycle keeps its value
    EXPECT_EQ(bp.la.anz, 2);
    EXPECT_EQ(bp.la.a[0], 4);
    EXPECT_EQ(bp.la.a[1], 16);
    EXPECT_EQ(bp.la.a[2], 255); // broadcast after the last address
    EXPECT_EQ(bp.vwe5, 2);
    EXPECT_EQ(bp.paend, 0x80 | 0x20);
    EXPECT_EQ(bp.logtxt.str(), "line B");
    EXPECT_EQ(bp.BaudI, 3);
    EXPECT_EQ(bp.baud, 1200);
    EXPECT_EQ(bp.tlg, 100);
    // Proposed for the new rate and length: round((1100000 + 77000) / 1200 + 100) = 1081.
    EXPECT_EQ(bp.qzt, 1081);
    EXPECT_EQ(bp.wh, 5);
    EXPECT_EQ(bp.zztl, 100);
    EXPECT_EQ(bp.sverz, 5000);
    EXPECT_EQ(bp.rts, 7);
    EXPECT_EQ(bp.tv, 20);
    EXPECT_EQ(bp.tn, 30);
    EXPECT_EQ(bp.cnr, 3);
    EXPECT_EQ(bp.pari, 2);
    EXPECT_EQ(bp.data, 8);
    EXPECT_EQ(bp.stop, 1);
}

TEST_F(ComDialog, InvalidEntriesKeepTheDialogOpenWithTheFieldMarked) {
    T_BetriebsPar bp = Params();
    T_BetriebsPar before = bp;
    TfmCom dlg(t, Env(), 0, bp, nullptr);
    dlg.show();
    Type(dlg.edTeLg, "262");
    dlg.edSVerz->setText("abc");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(IsMarked(dlg.edTeLg));
    EXPECT_TRUE(IsMarked(dlg.edSVerz));
    EXPECT_FALSE(IsMarked(dlg.edWiedH));
    EXPECT_TRUE(Same(bp, before));

    // The broadcast address is no station address; neither is an empty list.
    Type(dlg.edTeLg, "261");
    dlg.edSVerz->setText("0");
    dlg.sfLinkAdr->setText("1 255");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.sfLinkAdr));
    EXPECT_FALSE(IsMarked(dlg.edTeLg));
    dlg.sfLinkAdr->setText(" ");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(Same(bp, before));

    dlg.sfLinkAdr->setText("1, 2; 3x4 5 6 7 8 9 10 11 12 13 14 15 16");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(IsMarked(dlg.sfLinkAdr));
    EXPECT_EQ(bp.la.anz, 15); // the sixteenth address is dropped
    EXPECT_EQ(bp.la.a[3], 4);
    EXPECT_EQ(bp.tlg, 261);
}

TEST_F(ComDialog, TwoOctetLinkAddressesAndNoLinkAddress) {
    T_BetriebsPar bp = Params();
    ChannelDialogEnv env = Env();
    env.lgla = 2;
    {
        TfmCom dlg(t, env, 0, bp, nullptr);
        dlg.sfLinkAdr->setText("300 65534");
        dlg.okButton()->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(bp.la.a[1], 65534);
    EXPECT_EQ(bp.la.a[2], 65535);
    env.lgla = 0;
    TfmCom dlg(t, env, 0, bp, nullptr);
    EXPECT_FALSE(dlg.sfLinkAdr->isEnabled());
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(bp.la.anz, 2); // untouched without link addresses
}

TEST_F(ComDialog, FunctionDrivesDirectionBitFormatListsAndAsciiTexts) {
    T_BetriebsPar bp = Params();
    bp.fkt = FKT_MONITOR;
    bp.BaudI = 3; // 1200
    bp.baud = 1200;
    TfmCom dlg(t, Env(), 0, bp, nullptr);
    EXPECT_FALSE(dlg.cbPari->isEnabled());
    Choose(dlg.cbFktn, FKT_MASTER);
    EXPECT_EQ(dlg.cbRiBit->currentIndex(), 1);
    Choose(dlg.cbFktn, FKT_SLAVE);
    EXPECT_EQ(dlg.cbRiBit->currentIndex(), 0);

    Choose(dlg.cbFktn, FKT_ASCII);
    EXPECT_TRUE(dlg.cbPari->isEnabled());
    EXPECT_EQ(dlg.lblTeLg->text(), "Line length");
    EXPECT_EQ(dlg.lblTimeOut->text(), "Character time-out [ms]");
    EXPECT_EQ(dlg.edTimeOut->text(), "11"); // one character at 1200 bit/s plus 2 ms
    Choose(dlg.cbPari, 0);
    Choose(dlg.cbData, 0);
    // Back to a frame function: the lists are locked again and show 8E1.
    Choose(dlg.cbFktn, FKT_MONITOR);
    EXPECT_FALSE(dlg.cbPari->isEnabled());
    EXPECT_EQ(dlg.cbPari->currentIndex(), 2);
    EXPECT_EQ(dlg.cbData->currentIndex(), 3);
    EXPECT_EQ(dlg.lblTimeOut->text(), "Time-out [ms]");

    ChannelDialogEnv free = Env();
    free.formatFree = true;
    TfmCom dlg2(t, free, 0, bp, nullptr);
    EXPECT_TRUE(dlg2.cbPari->isEnabled());
}

TEST_F(ComDialog, TypedPortIsReadAddedAndStored) {
    T_BetriebsPar bp = Params();
    bp.cnr = 300; // a number without a device, not in the system list
    PortNames names(false);
    ChannelDialogEnv env = Env();
    env.names = &names;
    TfmCom dlg(t, env, 0, bp, nullptr);
    EXPECT_EQ(dlg.cbCom->currentText(), "COM300");
    dlg.cbCom->setEditText("com 7");
    emit dlg.cbCom->lineEdit()->editingFinished();
    EXPECT_EQ(dlg.cbCom->currentText(), "COM7  /dev/ttyS6");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(bp.cnr, 7);

    // A device path is bound to a number of the program's and shown with it.
    TfmCom dlg2(t, env, 0, bp, nullptr);
    dlg2.cbCom->setEditText("/dev/pts/4");
    emit dlg2.cbCom->lineEdit()->editingFinished();
    EXPECT_EQ(dlg2.cbCom->currentText(), "COM256  /dev/pts/4");
    dlg2.okButton()->click();
    EXPECT_EQ(bp.cnr, 256);
    EXPECT_EQ(names.DevicePath(256), "/dev/pts/4");
    // The next opening shows the device again.
    TfmCom dlg3(t, env, 0, bp, nullptr);
    EXPECT_EQ(dlg3.cbCom->currentText(), "COM256  /dev/pts/4");
}

TEST_F(ComDialog, PageAndFocusComeBackOnTheNextOpening) {
    T_BetriebsPar bp = Params();
    {
        TfmCom dlg(t, Env(), 0, bp, nullptr);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        dlg.findChild<QTabWidget*>()->setCurrentIndex(1);
        dlg.edWiedH->setFocus();
        ASSERT_TRUE(test::RunLoopUntil([&] { return dlg.edWiedH->hasFocus(); }, 2000));
        // The status bar shows the focused field's hint (text n + 1).
        EXPECT_EQ(dlg.ShownHint(), QString::fromStdString(t.tx(616)));
        // Enter in an entry field moves on instead of closing the dialog.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        dlg.edZyZtLink->setFocus();
        ASSERT_TRUE(test::RunLoopUntil([&] { return dlg.edZyZtLink->hasFocus(); }, 2000));
        QApplication::sendEvent(dlg.edZyZtLink, &enter);
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(test::RunLoopUntil([&] { return dlg.edSVerz->hasFocus(); }, 2000));
        EXPECT_EQ(dlg.ShownHint(), QString::fromStdString(t.tx(882)));
        dlg.edWiedH->setFocus();
        ASSERT_TRUE(test::RunLoopUntil([&] { return dlg.edWiedH->hasFocus(); }, 2000));
        dlg.okButton()->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_EQ(bp.pgi, 1);
    EXPECT_EQ(bp.ilo, 18); // edWiedH in the dialog's control order
    TfmCom dlg(t, Env(), 0, bp, nullptr);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    EXPECT_EQ(dlg.findChild<QTabWidget*>()->currentIndex(), 1);
    EXPECT_TRUE(test::RunLoopUntil([&] { return dlg.edWiedH->hasFocus(); }, 2000));
}

TEST_F(ComDialog, ModalRunReturnsFalseOnCancel) {
    T_BetriebsPar bp = Params();
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TfmCom*>(QApplication::activeModalWidget());
        if (dlg) dlg->cancelButton()->click();
    });
    EXPECT_FALSE(EditChannelParams(nullptr, t, Env(), 0, bp));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TfmCom*>(QApplication::activeModalWidget());
        if (dlg) {
            dlg->edWiedH->setText("9");
            dlg->okButton()->click();
        }
    });
    EXPECT_TRUE(EditChannelParams(nullptr, t, Env(), 0, bp));
    EXPECT_EQ(bp.wh, 9);
}
