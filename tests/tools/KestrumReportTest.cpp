// kestrum-report as a user runs it: the built program, in a home directory of its own.

#include "TimingStoreSupport.h"

#include "persistence/CsvExport.h"
#include "persistence/SavedState.h"
#include "persistence/SettingsStore.h"

#include <QDate>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ReportRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class KestrumReport : public TrackerTest
{
protected:
    KestrumReport()
    {
        m_environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        // The report's texts in English, also where a test sets a German locale for its numbers.
        m_environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    }

    QString path(const QString &name) const { return m_directory.filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("config/Kestrum/Kestrum.plist")); }

    ReportRun run(const QStringList &arguments, const QString &outputFile = QString())
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        process.start(QStringLiteral(KESTRUM_REPORT), arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << "kestrum-report did not finish";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // A failure as the user sees it: one line on standard error naming the file, and nothing else.
    static void expectFailureNaming(const ReportRun &result, const QString &file)
    {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QByteArray());
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.endsWith('\n')) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(file.toUtf8())) << result.err.toStdString();
    }

    // The timings of the export's worked example as Python's plistlib writes them: keys in an
    // order Kestrum never uses and whole seconds as integers.
    QString pythonDocument()
    {
        const QString file = path(QStringLiteral("python.kestrum"));
        const QString script = QStringLiteral(R"(
import plistlib, sys
def node(seconds, name): return {'ActiveTime': seconds, 'Name': name}
doc = {
    'Apps': [
        {'Windows': [node(240, 'notes'), node(600, 'report')], 'App': node(840, 'Editor')},
        {'Windows': [], 'App': node(65, 'Terminal')},
        {'App': node(3000, 'Idle'), 'Windows': []},
    ],
    'Version': '1.3',
}
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(doc, f, sort_keys=False)
)");
        runPython(script, {file});
        return file;
    }

    // The demo morning of 2026-01-05, recorded into this home's history as Kestrum records it.
    void recordTheDemoMorning(const QString &scenario = QStringLiteral(KESTRUM_DEMO_SCENARIO))
    {
        QProcess replay;
        replay.setProcessEnvironment(m_environment);
        replay.start(QStringLiteral(KESTRUM_REPLAY), {QStringLiteral("--home"), path(QStringLiteral("replayed")), scenario});
        ASSERT_TRUE(replay.waitForFinished(60000));
        ASSERT_EQ(replay.exitCode(), 0) << replay.readAllStandardError().toStdString();
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("replayed/.local/share")));
    }

    QTemporaryDir m_directory;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

const QByteArray kWorkedExampleTable = "Idle        00:50:00\n"
                                       "Editor      00:14:00\n"
                                       "    report  00:10:00\n"
                                       "    notes   00:04:00\n"
                                       "Terminal    00:01:05\n"
                                       "Total       00:15:05\n";

} // namespace

// --- what it prints ---------------------------------------------------------------------------------

TEST_F(KestrumReport, ATableOfADocumentWrittenByPython)
{
    const ReportRun result = run({pythonDocument()});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, QByteArray());
    EXPECT_EQ(result.out, kWorkedExampleTable);
}

TEST_F(KestrumReport, TheTotalIncludesIdleWhenTheSettingsSaySo)
{
    SettingsStore settings(settingsPath());
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    ASSERT_TRUE(settings.synchronize());

    const ReportRun result = run({pythonDocument()});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.endsWith("\nTotal       01:05:05\n")) << result.out.toStdString();
}

TEST_F(KestrumReport, TheCsvOutputIsTheExportFile)
{
    const QString document = pythonDocument();
    QString error;
    ASSERT_TRUE(loadSettingsFromDisk(tracker(), document, &error)) << error.toStdString();
    const QString exported = path(QStringLiteral("export.csv"));
    ASSERT_TRUE(exportCSVSet(tracker(), ExportScope::All, exported, &error)) << error.toStdString();

    const ReportRun result = run({QStringLiteral("--csv"), document});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, fileContents(exported));
    EXPECT_EQ(result.out, "Total,Per Application,,Per Window\n"
                          "00:15:05,Application,Time,Window,Time\n"
                          ",Editor,00:14:00,notes,00:04:00\n"
                          ",,,report,00:10:00\n"
                          ",Terminal,00:01:05,,\n"
                          ",Idle,00:50:00,,\n");
}

