// The key schedule and header check of traditional ZIP decryption.
#include "archive/extract/Kstcrypt.h"

#include "archive/crc/Crc.h"
#include "archive/core/Ksttypes.h"

namespace kst {

void TZipKeys::seed_keys(const std::string& Password) {
  FKeys[0] = 0x12345678u;
  FKeys[1] = 0x23456789u;
  FKeys[2] = 0x34567890u;
  for (const char C : Password) update_keys(static_cast<uint8_t>(C));
}

uint8_t TZipKeys::DecryptByte() const {
  const uint32_t Temp = (FKeys[2] & 0xFFFFu) | 2u;
  return static_cast<uint8_t>((Temp * (Temp ^ 1u)) >> 8);
}

void TZipKeys::update_keys(uint8_t Plain) {
  FKeys[0] = UpdC32(Plain, FKeys[0]);
  FKeys[1] = (FKeys[1] + (FKeys[0] & 0xFFu)) * 134775813u + 1u;
  FKeys[2] = UpdC32(static_cast<uint8_t>(FKeys[1] >> 24), FKeys[2]);
}

void TZipKeys::DecryptBuffer(uint8_t* Buffer, uint32_t Count) {
  for (uint32_t I = 0; I < Count; ++I) {
    const uint8_t Plain = Buffer[I] ^ DecryptByte();
    Buffer[I] = Plain;
    update_keys(Plain);
  }
}

bool decrypt_pw(TZipKeys& Keys, uint8_t* Buffer, uint32_t Count, uint16_t Flags, uint32_t Crc, uint32_t DosDateTime,
                const std::string& Password) {
  if (Password.empty() || Count == 0) return false;
  Keys.seed_keys(Password);
  for (uint32_t I = 0; I < Count; ++I) {
    const uint8_t Plain = Buffer[Count + I] ^ Keys.DecryptByte();
    Buffer[I] = Plain;
    Keys.update_keys(Plain);
  }
  const uint8_t Check =
      (Flags & kFlagDataDescriptor) ? static_cast<uint8_t>(DosDateTime >> 8) : static_cast<uint8_t>(Crc >> 24);
  return Buffer[Count - 1] == Check;
}

std::string CPassword(int Decode, const std::string& Text, uint8_t Key) {
  std::string Result = Text;
  for (char& C : Result) {
    const auto Byte = static_cast<uint8_t>(C);
    C = static_cast<char>(Decode != 0 ? static_cast<uint8_t>(Byte - Key) : static_cast<uint8_t>(Byte + Key));
  }
  return Result;
}

}  // namespace kst
