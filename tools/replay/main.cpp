// kestrum-replay: runs a scenario against the real controller on a fake desktop and virtual
// time, and prints the resulting timings.

#include "common/StandardOutput.h"
#include "Scenario.h"
#include "ScenarioRunner.h"
#include "i18n/Translations.h"
#include "persistence/AtomicFile.h"
#include "persistence/CsvExport.h"
#include "persistence/PropertyList.h"
#include "persistence/SavedState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

int fail(int status, const QString &message)
{
    // not translated: the program's name, then its message
    std::fprintf(stderr, "kestrum-replay: %s\n", qPrintable(message));
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    installTranslations(app);
    QCoreApplication::setApplicationName(QStringLiteral("kestrum-replay"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "KestrumReplay",
        "Runs a Kestrum scenario (JSON Lines of timed actions) against the real controller on a\n"
        "scripted desktop and virtual time, and prints the resulting timings as a timing document."));
    parser.addHelpOption();
    const QCommandLineOption csvOption(QStringLiteral("csv"),
                                       QCoreApplication::translate("KestrumReplay", "Print the CSV export of all applications instead."));
    const QCommandLineOption homeOption(
        QStringLiteral("home"), QCoreApplication::translate("KestrumReplay", "Run as if DIR were the home directory (default: a temporary one)."),
        QCoreApplication::translate("KestrumReplay", "DIR", "value name of --home in --help"));
    parser.addOption(csvOption);
    parser.addOption(homeOption);
    parser.addPositionalArgument(QCoreApplication::translate("KestrumReplay", "SCENARIO", "name of the argument in --help"),
                                 QCoreApplication::translate("KestrumReplay", "The scenario file (.jsonl)."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        return fail(2, QCoreApplication::translate("KestrumReplay", "give one SCENARIO file (see --help)"));

    const QString scenarioPath = parser.positionalArguments().constFirst();
    QFile file(scenarioPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(2, QStringLiteral("%1: %2").arg(scenarioPath, file.errorString()));
    QString error;
    const std::optional<Scenario> scenario = parseScenario(file.readAll(), &error);
    if (!scenario)
        return fail(2, QStringLiteral("%1: %2").arg(scenarioPath, error));

    std::unique_ptr<QTemporaryDir> temporaryHome;
    QString home = parser.value(homeOption);
    if (home.isEmpty()) {
        temporaryHome = std::make_unique<QTemporaryDir>();
        if (!temporaryHome->isValid())
            return fail(1, QCoreApplication::translate("KestrumReplay", "cannot make a temporary home directory: %1").arg(temporaryHome->errorString()));
        home = temporaryHome->path();
    }
    // The home holds what Kestrum records: the folders made for it are the user's alone.
    if (!makePrivateDirectory(QDir(home).absolutePath(), &error))
        return fail(1, QCoreApplication::translate("KestrumReplay", "cannot use %1 as the home directory: %2").arg(home, error));
    ScenarioRunner::useHome(QDir(home).absolutePath());

    ScenarioRunner runner(*scenario);
    // With a home of its own choosing the history is recorded there, as Kestrum records it,
    // on the scenario's wall clock.
    if (!temporaryHome)
        runner.recordHistory(HistoryDatabase::defaultPath());
    if (!runner.run(&error))
        return fail(1, QStringLiteral("%1: %2").arg(scenarioPath, error));

    TimeTracker &tracker = runner.controller().tracker();
    QByteArray output;
    if (parser.isSet(csvOption)) {
        output = csvForSet(tracker, ExportScope::All).toUtf8();
    } else if (!PropertyList::serialize(QVariant::fromValue(wrappedDictionaryWithVersioning(tracker)), &output, &error)) {
        return fail(1, error);
    }
    return writeStandardOutput("kestrum-replay", output);
}
