#include "HistoryWriter.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QTimer>

#include <condition_variable>
#include <mutex>

Q_LOGGING_CATEGORY(lcHistory, "kestrum.history")

QString HistoryStore::open()
{
    if (m_database)
        return {};
    QString warning;
    QString error;
    m_database = HistoryDatabase::open(m_path, &warning, &error, HistoryDatabase::Check::Quick);
    if (m_database) {
        if (m_follower)
            warning = (QStringList{warning} + m_follower->opened(*m_database)).join(u'\n').trimmed();
        return warning;
    }
    m_lastError = error;
    const bool first = !m_openFailed;
    m_openFailed = true;
    return first ? tr("The history cannot be kept: %1. Counting goes on.").arg(error) : QString();
}

void HistoryStore::keep(const QList<HistoryOperation> &operations)
{
    // A stretch written again replaces its earlier writing, so that a disk full for hours keeps
    // one copy of each stretch, not one a minute.
    for (const HistoryOperation &operation : operations) {
        if (operation.kind == HistoryOperation::Kind::Write) {
            const auto same = std::find_if(m_kept.begin(), m_kept.end(), [&operation](const HistoryOperation &kept) {
                return kept.kind == HistoryOperation::Kind::Write && kept.stretch.id == operation.stretch.id;
            });
            if (same != m_kept.end()) {
                same->stretch = operation.stretch;
                continue;
            }
        }
        m_kept.append(operation);
    }
}

HistoryStore::Applied HistoryStore::apply(const QList<HistoryOperation> &operations, HistoryDatabase::Commit commit)
{
    Applied applied;
    keep(operations);
    if (!m_database) {
        applied.message = open();
        if (!m_database) {
            applied.error = m_lastError;
            return applied;
        }
    }
    QString error;
    bool written = m_database->apply(m_kept, &error, commit, &applied.forgotten);
    if (!written && m_database->isDamaged()) {
        // Damaged while Kestrum ran: moved aside like a damaged history at start, and what was
        // kept written into the copy, whose stretches keep their numbers.
        const HistoryDatabase::OpenStretches open = m_database->openStretches();
        m_database.reset();
        applied.message = this->open();
        if (!m_database) {
            applied.error = m_lastError;
            return applied;
        }
        m_database->adoptOpenStretches(open);
        written = m_database->apply(m_kept, &error, commit, &applied.forgotten);
    }
    if (written) {
        if (m_follower) {
            const QStringList said = m_follower->written(*m_database, m_kept);
            if (!said.isEmpty())
                applied.message = (QStringList{applied.message} + said).join(u'\n').trimmed();
        }
        m_kept.clear();
        m_lastError.clear();
        applied.written = true;
        if (m_failing) {
            qCInfo(lcHistory, "The history is written again.");
            // What piled up in the journal meanwhile goes into the file, and the journal back
            // to its usual size.
            if (!m_database->checkpoint(&error))
                qCWarning(lcHistory).noquote() << "The history's journal could not be emptied:" << error;
        }
        m_failing = false;
        return applied;
    }
    // Kept in memory, and tried again with the next batch.
    m_lastError = error;
    applied.error = error;
    if (!m_failing) {
        m_failing = true;
        applied.message = tr("The history cannot be written (%1): it is kept in memory and written when it can be.").arg(error);
    }
    return applied;
}

QString HistoryStore::sync()
{
    QString error;
    if (!m_database || m_database->syncJournal(&error))
        return {};
    return tr("The history could not be put on the disk (%1).").arg(error);
}

QStringList HistoryStore::follow(std::unique_ptr<HistoryFollower> follower)
{
    QStringList said;
    if (m_follower && m_database)
        said = m_follower->finishing(*m_database);
    m_follower = std::move(follower);
    if (m_follower && m_database)
        said += m_follower->opened(*m_database);
    return said;
}

QStringList HistoryStore::tick(bool folderChanged)
{
    return m_follower && m_database ? m_follower->tick(*m_database, folderChanged) : QStringList();
}

QStringList HistoryStore::finishFollowing()
{
    return m_follower && m_database ? m_follower->finishing(*m_database) : QStringList();
}

double HistoryStore::unwrittenSeconds() const
{
    return HistoryDatabase::unwrittenSeconds(m_kept, m_database ? m_database->openStretches() : HistoryDatabase::OpenStretches());
}

class HistoryWriter::Worker : public QObject
{
public:
    explicit Worker(QString path) : m_store(std::move(path)) {}
    HistoryStore &store() { return m_store; }

