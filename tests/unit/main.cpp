// The unit tests' main: a QCoreApplication for the parts that post to an event loop, and
// Kestrum's translations installed as the program installs them, in English whatever the
// developer's own language, so that texts with plural forms read as the user reads them.

#include "i18n/Translations.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    qputenv("LANGUAGE", "en");
    QCoreApplication app(argc, argv);
    installTranslations(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
