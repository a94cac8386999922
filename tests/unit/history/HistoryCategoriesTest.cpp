// The history sorted into categories as it is read: every second in exactly one category, rules
// that reach back to every day kept, and the user's assignments above them.

#include "history/HistoryCalendar.h"
#include "history/HistoryCategories.h"
#include "history/HistorySalvage.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

using Field = CategoryRule::Field;
using Match = CategoryRule::Match;

CategoryRule rule(const QString &category, CategoryRule::Field field, CategoryRule::Match match, const QString &pattern)
{
    return CategoryRule::of(categoryPathFromText(category), field, match, pattern);
}

CategorySet setWith(const QList<CategoryRule> &rules)
{
    CategorySet set;
    set.categories = {{{QStringLiteral("Work"), QStringLiteral("Kestrum")}, {}, {}, 0}, {{QStringLiteral("Work"), QStringLiteral("Docs")}, {}, {}, 0},
                      {{QStringLiteral("Mail")}, {}, {}, 0}, {{QStringLiteral("Meetings")}, {}, {}, 0}};
    set.rules = rules;
    return set;
}

HistoryOperation assignment(const QDateTime &from, const QDateTime &to, const QString &category)
{
    HistoryOperation made{HistoryOperation::Kind::Assign, {}, {}, 0.0, categoryPathFromText(category), {}};
    made.stretch.start = from;
    made.stretch.end = to;
    return made;
}

double totalOf(const QList<HistoryCategories::CategoryTotal> &totals, const QString &category)
{
    for (const HistoryCategories::CategoryTotal &total : totals) {
        if (total.category == categoryPathFromText(category))
            return total.seconds;
    }
    return 0.0;
}

const QDateTime kMonday(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);

} // namespace

class HistoryCategoriesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        database = HistoryDatabase::open(directory.filePath(QStringLiteral("history.sqlite3")), nullptr, &error);
        ASSERT_NE(database, nullptr) << error.toStdString();
    }

    void apply(const QList<HistoryOperation> &operations)
    {
        QString error;
        ASSERT_TRUE(database->apply(operations, &error)) << error.toStdString();
    }

    QList<HistoryCategories::Share> sharesOf(Classifier &classifier, const QDateTime &from, const QDateTime &to)
    {
        QString error;
        const auto shares = HistoryCategories::shares(*database, classifier, from, to, &error);
        EXPECT_TRUE(shares) << error.toStdString();
        return shares.value_or(QList<HistoryCategories::Share>());
    }

    QTemporaryDir directory;
    std::unique_ptr<HistoryDatabase> database;
};

