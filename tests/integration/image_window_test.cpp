// The station image window and the output dialog off screen, on a started program that is
// offline: a table of 100 000 objects rebuilt in slices through the event loop and scrolled to
// its end, Copy, the row header filter, the automatic widths, closing; the output dialog's
// kinds, names, refusal of the log itself, cancel, and the PDF file through the printer.
#include "app/program.h"
#include "asdu/address_text.h"
#include "asdu/asdu_header.h"
#include "image/image_grid.h"
#include "log/log_output.h"
#include "platform/program_host.h"
#include "platform/qt_locale.h"
#include "ui/dlg_druk.h"
#include "ui/frm_obj.h"
#include "ui/main_window.h"

#include "integration/live_support.h"
#include "integration/qt_env.h"
#include "support/fake_messages.h"
#include "support/frames.h"
#include "support/paths.h"
#include "support/process.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <fstream>

using namespace vdl;
using namespace vdl::test;

namespace {

// A started program, offline, on a log of its own.
struct Rig {
    FakeMessages msg;
    ProgramHost host;
    Program& p;
    QtLocaleFormats loc;
    std::string dir;

    explicit Rig(const std::string& name)
        : host((QtApp(), PrivateFolders(name), BinDir()), msg), p(host.prog()) {
        p.persistSettings = false;
        EXPECT_EQ(host.StartUp(), Program::StartResult::Run);
        dir = TempDir(name + "-log");
        p.av.dtLog = dir + "img.lg1";
        p.av.dtDruk = dir;
        host.Run({p.texts.tx(673)});
    }
    ~Rig() { host.Shutdown(); }
    // Frames of n single points each (SQ), addresses counting on from first.
    void Points(int frames, int n, uint32_t first = 1) {
        for (int f = 0; f < frames; ++f) {
            Bytes objects = Ioa3(first + static_cast<uint32_t>(f * n));
            for (int i = 0; i < n; ++i) objects.push_back(static_cast<uint8_t>(i & 1));
            T_Telegramm te =
                Record(Variable(0x08, 1, Asdu(1, static_cast<uint8_t>(0x80 | n), 20, 1, objects)));
            te.ek = EK_RX1;
            DecodeHeader(te, FKT_MONITOR, LayoutOf(p.ap));
            p.LogTelegram(te);
        }
    }
    std::vector<std::string> FileLines(const std::string& f) {
        std::ifstream in(f, std::ios::binary);
        return OutputLines(std::string(std::istreambuf_iterator<char>(in), {}));
    }
};

TEST(ImageWindow, AHundredThousandObjectsAreRebuiltInSlicesAndScrollToTheEnd) {
    Rig r("imgwin-large");
    r.p.av.AbbMax = 100000;
    r.Points(1000, 100);
    TfmObj w(r.p, r.loc);
    w.Open();
    // The window is up before the log is read: the rebuild runs from the event loop.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(r.p.imageRebuild);
    bool other = false;
    QTimer::singleShot(0, [&] { other = true; });
    ASSERT_TRUE(RunLoopUntil([&] { return !r.p.imageRebuild; }, 60000));
    EXPECT_TRUE(other) << "other events ran while the rebuild went on";
    ASSERT_EQ(r.p.image.Count(), 100000);
    QTableView* g = w.grid();
    EXPECT_EQ(g->model()->rowCount(), 100000);
    g->scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(g->verticalScrollBar()->value(), g->verticalScrollBar()->maximum());
    EXPECT_EQ(g->model()->headerData(99999, Qt::Vertical).toString(), "100000");
    EXPECT_EQ(g->model()->data(g->model()->index(99999, 2)).toString().toStdString(),
              FormatOa(100000, r.p.av, r.p.ap));
    EXPECT_NE(w.windowTitle().toStdString().find(
                  Format(r.p.texts.tx(kTxImageCaption), {100000, "", "", ""}).substr(0, 10)),
              std::string::npos);
    w.close();
}

TEST(ImageWindow, CopyRowHeaderAndClosing) {
    Rig r("imgwin-small");
    r.Points(3, 4);
    TfmObj w(r.p, r.loc);
    w.Open();
    ASSERT_TRUE(RunLoopUntil([&] { return !r.p.imageRebuild; }));
    w.Refresh();
    ASSERT_EQ(w.grid()->model()->rowCount(), 12);

    w.button(0)->click();
    QString clip = QApplication::clipboard()->text();
    QStringList lines = clip.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines.last().toStdString(), w.Caption());
    EXPECT_TRUE(lines[0].startsWith(QString::fromStdString(r.p.texts.tx(kTxImageHeadings))));

    // The row header restricts the display to the object; a second click lifts it.
    w.ClickRowHeader(5);
    EXPECT_EQ(r.p.ap.afilt.aktiv, 1);
    EXPECT_EQ(w.grid()->selectionModel()->selectedRows().front().row(), 4);
    w.ClickRowHeader(5);
    EXPECT_EQ(r.p.ap.afilt.aktiv, 0);

    // Automatic widths: what was drawn is applied on the next tick.
    w.grid()->setColumnWidth(5, 10);
    w.Refresh();
    w.grid()->viewport()->repaint();
    w.ImageTick();
    EXPECT_GT(w.grid()->columnWidth(5), 10);

