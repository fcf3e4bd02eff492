#include "ui/main_window.h"

#include "app/demo_line.h"
#include "app/help_pages.h"
#include "app/image_commands.h"
#include "app/main_commands.h"
#include "app/main_state.h"
#include "core/display_lists.h"
#include "core/format.h"
#include "core/info_text.h"
#include "platform/gui_browser.h"
#include "platform/program_host.h"
#include "platform/qt_language.h"
#include "platform/qt_locale.h"
#include "ui/dlg_alg.h"
#include "ui/dlg_com.h"
#include "ui/dlg_druk.h"
#include "ui/dlg_farb.h"
#include "ui/dlg_flt.h"
#include "ui/dlg_frbsel.h"
#include "ui/dlg_info.h"
#include "ui/dlg_lnk.h"
#include "ui/dlg_opt.h"
#include "ui/dlg_rm.h"
#include "ui/dlg_seli.h"
#include "ui/dlg_sete.h"
#include "ui/dlg_typ.h"
#include "ui/dlg_wahl.h"
#include "ui/eliding_label.h"
#include "ui/form_texts.h"
#include "ui/frm_obj.h"
#include "ui/lamp_button.h"
#include "ui/log_view.h"
#include "ui/palette.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <cstring>
#include <filesystem>

namespace vdl {

namespace {

// The menus of the tool bar, with the text number of their first item.
enum Menu { M_FILE, M_MODE, M_SEND, M_VIEW, M_PARA, M_LANG, M_FILT, M_HELP, M_COUNT };
constexpr int kMenuItemText[M_COUNT] = {1350, 523, 528, 532, 1440, 927, 683, 689};
constexpr int kTxMenuButtons = 504;
constexpr int kTxLampHints = 1154;
constexpr int kTxOnlineHint = 1148;
constexpr int kTxFilterToggle = 686;
constexpr int kViewCommandDelayMs = 12;
// The first start's window: at least this wide, and wider than the grid by this.
constexpr int kFirstWidth = 1024;
constexpr int kPortRoom = 60;

// Builds the menu items; their index in the menu selects their text. Items of parts of the
// program that do not exist yet are left out (nullptr keeps the numbering).
using Items = std::vector<QAction*>;

bool Exists(const std::string& f) {
    std::error_code ec;
    return std::filesystem::is_regular_file(f, ec);
}

QColor Rgb(int rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

// ---- construction ----

TfmMain::TfmMain(ProgramHost& host, QWidget* parent)
    : QMainWindow(parent), host_(host), prog_(host.prog()) {
    setObjectName(QStringLiteral("fmMain"));
    resize(900, 640);
    loc_ = std::make_unique<QtLocaleFormats>(ProgramLocale(prog_.pp.sprache));
    ownBrowser_ = std::make_unique<QtBrowser>();
    browser_ = ownBrowser_.get();
    view_ = new LogView(this);
    setCentralWidget(view_);
    view_->SetFontSize(ViewFontSize(prog_.pp.ausg.size));

    LogPageEnv env{*prog_.log,
                   prog_.av,
                   prog_.ap,
                   prog_.pp,
                   prog_.texts,
                   *loc_,
                   [this] { return prog_.Rendering(*loc_); },
                   [this] { return prog_.Filters(); },
                   [this]() -> uint32_t { return prog_.sv ? prog_.sv->clock.Millis() : 0; }};
    page_ = std::make_unique<LogPage>(std::move(env), *view_);
    page_->timingCaption = [this](const std::string& s) {
        timing_ = s;
        UpdateCaption();
    };

    BuildMenus();
    BuildStatusBar();

    connect(view_->scrollBar(), &QScrollBar::actionTriggered, this, &TfmMain::OnScrollAction);
    connect(view_, &LogView::resized, this, &TfmMain::Relayout);
    connect(view_, &LogView::wheelStep, this, &TfmMain::OnWheel);
    connect(view_, &LogView::keyPressed, this, &TfmMain::OnKey);
    connect(view_, &LogView::popupRequested, this, &TfmMain::ShowPopup);

    prog_.com[0].LedR.tbtn = lamps_[0];
    prog_.com[0].LedT.tbtn = lamps_[1];
    prog_.com[1].LedR.tbtn = lamps_[2];
    prog_.com[1].LedT.tbtn = lamps_[3];
    prog_.view = this;
    prog_.stationImageWork = [this] {
        if (obj_) obj_->ImageTick();
    };
    FormDialog::SetHelpHandler([this](int context) { ShowHelp(context); });

    view_->ShowOnlineParts(OnlineDisplayShown());
    ApplyTexts();
    SetShortcuts();
    Relayout();
}

TfmMain::~TfmMain() {
    prog_.stationImageWork = nullptr;
    obj_.reset();
    if (prog_.view == this) prog_.view = nullptr;
    for (T_ComVar& c : prog_.com) c.LedR.tbtn = c.LedT.tbtn = nullptr;
    FormDialog::SetHelpHandler(nullptr);
}

QAction* TfmMain::AddAction(QMenu* m, const char* name, std::function<void()> f, bool checkable) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
    m->addAction(a);
    addAction(a); // short cuts work while the menu is closed
    actions_[a->objectName()] = a;
    return a;
}

void TfmMain::BuildMenus() {
    tbrMenu_ = addToolBar(QStringLiteral("tbrMenu"));
    tbrMenu_->setObjectName(QStringLiteral("tbrMenu"));
    tbrMenu_->setMovable(false);
    std::vector<Items> items(M_COUNT);
    for (int k = 0; k < M_COUNT; ++k) {
        auto* m = new QMenu(this);
        auto* b = new QToolButton(this);
        b->setMenu(m);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setAutoRaise(true);
        tbrMenu_->addWidget(b);
        menus_.push_back(m);
        menuButtons_.push_back(b);
    }
    Items& f = items[M_FILE];
    f.push_back(AddAction(menus_[M_FILE], "miLogOp", [this] { LogOpen(); }));
    f.push_back(AddAction(menus_[M_FILE], "miLogSav", [this] { LogSave(); }));
    f.push_back(
        AddAction(menus_[M_FILE], "aLogDel", [this] { Dialog([this] { DeleteLog(prog_); }); }));
    f.push_back(AddAction(menus_[M_FILE], "miLogDrucken", [this] { OutputLog(); }));
    f.push_back(AddAction(menus_[M_FILE], "miSeTeLoad", [this] { ParamSetLoad(); }));
    f.push_back(AddAction(menus_[M_FILE], "miSeTeSav", [this] { ParamSetSave(); }));
    f.push_back(AddAction(menus_[M_FILE], "aTextLoad", [this] { TextLoad(); }));
    f.push_back(AddAction(menus_[M_FILE], "aTextClear", [this] { ClearObjectTexts(prog_); }));
    f.push_back(AddAction(menus_[M_FILE], "miTextZeig", [this] { ShowObjectTexts(); }));
    menus_[M_FILE]->addSeparator();
    mruMenu_ = menus_[M_FILE]; // the recently used files go above the exit item
    QAction* sep = menus_[M_FILE]->addSeparator();
    sep->setObjectName(QStringLiteral("mruEnd"));
    f.push_back(AddAction(menus_[M_FILE], "miExit", [this] { close(); }));

    Items& mo = items[M_MODE];
    mo.push_back(AddAction(
        menus_[M_MODE], "aGoOnl", [this] { prog_.ToggleOnline(); }, true));
    mo.push_back(AddAction(
        menus_[M_MODE], "aGoOffl",
        [this] {
            if (prog_.av.online) prog_.SetOnline(false);
        },
        true));
    mo.push_back(AddAction(menus_[M_MODE], "aAusgLog", [this] { ToggleDisplays(); }));
    mo.push_back(AddAction(menus_[M_MODE], "aAusgOnl", [this] {
        if (!OnlineDisplayShown()) ShowOnlineDisplay();
    }));
    mo.push_back(AddAction(
        menus_[M_MODE], "aStObj", [this] { ToggleImageWindow(); }, true));

    // Send: the twelve telegrams, the send lists (not part of this program yet), stop.
    Items& se = items[M_SEND];
    QMenu* tel = menus_[M_SEND]->addMenu(QString());
    tel->menuAction()->setObjectName(QStringLiteral("miSeTel"));
    se.push_back(tel->menuAction());
    QMenu* lis = menus_[M_SEND]->addMenu(QString());
    lis->menuAction()->setObjectName(QStringLiteral("miSeLi"));
    se.push_back(lis->menuAction());
    se.push_back(AddAction(menus_[M_SEND], "miSeStop", [this] { StopSendingCommand(prog_); }));
    for (int n = 1; n <= kSeLiCount; ++n)
        seLiActs_[static_cast<size_t>(n - 1)] =
            AddAction(lis, QStringLiteral("aSeLi%1").arg(n).toLatin1().constData(),
                      [this, n] { StartListCommand(prog_, n); });
    connect(lis, &QMenu::aboutToShow, this, &TfmMain::RefreshSendCaptions);
    for (int n = 1; n <= kSeTeCount; ++n)
        seTeActs_[static_cast<size_t>(n - 1)] =
            AddAction(tel, QStringLiteral("aSeTe%1").arg(n).toLatin1().constData(),
                      [this, n] { SendTelegramCommand(prog_, n); });
    connect(tel, &QMenu::aboutToShow, this, &TfmMain::RefreshSendCaptions);
    connect(menus_[M_SEND], &QMenu::aboutToShow, this,
            [this] { Action("miSeStop")->setEnabled(AnySending(prog_)); });

    Items& v = items[M_VIEW];
    v.push_back(AddAction(
        menus_[M_VIEW], "aZeit", [this] { ToggleTimeLine(prog_); }, true));
    v.push_back(AddAction(
        menus_[M_VIEW], "aLink", [this] { ToggleLinkLine(prog_); }, true));
    const char* fmts[] = {"aFLog", "aFKomp", "aFLogN", "aFByte", "aFCsv"};
    for (int i = 0; i < 5; ++i)
        v.push_back(AddAction(
            menus_[M_VIEW], fmts[i], [this, i] { SetViewFormat(prog_, VF_FULL + i); }, true));
    v.push_back(AddAction(menus_[M_VIEW], "aAusgLogV", [this] { ToggleDisplays(); }));
    v.push_back(AddAction(menus_[M_VIEW], "aAusgOnlV", [this] {
        if (!OnlineDisplayShown()) ShowOnlineDisplay();
    }));
    viewItems_ = v;

    Items& pa = items[M_PARA];
    pa.push_back(
        AddAction(menus_[M_PARA], "miEmSe1", [this] { Dialog([this] { EditChannel(0); }); }));
    pa.push_back(
        AddAction(menus_[M_PARA], "miEmSe2", [this] { Dialog([this] { EditChannel(1); }); }));
    pa.push_back(
        AddAction(menus_[M_PARA], "miAllg", [this] { Dialog([this] { EditGeneral(); }); }));
    pa.push_back(
        AddAction(menus_[M_PARA], "miOpt", [this] { Dialog([this] { EditOptionsCmd(); }); }));
    pa.push_back(
        AddAction(menus_[M_PARA], "miTelSize", [this] { Dialog([this] { EditDisplay(); }); }));
    pa.push_back(AddAction(menus_[M_PARA], "miFrbTyp",
                           [this] { Dialog([this] { EditColours(kFrbTypes); }); }));
    pa.push_back(AddAction(menus_[M_PARA], "miFrbUrs",
                           [this] { Dialog([this] { EditColours(kFrbCauses); }); }));
    QMenu* parTel = menus_[M_PARA]->addMenu(QString());
    parTel->menuAction()->setObjectName(QStringLiteral("miParTel"));
    // Named with the menu's items, so that it takes its caption with theirs.
    actions_[parTel->menuAction()->objectName()] = parTel->menuAction();
    pa.push_back(parTel->menuAction());
    for (int n = 1; n <= kSeTeCount; ++n)
        paTeActs_[static_cast<size_t>(n - 1)] =
            AddAction(parTel, QStringLiteral("aPaTe%1").arg(n).toLatin1().constData(),
                      [this, n] { OpenSendEditor(n); });
    connect(parTel, &QMenu::aboutToShow, this, &TfmMain::RefreshSendCaptions);
    QMenu* parLi = menus_[M_PARA]->addMenu(QString());
    parLi->menuAction()->setObjectName(QStringLiteral("miParLi"));
    pa.push_back(parLi->menuAction());
    for (int n = 1; n <= kSeLiCount; ++n)
        paLiActs_[static_cast<size_t>(n - 1)] =
            AddAction(parLi, QStringLiteral("aPaLi%1").arg(n).toLatin1().constData(),
                      [this, n] { OpenListEditor(n); });
    connect(parLi, &QMenu::aboutToShow, this, &TfmMain::RefreshSendCaptions);
    pa.push_back(AddAction(menus_[M_PARA], "miBRm",
                           [this] { Dialog([this] { RunFeedbackDialog(prog_, this); }); }));
    pa.push_back(AddAction(menus_[M_PARA], "WaehlModem", [this] { ShowDialling(); }));
    pa.push_back(AddAction(menus_[M_PARA], "miLinkT1", [this] { LinkTest(1); }));
    pa.push_back(AddAction(menus_[M_PARA], "miLinkT2", [this] { LinkTest(2); }));

    Items& la = items[M_LANG];
    la.push_back(AddAction(
        menus_[M_LANG], "miGer", [this] { ChangeLanguageTo(0); }, true));
    la.push_back(AddAction(
        menus_[M_LANG], "miUsa", [this] { ChangeLanguageTo(1); }, true));

    Items& fi = items[M_FILT];
    fi.push_back(AddAction(menus_[M_FILT], "aAFilter",
                           [this] { Dialog([this] { EditFilterCmd(false); }); }));
    fi.push_back(AddAction(menus_[M_FILT], "aAFiltAE", [this] { ToggleDisplayFilter(prog_); }));
    fi.push_back(AddAction(menus_[M_FILT], "miLFilter",
                           [this] { Dialog([this] { EditFilterCmd(true); }); }));

    Items& he = items[M_HELP];
    he.push_back(AddAction(menus_[M_HELP], "miHelp2", [this] { ShowHelp(HC_CONTENTS); }));
    he.push_back(AddAction(menus_[M_HELP], "aHelpF1", [this] { ShowHelp(HC_MAIN_WINDOW); }));
    he.push_back(AddAction(menus_[M_HELP], "miVersion", [this] { Dialog([this] { Info(); }); }));

    // The texts of the items by their index (ApplyTexts).
    for (int k = 0; k < M_COUNT; ++k)
        for (size_t i = 0; i < items[static_cast<size_t>(k)].size(); ++i)
            if (QAction* a = items[static_cast<size_t>(k)][i]) {
                a->setProperty("vdlText", kMenuItemText[k] + static_cast<int>(i));
                // The submenus' own items are captioned with the others.
                actions_.emplace(a->objectName(), a);
            }

    tbrLed_ = addToolBar(QStringLiteral("tbrLed"));
    tbrLed_->setObjectName(QStringLiteral("tbrLed"));
    tbrLed_->setMovable(false);
    const char* lampNames[] = {"tbtnR1", "tbtnT1", "tbtnR2", "tbtnT2"};
    for (int i = 0; i < 4; ++i) {
        lamps_[static_cast<size_t>(i)] =
            new LampButton(i % 2 == 0 ? LampKind::Receive : LampKind::Transmit, this);
        lamps_[static_cast<size_t>(i)]->setObjectName(QString::fromLatin1(lampNames[i]));
        tbrLed_->addWidget(lamps_[static_cast<size_t>(i)]);
    }
    tbtnOnl_ = new LampButton(LampKind::Online, this);
    tbtnOnl_->setObjectName(QStringLiteral("tbtnOnl"));
    tbtnOnl_->setCheckable(true);
    connect(tbtnOnl_, &QToolButton::clicked, this, [this] {
        prog_.ToggleOnline();
        UpdateStatus();
    });
    tbrLed_->addWidget(tbtnOnl_);
}

void TfmMain::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stbrMain"));
    bar->setSizeGripEnabled(false);
    // Two rows: a line of advice above the panels, shown only when there is something to say.
    auto* box = new QWidget(bar);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    noticeRow_ = new QWidget(box);
    noticeRow_->setObjectName(QStringLiteral("noticeRow"));
    auto* notice = new QHBoxLayout(noticeRow_);
    notice->setContentsMargins(0, 2, 0, 0);
    lblNotice_ = new QLabel(noticeRow_);
    lblNotice_->setObjectName(QStringLiteral("lblNotice"));
    lblNotice_->setWordWrap(true);
    lblNotice_->setAutoFillBackground(true);
    lblNotice_->setContentsMargins(4, 2, 4, 2);
    QPalette np = lblNotice_->palette();
    np.setColor(QPalette::Window, PaletteColor(14)); // light yellow
    np.setColor(QPalette::WindowText, PaletteColor(1));
    lblNotice_->setPalette(np);
    notice->addWidget(lblNotice_, 1);
    // Without a port the program can still show telegrams: on a line of its own.
    btnDemo_ = new QPushButton(noticeRow_);
    btnDemo_->setObjectName(QStringLiteral("btnDemo"));
    btnDemo_->setFocusPolicy(Qt::NoFocus);
    connect(btnDemo_, &QPushButton::clicked, this, [this] {
        host_.StartDemo();
        UpdateStatus();
    });
    notice->addWidget(btnDemo_, 0, Qt::AlignVCenter);
    noticeRow_->hide();
    rows->addWidget(noticeRow_);

