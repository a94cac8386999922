#include "DurationText.h"

#include <array>
#include <cmath>
#include <cstdio>

QString timeStringForDouble(double seconds)
{
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
