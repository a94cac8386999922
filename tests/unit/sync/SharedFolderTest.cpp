// Two computers' histories through one shared folder, copied as a sync tool would: the
// all-computers totals are the sum of each computer's own after writes, forgets and
// re-imports, and what the folder holds that is not a day is left alone and said once.

#include "history/HistoryCategories.h"
#include "sync/DeviceIdentity.h"
#include "sync/SharedFolderSync.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kLaptop = QStringLiteral("3f2504e0-4f89-11d3-9a0c-0305e82c3301");
const QString kDesktop = QStringLiteral("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
const QDate kMonday(2026, 1, 5);

QDateTime at(QDate day, int hour, int minute = 0)
{
    return QDateTime(day, QTime(hour, minute)).toUTC();
}

HistoryOperation write(quint64 id, const QDateTime &start, double seconds, const QString &application, const QString &window)
{
    HistoryOperation operation;
    operation.stretch.id = id;
    operation.stretch.start = start;
    operation.stretch.end = start.addMSecs(qint64(seconds * 1000));
    operation.stretch.seconds = seconds;
    operation.stretch.application = application;
    operation.stretch.window = window;
    return operation;
}

// A computer: its history, and its side of the shared folder.
struct Computer
{
    Computer(const QString &folder, const QString &path, const QString &id, const QString &name)
        : history(HistoryDatabase::open(path, nullptr, nullptr))
        , sync(SharedFolder::Options{folder, id, name, true}, [this] { return clock; })
    {
    }
    QStringList apply(const QList<HistoryOperation> &operations)
    {
        QString error;
        EXPECT_TRUE(history->apply(operations, &error)) << error.toStdString();
        return sync.written(*history, operations);
    }
    std::unique_ptr<HistoryDatabase> history;
    qint64 clock = 0;
    SharedFolderSync sync;
};

std::map<QString, double> byApplication(HistoryDatabase &history, HistoryDatabase::Devices devices)
{
    history.readDevices(devices);
    const auto [from, to] = HistoryDatabase::localDays(kMonday, kMonday.addDays(1));
    QString error;
    const std::optional<QList<HistoryTotal>> totals = history.totals(HistoryDatabase::Grouping::Application, from, to, &error);
    EXPECT_TRUE(totals) << error.toStdString();
    std::map<QString, double> result;
    for (const HistoryTotal &total : totals.value_or(QList<HistoryTotal>()))
        result[total.application] += total.seconds;
    history.readDevices(HistoryDatabase::Devices::This);
    return result;
}

std::map<QString, double> byCategory(HistoryDatabase &history, HistoryDatabase::Devices devices)
{
    history.readDevices(devices);
    const auto [from, to] = HistoryDatabase::localDays(kMonday, kMonday.addDays(1));
    Classifier classifier(CategorySet::defaults());
    QString error;
    const std::optional<QList<HistoryCategories::Share>> shares = HistoryCategories::shares(history, classifier, from, to, &error);
    EXPECT_TRUE(shares) << error.toStdString();
    std::map<QString, double> result;
    for (const HistoryCategories::CategoryTotal &total : HistoryCategories::categoryTotals(shares.value_or(QList<HistoryCategories::Share>())))
        result[categoryPathText(total.category)] += total.seconds;
    history.readDevices(HistoryDatabase::Devices::This);
    return result;
}

// Each total of `all` is the sum of `a`'s and `b`'s, to the millisecond, and nothing more.
void expectSum(const std::map<QString, double> &all, const std::map<QString, double> &a, const std::map<QString, double> &b)
{
    std::map<QString, double> sum = a;
    for (const auto &[name, seconds] : b)
        sum[name] += seconds;
    for (auto it = sum.begin(); it != sum.end();)
        it = std::abs(it->second) < 5e-4 ? sum.erase(it) : std::next(it);
    ASSERT_EQ(all.size(), sum.size());
    for (const auto &[name, seconds] : sum)
        EXPECT_NEAR(all.at(name), seconds, 5e-4) << name.toStdString();
}

class SharedFolderTest : public ::testing::Test
{
protected:
    QString folder() const { return directory.filePath(QStringLiteral("Sync")); }
    QString laptopDays() const { return folder() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/days"); }
    // What a sync tool does: the laptop's folder carried to the desktop's copy of the folder.
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder()) && QDir().mkpath(elsewhere()));
    }
    void carry()
    {
        QDir(elsewhere() + QStringLiteral("/devices/") + kLaptop).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(elsewhere() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/days")));
        const QDir days(laptopDays());
        for (const QString &name : days.entryList(QDir::Files | QDir::Hidden)) {
            ASSERT_TRUE(QFile::copy(days.filePath(name), elsewhere() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/days/") + name));
        }
        ASSERT_TRUE(QFile::copy(folder() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/manifest.json"),
                                elsewhere() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/manifest.json")));
    }
    QString elsewhere() const { return directory.filePath(QStringLiteral("Sync on the desktop")); }

    QTemporaryDir directory;
};

} // namespace

TEST_F(SharedFolderTest, AllComputersTotalsAreTheSumOfEachComputersOwnThroughWritesForgetsAndReimports)
{
    Computer laptop(folder(), directory.filePath(QStringLiteral("laptop.sqlite3")), kLaptop, QStringLiteral("Laptop"));
    Computer desktop(elsewhere(), directory.filePath(QStringLiteral("desktop.sqlite3")), kDesktop, QStringLiteral("Desktop"));
    ASSERT_TRUE(laptop.history && desktop.history);

    // The laptop: two days of work, an assignment, added time and an answered question.
    QList<HistoryOperation> work;
    for (int i = 0; i < 40; ++i)
        work << write(i + 1, at(kMonday, 9).addSecs(i * 600), 599.25, i % 3 ? QStringLiteral("Editor") : QStringLiteral("Firefox"),
                      QStringLiteral("file %1").arg(i % 5));
    work << write(100, at(kMonday.addDays(1), 23, 50), 1200.5, QStringLiteral("Terminal"), QStringLiteral("make")); // past midnight
    laptop.apply(work);
    HistoryOperation assign;
    assign.kind = HistoryOperation::Kind::Assign;
    assign.stretch.start = at(kMonday, 10);
    assign.stretch.end = at(kMonday, 11, 30);
    assign.category = {QStringLiteral("Work"), QStringLiteral("Kestrum")};
    HistoryOperation added;
    added.kind = HistoryOperation::Kind::PutOverlay;
    added.overlay = {0, StretchSource::Added, at(kMonday, 14), at(kMonday, 14, 30), QStringLiteral("Meeting"), {}, {QStringLiteral("Work")},
                     QStringLiteral("with the team"), 0};
    laptop.apply({assign, added});
    EXPECT_TRUE(laptop.sync.finishing(*laptop.history).isEmpty());

    // The desktop's own day overlaps the laptop's: both count, in lanes of their own.
    QList<HistoryOperation> own;
    for (int i = 0; i < 10; ++i)
        own << write(i + 1, at(kMonday, 9, 5).addSecs(i * 900), 900.0, QStringLiteral("Editor"), QStringLiteral("desk %1").arg(i));
    desktop.apply(own);

    carry();
    EXPECT_TRUE(desktop.sync.opened(*desktop.history).isEmpty());
    EXPECT_EQ(desktop.sync.lastImport().days, 2);
    expectSum(byApplication(*desktop.history, HistoryDatabase::Devices::All), byApplication(*laptop.history, HistoryDatabase::Devices::This),
              byApplication(*desktop.history, HistoryDatabase::Devices::This));
    expectSum(byCategory(*desktop.history, HistoryDatabase::Devices::All), byCategory(*laptop.history, HistoryDatabase::Devices::This),
              byCategory(*desktop.history, HistoryDatabase::Devices::This));
    // The laptop's alone, by its id.
    desktop.history->readDevices(HistoryDatabase::Devices::Other, kLaptop);
    const auto [from, to] = HistoryDatabase::localDays(kMonday, kMonday);
    QString error;
    const std::optional<QList<Stretch>> laptopsOwn = desktop.history->stretches(from, to, &error);
    ASSERT_TRUE(laptopsOwn) << error.toStdString();
    EXPECT_EQ(laptopsOwn->size(), 38); // the added time among them, what it covers whole not
    EXPECT_TRUE(std::all_of(laptopsOwn->cbegin(), laptopsOwn->cend(), [](const Stretch &s) { return s.device == kLaptop; }));
    desktop.history->readDevices(HistoryDatabase::Devices::This);

    // Nothing changed: nothing is imported again.
    desktop.clock += SharedFolderSync::kImportEveryMs;
    desktop.sync.tick(*desktop.history, false);
    EXPECT_EQ(desktop.sync.lastImport().days, 0);

    // The laptop forgets the morning and all of Tuesday: both days are written again at once.
    HistoryOperation forget;
    forget.kind = HistoryOperation::Kind::Forget;
    forget.stretch.start = at(kMonday, 9);
    forget.stretch.end = at(kMonday, 10);
    HistoryOperation tuesday = forget;
    tuesday.stretch.start = at(kMonday.addDays(1), 0);
    tuesday.stretch.end = at(kMonday.addDays(2), 0);
    laptop.apply({forget, tuesday});
    EXPECT_FALSE(QFileInfo::exists(laptopDays() + QStringLiteral("/2026-01-06.jsonl")));
    carry();
    desktop.sync.tick(*desktop.history, true);
    EXPECT_EQ(desktop.sync.lastImport().days, 1);
    EXPECT_EQ(desktop.sync.lastImport().removed, 1);
    expectSum(byApplication(*desktop.history, HistoryDatabase::Devices::All), byApplication(*laptop.history, HistoryDatabase::Devices::This),
              byApplication(*desktop.history, HistoryDatabase::Devices::This));
    expectSum(byCategory(*desktop.history, HistoryDatabase::Devices::All), byCategory(*laptop.history, HistoryDatabase::Devices::This),
              byCategory(*desktop.history, HistoryDatabase::Devices::This));

    // The desktop's own history never took anything of the laptop's.
    EXPECT_EQ(byApplication(*desktop.history, HistoryDatabase::Devices::This), (std::map<QString, double>{{QStringLiteral("Editor"), 9000.0}}));
    const std::optional<QList<HistoryDevice>> devices = desktop.history->devices(&error);
    ASSERT_TRUE(devices) << error.toStdString();
    ASSERT_EQ(devices->size(), 1);
    EXPECT_EQ(devices->at(0).name, QStringLiteral("Laptop"));
    EXPECT_EQ(devices->at(0).lastDay, kMonday);
    EXPECT_TRUE(devices->at(0).problem.isEmpty()) << devices->at(0).problem.toStdString();
}

TEST_F(SharedFolderTest, TodayIsRewrittenAtMostOnceAMinuteTitlesStayHomeWhenAskedAndFilesAreTheUsersAlone)
{
    Computer laptop(folder(), directory.filePath(QStringLiteral("laptop.sqlite3")), kLaptop, QStringLiteral("Laptop"));
    QDir(folder()).removeRecursively();
    EXPECT_TRUE(laptop.sync.opened(*laptop.history).join(u' ').contains(QStringLiteral("is not there"))); // never made in its place
    EXPECT_FALSE(QFileInfo::exists(folder()));
    ASSERT_TRUE(QDir().mkpath(folder()));
    laptop.apply({write(1, at(kMonday, 9), 10.0, QStringLiteral("Editor"), QStringLiteral("secret plans.txt"))});
    laptop.sync.tick(*laptop.history, false);
    const QString day = laptopDays() + QStringLiteral("/2026-01-05.jsonl");
    ASSERT_TRUE(QFileInfo::exists(day)); // the first tick writes it
    laptop.clock += 30 * 1000;
    laptop.apply({write(1, at(kMonday, 9), 40.0, QStringLiteral("Editor"), QStringLiteral("secret plans.txt"))});
    laptop.sync.tick(*laptop.history, false);
    QFile file(day);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"seconds\":10")); // not yet a minute
    file.close();
    laptop.clock += 30 * 1000;
    laptop.sync.tick(*laptop.history, false);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"seconds\":40"));
    file.close();
    EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    EXPECT_TRUE(QDir(laptopDays()).entryList(QDir::Files | QDir::Hidden).size() == 1) << "a temporary file was left";

    // Titles kept home from now on: every day already shared is written again without them.
    laptop.apply({write(2, at(kMonday.addDays(-7), 10), 5.0, QStringLiteral("Editor"), QStringLiteral("last week's secret.txt"))});
    laptop.sync.finishing(*laptop.history);
    SharedFolderSync private_(SharedFolder::Options{folder(), kLaptop, QStringLiteral("Laptop"), false});
    private_.opened(*laptop.history);
    for (const QString &name : QDir(laptopDays()).entryList(QDir::Files)) {
        QFile day(laptopDays() + u'/' + name);
        ASSERT_TRUE(day.open(QIODevice::ReadOnly));
        EXPECT_FALSE(day.readAll().contains("secret")) << name.toStdString();
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("secret")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"window\":null"));
}

