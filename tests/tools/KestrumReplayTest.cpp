// kestrum-replay as a user runs it: the built program on scenario files of a temporary folder.

#include "FileTestSupport.h"
#include "Scenario.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ReplayRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class KestrumReplay : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_directory.filePath(name); }

    // Writes the scenario as `name` and replays it.
    ReplayRun replay(const QString &name, const QByteArray &scenario, const QStringList &options = {})
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(scenario) == scenario.size());
        file.close();
        QProcess process;
        process.setWorkingDirectory(m_directory.path());
        process.start(QStringLiteral(KESTRUM_REPLAY), options + QStringList{QStringLiteral("--csv"), file.fileName()});
        EXPECT_TRUE(process.waitForFinished(120000)) << "kestrum-replay did not finish";
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // A scenario refused as the user sees it: status 2, nothing on standard output, and one
    // line on standard error that names the file, the line and each of `words`.
    static void expectRefused(const ReplayRun &run, const QString &file, int line, const QStringList &words)
    {
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, QByteArray());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        const QString message = QString::fromUtf8(run.err);
        EXPECT_TRUE(message.contains(file)) << run.err.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral(": line %1: ").arg(line))) << run.err.toStdString();
        for (const QString &word : words)
            EXPECT_TRUE(message.contains(word)) << word.toStdString() << " not in " << run.err.toStdString();
    }

    QTemporaryDir m_directory;
};

const QByteArray kCountingInEditor = "{\"at\": 0, \"front\": {\"name\": \"Editor\", \"pid\": 101}}\n"
                                     "{\"at\": 0, \"button\": true}\n";

} // namespace

// --- times --------------------------------------------------------------------------------------

TEST_F(KestrumReplay, ATimeBeyondTenYearsIsRefusedWithItsFileLineAndValue)
{
    // Its nanoseconds would not fit in the clock's count: the run used to end at once, having
    // booked nothing, and said nothing.
    expectRefused(replay(QStringLiteral("far.jsonl"), kCountingInEditor + "{\"at\": 1e10, \"end\": true}\n"), path(QStringLiteral("far.jsonl")),
                  3, {QStringLiteral("1e+10"), QStringLiteral("ten years"), QStringLiteral("315360000")});
    // Far short of the overflow, but a run of decades of virtual seconds.
    expectRefused(replay(QStringLiteral("decades.jsonl"), kCountingInEditor + "{\"at\": 600, \"input\": true}\n{\"at\": 1e9, \"end\": true}\n"),
                  path(QStringLiteral("decades.jsonl")), 4, {QStringLiteral("1e+09"), QStringLiteral("ten years")});
}

TEST_F(KestrumReplay, NegativeAndNonFiniteTimesAreRefusedWithTheirValue)
{
    expectRefused(replay(QStringLiteral("negative.jsonl"), kCountingInEditor + "{\"at\": -5, \"end\": true}\n"),
                  path(QStringLiteral("negative.jsonl")), 3, {QStringLiteral("-5"), QStringLiteral("0 or more")});
    // JSON has no infinity: a number too large for a double is no JSON number at all.
    expectRefused(replay(QStringLiteral("infinite.jsonl"), kCountingInEditor + "{\"at\": 1e400, \"end\": true}\n"),
                  path(QStringLiteral("infinite.jsonl")), 3, {QStringLiteral("\"1e400\"")});
    expectRefused(replay(QStringLiteral("nan.jsonl"), kCountingInEditor + "{\"at\": NaN, \"end\": true}\n"),
                  path(QStringLiteral("nan.jsonl")), 3, {QStringLiteral("\"NaN\"")});
}

// --- what a run leaves in its home ---------------------------------------------------------------

