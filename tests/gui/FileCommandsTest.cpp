// Open Timings, Save Timings As and Export to CSV: what works changes what it should, and what
// fails is told in a warning that names the file, with the timings left as they were.

#include "MainWindowFixture.h"

#include <QFile>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QLineEdit>
#include <QTest>

class FileCommandsTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        writeSavedTimings({{editorName(), 700, {{QStringLiteral("a.txt"), 400}, {QStringLiteral("b.txt"), 200}}},
                           {terminalName(), 120, {}}});
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The warning names the file and says why, over the main window.
    static void expectWarningNaming(const ModalSeen &seen, const QString &fileName)
    {
        ASSERT_EQ(seen.count, 1);
        EXPECT_TRUE(seen.text.contains(fileName)) << seen.text.toStdString();
        EXPECT_FALSE(seen.informativeText.isEmpty());
        EXPECT_TRUE(seen.windowModal);
        EXPECT_TRUE(seen.answered) << seen.buttons.join(u',').toStdString();
    }

    // The timings as the user sees them and as the next start reads them are those of SetUp.
    void expectTimingsAsTheyWere(const QByteArray &settingsFileBefore)
    {
        EXPECT_EQ(shownRows(), (QStringList{editorName(), QStringLiteral("  a.txt"), QStringLiteral("  b.txt"), terminalName()}));
        EXPECT_EQ(totalText(), QStringLiteral("00:13:40"));
        EXPECT_EQ(contents(settings->path()), settingsFileBefore);
    }
};

TEST_F(FileCommandsTest, OpeningADocumentAsksWhetherToSaveOrReplaceTheTimingsFirst)
{
    openWindow();
    const QByteArray settingsFile = contents(settings->path());
    const QString path = writeDocument(QStringLiteral("week.kestrum"), {{QStringLiteral("Mail"), 90, {}}});

    // Cancel, the default, keeps the timings.
    ModalSeen seen = runAnsweringMessageBoxWithReturn([&] { window->openTimings(path); });
    ASSERT_EQ(seen.count, 1);
    EXPECT_TRUE(seen.text.contains(QStringLiteral("week.kestrum"))) << seen.text.toStdString();
    seen.buttons.sort();
    EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("Replace Timings"), QStringLiteral("Save Timings…")}));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("Cancel"));
    EXPECT_TRUE(seen.windowModal);
    expectTimingsAsTheyWere(settingsFile);

    // Saving them first puts them in a document of the user's choice, then opens.
    const QString kept = home.filePath(QStringLiteral("kept.kestrum"));
    QTimer fileDialogs;
    QObject::connect(&fileDialogs, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            // selectFile() leaves the name field alone once it has the focus, so the name is typed.
            dialog->selectFile(kept);
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(QFileInfo(kept).fileName());
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
    fileDialogs.start(10);
    seen = runAnsweringMessageBox([&] { window->openTimings(path); }, QStringLiteral("Save Timings…"));
    fileDialogs.stop();
    ASSERT_TRUE(seen.answered);
    EXPECT_EQ(shownApplications(), QStringList{QStringLiteral("Mail")});
    EXPECT_TRUE(contents(kept).contains("<string>a.txt</string>")) << contents(kept).toStdString();

    // Replacing them opens at once; an empty store asks nothing.
    ASSERT_TRUE(runAnsweringMessageBox([&] { window->clearTimers(); }, QStringLiteral("Clear Timers")).answered);
    seen = runAnsweringMessageBox([&] { window->openTimings(path); }, QStringLiteral("Replace Timings"));
    EXPECT_EQ(seen.count, 0) << seen.text.toStdString();
    EXPECT_EQ(totalText(), QStringLiteral("00:01:30"));
}

TEST_F(FileCommandsTest, OpeningAFileThatIsNoTimingDocumentWarnsAndKeepsTheTimings)
{
    openWindow();
    const QByteArray settingsFile = contents(settings->path());
    ASSERT_FALSE(settingsFile.isEmpty());
    const QString path = home.filePath(QStringLiteral("shopping list.kestrum"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("eggs, milk\n");
    }

    const ModalSeen seen = runAnsweringMessageBox([&] { window->openTimings(path); }, QStringLiteral("OK"));

    expectWarningNaming(seen, QStringLiteral("shopping list.kestrum"));
    expectTimingsAsTheyWere(settingsFile);
}

TEST_F(FileCommandsTest, OpeningAMissingFileWarnsAndKeepsTheTimings)
{
    openWindow();
    const QByteArray settingsFile = contents(settings->path());
    const ModalSeen seen = runAnsweringMessageBox([&] { window->openTimings(home.filePath(QStringLiteral("gone.kestrum"))); },
                                                  QStringLiteral("OK"));

    expectWarningNaming(seen, QStringLiteral("gone.kestrum"));
    expectTimingsAsTheyWere(settingsFile);
}

TEST_F(FileCommandsTest, ExportingWritesTheFileWithoutAWord)
{
    openWindow();
    const QString path = home.filePath(QStringLiteral("report.csv"));
    const ModalSeen seen = runAnsweringMessageBox([&] { window->exportToCsv(ExportScope::All, path); },
                                                  QStringLiteral("OK"));

    EXPECT_EQ(seen.count, 0) << seen.text.toStdString();
    EXPECT_TRUE(contents(path).startsWith("Total,Per Application,,Per Window\n00:13:40,")) << contents(path).toStdString();
}

TEST_F(FileCommandsTest, ExportingTheShownRowsTotalsWhatItWrites)
{
    openWindow();
    QTest::keyClicks(window->searchField(), QStringLiteral("term"));
    const QString path = home.filePath(QStringLiteral("shown.csv"));
    window->exportToCsv(ExportScope::Shown, path);
    EXPECT_EQ(contents(path), "Total,Per Application,,Per Window\n00:02:00,Application,Time,Window,Time\n"
                              ",Terminal,00:02:00,,\n");
}

TEST_F(FileCommandsTest, ExportingIntoAMissingFolderWarnsAndKeepsTheTimings)
{
    openWindow();
    const QByteArray settingsFile = contents(settings->path());
    const QString path = home.filePath(QStringLiteral("no such folder/report.csv"));

    for (const auto scope : {ExportScope::All, ExportScope::Shown}) {
        const ModalSeen seen = runAnsweringMessageBox([&] { window->exportToCsv(scope, path); }, QStringLiteral("OK"));
        expectWarningNaming(seen, QStringLiteral("report.csv"));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    expectTimingsAsTheyWere(settingsFile);
}

TEST_F(FileCommandsTest, SavingIntoAMissingFolderWarnsAndKeepsTheTimings)
{
    openWindow();
    const QByteArray settingsFile = contents(settings->path());
    const QString path = home.filePath(QStringLiteral("no such folder/week.kestrum"));

    const ModalSeen seen = runAnsweringMessageBox([&] { window->saveTimingsAs(path); }, QStringLiteral("OK"));

    expectWarningNaming(seen, QStringLiteral("week.kestrum"));
    EXPECT_FALSE(QFileInfo::exists(path));
    expectTimingsAsTheyWere(settingsFile);
}