    auto* panelRow = new QHBoxLayout;
    panelRow->setContentsMargins(0, 0, 0, 0);
    const int widths[kStatusPanels] = {70, 110, 110, 130, 0, 0, 0};
    // The channels' ports stand next to the online state.
    const int order[kStatusPanels] = {0, kPanelPorts, 1, 2, 3, 4, 5};
    for (int i : order) {
        // The file names and the ports give way on a short bar; the others keep their text.
        bool gives = i == 4 || i == 5 || i == kPanelPorts;
        QLabel* l = gives ? new ElidingLabel(box) : new QLabel(box);
        l->setObjectName(QStringLiteral("panel%1").arg(i));
        l->setAutoFillBackground(true);
        l->setContentsMargins(4, 2, 4, 0);
        if (widths[i]) l->setMinimumWidth(widths[i]);
        panelRow->addWidget(l, (i == 4 || i == 5) ? 1 : 0);
        panels_[static_cast<size_t>(i)] = l;
    }
    rows->addLayout(panelRow);
    bar->addPermanentWidget(box, 1);
    bar->installEventFilter(this);
}

// ---- texts and status ----

void TfmMain::ApplyLanguage() {
    // Dates, month and day names, numbers and the toolkit's own texts speak the program's
    // language, whatever the system's locale.
    ApplyToolkitLanguage(prog_.pp.sprache);
    loc_->SetLocale(ProgramLocale(prog_.pp.sprache));
    SetDefaultNumberFormat(loc_->Numbers());
}

void TfmMain::ApplyTexts() {
    ApplyLanguage();
    const TextTable& t = prog_.texts;
    for (size_t k = 0; k < menuButtons_.size(); ++k)
        menuButtons_[k]->setText(Qs(t.tx(kTxMenuButtons + static_cast<int>(k))));
    for (auto& [name, a] : actions_) {
        QVariant n = a->property("vdlText");
        if (n.isValid()) a->setText(Qs(t.tx(n.toInt())));
    }
    for (size_t i = 0; i < lamps_.size(); ++i)
        lamps_[i]->setToolTip(Qs(t.tx(kTxLampHints + static_cast<int>(i))));
    btnDemo_->setText(Qs(t.tx(kTxDemoButton)));
    btnDemo_->setToolTip(Qs(t.tx(kTxDemoHint)));
    FillGrid();
    RefreshSendCaptions();
    if (obj_) obj_->ApplyTexts();
    UpdateStatus();
}

void TfmMain::RefreshSendCaptions() {
    const std::vector<std::string> send = SendCaptions(prog_, false),
                                   edit = SendCaptions(prog_, true);
    for (size_t i = 0; i < seTeActs_.size(); ++i) {
        seTeActs_[i]->setText(Qs(send[i]));
        paTeActs_[i]->setText(Qs(edit[i]));
    }
    const std::vector<std::string> lists = ListCaptions(prog_, false),
                                   listEdit = ListCaptions(prog_, true);
    for (size_t i = 0; i < seLiActs_.size(); ++i) {
        seLiActs_[i]->setText(Qs(lists[i]));
        paLiActs_[i]->setText(Qs(listEdit[i]));
    }
}

TfmSeLi* TfmMain::ListEditor() const {
    return seLi_;
}

void TfmMain::OpenListEditor(int n) {
    if (!seLi_) {
        seLi_ = new TfmSeLi(prog_, n, this);
        seLi_->setAttribute(Qt::WA_DeleteOnClose);
        prog_.av.ParaSeTeLi = 2;
        // A cycle of the list the editor follows is shown once the event loop comes round.
        prog_.lists->cycleEnded = [this](int list) {
            if (!seLi_ || seLi_->Number() != list) return false;
            QTimer::singleShot(0, this, [this] {
                if (seLi_) seLi_->CycleEnded();
            });
            return true;
        };
        connect(seLi_, &QDialog::finished, this, [this] {
            prog_.av.ParaSeTeLi = 0;
            prog_.lists->cycleEnded = nullptr;
            seLi_ = nullptr;
            SetShortcuts();
            PostViewCommand(0);
        });
        SetShortcuts();
    }
    seLi_->show();
    seLi_->raise();
    seLi_->activateWindow();
}

TfmSeTe* TfmMain::SendEditor() const {
    return seTe_;
}

void TfmMain::OpenSendEditor(int n) {
    if (!seTe_) {
        seTe_ = new TfmSeTe(prog_, n, this);
        seTe_->setAttribute(Qt::WA_DeleteOnClose);
        prog_.av.ParaSeTeLi = 1;
        connect(seTe_, &QDialog::finished, this, [this] {
            prog_.av.ParaSeTeLi = 0;
            seTe_ = nullptr;
            SetShortcuts();
            PostViewCommand(0);
        });
        SetShortcuts();
    }
    seTe_->show();
    seTe_->raise();
    seTe_->activateWindow();
}

void TfmMain::ShowObjectTexts() {
    T_SeLiObj obj{};
    uint32_t ca = 0;
    PickEnv env{prog_.texts, prog_.av, prog_.ap, prog_.objects};
    Pick(this, x() - 352, y(), height(), PICK_BROWSE, obj, ca, 0, env);
    PostViewCommand(0);
}

void TfmMain::SetShortcuts() {
    FunctionKeys fk = FunctionKeysOf(prog_.pp.opt);
    // One key for both: the online command toggles.
    Action("aGoOnl")->setShortcut(fk.online ? QKeySequence(Qt::Key_F8) : QKeySequence());
    Action("aAusgLog")->setShortcut(fk.display ? QKeySequence(Qt::Key_F9) : QKeySequence());
    Action("aAFiltAE")->setShortcut(fk.filterToggle ? QKeySequence(Qt::Key_F11) : QKeySequence());
    // While the telegram editor is open, F12 opens the picker there.
    Action("aAFilter")
        ->setShortcut(fk.filter && !seTe_ ? QKeySequence(Qt::Key_F12) : QKeySequence());
    for (int i = 0; i < kSeTeCount; ++i) {
        const int key = Qt::Key_F1 + i;
        seTeActs_[static_cast<size_t>(i)]->setShortcut(
            fk.sendTelegrams ? QKeySequence(Qt::ALT | key) : QKeySequence());
        paTeActs_[static_cast<size_t>(i)]->setShortcut(
            fk.editTelegrams ? QKeySequence(Qt::SHIFT | key) : QKeySequence());
    }
    Action("aLogDel")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    Action("aHelpF1")->setShortcut(QKeySequence(Qt::Key_F1));
}

void TfmMain::UpdateStatus() {
    const T_ProgPar& pp = prog_.pp;
    Action("aZeit")->setChecked(pp.zeitzl != 0);
    Action("aLink")->setChecked(pp.linkzl != 0);
    const char* fmts[] = {"aFLog", "aFKomp", "aFLogN", "aFByte", "aFCsv"};
    for (int i = 0; i < 5; ++i) Action(fmts[i])->setChecked(pp.format == VF_FULL + i);
    Action("aGoOnl")->setChecked(prog_.av.online);
    Action("aGoOffl")->setChecked(!prog_.av.online);
    Action("miGer")->setChecked(pp.sprache == 0);
    Action("miUsa")->setChecked(pp.sprache == 1);
    Action("aStObj")->setChecked(pp.abbild != 0);
    QAction* fae = Action("aAFiltAE");
    fae->setEnabled(prog_.ap.afilt.def != 0);
    fae->setText(Qs(prog_.texts.tx(kTxFilterToggle + (prog_.ap.afilt.aktiv ? 1 : 0))));

    for (int i = 0; i < kStatusPanels; ++i) {
        PanelState s = StatusPanel(prog_, i);
        QLabel* l = panels_[static_cast<size_t>(i)];
        l->setText(Qs(s.text));
        if (i == kPanelPorts) l->setVisible(!s.text.empty());
        QPalette pal = statusBar()->palette();
        if (s.rgb != kNoColour) pal.setColor(QPalette::Window, Rgb(s.rgb));
        l->setPalette(pal);
    }
    std::string hint = PortHint(prog_);
    lblNotice_->setText(Qs(hint));
    noticeRow_->setVisible(!hint.empty());
    tbtnOnl_->setChecked(prog_.av.online);
    tbtnOnl_->SetImageIndex(prog_.av.online ? 1 : 0);
    tbtnOnl_->setToolTip(Qs(prog_.texts.tx(kTxOnlineHint + (prog_.av.online ? 1 : 0))));
    RebuildRecentMenu();
    UpdateCaption();
}

void TfmMain::UpdateCaption() {
    std::string c = (prog_.av.t2 && !timing_.empty()) ? timing_ : prog_.Caption();
    setWindowTitle(Qs(c));
    QApplication::setApplicationName(Qs(prog_.Caption()));
}

QString TfmMain::NoticeText() const {
    return noticeRow_->isVisibleTo(this) ? lblNotice_->text() : QString();
}

QString TfmMain::PanelText(int i) const {
    return panels_[static_cast<size_t>(i)]->text();
}

QColor TfmMain::PanelColour(int i) const {
    return panels_[static_cast<size_t>(i)]->palette().color(QPalette::Window);
}

QAction* TfmMain::Action(const QString& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

LampButton* TfmMain::LampOf(int channel, bool transmit) const {
    return lamps_[static_cast<size_t>(channel * 2 + (transmit ? 1 : 0))];
}

void TfmMain::FillGrid(bool refit) {
    QTableWidget* g = view_->grid();
    bool changed = refit;
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            QTableWidgetItem* it = g->item(r, c);
            if (!it) {
                it = new QTableWidgetItem;
                bool number = r > 0 && ((c >= 1 && c <= 4) || c == 8);
                it->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
                g->setItem(r, c, it);
            }
            // The cell aligns the numbers itself; the padding of the text is not needed.
            QString s = Qs(GridCell(prog_, r, c)).trimmed();
            if (it->text() != s) {
                it->setText(s);
                changed = true;
            }
        }
    if (!changed) return;
    // Every column as wide as its widest cell, at least the width its title text names.
    std::vector<int> least;
    for (int c = 0; c < kGridColumns; ++c) least.push_back(GridColumnOf(prog_.texts, c).width);
    if (view_->FitGrid(least)) Relayout();
}

void TfmMain::RebuildRecentMenu() {
    QMenu* m = mruMenu_;
    for (QAction* a : m->actions())
        if (a->property("vdlMru").isValid()) {
            m->removeAction(a);
            a->deleteLater();
        }
    QAction* end = nullptr;
    for (QAction* a : m->actions())
        if (a->objectName() == QLatin1String("mruEnd")) end = a;
    int n = 0;
    for (int i = 0; i < std::clamp(prog_.av.anzmru, 0, kMaxMru); ++i) {
        std::string f = prog_.av.mru[static_cast<size_t>(i)];
        if (!Exists(f)) continue;
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(++n).arg(Qs(f)), m);
        a->setProperty("vdlMru", Qs(f));
        connect(a, &QAction::triggered, this, [this, f] {
            // The menu closes and pending messages are handled first.
            QTimer::singleShot(0, this,
                               [this, f] { Dialog([this, f] { OpenRecentFile(prog_, f); }); });
        });
        m->insertAction(end, a);
    }
}

