#include "platform/qt_language.h"

#include "core/locale_formats.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace vdl {

QLocale ProgramLocale(int language) {
    return QLocale(QString::fromStdString(
        LocaleNameForLanguage(language, QLocale::system().name().toStdString())));
}

bool ApplyToolkitLanguage(int language) {
    static std::unique_ptr<QTranslator> translator;
    QLocale loc = ProgramLocale(language);
    QLocale::setDefault(loc);
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    if (language != 0) return true;
    auto t = std::make_unique<QTranslator>();
    // "qt_de" bundles the translations of the toolkit's modules.
    if (!t->load(loc, QStringLiteral("qt"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(t.get());
    translator = std::move(t);
    return true;
}

} // namespace vdl