// Titles can hold anything a program puts there. On a terminal and in the CSV file none of it
// may act: no control character (but a line feed inside a quoted CSV cell) and no bidirectional
// override or isolate is let through, and the CSV is the export File > Export writes.
TEST_F(KestrumReport, HostileNamesCanNeitherDriveTheTerminalNorReorderTheLine)
{
    const QStringList hostile{QStringLiteral("csi\u009b2J"), QStringLiteral("tab\there"), QStringLiteral("del\u007f"),
                              QStringLiteral("\u202eevil.exe"), QStringLiteral("\u2067isolated"), QStringLiteral("two\nlines"),
                              QStringLiteral("cr\rhere")};
    QList<std::pair<QString, double>> windows;
    for (const QString &name : hostile)
        windows.append({name, 10});
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("esc\u0085app"), 70, windows)});
    const QString document = path(QStringLiteral("hostile.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), document, &error)) << error.toStdString();
    const auto unsafe = [](const QString &text) {
        return std::count_if(text.begin(), text.end(), [](QChar c) {
            const char16_t u = c.unicode();
            return (u < 0x20 && u != u'\n') || (u >= 0x7F && u <= 0x9F) || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        });
    };

    const ReportRun table = run({document});
    EXPECT_EQ(table.exitCode, 0) << table.err.toStdString();
    EXPECT_EQ(unsafe(QString::fromUtf8(table.out)), 0) << table.out.toStdString();
    EXPECT_EQ(table.out.count('\n'), hostile.size() + 2) << "one line per entry: " << table.out.toStdString();

    const ReportRun csv = run({QStringLiteral("--csv"), document});
    EXPECT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_EQ(unsafe(QString::fromUtf8(csv.out)), 0) << csv.out.toStdString();
    const QString exported = path(QStringLiteral("hostile.csv"));
    OfflineTracker app(settings);
    ASSERT_TRUE(loadSettingsFromDisk(app.tracker(), document, &error)) << error.toStdString();
    ASSERT_TRUE(exportCSVSet(app.tracker(), ExportScope::All, exported, &error)) << error.toStdString();
    EXPECT_EQ(csv.out, fileContents(exported));
    // Python's csv module reads one row per window, the line break kept inside its cell.
    const QByteArray rows = runPython(QStringLiteral("import csv, sys\n"
                                                     "rows = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))\n"
                                                     "print(len(rows), sum('\\n' in f for r in rows for f in r))"),
                                      {exported});
    EXPECT_EQ(rows.trimmed(), QByteArray::number(hostile.size() + 2) + " 1");
}

TEST_F(KestrumReport, AnOutputThatCannotBeWrittenIsAFailureThatSaysWhy)
{
    const ReportRun result = run({pythonDocument()}, QStringLiteral("/dev/full"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "kestrum-report: cannot write to standard output: No space left on device\n");
}

TEST_F(KestrumReport, ADocumentWrittenByKestrumReadsBack)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Browser"), 7322.9, {{QStringLiteral("Inbox"), 7200.5}, {QStringLiteral("News, \"daily\""), 122.4}}),
        entry(QStringLiteral("Grüße 🙂"), 59.99),
    });
    const QString document = path(QStringLiteral("kestrum.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), document, &error)) << error.toStdString();

    const ReportRun result = run({document});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    // Columns line up by UTF-16 code units, so the emoji (two units, two columns) fits.
    EXPECT_EQ(QString::fromUtf8(result.out), QStringLiteral("Browser            02:02:02\n"
                                                            "    Inbox          02:00:00\n"
                                                            "    News, \"daily\"  00:02:02\n"
                                                            "Grüße 🙂           00:00:59\n"
                                                            "Total              02:03:02\n"));
}

TEST_F(KestrumReport, WithoutAFileTheSavedTimingsAreRead)
{
    loadWorkedExample();
    SettingsStore settings(settingsPath());
    ASSERT_TRUE(saveSettingsToDisk(tracker(), settings));

    ReportRun result = run({});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "Editor      00:14:00\n"
                          "    report  00:10:00\n"
                          "    notes   00:04:00\n"
                          "Idle        00:05:00\n"
                          "Terminal    00:01:05\n"
                          "Total       00:15:05\n");

    result = run({QStringLiteral("--csv")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, csvForSet(tracker(), ExportScope::All).toUtf8());

    // Without XDG_CONFIG_HOME the settings are in ~/.config.
    m_environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("home/.config"))));
    ASSERT_TRUE(QDir().rename(path(QStringLiteral("config/Kestrum")), path(QStringLiteral("home/.config/Kestrum"))));
    result = run({});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.endsWith("Total       00:15:05\n")) << result.out.toStdString();
}

