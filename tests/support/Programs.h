#pragma once

#include <QProcess>
#include <QStringList>

// Whether the tests run in continuous integration ($CI set, and neither "false" nor "0"), where
// a missing program is a broken set-up that fails a test rather than a reason to skip it.
bool runningInCi();

// Those of the programs that are not on PATH, in the order given.
QStringList missingPrograms(const QStringList &programs);

// Makes the program end when the test process dies, however it dies.
void endWithTestProcess(QProcess &process);

// Ends a program: SIGTERM, then SIGKILL if it is still there after three seconds; waits for it.
void stopProcess(QProcess &process);
