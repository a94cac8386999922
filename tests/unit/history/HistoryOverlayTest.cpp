// The user's word over the history: added time covers what was recorded beneath it, renames
// (answers, corrections) keep what was recorded, and every total, by application, window, day
// and category, counts each second once.

#include "history/HistoryCategories.h"
#include "history/HistorySalvage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDateTime kNine(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);

HistoryOperation written(quint64 id, int fromMinute, int toMinute, const QString &application, std::optional<QString> window = {})
{
    const QDateTime start = kNine.addSecs(60 * fromMinute);
    const QDateTime end = kNine.addSecs(60 * toMinute);
    return {HistoryOperation::Kind::Write, {id, false, start, end, 60.0 * (toMinute - fromMinute), application, window}, {}, 0.0, {}, {}};
}

OverlayEntry entry(StretchSource kind, int fromMinute, int toMinute, const QString &application, const QString &original = {})
{
    OverlayEntry made;
    made.kind = kind;
    made.start = kNine.addSecs(60 * fromMinute);
    made.end = kNine.addSecs(60 * toMinute);
    made.application = application;
    made.original = original;
    return made;
}

HistoryOperation put(const OverlayEntry &overlay)
{
    return {HistoryOperation::Kind::PutOverlay, {}, {}, 0.0, {}, overlay};
}

} // namespace

class HistoryOverlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        database = HistoryDatabase::open(directory.filePath(QStringLiteral("history.sqlite3")), nullptr, &error);
        ASSERT_NE(database, nullptr) << error.toStdString();
        // 9:00–10:00 in the editor, 10:00–10:30 in the browser, 10:30–11:00 idle.
        apply({written(1, 0, 60, QStringLiteral("Editor"), QStringLiteral("notes.txt")), written(2, 60, 90, QStringLiteral("Browser")),
               written(3, 90, 120, QStringLiteral("Idle"))});
    }

    void apply(const QList<HistoryOperation> &operations)
    {
        QString error;
        ASSERT_TRUE(database->apply(operations, &error)) << error.toStdString();
    }

    QList<Stretch> stretches()
    {
        QString error;
        const auto read = database->stretches(kNine.addDays(-1), kNine.addDays(1), &error);
        EXPECT_TRUE(read) << error.toStdString();
        return read.value_or(QList<Stretch>());
    }

    QHash<QString, double> byApplication()
    {
        QString error;
        QHash<QString, double> totals;
        const auto read = database->totals(HistoryDatabase::Grouping::Application, kNine.addDays(-1), kNine.addDays(1), &error);
        EXPECT_TRUE(read) << error.toStdString();
        for (const HistoryTotal &total : read.value_or(QList<HistoryTotal>()))
            totals.insert(total.application, total.seconds);
        return totals;
    }

    // Every way of summing the range gives the same seconds in all.
    void expectTotalsAgree(double seconds)
    {
        QString error;
        const QDateTime from = kNine.addDays(-1);
        const QDateTime to = kNine.addDays(1);
        for (const auto grouping : {HistoryDatabase::Grouping::Application, HistoryDatabase::Grouping::Window, HistoryDatabase::Grouping::Day}) {
            double sum = 0.0;
            const auto totals = database->totals(grouping, from, to, &error);
            ASSERT_TRUE(totals) << error.toStdString();
            for (const HistoryTotal &total : *totals)
                sum += total.seconds;
            EXPECT_NEAR(sum, seconds, 1e-6) << int(grouping);
        }
        double listed = 0.0;
        for (const Stretch &stretch : stretches())
            listed += stretch.seconds;
        EXPECT_NEAR(listed, seconds, 1e-6);
        Classifier classifier;
        double shared = 0.0;
        const auto shares = HistoryCategories::shares(*database, classifier, from, to, &error);
        ASSERT_TRUE(shares) << error.toStdString();
        for (const HistoryCategories::Share &share : *shares)
            shared += share.seconds;
        EXPECT_NEAR(shared, seconds, 1e-6);
    }

    QTemporaryDir directory;
    std::unique_ptr<HistoryDatabase> database;
};

