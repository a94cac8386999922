// The window tests run inside a QApplication on Qt's offscreen platform: real widgets, real
// dialogs and real input events, and no display needed.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
