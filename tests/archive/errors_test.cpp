// The error table: its size, the identifiers' values, texts that are easy to get
// wrong by a byte, and the empty text of identifiers without an entry.
#include <gtest/gtest.h>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"

namespace {

using kst::ErrorText;

TEST(ErrorTable, HoldsExactly104IdentifiersAllInTheLibraryRange) {
  int Count = 0;
  for (int32_t Code = 0; Code < 30000; ++Code) {
    if (ErrorText(Code).empty()) continue;
    ++Count;
    EXPECT_GE(Code, 25101);
    EXPECT_LE(Code, 26899);
  }
  EXPECT_EQ(Count, 104);
  EXPECT_EQ(Count, kst::ErrorTextCount);
}

TEST(ErrorTable, NamedIdentifiersCarryTheirNumbers) {
  EXPECT_EQ(kst::Err64BitHeader, 25101);
  EXPECT_EQ(kst::ErrBadBlock, 25111);
  EXPECT_EQ(kst::ErrIncompleteCodeSet, 25138);
  EXPECT_EQ(kst::ErrCrcCheck, 25151);
  EXPECT_EQ(kst::ErrUnableCreateDir, 25156);
  EXPECT_EQ(kst::ErrOpenFile, 25235);
  EXPECT_EQ(kst::ErrInvalidFileName, 25243);
  EXPECT_EQ(kst::ErrOutOfMemory, 25253);
  EXPECT_EQ(kst::ErrEventNotAssigned, 25270);
  EXPECT_EQ(kst::ErrUserCanceled, 25449);
  EXPECT_EQ(kst::ErrInvalidPassword, 26517);
  EXPECT_EQ(kst::ErrCreateDirPrompt, 26899);
}

TEST(ErrorTable, TextsAreByteExact) {
  EXPECT_EQ(ErrorText(25101), "64 bit hearder");
  EXPECT_EQ(ErrorText(25248), "Inconsistant local header");
  EXPECT_EQ(ErrorText(25111), "Bad block");
  EXPECT_EQ(ErrorText(25160), "is not accessible.");
  EXPECT_EQ(ErrorText(25232), "Flat ScrollBar requires COMCTL32.dll version 4.71 or above.");
  EXPECT_EQ(ErrorText(25240), "Line found before 'BEGIN'");
  EXPECT_EQ(ErrorText(25174), "FileSize exceeds OS's support");
  EXPECT_EQ(ErrorText(25235), "Error opening file");
  EXPECT_EQ(ErrorText(25449), "User canceled");
  EXPECT_EQ(ErrorText(26000), "All_files (*.*)|*.*");
  EXPECT_EQ(ErrorText(26001),
            "ALL Archives |*.ace;*.arc;*.arj;*.bh;*.cab;*.enc;*.exe;*.gz;*.ha;*.jar;*.lha;*.lzh;"
            "*.mbf;*.pak;*.pk3;*.pk_;*.rar;*.tar;*.tgz;*.uue;*.xxe;*.z;*.zip;*.zoo");
  EXPECT_EQ(ErrorText(26002), "Executables (*.exe)");
  EXPECT_EQ(ErrorText(26899), "Directory does not exist... Create?");
  EXPECT_EQ(ErrorText(25906), "Insert LAST disk of this archive set");
}

TEST(ErrorTable, IdentifiersWithoutAnEntryHaveTheEmptyText) {
  for (int32_t Code : {0, -1, 25100, 25103, 25112, 25244, 25451, 26898, 26900, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(ErrorText(Code), "") << Code;
  }
}

TEST(ErrorTable, ExceptionMessageIsTheBareText) {
  try {
    throw kst::E_RAISE(ErrorText(kst::ErrOpenFile));
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "Error opening file");
  }
}

}  // namespace
