#include "store/DurationText.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <limits>

TEST(DurationText, WholeSecondsAsHoursMinutesSeconds)
{
    const std::pair<double, const char *> cases[] = {
        {0, "00:00:00"},      {0.999, "00:00:00"},     {59.9, "00:00:59"},        {3599.5, "00:59:59"},
        {3600, "01:00:00"},   {90061, "25:01:01"},     {359999, "99:59:59"},      {360000, "100:00:00"},
        {-61, "-1:-2:-1"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(timeStringForDouble(seconds).toStdString(), text) << seconds;
}

TEST(DurationText, HoursTakeAsManyDigitsAsTheyNeed)
{
    EXPECT_EQ(timeStringForDouble(3.6e15).toStdString(), "1000000000000:00:00");
    EXPECT_EQ(timeStringForDouble(-3.6e15 - 61).toStdString(), "-1000000000001:-2:-1");

    // The largest finite time: every digit of the hours is written, none is cut off.
    for (const double seconds : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()}) {
        const QString text = timeStringForDouble(seconds);
        const QStringList parts = text.split(u':');
        ASSERT_EQ(parts.size(), 3) << text.toStdString();
        const QString hours = parts[0].startsWith(u'-') ? parts[0].mid(1) : parts[0];
        EXPECT_EQ(hours.size(), 305) << text.toStdString(); // floor(DBL_MAX / 3600) is about 5e304
        EXPECT_EQ(parts[0].startsWith(u'-'), seconds < 0);
    }
}

TEST(DurationText, EveryTextAddsUpToItsWholeSecondsOnBothSidesOfTheIntegerShortcut)
{
    // Whole-second texts below 1e12 seconds are written from integers, the rest from doubles.
    QList<double> samples = {0, 1, 9.5, 35999, 36000, 36000.999, 1e12 - 1, 1e12 - 0.25, 1e12, 1e12 + 1, 4e12 + 61};
    for (int i = 0; i < 2000; ++i)
        samples.append(std::pow(10.0, i % 14) * (i * 0.6180339887 - std::floor(i * 0.6180339887)));
    for (const double seconds : samples) {
        const QStringList parts = timeStringForDouble(seconds).split(u':');
        ASSERT_EQ(parts.size(), 3) << seconds;
        EXPECT_GE(parts[0].size(), 2) << seconds;
        EXPECT_EQ(parts[1].size(), 2) << seconds;
        EXPECT_EQ(parts[2].size(), 2) << seconds;
        EXPECT_LT(parts[1].toInt(), 60) << seconds;
        EXPECT_LT(parts[2].toInt(), 60) << seconds;
        EXPECT_EQ(parts[0].toLongLong() * 3600 + parts[1].toLongLong() * 60 + parts[2].toLongLong(), qint64(std::floor(seconds))) << seconds;
    }
}
