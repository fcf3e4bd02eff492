// The system's date, time and number forms, read through QLocale.
#pragma once

#include "core/locale_formats.h"

#include <QLocale>

namespace vdl {

class QtLocaleFormats : public LocaleFormats {
public:
    explicit QtLocaleFormats(const QLocale& loc = QLocale::system());
    // Takes the forms of another locale (a change of the program's language).
    void SetLocale(const QLocale& loc);

    std::string ShortDate(int year, int month, int day) const override;
    std::string LongDate(int year, int month, int day) const override;
    std::string LongTime(int hour, int minute, int second) const override;
    char DateSeparator() const override { return dateSep_; }
    char TimeSeparator() const override { return timeSep_; }
    NumberFormat Numbers() const override { return nf_; }

private:
    QLocale loc_;
    QString timeFormat_; // the long time form without a time zone
    char dateSep_ = '.';
    char timeSep_ = ':';
    NumberFormat nf_;
    // A log holds long runs of telegrams of one day and one second: keep the last result.
    mutable int cacheDate_ = -1;
    mutable std::string lastDate_;
    mutable int cacheTime_ = -1;
    mutable std::string lastTime_;
};

} // namespace vdl
