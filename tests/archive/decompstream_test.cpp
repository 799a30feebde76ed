// TDecompMemoryStream's item list: items record where entries lie, names are
// cut to 255 characters, and clearing the list keeps or drops the bytes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "archive/io/DecompMemoryStream.h"

namespace {

TEST(DecompMemoryStream, ItemsKeepTheirFieldsAndLongNamesAreCut) {
  kst::TDecompMemoryStream Stream;
  Stream.ADDITEM({0x2A434883, 10, 0, "a.txt"});
  Stream.ADDITEM({0, 20, 10, std::string(300, 'n')});
  ASSERT_EQ(Stream.Count(), 2);
  EXPECT_EQ(Stream.GetFileDate(0), 0x2A434883u);
  EXPECT_EQ(Stream.GetFileSize(1), 20u);
  EXPECT_EQ(Stream.GetFileOffset(1), 10u);
  EXPECT_EQ(Stream.GetFileName(1), std::string(255, 'n'));
  EXPECT_THROW(Stream.GetFileName(2), std::out_of_range);
}

TEST(DecompMemoryStream, ClearListKeepsBytesClearMemoryDropsBoth) {
  kst::TDecompMemoryStream Stream;
  Stream.Write("abc", 3);
  Stream.ADDITEM({0, 3, 0, "x"});
  Stream.ClearList();
  EXPECT_EQ(Stream.Count(), 0);
  EXPECT_EQ(Stream.Size(), 3);
  Stream.ADDITEM({0, 3, 0, "x"});
  Stream.ClearMemory();
  EXPECT_EQ(Stream.Count(), 0);
  EXPECT_EQ(Stream.Size(), 0);
}

}  // namespace