std::vector<QString> TfmMain::RecentMenu() const {
    std::vector<QString> v;
    for (QAction* a : mruMenu_->actions())
        if (a->property("vdlMru").isValid()) v.push_back(a->property("vdlMru").toString());
    return v;
}

// ---- the view ----

void TfmMain::Relayout() {
    ViewMetrics m;
    m.h = view_->LineHeight();
    m.headerH = view_->HeaderHeight();
    m.width = view_->width();
    m.statusTop = view_->ViewBottom();
    m.toolBottom = 0;
    m.gridBottom = view_->GridBottom();
    m.scrollW = view_->ScrollBarWidth();
    m.clientH = view_->height() + (tbrMenu_ ? tbrMenu_->height() : 0);
    m.statusH = 0;
    m.gapPct = prog_.pp.ausg.leerzl;
    page_->SetLayout(ComputeLayout(m, OnlineDisplayShown()));
    if (!OnlineDisplayShown()) PostViewCommand(NAV_REDRAW);
}

bool TfmMain::OnlineDisplayShown() const {
    return prog_.pp.onlausg != 0;
}

void TfmMain::ShowOnlineDisplay() {
    page_->ToOnlineDisplay();
    view_->ShowOnlineParts(true);
    FocusView();
    FillGrid();
    Relayout();
    UpdateStatus();
}

