#include "shell/translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QString CompiledName(const QString& language) {
    return QStringLiteral(":/i18n/brimvale_") + language + QStringLiteral(".qm");
}

} // namespace

QString ChooseTranslation(const QStringList& uiLanguages) {
    for (QString language : uiLanguages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        // English is the source: a later language never replaces it.
        if (language == QLatin1String("C") || language.startsWith(QLatin1String("en")))
            return QString();
        for (const QString& name : {language, language.section(QLatin1Char('_'), 0, 0)})
            if (QFileInfo::exists(CompiledName(name)))
                return name;
    }
    return QString();
}

QString InstallTranslations() {
    return InstallTranslations(QLocale::system().uiLanguages());
}

QString InstallTranslations(const QStringList& uiLanguages) {
    Q_INIT_RESOURCE(brimvale_translations);
    const QString language = ChooseTranslation(uiLanguages);
    if (language.isEmpty())
        return language;
    auto* program = new QTranslator(QCoreApplication::instance());
    if (program->load(CompiledName(language)))
        QCoreApplication::installTranslator(program);
    // Qt's own texts: the standard buttons, the file and print dialogs.
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    return language;
}
