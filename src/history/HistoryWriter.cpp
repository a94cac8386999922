#include "HistoryWriter.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHistory, "kestrum.history")

QString HistoryStore::apply(const QList<HistoryOperation> &operations)
{
    QString message;
    m_kept.append(operations);
    if (!m_database) {
        QString warning;
        QString error;
        m_database = HistoryDatabase::open(m_path, &warning, &error);
        if (!m_database) {
            const bool first = !m_openFailed;
            m_openFailed = true;
            return first ? QStringLiteral("The history cannot be kept: %1. Counting goes on.").arg(error) : QString();
        }
        message = warning;
    }
    QString error;
    if (m_database->apply(m_kept, &error)) {
        m_kept.clear();
        if (m_failing)
            qCInfo(lcHistory, "The history is written again.");
        m_failing = false;
        return message;
    }
    // Kept in memory, and tried again with the next batch.
    if (!m_failing) {
        m_failing = true;
        return QStringLiteral("The history cannot be written (%1): it is kept in memory and written when it can be.").arg(error);
    }
    return message;
}

class HistoryWriter::Worker : public QObject
{
public:
    explicit Worker(QString path) : m_store(std::move(path)) {}
    QString apply(const QList<HistoryOperation> &operations) { return m_store.apply(operations); }

private:
    HistoryStore m_store;
};

HistoryWriter::HistoryWriter(QString path, QObject *parent)
    : QObject(parent)
    , m_worker(new Worker(std::move(path)))
{
    m_thread.setObjectName(QStringLiteral("history"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

HistoryWriter::~HistoryWriter()
{
    finish();
}

void HistoryWriter::write(const QList<HistoryOperation> &operations)
{
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(m_worker, [this, operations] {
        const QString message = m_worker->apply(operations);
        if (!message.isEmpty()) {
            qCWarning(lcHistory).noquote() << message;
            QMetaObject::invokeMethod(this, [this, message] { Q_EMIT problem(message); }, Qt::QueuedConnection);
        }
    });
}

void HistoryWriter::finish()
{
    if (!m_thread.isRunning())
        return;
    // Queued behind every write, so that the thread ends once all of them are written.
    QMetaObject::invokeMethod(m_worker, [this] { m_thread.quit(); });
    m_thread.wait();
}