void TfmMain::ShowLogDisplay() {
    ShowLogDisplayAt(false);
}

void TfmMain::ShowLogDisplayAt(bool keepPlace) {
    bool kept = page_->ToLogDisplay(keepPlace);
    view_->ShowOnlineParts(false);
    FocusView();
    Relayout();
    PostViewCommand(kept ? NAV_REDRAW : NAV_NEWEST);
    UpdateStatus();
}

void TfmMain::FocusView() {
    // The keys go to the view in either display: the scroll bar pages the log display.
    if (OnlineDisplayShown())
        view_->setFocus();
    else
        view_->scrollBar()->setFocus();
}

void TfmMain::ToggleDisplays() {
    page_->ZeroTiming();
    // A switch of displays by the user comes back to the page of the log display it left.
    if (OnlineDisplayShown())
        ShowLogDisplayAt(true);
    else
        ShowOnlineDisplay();
}

void TfmMain::DisplayStep() {
    if (OnlineDisplayShown()) FillGrid();
    page_->OnlineStep();
}

void TfmMain::PostViewCommand(int code) {
    pending_.emplace_back(code, kNoPosition);
    if (!runScheduled_) {
        runScheduled_ = true;
        QTimer::singleShot(kViewCommandDelayMs, this, &TfmMain::RunViewCommands);
    }
}

