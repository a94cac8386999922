// The window tests run inside a QApplication on Qt's offscreen platform: real widgets, real
// dialogs and real input events, and no display needed. The translations are installed as
// Kestrum installs them, for the language ctest gives (English, or German for the translated
// window's test).

#include "i18n/Translations.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installTranslations(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