    // On the writer's thread: the follower woken every minute, and soon after its folders change.
    QStringList follow(std::unique_ptr<HistoryFollower> follower)
    {
        QStringList said = m_store.follow(std::move(follower));
        if (!m_ticks) {
            m_ticks = new QTimer(this);
            m_ticks->setInterval(std::chrono::minutes(1));
            connect(m_ticks, &QTimer::timeout, this, [this] { m_owner->report(m_store.tick(false)); watch(); });
            m_settle = new QTimer(this);
            m_settle->setSingleShot(true);
            // A sync tool writes a file and its manifest one after the other.
            m_settle->setInterval(std::chrono::seconds(2));
            connect(m_settle, &QTimer::timeout, this, [this] { m_owner->report(m_store.tick(true)); watch(); });
            m_watcher = new QFileSystemWatcher(this);
            connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
        }
        if (m_store.follower())
            m_ticks->start();
        else
            m_ticks->stop();
        watch();
        return said;
    }
    void watch()
    {
        if (!m_watcher->directories().isEmpty())
            m_watcher->removePaths(m_watcher->directories());
        if (!m_store.follower())
            return;
        QStringList folders;
        for (const QString &folder : m_store.follower()->watchedFolders()) {
            if (QFileInfo(folder).isDir())
                folders.append(folder);
        }
        if (!folders.isEmpty())
            m_watcher->addPaths(folders);
    }
    HistoryWriter *m_owner = nullptr;

private:
    HistoryStore m_store;
    QTimer *m_ticks = nullptr;
    QTimer *m_settle = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
};

HistoryWriter::HistoryWriter(QString path, QObject *parent)
    : QObject(parent)
    , m_worker(new Worker(std::move(path)))
{
    m_thread.setObjectName(QStringLiteral("history"));
    m_worker->m_owner = this;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
    // Checked whole before anything is written to it, while the window comes up.
    QMetaObject::invokeMethod(m_worker, [this] { report(m_worker->store().open()); });
}

HistoryWriter::~HistoryWriter()
{
    finish();
}

void HistoryWriter::report(const QString &message)
{
    if (message.isEmpty())
        return;
    qCWarning(lcHistory).noquote() << message;
    QMetaObject::invokeMethod(this, [this, message] { Q_EMIT problem(message); }, Qt::QueuedConnection);
}

void HistoryWriter::report(const QStringList &messages)
{
    for (const QString &message : messages)
        report(message);
}

void HistoryWriter::follow(std::unique_ptr<HistoryFollower> follower)
{
    if (!m_thread.isRunning())
        return;
    // Moved into the call: a std::function must be copyable.
    auto handed = std::make_shared<std::unique_ptr<HistoryFollower>>(std::move(follower));
    QMetaObject::invokeMethod(m_worker, [this, handed] { report(m_worker->follow(std::move(*handed))); });
}

void HistoryWriter::write(const QList<HistoryOperation> &operations)
{
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(m_worker, [this, operations] { report(m_worker->store().apply(operations).message); });
}

std::optional<HistoryStore::Applied> HistoryWriter::writeAndWait(const QList<HistoryOperation> &operations,
                                                                 std::chrono::milliseconds timeout)
{
    if (!m_thread.isRunning())
        return std::nullopt;
    // Shared with the thread, which may still apply them after the wait ran out.
    struct Waiting
    {
        std::mutex lock;
        std::condition_variable done;
        std::optional<HistoryStore::Applied> applied;
    };
    const auto waiting = std::make_shared<Waiting>();
    QMetaObject::invokeMethod(m_worker, [this, operations, waiting] {
        HistoryStore::Applied applied = m_worker->store().apply(operations);
        report(applied.message);
        std::lock_guard locker(waiting->lock);
        waiting->applied = std::move(applied);
        waiting->done.notify_all();
    });
    std::unique_lock locker(waiting->lock);
    waiting->done.wait_for(locker, timeout, [&waiting] { return waiting->applied.has_value(); });
    return waiting->applied;
}

double HistoryWriter::finish(QString *error)
{
    if (m_thread.isRunning()) {
        // Queued behind every write, so that the thread ends once all of them are written.
        QMetaObject::invokeMethod(m_worker, [this] {
            for (const QString &message : m_worker->store().finishFollowing())
                qCWarning(lcHistory).noquote() << message;
            m_unwrittenAtFinish = m_worker->store().unwrittenSeconds();
            m_errorAtFinish = m_worker->store().lastError();
            m_thread.quit();
        });
        m_thread.wait();
    }
    if (error)
        *error = m_errorAtFinish;
    return m_unwrittenAtFinish;
}
