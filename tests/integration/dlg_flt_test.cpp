// The filter dialog with named filters, driven off screen.
#include "ui/dlg_flt.h"

#include "integration/dialog_texts.h"
#include "integration/qt_env.h"
#include "log/filter.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace vdl;

namespace {

class FltDialog : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        env.dataDir = test::TempDir("fltdlg");
        env.telegramCount = 1234;
        f.nameidx = 255;
        NormaliseFilter(f, ap);
    }
    bool Same(const T_Filter& a, const T_Filter& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    // A named filter file holding one row on the type.
    void WriteNamed(const std::string& name, int typ) {
        T_Filter n{};
        n.z[4].rel = 1;
        n.z[4].w1 = typ;
        NormaliseFilter(n, ap);
        ASSERT_TRUE(SaveNamedFilter(env.dataDir + name + ".flt", n));
    }

    TextTable t = test::DialogTexts();
    test::FakeMessages msg;
    T_AllgPar ap = DefaultAllgPar();
    FilterDialogEnv env;
    T_Filter f{};
};

// Rows of the default configuration: number, length, control field, link address, type,
// cause, two common address parts, three object address parts (no originator address).
constexpr int kTypeRow = 4;

} // namespace

TEST_F(FltDialog, RowsFollowTheAddressConfiguration) {
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    EXPECT_EQ(dlg.windowTitle(), "Display filter");
    ASSERT_EQ(dlg.rows.size(), 11u);
    EXPECT_EQ(dlg.rows[kTypeRow].field, 9);
    EXPECT_EQ(dlg.rows[6].label->text(), "&1. part of CA");
    EXPECT_EQ(dlg.rows[10].label->text(), "&3. part of IOA");
    EXPECT_EQ(dlg.rows[0].rel->count(), 3);
    // The number row proposes the whole log.
    EXPECT_EQ(dlg.rows[0].w1->text(), "1");
    EXPECT_EQ(dlg.rows[0].w2->text(), "1234");

    T_AllgPar ap2 = ap;
    ap2.lgla = 0;
    ap2.mitori = 1;
    ap2.castr = {1, {16, 0, 0, 0, 0}};
    env.logFilter = true;
    TfmFlt dlg2(t, msg, ap2, env, f, nullptr);
    EXPECT_EQ(dlg2.windowTitle(), "Log filter");
    ASSERT_EQ(dlg2.rows.size(), 10u);
    EXPECT_EQ(dlg2.rows[3].field, 9);  // no link address row
    EXPECT_EQ(dlg2.rows[5].field, 11); // originator address
}

TEST_F(FltDialog, CancelChangesNothingOkWritesANormalisedFilter) {
    T_Filter before = f;
    {
        TfmFlt dlg(t, msg, ap, env, f, nullptr);
        SetChecked(dlg.chlbStatus, 0, false);
        dlg.rows[kTypeRow].rel->setCurrentIndex(1);
        dlg.cancelButton()->click();
    }
    EXPECT_TRUE(Same(f, before));

    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    SetChecked(dlg.chlbStatus, 0, false); // erroneous telegrams only
    for (int i : {1, 2, 3}) SetChecked(dlg.chlbQuelle, i, false);
    SetChecked(dlg.chlbQ1, 0, true); // IV
    SetChecked(dlg.chlbQ2, 5, true); // OV
    TfmFlt::Row& r = dlg.rows[kTypeRow];
    r.rel->setCurrentIndex(1);
    r.vgl->setCurrentIndex(2);
    r.w1->setText("250");
    r.w2->setText("10");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.def, 1);
    EXPECT_EQ(f.okein, 0);
    EXPECT_EQ(f.fehlein, 1);
    EXPECT_EQ(f.ekbits, 1);
    EXPECT_EQ(f.qmask1, 0x80);
    EXPECT_EQ(f.qmask2, 0x01);
    EXPECT_EQ(f.anzz, 11);
    EXPECT_EQ(f.z[kTypeRow].feld, 9);
    EXPECT_EQ(f.z[kTypeRow].rel, 1);
    EXPECT_EQ(f.z[kTypeRow].vgl, 2);
    EXPECT_EQ(f.z[kTypeRow].w1, 250);
    EXPECT_EQ(f.z[kTypeRow].w2, 10);
    EXPECT_EQ(f.hinterla, 1);
    EXPECT_EQ(f.nameidx, 255);
    EXPECT_EQ(f.aktiv, 0); // the caller switches it on

    // The filter does what the controls said: a type range that wraps (the quality masks,
    // which would want information objects, left aside).
    FilterEnv fenv{ap, LayoutOf(ap)};
    T_Filter on = f;
    on.aktiv = 1;
    on.qmask1 = on.qmask2 = 0;
    T_Telegramm te{};
    te.ta = TA_VARIABLE;
    te.ek = EK_RX1;
    te.stat = ST_CAUSE_27;
    te.lg = 20;
    te.typ = 5;
    EXPECT_TRUE(FilterAccepts(on, te, fenv, true));
    te.typ = 11;
    EXPECT_FALSE(FilterAccepts(on, te, fenv, true));
}

