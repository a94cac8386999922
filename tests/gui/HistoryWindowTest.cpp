// The History window over a real history file: the day's timeline and its hover text, the bars
// longest first with their windows, the total with "Idle" apart, a week, export and forgetting.

#include "shell/gui/HistoryWindow.h"
#include "tracking/MemorySettings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

const QDate kDay(2026, 1, 8);

Stretch stretch(quint64 id, QTime start, int seconds, const QString &application, const std::optional<QString> &window = {})
{
    const QDateTime begin = QDateTime(kDay, start).toUTC();
    return {id, false, begin, begin.addSecs(seconds), double(seconds), application, window};
}

} // namespace

class HistoryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        path = directory.filePath(QStringLiteral("history.sqlite3"));
        QString error;
        auto database = HistoryDatabase::open(path, nullptr, &error);
        ASSERT_NE(database, nullptr) << error.toStdString();
        QList<HistoryOperation> operations;
        for (const Stretch &s : {stretch(1, QTime(9, 0), 1200, QStringLiteral("Editor"), QStringLiteral("notes.txt")),
                                 stretch(2, QTime(9, 20), 600, QStringLiteral("Editor"), QStringLiteral("plan.txt")),
                                 stretch(3, QTime(9, 30), 600, QStringLiteral("Idle")),
                                 stretch(4, QTime(9, 40), 900, QStringLiteral("Browser"), QStringLiteral("News"))})
            operations.append({HistoryOperation::Kind::Write, s, {}, 0.0, {}, {}});
        // The next day, for the week.
        Stretch tomorrow = stretch(5, QTime(10, 0), 300, QStringLiteral("Browser"), QStringLiteral("News"));
        tomorrow.start = tomorrow.start.addDays(1);
        tomorrow.end = tomorrow.end.addDays(1);
        operations.append({HistoryOperation::Kind::Write, tomorrow, {}, 0.0, {}, {}});
        ASSERT_TRUE(database->apply(operations, &error)) << error.toStdString();
        settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, false);
        window = std::make_unique<HistoryWindow>(path, settings, HistoryHandlers{[this] { ++flushes; }, {}, {}, {}});
    }

    QStringList barRows() const
    {
        QStringList rows;
        for (int i = 0; i < window->bars()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = window->bars()->topLevelItem(i);
            QStringList children;
            for (int c = 0; c < item->childCount(); ++c)
                children.append(item->child(c)->text(0));
            children.sort();
            rows.append(QStringLiteral("%1 %2 [%3]").arg(item->text(0), item->text(1), children.join(u',')));
        }
        return rows;
    }

    QTemporaryDir directory;
    QString path;
    MemorySettings settings;
    int flushes = 0;
    std::unique_ptr<HistoryWindow> window;
};

TEST_F(HistoryWindowTest, ADayShowsItsTimelineBarsAndTotal)
{
    window->showRange(HistoryWindow::Range::Day, kDay);
    EXPECT_GE(flushes, 1) << "what was booked but not written is handed over first";
    EXPECT_EQ(window->timeline()->stretchCount(), 4);
    window->timeline()->resize(2400, 30); // 100 pixels an hour
    const QString hover = window->timeline()->toolTipAt(2400 * (9 * 60 + 30) / (24 * 60));
    // The times as the user's locale writes them, with their seconds.
    const QString times = QStringLiteral("%1 – %2").arg(QLocale().toString(QTime(9, 20), TimelineStrip::timeFormat(true)),
                                                         QLocale().toString(QTime(9, 30), TimelineStrip::timeFormat(true)));
    EXPECT_TRUE(hover.contains(QStringLiteral("Editor: plan.txt")) && hover.contains(times)) << hover.toStdString();
    EXPECT_EQ(barRows(), QStringList({QStringLiteral("Editor 00:30:00 [notes.txt,plan.txt]"), QStringLiteral("Browser 00:15:00 [News]"),
                                      QStringLiteral("Idle 00:10:00 []")}));
    EXPECT_EQ(window->totalLabel()->text(), QStringLiteral("Total: 00:45:00 · Idle: 00:10:00"));

    settings.setValue(SettingsKey::IncludeIdleInSumOfTimes, true);
    window->showRange(HistoryWindow::Range::Week, kDay);
    EXPECT_EQ(window->firstDay(), QDate(2026, 1, 5));
    EXPECT_EQ(window->lastDay(), QDate(2026, 1, 11));
    EXPECT_EQ(window->totalLabel()->text(), QStringLiteral("Total: 01:00:00 · Idle: 00:10:00"));
}

