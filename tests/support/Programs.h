#pragma once

#include <QProcess>
#include <QString>
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

// Waits until the program has printed a whole line, or ended, or `timeoutMs` passed; answers
// whether a line is there to read.
bool waitForLine(QProcess &process, int timeoutMs);

// Starts in `process` a program that owns `name` on the D-Bus bus at `address` and never reads
// what is sent to it: a service that takes every call and answers none. True once it owns the
// name; the reason goes to `error` otherwise. It needs Debian's python3 with python3-dbus.
bool startSilentBusName(QProcess &process, const QString &address, const QString &name, QString *error);
