#include "DurationText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// Below this many seconds a double's whole seconds, minutes and hours are those of the integer.
constexpr double kExactInIntegers = 1e12;

// Two digits of a value below 100.
char *writeTwoDigits(char *out, qint64 value)
{
    out[0] = char('0' + value / 10);
    out[1] = char('0' + value % 10);
    return out + 2;
}

} // namespace

QString timeStringForDouble(double seconds)
{
    // The total label's text is made at every tick: written digit by digit where it can be.
    if (seconds >= 0.0 && seconds < kExactInIntegers) {
        const auto t = qint64(seconds);
        std::array<char, 32> buffer{};
        char *out = buffer.data();
        if (t < 36000)
            *out++ = '0';
        out = std::to_chars(out, buffer.data() + 16, t / 3600).ptr;
        *out++ = ':';
        out = writeTwoDigits(out, t / 60 % 60);
        *out++ = ':';
        out = writeTwoDigits(out, t % 60);
        return QString::fromLatin1(buffer.data(), out - buffer.data());
    }

    const double t = std::floor(seconds);
    const double secs = std::fmod(t, 60.0);
    const double mins = std::fmod(std::floor(t / 60.0), 60.0);
    const double hours = std::floor(t / 3600.0);

    // "%.f" of a double never exceeds 310 characters; three of them and two colons fit.
    std::array<char, 1024> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%02.f:%02.f:%02.f", hours, mins, secs);
    if (length < 0)
        return {};
    return QString::fromLatin1(buffer.data(), std::min<int>(length, int(buffer.size()) - 1));
}