void TfmMain::PostViewPosition(int position) {
    PostViewCommand(NAV_REDRAW);
    pending_.back().second = position;
}

void TfmMain::RunViewCommands() {
    runScheduled_ = false;
    if (pending_.empty()) return;
    bool busy = !OnlineDisplayShown();
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    // A burst of commands moves through all of them and draws the page once.
    while (!pending_.empty()) {
        auto [code, pos] = pending_.front();
        pending_.pop_front();
        int p = page_->NavigateLog(code, pos, pending_.empty());
        if (pending_.empty()) {
            QScrollBar* sb = view_->scrollBar();
            QSignalBlocker block(sb);
            sb->setValue(p);
        }
    }
    if (busy) QApplication::restoreOverrideCursor();
}

void TfmMain::OnScrollAction(int action) {
    ScrollEvent ev = ScrollEvent::Other;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        ev = ScrollEvent::LineDown;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        ev = ScrollEvent::LineUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        ev = ScrollEvent::PageDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        ev = ScrollEvent::PageUp;
        break;
    case QAbstractSlider::SliderToMinimum:
        ev = ScrollEvent::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        ev = ScrollEvent::Bottom;
        break;
    case QAbstractSlider::SliderMove:
        ev = ScrollEvent::Track;
        break;
    default:
        break;
    }
    Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
    int code = ScrollCode(ev, mods & Qt::ControlModifier, mods & Qt::ShiftModifier);
    if (code < 0) return;
    if (ev == ScrollEvent::Track)
        PostViewPosition(view_->scrollBar()->sliderPosition());
    else
        PostViewCommand(code);
}

