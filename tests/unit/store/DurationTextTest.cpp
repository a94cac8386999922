#include "store/DurationText.h"

#include <gtest/gtest.h>

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
