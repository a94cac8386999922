// The notification tests run inside a QApplication on Qt's offscreen platform: the question's
// window is a real widget, and D-Bus messages arrive through the event loop.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
