#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// One Kestrum per user: two would each overwrite the other's timings. A lock beside the settings
// file tells whether one runs (the lock of a Kestrum that was killed is stale and taken over), and
// a local socket in the runtime folder lets a second start hand its request to the running one,
// with no D-Bus needed. Plain Unix sockets: Qt's network module would cost a megabyte of
// libraries in every running Kestrum for these few bytes.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Request { Show, ShowAndStart };

    explicit SingleInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    enum class Claim { Claimed, HeldByAnother, Failed };
    // Takes the lock. Failed (with the reason) when no lock can be made at all; Kestrum then
    // runs on without the guarantee.
    Claim claim(QString *error);
    // For a second start: hands the request to the running Kestrum and waits until it has acted.
    bool handOver(Request request, QString *error);
    // For the running Kestrum: from now on, hand-overs arrive as `requested`.
    bool listen(QString *error);

    // The local socket's path, one per settings file.
    QString serverPath() const { return m_serverPath; }

Q_SIGNALS:
    void requested(SingleInstance::Request request);

private:
    void answer();
    void serve(int connection);

    QString m_lockPath;
    QString m_serverPath;
    std::unique_ptr<QLockFile> m_lock;
    int m_server = -1;
    QSocketNotifier *m_serverNotifier = nullptr;
};
