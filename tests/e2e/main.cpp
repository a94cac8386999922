// The end-to-end tests run inside a QCoreApplication: they start and watch programs with QProcess.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
