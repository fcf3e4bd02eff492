// The single main window of the desktop program: the menus as tool buttons, the lamps and the
// online button, the log view with its statistics grid and scroll bar, the status bar, and
// the dispatch of every command to the program.
#pragma once

#include "app/main_state.h"
#include "app/program.h"
#include "log/log_page.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace vdl {

class LampButton;
class TfmSeTe;
class TfmSeLi;
class LogView;
class TfmObj;
class ProgramHost;
class Browser;
class QtLocaleFormats;

class TfmMain : public QMainWindow, public ProgramView {
    Q_OBJECT
public:
    explicit TfmMain(ProgramHost& host, QWidget* parent = nullptr);
    ~TfmMain() override;

    // Loads every caption from the program text table (also after a language change).
    void ApplyTexts();
    // The locale and the toolkit's texts of the program's language.
    void ApplyLanguage();
    // The function-key short cuts from the option bytes.
    void SetShortcuts();
    // The stored window position (after the program's start).
    void RestorePosition();
    // After the program's start (command line, settings, log): texts, short cuts, font, the
    // display shown and the window position.
    void AfterStart();

    // ProgramView
    void UpdateStatus() override;
    void ShowOnlineDisplay() override;
    void ShowLogDisplay() override;
    bool OnlineDisplayShown() const override;
    void DisplayStep() override;
    void PostViewCommand(int code) override;
    void Lamp(T_LedVar& led, bool lit) override;
    void StatisticsChanged() override;
    // The dialling window of channel 1 (WaehlModem; also when recording starts through a
    // modem).
    void ShowDialling() override;

    // A scroll position with code 0 (thumb track).
    void PostViewPosition(int position);
    // Runs the posted view commands now (the event loop does this by itself).
    void RunViewCommands();

    // aPaTe1..12: the telegram editor, opened on telegram n (shown when it is open already).
    void OpenSendEditor(int n);
    TfmSeTe* SendEditor() const;
    // aPaLi1..12: the list editor, opened on list n (shown when it is open already).
    void OpenListEditor(int n);
    TfmSeLi* ListEditor() const;
    // The captions of the send and edit actions of the twelve telegrams.
    void RefreshSendCaptions();
    // miTextZeig: the object texts in the picker.
    void ShowObjectTexts();

    // Commands that ask for a file take it here when it is given (tests, recent files).
    void LogOpen(const QString& file = {});
    void LogSave(const QString& file = {});
    void ParamSetLoad(const QString& file = {});
    void ParamSetSave(const QString& file = {});
    void TextLoad(const QString& file = {});

    // aStObj: opens the station image window, or closes it when it is open.
    void ToggleImageWindow();
    TfmObj* ImageWindow() const { return obj_.get(); }
    // miLogDrucken: the output dialog, then the view goes to the newest telegram.
    void OutputLog();

    // What the window shows, for the tests.
    Program& prog() { return prog_; }
    LogView* view() const { return view_; }
    LogPage& page() { return *page_; }
    QString PanelText(int i) const;
    // The line of advice above the status panels ("" while it is hidden).
    QString NoticeText() const;
    // The row of that line: a later entry (a button beside the advice) goes into its layout.
    QWidget* NoticeRow() const { return noticeRow_; }
    QPushButton* DemoButton() const { return btnDemo_; }
    QColor PanelColour(int i) const;
    QAction* Action(const QString& name) const;
    QToolBar* MenuToolBar() const { return tbrMenu_; }
    std::vector<QString> RecentMenu() const;
    LampButton* LampOf(int channel, bool transmit) const;
    LampButton* OnlineButton() const { return tbtnOnl_; }
    // Help: opens the guide at the page of a help context.
    void ShowHelp(int context);
    // Where the guide is shown (tests put a fake here; nullptr: the system's browser).
    void SetBrowser(Browser* b);

    // Called when the window closes, after the window's own state was stored (the host then
    // shuts the program down).
    std::function<void()> onClose;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void BuildMenus();
    QAction* AddAction(QMenu* m, const char* name, std::function<void()> f, bool checkable = false);
    void BuildStatusBar();
    void Relayout();
    // The cells of the statistics grid; refit: the columns are fitted again even when no
    // text changed (a new font).
    void FillGrid(bool refit = false);
    void RebuildRecentMenu();
    void UpdateCaption();
    void ShowPopup(const QPoint& at);
    void OnScrollAction(int action);
    void OnKey(int key, int modifiers);
    void OnWheel(int dir);
    void ToggleDisplays();
    // The log display at its newest page, or (keepPlace) at the page it showed when the user
    // switched to the online display.
    void ShowLogDisplayAt(bool keepPlace);
    // The keyboard focus to the view of the display shown.
    void FocusView();
    void ChangeLanguageTo(int lang);
    void ApplyFontSize();
    // Runs a dialog command; the view is redrawn afterwards.
    void Dialog(const std::function<void()>& f);
    QString AskFile(bool save, int title, int ext, int filter, const std::string& near);

    // Commands
    void EditChannel(int i);
    void EditGeneral();
    void EditOptionsCmd();
    void EditDisplay();
    void EditColours(int kind);
    void EditFilterCmd(bool logFilter);
    void LinkTest(int channel);
    void Info();

    ProgramHost& host_;
    Program& prog_;
    std::unique_ptr<QtLocaleFormats> loc_;
    std::unique_ptr<Browser> ownBrowser_;
    Browser* browser_ = nullptr;
    LogView* view_ = nullptr;
    std::unique_ptr<LogPage> page_;
    QToolBar* tbrMenu_ = nullptr;
    QToolBar* tbrLed_ = nullptr;
    std::vector<QToolButton*> menuButtons_;
    std::vector<QMenu*> menus_; // file, mode, send, view, parameters, language, filter, help
    std::map<QString, QAction*> actions_;
    std::vector<QAction*> viewItems_; // the items of the view menu, in order
    QMenu* mruMenu_ = nullptr;
    std::array<LampButton*, 4> lamps_{}; // R1, T1, R2, T2
    LampButton* tbtnOnl_ = nullptr;
    std::array<QLabel*, kStatusPanels> panels_{};
    QWidget* noticeRow_ = nullptr;
    QLabel* lblNotice_ = nullptr;
    QPushButton* btnDemo_ = nullptr;          // starts the demonstration line
    std::deque<std::pair<int, int>> pending_; // posted view commands: code, position
    bool runScheduled_ = false;
    std::string timing_;                  // the timing caption of the online display (t2)
    std::unique_ptr<TfmObj> obj_;         // the station image window, made at its first opening
    std::array<QAction*, 12> seTeActs_{}; // aSeTe1..12
    std::array<QAction*, 12> paTeActs_{}; // aPaTe1..12
    std::array<QAction*, 12> seLiActs_{}; // aSeLi1..12
    std::array<QAction*, 12> paLiActs_{}; // aPaLi1..12
    QPointer<TfmSeLi> seLi_;              // the list editor while it is open
    QPointer<TfmSeTe> seTe_;              // the telegram editor while it is open
};

} // namespace vdl