TEST_F(HistoryWindowTest, ExportAndForgettingWorkOnTheShownRange)
{
    window->showRange(HistoryWindow::Range::Day, kDay);
    const QString csv = directory.filePath(QStringLiteral("day.csv"));
    QString error;
    ASSERT_TRUE(window->exportRange(csv, false, &error)) << error.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.at(0), "start,end,seconds,application,window,source,device");
    EXPECT_TRUE(lines.at(1).contains(",1200.000,Editor,notes.txt,recorded,")) << lines.at(1).toStdString();

    QString asked;
    window->setConfirmation([&asked](const QString &question) {
        asked = question;
        return true;
    });
    window->bars()->setCurrentItem(window->bars()->topLevelItem(1)->child(0)); // Browser's window
    window->forgetSelectedApplication();
    EXPECT_TRUE(asked.contains(QStringLiteral("\"Browser\""))) << asked.toStdString();
    EXPECT_EQ(window->timeline()->stretchCount(), 3);
    // Forgotten on that day only: the next day keeps its time.
    window->showRange(HistoryWindow::Range::Day, kDay.addDays(1));
    EXPECT_EQ(window->timeline()->stretchCount(), 1);

    window->setConfirmation([](const QString &) { return false; });
    window->forgetRange();
    EXPECT_EQ(window->timeline()->stretchCount(), 1) << "a question answered No forgets nothing";
}

TEST_F(HistoryWindowTest, AddedTimeCoversWhatLiesBeneathAndRenamesKeepWhatWasRecorded)
{
    window->showRange(HistoryWindow::Range::Day, kDay);
    // A meeting the computer took for browsing, dragged across the timeline from 9:40 to 10:00.
    window->timeline()->setSelection(TimelineStrip::Span{QDateTime(kDay, QTime(9, 40)).toUTC(), QDateTime(kDay, QTime(10, 0)).toUTC()});
    ASSERT_TRUE(window->selectionActions().contains(QStringLiteral("Add Time…")));
    std::optional<OverlayEntry> proposed;
    window->setAddedTimeEditor([&](const OverlayEntry &proposal) {
        proposed = proposal;
        OverlayEntry meeting = proposal;
        meeting.application = QStringLiteral("Meeting");
        meeting.note = QStringLiteral("planning");
        return std::optional(meeting);
    });
    window->runSelectionAction(QStringLiteral("Add Time…"));
    ASSERT_TRUE(proposed);
    EXPECT_EQ(proposed->start.toLocalTime().time(), QTime(9, 40));
    EXPECT_EQ(barRows(), QStringList({QStringLiteral("Editor 00:30:00 [notes.txt,plan.txt]"), QStringLiteral("Meeting 00:20:00 []"),
                                      QStringLiteral("Idle 00:10:00 []"), QStringLiteral("Browser 00:00:00 [News]")}));
    EXPECT_EQ(window->totalLabel()->text(), QStringLiteral("Total: 00:50:00 · Idle: 00:10:00"));

    window->timeline()->resize(2400, 30); // 100 pixels an hour
    const int at950 = 2400 * (9 * 60 + 50) / (24 * 60);
    const qsizetype added = window->timeline()->pieceAt(at950);
    ASSERT_GE(added, 0);
    EXPECT_EQ(window->timeline()->pieces().at(added).stretch.source, StretchSource::Added);
    EXPECT_TRUE(window->timeline()->toolTipAt(at950).contains(QStringLiteral("Added by you: planning")));

    // The editor's first stretch was a call, really: renamed, and recorded as it was.
    window->timeline()->selectPiece(0);
    ASSERT_TRUE(window->selectionActions().contains(QStringLiteral("Rename as…")));
    window->setNameAsker([](const QString &, const QString &) { return std::optional(QStringLiteral("Call")); });
    window->runSelectionAction(QStringLiteral("Rename as…"));
    EXPECT_TRUE(barRows().contains(QStringLiteral("Call 00:20:00 [notes.txt]"))) << barRows().join(u'\n').toStdString();
    const qsizetype renamed = window->timeline()->pieceAt(2400 * (9 * 60 + 10) / (24 * 60));
    EXPECT_TRUE(window->timeline()->toolTipAt(2400 * (9 * 60 + 10) / (24 * 60)).contains(QStringLiteral("recorded as Editor")));
    EXPECT_EQ(window->timeline()->pieces().at(renamed).stretch.source, StretchSource::Corrected);

    // Removing the added time uncovers the browsing beneath it.
    window->timeline()->selectPiece(window->timeline()->pieceAt(at950));
    ASSERT_TRUE(window->selectionActions().contains(QStringLiteral("Remove Added Time")));
    window->runSelectionAction(QStringLiteral("Remove Added Time"));
    EXPECT_TRUE(barRows().contains(QStringLiteral("Browser 00:15:00 [News]"))) << barRows().join(u'\n').toStdString();
    EXPECT_FALSE(barRows().join(u'\n').contains(QStringLiteral("Meeting")));
}

