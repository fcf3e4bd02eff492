#include "ui/frm_obj.h"

#include "app/main_state.h"
#include "app/program.h"
#include "log/log_page.h"
#include "ui/form_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vdl {

namespace {

// A rebuild runs in slices of about this many milliseconds; the grid is redrawn at most this
// often while it runs.
constexpr int kSliceMs = 20;
constexpr int kRebuildRefreshMs = 250;
constexpr int kSliceTelegrams = 2000;

// Measures what it draws, for the automatic column widths.
class FitDelegate : public QStyledItemDelegate {
public:
    FitDelegate(ImageColumnFit& fit, const QCheckBox* on, QObject* parent)
        : QStyledItemDelegate(parent), fit_(fit), on_(on) {}
    int margin = 10;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& i) const override {
        QStyledItemDelegate::paint(p, opt, i);
        if (on_->isChecked())
            fit_.Drawn(i.column() + 1, opt.fontMetrics.horizontalAdvance(i.data().toString()),
                       margin);
    }

private:
    ImageColumnFit& fit_;
    const QCheckBox* on_;
};

} // namespace

// ---- model ----

ImageModel::ImageModel(Program& p, const LocaleFormats& loc, QObject* parent)
    : QAbstractTableModel(parent), p_(p), loc_(loc) {}

ImageTextEnv ImageModel::Env() const {
    return ImageTextEnv{p_.texts, p_.av, p_.ap, p_.pp, loc_};
}

int ImageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ImageModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_ - 1;
}

QVariant ImageModel::data(const QModelIndex& index, int role) const {
    const int c = index.column() + 1;
    if (role == Qt::DisplayRole) return Qs(ImageCell(p_.image, index.row() + 1, c, Env()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((ImageCellLeft(c) ? Qt::AlignLeft : Qt::AlignHCenter) |
                                   Qt::AlignVCenter);
    return {};
}

QVariant ImageModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, o, role);
    if (o == Qt::Horizontal) return Qs(ImageCell(p_.image, 0, section + 1, Env()));
    return Qs(ImageCell(p_.image, section + 1, 0, Env()));
}

void ImageModel::Refresh() {
    const int cols = ImageColumnCount(p_.texts);
    const int rows = p_.image.Count();
    if (cols != cols_ || rows < rows_) {
        beginResetModel();
        cols_ = cols;
        rows_ = rows;
        endResetModel();
        return;
    }
    // Objects are inserted in address order, so any shown row may hold another object now.
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 2));
        emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
    }
}

// ---- window ----

TfmObj::TfmObj(Program& p, const LocaleFormats& loc) : QWidget(nullptr), p_(p), loc_(loc) {
    setObjectName(QStringLiteral("TfmObj"));
    setWindowFlag(Qt::Window);
    QFont f = font();
    f.setPointSize(ViewFontSize(p_.pp.ausg.size));
    setFont(f);

    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    const char* names[] = {"btnCopy", "btnClear", "btnExit", "btnHelp"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QPushButton(this);
        buttons_[i]->setObjectName(QString::fromLatin1(names[i]));
        buttons_[i]->setAutoDefault(false);
    }
    chkAuto_ = new QCheckBox(this);
    chkAuto_->setObjectName(QStringLiteral("chkAuto"));
    row->addWidget(buttons_[0]);
    row->addWidget(buttons_[1]);
    row->addWidget(chkAuto_);
    row->addStretch(1);
    row->addWidget(buttons_[2]);
    row->addWidget(buttons_[3]);
    outer->addLayout(row);

    model_ = new ImageModel(p_, loc_, this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("grdObj"));
    grid_->setModel(model_);
    auto* delegate = new FitDelegate(fit_, chkAuto_, grid_);
    delegate->margin = ViewFontSize(p_.pp.ausg.size);
    grid_->setItemDelegate(delegate);
    grid_->setWordWrap(false);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->horizontalHeader()->setHighlightSections(false);
    // Rows of one height: the grid never measures a row it does not show.
    QHeaderView* vh = grid_->verticalHeader();
    vh->setSectionResizeMode(QHeaderView::Fixed);
    vh->setDefaultSectionSize(std::max(20, 9 + QFontInfo(f).pixelSize()));
    vh->setDefaultAlignment(Qt::AlignCenter);
    outer->addWidget(grid_, 1);
    resize(ImageGridWidth(kImageDefaultWidths, kImageColumns, 1), 400);

    ApplyTexts();
    connect(vh, &QHeaderView::sectionClicked, this, [this](int s) { ClickRowHeader(s + 1); });
    connect(buttons_[0], &QPushButton::clicked, this, &TfmObj::Copy);
    connect(buttons_[1], &QPushButton::clicked, this, &TfmObj::Clear);
    connect(buttons_[2], &QPushButton::clicked, this, &QWidget::close);
    connect(buttons_[3], &QPushButton::clicked, this, [this] {
        if (help) help();
    });
    connect(chkAuto_, &QCheckBox::toggled, this, [this] { Refresh(); });
    rebuild_.setInterval(0);
    connect(&rebuild_, &QTimer::timeout, this, &TfmObj::RebuildSlice);
}

TfmObj::~TfmObj() = default;

void TfmObj::ApplyTexts() {
    const TextTable& t = p_.texts;
    for (int i = 0; i < 4; ++i) {
        buttons_[i]->setText(Qs(t.tx(kTxImageButtons + 2 * i)));
        buttons_[i]->setToolTip(Qs(t.tx(kTxImageButtons + 2 * i + 1)));
    }
    chkAuto_->setText(Qs(t.tx(kTxImageAuto)));
    chkAuto_->setToolTip(Qs(t.tx(kTxImageAutoHint)));
    grid_->setToolTip(Qs(t.tx(kTxImageGridHint)));
    if (isVisible()) Refresh();
}