TEST_F(KestrumReplay, AWeekOfVirtualTimeIsBookedToTheSecondInTheStoreAndTheHistory)
{
    const ReplayRun run = replay(QStringLiteral("week.jsonl"), kCountingInEditor + "{\"at\": 600, \"input\": true}\n{\"at\": 604800, \"end\": true}\n",
                                 {QStringLiteral("--home"), path(QStringLiteral("home"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Idle from the last input on: the rest of the week is idle time.
    EXPECT_TRUE(run.out.contains(",Editor,00:10:00,")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(",Idle,167:50:00,")) << run.out.toStdString();
    // Python's own SQLite reads the same seconds from the history on disk.
    const QString script = QStringLiteral(R"(
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
for name, seconds in db.execute('SELECT n.name, sum(s.seconds) FROM stretches s JOIN names n ON n.id = s.application '
                                'GROUP BY n.name ORDER BY n.name'):
    print(name, round(seconds, 3))
)");
    EXPECT_EQ(runPython(script, {path(QStringLiteral("home/.local/share/Kestrum/history.sqlite3"))}), "Editor 600.0\nIdle 604200.0\n");
}

TEST_F(KestrumReplay, TheSettingsFileHoldsTheTimingsOfTheRunsEnd)
{
    // Past the store timer's fifteen minutes, and on: the file holds the end, as after a quit.
    const ReplayRun run = replay(QStringLiteral("stored.jsonl"),
                                 kCountingInEditor
                                     + "{\"at\": 0, \"window\": {\"pid\": 101, \"id\": 7, \"title\": \"notes.txt\"}}\n"
                                       "{\"at\": 800, \"input\": true}\n"
                                       "{\"at\": 1000, \"front\": {\"name\": \"Terminal\", \"pid\": 202}}\n"
                                       "{\"at\": 1234, \"end\": true}\n",
                                 {QStringLiteral("--home"), path(QStringLiteral("home"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString script = QStringLiteral(R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    for entry in plistlib.load(f)['Apps']['Apps']:
        print(entry['App']['Name'], entry['App']['ActiveTime'], [(w['Name'], w['ActiveTime']) for w in entry['Windows']])
)");
    EXPECT_EQ(runPython(script, {path(QStringLiteral("home/.config/Kestrum/Kestrum.plist"))}),
              "Editor 1000.0 [('notes.txt', 1000.0)]\nTerminal 234.0 []\n");
}

TEST(ScenarioTimes, TheLongestRunIsTenYearsAndNotASecondMore)
{
    const auto parse = [](double at) {
        QString error;
        const QByteArray line = "{\"at\": " + QByteArray::number(at, 'g', 17) + ", \"end\": true}\n";
        const std::optional<Scenario> scenario = parseScenario(line, &error);
        return scenario ? QString() : error;
    };
    EXPECT_EQ(kLongestScenarioSeconds, 3650 * 86400.0);
    EXPECT_EQ(parse(kLongestScenarioSeconds), QString());
    EXPECT_NE(parse(kLongestScenarioSeconds + 1), QString());
    EXPECT_NE(parse(std::nextafter(kLongestScenarioSeconds, 1e300)), QString());
    EXPECT_EQ(parse(0), QString());
}

TEST(ScenarioTimes, IdsBeyondWhatANumberHoldsExactlyAreRefused)
{
    QString error;
    EXPECT_FALSE(parseScenario("{\"at\": 0, \"front\": {\"name\": \"Editor\", \"pid\": 1e300}}\n", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("\"pid\": integer"))) << error.toStdString();
    EXPECT_FALSE(parseScenario("{\"at\": 0, \"window\": {\"pid\": 1, \"id\": 1e19, \"title\": \"notes\"}}\n", &error));
    EXPECT_TRUE(parseScenario("{\"at\": 0, \"window\": {\"pid\": 1, \"id\": 9007199254740992, \"title\": \"notes\"}}\n", &error));
}

// --- time away ---------------------------------------------------------------------------------

TEST_F(KestrumReplay, AnAnswerWithNoTimeAwayWaitingAndMalformedAnswersAreRefusedByLine)
{
    // Read well, but nothing to answer when the run comes to it: the run fails there, saying so.
    const ReplayRun early = replay(QStringLiteral("early.jsonl"), kCountingInEditor + "{\"at\": 10, \"answerAway\": {\"label\": \"Meeting\"}}\n");
    EXPECT_EQ(early.exitCode, 1);
    EXPECT_TRUE(early.err.contains("line 3: \"answerAway\": no time away is waiting for an answer")) << early.err.toStdString();
    for (const QByteArray &wrong : {QByteArray("{\"label\": \"\"}"), QByteArray("{\"label\": \"Call\", \"keepIdle\": true}"),
                                    QByteArray("{\"label\": \"Call\", \"category\": []}"), QByteArray("{\"keepIdle\": false}")}) {
        const ReplayRun run = replay(QStringLiteral("wrong.jsonl"), kCountingInEditor + "{\"at\": 10, \"answerAway\": " + wrong + "}\n");
        expectRefused(run, QStringLiteral("wrong.jsonl"), 3, {QStringLiteral("\"answerAway\" takes")});
    }
    expectRefused(replay(QStringLiteral("inhibit.jsonl"), kCountingInEditor + "{\"at\": 10, \"inhibitIdle\": \"mpv\"}\n"),
                  QStringLiteral("inhibit.jsonl"), 3, {QStringLiteral("\"inhibitIdle\" takes a list")});
}