    // Clear empties the grid; closing stores the window and ends the collection.
    w.button(1)->click();
    EXPECT_EQ(w.grid()->model()->rowCount(), 0);
    w.close();
    EXPECT_EQ(r.p.pp.abbild, 0);
    EXPECT_FALSE(r.p.image.open);
    EXPECT_EQ(r.p.pp.abbbrok, 1);
    EXPECT_EQ(r.p.pp.abbfest, 0);
    EXPECT_GT(r.p.pp.abbwidth, 100);
}

TEST(ImageWindow, TheMainWindowTogglesItAndRemembersItOpenAtExit) {
    Rig r("imgwin-main");
    r.Points(2, 3);
    TfmMain m(r.host);
    m.AfterStart();
    m.show();
    QAction* a = m.Action("aStObj");
    ASSERT_NE(a, nullptr);
    a->trigger();
    ASSERT_NE(m.ImageWindow(), nullptr);
    EXPECT_TRUE(m.ImageWindow()->isVisible());
    EXPECT_TRUE(a->isChecked());
    ASSERT_TRUE(RunLoopUntil([&] { return !r.p.imageRebuild; }));
    EXPECT_EQ(r.p.image.Count(), 6);
    a->trigger();
    EXPECT_FALSE(m.ImageWindow()->isVisible());
    EXPECT_FALSE(a->isChecked());
    EXPECT_EQ(r.p.image.Count(), 0);
    // Open at exit: closed with the main window and opened again at the next start.
    a->trigger();
    m.close();
    EXPECT_FALSE(m.ImageWindow()->isVisible());
    EXPECT_EQ(r.p.pp.abbild, 1);
    EXPECT_NE(m.Action("miLogDrucken"), nullptr);
}

TEST(OutputDialog, ATextFileWithKindNameAndExtension) {
    Rig r("outdlg-text");
    r.Points(5, 2);
    TfmDruk d(r.p, r.loc, nullptr);
    d.SetKind(OUT_LOG);
    EXPECT_TRUE(d.nameField()->text().endsWith(".lg1"));
    d.SetKind(OUT_PRINTER);
    d.printers()->setCurrentIndex(0);
    EXPECT_EQ(d.nameField()->isEnabled(), d.printers()->count() == 1) << "only the PDF entry";
    d.SetKind(OUT_TEXT);
    EXPECT_TRUE(d.nameField()->isEnabled());
    EXPECT_TRUE(d.nameField()->text().endsWith(".txt"));
    d.nameField()->setText("out");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.Ran());
    EXPECT_EQ(r.p.av.dtDruk, r.dir + "out.txt");
    EXPECT_EQ(r.p.pp.ausgart, OUT_TEXT);
    auto v = r.FileLines(r.dir + "out.txt");
    ASSERT_GT(v.size(), 5u);
    EXPECT_EQ(v.back(), r.p.texts.tx(kTxOutEnd));
}

TEST(OutputDialog, TheLogItselfIsRefusedAndTheDialogStays) {
    Rig r("outdlg-self");
    r.Points(2, 2);
    r.p.log->FlushOnOffline();
    TfmDruk d(r.p, r.loc, nullptr);
    d.SetKind(OUT_LOG);
    d.nameField()->setText(QString::fromStdString(r.p.log->Name()));
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.Ran());
    ASSERT_EQ(r.msg.errors.size(), 1u);
    EXPECT_EQ(r.msg.errors[0], SameFileMessage(r.p.texts, r.p.log->Name(), r.p.log->Name()));
    EXPECT_TRUE(d.okButton()->isVisibleTo(&d));
}

TEST(OutputDialog, CancelStopsARunningOutput) {
    Rig r("outdlg-cancel");
    r.Points(3000, 1);
    TfmDruk d(r.p, r.loc, nullptr);
    d.SetKind(OUT_TEXT);
    d.nameField()->setText("long");
    bool wasRunning = false;
    // Cancel pressed while the output runs (the dialog handles events between telegrams).
    QTimer::singleShot(0, &d, [&] {
        wasRunning = d.Running();
        d.cancelButton()->click();
    });
    d.accept();
    EXPECT_TRUE(wasRunning);
    EXPECT_EQ(r.FileLines(r.dir + "long.txt").back(), r.p.texts.tx(kTxOutCancelled));
}

TEST(OutputDialog, ThePdfEntryPrintsIntoAFile) {
    Rig r("outdlg-pdf");
    r.Points(10, 3);
    TfmDruk d(r.p, r.loc, nullptr);
    d.SetKind(OUT_PRINTER);
    d.printers()->setCurrentIndex(d.printers()->count() - 1);
    EXPECT_TRUE(d.nameField()->isEnabled());
    EXPECT_TRUE(d.nameField()->text().endsWith(".pdf"));
    d.nameField()->setText("printed");
    d.accept();
    EXPECT_TRUE(d.Ran());
    EXPECT_TRUE(r.msg.errors.empty()) << r.msg.errors.front();
    std::ifstream f(r.dir + "printed.pdf", std::ios::binary);
    std::string head(5, '\0');
    f.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    EXPECT_EQ(r.p.pp.ausgart, OUT_PRINTER);
    EXPECT_EQ(r.p.pp.drucker, d.printers()->count() - 1);
}

} // namespace