TEST_F(HistoryCategoriesTest, EveryRangeHoldsAsMuchTimeByCategoryAsByApplicationWhateverTheRulesAndAssignments)
{
    // A fortnight of generated switching between five applications, windows and "Idle", some
    // stretches longer in wall-clock time than in seconds, and overlapping assignments.
    QRandomGenerator random(26);
    const QStringList applications = {QStringLiteral("Editor"), QStringLiteral("Mail"), QStringLiteral("Browser"), QStringLiteral("Idle"),
                                      QStringLiteral("Terminal")};
    QList<HistoryOperation> operations;
    QDateTime at = kMonday;
    for (quint64 id = 1; id <= 3000; ++id) {
        const qint64 wall = 1000 + random.bounded(600000);
        const QString application = applications.at(random.bounded(applications.size()));
        const std::optional<QString> window = application == u"Idle" ? std::nullopt
                                                                     : std::optional(QStringLiteral("doc %1 kestrum-%2").arg(random.bounded(9)).arg(random.bounded(3)));
        operations.append({HistoryOperation::Kind::Write, {id, false, at, at.addMSecs(wall), (wall - random.bounded(wall / 4)) / 1000.0, application, window},
                           {}, 0.0, {}});
        at = at.addMSecs(wall + random.bounded(3) * 60000);
    }
    for (int i = 0; i < 40; ++i) {
        const QDateTime from = kMonday.addMSecs(random.bounded(kMonday.msecsTo(at)));
        operations.append(assignment(from, from.addMSecs(random.bounded(4 * 3600 * 1000)), i % 2 ? QStringLiteral("Meetings") : QStringLiteral("Work/Docs")));
    }
    apply(operations);

    const CategorySet first = setWith({rule(QStringLiteral("Work/Kestrum"), Field::Window, Match::Contains, QStringLiteral("KESTRUM-1")),
                                       rule(QStringLiteral("Mail"), Field::Application, Match::Is, QStringLiteral("mail")),
                                       rule(QStringLiteral("Work"), Field::Either, Match::Regex, QStringLiteral("^(Editor|doc [0-4])"))});
    const CategorySet second = setWith({rule(QStringLiteral("Meetings"), Field::Either, Match::Regex, QStringLiteral("idle|browser"))});
    for (const CategorySet &set : {first, second}) {
        Classifier classifier(set);
        for (int day = 0; day < 16; day += 3) {
            const QDateTime from = kMonday.addSecs(day * 86400 + 5 * 3600);
            const QDateTime to = from.addSecs(3 * 86400 - 7 * 3600);
            QString error;
            const auto byApplication = database->totals(HistoryDatabase::Grouping::Application, from, to, &error);
            ASSERT_TRUE(byApplication) << error.toStdString();
            double applications = 0.0;
            for (const HistoryTotal &total : *byApplication)
                applications += total.seconds;
            double categories = 0.0;
            for (const HistoryCategories::CategoryTotal &total : HistoryCategories::categoryTotals(sharesOf(classifier, from, to)))
                categories += total.category.size() == 1 ? total.seconds : 0.0;
            EXPECT_NEAR(categories, applications, 0.0005) << "from " << from.toString(Qt::ISODate).toStdString();
            // And stretch by stretch: the pieces add up to the stretches they were cut from.
            const auto stretches = database->stretches(from, to, &error);
            const auto pieces = HistoryCategories::pieces(*database, classifier, from, to, &error);
            ASSERT_TRUE(stretches && pieces) << error.toStdString();
            double stretchSeconds = 0.0;
            double pieceSeconds = 0.0;
            for (const Stretch &stretch : *stretches)
                stretchSeconds += stretch.seconds;
            for (const HistoryCategories::Piece &piece : *pieces)
                pieceSeconds += piece.stretch.seconds;
            EXPECT_NEAR(pieceSeconds, stretchSeconds, 0.0005);
        }
    }
}

TEST_F(HistoryCategoriesTest, AnAssignmentSplitsAtItsEdgesOutlivesRuleChangesAndIsForgottenWithItsRange)
{
    // An hour in the editor on a project's file, of which 10:15 to 10:45 was a meeting.
    const QDateTime ten = kMonday.addSecs(2 * 3600);
    apply({{HistoryOperation::Kind::Write, {1, false, ten, ten.addSecs(3600), 3600.0, QStringLiteral("Editor"), QStringLiteral("kestrum.cpp")}, {}, 0.0, {}, {}},
           assignment(ten.addSecs(900), ten.addSecs(2700), QStringLiteral("Meetings")),
           assignment(ten.addSecs(1800), ten.addSecs(2100), QStringLiteral("Mail"))}); // made later: it decides where both cover
    const QDateTime day = kMonday.addSecs(-8 * 3600);
    const auto totals = [&](const CategorySet &set) {
        Classifier classifier(set);
        return HistoryCategories::categoryTotals(sharesOf(classifier, day, day.addDays(1)));
    };
    const CategorySet byWindow = setWith({rule(QStringLiteral("Work/Kestrum"), Field::Window, Match::Contains, QStringLiteral("kestrum"))});
    for (const CategorySet &set : {byWindow, setWith({})}) {
        const auto sorted = totals(set);
        EXPECT_NEAR(totalOf(sorted, QStringLiteral("Meetings")), 1500.0, 1e-6);
        EXPECT_NEAR(totalOf(sorted, QStringLiteral("Mail")), 300.0, 1e-6);
    }
    EXPECT_NEAR(totalOf(totals(byWindow), QStringLiteral("Work")), 1800.0, 1e-6);
    EXPECT_NEAR(totalOf(totals(setWith({})), QStringLiteral("Uncategorized")), 1800.0, 1e-6);

    Classifier classifier(byWindow);
    QString error;
    const auto pieces = HistoryCategories::pieces(*database, classifier, day, day.addDays(1), &error);
    ASSERT_TRUE(pieces) << error.toStdString();
    QStringList described;
    for (const HistoryCategories::Piece &piece : *pieces)
        described.append(QStringLiteral("%1 %2 %3").arg(ten.secsTo(piece.stretch.start)).arg(piece.stretch.seconds).arg(categoryPathText(piece.classification.category)));
    EXPECT_EQ(described.join(u','), QStringLiteral("0 900 Work \u25B8 Kestrum,900 900 Meetings,1800 300 Mail,2100 600 Meetings,2700 900 Work \u25B8 Kestrum"));

    // Forgetting 10:20 to 10:40 of everyone forgets the assignments' parts in it, and no more.
    apply({{HistoryOperation::Kind::Forget, {0, false, ten.addSecs(1200), ten.addSecs(2400), 0.0, {}, {}}, {}, 0.0, {}, {}}});
    const auto left = database->assignments(day, day.addDays(1), &error);
    ASSERT_TRUE(left) << error.toStdString();
    QStringList ranges;
    for (const Assignment &kept : *left)
        ranges.append(QStringLiteral("%1-%2 %3").arg(ten.secsTo(kept.start)).arg(ten.secsTo(kept.end)).arg(categoryPathText(kept.category)));
    ranges.sort();
    EXPECT_EQ(ranges.join(u','), QStringLiteral("2400-2700 Meetings,900-1200 Meetings"));
}

