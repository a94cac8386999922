// kestrum-probe as a user runs it: the built program on the display, piped, with an xterm in front.

#include "X11DesktopFixture.h"
#include "../logind/LogindMock.h"
#include "Waiting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

class KestrumProbe : public X11DesktopFixture
{
};

TEST_F(KestrumProbe, PrintsTheFrontApplicationItsWindowAndIdleSecondsOneLineEach)
{
    const QString title = QStringLiteral("probe.txt (edited)");
    const Client xterm = startXterm(title);
    ASSERT_NE(xterm.window, 0u);

    QProcess probe;
    probe.setProcessEnvironment(session->environment());
    probe.start(QStringLiteral(KESTRUM_PROBE), {QStringLiteral("--count"), QStringLiteral("3")});
    ASSERT_TRUE(probe.waitForFinished(15000)) << "kestrum-probe did not finish";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();

    const QByteArray output = probe.readAllStandardOutput();
    ASSERT_TRUE(output.endsWith('\n')) << output.toStdString();
    const QList<QByteArray> lines = output.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << output.toStdString();
    for (const QByteArray &line : lines) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        ASSERT_TRUE(document.isObject()) << error.errorString().toStdString() << ": " << line.toStdString();
        const QJsonObject object = document.object();
        const QJsonObject front = object.value(QStringLiteral("front")).toObject();
        const QJsonObject window = object.value(QStringLiteral("window")).toObject();
        EXPECT_EQ(object.value(QStringLiteral("backend")).toString(), QStringLiteral("x11")) << line.toStdString();
        EXPECT_EQ(front.value(QStringLiteral("name")).toString(), QStringLiteral("XTerm")) << line.toStdString();
        EXPECT_EQ(front.value(QStringLiteral("pid")).toInteger(), xterm.pid) << line.toStdString();
        EXPECT_EQ(window.value(QStringLiteral("id")).toInteger(), qint64(xterm.window)) << line.toStdString();
        EXPECT_EQ(window.value(QStringLiteral("title")).toString(), title) << line.toStdString();
        EXPECT_EQ(window.value(QStringLiteral("document")).toString(), QStringLiteral("probe.txt")) << line.toStdString();
        const QJsonValue idle = object.value(QStringLiteral("idleSeconds"));
        EXPECT_TRUE(idle.isDouble()) << line.toStdString();
        EXPECT_GE(idle.toDouble(-1), 0.0) << line.toStdString();
        EXPECT_EQ(object.value(QStringLiteral("screenSaver")), QJsonValue(false)) << line.toStdString();
        EXPECT_EQ(object.value(QStringLiteral("connected")), QJsonValue(true)) << line.toStdString();
        // The session's state: true or false where logind answers, null where it cannot be asked.
        const QJsonObject session = object.value(QStringLiteral("session")).toObject();
        EXPECT_TRUE(session.contains(QStringLiteral("active")) && session.contains(QStringLiteral("locked"))) << line.toStdString();
    }
}

TEST_F(KestrumProbe, SaysWhetherIdleIsInhibitedAndByWhat)
{
    ASSERT_NE(startXterm(QStringLiteral("film")).window, 0u);
    LogindMock logind;
    QString error;
    ASSERT_TRUE(logind.startBus(&error) && logind.startLogind(&error)) << error.toStdString();
    QProcessEnvironment environment = session->environment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), logind.address());

    QProcess film;
    film.setProcessEnvironment(environment);
    film.start(QStringLiteral("systemd-inhibit"), {QStringLiteral("--what=idle:sleep"), QStringLiteral("--who=Film"),
                                                   QStringLiteral("--why=Playing video"), QStringLiteral("sleep"), QStringLiteral("60")});
    ASSERT_TRUE(waitUntil([&] { return !logind.inhibitors().isEmpty(); }, std::chrono::seconds(10))) << film.readAllStandardError().toStdString();

    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(KESTRUM_PROBE), {QStringLiteral("--count"), QStringLiteral("3")});
    ASSERT_TRUE(probe.waitForFinished(15000)) << "kestrum-probe did not finish";
    const QList<QByteArray> lines = probe.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    // Asked at the start, answered a moment later.
    const QJsonObject inhibition = QJsonDocument::fromJson(lines.last()).object().value(QStringLiteral("idleInhibition")).toObject();
    EXPECT_EQ(inhibition.value(QStringLiteral("inhibited")), QJsonValue(true)) << lines.last().toStdString();
    EXPECT_EQ(inhibition.value(QStringLiteral("by")).toArray(), QJsonArray{QStringLiteral("Film (Playing video)")});
    EXPECT_EQ(inhibition.value(QStringLiteral("sources")).toObject().value(QStringLiteral("logind")), QStringLiteral("inhibited"));
    film.kill();
    film.waitForFinished();
}
