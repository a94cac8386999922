// Kestrum on a real GNOME Shell, headless, as its user has it: installed with cmake --install
// into ~/.local, its extension enabled with gnome-extensions enable, and two Wayland windows in
// front in turn, one of a program with a desktop entry and one of a program without. Both
// kestrum-probe and kestrum --start name each program by its own id (never the Shell's
// "window:N", never "Unknown") and kestrum books each about the time it was in front.

#include "GnomeShellSession.h"
#include "Programs.h"
#include "Waiting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace std::chrono_literals;

namespace {

const QString kExtension = QStringLiteral("kestrum@kestrum.github.io");
const QString kEditor = QStringLiteral("org.example.Editor"); // its desktop entry names it "Example Editor"
const QString kSketch = QStringLiteral("org.example.Sketch"); // no desktop entry

QList<QJsonObject> jsonLines(const QString &text)
{
    QList<QJsonObject> lines;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8());
        if (document.isObject())
            lines.append(document.object());
    }
    return lines;
}

// A name made up for want of the program's own: the Shell's for a window without a desktop
// entry, or Kestrum's while it knows nothing of the front window.
bool madeUp(const QString &name)
{
    return name == u"Unknown" || name.startsWith(QStringLiteral("window:"));
}

QString frontName(const QJsonObject &line)
{
    return line.value(QStringLiteral("front")).toObject().value(QStringLiteral("name")).toString();
}

// The seconds of each application in the saved timings, read by Python's plistlib.
QJsonObject storedSeconds(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import json, plistlib, sys\n"
                                                       "apps = plistlib.load(open(sys.argv[1], 'rb'))['Apps']['Apps']\n"
                                                       "print(json.dumps({a['App']['Name']: a['App']['ActiveTime'] for a in apps}))"),
                  path});
    python.waitForFinished(20000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace

class OnGnomeShell : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QStringList missing = GnomeShellSession::missingPrograms();
        if (!missing.isEmpty()) {
            if (runningInCi())
                FAIL() << "missing " << missing.join(QStringLiteral(", ")).toStdString() << "; CI is set, so this test must run here";
            GTEST_SKIP() << "missing " << missing.join(QStringLiteral(", ")).toStdString();
        }
        QString error;
        ASSERT_TRUE(session.prepare(&error)) << error.toStdString();
        ASSERT_TRUE(session.install(QStringLiteral(KESTRUM_BUILD_DIR), &error)) << error.toStdString();
        ASSERT_TRUE(session.addDesktopEntry(kEditor + QStringLiteral(".desktop"), QStringLiteral("Example Editor")));
        ASSERT_TRUE(session.start(&error)) << error.toStdString();
        ASSERT_TRUE(session.enableExtension(kExtension, &error)) << error.toStdString();
        editor = session.openToplevel(kEditor, QStringLiteral("notes.txt"));
        sketch = session.openToplevel(kSketch, QStringLiteral("sketch 1"));
        ASSERT_TRUE(editor && sketch) << session.shellLog().toStdString();
    }

    GnomeShellSession session;
    QProcess *editor = nullptr;
    QProcess *sketch = nullptr;
};

