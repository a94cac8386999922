// kestrum-report: prints saved timings in a terminal, as a table or as the CSV export.

#include "DayRange.h"
#include "categories/CategoriesFile.h"
#include "categories/Classifier.h"
#include "HistoryReport.h"
#include "i18n/Translations.h"
#include "common/StandardOutput.h"
#include "persistence/CsvExport.h"
#include "persistence/SavedState.h"
#include "persistence/SettingsStore.h"
#include "persistence/TimingTable.h"
#include "store/SafeText.h"
#include "sync/DeviceIdentity.h"
#include "sync/SharedCategories.h"
#include "sync/SharedFolder.h"
#include "tracking/MemorySettings.h"
#include "tracking/OfflineTracker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace {

// One line on standard error; `reason` names the file.
int fail(const QString &reason)
{
    // not translated: the program's name, then its message
    std::fprintf(stderr, "kestrum-report: %s\n", qPrintable(reason));
    return 1;
}

// What is wrong with the command line. An unknown option is named as it was typed.
QString commandLineProblem(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString name = unknown.constFirst();
    QString typed = QStringLiteral("--") + name;
    for (const QString &argument : arguments.mid(1)) {
        const QString option = argument.section(u'=', 0, 0);
        if (option == u'-' + name || option == QStringLiteral("--") + name) {
            typed = option;
            break;
        }
    }
    // A negative year looks like an option.
    static const QRegularExpression dayLike(QStringLiteral("^-[0-9]+-[0-9]+-[0-9]+$"));
    if (dayLike.match(typed).hasMatch())
        return QCoreApplication::translate("KestrumReport",
                                           "%1 is no option: a day goes after --from or --to, and days start at 0001-01-01")
            .arg(typed);
    return QCoreApplication::translate("KestrumReport", "unknown option %1 (see --help)").arg(escapedText(typed));
}

// Takes the user's value of `key` from the settings file's `values` into `settings`, saying so
// when it cannot be read as its kind (the default is used then).
void takeSetting(const PropertyListDictionary &values, const QString &key, MemorySettings *settings)
{
    if (!values.contains(key))
        return;
    settings->setValue(key, values.value(key));
    const QString problem = unreadableSettingWarning(*settings, key);
    if (!problem.isEmpty())
        // not translated: the program's name, then its message
        std::fprintf(stderr, "kestrum-report: %s: %s\n", qPrintable(SettingsStore::defaultPath()), qPrintable(problem));
}

// What the settings say of sharing the history with the user's other computers.
MemorySettings sharingSettings()
{
    const PropertyListResult file = PropertyList::readFile(SettingsStore::defaultPath());
    MemorySettings settings;
    for (const QString &key : {SettingsKey::SharedFolder, SettingsKey::DeviceName, SettingsKey::ShareWindowTitles,
                               SettingsKey::CategoriesInSharedFolder})
        takeSetting(file.value.value<PropertyListDictionary>(), key, &settings);
    return settings;
}