TEST_F(HistoryOverlay, AddedTimeCoversWhatLiesBeneathItAndRemovingItUncoversIt)
{
    // A meeting from 9:30 to 10:15 that the computer took for editing and browsing.
    OverlayEntry meeting = entry(StretchSource::Added, 30, 75, QStringLiteral("Meeting"));
    meeting.category = {QStringLiteral("Work"), QStringLiteral("Meetings")};
    meeting.note = QStringLiteral("planning");
    apply({put(meeting)});
    QHash<QString, double> totals = byApplication();
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Editor")), 1800.0);
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Browser")), 900.0);
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Meeting")), 2700.0);
    expectTotalsAgree(7200.0);

    const QList<Stretch> listed = stretches();
    ASSERT_EQ(listed.size(), 4);
    EXPECT_EQ(listed.at(1).source, StretchSource::Added);
    EXPECT_EQ(listed.at(1).note, QStringLiteral("planning"));
    EXPECT_DOUBLE_EQ(listed.at(0).covered, 1800.0);
    EXPECT_EQ(listed.at(0).source, StretchSource::Recorded);

    // The category chosen with it decides, whatever the rules say.
    QString error;
    Classifier classifier;
    const auto pieces = HistoryCategories::pieces(*database, classifier, kNine, kNine.addSecs(7200), &error).value();
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(pieces.at(1).classification.category, meeting.category);

    // Edited in place: ten minutes shorter, and the browser gets them back.
    meeting.id = listed.at(1).overlay;
    meeting.end = meeting.end.addSecs(-600);
    apply({put(meeting)});
    EXPECT_DOUBLE_EQ(byApplication().value(QStringLiteral("Browser")), 1500.0);
    meeting.end = meeting.end.addSecs(600);
    apply({put(meeting)});

    // Later added time wins over earlier where they overlap; a stretch covered whole stays, empty.
    apply({put(entry(StretchSource::Added, 0, 60, QStringLiteral("Workshop")))});
    totals = byApplication();
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Editor")), 0.0);
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Meeting")), 900.0);
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Workshop")), 3600.0);
    expectTotalsAgree(7200.0);

    for (const Stretch &stretch : stretches()) {
        if (stretch.source == StretchSource::Added)
            apply({{HistoryOperation::Kind::RemoveOverlay, {}, {}, 0.0, {}, {stretch.overlay}}});
    }
    totals = byApplication();
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Editor")), 3600.0);
    EXPECT_DOUBLE_EQ(totals.value(QStringLiteral("Browser")), 1800.0);
    EXPECT_FALSE(totals.contains(QStringLiteral("Meeting")));
    expectTotalsAgree(5400.0 + 1800.0);
}

TEST_F(HistoryOverlay, RenamesKeepWhatWasRecordedTheLaterDecidesAndTheyOutliveAMoveAside)
{
    OverlayEntry answered = entry(StretchSource::Answered, 89, 120, QStringLiteral("Phone call"), QStringLiteral("Idle"));
    answered.category = {QStringLiteral("Calls")};
    apply({put(answered), put(entry(StretchSource::Corrected, 60, 90, QStringLiteral("Research"), QStringLiteral("Browser"))),
           put(entry(StretchSource::Corrected, 60, 90, QStringLiteral("Reading"), QStringLiteral("Browser")))});
    const QList<Stretch> listed = stretches();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.at(0).source, StretchSource::Recorded);
    EXPECT_EQ(listed.at(1).application, QStringLiteral("Reading"));
    EXPECT_EQ(listed.at(1).source, StretchSource::Corrected);
    EXPECT_EQ(listed.at(1).recordedAs, QStringLiteral("Browser"));
    EXPECT_EQ(listed.at(2).application, QStringLiteral("Phone call"));
    EXPECT_EQ(listed.at(2).source, StretchSource::Answered);
    EXPECT_EQ(listed.at(2).category, CategoryPath{QStringLiteral("Calls")});
    EXPECT_FALSE(byApplication().contains(QStringLiteral("Idle")));
    expectTotalsAgree(7200.0);

    // What was recorded is still there, beneath.
    QString error;
    const auto recorded = database->recordedStretches(kNine.addDays(-1), kNine.addDays(1), &error).value();
    EXPECT_EQ(recorded.at(1).application, QStringLiteral("Browser"));

    // A history moved aside keeps the user's word in the new one.
    auto fresh = HistoryDatabase::open(directory.filePath(QStringLiteral("new.sqlite3")), nullptr, &error);
    ASSERT_NE(fresh, nullptr) << error.toStdString();
    database.reset();
    EXPECT_EQ(HistorySalvage::copyReadable(directory.filePath(QStringLiteral("history.sqlite3")), *fresh).stretches, 3);
    database = std::move(fresh);
    EXPECT_EQ(stretches().at(1).application, QStringLiteral("Reading"));

    // Forgetting an application forgets what is shown as it; what is shown as another stays.
    apply({{HistoryOperation::Kind::Forget, {0, false, kNine, kNine.addDays(1), 0.0, {}, {}}, QStringLiteral("Reading"), 0.0, {}, {}},
           {HistoryOperation::Kind::Forget, {0, false, kNine, kNine.addDays(1), 0.0, {}, {}}, QStringLiteral("Phone call"), 0.0, {}, {}}});
    const QHash<QString, double> left = byApplication();
    EXPECT_EQ(left.keys(), QList<QString>{QStringLiteral("Editor")}) << left.size();
    expectTotalsAgree(3600.0);
}