TEST_F(KestrumReport, TitlesCannotDriveTheTerminal)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Ev\u009Bil"), 2, {{QStringLiteral("a\x1b[31mred"), 1}, {QStringLiteral("b\x7f\u0085"), 1}})});
    const QString document = path(QStringLiteral("escape.kestrum"));
    QString error;
    ASSERT_TRUE(writeTimingDocument(tracker(), document, &error)) << error.toStdString();

    const ReportRun result = run({document});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(result.out.contains('\x1b')) << result.out.toStdString();
    EXPECT_FALSE(result.out.contains("\xc2\x9b")) << result.out.toStdString();
    EXPECT_EQ(QString::fromUtf8(result.out), QStringLiteral("Ev\uFFFDil          00:00:02\n"
                                                            "    a\uFFFD[31mred  00:00:01\n"
                                                            "    b\uFFFD\uFFFD        00:00:01\n"
                                                            "Total          00:00:02\n"));
}

TEST_F(KestrumReport, NumbersReadTheSameInAGermanLocale)
{
    const LocaleGuard guard;
    const QTemporaryDir localeDirectory;
    if (!setGermanCLocale(localeDirectory))
        GTEST_SKIP() << "no de_DE.UTF-8 locale and no locale sources to build it from";
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    if (qEnvironmentVariableIsSet("LOCPATH"))
        m_environment.insert(QStringLiteral("LOCPATH"), qEnvironmentVariable("LOCPATH"));
    QProcess probe;
    probe.setProcessEnvironment(m_environment);
    probe.start(QStringLiteral("python3"), {QStringLiteral("-c"), QStringLiteral("import locale; locale.setlocale(locale.LC_ALL, ''); "
                                                                                  "print(locale.localeconv()['decimal_point'])")});
    ASSERT_TRUE(probe.waitForFinished(60000));
    ASSERT_EQ(probe.readAllStandardOutput(), ",\n") << "the German locale does not reach child processes";

    // A reader that follows the locale would stop at the point: 0 seconds instead of 5000.
    const QString document = path(QStringLiteral("german.kestrum"));
    ASSERT_TRUE(writeRawFile(document, "<plist version=\"1.0\"><dict><key>Version</key><string>1.3</string><key>Apps</key><array>"
                                       "<dict><key>App</key><dict><key>Name</key><string>Editor</string>"
                                       "<key>ActiveTime</key><real>0.5e4</real></dict><key>Windows</key><array>"
                                       "<dict><key>Name</key><string>w</string><key>ActiveTime</key><string>0.5e4</string></dict>"
                                       "</array></dict></array></dict></plist>"));
    const ReportRun result = run({document});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "Editor  01:23:20\n"
                          "    w   01:23:20\n"
                          "Total   01:23:20\n");
}

TEST_F(KestrumReport, HelpNamesTheCsvOption)
{
    const ReportRun result = run({QStringLiteral("--help")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.contains("--csv")) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("FILE")) << result.out.toStdString();
}

// --- what it refuses ----------------------------------------------------------------------------------

TEST_F(KestrumReport, AFileWithoutTimingsIsOneLineOfError)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("folder.kestrum"))));
    const QList<std::pair<QString, QByteArray>> files{
        {QStringLiteral("text.kestrum"), "Editor,00:14:00\n"},
        {QStringLiteral("empty.kestrum"), ""},
        {QStringLiteral("truncated.kestrum"), "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<dict>\n<key>Version</key>\n"},
        {QStringLiteral("array.kestrum"), "<plist version=\"1.0\"><array/></plist>"},
        {QStringLiteral("bad number.kestrum"), "<plist version=\"1.0\"><dict><key>A</key><real>1,5</real></dict></plist>"},
    };
    QStringList names{QStringLiteral("folder.kestrum"), QStringLiteral("missing.kestrum")};
    for (const auto &[name, contents] : files) {
        ASSERT_TRUE(writeRawFile(path(name), contents));
        names.append(name);
    }
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        expectFailureNaming(run({path(name)}), path(name));
        expectFailureNaming(run({QStringLiteral("--csv"), path(name)}), path(name));
    }
}

