// Hostile encrypted entries: a compressed size too small to hold the 12-byte
// encryption header, and a wrong password that happens to pass the check byte
// (one password in 256 does). The first ends with an error and no output, the
// second deciphers garbage that fails the CRC check: neither passes, neither
// crashes, whatever the method.
#include <gtest/gtest.h>

#include "tests/hardening/HostileRun.h"

namespace {

using skwtest::BytesOf;
using skwtest::HostileEntry;
using skwtest::HostileZip;
using skwtest::TBytes;

const TBytes kPlain = BytesOf("Only the right password may read this text, and no other.\n");

HostileEntry Encrypted(const std::string& Name, uint16_t Method, const TBytes& Stored, const std::string& Password) {
  HostileEntry E;
  E.Name = Name;
  E.Method = Method;
  E.Flags = 1;
  E.Plain = kPlain;
  E.Data = skwtest::ZipEncrypt(Stored, Password, uint8_t(skwtest::HostileCrc32(kPlain) >> 24));
  return E;
}

// A password other than Right whose deciphered header ends in the check byte.
std::string WrongPasswordPassingCheck(const TBytes& Data, uint8_t Check) {
  for (int I = 0;; ++I) {
    const std::string Candidate = "wrong" + std::to_string(I);
    if (skwtest::DecipheredCheckByte(Data, Candidate) == Check) return Candidate;
  }
}

TEST(HostileCrypt, RightPasswordReadsBothMethods) {
  HostileZip Zip;
  Zip.Entries.push_back(Encrypted("stored.txt", 0, kPlain, "right"));
  Zip.Entries.push_back(Encrypted("deflated.txt", 8, skwtest::StoredDeflate(kPlain), "right"));
  const auto Out = skwtest::RunHostile(Zip.Build(), {"right"});
  EXPECT_EQ(Out.Passed.size(), 2u);
  skwtest::CheckSound(Zip, Out);
}

TEST(HostileCrypt, CompressedSizeUnderTwelve) {
  for (uint32_t Size : {0u, 1u, 11u}) {
    HostileZip Zip;
    Zip.Entries.push_back(Encrypted("short.txt", 0, kPlain, "right"));
    Zip.Entries.push_back(Encrypted("short.deflate", 8, skwtest::StoredDeflate(kPlain), "right"));
    for (auto& E : Zip.Entries) {
      E.Data.resize(Size);
      E.PackedSize = Size;
    }
    SCOPED_TRACE("size " + std::to_string(Size));
    const auto Out = skwtest::RunHostile(Zip.Build(), {"right"});
    EXPECT_TRUE(Out.Passed.empty());
    EXPECT_EQ(Out.StreamSize, 0);
  }
}

TEST(HostileCrypt, WrongPasswordPassingTheCheckByteFailsTheCrc) {
  const uint8_t Check = uint8_t(skwtest::HostileCrc32(kPlain) >> 24);
  for (uint16_t Method : {uint16_t(0), uint16_t(8)}) {
    HostileZip Zip;
    Zip.Entries.push_back(
        Encrypted("secret.txt", Method, Method == 8 ? skwtest::StoredDeflate(kPlain) : kPlain, "right"));
    const std::string Wrong = WrongPasswordPassingCheck(Zip.Entries[0].Data, Check);
    SCOPED_TRACE("method " + std::to_string(Method) + ", password " + Wrong);
    const auto Out = skwtest::RunHostile(Zip.Build(), {Wrong});
    EXPECT_TRUE(Out.Passed.empty());
    EXPECT_LE(Out.StreamSize, int64_t(kPlain.size()));
    EXPECT_TRUE(!Out.Failed.empty() || !Out.ExtractErrors.empty());
  }
}

}  // namespace
