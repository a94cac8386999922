// The CSV export: its layout, quoting and formula guarding, and the file it writes.

#include "TimingStoreSupport.h"

#include "persistence/CsvExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kHeader = QStringLiteral("Total,Per Application,,Per Window\n");

class CsvExport : public TrackerTest
{
protected:
    QString path(const QString &name) const { return m_directory.filePath(name); }

    QString exportAll() { return csvForSet(tracker(), ExportScope::All); }

    // The name as the field it becomes, for an application and for a window.
    void expectNameField(const QString &name, const QString &field)
    {
        EXPECT_EQ(csvNameField(name), field) << name.toStdString();
        tracker().reset();
        tracker().setArrayRepresentation(QVariantList{entry(name, 2), entry(QStringLiteral("Other"), 1, {{name, 1}})});
        EXPECT_EQ(exportAll(), kHeader + QStringLiteral("00:00:03,Application,Time,Window,Time\n,") + field
                                   + QStringLiteral(",00:00:02,,\n,Other,00:00:01,") + field + QStringLiteral(",00:00:01\n"))
            << name.toStdString();
    }
    QString exportShown() { return csvForSet(tracker(), ExportScope::Shown); }

    // The data lines: everything after the two header lines.
    QStringList dataLines(const QString &csv) const
    {
        QStringList lines = csv.split(u'\n');
        EXPECT_EQ(lines.takeLast(), QString()) << "the last line has no line feed";
        return lines.mid(2);
    }

    // Python's csv module's reading of a file, as rows of fields.
    static QList<QStringList> pythonRows(const QString &file)
    {
        const QString script = QStringLiteral(R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps(list(csv.reader(f, strict=True))))
)");
        QList<QStringList> rows;
        for (const QJsonValue &row : QJsonDocument::fromJson(runPython(script, {file})).array()) {
            QStringList fields;
            for (const QJsonValue &field : row.toArray())
                fields.append(field.toString());
            rows.append(fields);
        }
        return rows;
    }

    QTemporaryDir m_directory;
};

} // namespace

// --- layout ---------------------------------------------------------------------------------------------

TEST_F(CsvExport, TheWorkedExample)
{
    loadWorkedExample();
    EXPECT_EQ(exportAll(), QStringLiteral("Total,Per Application,,Per Window\n"
                                          "00:15:05,Application,Time,Window,Time\n"
                                          ",Editor,00:14:00,report,00:10:00\n"
                                          ",,,notes,00:04:00\n"
                                          ",Terminal,00:01:05,,\n"
                                          ",Idle,00:05:00,,\n"));

    // With "Idle" in the total, only the total changes.
    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    EXPECT_TRUE(exportAll().startsWith(kHeader + QStringLiteral("00:20:05,Application,Time,Window,Time\n")));
}

TEST_F(CsvExport, AnEmptySetGivesTheTwoHeaderLines)
{
    EXPECT_EQ(exportAll(), kHeader + QStringLiteral("00:00:00,Application,Time,Window,Time\n"));
    // The total is that of what is listed.
    loadWorkedExample();
    tracker().setSearchString(QStringLiteral("nothing"));
    EXPECT_EQ(exportShown(), kHeader + QStringLiteral("00:00:00,Application,Time,Window,Time\n"));
}

TEST_F(CsvExport, OneLinePerWindowAndOnlyTheFirstNamesTheApplication)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("None"), 0),
        entry(QStringLiteral("Three"), 3723, {{QStringLiteral("a"), 1}, {QStringLiteral("b"), 60}, {QStringLiteral("c"), 3600}}),
        entry(QStringLiteral("One"), 59.99, {{QStringLiteral("only"), 59.99}}),
        entry(QStringLiteral("Long"), 360000, {{QStringLiteral("week"), 3600 * 1000 + 0.5}}),
    });
    EXPECT_EQ(dataLines(exportAll()), QStringList({
                                          QStringLiteral(",None,00:00:00,,"),
                                          QStringLiteral(",Three,01:02:03,a,00:00:01"),
                                          QStringLiteral(",,,b,00:01:00"),
                                          QStringLiteral(",,,c,01:00:00"),
                                          QStringLiteral(",One,00:00:59,only,00:00:59"),
                                          QStringLiteral(",Long,100:00:00,week,1000:00:00"),
                                      }));
}

