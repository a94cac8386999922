#include "BackgroundSaver.h"

#include <malloc.h>

#include <utility>

BackgroundSaver::BackgroundSaver(QObject *parent)
    : QObject(parent)
    , m_thread([this] { run(); })
{
}

BackgroundSaver::~BackgroundSaver()
{
    {
        std::lock_guard locker(m_lock);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void BackgroundSaver::save(SettingsFileWrite write)
{
    {
        std::lock_guard locker(m_lock);
        // Asked for again with nothing changed (a quit asks more than once): written once,
        // unless the first one failed.
        if (m_newest && *m_newest == write && (!m_newestOutcome || m_newestOutcome->ok))
            return;
        // The write before holds the previous snapshot of the timings, and may be the last to
        // hold it: freeing a large store's names is left to the saver's thread too.
        if (m_newest)
            m_retired.push_back(std::move(*m_newest));
        m_newest = write;
        m_newestOutcome.reset();
        ++m_asked;
        m_waiting = std::move(write);
    }
    m_changed.notify_all();
}

void BackgroundSaver::waitUntilIdle()
{
    std::unique_lock locker(m_lock);
    m_changed.wait(locker, [this] { return !m_waiting && !m_writing; });
}

bool BackgroundSaver::saveNow(const SettingsFileWrite &write, QString *error)
{
    {
        std::unique_lock locker(m_lock);
        if (m_newest && *m_newest == write) {
            m_changed.wait(locker, [this] { return m_newestOutcome.has_value(); });
            if (m_newestOutcome->ok)
                return true;
            // It failed: try once more here, so that the caller learns why first hand.
        } else {
            m_waiting.reset();
            m_changed.wait(locker, [this] { return !m_writing; });
        }
        m_newest.reset();
        m_newestOutcome.reset();
    }
    return write.perform(error);
}

void BackgroundSaver::run()
{
    std::unique_lock locker(m_lock);
    for (;;) {
        m_changed.wait(locker, [this] { return m_waiting || m_stopping; });
        if (!m_waiting)
            return; // stopping, with nothing left to write
        const SettingsFileWrite write = std::move(*m_waiting);
        std::vector<SettingsFileWrite> retired = std::exchange(m_retired, {});
        const quint64 number = m_asked;
        m_waiting.reset();
        m_writing = true;
        locker.unlock();
        Outcome outcome;
        outcome.ok = write.perform(&outcome.error);
        if (!outcome.ok)
            Q_EMIT failed(outcome.error); // queued to the owner's thread
        retired.clear();
        // The write's buffer and records were freed into this thread's own heap, which the C
        // library keeps resident: a large store would otherwise cost its file's size again in
        // memory, for as long as Kestrum runs.
        ::malloc_trim(0);
        locker.lock();
        if (number == m_asked && m_newest)
            m_newestOutcome = std::move(outcome);
        m_writing = false;
        m_changed.notify_all();
    }
}
