#pragma once

class QCoreApplication;
class QString;

// Installs Kestrum's translations, and Qt's own, for the user's languages (LANGUAGE, then
// LC_ALL, LC_MESSAGES and LANG). English is installed first, beneath any other, for the
// English plural forms. Call it right after the application object is made and before any
// text is built. Returns the language chosen ("en" when none of the user's is translated).
QString installTranslations(QCoreApplication &application);
