#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>

// Writes a tool's whole output to standard output. A write that fails (a full disk, say) is
// told in one line on standard error; the answer is the tool's exit status.
inline int writeStandardOutput(const char *program, const QByteArray &bytes)
{
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size()) && std::fflush(stdout) == 0)
        return 0;
    const int error = errno != 0 ? errno : EIO;
    const QString message = QCoreApplication::translate("StandardOutput", "cannot write to standard output: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(error)));
    std::fprintf(stderr, "%s: %s\n", program, qPrintable(message));
    return 1;
}