TEST_F(FltDialog, ValuesAboveTheFieldsMaximumAreRefused) {
    T_Filter before = f;
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    dlg.show();
    dlg.rows[1].w1->setText("262"); // length
    dlg.rows[6].w2->setText("256"); // common address part of 8 bits
    dlg.rows[kTypeRow].w1->setText("x");
    dlg.rows[kTypeRow].w2->setText(""); // empty counts as 0
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.rows[1].w1));
    EXPECT_TRUE(IsMarked(dlg.rows[6].w2));
    EXPECT_TRUE(IsMarked(dlg.rows[kTypeRow].w1));
    EXPECT_FALSE(IsMarked(dlg.rows[kTypeRow].w2));
    EXPECT_TRUE(Same(f, before));
    dlg.rows[1].w1->setText("261");
    dlg.rows[6].w2->setText("255");
    dlg.rows[kTypeRow].w1->setText("0");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(FltDialog, NamedFilterIsSavedOnOkAndFoundAgain) {
    {
        TfmFlt dlg(t, msg, ap, env, f, nullptr);
        dlg.rows[kTypeRow].rel->setCurrentIndex(1);
        dlg.rows[kTypeRow].w1->setText("13");
        dlg.cbName->setEditText("floats");
        dlg.okButton()->click();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
    }
    std::string path = env.dataDir + "floats.flt";
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 388u);
    EXPECT_EQ(f.nameidx, 1);
    T_Filter fromFile{};
    ASSERT_TRUE(LoadNamedFilter(path, fromFile, ap));
    EXPECT_EQ(fromFile.z[kTypeRow].w1, 13);

    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    EXPECT_EQ(dlg.cbName->currentText(), "floats");
    EXPECT_EQ(dlg.cbName->itemText(0), ""); // an empty first entry
}

TEST_F(FltDialog, AStaleListIndexNeverNamesAnotherFilter) {
    WriteNamed("a", 1);
    WriteNamed("c", 3);
    ASSERT_TRUE(LoadNamedFilter(env.dataDir + "c.flt", f, ap));
    f.nameidx = 2;      // "c" in the list "", a, c
    WriteNamed("b", 2); // now entry 2 is "b"
    T_Filter before = f;
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    EXPECT_EQ(dlg.cbName->currentText(), "c");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    T_Filter b{};
    ASSERT_TRUE(LoadNamedFilter(env.dataDir + "b.flt", b, ap));
    EXPECT_EQ(b.z[kTypeRow].w1, 2); // "b" kept its own filter
    EXPECT_EQ(f.nameidx, 3);
    EXPECT_EQ(f.z[kTypeRow].w1, before.z[kTypeRow].w1);
}

