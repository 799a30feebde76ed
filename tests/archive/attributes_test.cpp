// Attribute and method columns of listings, the gzip signature test and the
// consistency rules of the attribute selector TkstFileAttr.
#include <gtest/gtest.h>

#include "archive/list/AttrStrings.h"
#include "archive/core/KstFileAttr.h"
#include "archive/list/MethodNames.h"

namespace {

using namespace kst;

TEST(WinAttrToString, LettersAtFixedPositionsLaterFirstLettersWin) {
  EXPECT_EQ(WinAttrToString(0x31, '-'), "dr--");
  EXPECT_EQ(WinAttrToString(0x27, '-'), "arsh");
  EXPECT_EQ(WinAttrToString(0x3F, ' '), "vrsh");
  EXPECT_EQ(WinAttrToString(0x00, '.'), "....");
  EXPECT_EQ(WinAttrToString(0x20, '-'), "a---");
}

TEST(UnixAttrToString, PermissionsAndSpecialBits) {
  EXPECT_EQ(UnixAttrToString(0x41ED, '-'), "drwxr-xr-x");
  EXPECT_EQ(UnixAttrToString(0x81A4, '-'), "-rw-r--r--");
  EXPECT_EQ(UnixAttrToString(04755, '-'), "-rwsr-xr-x");
  EXPECT_EQ(UnixAttrToString(04644, '-'), "-rwSr--r--");
  EXPECT_EQ(UnixAttrToString(02755, '-'), "-rwxr-sr-x");
  EXPECT_EQ(UnixAttrToString(02745, '-'), "-rwxr-Sr-x");
  EXPECT_EQ(UnixAttrToString(01777, '.'), ".rwxrwxrwx");
  EXPECT_EQ(UnixAttrToString(0, ' '), "          ");
}

TEST(FileAttrToString, FormFollowsArchiveKindAndHost) {
  EXPECT_EQ(FileAttrToString(atNA, 0x20, '-'), "");
  EXPECT_EQ(FileAttrToString(atUnknown, 0x20, '-'), "");
  EXPECT_EQ(FileAttrToString(atZip, 0x41ED, '-', RarHostUnix), WinAttrToString(0x41ED, '-'));
  EXPECT_EQ(FileAttrToString(atAce, 0x41ED, '-'), "drwxr-xr-x");
  EXPECT_EQ(FileAttrToString(atRar, 0x41ED, '-', RarHostUnix), "drwxr-xr-x");
  EXPECT_EQ(FileAttrToString(atRarExe, 0x41ED, '-', RarHostUnix), "drwxr-xr-x");
  EXPECT_EQ(FileAttrToString(atRar, 0x21, '-', 2), "ar--");
}

TEST(IsGZipSignAttr, TheFiveSignatureWords) {
  for (uint16_t Word : {0x1E1F, 0x8B1F, 0x9D1F, 0x9E1F, 0xA01F}) EXPECT_TRUE(IsGZipSignAttr(Word)) << Word;
  for (uint16_t Word : {0x1F8B, 0x0000, 0x8B1E, 0x211F}) EXPECT_FALSE(IsGZipSignAttr(Word)) << Word;
}

TEST(MethodNames, ZipFamilyMethods) {
  const char* Expected[] = {"Stored", "Shrunk", "Reduce-1", "Reduce-2", "Reduce-3", "Reduce-4", "Imploded", "Tokened"};
  for (uint16_t Method = 0; Method < 8; ++Method) {
    EXPECT_EQ(GetCompressionMethodStr(atZip, Method, 0, 0), Expected[Method]);
  }
  for (TArcType Family : {atJar, atJarExe, atZipExe, atZipMV}) {
    EXPECT_EQ(GetCompressionMethodStr(Family, 6, 0, 0), "Imploded");
  }
  EXPECT_EQ(GetCompressionMethodStr(atZip, 8, 0x04, 0), "DeflateF");
  EXPECT_EQ(GetCompressionMethodStr(atZip, 9, 0, 0x10), "Dir");
  EXPECT_EQ(GetCompressionMethodStr(atZip, 9, 0, 0x20), "Unsupported");
  EXPECT_EQ(GetCompressionMethodStr(atZip, 0xFFFF, 0, 0), "Unsupported");
  EXPECT_EQ(GetCompressionMethodStr(atGZip, 8, 0, 0), "Unsupported");
}

TEST(MethodNames, DeflateSpeedBits) {
  EXPECT_EQ(GetDeflateMethodStr(0x00), "DeflateN");
  EXPECT_EQ(GetDeflateMethodStr(0x01), "DeflateN");  // the encryption bit does not count
  EXPECT_EQ(GetDeflateMethodStr(0x02), "DeflateX");
  EXPECT_EQ(GetDeflateMethodStr(0x04), "DeflateF");
  EXPECT_EQ(GetDeflateMethodStr(0x06), "DeflateS");
  EXPECT_EQ(GetDeflateMethodStr(0xFF), "DeflateS");
}

void ExpectSwitches(const TkstFileAttr& A, uint32_t Mask) {
  EXPECT_EQ(A.ftFileAttr(), Mask);
  EXPECT_EQ(A.ftArchive(), (Mask & 0x20) != 0);
  EXPECT_EQ(A.ftDirectory(), (Mask & 0x10) != 0);
  EXPECT_EQ(A.ftVolumeID(), (Mask & 0x08) != 0);
  EXPECT_EQ(A.ftSysFile(), (Mask & 0x04) != 0);
  EXPECT_EQ(A.ftHidden(), (Mask & 0x02) != 0);
  EXPECT_EQ(A.ftReadOnly(), (Mask & 0x01) != 0);
  EXPECT_TRUE(A.ftCompressed());
  EXPECT_FALSE(A.ftTemporary());
}

TEST(TkstFileAttr, StartsAsAnyFile) {
  TkstFileAttr A;
  EXPECT_TRUE(A.ftAnyFile());
  EXPECT_TRUE(A.ftZeroAttr());
  ExpectSwitches(A, 0x3F);
}

TEST(TkstFileAttr, SwitchingOneOffLeavesAnyFileAndBackOnReturns) {
  TkstFileAttr A;
  A.SetDirectory(false);
  EXPECT_FALSE(A.ftAnyFile());
  ExpectSwitches(A, 0x2F);
  A.SetDirectory(true);
  EXPECT_TRUE(A.ftAnyFile());
  ExpectSwitches(A, 0x3F);
}

TEST(TkstFileAttr, AllSwitchesOffIncludingZeroAttrIsAnyFile) {
  TkstFileAttr A;
  A.SetArchive(false);
  A.SetHidden(false);
  A.SetReadOnly(false);
  A.SetSysFile(false);
  A.SetVolumeID(false);
  A.SetDirectory(false);
  EXPECT_FALSE(A.ftAnyFile());
  EXPECT_TRUE(A.ftZeroAttr());
  ExpectSwitches(A, 0x00);
  A.SetZeroAttr(false);
  EXPECT_TRUE(A.ftAnyFile());
  EXPECT_TRUE(A.ftZeroAttr());
  ExpectSwitches(A, 0x3F);
}

TEST(TkstFileAttr, CompressedAndTemporaryAreFixed) {
  TkstFileAttr A;
  A.SetCompressed(false);
  A.SetTemporary(true);
  EXPECT_TRUE(A.ftCompressed());
  EXPECT_FALSE(A.ftTemporary());
}

TEST(TkstFileAttr, SetAttributeFromMask) {
  TkstFileAttr A;
  A.SetAttribute(0x21);
  EXPECT_FALSE(A.ftAnyFile());
  ExpectSwitches(A, 0x21);
  for (uint32_t AnyMask : {0x00u, 0x3Fu, 0x7Fu, 0x81u}) {
    A.SetAttribute(0x01);
    A.SetAttribute(AnyMask);
    EXPECT_TRUE(A.ftAnyFile()) << AnyMask;
    ExpectSwitches(A, 0x3F);
  }
}

TEST(TkstFileAttr, SetAnyFileOffKeepsTheSwitches) {
  TkstFileAttr A;
  A.SetAttribute(0x12);
  A.SetAnyFile(true);
  ExpectSwitches(A, 0x3F);
  A.SetAnyFile(false);
  ExpectSwitches(A, 0x3F);
}

TEST(TkstFileAttr, AssignCopiesTheSwitches) {
  TkstFileAttr Source;
  Source.SetAttribute(0x31);
  TkstFileAttr Target;
  Target.Assign(Source);
  EXPECT_FALSE(Target.ftAnyFile());
  ExpectSwitches(Target, 0x31);
  TkstFileAttr Any;
  Target.Assign(Any);
  EXPECT_TRUE(Target.ftAnyFile());
  ExpectSwitches(Target, 0x3F);
}

}  // namespace
