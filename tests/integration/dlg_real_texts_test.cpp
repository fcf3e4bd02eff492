// Every dialog opened on the program's own text files: the lists the dialogs build from the
// texts have the entries the records need, in both languages.
#include "ui/dlg_alg.h"
#include "ui/dlg_com.h"
#include "ui/dlg_farb.h"
#include "ui/dlg_flt.h"
#include "ui/dlg_frbsel.h"
#include "ui/dlg_lnk.h"
#include "ui/dlg_opt.h"

#include "core/allg_var.h"
#include "core/channel.h"
#include "core/form_rules.h"
#include "core/text_table.h"
#include "integration/qt_env.h"
#include "link/port_list.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

using namespace vdl;

namespace {

class RealTexts : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        test::QtApp();
        auto r = t.LoadFile(test::TextsDir() + "VdlText." + GetParam());
        ASSERT_TRUE(r.ok()) << r.message;
        PostProcessTexts(t, av);
    }
    TextTable t;
    T_AllgVar av;
    test::FakeMessages msg;
};

} // namespace

TEST_P(RealTexts, ChannelDialogListsCoverEveryParameter) {
    T_BetriebsPar bp = DefaultBetriebsPar();
    ChannelDialogEnv env;
    PortNames names(false);
    env.ports = {1, 2, names.Bind("/dev/serial/by-id/usb-adapter-if00")};
    env.names = &names;
    TfmCom dlg(t, env, 0, bp, nullptr);
    EXPECT_EQ(dlg.cbFktn->count(), 7);
    EXPECT_EQ(dlg.cbProt->count(), 2);
    EXPECT_EQ(dlg.cbPari->count(), 5);
    EXPECT_EQ(dlg.cbData->count(), 4);
    EXPECT_EQ(dlg.cbStop->count(), 2);
    EXPECT_EQ(dlg.cbFRts->count(), 8);
    EXPECT_EQ(dlg.chlbAend->count(), 3);
    // Every baud entry reads as a rate, and the default index names the default rate.
    for (int i = 0; i < dlg.cbBaud->count(); ++i)
        EXPECT_GT(LeadingNumber(Ss(dlg.cbBaud->itemText(i))), 0) << i;
    EXPECT_EQ(LeadingNumber(Ss(dlg.cbBaud->currentText())), bp.baud);
    // A port entry reads back as its number.
    for (int i = 1; i < dlg.cbCom->count(); ++i)
        EXPECT_EQ(ReadPortEntry(t, names, Ss(dlg.cbCom->itemText(i))), dlg.portNumbers[size_t(i)]);
    T_BetriebsPar before = bp;
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(bp.baud, before.baud);
    EXPECT_EQ(bp.fkt, before.fkt);
}

TEST_P(RealTexts, SettingsDialogsListsHaveTheirSizes) {
    uint8_t opt[kOptionBytes] = {};
    TfmOpt o(t, opt, nullptr);
    EXPECT_EQ(o.chlbOpt->count(), 14);
    T_AusgPar a = DefaultAusgPar();
    TfmFarb f(t, a, nullptr);
    EXPECT_EQ(f.chlbQuali->count(), 8);
    EXPECT_EQ(f.cbSize->count(), 9);
    EXPECT_EQ(f.cbSize->currentText(), "9");
    LinkTestSwitches lt{};
    TfmLnk l(t, lt, 1, nullptr);
    EXPECT_EQ(l.chlbLink->count(), LT_COUNT);
    T_TypUrsFarben table = DefaultTypUrsFarben();
    TfmFrbSel s(t, av, 1, table, nullptr);
    EXPECT_EQ(s.lbEntries->count(), 256);
}

TEST_P(RealTexts, NothingIsCutOff) {
    // The options list and the colour lists show every entry without scrolling.
    uint8_t opt[kOptionBytes] = {};
    TfmOpt o(t, opt, nullptr);
    o.show();
    QApplication::processEvents();
    EXPECT_EQ(o.chlbOpt->verticalScrollBar()->maximum(), 0);
    T_TypUrsFarben table = DefaultTypUrsFarben();
    TfmFrbSel s(t, av, 1, table, nullptr);
    s.show();
    QApplication::processEvents();
    EXPECT_EQ(s.lbVg->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(s.lbHg->verticalScrollBar()->maximum(), 0);

    // Every hint of the channel dialog shows whole in the hint line.
    T_BetriebsPar bp = DefaultBetriebsPar();
    ChannelDialogEnv env;
    env.ports = {1, 2};
    TfmCom dlg(t, env, 0, bp, nullptr);
    dlg.show();
    ASSERT_TRUE(dlg.hintLine()->wordWrap());
    int hints = 0;
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if (w->property("vdlHint").toInt() <= 0) continue;
        dlg.ShowHintOf(w);
        QApplication::processEvents();
        QLabel* line = dlg.hintLine();
        ASSERT_FALSE(line->text().isEmpty()) << w->objectName().toStdString();
        // The height the wrapped hint needs at the line's width (frame and margins included).
        EXPECT_LE(line->heightForWidth(line->width()), line->height())
            << line->text().toStdString();
        ++hints;
    }
    EXPECT_GT(hints, 20);
}

TEST_P(RealTexts, GeneralSettingsAndFilterDialogsConfirmUnchanged) {
    T_AllgPar ap = DefaultAllgPar();
    T_AllgPar before = ap;
    std::string dir = test::TempDir("realtexts");
    std::string dataDir = dir;
    TfmAlg g(t, msg, av.khex, ap, dataDir, nullptr, 30);
    EXPECT_EQ(g.cobxLLink->count(), 3);
    g.okButton()->click();
    ASSERT_EQ(g.result(), QDialog::Accepted);
    EXPECT_EQ(ap.castr.anz, before.castr.anz);
    EXPECT_EQ(ap.lgca, 2);
    EXPECT_EQ(ap.lgoa, 3);

    FilterDialogEnv env;
    env.dataDir = dir;
    T_Filter flt{};
    flt.nameidx = 255;
    TfmFlt d(t, msg, ap, env, flt, nullptr);
    EXPECT_EQ(d.chlbStatus->count(), 2);
    EXPECT_EQ(d.chlbQuelle->count(), 4);
    EXPECT_EQ(d.chlbQ1->count(), 6);
    EXPECT_EQ(d.rows.front().rel->count(), 3);
    EXPECT_EQ(d.rows.front().vgl->count(), 3);
    d.okButton()->click();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(flt.def, 0);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, RealTexts, ::testing::Values("ger", "usa"));
