// The shell's tests run inside a QCoreApplication: notifications relayed from other threads
// reach the controller through its event loop.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