TEST_F(OnGnomeShell, KestrumInstalledForItsUserNamesEachProgramByItsOwnIdAndBooksIt)
{
    // kestrum-probe follows the extension's announcements and Mutter's idle time.
    QProcess *probe = session.startProgram(QStringLiteral(KESTRUM_PROBE), {});
    ASSERT_NE(probe, nullptr);
    const auto probeNames = [&](const QString &name) {
        return waitUntil([&] { return session.logOf(probe).contains(QStringLiteral("\"name\":\"%1\"").arg(name)); }, 10s);
    };
    ASSERT_TRUE(session.focus(kEditor));
    EXPECT_TRUE(probeNames(QStringLiteral("Example Editor"))) << session.logOf(probe).toStdString();
    ASSERT_TRUE(session.focus(kSketch));
    EXPECT_TRUE(probeNames(kSketch)) << session.logOf(probe).toStdString();
    // Nothing has been typed since the Shell started: Mutter's idle time grows, and a key
    // resets it.
    ASSERT_TRUE(waitUntil([&] { return session.idleMilliseconds().value_or(0) >= 5000; }, 15s));
    runEventLoopFor(1200ms);
    ASSERT_TRUE(session.typeKey());
    EXPECT_TRUE(waitUntil([&] { return session.idleMilliseconds().value_or(60000) < 1000; }));
    runEventLoopFor(2500ms);
    stopProcess(*probe);

    const QString probed = session.logOf(probe);
    const QList<QJsonObject> lines = jsonLines(probed);
    ASSERT_GE(lines.size(), 5) << probed.toStdString();
    bool editorSeen = false;
    bool sketchSeen = false;
    qint64 mostIdle = 0;
    QStringList names;
    for (const QJsonObject &line : lines) {
        EXPECT_EQ(line.value(QStringLiteral("backend")).toString(), QStringLiteral("gnome"));
        const QString name = frontName(line);
        names.append(name);
        const QString title = line.value(QStringLiteral("window")).toObject().value(QStringLiteral("title")).toString();
        editorSeen = editorSeen || (name == u"Example Editor" && title == u"notes.txt");
        if (name == kSketch && title == u"sketch 1") {
            sketchSeen = true;
            EXPECT_EQ(line.value(QStringLiteral("front")).toObject().value(QStringLiteral("pid")).toInteger(), sketch->processId());
        }
        mostIdle = std::max(mostIdle, line.value(QStringLiteral("idleSeconds")).toInteger());
    }
    EXPECT_TRUE(editorSeen && sketchSeen) << probed.toStdString();
    EXPECT_FALSE(std::any_of(names.cbegin(), names.cend(), madeUp)) << probed.toStdString();
    EXPECT_GE(mostIdle, 5) << probed.toStdString();
    EXPECT_LE(lines.last().value(QStringLiteral("idleSeconds")).toInteger(-1), 3) << probed.toStdString();

    // kestrum --start, as its user starts it: its own window comes to the front first.
    QProcess *kestrum = session.startProgram(session.home() + QStringLiteral("/.local/bin/kestrum"), {QStringLiteral("--start")});
    ASSERT_NE(kestrum, nullptr);
    ASSERT_TRUE(waitUntil([&] { return session.focusedProcess() == kestrum->processId(); }, 20s))
        << session.logOf(kestrum).toStdString();
    ASSERT_TRUE(session.focus(kEditor));
    runEventLoopFor(2500ms);
    ASSERT_TRUE(session.focus(kSketch));
    runEventLoopFor(2500ms);
    kestrum->terminate();
    ASSERT_TRUE(kestrum->waitForFinished(10000));
    const QString log = session.logOf(kestrum);
    EXPECT_EQ(kestrum->exitCode(), 0) << log.toStdString();
    // Mutter's first answer comes a moment after the start: no failure to speak of.
    EXPECT_FALSE(log.contains(QStringLiteral("Can't find idle time"))) << log.toStdString();

    const QJsonObject seconds = storedSeconds(session.home() + QStringLiteral("/.config/Kestrum/Kestrum.plist"));
    const QString stored = QString::fromUtf8(QJsonDocument(seconds).toJson(QJsonDocument::Compact));
    EXPECT_NEAR(seconds.value(QStringLiteral("Example Editor")).toDouble(), 2.5, 1.0) << stored.toStdString();
    EXPECT_NEAR(seconds.value(kSketch).toDouble(), 2.5, 1.0) << stored.toStdString();
    EXPECT_GT(seconds.value(QStringLiteral("Kestrum")).toDouble(), 0.0) << stored.toStdString();
    const QStringList storedNames = seconds.keys();
    EXPECT_FALSE(std::any_of(storedNames.cbegin(), storedNames.cend(), madeUp)) << stored.toStdString();
    EXPECT_EQ(seconds.size(), 3) << stored.toStdString();
}
