// This computer's device id: made once and kept, never taken along to another computer with a
// copied data folder, and a file that cannot be read neither stops Kestrum nor is lost.

#include "sync/DeviceIdentity.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kThisMachine = QStringLiteral("0f1e2d3c4b5a69788796a5b4c3d2e1f0");
const QString kOtherMachine = QStringLiteral("aaaabbbbccccddddeeeeffff00001111");

} // namespace

class DeviceIdentityTest : public ::testing::Test
{
protected:
    DeviceIdentity load(const QString &machine = kThisMachine)
    {
        message.clear();
        QString error;
        const DeviceIdentity identity = DeviceIdentity::load(path, machine, &message, &error);
        EXPECT_TRUE(identity.isValid()) << error.toStdString();
        return identity;
    }

    QTemporaryDir directory;
    QString path = directory.filePath(QStringLiteral("Kestrum/device.json"));
    QString message;
};

TEST_F(DeviceIdentityTest, MadeOnceKeptAfterAndACopyOnAnotherMachineTakesAnIdOfItsOwn)
{
    const DeviceIdentity first = load();
    EXPECT_EQ(first.id().size(), 36) << first.id().toStdString();
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    struct stat status = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u);
    EXPECT_EQ(load().id(), first.id());

    // The same home on another computer (a clone, a restored backup).
    const DeviceIdentity copy = load(kOtherMachine);
    EXPECT_NE(copy.id(), first.id());
    EXPECT_EQ(copy.previousId(), first.id());
    EXPECT_TRUE(message.contains(first.id()) && message.contains(copy.id())) << message.toStdString();
    // From then on it is that computer's own.
    EXPECT_EQ(load(kOtherMachine).id(), copy.id());
    EXPECT_TRUE(message.isEmpty());
}

TEST_F(DeviceIdentityTest, AnUnreadableFileIsMovedAsideAndALaterVersionsIsUsedAsItIs)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    for (const QByteArray &wrong : {QByteArray("not json"), QByteArray(R"({"version": 1, "id": "host-name"})"), QByteArray("{}")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(wrong) == wrong.size());
        file.close();
        const DeviceIdentity made = load();
        EXPECT_TRUE(message.contains(QStringLiteral("moved to device.json.corrupt-"))) << message.toStdString();
        const QStringList aside = QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("device.json.corrupt-*")});
        ASSERT_FALSE(aside.isEmpty());
        QFile kept(QFileInfo(path).absolutePath() + u'/' + aside.constFirst());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), wrong);
        kept.remove();
        EXPECT_EQ(load().id(), made.id());
    }

    const QByteArray later = R"({"version": 2, "id": "3f2504e0-4f89-11d3-9a0c-0305e82c3301", "machine": "elsewhere", "more": true})";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(later) == later.size());
    file.close();
    EXPECT_EQ(load().id(), QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), later);
}