void TfmMain::OnWheel(int dir) {
    if (OnlineDisplayShown()) ShowLogDisplay();
    PostViewCommand(dir < 0 ? NAV_LINE_UP : NAV_LINE_DOWN);
}

void TfmMain::OnKey(int key, int) {
    ViewKey k = key == Qt::Key_Up       ? ViewKey::Up
                : key == Qt::Key_Down   ? ViewKey::Down
                : key == Qt::Key_Escape ? ViewKey::Escape
                                        : ViewKey::Other;
    switch (KeySwitch(k, OnlineDisplayShown(), prog_.pp.opt[1] != 0)) {
    case DisplaySwitch::ToLog:
        // The cursor keys scroll back from what the online display shows; Esc switches.
        ShowLogDisplayAt(k == ViewKey::Escape);
        break;
    case DisplaySwitch::ToOnline:
        ShowOnlineDisplay();
        break;
    case DisplaySwitch::None:
        break;
    }
}

void TfmMain::ShowPopup(const QPoint& at) {
    // The pop-up menu mirrors the view menu, without short cuts.
    QMenu pm(this);
    pm.setObjectName(QStringLiteral("pmMain"));
    for (size_t i = 0; i < viewItems_.size(); ++i) {
        QAction* twin = viewItems_[i];
        QAction* a = pm.addAction(Qs(prog_.texts.tx(kMenuItemText[M_VIEW] + static_cast<int>(i))));
        a->setCheckable(twin->isCheckable());
        a->setChecked(twin->isChecked());
        connect(a, &QAction::triggered, twin, &QAction::trigger);
    }
    pm.exec(at);
}