TEST_F(CsvExport, TheShownExportListsWhatTheOutlineShows)
{
    loadWorkedExample();
    tracker().setSearchString(QStringLiteral("EDIT"));
    tracker().setCutoffTime(800);
    EXPECT_EQ(exportShown(), kHeader + QStringLiteral("00:14:00,Application,Time,Window,Time\n"
                                                      ",Editor,00:14:00,report,00:10:00\n"
                                                      ",,,notes,00:04:00\n"));
    // The full export is not filtered.
    EXPECT_EQ(dataLines(exportAll()).size(), 4);
    // Found by a window, an application lists that window alone, as the outline does.
    tracker().setSearchString(QStringLiteral("NOTES"));
    EXPECT_EQ(dataLines(exportShown()), QStringList{QStringLiteral(",Editor,00:14:00,notes,00:04:00")});
}

// --- quoting and formula guarding ---------------------------------------------------------------------------

TEST_F(CsvExport, NamesWithSeparatorsAreQuotedAndOthersStayBare)
{
    const QList<std::pair<QString, QString>> fields{
        {QStringLiteral("Plain Name; with ü and 🙂"), QStringLiteral("Plain Name; with ü and 🙂")},
        {QStringLiteral("a,b"), QStringLiteral("\"a,b\"")},
        {QStringLiteral("say \"hi\""), QStringLiteral("\"say \"\"hi\"\"\"")},
        {QStringLiteral("\""), QStringLiteral("\"\"\"\"")},
        {QStringLiteral("two\nlines"), QStringLiteral("\"two\nlines\"")},
        {QStringLiteral("carriage\rreturn"), QStringLiteral("carriage\uFFFDreturn")},
        {QStringLiteral("tab\there"), QStringLiteral("tab\uFFFDhere")},
        {QStringLiteral("it's"), QStringLiteral("it's")},
        {QString(), QString()},
    };
    for (const auto &[name, field] : fields)
        expectNameField(name, field);
}

