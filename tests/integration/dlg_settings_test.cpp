// The options, display settings, colour table, link test and information dialogs, driven
// off screen.
#include "ui/dlg_farb.h"
#include "ui/dlg_frbsel.h"
#include "ui/dlg_info.h"
#include "ui/dlg_lnk.h"
#include "ui/dlg_opt.h"

#include "core/allg_var.h"
#include "core/display_lists.h"
#include "integration/dialog_texts.h"
#include "integration/qt_env.h"
#include "ui/palette.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <cstring>

using namespace vdl;

namespace {

class SettingsDialogs : public ::testing::Test {
protected:
    void SetUp() override { test::QtApp(); }
    TextTable t = test::DialogTexts();
};

} // namespace

TEST_F(SettingsDialogs, OptionsTickedAsTheBytesAndWrittenBackOnOk) {
    uint8_t opt[kOptionBytes] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
    uint8_t before[kOptionBytes];
    std::memcpy(before, opt, sizeof opt);
    {
        TfmOpt dlg(t, opt, nullptr);
        ASSERT_EQ(dlg.chlbOpt->count(), 3); // text 1232 names three entries
        EXPECT_EQ(dlg.chlbOpt->item(1)->text(), "F9 display");
        EXPECT_TRUE(IsChecked(dlg.chlbOpt, 0));
        EXPECT_FALSE(IsChecked(dlg.chlbOpt, 1));
        SetChecked(dlg.chlbOpt, 0, false);
        SetChecked(dlg.chlbOpt, 1, true);
        dlg.cancelButton()->click();
    }
    EXPECT_EQ(std::memcmp(opt, before, sizeof opt), 0);
    TfmOpt dlg(t, opt, nullptr);
    SetChecked(dlg.chlbOpt, 0, false);
    SetChecked(dlg.chlbOpt, 1, true);
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(opt[0], 0);
    EXPECT_EQ(opt[1], 1);
    EXPECT_EQ(opt[2], 1);
    EXPECT_EQ(opt[9], 1); // bytes beyond the list keep their values
}

