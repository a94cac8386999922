// The Wayland tests run inside a QCoreApplication: the backends hear from the compositor through the
// event loop, and the tests drive their clients with QProcess.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
