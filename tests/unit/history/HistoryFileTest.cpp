// The history's file among what a user's disk holds: a journal of another database left beside
// it, pages damaged in its middle. Neither may cost a stretch that can still be read, and
// neither may pass for a history that reads.

#include "history/HistoryWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

QDateTime always() { return QDateTime::fromMSecsSinceEpoch(0, Qt::UTC); }
QDateTime forever() { return QDateTime(QDate(3000, 1, 1), QTime(0, 0), Qt::UTC); }

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a stretch is, without the recorder's number: as the history reads it back.
QString describe(const Stretch &stretch)
{
    return QStringLiteral("%1 %2 %3 %4 %5").arg(stretch.start.toMSecsSinceEpoch()).arg(stretch.end.toMSecsSinceEpoch())
        .arg(stretch.seconds).arg(stretch.application, stretch.window.value_or(QStringLiteral("-")));
}

} // namespace

class HistoryFile : public ::testing::Test
{
protected:
    void SetUp() override { path = directory.filePath(QStringLiteral("history.sqlite3")); }

    // A history of `count` stretches in two applications, written and closed.
    QStringList writeHistory(int count)
    {
        QString error;
        auto database = HistoryDatabase::open(path, nullptr, &error);
        EXPECT_NE(database, nullptr) << error.toStdString();
        QList<HistoryOperation> operations;
        QStringList written;
        const QDateTime start(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < count; ++i) {
            const Stretch stretch{quint64(i + 1), false, start.addSecs(i * 20), start.addSecs(i * 20 + 17), 17.0,
                                  i % 3 ? QStringLiteral("Editor") : QStringLiteral("Browser"), QStringLiteral("document %1.txt").arg(i % 40)};
            operations.append({HistoryOperation::Kind::Write, stretch, {}, 0.0, {}, {}});
            written.append(describe(stretch));
        }
        EXPECT_TRUE(database->apply(operations, &error)) << error.toStdString();
        return written;
    }

    QStringList readAll() const
    {
        QString error;
        const auto database = HistoryDatabase::openToRead(path, &error);
        EXPECT_NE(database, nullptr) << error.toStdString();
        const std::optional<QList<Stretch>> stretches = database ? database->stretches(always(), forever(), &error) : std::nullopt;
        EXPECT_TRUE(stretches.has_value()) << error.toStdString();
        QStringList described;
        for (const Stretch &stretch : stretches.value_or(QList<Stretch>()))
            described.append(describe(stretch));
        return described;
    }

    // The files moved aside, by name.
    QStringList movedAside() const
    {
        return QDir(directory.path()).entryList({QStringLiteral("history.sqlite3.corrupt-*")}, QDir::Files, QDir::Name);
    }

    QTemporaryDir directory;
    QString path;
};

TEST_F(HistoryFile, AJournalOfAnotherDatabaseIsNeverReplayedIntoTheHistory)
{
    const QStringList written = writeHistory(1845);
    const QByteArray history = contentsOf(path);

    // Another database in WAL mode with writes not yet in its file, whose journal a restore
    // from a backup left beside the history.
    const QByteArray other = QFile::encodeName(directory.filePath(QStringLiteral("other.sqlite3")));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(other.constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE notes(text); INSERT INTO notes VALUES (hex(randomblob(3000)));",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close(db);
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(other) + QStringLiteral("-wal"), path + QStringLiteral("-wal")));

    // Reading refuses it, and leaves the file as it was.
    QString error;
    EXPECT_EQ(HistoryDatabase::openToRead(path, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("not Kestrum's history"))) << error.toStdString();
    EXPECT_EQ(contentsOf(path), history);

    // Kestrum's start moves all three aside under one name and keeps every stretch.
    HistoryStore store(path);
    const QString message = store.open();
    EXPECT_TRUE(message.contains(QStringLiteral("history.sqlite3-wal, belongs to another database"))
                && message.contains(QStringLiteral("with the 1845 stretches that could still be read")))
        << message.toStdString();
    const QStringList aside = movedAside();
    ASSERT_EQ(aside.size(), 3) << aside.join(u' ').toStdString();
    EXPECT_EQ(aside.at(1), aside.at(0) + QStringLiteral("-shm"));
    EXPECT_EQ(aside.at(2), aside.at(0) + QStringLiteral("-wal"));
    EXPECT_EQ(contentsOf(directory.filePath(aside.at(0))), history) << "the history moved aside is as it was";
    EXPECT_EQ(readAll(), written);
}

TEST_F(HistoryFile, ADamagedHistoryIsNoticedAndWhatStillReadsIsKept)
{
    const QStringList written = writeHistory(3000);
    {
        // Four pages of random bytes in the middle of the file.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 4096;
        ASSERT_GT(pages, 20);
        file.seek(pages / 2 * 4096);
        QByteArray noise(4 * 4096, '\0');
        QRandomGenerator random(7);
        random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        file.write(noise);
    }
    const QByteArray damaged = contentsOf(path);

    // Reading says so, rather than handing out a part as the whole.
    QString error;
    const auto reader = HistoryDatabase::openToRead(path, &error);
    ASSERT_NE(reader, nullptr) << error.toStdString();
    EXPECT_FALSE(reader->stretches(always(), forever(), &error).has_value());
    EXPECT_TRUE(reader->isDamaged());
    EXPECT_TRUE(error.startsWith(path) && error.contains(QStringLiteral("malformed"))) << error.toStdString();
    EXPECT_FALSE(reader->totals(HistoryDatabase::Grouping::Day, always(), forever(), &error).has_value());

    // Kestrum's start finds it, moves it aside and starts anew with every stretch that reads.
    HistoryStore store(path);
    const QString message = store.open();
    const QRegularExpressionMatch kept = QRegularExpression(QStringLiteral("damaged.*moved to .* with the (\\d+) stretches that could still be read"))
                                             .match(message);
    ASSERT_TRUE(kept.hasMatch()) << message.toStdString();
    const QStringList read = readAll();
    EXPECT_EQ(read.size(), kept.captured(1).toInt());
    EXPECT_GT(read.size(), written.size() / 2);
    EXPECT_LT(read.size(), written.size());
    const QSet<QString> original(written.cbegin(), written.cend());
    for (const QString &stretch : read)
        EXPECT_TRUE(original.contains(stretch)) << "a stretch that was never written: " << stretch.toStdString();
    EXPECT_EQ(contentsOf(directory.filePath(movedAside().value(0))), damaged);

    // The new history is whole, and takes the next stretch.
    EXPECT_TRUE(store.apply({{HistoryOperation::Kind::Write, {1, false, forever().addDays(-1), forever().addDays(-1).addSecs(5), 5.0,
                                                               QStringLiteral("Editor"), std::nullopt}, {}, 0.0, {}}}).written);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
    EXPECT_EQ(readAll().size(), read.size() + 1);
}
