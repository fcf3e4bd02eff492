#include "platform/qt_printer.h"

#include <QFontMetrics>
#include <QPrinterInfo>

namespace vdl {

std::unique_ptr<QtPrinter> QtPrinter::System(const std::string& name) {
    std::unique_ptr<QtPrinter> p(new QtPrinter);
    if (!name.empty()) p->printer_.setPrinterName(QString::fromStdString(name));
    return p;
}

std::unique_ptr<QtPrinter> QtPrinter::Pdf(const std::string& file) {
    std::unique_ptr<QtPrinter> p(new QtPrinter);
    p->printer_.setOutputFormat(QPrinter::PdfFormat);
    p->printer_.setOutputFileName(QString::fromStdString(file));
    return p;
}

bool QtPrinter::Begin(const std::string& title, const std::string& family, int points) {
    printer_.setDocName(QString::fromStdString(title));
    // Our margins are measured from the edge of the sheet.
    printer_.setFullPage(true);
    if (!painter_.begin(&printer_)) return false;
    QFont f(QString::fromStdString(family), points);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    painter_.setFont(f);
    painter_.setPen(Qt::black);
    return !Failed();
}

int QtPrinter::PageWidth() const {
    return printer_.width();
}
int QtPrinter::PageHeight() const {
    return printer_.height();
}
int QtPrinter::DpiX() const {
    return printer_.logicalDpiX();
}
int QtPrinter::DpiY() const {
    return printer_.logicalDpiY();
}

int QtPrinter::LineHeight() const {
    return painter_.fontMetrics().height();
}

int QtPrinter::TextWidth(const std::string& s) const {
    return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(s));
}

bool QtPrinter::Text(int x, int y, const std::string& s) {
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), QString::fromStdString(s));
    return !Failed();
}

bool QtPrinter::NewPage() {
    return printer_.newPage() && !Failed();
}

void QtPrinter::Abort() {
    printer_.abort();
    if (painter_.isActive()) painter_.end();
}

bool QtPrinter::End() {
    return painter_.end() && !Failed();
}

std::vector<std::string> SystemPrinters() {
    std::vector<std::string> v;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) v.push_back(n.toStdString());
    return v;
}

} // namespace vdl
