#include "Programs.h"

#include <QStandardPaths>

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