std::string TfmObj::Caption() const {
    ImageTextEnv e = model_->Env();
    return p_.Caption() + "  " + ImageCaption(p_.image.St(), e);
}

void TfmObj::Open() {
    OpenImage(p_);
    RestoreSettings();
    Refresh();
    show();
    raise();
    activateWindow();
    grid_->setFocus();
    if (p_.imageRebuild) rebuild_.start();
}

void TfmObj::RebuildSlice() {
    QElapsedTimer t;
    t.start();
    bool more = true;
    while (more && t.elapsed() < kSliceMs) more = RebuildImageStep(p_, kSliceTelegrams);
    if (!more) rebuild_.stop();
    if (!more || !sinceRefresh_.isValid() || sinceRefresh_.elapsed() >= kRebuildRefreshMs)
        Refresh();
}

void TfmObj::ImageTick() {
    if (!isVisible() || isMinimized()) return;
    ImageWidths w;
    if (chkAuto_->isChecked() && fit_.Take(w)) ApplyWidths(w);
    if (p_.imageRebuild && !rebuild_.isActive()) rebuild_.start();
    const T_StVar& sv = p_.image.St();
    if ((p_.av.Tick & 0x1F) == 0 && (sv.aend > 0 || sv.anz != sv.anzalt)) Refresh();
}

void TfmObj::Refresh() {
    QElapsedTimer timing;
    timing.start();
    setWindowTitle(Qs(Caption()));
    model_->Refresh();
    if (chkAuto_->isChecked()) {
        // The headings and the row numbers count as drawn; the cells follow when painted.
        fit_.Start();
        const QFontMetrics fm = grid_->horizontalHeader()->fontMetrics();
        const int margin = ViewFontSize(p_.pp.ausg.size);
        const int cols = ImageColumnCount(p_.texts);
        for (int c = 1; c < cols; ++c)
            fit_.Drawn(c,
                       fm.horizontalAdvance(
                           model_->headerData(c - 1, Qt::Horizontal, Qt::DisplayRole).toString()),
                       margin);
        fit_.Drawn(0, fm.horizontalAdvance(Qs(ImageCell(p_.image, 0, 0, model_->Env()))), margin);
        fit_.Drawn(0, fm.horizontalAdvance(QStringLiteral("00000")), margin);
    }
    grid_->viewport()->update();
    T_StVar& sv = p_.image.St();
    sv.anzalt = sv.anz;
    sv.tick = p_.av.Tick;
    sv.aend = 0;
    sinceRefresh_.restart();
    if (p_.av.t2) {
        std::string c = CountTiming(p_.av, static_cast<double>(timing.elapsed()));
        if (timingCaption) timingCaption(c);
    }
}

void TfmObj::ApplyWidths(const ImageWidths& w) {
    grid_->verticalHeader()->setFixedWidth(w[0]);
    const int cols = ImageColumnCount(p_.texts);
    for (int c = 1; c < cols; ++c) grid_->setColumnWidth(c - 1, w[static_cast<size_t>(c)]);
    const int need = ImageGridWidth(w, cols, grid_->showGrid() ? 1 : 0) +
                     grid_->verticalScrollBar()->sizeHint().width();
    QScreen* s = screen();
    const int most = s ? s->availableGeometry().width() : need;
    if (width() < need) resize(std::min(need, most), height());
}

void TfmObj::Copy() {
    QApplication::clipboard()->setText(Qs(ImageCopyText(p_.image, model_->Env(), Caption())));
}

void TfmObj::Clear() {
    ClearImage(p_);
    Refresh();
}

void TfmObj::ClickRowHeader(int row) {
    if (ImageRowHeaderClick(p_, row, click_) < 0) return;
    grid_->selectRow(row - 1);
    if (showMain) showMain();
}

void TfmObj::RestoreSettings() {
    const T_ProgPar& pp = p_.pp;
    QSignalBlocker block(chkAuto_);
    chkAuto_->setChecked(pp.abbfest == 0);
    ImageWidths w = kImageDefaultWidths;
    if (pp.abbfest && pp.abbbrok)
        for (int c = 0; c < kImageColumns; ++c)
            w[static_cast<size_t>(c)] = std::max(8, ImageWidthFromStore(pp.abbbreite[c]));
    ApplyWidths(w);
    QScreen* s = screen();
    QRect sg = s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
    QRect g(pp.abbleft, pp.abbtop, pp.abbwidth, pp.abbheight);
    // A stored place that lies off the screen is not taken.
    if (pp.abbwidth > 100 && pp.abbheight > 100 && sg.intersects(g.adjusted(0, 0, -50, -50)))
        setGeometry(g);
}

void TfmObj::StoreSettings() {
    T_ProgPar& pp = p_.pp;
    QRect g = geometry();
    pp.abbtop = g.top();
    pp.abbleft = g.left();
    pp.abbheight = g.height();
    pp.abbwidth = g.width();
    pp.abbbreite[0] = StoredImageWidth(grid_->verticalHeader()->width());
    for (int c = 1; c < kImageColumns; ++c)
        pp.abbbreite[c] = StoredImageWidth(grid_->columnWidth(c - 1));
    pp.abbbrok = 1;
    pp.abbfest = chkAuto_->isChecked() ? 0 : 1;
}

void TfmObj::closeEvent(QCloseEvent* e) {
    rebuild_.stop();
    StoreSettings();
    CloseImage(p_);
    click_ = {};
    e->accept();
}

} // namespace vdl
