// DOS date-time stamps to day numbers: the 1980 default for every invalid stamp,
// month lengths and leap years, and an ordinary stamp to the second.
#include <gtest/gtest.h>

#include "archive/core/DosDate.h"
#include "archive/identify/Kstbase.h"

namespace {

using kst::kstConvertDate;

constexpr double kEpoch = 29221.0;

uint32_t Stamp(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int SecondField = 0) {
  const uint32_t Date = static_cast<uint32_t>(((Year - 1980) << 9) | (Month << 5) | Day);
  const uint32_t Time = static_cast<uint32_t>((Hour << 11) | (Minute << 5) | SecondField);
  return (Date << 16) | Time;
}

TEST(ConvertDate, ZeroAndFirstOf1980AreTheEpoch) {
  EXPECT_EQ(kstConvertDate(0), kEpoch);
  EXPECT_EQ(kstConvertDate(0x00210000), kEpoch);
}

TEST(ConvertDate, InvalidFieldsGiveTheEpoch) {
  EXPECT_EQ(kstConvertDate(Stamp(1995, 13, 1)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1995, 0, 1)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1995, 6, 0)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1995, 4, 31)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1981, 2, 29)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(2100, 2, 29)), kEpoch);  // not a leap year
  EXPECT_EQ(kstConvertDate(Stamp(1995, 6, 1, 24)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1995, 6, 1, 0, 60)), kEpoch);
  EXPECT_EQ(kstConvertDate(Stamp(1995, 6, 1, 0, 0, 30)), kEpoch);  // 60 seconds
}

TEST(ConvertDate, MonthEndsAndLeapDays) {
  EXPECT_EQ(kstConvertDate(Stamp(1980, 2, 29)), kEpoch + 31 + 28);
  EXPECT_EQ(kstConvertDate(Stamp(2000, 2, 29)), 36585.0);
  EXPECT_EQ(kstConvertDate(Stamp(1980, 12, 31)), kEpoch + 365);
  EXPECT_EQ(kstConvertDate(Stamp(1981, 1, 1)), kEpoch + 366);
}

TEST(ConvertDate, OrdinaryStampToTheSecond) {
  // 2026-12-08 03:14:32
  EXPECT_EQ(Stamp(2026, 12, 8, 3, 14, 16), 0x5D8819D0u);
  const double Value = kstConvertDate(0x5D8819D0);
  EXPECT_NEAR(Value, 46364.0 + (3 * 3600 + 14 * 60 + 32) / 86400.0, 1e-9);
  EXPECT_EQ(kstConvertDate(Stamp(2107, 12, 31, 23, 59, 29)),
            kstConvertDate(Stamp(2107, 12, 31)) + (86400.0 - 2.0) / 86400.0);
}

TEST(ConvertDate, ComponentMethodTakesTheSignedStamp) {
  kst::TZipCommon Common;
  EXPECT_EQ(Common.ConvertDate(0), kEpoch);
  EXPECT_EQ(Common.ConvertDate(static_cast<int32_t>(Stamp(2100, 1, 1))), kstConvertDate(Stamp(2100, 1, 1)));
  EXPECT_EQ(Common.ConvertDate(INT32_MIN), kEpoch);  // month 0
}

TEST(SwapWords, ExchangesTheHalves) {
  EXPECT_EQ(kst::SwapWords(0x12345678u), 0x56781234u);
  EXPECT_EQ(kst::SwapWords(kst::SwapWords(0xDEADBEEFu)), 0xDEADBEEFu);
}

}  // namespace
