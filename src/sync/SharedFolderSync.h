#pragma once

#include "SharedFolder.h"
#include "history/HistoryWriter.h"

#include <QElapsedTimer>

#include <functional>

// The shared folder kept in step with the history, on the history's thread: this computer's
// days written as they change (today's at most once a minute, and at quit; an earlier day when
// the user forgets, assigns or corrects something in it), the other computers' imported when
// the history opens, when their folders change and every few minutes.
class SharedFolderSync : public HistoryFollower
{
    Q_DECLARE_TR_FUNCTIONS(SharedFolderSync)

public:
    static constexpr qint64 kRewriteTodayMs = 60 * 1000;
    static constexpr qint64 kImportEveryMs = 3 * 60 * 1000;

    // `elapsedMs`: a monotonic clock in milliseconds (a steady one unless a test gives its own).
    explicit SharedFolderSync(SharedFolder::Options options, std::function<qint64()> elapsedMs = {});
    // Called (on the history's thread) when the folder shows another computer writing under
    // this one's id: from then on nothing is written under it, and this computer should take
    // a new id and follow the folder again.
    void setOnSameIdElsewhere(std::function<void()> call) { m_onSameIdElsewhere = std::move(call); }
    bool renounced() const { return m_renounced; }

    QStringList opened(HistoryDatabase &database) override;
    QStringList written(HistoryDatabase &database, const QList<HistoryOperation> &operations) override;
    QStringList tick(HistoryDatabase &database, bool folderChanged) override;
    QStringList finishing(HistoryDatabase &database) override;
    QStringList watchedFolders() const override { return m_folder.watchedFolders(); }

    // What the last import found, for the preferences and the tests.
    const SharedFolder::Imported &lastImport() const { return m_lastImport; }

private:
    QStringList importNow(HistoryDatabase &database);
    // Writes the days waiting to be written; `all` also those written less than a minute ago.
    QStringList exportWaiting(HistoryDatabase &database, bool all);
    void markDays(const QDateTime &start, const QDateTime &end, bool now);

    SharedFolder m_folder;
    std::function<qint64()> m_elapsedMs;
    QElapsedTimer m_steady;
    QSet<QDate> m_waiting; // days written to the history since they were last exported
    QSet<QDate> m_urgent;  // of them, those the user changed: exported with the batch
    qint64 m_lastExportMs = -kRewriteTodayMs;
    qint64 m_lastImportMs = 0;
    SharedFolder::Imported m_lastImport;
    QString m_lastProblem;
    std::function<void()> m_onSameIdElsewhere;
    bool m_renounced = false; // another computer writes as this one: nothing more is written
};
