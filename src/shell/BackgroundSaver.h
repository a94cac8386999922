#pragma once

#include "persistence/SettingsStore.h"

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

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
    // Writes `write` on the caller's thread, after every write asked for before it, and
    // answers whether it is on disk. When the newest write asked for is this very one, that
    // write is waited for instead of made twice: the quit save usually follows a save handed
    // over a moment before, with nothing counted in between.
    bool saveNow(const SettingsFileWrite &write, QString *error = nullptr);

Q_SIGNALS:
    // A write failed; delivered on the thread that owns the saver.
    void failed(const QString &reason);

private:
    void run();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::optional<SettingsFileWrite> m_waiting;
    bool m_writing = false;
    struct Outcome
    {
        bool ok = false;
        QString error;
    };
    // The newest write asked for, how many have been asked for, and how the newest went once
    // it has been made.
    std::optional<SettingsFileWrite> m_newest;
    std::vector<SettingsFileWrite> m_retired; // earlier writes, let go of on the saver's thread
    quint64 m_asked = 0;
    std::optional<Outcome> m_newestOutcome;
    bool m_stopping = false;
    std::thread m_thread;
};