TEST(HistorySchema, AHistoryOfTheFirstVersionIsBroughtToTheSecondWithEveryStretch)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("history.sqlite3"));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    // The first version's schema, as the Kestrum before assignments wrote it.
    ASSERT_EQ(sqlite3_exec(db, R"(PRAGMA journal_mode=WAL; PRAGMA application_id=1263752269;
CREATE TABLE names (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE stretches (id INTEGER PRIMARY KEY, start INTEGER NOT NULL, end INTEGER NOT NULL, seconds REAL NOT NULL,
    application INTEGER NOT NULL REFERENCES names(id), window INTEGER REFERENCES names(id), host INTEGER NOT NULL REFERENCES names(id));
CREATE INDEX stretches_by_start ON stretches(start);
INSERT INTO names VALUES (1, 'host'), (2, 'Editor');
INSERT INTO stretches VALUES (1, 1772438400000, 1772438460000, 60.0, 2, NULL, 1);
PRAGMA user_version=1;)", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    QString error;
    // Read as it is first: no assignments yet, and nothing written.
    const auto before = HistoryDatabase::openToRead(path, &error);
    ASSERT_NE(before, nullptr) << error.toStdString();
    const auto none = before->assignments(kMonday.addDays(-1), kMonday.addDays(1), &error);
    ASSERT_TRUE(none && none->isEmpty()) << error.toStdString();

    QString warning;
    auto database = HistoryDatabase::open(path, &warning, &error);
    ASSERT_NE(database, nullptr) << error.toStdString();
    EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
    ASSERT_TRUE(database->apply({assignment(kMonday, kMonday.addDays(1), QStringLiteral("Work"))}, &error)) << error.toStdString();
    const auto stretches = database->stretches(kMonday.addDays(-1), kMonday.addDays(1), &error);
    ASSERT_TRUE(stretches) << error.toStdString();
    ASSERT_EQ(stretches->size(), 1);
    Classifier classifier;
    const auto shares = HistoryCategories::shares(*database, classifier, kMonday.addDays(-1), kMonday.addDays(1), &error);
    ASSERT_TRUE(shares && shares->size() == 1) << error.toStdString();
    EXPECT_EQ(shares->constFirst().classification.category, CategoryPath{QStringLiteral("Work")});
    database.reset();
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt *version = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &version, nullptr);
    ASSERT_EQ(sqlite3_step(version), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(version, 0), kHistorySchemaVersion);
    sqlite3_finalize(version);
    sqlite3_close(db);
}

TEST_F(HistoryCategoriesTest, AHistoryMovedAsideKeepsItsAssignmentsInTheNewOne)
{
    const QDateTime ten = kMonday.addSecs(2 * 3600);
    apply({{HistoryOperation::Kind::Write, {1, false, ten, ten.addSecs(600), 600.0, QStringLiteral("Editor"), std::nullopt}, {}, 0.0, {}, {}},
           assignment(ten, ten.addSecs(300), QStringLiteral("Work/Docs"))});
    database.reset();
    QString error;
    auto fresh = HistoryDatabase::open(directory.filePath(QStringLiteral("new.sqlite3")), nullptr, &error);
    ASSERT_NE(fresh, nullptr) << error.toStdString();
    EXPECT_EQ(HistorySalvage::copyReadable(directory.filePath(QStringLiteral("history.sqlite3")), *fresh).stretches, 1);
    Classifier classifier;
    const auto pieces = HistoryCategories::pieces(*fresh, classifier, ten, ten.addSecs(600), &error);
    ASSERT_TRUE(pieces && pieces->size() == 2) << error.toStdString();
    EXPECT_EQ(pieces->constFirst().classification.category, categoryPathFromText(QStringLiteral("Work/Docs")));
}