TEST_F(HistoryWindowTest, AnotherComputersTimeShowsInALaneOfItsOwnUnderAllComputersAndIsLeftToIt)
{
    const QString laptop = QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301");
    {
        QString error;
        auto database = HistoryDatabase::open(path, nullptr, &error);
        ASSERT_NE(database, nullptr) << error.toStdString();
        // The laptop works on while this computer is idle, then both are in use for 15 minutes.
        ASSERT_TRUE(database->importDay(laptop, QStringLiteral("Laptop"), kDay, QStringLiteral("sha256:1"),
                                        {stretch(0, QTime(9, 30), 1800, QStringLiteral("Terminal"), QStringLiteral("make")),
                                         stretch(0, QTime(10, 0), 600, QStringLiteral("Idle"))},
                                        {}, &error))
            << error.toStdString();
    }
    settings.setValue(SettingsKey::DeviceName, QStringLiteral("Desktop"));
    window->showRange(HistoryWindow::Range::Day, kDay);
    ASSERT_FALSE(window->deviceBox()->isHidden());
    EXPECT_EQ(window->deviceBox()->currentText(), QStringLiteral("All Computers"));
    EXPECT_EQ(window->timeline()->stretchCount(), 6);
    EXPECT_EQ(barRows().first(), QStringLiteral("Editor 00:30:00 [notes.txt,plan.txt]"));
    EXPECT_TRUE(barRows().contains(QStringLiteral("Terminal 00:30:00 [make]")));
    EXPECT_EQ(window->totalLabel()->text(),
              QStringLiteral("Total: 01:15:00 · Idle: 00:20:00 · at two computers at once: 00:15:00, counted on each"));

    // Its lane is the lower half: hovering there names it, and its stretch offers nothing to change.
    window->timeline()->resize(2400, 80);
    const int x = 2400 * (9 * 60 + 45) / (24 * 60);
    const QString hover = window->timeline()->toolTipAt(x, 70);
    EXPECT_TRUE(hover.contains(QStringLiteral("Terminal: make")) && hover.contains(QStringLiteral("On Laptop"))) << hover.toStdString();
    EXPECT_TRUE(window->timeline()->toolTipAt(x, 25).contains(QStringLiteral("On Desktop")));
    window->timeline()->selectPiece(window->timeline()->pieceAt(x, 70));
    EXPECT_TRUE(window->selectionActions().isEmpty());

    const QString csv = directory.filePath(QStringLiteral("all.csv"));
    QString error;
    ASSERT_TRUE(window->exportRange(csv, false, &error)) << error.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains(",Terminal,make,recorded,Laptop\n") && text.contains(",Editor,notes.txt,recorded,Desktop\n")) << text.toStdString();

    // The laptop alone, then this computer alone.
    window->deviceBox()->setCurrentIndex(window->deviceBox()->findData(laptop));
    Q_EMIT window->deviceBox()->activated(window->deviceBox()->currentIndex());
    EXPECT_EQ(barRows(), QStringList({QStringLiteral("Terminal 00:30:00 [make]"), QStringLiteral("Idle 00:10:00 []")}));
    window->deviceBox()->setCurrentIndex(1);
    Q_EMIT window->deviceBox()->activated(1);
    EXPECT_EQ(window->timeline()->stretchCount(), 4);
    EXPECT_EQ(window->totalLabel()->text(), QStringLiteral("Total: 00:45:00 · Idle: 00:10:00"));
}