TEST_F(CsvExport, NamesAFormulaCouldStartWithAreGuarded)
{
    const QList<std::pair<QString, QString>> fields{
        {QStringLiteral("=SUM(A1:A9)"), QStringLiteral("'=SUM(A1:A9)")},
        {QStringLiteral("+49 30 1234"), QStringLiteral("'+49 30 1234")},
        {QStringLiteral("-rw-r--r--"), QStringLiteral("'-rw-r--r--")},
        {QStringLiteral("@home"), QStringLiteral("'@home")},
        {QStringLiteral("\tindented"), QStringLiteral("\uFFFDindented")},
        {QStringLiteral("\rreturn"), QStringLiteral("\uFFFDreturn")},
        {QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"), QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"")},
        {QStringLiteral("a=b+c"), QStringLiteral("a=b+c")},
        {QStringLiteral(" =x"), QStringLiteral(" =x")},
    };
    for (const auto &[name, field] : fields)
        expectNameField(name, field);
}

TEST_F(CsvExport, DurationTextsAreNeverGuarded)
{
    tracker().setArrayRepresentation(QVariantList{entry(QStringLiteral("Editor"), 0, {{QStringLiteral("w"), 0}})});
    TimeStoreApp *editor = tracker().appForName(QStringLiteral("Editor"));
    editor->addTimeInterval(-61);
    editor->windows().front()->addTimeInterval(-61);
    EXPECT_EQ(exportAll(), kHeader + QStringLiteral("-1:-2:-1,Application,Time,Window,Time\n"
                                                    ",Editor,-1:-2:-1,w,-1:-2:-1\n"));
}

TEST_F(CsvExport, QuotingIsAFieldInDoubleQuotesWithInnerQuotesDoubled)
{
    EXPECT_EQ(formatString(QStringLiteral("plain")), QStringLiteral("\"plain\""));
    EXPECT_EQ(formatString(QString()), QStringLiteral("\"\""));
    EXPECT_EQ(formatString(QStringLiteral("a \"b\" c")), QStringLiteral("\"a \"\"b\"\" c\""));
}

// --- the file ---------------------------------------------------------------------------------------------

TEST_F(CsvExport, TheFileIsUtf8WithLineFeedsOnlyAndPrivate)
{
    loadWorkedExample();
    tracker().addWindowWithName(QStringLiteral("Grüße 🙂"), 1);
    const QString file = path(QStringLiteral("week.csv"));
    QString error;
    ASSERT_TRUE(exportCSVSet(tracker(), ExportScope::All, file, &error)) << error.toStdString();

    const QByteArray bytes = fileContents(file);
    EXPECT_EQ(bytes, exportAll().toUtf8());
    EXPECT_TRUE(bytes.contains("Gr\xc3\xbc\xc3\x9f" "e \xf0\x9f\x99\x82")) << bytes.toStdString();
    EXPECT_FALSE(bytes.contains('\r'));
    EXPECT_EQ(bytes.count('\n'), 7);
    EXPECT_FALSE(bytes.startsWith("\xef\xbb\xbf")); // no byte order mark
    EXPECT_EQ(fileMode(file), mode_t(0600));
    EXPECT_EQ(directoryEntries(m_directory.path()), QStringList{QStringLiteral("week.csv")});
}

TEST_F(CsvExport, ASecondExportReplacesTheFirst)
{
    loadWorkedExample();
    const QString file = path(QStringLiteral("week.csv"));
    ASSERT_TRUE(exportCSVSet(tracker(), ExportScope::All, file, nullptr));
    tracker().reset();
    tracker().addWindowWithName(QStringLiteral("Later"), 7);
    ASSERT_TRUE(exportCSVSet(tracker(), ExportScope::All, file, nullptr));
    EXPECT_EQ(fileContents(file), kHeader.toUtf8() + "00:00:07,Application,Time,Window,Time\n,Later,00:00:07,,\n");
    EXPECT_EQ(directoryEntries(m_directory.path()), QStringList{QStringLiteral("week.csv")});
}

TEST_F(CsvExport, AFailedExportIsReportedAndLogged)
{
    loadWorkedExample();
    const QString file = path(QStringLiteral("missing/week.csv"));
    QString error;
    LogCapture log;
    EXPECT_FALSE(exportCSVSet(tracker(), ExportScope::All, file, &error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_EQ(LogCapture::warnings(), QStringList{QStringLiteral("Error Exporting")});
    EXPECT_EQ(directoryEntries(m_directory.path()), QStringList());
}

TEST_F(CsvExport, AFailedExportLeavesTheOldFile)
{
    const QString directory = path(QStringLiteral("readonly"));
    const QString file = directory + QStringLiteral("/week.csv");
    ASSERT_TRUE(QDir(m_directory.path()).mkdir(QStringLiteral("readonly")));
    ASSERT_TRUE(writeRawFile(file, "old export"));
    ASSERT_EQ(::chmod(QFile::encodeName(m_directory.path()).constData(), 0755), 0);

    loadWorkedExample();
    const Outcome outcome = inReadOnlyDirectoryAsUser(directory, [&] {
        Outcome result;
        result.ok = exportCSVSet(tracker(), ExportScope::All, file, &result.error);
        return result;
    });

    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.error.contains(file)) << outcome.error.toStdString();
    EXPECT_EQ(fileContents(file), "old export");
    EXPECT_EQ(directoryEntries(directory), QStringList{QStringLiteral("week.csv")});
}

TEST_F(CsvExport, PythonsCsvModuleReadsTheFieldsBack)
{
    tracker().setArrayRepresentation(QVariantList{
        entry(QStringLiteral("Editor, \"Pro\""), 840, {{QStringLiteral("report\nfinal"), 600}, {QStringLiteral("notes\r\n"), 240}}),
        entry(QStringLiteral("=1+1"), 65),
        entry(QStringLiteral("Grüße 🙂"), 1, {{QStringLiteral("\rx"), 1}}),
    });
    const QString file = path(QStringLiteral("python.csv"));
    QString error;
    ASSERT_TRUE(exportCSVSet(tracker(), ExportScope::All, file, &error)) << error.toStdString();

    const QList<QStringList> expected{
        {QStringLiteral("Total"), QStringLiteral("Per Application"), QString(), QStringLiteral("Per Window")},
        {QStringLiteral("00:15:06"), QStringLiteral("Application"), QStringLiteral("Time"), QStringLiteral("Window"), QStringLiteral("Time")},
        {QString(), QStringLiteral("Editor, \"Pro\""), QStringLiteral("00:14:00"), QStringLiteral("report\nfinal"), QStringLiteral("00:10:00")},
        {QString(), QString(), QString(), QStringLiteral("notes\uFFFD\n"), QStringLiteral("00:04:00")},
        {QString(), QStringLiteral("'=1+1"), QStringLiteral("00:01:05"), QString(), QString()},
        {QString(), QStringLiteral("Grüße 🙂"), QStringLiteral("00:00:01"), QStringLiteral("\uFFFDx"), QStringLiteral("00:00:01")},
    };
    EXPECT_EQ(pythonRows(file), expected);
}