TEST_F(SettingsDialogs, DisplaySettingsEditTheBlockOnlyOnOk) {
    T_AusgPar a = DefaultAusgPar();
    a.size = 10;
    a.quamask = 0x81;
    a.fehler = {0, 12}; // a foreground of 0 is offered by no list and must survive
    T_AusgPar before = a;
    {
        TfmFarb dlg(t, a, nullptr);
        EXPECT_EQ(dlg.cbSize->currentText(), "10");
        EXPECT_EQ(dlg.sfLeerZl->text(), "50");
        EXPECT_TRUE(IsChecked(dlg.chlbQuali, 0)); // bit 7 first
        EXPECT_TRUE(IsChecked(dlg.chlbQuali, 7));
        EXPECT_FALSE(IsChecked(dlg.chlbQuali, 1));
        ASSERT_EQ(dlg.cbVg[0]->count(), 19); // palette 1..19
        EXPECT_EQ(dlg.cbVg[0]->itemText(0), "colour1");
        EXPECT_EQ(dlg.cbVg[0]->currentIndex(), 1); // ek 1: foreground 2
        EXPECT_EQ(dlg.cbVg[5]->currentIndex(), -1);
        // Entries are drawn on their own colour, white text on the dark ones.
        EXPECT_EQ(dlg.cbVg[0]->itemData(1, Qt::BackgroundRole).value<QColor>(), QColor(0, 0, 255));
        EXPECT_EQ(dlg.cbVg[0]->itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        EXPECT_EQ(dlg.cbVg[0]->itemData(4, Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        // A change redraws the row's sample at once.
        dlg.cbHg[0]->setCurrentIndex(11); // palette 12
        EXPECT_EQ(dlg.lblSample[0]->palette().color(QPalette::Window), PaletteColor(12));
        EXPECT_EQ(dlg.lblSample[0]->palette().color(QPalette::WindowText), PaletteColor(2));
        dlg.cancelButton()->click();
    }
    EXPECT_EQ(std::memcmp(&a, &before, sizeof a), 0);

    TfmFarb dlg(t, a, nullptr);
    dlg.show();
    dlg.cbSize->setCurrentIndex(4);
    dlg.sfLeerZl->setText("201");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.sfLeerZl));
    dlg.sfLeerZl->setText("0");
    SetChecked(dlg.chlbQuali, 0, false);
    SetChecked(dlg.chlbQuali, 2, true);
    dlg.cbHg[7]->setCurrentIndex(0);
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(a.size, 12);
    EXPECT_EQ(a.leerzl, 0);
    EXPECT_EQ(a.quamask, 0x21);
    EXPECT_EQ(a.quali.hg, 1);
    EXPECT_EQ(a.fehler.fg, 0);
    EXPECT_EQ(a.fehler.hg, 12);
    EXPECT_EQ(a.ek[0].fg, 2);
}

TEST_F(SettingsDialogs, ColourTableStoresPairsInTheCopyAndHandsItBackOnOk) {
    T_AllgVar av;
    av.TypStr[0] = 1;
    av.maxpicktyp = 1;
    T_TypUrsFarben table = DefaultTypUrsFarben();
    table.frb[3] = {2, 13};
    T_TypUrsFarben before = table;
    {
        TfmFrbSel dlg(t, av, kFrbCauses, table, nullptr);
        EXPECT_EQ(dlg.windowTitle(), "Colours by cause");
        ASSERT_EQ(dlg.lbEntries->count(), 256);
        EXPECT_EQ(dlg.lbEntries->item(3)->text(), "   3    spont  spontaneous");
        EXPECT_EQ(dlg.lbVg->count(), 20);
        EXPECT_EQ(dlg.lbVg->item(4)->text(), "  4 colour4");
        EXPECT_EQ(dlg.lbVg->item(1)->foreground().color(), QColor(Qt::white)); // on black
        EXPECT_EQ(dlg.lbVg->item(6)->foreground().color(), QColor(Qt::black)); // on aqua
        // An entry without colour is drawn black on the window colour.
        EXPECT_EQ(dlg.lbEntries->item(0)->foreground().color(), PaletteColor(1));
        EXPECT_EQ(dlg.lbEntries->item(3)->background().color(), PaletteColor(13));
        // Choosing an entry shows its pair without changing anything.
        dlg.lbEntries->setCurrentRow(3);
        EXPECT_EQ(dlg.lbVg->currentRow(), 2);
        EXPECT_EQ(dlg.lbHg->currentRow(), 13);
        EXPECT_FALSE(ColourTablesDiffer(dlg.Work(), before));
        // Changing a colour stores it for the entry at once and redraws it.
        dlg.lbHg->setCurrentRow(5);
        EXPECT_EQ(dlg.Work().frb[3], (T_FarbIndex{2, 5}));
        EXPECT_EQ(dlg.lbEntries->item(3)->background().color(), PaletteColor(5));
        dlg.cancelButton()->click();
    }
    EXPECT_FALSE(ColourTablesDiffer(table, before));

    TfmFrbSel dlg(t, av, kFrbTypes, table, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Colours by type");
    EXPECT_EQ(dlg.lbEntries->item(1)->text(), "   1    M_SP_NA_1  single point");
    dlg.lbEntries->setCurrentRow(200);
    dlg.lbVg->setCurrentRow(3);
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(table.frb[200].fg, 3);
    EXPECT_EQ(table.frb[200].hg, 0);
    EXPECT_TRUE(ColourTablesDiffer(table, before));
}

TEST_F(SettingsDialogs, LinkTestSetsSwitchesAtOnceAndClearsThemOnClose) {
    LinkTestSwitches lt1{}, lt2{};
    QWidget main;
    main.setGeometry(100, 100, 800, 600);
    TfmLnk* w = ShowLinkTest(&main, t, lt1, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Link test 1");
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_EQ(w->chlbLink->count(), LT_COUNT);
    SetChecked(w->chlbLink, LT_NO_USER_DATA, true);
    SetChecked(w->chlbLink, LT_SET_ACD, true);
    EXPECT_TRUE(lt1[LT_NO_USER_DATA]);
    EXPECT_TRUE(lt1[LT_SET_ACD]);
    SetChecked(w->chlbLink, LT_SET_ACD, false);
    EXPECT_FALSE(lt1[LT_SET_ACD]);

    // A second request shows the same window, whatever its channel.
    EXPECT_EQ(ShowLinkTest(&main, t, lt2, 2), w);
    EXPECT_EQ(w->ChannelNr(), 1);
    SetChecked(w->chlbLink, 0, true);
    EXPECT_TRUE(lt1[0]);
    EXPECT_FALSE(lt2[0]);

    w->btnClose->click();
    for (bool on : lt1) EXPECT_FALSE(on);
    ASSERT_TRUE(test::RunLoopUntil([] { return OpenLinkTest() == nullptr; }, 2000));
    TfmLnk* w2 = ShowLinkTest(&main, t, lt2, 2);
    EXPECT_EQ(w2->windowTitle(), "Link test 2");
    w2->close();
}

TEST_F(SettingsDialogs, InformationClosesOnAnyKey) {
    TfmInfo dlg(t, {"", "", ""}, nullptr);
    ASSERT_EQ(dlg.lbInfo->count(), 8);
    EXPECT_EQ(dlg.lbInfo->item(5)->text(), "Version ?.?.?.?   ?");
    dlg.show();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(&dlg, &key);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(SettingsDialogs, DialogsOpenBesideTheMainWindow) {
    QWidget main;
    main.setGeometry(50, 80, 300, 200);
    main.show();
    uint8_t opt[kOptionBytes] = {};
    TfmOpt dlg(t, opt, &main);
    QRect m = main.frameGeometry();
    QRect screen = main.screen()->availableGeometry();
    int expected = std::min(m.left() + m.width(),
                            screen.left() + screen.width() - dlg.frameGeometry().width());
    EXPECT_EQ(dlg.frameGeometry().left(), expected);
    EXPECT_EQ(dlg.frameGeometry().top(), m.top() + 64);
}
