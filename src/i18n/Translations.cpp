#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The translations are built into the program, beneath ":/i18n" (see CMakeLists.txt).
bool install(QCoreApplication &application, const QLocale &locale, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(locale, name, QStringLiteral("_"), directory) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace

QString installTranslations(QCoreApplication &application)
{
    install(application, QLocale(QLocale::English), QStringLiteral("kestrum"), QStringLiteral(":/i18n"));
    const QLocale locale; // the user's, as the environment says
    for (const QString &language : locale.uiLanguages()) {
        const QLocale wanted(language);
        if (wanted.language() == QLocale::English || wanted.language() == QLocale::C)
            break; // English is the source: nothing more to install
        if (install(application, wanted, QStringLiteral("kestrum"), QStringLiteral(":/i18n"))) {
            // Qt's own texts (the buttons of its dialogs), when the system has them.
            install(application, wanted, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return QLocale::languageToCode(wanted.language());
        }
    }
    return QStringLiteral("en");
}
