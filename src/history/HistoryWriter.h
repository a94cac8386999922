#pragma once

#include "HistoryDatabase.h"

#include <QObject>
#include <QThread>

// Writes the history on a thread of its own, so that the window's thread never waits for the
// disk. What cannot be written (a full disk) is kept and written with the next batch; each
// kind of trouble is reported once through `problem`.
class HistoryWriter : public QObject
{
    Q_OBJECT

public:
    explicit HistoryWriter(QString path, QObject *parent = nullptr);
    ~HistoryWriter() override;

    // Queues the operations for the thread; returns at once.
    void write(const QList<HistoryOperation> &operations);
    // Waits until all that was queued is written (or has failed), and ends the thread.
    void finish();

Q_SIGNALS:
    // For the status line; emitted on the writer's owner's thread.
    void problem(const QString &message);

private:
    class Worker;
    QThread m_thread;
    Worker *m_worker = nullptr;
};

// Applies operations to a history database, keeping what fails for the next time. The writer's
// thread runs one; kestrum-replay runs one on its own thread, on virtual time.
class HistoryStore
{
public:
    explicit HistoryStore(QString path) : m_path(std::move(path)) {}

    // Applies what is kept and then `operations`; a message the first time something fails,
    // and when the history was moved aside.
    QString apply(const QList<HistoryOperation> &operations);
    qsizetype keptCount() const { return m_kept.size(); }

private:
    QString m_path;
    std::unique_ptr<HistoryDatabase> m_database;
    QList<HistoryOperation> m_kept;
    bool m_failing = false;
    bool m_openFailed = false;
};