TEST_F(SharedFolderTest, WhatTheFolderHoldsThatIsNoWholeDayIsLeftAloneAndSaidOnce)
{
    Computer laptop(folder(), directory.filePath(QStringLiteral("laptop.sqlite3")), kLaptop, QStringLiteral("Laptop"));
    laptop.apply({write(1, at(kMonday, 9), 60.0, QStringLiteral("Editor"), {}), write(2, at(kMonday.addDays(1), 9), 60.0, QStringLiteral("Editor"), {}),
                  write(3, at(kMonday.addDays(2), 9), 60.0, QStringLiteral("Editor"), {})});
    laptop.sync.finishing(*laptop.history);
    carry();
    const QString days = elsewhere() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/days/");
    // Tuesday cut short in transit and its manifest entry with it; Wednesday of a later format.
    QFile tuesday(days + QStringLiteral("2026-01-06.jsonl"));
    ASSERT_TRUE(tuesday.open(QIODevice::ReadWrite));
    const QByteArray whole = tuesday.readAll();
    tuesday.resize(whole.size() - 5);
    tuesday.close();
    QFile manifest(elsewhere() + QStringLiteral("/devices/") + kLaptop + QStringLiteral("/manifest.json"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadWrite));
    QByteArray text = manifest.readAll();
    const QByteArray future = "{\"format\":2,\"device\":\"" + kLaptop.toUtf8() + "\",\"day\":\"2026-01-07\"}\n";
    text.replace(DayManifest::checksum(whole).toUtf8(), DayManifest::checksum(whole.chopped(5)).toUtf8());
    QFile wednesday(days + QStringLiteral("2026-01-07.jsonl"));
    ASSERT_TRUE(wednesday.open(QIODevice::ReadOnly));
    text.replace(DayManifest::checksum(wednesday.readAll()).toUtf8(), DayManifest::checksum(future).toUtf8());
    wednesday.close();
    ASSERT_TRUE(wednesday.open(QIODevice::WriteOnly | QIODevice::Truncate));
    wednesday.write(future);
    wednesday.close();
    manifest.resize(0);
    manifest.write(text);
    manifest.close();
    for (const QString &name : {QStringLiteral(".syncthing.2026-01-08.jsonl.tmp"), QStringLiteral("2026-01-05.sync-conflict-20260105-101010-ABCDEFG.jsonl")})
        QFile::copy(days + QStringLiteral("2026-01-05.jsonl"), days + name);
    QDir().mkpath(elsewhere() + QStringLiteral("/devices/not-a-device"));

    Computer desktop(elsewhere(), directory.filePath(QStringLiteral("desktop.sqlite3")), kDesktop, QStringLiteral("Desktop"));
    desktop.sync.opened(*desktop.history);
    const SharedFolder::Imported first = desktop.sync.lastImport();
    EXPECT_EQ(first.days, 1); // Monday, whole
    const QString said = first.problems.join(u'\n');
    EXPECT_EQ(first.problems.size(), 4) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("2026-01-06.jsonl is not imported: line"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("format 2 is newer"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("conflict copy"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("not-a-device is not a device's folder"))) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral(".syncthing."))) << said.toStdString();
    // Nothing said again; the device keeps what is wrong for the preferences.
    desktop.sync.tick(*desktop.history, true);
    EXPECT_TRUE(desktop.sync.lastImport().problems.isEmpty());
    QString error;
    EXPECT_TRUE(desktop.history->devices(&error)->at(0).problem.contains(QStringLiteral("conflict copy")));
    // Nothing of the laptop's was written to.
    EXPECT_EQ(QFileInfo(days + QStringLiteral("2026-01-07.jsonl")).size(), future.size());
}

