// Time services: the tick counter never goes back and advances over a sleep,
// file times convert to local calendar times and back exactly, impossible dates
// are refused, and the local time now agrees with the file time now.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace {

TEST(Clock, TickCountIsMonotonicAndAdvances) {
  uint32_t Previous = platform::TickCount();
  const uint32_t Start = Previous;
  for (int I = 0; I < 100000; ++I) {
    const uint32_t Now = platform::TickCount();
    ASSERT_GE(static_cast<uint32_t>(Now - Start), static_cast<uint32_t>(Previous - Start));
    Previous = Now;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const uint32_t Elapsed = platform::TickCount() - Start;
  EXPECT_GE(Elapsed, 40u);
  EXPECT_LT(Elapsed, 60000u);
}

TEST(Clock, LocalTimeRoundTrip) {
  platform::LocalTime Local;
  Local.Year = 2001;
  Local.Month = 2;
  Local.Day = 3;
  Local.Hour = 4;
  Local.Minute = 5;
  Local.Second = 6;
  Local.Millisecond = 789;
  platform::FileTime Time = 0;
  ASSERT_TRUE(platform::LocalToFileTime(Local, Time));
  platform::LocalTime Back;
  ASSERT_TRUE(platform::FileTimeToLocal(Time, Back));
  EXPECT_EQ(Back.Year, 2001);
  EXPECT_EQ(Back.Month, 2);
  EXPECT_EQ(Back.Day, 3);
  EXPECT_EQ(Back.Hour, 4);
  EXPECT_EQ(Back.Minute, 5);
  EXPECT_EQ(Back.Second, 6);
  EXPECT_EQ(Back.Millisecond, 789);
  EXPECT_EQ(Back.DayOfWeek, 6);  // a Saturday

  // A summer date too, where daylight saving may apply.
  Local.Month = 7;
  Local.Day = 14;
  ASSERT_TRUE(platform::LocalToFileTime(Local, Time));
  ASSERT_TRUE(platform::FileTimeToLocal(Time, Back));
  EXPECT_EQ(Back.Month, 7);
  EXPECT_EQ(Back.Day, 14);
  EXPECT_EQ(Back.Hour, 4);
}

TEST(Clock, ImpossibleDatesAreRefused) {
  const auto Refused = [](int Year, int Month, int Day, int Hour, int Minute, int Second) {
    platform::LocalTime Local;
    Local.Year = Year;
    Local.Month = Month;
    Local.Day = Day;
    Local.Hour = Hour;
    Local.Minute = Minute;
    Local.Second = Second;
    platform::FileTime Time = 0;
    return !platform::LocalToFileTime(Local, Time);
  };
  EXPECT_TRUE(Refused(2001, 2, 29, 0, 0, 0));  // not a leap year
  EXPECT_FALSE(Refused(2004, 2, 29, 0, 0, 0));
  EXPECT_TRUE(Refused(2001, 4, 31, 0, 0, 0));
  EXPECT_TRUE(Refused(2001, 13, 1, 0, 0, 0));
  EXPECT_TRUE(Refused(2001, 0, 1, 0, 0, 0));
  EXPECT_TRUE(Refused(2001, 1, 0, 0, 0, 0));
  EXPECT_TRUE(Refused(2001, 1, 1, 24, 0, 0));
  EXPECT_TRUE(Refused(2001, 1, 1, 0, 60, 0));
  EXPECT_TRUE(Refused(2001, 1, 1, 0, 0, 60));
  EXPECT_TRUE(Refused(1500, 1, 1, 0, 0, 0));
}

TEST(Clock, NowAgreesWithFileTimeNow) {
  const platform::FileTime Before = platform::NowAsFileTime();
  const platform::LocalTime Now = platform::Now();
  platform::LocalTime Copy = Now;
  Copy.Millisecond = 0;
  platform::FileTime AsFileTime = 0;
  ASSERT_TRUE(platform::LocalToFileTime(Copy, AsFileTime));
  const platform::FileTime Second = platform::kFileTicksPerSecond;
  EXPECT_GE(AsFileTime + 2 * Second, Before);
  EXPECT_LE(AsFileTime, Before + 2 * Second);
  EXPECT_GE(Now.Year, 2020);
}

}  // namespace
