#include "timeFormat.h"

#include <gtest/gtest.h>

using namespace vistrel;

TEST(TimeFormat, TicksBecomeHoursMinutesSecondsAndTruncatedHundredths) {
    struct Case {
        qint64 ticks;
        int fps;
        const char* text;
    };
    const Case cases[] = {
        {0, 12, "0:00:00.00"},     {13, 12, "0:00:01.08"},    {750, 12, "0:01:02.50"},
        {1, 12, "0:00:00.08"},     {29, 100, "0:00:00.29"},   {57, 100, "0:00:00.57"},
        {43200, 12, "1:00:00.00"}, {82620, 12, "1:54:45.00"}, {324 * 255, 1, "22:57:00.00"},
        {1, 1000, "0:00:00.00"},   {999, 1000, "0:00:00.99"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTime(c.ticks, c.fps), QString::fromLatin1(c.text))
            << c.ticks << " at " << c.fps;
}
