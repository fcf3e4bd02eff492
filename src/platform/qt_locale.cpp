#include "platform/qt_locale.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace vdl {

namespace {

// A separator character that fits the single-byte fields of the program; anything outside
// ASCII (narrow no-break spaces and the like) becomes a blank.
char Ascii(QChar c, char fallback) {
    if (c.isNull()) return fallback;
    ushort u = c.unicode();
    if (u == 0xA0 || u == 0x202F) return ' ';
    return u < 0x80 ? static_cast<char>(u) : ' ';
}

QChar FirstNonField(const QString& fmt, const QString& fieldChars) {
    bool quoted = false;
    for (QChar c : fmt) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !fieldChars.contains(c) && !c.isSpace()) return c;
    }
    return QChar();
}

} // namespace

QtLocaleFormats::QtLocaleFormats(const QLocale& loc) {
    SetLocale(loc);
}

void QtLocaleFormats::SetLocale(const QLocale& loc) {
    loc_ = loc;
    cacheDate_ = cacheTime_ = -1;
    timeFormat_ = loc_.timeFormat(QLocale::LongFormat);
    // The interpretation shows local times as recorded; a time zone name would be wrong there.
    timeFormat_.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    timeFormat_ = timeFormat_.trimmed();
    dateSep_ =
        Ascii(FirstNonField(loc_.dateFormat(QLocale::ShortFormat), QStringLiteral("dMy")), '.');
    timeSep_ = Ascii(FirstNonField(timeFormat_, QStringLiteral("hHmsaAPpz")), ':');
    nf_.decimal =
        Ascii(loc_.decimalPoint().isEmpty() ? QChar('.') : loc_.decimalPoint().at(0), '.');
    nf_.thousands =
        Ascii(loc_.groupSeparator().isEmpty() ? QChar(',') : loc_.groupSeparator().at(0), ',');
}

std::string QtLocaleFormats::ShortDate(int year, int month, int day) const {
    int key = (year * 13 + month) * 32 + day;
    if (key != cacheDate_) {
        lastDate_ = loc_.toString(QDate(year, month, day), QLocale::ShortFormat).toStdString();
        cacheDate_ = key;
    }
    return lastDate_;
}

std::string QtLocaleFormats::LongDate(int year, int month, int day) const {
    return loc_.toString(QDate(year, month, day), QLocale::LongFormat).toStdString();
}

std::string QtLocaleFormats::LongTime(int hour, int minute, int second) const {
    int key = (hour * 60 + minute) * 60 + second;
    if (key != cacheTime_) {
        lastTime_ = loc_.toString(QTime(hour, minute, second), timeFormat_).toStdString();
        cacheTime_ = key;
    }
    return lastTime_;
}

} // namespace vdl