TEST_F(FltDialog, ChoosingANameLoadsItsFileAndWrongFilesAreIgnored) {
    WriteNamed("a", 1);
    WriteNamed("b", 2);
    std::ofstream(env.dataDir + "broken.flt") << "too short";
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    ASSERT_EQ(dlg.cbName->count(), 4); // "", a, b, broken
    dlg.cbName->setCurrentIndex(2);
    dlg.ChooseName(2);
    EXPECT_EQ(dlg.rows[kTypeRow].w1->text(), "2");
    EXPECT_EQ(dlg.rows[kTypeRow].rel->currentIndex(), 1);
    dlg.ChooseName(3);
    EXPECT_EQ(dlg.rows[kTypeRow].w1->text(), "2"); // unchanged
    EXPECT_TRUE(msg.errors.empty());
    EXPECT_FALSE(dlg.LoadFile(env.dataDir + "broken.flt"));
}

TEST_F(FltDialog, DeleteAsksRemovesTheFileAndClearsTheFilterAtOnce) {
    WriteNamed("a", 1);
    ASSERT_TRUE(LoadNamedFilter(env.dataDir + "a.flt", f, ap));
    f.nameidx = 1;
    f.aktiv = 1;
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    ASSERT_EQ(dlg.cbName->currentText(), "a");
    msg.answers = {Answer::No};
    dlg.Delete();
    ASSERT_EQ(msg.questions.size(), 1u);
    EXPECT_EQ(msg.questions[0], "Delete a?");
    EXPECT_TRUE(std::filesystem::exists(env.dataDir + "a.flt"));
    EXPECT_FALSE(dlg.Cleared());

    msg.answers = {Answer::Yes};
    dlg.Delete();
    EXPECT_FALSE(std::filesystem::exists(env.dataDir + "a.flt"));
    EXPECT_EQ(dlg.cbName->count(), 1);
    EXPECT_TRUE(dlg.Cleared());
    EXPECT_EQ(f.def, 0); // replaced by the cleared filter already
    EXPECT_EQ(f.z[kTypeRow].rel, 0);
    EXPECT_EQ(f.nameidx, 255);
    EXPECT_EQ(dlg.rows[kTypeRow].rel->currentIndex(), 0);
    dlg.cancelButton()->click();
    EXPECT_EQ(f.def, 0);
}

TEST_F(FltDialog, ANameThatLeavesTheDataDirectoryIsRefused) {
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    dlg.cbName->setEditText("../escape");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.cbName));
    EXPECT_FALSE(std::filesystem::exists(env.dataDir + "../escape.flt"));
    dlg.cbName->setEditText("");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(FltDialog, ResetClearsEverything) {
    f.vonein = 1;
    f.von = 45000.5;
    f.qmask1 = 0x80;
    f.z[2].rel = 2;
    NormaliseFilter(f, ap);
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    EXPECT_TRUE(dlg.chbVon->isChecked());
    dlg.Reset();
    EXPECT_FALSE(dlg.chbVon->isChecked());
    EXPECT_FALSE(IsChecked(dlg.chlbQ1, 0));
    EXPECT_TRUE(IsChecked(dlg.chlbStatus, 0));
    EXPECT_TRUE(IsChecked(dlg.chlbStatus, 1));
    EXPECT_EQ(dlg.rows[2].rel->currentIndex(), 0);
    dlg.okButton()->click();
    EXPECT_EQ(f.def, 0);
    EXPECT_EQ(f.ekbits, 15);
}

TEST_F(FltDialog, SaveAndLoadThroughFiles) {
    TfmFlt dlg(t, msg, ap, env, f, nullptr);
    dlg.rows[kTypeRow].rel->setCurrentIndex(2);
    dlg.rows[kTypeRow].w1->setText("45");
    ASSERT_TRUE(dlg.SaveFile(env.dataDir + "cmds.flt"));
    EXPECT_EQ(dlg.cbName->currentText(), "cmds");
    std::string outside = test::TempDir("fltdlg-out") + "x.flt";
    ASSERT_TRUE(dlg.SaveFile(outside));
    EXPECT_EQ(dlg.cbName->findText("x"), -1); // only files of the data directory are listed
    dlg.Reset();
    ASSERT_TRUE(dlg.LoadFile(outside));
    EXPECT_EQ(dlg.rows[kTypeRow].w1->text(), "45");
    EXPECT_EQ(dlg.rows[kTypeRow].rel->currentIndex(), 2);
}
