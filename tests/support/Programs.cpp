#include "Programs.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

bool runningInCi()
{
    const QString ci = qEnvironmentVariable("CI").toLower();
    return !ci.isEmpty() && ci != u"false" && ci != u"0";
}

QStringList missingPrograms(const QStringList &programs)
{
    QStringList missing;
    for (const QString &program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing.append(program);
    }
    return missing;
}

void endWithTestProcess(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

bool startSilentBusName(QProcess &process, const QString &address, const QString &name, QString *error)
{
    // Without a main loop nothing that arrives is ever read, let alone answered.
    const QString program = QStringLiteral("import dbus, sys, time\n"
                                           "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                                           "if bus.request_name(sys.argv[2], dbus.bus.NAME_FLAG_DO_NOT_QUEUE) != 1:\n"
                                           "    sys.exit(sys.argv[2] + ' has an owner already')\n"
                                           "print('owned', flush=True)\n"
                                           "time.sleep(3600)\n");
    endWithTestProcess(process);
    // The Debian interpreter: python3-dbus is a Debian package, and a python3 found first on PATH
    // (a virtual environment, pyenv) may not see it.
    process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), program, address, name});
    if (waitForLine(process, 15000))
        return true;
    *error = QStringLiteral("no process took %1 on %2: %3").arg(name, address, QString::fromLocal8Bit(process.readAllStandardError()));
    stopProcess(process);
    return false;
}

bool waitForLine(QProcess &process, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine()) {
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        process.waitForReadyRead(100);
    }
    return true;
}