void TfmMain::Lamp(T_LedVar& led, bool lit) {
    if (led.tbtn) led.tbtn->SetLit(lit);
}

void TfmMain::StatisticsChanged() {
    // The grid follows at the next tick.
}

// ---- commands ----

void TfmMain::Dialog(const std::function<void()>& f) {
    f();
    PostViewCommand(NAV_REDRAW);
}

QString TfmMain::AskFile(bool save, int title, int ext, int filter, const std::string& near) {
    const TextTable& t = prog_.texts;
    QString dir = near.empty() ? Qs(prog_.av.DataDir) : QFileInfo(Qs(near)).absolutePath();
    QFileDialog d(this, Qs(t.tx(title)), dir);
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setDefaultSuffix(Qs(t.tx(ext)));
    d.setNameFilters(Qs(t.tx(filter)).split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (save && !near.empty()) d.selectFile(QFileInfo(Qs(near)).fileName());
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().front();
}

void TfmMain::LogOpen(const QString& file) {
    QString f = file.isEmpty() ? AskFile(false, 1195, 1197, 1198, prog_.av.dtLog) : file;
    if (!f.isEmpty()) OpenLogFileCommand(prog_, Ss(f));
}

void TfmMain::LogSave(const QString& file) {
    QString f = file.isEmpty() ? AskFile(true, 1196, 1197, 1198, prog_.av.dtLog) : file;
    if (!f.isEmpty()) SaveLogAs(prog_, Ss(f));
}

void TfmMain::ParamSetLoad(const QString& file) {
    QString f = file.isEmpty() ? AskFile(false, 1218, 1220, 1221, prog_.av.dtSeTeLi) : file;
    if (!f.isEmpty()) LoadParamSetCommand(prog_, Ss(f));
}

void TfmMain::ParamSetSave(const QString& file) {
    QString f = file.isEmpty() ? AskFile(true, 1219, 1220, 1221, prog_.av.dtSeTeLi) : file;
    if (!f.isEmpty()) SaveParamSetCommand(prog_, Ss(f));
}

void TfmMain::TextLoad(const QString& file) {
    QString f = file.isEmpty() ? AskFile(false, 1365, 1367, 1368, prog_.av.dtOaTxt) : file;
    if (!f.isEmpty()) LoadObjectTextsCommand(prog_, Ss(f));
}

void TfmMain::EditChannel(int i) {
    ChannelDialogEnv env;
    env.khex = prog_.av.khex;
    env.lgla = prog_.ap.lgla;
    env.formatFree = prog_.pp.opt[9] != 0;
    env.ports = host_.EnumeratePorts();
    env.otherPort = prog_.com[1 - i].bp.cnr;
    env.names = &prog_.ports;
    T_BetriebsPar bp = prog_.com[i].bp;
    if (EditChannelParams(this, prog_.texts, env, i, bp))
        prog_.ChangeChannelParams(i, bp);
    else
        prog_.com[i].bp = bp; // the character format rule applies even on Cancel
    UpdateStatus();
    FillGrid();
}

void TfmMain::EditGeneral() {
    T_AllgPar ap = prog_.ap;
    std::string dir = prog_.av.DataDir;
    if (EditGeneralSettings(this, tbrMenu_->height(), prog_.texts, prog_.msg, prog_.av.khex, ap,
                            dir))
        ApplyGeneralSettings(prog_, ap, dir);
}

void TfmMain::EditOptionsCmd() {
    uint8_t opt[kOptionBytes];
    std::memcpy(opt, prog_.pp.opt, sizeof opt);
    if (!EditOptions(this, prog_.texts, opt)) return;
    std::memcpy(prog_.pp.opt, opt, sizeof opt);
    SetShortcuts();
}

void TfmMain::EditDisplay() {
    T_AusgPar a = prog_.pp.ausg;
    if (!EditDisplaySettings(this, prog_.texts, a)) return;
    TakeDisplaySettings(prog_, a);
    ApplyFontSize();
}

void TfmMain::ApplyFontSize() {
    view_->SetFontSize(ViewFontSize(prog_.pp.ausg.size));
    FillGrid(true);
    Relayout();
}

void TfmMain::EditColours(int kind) {
    T_TypUrsFarben t = kind == kFrbTypes ? prog_.pp.frbtyp : prog_.pp.frburs;
    if (EditColourTable(this, prog_.texts, prog_.av, kind, t)) TakeColourTable(prog_, kind, t);
}

void TfmMain::EditFilterCmd(bool logFilter) {
    T_Filter f = logFilter ? prog_.ap.lfilt : prog_.ap.afilt;
    FilterDialogEnv env{prog_.av.DataDir, prog_.log->Count(), logFilter};
    if (EditFilter(this, prog_.texts, prog_.msg, prog_.ap, env, f) != FilterEdit::Cancel)
        TakeFilter(prog_, logFilter, f);
}

void TfmMain::ShowDialling() {
    vdl::ShowDialling(this, prog_);
}

void TfmMain::ToggleImageWindow() {
    if (obj_ && obj_->isVisible()) {
        obj_->close();
        return;
    }
    if (!obj_) {
        obj_ = std::make_unique<TfmObj>(prog_, *loc_);
        obj_->showMain = [this] {
            raise();
            activateWindow();
        };
        obj_->help = [this] { ShowHelp(HC_IMAGE); };
        obj_->timingCaption = [this](const std::string& s) {
            timing_ = s;
            UpdateCaption();
        };
    }
    obj_->Open();
}

void TfmMain::OutputLog() {
    RunOutputDialog(this, prog_, *loc_);
    PostViewCommand(NAV_NEWEST);
}

void TfmMain::LinkTest(int channel) {
    ShowLinkTest(this, prog_.texts, prog_.com[channel - 1].se.lt, channel);
}

void TfmMain::Info() {
    VersionInfo v;
    QString ver = QCoreApplication::applicationVersion();
    if (!ver.isEmpty()) {
        while (ver.count('.') < 3) ver += QStringLiteral(".0");
        v.fileVersion = Ss(ver);
        v.productVersion = Ss(QCoreApplication::applicationVersion());
    }
    ShowInfo(this, prog_.texts, v);
}

void TfmMain::ChangeLanguageTo(int lang) {
    UpdateStatus(); // the tick stays on the present language until the texts are loaded
    // The change is applied from the event loop, after the menu has closed.
    QTimer::singleShot(0, this, [this, lang] {
        if (ChangeLanguage(prog_, lang)) {
            ApplyTexts();
            PostViewCommand(NAV_REDRAW);
        }
        UpdateStatus();
        FocusView();
    });
}

void TfmMain::ShowHelp(int context) {
    vdl::ShowHelp(prog_, *browser_, context);
}

void TfmMain::SetBrowser(Browser* b) {
    browser_ = b ? b : ownBrowser_.get();
}

// ---- window ----

void TfmMain::AfterStart() {
    view_->SetFontSize(ViewFontSize(prog_.pp.ausg.size));
    view_->ShowOnlineParts(OnlineDisplayShown());
    ApplyTexts();
    SetShortcuts();
    FillGrid(true);
    Relayout();
    RestorePosition();
    // The station image window opens again when it was open at the last exit.
    if (prog_.pp.abbild && !(obj_ && obj_->isVisible())) ToggleImageWindow();
    FocusView();
}

void TfmMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // The keys work in the view from the start, not in the first tool button.
    QWidget* f = focusWidget();
    if (!f || !view_->isAncestorOf(f)) FocusView();
}

