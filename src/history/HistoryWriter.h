#pragma once

#include "HistoryDatabase.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <QThread>

#include <chrono>
#include <memory>

// What follows the history on the thread that writes it (the shared folder): told of every
// batch in the file, woken every minute or so and when a folder it watches changes, and once
// more before the history closes. Each answers what the user should be told, if anything.
class HistoryFollower
{
public:
    virtual ~HistoryFollower() = default;
    virtual QStringList opened(HistoryDatabase &database) = 0;
    virtual QStringList written(HistoryDatabase &database, const QList<HistoryOperation> &operations) = 0;
    virtual QStringList tick(HistoryDatabase &database, bool folderChanged) = 0;
    virtual QStringList finishing(HistoryDatabase &database) = 0;
    virtual QStringList watchedFolders() const = 0;
};

// Applies operations to a history database, keeping what fails for the next time. The writer's
// thread runs one; kestrum-replay runs one on its own thread, on virtual time.
class HistoryStore
{
    Q_DECLARE_TR_FUNCTIONS(HistoryStore)

public:
    explicit HistoryStore(QString path) : m_path(std::move(path)) {}

    struct Applied
    {
        bool written = false;  // the operations (and all kept before them) are in the file
        qint64 forgotten = 0;  // stretches the operations forgot
        QString error;         // why they are not written
        QString message;       // for the user: the first failure of a kind, a history moved aside
    };
    // Opens the history and checks every page of it: a damaged one is moved aside and replaced
    // by what can still be read of it. A message for the user, or nothing.
    QString open();
    // Applies what is kept and then `operations`, opening the history first if need be. Fast
    // commits are handed to the system only: sync() puts them on the disk.
    Applied apply(const QList<HistoryOperation> &operations, HistoryDatabase::Commit commit = HistoryDatabase::Commit::Durable);
    // Puts what fast commits wrote on the disk; a message when it cannot.
    QString sync();
    qsizetype keptCount() const { return m_kept.size(); }
    // The seconds of history that could not be written and so far are in memory only.
    double unwrittenSeconds() const;
    // Why the last write failed, or nothing.
    const QString &lastError() const { return m_lastError; }

    // Hands what is written to `follower` from now on (none: to no one); what it has to say.
    QStringList follow(std::unique_ptr<HistoryFollower> follower);
    HistoryFollower *follower() const { return m_follower.get(); }
    QStringList tick(bool folderChanged);
    // Before the history closes.
    QStringList finishFollowing();

private:
    void keep(const QList<HistoryOperation> &operations);

    QString m_path;
    std::unique_ptr<HistoryDatabase> m_database;
    QList<HistoryOperation> m_kept;
    std::unique_ptr<HistoryFollower> m_follower;
    QString m_lastError;
    bool m_failing = false;
    bool m_openFailed = false;
};

// Writes the history on a thread of its own, so that the window's thread never waits for the
// disk. What cannot be written (a full disk) is kept and written with the next batch; each kind
// of trouble is reported once through `problem`. Each batch is on the disk once committed.
class HistoryWriter : public QObject
{
    Q_OBJECT

public:
    // Opens and checks the history at `path` on the writer's thread, before any write.
    explicit HistoryWriter(QString path, QObject *parent = nullptr);
    ~HistoryWriter() override;

    // Queues the operations for the thread; returns at once.
    void write(const QList<HistoryOperation> &operations);
    // Queues the operations and waits until they and all before them are applied, at most
    // `timeout`: for what must be in the file before the file is read. None when the wait
    // ran out (they are applied later all the same).
    std::optional<HistoryStore::Applied> writeAndWait(const QList<HistoryOperation> &operations, std::chrono::milliseconds timeout);
    // Hands what is written to `follower` on the writer's thread from now on (none: to no one).
    void follow(std::unique_ptr<HistoryFollower> follower);
    // Waits until all that was queued is written (or has failed), and ends the thread. Answers
    // how many seconds of history could not be written, with the reason.
    double finish(QString *error = nullptr);

Q_SIGNALS:
    // For the status line; emitted on the writer's owner's thread.
    void problem(const QString &message);

private:
    class Worker;
    void report(const QString &message);
    void report(const QStringList &messages);

    QThread m_thread;
    Worker *m_worker = nullptr;
    double m_unwrittenAtFinish = 0.0;
    QString m_errorAtFinish;
};