TEST_F(KestrumReport, UnreadableSettingsAreOneLineOfErrorAndLeftAlone)
{
    expectFailureNaming(run({}), settingsPath());

    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("config/Kestrum"))));
    ASSERT_TRUE(writeRawFile(settingsPath(), "<plist version=\"1.0\"><dict>"));
    expectFailureNaming(run({}), settingsPath());
    expectFailureNaming(run({QStringLiteral("--csv")}), settingsPath());
    // Only Kestrum itself moves an unreadable settings file aside.
    EXPECT_EQ(directoryEntries(path(QStringLiteral("config/Kestrum"))), QStringList{QStringLiteral("Kestrum.plist")});
    EXPECT_EQ(fileContents(settingsPath()), "<plist version=\"1.0\"><dict>");

    // A property list that holds no settings is no more readable than a broken one.
    for (const QByteArray &contents : {QByteArray("<plist version=\"1.0\"><array><dict/></array></plist>"),
                                       QByteArray("<plist version=\"1.0\"><string>Apps</string></plist>")}) {
        ASSERT_TRUE(writeRawFile(settingsPath(), contents));
        expectFailureNaming(run({}), settingsPath());
        EXPECT_EQ(fileContents(settingsPath()), contents);
    }
}

TEST_F(KestrumReport, OneFileAtATime)
{
    const QString document = pythonDocument();
    const ReportRun result = run({document, document});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
}

// Each says which option, which value and what is wrong with it, in one line.
TEST_F(KestrumReport, DaysThatCannotBeReadAreNamedWithWhatIsWrong)
{
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QList<std::pair<QStringList, QByteArray>> cases{
        {{QStringLiteral("--from"), QStringLiteral("2026-02-30")}, "--from 2026-02-30 is no day: February 2026 has 28 days"},
        {{QStringLiteral("--from"), QStringLiteral("0000-01-01")}, "--from 0000-01-01 is before the first day there is, 0001-01-01"},
        {{QStringLiteral("--to"), QStringLiteral("10000-01-01")}, "--to 10000-01-01 is after the last day there is, 9999-12-31"},
        {{QStringLiteral("--from"), QStringLiteral("2026-13-01")}, "--from 2026-13-01 is no day: there is no month 13"},
        {{QStringLiteral("--from=5.1.2026")}, "--from 5.1.2026 is no day: days are written YYYY-MM-DD"},
        {{QStringLiteral("--from"), QStringLiteral("2025-02-01"), QStringLiteral("--to"), QStringLiteral("2025-01-01")},
         "--to 2025-01-01 is before --from 2025-02-01"},
        {{QStringLiteral("--to"), QStringLiteral("2020-01-01")},
         "--to 2020-01-01 is before the first day, today (" + today.toUtf8() + "): give --from as well"},
        {{QStringLiteral("-001-01-01")}, "-001-01-01 is no option: a day goes after --from or --to, and days start at 0001-01-01"},
        {{QStringLiteral("--by"), QStringLiteral("week")}, "--by week is no grouping: --by takes app, window, day or category"},
        {{QStringLiteral("--by"), QStringLiteral("category"), QStringLiteral("--depth"), QStringLiteral("0")},
         "--depth 0 is no depth: it takes a whole number from 1 on"},
        {{QStringLiteral("--by"), QStringLiteral("app"), QStringLiteral("--depth"), QStringLiteral("2")}, "--depth goes with --by category"},
        {{QStringLiteral("--csv"), QStringLiteral("--json")}, "--csv and --json cannot go together"},
        {{QStringLiteral("--days")}, "unknown option --days (see --help)"},
        {{QStringLiteral("notes.kestrum")},
         "notes.kestrum is not read with --history, which reads the history (" + path(QStringLiteral("data/Kestrum/history.sqlite3")).toUtf8() + ")"},
    };
    for (const auto &[arguments, message] : cases) {
        const ReportRun result = run(QStringList{QStringLiteral("--history")} + arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QByteArray());
        EXPECT_EQ(result.err, "kestrum-report: " + message + '\n');
    }
}

// The one setting the report reads: a value that is neither yes nor no is said, and the
// default (idle not in the total) is used.
TEST_F(KestrumReport, AnIdleSettingThatCannotBeReadIsToldAndTheDefaultUsed)
{
    SettingsStore settings(settingsPath());
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, QStringLiteral("sometimes"));
    ASSERT_TRUE(settings.synchronize());

    const ReportRun result = run({pythonDocument()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kWorkedExampleTable);
    EXPECT_EQ(result.err, "kestrum-report: " + settingsPath().toUtf8()
                              + ": The setting includeIdleInSumofTimes is \"sometimes\", which is neither yes nor no; no is used instead.\n");
}