TEST(HistoryCalendar, RunsOfOneCategoryJoinAcrossShortGapsAndLongNamesFoldWithinACharacter)
{
    const auto piece = [](int startMinute, int minutes, const QString &application, const CategoryPath &category,
                          Classification::Source source = Classification::Source::Rule) {
        const QDateTime start = kMonday.addSecs(startMinute * 60);
        return HistoryCategories::Piece{{0, false, start, start.addSecs(minutes * 60), minutes * 60.0, application, std::nullopt},
                                        {source, category, 0, {}}};
    };
    const CategoryPath longName{QStringLiteral("Projekt \u00dcbersicht; \u201eKestrum\u201c, Teil 2 \u2014 \u4e2d\u6587\u5b57\u7b26 und noch mehr Text")};
    const QByteArray calendar = historyCalendar({piece(0, 10, QStringLiteral("Editor"), longName),
                                                 piece(14, 10, QStringLiteral("Terminal"), longName),     // 4 min apart: joined
                                                 piece(24, 20, Classifier::kIdle, {Classifier::kIdle}, Classification::Source::Idle),
                                                 piece(44, 5, QStringLiteral("Editor"), longName),        // 20 min apart: a new event
                                                 piece(49, 5, QStringLiteral("Mail"), {QStringLiteral("Mail")})},
                                                15 * 60 * 1000, kMonday);
    EXPECT_EQ(calendar.count("BEGIN:VEVENT"), 3);
    EXPECT_TRUE(calendar.contains("DTSTART:20260302T080000Z\r\nDTEND:20260302T082400Z\r\n")) << calendar.toStdString();
    EXPECT_TRUE(calendar.contains("DESCRIPTION:Editor 00:10:00\\nTerminal 00:10:00\r\n")) << calendar.toStdString();
    EXPECT_FALSE(calendar.contains("Idle"));
    for (const QByteArray &line : calendar.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.toStdString(); // 75 octets and the CR
        EXPECT_TRUE(QString::fromUtf8(line).toUtf8() == line) << "a fold cut a character: " << line.toStdString();
    }
    // Unfolded, the summary is the name with its ; and , escaped.
    QByteArray unfolded = calendar;
    unfolded.replace("\r\n ", "");
    EXPECT_TRUE(unfolded.contains("SUMMARY:Projekt \xc3\x9c" "bersicht\\; \xe2\x80\x9eKestrum\xe2\x80\x9c\\, Teil 2")) << unfolded.toStdString();
}

TEST_F(HistoryCategoriesTest, AClassifierKeptAcrossReadsIsNotFooledByANewFileAtTheSamePath)
{
    const QString path = directory.filePath(QStringLiteral("history.sqlite3"));
    const auto only = [&](const QString &application) {
        apply({{HistoryOperation::Kind::Write, {1, false, kMonday, kMonday.addSecs(60), 60.0, application, std::nullopt}, {}, 0.0, {}, {}}});
    };
    Classifier classifier(setWith({rule(QStringLiteral("Mail"), Field::Application, Match::Is, QStringLiteral("Mail")),
                                   rule(QStringLiteral("Work"), Field::Application, Match::Is, QStringLiteral("Editor"))}));
    const auto categoryRead = [&] {
        QString error;
        const auto reader = HistoryDatabase::openToRead(path, &error);
        const auto shares = reader ? HistoryCategories::shares(*reader, classifier, kMonday, kMonday.addDays(1), &error) : std::nullopt;
        return shares && shares->size() == 1 ? categoryPathText(shares->constFirst().classification.category) : error;
    };
    only(QStringLiteral("Mail"));
    EXPECT_EQ(categoryRead(), QStringLiteral("Mail"));
    // The history moved aside and started anew: the editor's name gets the id the mail's had.
    database.reset();
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".aside")));
    QString error;
    database = HistoryDatabase::open(path, nullptr, &error);
    ASSERT_NE(database, nullptr) << error.toStdString();
    only(QStringLiteral("Editor"));
    EXPECT_EQ(categoryRead(), QStringLiteral("Work"));
}
