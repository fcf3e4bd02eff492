// The general settings dialog, driven off screen.
#include "ui/dlg_alg.h"

#include "integration/dialog_texts.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/paths.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <filesystem>

using namespace vdl;

namespace {

class AlgDialog : public ::testing::Test {
protected:
    void SetUp() override {
        test::QtApp();
        dir = test::TempDir("algdlg");
    }
    bool Same(const T_AllgPar& a, const T_AllgPar& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    TextTable t = test::DialogTexts();
    test::FakeMessages msg;
    std::string dir;
};

} // namespace

TEST_F(AlgDialog, ShowsTheSettingsAndCancelChangesNothing) {
    T_AllgPar ap = DefaultAllgPar();
    T_AllgPar before = ap;
    std::string dataDir = dir;
    TfmAlg dlg(t, msg, '$', ap, dataDir, nullptr, 30);
    EXPECT_EQ(dlg.cobxLLink->count(), 3);
    EXPECT_EQ(dlg.cobxLLink->currentIndex(), 1);
    EXPECT_EQ(dlg.edStatAdr->text(), "8.8"); // widths joined by text 26
    EXPECT_EQ(dlg.edObjAdr->text(), "8.8.8");
    EXPECT_EQ(dlg.edMwVoll->text(), "32000");
    EXPECT_EQ(dlg.edMaxLog->text(), "100");
    EXPECT_EQ(dlg.edLogVerz->text(), QString::fromStdString(dir));
    dlg.edStatAdr->setText("16");
    dlg.cobxLLink->setCurrentIndex(2);
    dlg.edLogVerz->setText(QString::fromStdString(dir + "elsewhere"));
    dlg.cancelButton()->click();
    EXPECT_TRUE(Same(ap, before));
    EXPECT_EQ(dataDir, dir);
    EXPECT_TRUE(msg.questions.empty());
    EXPECT_FALSE(std::filesystem::exists(dir + "elsewhere"));
}

TEST_F(AlgDialog, StructuresAreValidatedAndLengthsDerived) {
    T_AllgPar ap = DefaultAllgPar();
    T_AllgPar before = ap;
    std::string dataDir = dir;
    TfmAlg dlg(t, msg, '$', ap, dataDir, nullptr, 30);
    dlg.show();
    dlg.edStatAdr->setText("8.8.8"); // 24 bits are too many for a common address
    dlg.edObjAdr->setText("3.5");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.edStatAdr));
    EXPECT_FALSE(IsMarked(dlg.edObjAdr));
    EXPECT_TRUE(Same(ap, before));

    dlg.edStatAdr->setText("4.4");
    dlg.edObjAdr->setText("0.8"); // a width of 0 is refused
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(IsMarked(dlg.edStatAdr));
    EXPECT_TRUE(IsMarked(dlg.edObjAdr));

    dlg.edObjAdr->setText("3.5.16");
    dlg.cobxHerAdr->setCurrentIndex(1);
    dlg.cobxLLink->setCurrentIndex(2);
    dlg.chbGen->setChecked(true);
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ap.castr.anz, 2);
    EXPECT_EQ(ap.castr.fd[0], 4);
    EXPECT_EQ(ap.lgca, 1);
    EXPECT_EQ(ap.oastr.anz, 3);
    EXPECT_EQ(ap.oastr.fd[2], 16);
    EXPECT_EQ(ap.lgoa, 3);
    EXPECT_EQ(ap.lgla, 2);
    EXPECT_EQ(ap.mitori, 1);
    EXPECT_EQ(ap.Gen, 1);
    EXPECT_EQ(ap.SZt, 0);
    // The filters travel in the record untouched.
    EXPECT_EQ(std::memcmp(&ap.afilt, &before.afilt, sizeof ap.afilt), 0);
}

TEST_F(AlgDialog, RangesOfTheNumberFields) {
    T_AllgPar ap = DefaultAllgPar();
    std::string dataDir = dir;
    TfmAlg dlg(t, msg, '$', ap, dataDir, nullptr, 30);
    dlg.edMwVoll->setText("99");
    dlg.edTimeout->setText("256");
    dlg.edMaxLog->setText("2001");
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.edMwVoll));
    EXPECT_TRUE(IsMarked(dlg.edTimeout));
    EXPECT_TRUE(IsMarked(dlg.edMaxLog));
    dlg.edMwVoll->setText("32767");
    dlg.edTimeout->setText("3");
    dlg.edMaxLog->setText("2000");
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ap.mwvoll, 32767);
    EXPECT_EQ(ap.Timeout, 3);
    EXPECT_EQ(ap.MaxLog, 2000);
}

TEST_F(AlgDialog, MissingDataDirectoryIsCreatedOnlyWhenTheUserAgrees) {
    T_AllgPar ap = DefaultAllgPar();
    std::string dataDir = dir;
    std::string wanted = dir + "new/deeper";
    TfmAlg dlg(t, msg, '$', ap, dataDir, nullptr, 30);
    dlg.edLogVerz->setText(QString::fromStdString(wanted));
    msg.answers = {Answer::No};
    dlg.okButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg.edLogVerz));
    ASSERT_EQ(msg.questions.size(), 1u);
    EXPECT_EQ(msg.questions[0], "Create the directory?\n" + wanted);
    EXPECT_FALSE(std::filesystem::exists(wanted));
    EXPECT_EQ(dataDir, dir);

    msg.answers = {Answer::Yes};
    dlg.okButton()->click();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(std::filesystem::is_directory(wanted));
    EXPECT_EQ(dataDir, wanted + "/"); // handed back with a trailing separator

    // A relative directory is refused without a question.
    std::string dd = dir;
    TfmAlg dlg2(t, msg, '$', ap, dd, nullptr, 30);
    dlg2.edLogVerz->setText("relative");
    msg.questions.clear();
    dlg2.okButton()->click();
    EXPECT_EQ(dlg2.result(), QDialog::Rejected);
    EXPECT_TRUE(IsMarked(dlg2.edLogVerz));
    EXPECT_TRUE(msg.questions.empty());
}

TEST_F(AlgDialog, OpensTwoToolBarHeightsBelowTheMainWindow) {
    QWidget main;
    main.setGeometry(40, 60, 900, 500);
    main.show();
    T_AllgPar ap = DefaultAllgPar();
    std::string dataDir = dir;
    TfmAlg dlg(t, msg, '$', ap, dataDir, &main, 30);
    QRect m = main.frameGeometry();
    EXPECT_EQ(dlg.frameGeometry().top(), m.top() + 60);
    EXPECT_EQ(dlg.frameGeometry().left() + dlg.frameGeometry().width(), m.left() + m.width());
}
