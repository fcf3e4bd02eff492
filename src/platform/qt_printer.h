// The printer of the system, or a PDF file, through Qt's printing: text in a fixed-pitch font,
// pages of the printer's paper at its resolution.
#pragma once

#include "log/log_print.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <memory>
#include <string>
#include <vector>

namespace vdl {

class QtPrinter : public Printer {
public:
    // A printer of the system by name (empty: the system's default printer).
    static std::unique_ptr<QtPrinter> System(const std::string& name);
    // A PDF file (the text stays text in it).
    static std::unique_ptr<QtPrinter> Pdf(const std::string& file);

    bool Begin(const std::string& title, const std::string& family, int points) override;
    int PageWidth() const override;
    int PageHeight() const override;
    int DpiX() const override;
    int DpiY() const override;
    int LineHeight() const override;
    int TextWidth(const std::string& s) const override;
    bool Text(int x, int y, const std::string& s) override;
    bool NewPage() override;
    void Abort() override;
    bool End() override;

    QPrinter& printer() { return printer_; }

private:
    QtPrinter() : printer_(QPrinter::HighResolution) {}
    bool Failed() const { return printer_.printerState() == QPrinter::Error; }

    QPrinter printer_;
    QPainter painter_;
};

// The names of the printers of the system.
std::vector<std::string> SystemPrinters();

} // namespace vdl