// A scenario's setting is stored as Kestrum stores it; one that cannot be read is told with
// its line, and the replay goes on with the default.
TEST_F(KestrumReport, AScenarioSettingThatCannotBeReadIsToldWithItsLine)
{
    const QString scenario = path(QStringLiteral("settings.jsonl"));
    ASSERT_TRUE(writeRawFile(scenario, "{\"wall\": \"2026-01-08T18:30:00\"}\n"
                                       "{\"at\": 0, \"settings\": {\"periodicSaveTime\": \"18:45:30\", \"minutesUntilIdle\": \"ten\"}}\n"
                                       "{\"at\": 1, \"end\": true}\n"));
    // The warning as Qt logs it by default.
    m_environment.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    m_environment.remove(QStringLiteral("QT_LOGGING_RULES"));
    QProcess replay;
    replay.setProcessEnvironment(m_environment);
    replay.start(QStringLiteral(KESTRUM_REPLAY), {QStringLiteral("--home"), path(QStringLiteral("replayed")), scenario});
    ASSERT_TRUE(replay.waitForFinished(60000));
    EXPECT_EQ(replay.exitCode(), 0);
    EXPECT_EQ(replay.readAllStandardError(),
              "kestrum.replay: line 2: The setting minutesUntilIdle is \"ten\", which is no number; 15 is used instead.\n");
    SettingsStore stored(path(QStringLiteral("replayed/.config/Kestrum/Kestrum.plist")));
    ASSERT_TRUE(stored.load());
    EXPECT_EQ(stored.value(SettingsKey::PeriodicSaveTime).typeId(), QMetaType::QDateTime);
    EXPECT_EQ(stored.timeValue(SettingsKey::PeriodicSaveTime), QTime(18, 45));
    // The home and what Kestrum keeps in it are the user's alone.
    for (const QString &made : {QStringLiteral("replayed"), QStringLiteral("replayed/.config/Kestrum/Kestrum.plist")})
        EXPECT_EQ(fileMode(path(made)) & 077, 0u) << made.toStdString();
}

// --- the history ------------------------------------------------------------------------------------

TEST_F(KestrumReport, TheHistoryAScenarioRecordedHasTheStoresTotalsAndItsStretches)
{
    // The demo morning, recorded as Kestrum records it, into this home.
    QProcess replay;
    replay.setProcessEnvironment(m_environment);
    replay.start(QStringLiteral(KESTRUM_REPLAY), {QStringLiteral("--home"), path(QStringLiteral("replayed")), QStringLiteral("--csv"),
                                                  QStringLiteral(KESTRUM_DEMO_SCENARIO)});
    ASSERT_TRUE(replay.waitForFinished(60000));
    ASSERT_EQ(replay.exitCode(), 0) << replay.readAllStandardError().toStdString();
    m_environment.insert(QStringLiteral("HOME"), path(QStringLiteral("replayed")));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("replayed/.local/share")));

    const ReportRun totals = run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05"), QStringLiteral("--by"),
                                  QStringLiteral("app"), QStringLiteral("--csv")});
    ASSERT_EQ(totals.exitCode, 0) << totals.err.toStdString();
    EXPECT_EQ(totals.out, "application,seconds\nText Editor,3300.000\nIdle,2400.000\nTerminal,720.000\nWeb Browser,480.000\n");
    // The same seconds as the store, which the replay printed as its CSV export.
    const QByteArray store = replay.readAllStandardOutput();
    for (const char *row : {",Text Editor,00:55:00,", ",Terminal,00:12:00,", ",Web Browser,00:08:00,"})
        EXPECT_TRUE(store.contains(row)) << row << " not in\n" << store.toStdString();

    const ReportRun stretches = run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05"), QStringLiteral("--csv")});
    const QList<QByteArray> lines = stretches.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 7) << stretches.out.toStdString();
    EXPECT_EQ(lines.at(0), "start,end,seconds,application,window,source,device");
    EXPECT_TRUE(lines.at(1).startsWith("2026-01-05T09:00:00,2026-01-05T09:25:00,1500.000,Text Editor,report.md,recorded,")) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(5).startsWith("2026-01-05T09:55:00,2026-01-05T10:35:00,2400.000,Idle,,recorded,")) << lines.at(5).toStdString();

    const ReportRun json = run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-04"), QStringLiteral("--to"),
                                QStringLiteral("2026-01-06"), QStringLiteral("--by"), QStringLiteral("day"), QStringLiteral("--json")});
    EXPECT_EQ(json.out, "{\"day\":\"2026-01-05\",\"seconds\":6900}\n");
    const ReportRun wrong = run({QStringLiteral("--history"), QStringLiteral("--by"), QStringLiteral("week")});
    EXPECT_EQ(wrong.exitCode, 1);
}

