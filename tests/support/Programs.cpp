#include "Programs.h"

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
