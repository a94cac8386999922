#pragma once

#include <QByteArray>

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
    std::fprintf(stderr, "%s: cannot write to standard output: %s\n", program, std::strerror(errno != 0 ? errno : EIO));
    return 1;
}