TEST_F(KestrumReport, AHistoryThatReadsOnlyInPartIsAFailureAndNamesCannotDriveTheTerminal)
{
    // A history as Kestrum keeps it, written by Python's sqlite3: one hostile name, then three
    // thousand stretches of a working day.
    const QString history = path(QStringLiteral("data/Kestrum/history.sqlite3"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("data/Kestrum"))));
    runPython(QStringLiteral(R"(
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.executescript('''CREATE TABLE names (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE stretches (id INTEGER PRIMARY KEY, start INTEGER NOT NULL, end INTEGER NOT NULL, seconds REAL NOT NULL,
  application INTEGER NOT NULL, window INTEGER, host INTEGER NOT NULL);
CREATE INDEX stretches_by_start ON stretches(start); PRAGMA user_version=1;''')
db.executemany('INSERT INTO names VALUES (?, ?)', [(1, 'host'), (2, 'Editor'), (3, 'evil\x7f\x1b[2J\u0085\u202eexe.txt')])
start = int(sys.argv[2])
db.executemany('INSERT INTO stretches VALUES (?, ?, ?, 9.0, ?, ?, 1)',
               [(i, start + i * 9000, start + i * 9000 + 9000, 2 if i else 3, None if i else 3) for i in range(3000)])
db.commit()
)"), {history, QString::number(QDateTime(QDate(2026, 1, 5), QTime(8, 0)).toMSecsSinceEpoch())});
    const QStringList day = {QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05")};

    const ReportRun json = run(day + QStringList{QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QByteArray first = json.out.left(json.out.indexOf('\n'));
    EXPECT_TRUE(first.contains("\"application\":\"evil")) << first.toStdString();
    for (const char *control : {"\x7f", "\x1b", "\xc2\x85", "\xe2\x80\xae"})
        EXPECT_FALSE(first.contains(control)) << first.toStdString();

    // Four pages of the file overwritten: the report fails rather than print a part as the day.
    runPython(QStringLiteral(R"(
import os, sys
with open(sys.argv[1], 'r+b') as f:
    f.seek(os.path.getsize(sys.argv[1]) // 8192 * 4096)
    f.write(os.urandom(4 * 4096))
)"), {history});
    const ReportRun damaged = run(day + QStringList{QStringLiteral("--by"), QStringLiteral("day")});
    expectFailureNaming(damaged, history);
    EXPECT_TRUE(damaged.err.contains("malformed")) << damaged.err.toStdString();
}

TEST_F(KestrumReport, TheHistoryByCategoryFollowsTheFirstRuleThatMatchesAndSaysWhatItCouldNotUse)
{
    ASSERT_NO_FATAL_FAILURE(recordTheDemoMorning());
    // Written by hand, with a fault on each of lines 5, 6, 8 and 9 and a key of a later version.
    const QByteArray categories = R"({"version": 1,
 "categories": [{"path": ["Work", "Kestrum"], "colour": "#3d7edb"},
                {"path": ["Work", "Docs"]},
                {"path": ["Web"], "colour": "#2e9e6a"},
                {"path": ["Work", "Kestrum"]},
                {"path": ["Games"], "colour": "blue"}],
 "rules": [{"category": ["Work", "Kestrum"], "field": "window", "match": "contains", "pattern": "NOTES"},
           {"category": ["Work", "Docs"], "field": "either", "match": "regex", "pattern": "(unclosed"},
           {"category": ["Play"], "field": "application", "match": "is", "pattern": "Web Browser"},
           {"category": ["Work", "Docs"], "field": "either", "match": "regex", "pattern": "documentation|report"},
           {"category": ["Web"], "field": "application", "match": "is", "pattern": "web browser"}],
 "later": {"kept": true}}
)";
    const QString file = path(QStringLiteral("config/Kestrum/categories.json"));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("config/Kestrum"))));
    ASSERT_TRUE(writeRawFile(file, categories));
    const auto history = [this](QStringList arguments) {
        return run(QStringList{QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05")} + arguments);
    };

    const ReportRun tree = history({QStringLiteral("--by"), QStringLiteral("category"), QStringLiteral("--csv")});
    ASSERT_EQ(tree.exitCode, 0) << tree.err.toStdString();
    // The report's own notes on wrong words, the Web Browser in the docs by rule 4 before rule 5,
    // parents holding their children, and as much time in all as the applications have (6,900 s).
    EXPECT_EQ(tree.out, "category,seconds\nWork,3780.000\nWork \u25B8 Docs,1980.000\nWork \u25B8 Kestrum,1800.000\n"
                        "Idle,2400.000\nUncategorized,720.000\n");
    for (const char *line : {"categories.json line 5: category \"Work \u25B8 Kestrum\" is listed twice",
                             "categories.json line 6: category \"Games\" has no colour",
                             "categories.json line 8: rule 2 is not used: its pattern is no regular expression: missing closing parenthesis",
                             "categories.json line 9: rule 3 is not used: its category \"Play\" is not in the list"})
        EXPECT_TRUE(tree.err.contains(line)) << line << " not in\n" << tree.err.toStdString();
    EXPECT_EQ(fileContents(file), categories) << "the user's file is never rewritten by reading it";

    EXPECT_EQ(history({QStringLiteral("--by"), QStringLiteral("category"), QStringLiteral("--depth"), QStringLiteral("1"), QStringLiteral("--json")}).out,
              "{\"category\":\"Work\",\"seconds\":3780}\n{\"category\":\"Idle\",\"seconds\":2400}\n{\"category\":\"Uncategorized\",\"seconds\":720}\n");
    EXPECT_EQ(history({QStringLiteral("--by"), QStringLiteral("app"), QStringLiteral("--category"), QStringLiteral("Work/Docs"), QStringLiteral("--csv")}).out,
              "application,seconds\nText Editor,1500.000\nWeb Browser,480.000\n");
    const ReportRun explained = history({QStringLiteral("--explain"), QStringLiteral("--category"), QStringLiteral("Work \u25B8 Docs")});
    EXPECT_EQ(explained.out,
              "2026-01-05T09:00:00  09:25:00    00:25:00  Text Editor  report.md  [Work \u25B8 Docs: rule 4: either matches \"documentation|report\"]\n"
              "2026-01-05T09:47:00  09:55:00    00:08:00  Web Browser  Qt Documentation  [Work \u25B8 Docs: rule 4: either matches \"documentation|report\"]\n");
}

TEST_F(KestrumReport, ATimesheetAndACalendarOfTheHistoryReadBackByIndependentReaders)
{
    ASSERT_NO_FATAL_FAILURE(recordTheDemoMorning());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("config/Kestrum"))));
    // The editor in "Work ▸ Writing", the browser in "Work ▸ Reading", the terminal in
    // a category whose name the calendar must escape and fold across lines.
    ASSERT_TRUE(writeRawFile(path(QStringLiteral("config/Kestrum/categories.json")), R"({"version": 1,
 "categories": [{"path": ["Work", "Writing"]}, {"path": ["Work", "Reading"]}, {"path": ["Build; tests, and \"more\": make, ctest, valgrind \u2014 \u00fcn\u00efc\u00f6d\u00e9 \u4e2d\u6587 \u0627\u0644\u0639\u0631\u0628\u064a\u0629"]}],
 "rules": [{"category": ["Work", "Writing"], "field": "application", "match": "is", "pattern": "Text Editor"},
           {"category": ["Work", "Reading"], "field": "application", "match": "is", "pattern": "Web Browser"},
           {"category": ["Build; tests, and \"more\": make, ctest, valgrind \u2014 \u00fcn\u00efc\u00f6d\u00e9 \u4e2d\u6587 \u0627\u0644\u0639\u0631\u0628\u064a\u0629"], "field": "either", "match": "contains", "pattern": "make"}]})"));

    const ReportRun sheet = run({QStringLiteral("--timesheet"), QStringLiteral("--from"), QStringLiteral("2026-01-04"), QStringLiteral("--to"),
                                 QStringLiteral("2026-01-05"), QStringLiteral("--csv")});
    ASSERT_EQ(sheet.exitCode, 0) << sheet.err.toStdString();
