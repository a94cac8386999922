#include "SharedFolderSync.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSync)

SharedFolderSync::SharedFolderSync(SharedFolder::Options options, std::function<qint64()> elapsedMs)
    : m_folder(std::move(options))
    , m_elapsedMs(std::move(elapsedMs))
{
    m_steady.start();
    if (!m_elapsedMs)
        m_elapsedMs = [this] { return m_steady.elapsed(); };
}

QStringList SharedFolderSync::opened(HistoryDatabase &database)
{
    QStringList said = importNow(database);
    if (m_folder.ownFolderIsAhead(database)) {
        m_renounced = true;
        said.append(tr("The shared folder holds later days of this computer's id (%1) than it recorded: another computer, "
                       "started from a copy of this one's data folder, writes as it. This computer takes an id of its own.")
                        .arg(m_folder.options().device));
        if (m_onSameIdElsewhere)
            m_onSameIdElsewhere();
        return said;
    }
    // Days recorded while nothing wrote them (Kestrum killed, the folder unset until now): every
    // day from the latest the folder holds of this computer on is checked, and written if it differs.
    QString error;
    const std::optional<QDate> since = m_folder.latestOwnDay(&error);
    const std::optional<QList<QDate>> days = since ? database.daysWithStretches(since->isValid() ? since->startOfDay() : QDateTime(), &error)
                                                   : std::nullopt;
    if (!days) {
        said.append(tr("This computer's days cannot be written to the shared folder: %1").arg(error));
        return said;
    }
    for (const QDate day : *days)
        m_urgent.insert(day);
    if (since && since->isValid())
        m_urgent.insert(*since); // its stretches may have grown after it was written
    return said + exportWaiting(database, true);
}

void SharedFolderSync::markDays(const QDateTime &start, const QDateTime &end, bool now)
{
    const QDate first = start.toLocalTime().date();
    const QDate last = std::max(end, start).toLocalTime().date();
    for (QDate day = first; day.isValid() && day <= last && first.daysTo(day) <= 400; day = day.addDays(1))
        (now ? m_urgent : m_waiting).insert(day);
}

QStringList SharedFolderSync::written(HistoryDatabase &database, const QList<HistoryOperation> &operations)
{
    bool changed = false;
    for (const HistoryOperation &operation : operations) {
        switch (operation.kind) {
        case HistoryOperation::Kind::Write:
        case HistoryOperation::Kind::TakeBack: {
            // The day of the stretch the time belongs to; taken-back time is today's.
            const QDateTime at = operation.kind == HistoryOperation::Kind::Write ? operation.stretch.start : QDateTime::currentDateTimeUtc();
            markDays(at, at, false);
            break;
        }
        case HistoryOperation::Kind::Forget:
        case HistoryOperation::Kind::Assign:
            markDays(operation.stretch.start, operation.stretch.end, true);
            changed = true;
            break;
        case HistoryOperation::Kind::PutOverlay:
        case HistoryOperation::Kind::RemoveOverlay:
            // A removed entry comes with its span.
            markDays(operation.overlay.start, operation.overlay.end, true);
            changed = true;
            break;
        }
    }
    return changed ? exportWaiting(database, false) : QStringList();
}

QStringList SharedFolderSync::tick(HistoryDatabase &database, bool folderChanged)
{
    QStringList said = exportWaiting(database, false);
    if (folderChanged || m_elapsedMs() - m_lastImportMs >= kImportEveryMs)
        said += importNow(database);
    return said;
}

QStringList SharedFolderSync::finishing(HistoryDatabase &database)
{
    return exportWaiting(database, true);
}

QStringList SharedFolderSync::importNow(HistoryDatabase &database)
{
    m_lastImportMs = m_elapsedMs();
    m_lastImport = m_folder.importAll(database);
    if (m_lastImport.days > 0 || m_lastImport.removed > 0 || m_lastImport.waiting > 0)
        qCInfo(lcSync, "Imported %d days from the shared folder, removed %d; %d wait for their files to arrive.", m_lastImport.days,
               m_lastImport.removed, m_lastImport.waiting);
    return m_lastImport.problems;
}

QStringList SharedFolderSync::exportWaiting(HistoryDatabase &database, bool all)
{
    if (m_renounced)
        return {};
    // Today's stretches grow with every batch: written again at most once a minute.
    const bool due = all || m_elapsedMs() - m_lastExportMs >= kRewriteTodayMs;
    QSet<QDate> days = m_urgent;
    if (due)
        days.unite(m_waiting);
    if (days.isEmpty())
        return {};
    QList<QDate> ordered(days.cbegin(), days.cend());
    std::sort(ordered.begin(), ordered.end());
    QStringList said;
    QString error;
    if (!m_folder.exportDays(database, ordered, &error)) {
        // Tried again with the next batch; said once until it works again.
        if (error != m_lastProblem)
            said.append(tr("The shared folder cannot be written: %1").arg(error));
        m_lastProblem = error;
        return said;
    }
    for (const QDate day : std::as_const(ordered)) {
        m_urgent.remove(day);
        m_waiting.remove(day);
    }
    if (!m_lastProblem.isEmpty())
        qCInfo(lcSync, "The shared folder is written again.");
    m_lastProblem.clear();
    if (due)
        m_lastExportMs = m_elapsedMs();
    return said;
}