void TfmMain::RestorePosition() {
    const T_ProgPar& pp = prog_.pp;
    QScreen* s = screen();
    QRect sg = s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
    WindowPlace w =
        MainWindowPlace(pp.wstate, pp.wtop, pp.wleft, pp.wwidth, sg.width(), sg.height());
    if (w.kind != WindowPlaceKind::Default && pp.wwidth > 100 && pp.wheight > 100)
        resize(std::min(pp.wwidth, sg.width()), std::min(pp.wheight, sg.height()));
    if (w.kind == WindowPlaceKind::Stored)
        move(pp.wleft, pp.wtop);
    else if (w.kind == WindowPlaceKind::Centred)
        move(sg.center() - QPoint(width() / 2, height() / 2));
    if (w.maximised) setWindowState(windowState() | Qt::WindowMaximized);
    if (w.kind == WindowPlaceKind::Default) {
        // The first start: wide enough for every column of the statistics grid, in either
        // language, as far as the screen allows.
        // Room for a device path in the port column too.
        int need = std::max(view_->GridWidth() + kPortRoom, kFirstWidth);
        if (need > width()) resize(std::min(need, sg.width()), height());
    }
}

void TfmMain::closeEvent(QCloseEvent* e) {
    T_ProgPar& pp = prog_.pp;
    QRect g = normalGeometry();
    pp.wstate = isMaximized() ? 3 : 1;
    pp.wtop = g.top();
    pp.wleft = g.left();
    pp.wheight = g.height();
    pp.wwidth = g.width();
    if (TfmLnk* l = OpenLinkTest()) l->close();
    if (TfmWahl* w = OpenDialling()) w->close();
    if (seTe_) seTe_->close();
    // An open station image window closes and is remembered as open.
    if (obj_ && obj_->isVisible()) {
        obj_->close();
        pp.abbild = 1;
    }
    if (onClose) onClose();
    e->accept();
}

bool TfmMain::eventFilter(QObject* o, QEvent* e) {
    if (o == statusBar() && e->type() == QEvent::ToolTip) {
        // The log file over the left part of the bar, the object text file beyond.
        auto* h = static_cast<QHelpEvent*>(e);
        bool left = h->pos().x() < statusBar()->width() * 7 / 10;
        QToolTip::showText(h->globalPos(), Qs(left ? prog_.av.dtLog : prog_.av.dtOaTxt),
                           statusBar());
        return true;
    }
    return QMainWindow::eventFilter(o, e);
}

} // namespace vdl