const QByteArray build = "Build; tests, and \"more\": make, ctest, valgrind \u2014 \u00fcn\u00efc\u00f6d\u00e9 \u4e2d\u6587 \u0627\u0644\u0639\u0631\u0628\u064a\u0629";
    const QString sheetFile = path(QStringLiteral("sheet.csv"));
    ASSERT_TRUE(writeRawFile(sheetFile, sheet.out));
    const QByteArray rows = runPython(QStringLiteral(R"(
import csv, sys
for row in csv.reader(open(sys.argv[1], newline='')): print('|'.join(row))
)"), {sheetFile});
    EXPECT_EQ(rows, QByteArray("category|2026-01-04|2026-01-05|total\n"
                               "Work|0.000|3780.000|3780.000\nWork \u25B8 Writing|0.000|3300.000|3300.000\nWork \u25B8 Reading|0.000|480.000|480.000\n"
                               "Idle|0.000|2400.000|2400.000\n") + build + "|0.000|720.000|720.000\nTotal|0.000|6900.000|6900.000\n")
        << sheet.out.toStdString();
    const ReportRun byApplication = run({QStringLiteral("--timesheet"), QStringLiteral("--by"), QStringLiteral("app"), QStringLiteral("--from"),
                                         QStringLiteral("2026-01-05")});
    EXPECT_TRUE(byApplication.out.startsWith("Application  2026-01-05       Total\nText Editor    00:55:00    00:55:00\n"))
        << byApplication.out.toStdString();
    EXPECT_TRUE(byApplication.out.endsWith("Total          01:55:00    01:55:00\n")) << byApplication.out.toStdString();

    // The morning as a calendar: the editor's 09:00-09:35 and 10:35-10:55 are apart by more than
    // the idle threshold, so they are two events; idle time is none.
    const QString calendar = path(QStringLiteral("morning.ics"));
    const ReportRun ical = run({QStringLiteral("--ical"), QStringLiteral("--from"), QStringLiteral("2026-01-05")}, calendar);
    ASSERT_EQ(ical.exitCode, 0) << ical.err.toStdString();
    const QByteArray events = runPython(QStringLiteral(R"(
import icalendar, sys
calendar = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
for event in calendar.walk('VEVENT'):
    print(event.decoded('dtstart').isoformat(), event.decoded('dtend').isoformat(), str(event['summary']), '/', str(event['description']).replace('\n', ' + '))
)"), {calendar});
    const auto local = [](int hour, int minute) {
        return QDateTime(QDate(2026, 1, 5), QTime(hour, minute)).toUTC().toString(Qt::ISODate).replace(u'Z', QStringLiteral("+00:00")).toUtf8();
    };
    EXPECT_EQ(events, local(9, 0) + ' ' + local(9, 35) + " Work \u25B8 Writing / Text Editor 00:35:00\n"
                    + local(9, 35) + ' ' + local(9, 47) + ' ' + build + " / Terminal 00:12:00\n"
                    + local(9, 47) + ' ' + local(9, 55) + " Work \u25B8 Reading / Web Browser 00:08:00\n"
                    + local(10, 35) + ' ' + local(10, 55) + " Work \u25B8 Writing / Text Editor 00:20:00\n");
}

TEST_F(KestrumReport, AnsweredTimeAwayIsMarkedInTheHistorysCsvAndJsonAndSortedIntoItsCategory)
{
    ASSERT_NO_FATAL_FAILURE(recordTheDemoMorning(QStringLiteral(KESTRUM_SCENARIOS_DIR "/time-away.jsonl")));
    const QString stretches = path(QStringLiteral("stretches.csv"));
    ASSERT_EQ(run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05"), QStringLiteral("--csv")}, stretches).exitCode, 0);
    const QByteArray rows = runPython(QStringLiteral(R"(
import csv, sys
for row in csv.DictReader(open(sys.argv[1], newline='')):
    print(row['application'], row['seconds'], row['source'])
)"), {stretches});
    EXPECT_EQ(rows, "Editor 600.000 recorded\nMeeting 1801.000 answered\nEditor 599.000 recorded\nVideos 2500.000 recorded\n"
                    "Editor 500.000 recorded\nIdle 3601.000 recorded\nEditor 99.000 recorded\n");

    const ReportRun json = run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05"), QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject meeting = QJsonDocument::fromJson(json.out.split('\n').at(1)).object();
    EXPECT_EQ(meeting.value(QStringLiteral("source")), QStringLiteral("answered"));
    EXPECT_EQ(meeting.value(QStringLiteral("recorded")), QStringLiteral("Idle"));

    // The category chosen with the answer decides, and each second is counted once.
    const ReportRun categories = run({QStringLiteral("--history"), QStringLiteral("--from"), QStringLiteral("2026-01-05"), QStringLiteral("--by"),
                                      QStringLiteral("category"), QStringLiteral("--csv")});
    EXPECT_TRUE(categories.out.contains("Work \u25B8 Meetings,1801.000\n")) << categories.out.toStdString();
}
