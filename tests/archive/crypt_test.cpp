// Traditional ZIP decryption: the header check in both of its forms on real
// archives (written by independent tools), and the password shift.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive/extract/Kstcrypt.h"
#include "tests/support/Manifest.h"
#include "tests/support/RawZip.h"
#include "tests/support/TestData.h"

namespace {

// Header check on the first encrypted entry of a real archive.
void CheckArchive(const std::string& Archive, bool UsesTime) {
  const std::vector<skwtest::RawEntry> Entries = skwtest::ReadRawZip(skwtest::DataPath("zip/" + Archive));
  const std::vector<skwtest::ManifestRow> Rows = skwtest::ManifestRowsOf(Archive);
  ASSERT_FALSE(Entries.empty());
  const skwtest::RawEntry& E = Entries[0];
  ASSERT_EQ(E.Flags & 8, UsesTime ? 8 : 0);
  uint8_t Buffer[25] = {};
  std::memcpy(Buffer + 12, E.Data.data(), 12);
  kst::TZipKeys Keys;
  const uint32_t DosDateTime = E.DosTime;  // only its high byte is compared
  EXPECT_TRUE(kst::decrypt_pw(Keys, Buffer, 12, E.Flags, E.Crc32, DosDateTime, Rows[0].Password)) << Archive;
  // The encrypted copy is kept, so a wrong try does not spoil the next one.
  EXPECT_FALSE(kst::decrypt_pw(Keys, Buffer, 12, E.Flags, E.Crc32, DosDateTime, "")) << Archive;
  EXPECT_TRUE(kst::decrypt_pw(Keys, Buffer, 12, E.Flags, E.Crc32, DosDateTime, Rows[0].Password)) << Archive;
  // The wrong field decides nothing: flip the flag and the check moves away.
  const uint16_t OtherFlags = E.Flags ^ 8;
  const uint8_t Expected = UsesTime ? uint8_t(E.Crc32 >> 24) : uint8_t(DosDateTime >> 8);
  EXPECT_EQ(kst::decrypt_pw(Keys, Buffer, 12, OtherFlags, E.Crc32, DosDateTime, Rows[0].Password),
            Buffer[11] == Expected);
}

TEST(DecryptPw, CheckByteComesFromTheTimeWithBit3ElseFromTheCrc) {
  CheckArchive("izip_encrypted.zip", true);
  CheckArchive("7z_zipcrypto.zip", false);
}

TEST(CPassword, ShiftsEachCharacterModulo256BothWays) {
  const std::string Text = std::string("ab\xFF\x01", 4);
  const std::string Up = kst::CPassword(0, Text, 2);
  EXPECT_EQ(Up, std::string("cd\x01\x03", 4));
  EXPECT_EQ(kst::CPassword(1, Up, 2), Text);
}

}  // namespace
