// The date, time and number forms of the user's locale, as the interpretation, the export and
// the log view show them. The platform layer gives the system's forms; tests and benchmarks use
// a FixedLocale, so that what they render does not depend on the machine.
#pragma once

#include "core/format.h"

#include <string>

namespace vdl {

class LocaleFormats {
public:
    virtual ~LocaleFormats() = default;
    // The short date form ("dd.mm.yyyy" and the like).
    virtual std::string ShortDate(int year, int month, int day) const = 0;
    // The long date form (with the names of day and month where the locale has them).
    virtual std::string LongDate(int year, int month, int day) const = 0;
    // The long time form: hours, minutes and seconds.
    virtual std::string LongTime(int hour, int minute, int second) const = 0;
    virtual char DateSeparator() const = 0;
    virtual char TimeSeparator() const = 0;
    // Decimal and thousands separator.
    virtual NumberFormat Numbers() const = 0;
};

// Fills a date or time pattern. Tokens: d dd (day), m mm (month; after h/hh they are minutes),
// n nn (minutes), yy yyyy (year), h hh (hour, 0..23), s ss (seconds), "/" the date separator,
// ":" the time separator; text in single or double quotes and every other character are copied.
std::string FormatDateTimePattern(const std::string& pattern, int year, int month, int day,
                                  int hour, int minute, int second, char dateSep, char timeSep);

// The locale whose date, time and number forms and month and day names go with the program's
// language (0 German, 1 English), as a name like "de_DE": the system's own locale when it
// speaks that language (its country keeps its forms), else German of Germany or British English
// (English names with the 24-hour clock the interpretation's times need).
std::string LocaleNameForLanguage(int language, const std::string& systemLocale);

// A locale given by patterns. The defaults are those of a German system.
class FixedLocale : public LocaleFormats {
public:
    FixedLocale() = default;
    FixedLocale(std::string shortDate, std::string longDate, std::string longTime, char dateSep,
                char timeSep, NumberFormat nf)
        : shortDate_(std::move(shortDate)), longDate_(std::move(longDate)),
          longTime_(std::move(longTime)), dateSep_(dateSep), timeSep_(timeSep), nf_(nf) {}

    std::string ShortDate(int year, int month, int day) const override;
    std::string LongDate(int year, int month, int day) const override;
    std::string LongTime(int hour, int minute, int second) const override;
    char DateSeparator() const override { return dateSep_; }
    char TimeSeparator() const override { return timeSep_; }
    NumberFormat Numbers() const override { return nf_; }

private:
    std::string shortDate_ = "dd/mm/yyyy";
    std::string longDate_ = "d/mm/yyyy";
    std::string longTime_ = "hh:nn:ss";
    char dateSep_ = '.';
    char timeSep_ = ':';
    NumberFormat nf_{',', '.'};
};

} // namespace vdl