TEST_F(SharedFolderTest, ACopyOfThisComputersDataFolderFindsItsIdWritingAheadAndStopsWritingUnderIt)
{
    const QString original = directory.filePath(QStringLiteral("laptop.sqlite3"));
    {
        Computer laptop(folder(), original, kLaptop, QStringLiteral("Laptop"));
        laptop.apply({write(1, at(kMonday, 9), 600.0, QStringLiteral("Editor"), {})});
        laptop.sync.finishing(*laptop.history);
    }
    // The data folder copied to another computer (a restored backup, a cloned disk)...
    const QString copy = directory.filePath(QStringLiteral("clone.sqlite3"));
    ASSERT_TRUE(QFile::copy(original, copy));
    // ...while the laptop goes on.
    Computer laptop(folder(), original, kLaptop, QStringLiteral("Laptop"));
    laptop.apply({write(2, at(kMonday, 11), 600.0, QStringLiteral("Editor"), {})});
    EXPECT_TRUE(laptop.sync.finishing(*laptop.history).isEmpty());
    EXPECT_FALSE(laptop.sync.renounced());
    const QByteArray written = [&] {
        QFile file(laptopDays() + QStringLiteral("/2026-01-05.jsonl"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    Computer clone(folder(), copy, kLaptop, QStringLiteral("Laptop"));
    bool renew = false;
    clone.sync.setOnSameIdElsewhere([&renew] { renew = true; });
    clone.apply({write(3, at(kMonday, 10), 60.0, QStringLiteral("Terminal"), {})});
    const QStringList said = clone.sync.opened(*clone.history);
    EXPECT_TRUE(renew && clone.sync.renounced());
    EXPECT_TRUE(said.join(u' ').contains(QStringLiteral("later days of this computer's id"))) << said.join(u'\n').toStdString();
    clone.sync.finishing(*clone.history);
    QFile file(laptopDays() + QStringLiteral("/2026-01-05.jsonl"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), written) << "the copy wrote nothing under the laptop's id";

    // It takes an id of its own, and the laptop's days are another computer's to it.
    QString message;
    QString error;
    const DeviceIdentity renewed = DeviceIdentity::renew(directory.filePath(QStringLiteral("device.json")), QStringLiteral("machine"), kLaptop,
                                                         &message, &error);
    ASSERT_TRUE(renewed.isValid()) << error.toStdString();
    EXPECT_NE(renewed.id(), kLaptop);
    EXPECT_EQ(DeviceIdentity::peek(directory.filePath(QStringLiteral("device.json"))), renewed.id());
    SharedFolderSync own(SharedFolder::Options{folder(), renewed.id(), QStringLiteral("Laptop (copy)"), true});
    own.opened(*clone.history);
    EXPECT_FALSE(own.renounced());
    EXPECT_EQ(own.lastImport().days, 1);
}
