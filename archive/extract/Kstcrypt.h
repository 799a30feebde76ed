// Traditional ZIP decryption: three 32-bit keys seeded from a password, a
// key-stream byte derived from them for every data byte, and the keys advanced
// with each plain byte through CRC-32 and a linear congruential step. A 12-byte
// header in front of the entry's data carries a check byte that tells a wrong
// password from a plausible one (one wrong password in 256 still passes; the
// entry's CRC check then catches it). One key state belongs to one run.
#pragma once
#include <cstdint>
#include <string>

namespace kst {

// Length of the encryption header in front of an encrypted entry's data.
inline constexpr uint32_t EncryptHeaderSize = 12;

class TZipKeys {
 public:
  // Sets the initial keys and feeds every character of Password through update_keys.
  void seed_keys(const std::string& Password);
  // The next key-stream byte (does not advance the keys).
  uint8_t DecryptByte() const;
  // Advances the keys with one plain byte.
  void update_keys(uint8_t Plain);
  // Decrypts Count bytes of Buffer in place, advancing the keys with each plain byte.
  void DecryptBuffer(uint8_t* Buffer, uint32_t Count);

  uint32_t Key(int Index) const { return FKeys[Index]; }

 private:
  uint32_t FKeys[3] = {0, 0, 0};
};

// Whether Password opens an encryption header. Buffer holds 24 bytes: the
// header is decrypted from Buffer[12..23] into Buffer[0..11] (so the encrypted
// copy survives for the next try). The last plain byte is compared with the
// high byte of the DOS time (bits 8-15 of DosDateTime) when bit 3 of Flags is
// set, else with the high byte of Crc. An empty password never opens a header.
// On success Keys stand ready for the entry's data.
bool decrypt_pw(TZipKeys& Keys, uint8_t* Buffer, uint32_t Count, uint16_t Flags, uint32_t Crc, uint32_t DosDateTime,
                const std::string& Password);

// Text with every character moved by Key modulo 256: down when Decode is
// non-zero, up otherwise.
std::string CPassword(int Decode, const std::string& Text, uint8_t Key);

}  // namespace kst
