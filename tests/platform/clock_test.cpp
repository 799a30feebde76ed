// Time services: the tick counter never goes back and advances over a sleep,
// file times convert to local calendar times and back exactly, impossible dates
// are refused, and the local time now agrees with the file time now.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace {

TEST(Clock, TickCountIsMonotonicAndAdvances) {
  uint32_t previous = platform::TickCount();
  const uint32_t start = previous;
  for (int i = 0; i < 100000; ++i) {
    const uint32_t now = platform::TickCount();
    ASSERT_GE(static_cast<uint32_t>(now - start), static_cast<uint32_t>(previous - start));
    previous = now;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const uint32_t elapsed = platform::TickCount() - start;
  EXPECT_GE(elapsed, 40u);
  EXPECT_LT(elapsed, 60000u);
}

TEST(Clock, LocalTimeRoundTrip) {
  platform::LocalTime local;
  local.Year = 2001;
  local.Month = 2;
  local.Day = 3;
  local.Hour = 4;
  local.Minute = 5;
  local.Second = 6;
  local.Millisecond = 789;
  platform::FileTime time = 0;
  ASSERT_TRUE(platform::LocalToFileTime(local, time));
  platform::LocalTime back;
  ASSERT_TRUE(platform::FileTimeToLocal(time, back));
  EXPECT_EQ(back.Year, 2001);
  EXPECT_EQ(back.Month, 2);
  EXPECT_EQ(back.Day, 3);
  EXPECT_EQ(back.Hour, 4);
  EXPECT_EQ(back.Minute, 5);
  EXPECT_EQ(back.Second, 6);
  EXPECT_EQ(back.Millisecond, 789);
  EXPECT_EQ(back.DayOfWeek, 6);  // a Saturday

  // A summer date too, where daylight saving may apply.
  local.Month = 7;
  local.Day = 14;
  ASSERT_TRUE(platform::LocalToFileTime(local, time));
  ASSERT_TRUE(platform::FileTimeToLocal(time, back));
  EXPECT_EQ(back.Month, 7);
  EXPECT_EQ(back.Day, 14);
  EXPECT_EQ(back.Hour, 4);
}

TEST(Clock, ImpossibleDatesAreRefused) {
  const auto refused = [](int Year, int Month, int Day, int Hour, int Minute, int Second) {
    platform::LocalTime local;
    local.Year = Year;
    local.Month = Month;
    local.Day = Day;
    local.Hour = Hour;
    local.Minute = Minute;
    local.Second = Second;
    platform::FileTime time = 0;
    return !platform::LocalToFileTime(local, time);
  };
  EXPECT_TRUE(refused(2001, 2, 29, 0, 0, 0));  // not a leap year
  EXPECT_FALSE(refused(2004, 2, 29, 0, 0, 0));
  EXPECT_TRUE(refused(2001, 4, 31, 0, 0, 0));
  EXPECT_TRUE(refused(2001, 13, 1, 0, 0, 0));
  EXPECT_TRUE(refused(2001, 0, 1, 0, 0, 0));
  EXPECT_TRUE(refused(2001, 1, 0, 0, 0, 0));
  EXPECT_TRUE(refused(2001, 1, 1, 24, 0, 0));
  EXPECT_TRUE(refused(2001, 1, 1, 0, 60, 0));
  EXPECT_TRUE(refused(2001, 1, 1, 0, 0, 60));
  EXPECT_TRUE(refused(1500, 1, 1, 0, 0, 0));
}

TEST(Clock, NowAgreesWithFileTimeNow) {
  const platform::FileTime before = platform::NowAsFileTime();
  const platform::LocalTime now = platform::Now();
  platform::LocalTime copy = now;
  copy.Millisecond = 0;
  platform::FileTime asFileTime = 0;
  ASSERT_TRUE(platform::LocalToFileTime(copy, asFileTime));
  const platform::FileTime second = platform::kFileTicksPerSecond;
  EXPECT_GE(asFileTime + 2 * second, before);
  EXPECT_LE(asFileTime, before + 2 * second);
  EXPECT_GE(now.Year, 2020);
}

}  // namespace
