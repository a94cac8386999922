#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class QThread;

// Whether a D-Bus daemon answers at `address` within `timeout`: it takes the connection,
// authenticates the user and answers Hello. A bus that accepts connections and never answers
// would otherwise block Qt's first use of it for minutes. Only unix: addresses can be tried;
// any other counts as answering. The reason goes to `why` when it does not answer.
bool busAnswers(const QByteArray &address, std::chrono::milliseconds timeout, QString *why);

// Where the session and the system bus are, as libdbus finds them; empty for no session bus.
QByteArray sessionBusAddress();
QByteArray systemBusAddress();

// Finds out on a thread of its own whether the bus at an address answers, and tries again,
// less and less often, until it does: `answered` comes once it does, `silent` once when the
// first try fails. Both arrive on the thread this object lives in.
class BusWaiter : public QObject
{
    Q_OBJECT

public:
    explicit BusWaiter(QByteArray address, QObject *parent = nullptr);
    ~BusWaiter() override; // stops trying, and waits at most one try for the thread

    void start();

Q_SIGNALS:
    void answered();
    void silent(const QString &why);

private:
    void tryUntilAnswered();

    QByteArray m_address;
    QThread *m_thread = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
};
