#pragma once

#include "persistence/SettingsStore.h"

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Writes the settings file on a thread of its own, so that serialising and writing a large
// store never holds up the window. Writes run one at a time, in the order they were asked
// for; a write asked for while another still waits replaces it, since it holds all the older
// one would have written.
class BackgroundSaver : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundSaver(QObject *parent = nullptr);
    // Carries out the write still waiting, then ends the thread: nothing asked for is lost.
    ~BackgroundSaver() override;

    void save(SettingsFileWrite write);
    // Waits until every write asked for so far is on disk (or has failed).
    void waitUntilIdle();
    // Drops the write still waiting and waits for the one under way: for a caller that writes
    // newer values itself right after, which no older write may then overtake.
    void waitForWriteUnderWay();

Q_SIGNALS:
    // A write failed; delivered on the thread that owns the saver.
    void failed(const QString &reason);

private:
    void run();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::optional<SettingsFileWrite> m_waiting;
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_thread;
};