// The settings file's idle threshold: runs of one category closer than it are one event.
qint64 idleThresholdMs()
{
    const PropertyListResult file = PropertyList::readFile(SettingsStore::defaultPath());
    MemorySettings settings;
    takeSetting(file.value.value<PropertyListDictionary>(), SettingsKey::MinutesUntilIdle, &settings);
    return std::max<qint64>(settings.integerValue(SettingsKey::MinutesUntilIdle), 1) * 60 * 1000;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    installTranslations(app);
    QCoreApplication::setApplicationName(QStringLiteral("kestrum-report"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("KestrumReport",
                                    "Prints the timings of a Kestrum timing document, or with no FILE those Kestrum saved last\n"
                                    "(in %1): applications longest first with their windows beneath, and the total.")
            .arg(SettingsStore::defaultPath()));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption csvOption(
        QStringLiteral("csv"), QCoreApplication::translate("KestrumReport", "Print the CSV export of all applications instead of the table."));
    parser.addOption(csvOption);
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        QCoreApplication::translate("KestrumReport", "Print the stretches of the history (%1) instead, each marked as recorded, added, "
                                                     "answered or corrected.")
            .arg(HistoryDatabase::defaultPath()));
    const QCommandLineOption byOption(
        QStringLiteral("by"),
        QCoreApplication::translate("KestrumReport",
                                    "With --history: totals by app, window, day or category (the categories and rules of %1).")
            .arg(CategoriesFile::defaultPath()),
        QStringLiteral("app|window|day|category")); // not translated: the values --by takes
    const QCommandLineOption depthOption(QStringLiteral("depth"),
                                         QCoreApplication::translate("KestrumReport", "With --by category: the tree folded to N levels."),
                                         QCoreApplication::translate("KestrumReport", "N", "value name of --depth in --help"));
    const QCommandLineOption categoryOption(
        QStringLiteral("category"),
        QCoreApplication::translate("KestrumReport", "With --history: only the time of this category and those beneath it."),
        QStringLiteral("\"A \u25B8 B\"|A/B")); // not translated: the two forms of a category path, A and B its names
    const QCommandLineOption explainOption(
        QStringLiteral("explain"), QCoreApplication::translate("KestrumReport", "With --history and no --by: each stretch's category and the rule or "
                                                                                "assignment that put it there."));
    const QCommandLineOption fromOption(
        QStringLiteral("from"), QCoreApplication::translate("KestrumReport", "With --history: the first day (default today)."),
        QCoreApplication::translate("KestrumReport", "YYYY-MM-DD", "value name of --from and --to in --help: how a day is written"));
    const QCommandLineOption toOption(
        QStringLiteral("to"), QCoreApplication::translate("KestrumReport", "With --history: the last day (default the first)."),
        QCoreApplication::translate("KestrumReport", "YYYY-MM-DD", "value name of --from and --to in --help: how a day is written"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QCoreApplication::translate("KestrumReport", "With --history: JSON Lines instead of the table."));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QCoreApplication::translate("KestrumReport", "With --history: the time of one computer (its name or id), of this one (this) "
                                                     "or of all (all: the default once the shared folder holds others)."),
        QCoreApplication::translate("KestrumReport", "NAME|ID|all|this",
                                    "value name of --device in --help; all and this are typed as they are"));
    const QCommandLineOption timesheetOption(
        QStringLiteral("timesheet"),
        QCoreApplication::translate("KestrumReport", "The history's days as columns and its categories (--by app: applications) as rows, "
                                                     "with totals."));
    const QCommandLineOption icalOption(
        QStringLiteral("ical"),
        QCoreApplication::translate("KestrumReport", "The history as an iCalendar file: an event per run of time in one category."));
    parser.addOptions({historyOption, byOption, depthOption, categoryOption, explainOption, timesheetOption, icalOption, fromOption,
                       toOption, jsonOption, deviceOption});
    parser.addPositionalArgument(QCoreApplication::translate("KestrumReport", "FILE", "name of the argument in --help"),
                                 QCoreApplication::translate("KestrumReport", "A timing document (.kestrum)."),
                                 QCoreApplication::translate("KestrumReport", "[FILE]", "the argument in the usage line of --help"));
    // "-001-01-01" is then one unknown option, not the options "0", "0", "1", "-" and so on.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QStringList arguments = QCoreApplication::arguments();
    if (!parser.parse(arguments))
        return fail(commandLineProblem(parser, arguments));
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp();
    if (parser.isSet(historyOption) || parser.isSet(timesheetOption) || parser.isSet(icalOption)) {
        if (!parser.positionalArguments().isEmpty()) {
            return fail(QCoreApplication::translate("KestrumReport", "%1 is not read with --history, which reads the history (%2)")
                            .arg(escapedText(parser.positionalArguments().constFirst()), HistoryDatabase::defaultPath()));
        }
        if (parser.isSet(csvOption) && parser.isSet(jsonOption))
            return fail(QCoreApplication::translate("KestrumReport", "--csv and --json cannot go together"));
        const auto optionalValue = [&parser](const QCommandLineOption &option) {
            return parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt;
        };
        QString error;
        const std::optional<DayRange> days = dayRange(optionalValue(fromOption), optionalValue(toOption), QDate::currentDate(), &error);
        if (!days)
            return fail(error);
        HistoryReport report;
        report.from = days->first;
        report.to = days->last;
        if (parser.isSet(byOption)) {
            const QString by = parser.value(byOption);
            if (by == u"app")
                report.by = HistoryDatabase::Grouping::Application;
            else if (by == u"window")
                report.by = HistoryDatabase::Grouping::Window;
            else if (by == u"day")
                report.by = HistoryDatabase::Grouping::Day;
            else if (by == u"category")
                report.byCategory = true;
            else
                return fail(QCoreApplication::translate("KestrumReport", "--by %1 is no grouping: --by takes app, window, day or category").arg(escapedText(by)));
        }
        report.timesheet = parser.isSet(timesheetOption);
        report.calendar = parser.isSet(icalOption);
        if (report.timesheet && report.calendar)
            return fail(QCoreApplication::translate("KestrumReport", "--timesheet and --ical cannot go together"));
        if (report.timesheet && report.by && *report.by != HistoryDatabase::Grouping::Application)
            return fail(QCoreApplication::translate("KestrumReport", "--timesheet takes --by category or --by app"));
        if (report.timesheet && parser.isSet(jsonOption))
            return fail(QCoreApplication::translate("KestrumReport", "--timesheet prints a table, or CSV with --csv"));
        if (report.calendar && (parser.isSet(byOption) || parser.isSet(csvOption) || parser.isSet(jsonOption) || parser.isSet(explainOption)))
            return fail(QCoreApplication::translate("KestrumReport", "--ical goes with --from, --to and --category alone"));
        if (report.timesheet && !report.by)
            report.byCategory = true;
        if (parser.isSet(depthOption)) {
            bool number = false;
            report.depth = parser.value(depthOption).toInt(&number);
            if (!report.byCategory)
                return fail(QCoreApplication::translate("KestrumReport", "--depth goes with --by category"));
            if (!number || report.depth < 1)
                return fail(QCoreApplication::translate("KestrumReport", "--depth %1 is no depth: it takes a whole number from 1 on").arg(escapedText(parser.value(depthOption))));
        }
        if (report.calendar)
            report.joinGapMs = idleThresholdMs();
        if (parser.isSet(explainOption) && (parser.isSet(byOption) || report.timesheet))
            return fail(QCoreApplication::translate("KestrumReport", "--explain goes with the stretches, not with --by"));
        report.explain = parser.isSet(explainOption);
        // The categories as Kestrum uses them: what cannot be used is said and left out.
        QStringList problems;
        // The categories every computer shares, once they are kept in the shared folder.
        const MemorySettings sharing = sharingSettings();
        const QString categoriesPath = SharedCategories::pathFor(sharing, CategoriesFile::defaultPath());
        report.categories = CategoriesFile::read(categoriesPath, &problems);
        for (const QString &problem : std::as_const(problems))
            // not translated: the program's name, then its message
            std::fprintf(stderr, "kestrum-report: %s\n", qPrintable(problem));
        if (parser.isSet(categoryOption)) {
            report.within = categoryPathFromText(parser.value(categoryOption));
            if (report.within.isEmpty())
                return fail(QCoreApplication::translate("KestrumReport", "--category %1 names no category").arg(escapedText(parser.value(categoryOption))));
            const bool known = report.categories.category(report.within) || report.within == CategoryPath{Classifier::kUncategorized}
                            || report.within == CategoryPath{Classifier::kIdle};
            if (!known) {
                const QString note = QCoreApplication::translate("KestrumReport",
                                                                 "%1 is not among the categories of %2; only time assigned to it is shown")
                                         .arg(categoryPathText(report.within), categoriesPath);
                // not translated: the program's name, then its message
                std::fprintf(stderr, "kestrum-report: %s\n", qPrintable(note));
            }
        }
        report.device = parser.value(deviceOption);
        // The other computers' latest days are imported first, once this computer has an id.
        report.thisComputer = sharing.value(SettingsKey::DeviceName).toString();
        report.thisId = DeviceIdentity::peek(DeviceIdentity::defaultPath());
        report.shared = SharedFolder::fromSettings(sharing, report.thisId);
        report.format = parser.isSet(csvOption)  ? HistoryReport::Format::Csv
                      : parser.isSet(jsonOption) ? HistoryReport::Format::JsonLines
                                                 : HistoryReport::Format::Table;
        QByteArray output;
        QStringList notes;
        const bool printed = report.print(HistoryDatabase::defaultPath(), &output, &error, &notes);
        for (const QString &note : std::as_const(notes))
            // not translated: the program's name, then its message
            std::fprintf(stderr, "kestrum-report: %s\n", qPrintable(note));
        if (!printed)
            return fail(error);
        return writeStandardOutput("kestrum-report", output);
    }
    if (parser.isSet(byOption) || parser.isSet(fromOption) || parser.isSet(toOption) || parser.isSet(jsonOption)
        || parser.isSet(depthOption) || parser.isSet(categoryOption) || parser.isSet(explainOption) || parser.isSet(deviceOption))
        return fail(QCoreApplication::translate("KestrumReport", "--by, --depth, --category, --explain, --device, --from, --to and --json go with --history"));
    if (parser.positionalArguments().size() > 1)
        return fail(QCoreApplication::translate("KestrumReport", "only one FILE can be read (see --help)"));

    // The user's settings decide whether "Idle" counts in the total; unreadable settings are
    // left untouched here (only Kestrum itself moves them aside).
    SettingsStore settings;
    const PropertyListResult settingsFile = PropertyList::readFile(settings.path());
    const PropertyListDictionary userValues = settingsFile.value.value<PropertyListDictionary>();
    MemorySettings readSettings;
    takeSetting(userValues, SettingsKey::IncludeIdleInSumOfTimes, &readSettings);

    QVariant timings;
    if (parser.positionalArguments().isEmpty()) {
        if (!QFileInfo::exists(settings.path()))
            return fail(QCoreApplication::translate("KestrumReport", "no timings saved yet (%1 does not exist)").arg(settings.path()));
        if (!settingsFile.ok())
            return fail(settingsFile.error);
        // Kestrum itself counts such a file as unreadable and starts from the defaults.
        if (!settingsFile.value.canConvert<PropertyListDictionary>())
            return fail(QCoreApplication::translate("KestrumReport", "%1 holds no settings").arg(settings.path()));
        timings = userValues.value(SettingsKey::Apps);
    } else {
        const QString file = parser.positionalArguments().constFirst();
        const PropertyListResult document = readTimingDocument(file);
        if (!document.ok())
            return fail(document.error);
        timings = document.value;
    }

    OfflineTracker offline(readSettings);
    TimeTracker &tracker = offline.tracker();
    loadDictionary(tracker, timings);

    QString output;
    if (parser.isSet(csvOption)) {
        output = csvForSet(tracker, ExportScope::All);
    } else {
        output = timingTable(tracker);
    }
    return writeStandardOutput("kestrum-report", output.toUtf8());
}
