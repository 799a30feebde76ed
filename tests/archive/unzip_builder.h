// A small ZIP writer for the extraction tests: stored entries (method 0), or the
// same bytes as one Deflate stored block (method 8), optionally encrypted with
// a password, with chosen names, attributes, dates and local CRC. The archives
// it writes are plain: local headers, central directory, end record.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/Crc.h"
#include "archive/Kstcrypt.h"
#include "tests/support/TestData.h"

namespace skwtest {

struct BuildEntry {
  BuildEntry(std::string AName, std::string AData, uint16_t AMethod = 0, uint32_t AExtAttr = 0x20,
             uint32_t ADosDateTime = 0x2A434883, std::string APassword = "")
      : Name(std::move(AName)), Data(std::move(AData)), Method(AMethod), ExtAttr(AExtAttr),
        DosDateTime(ADosDateTime), Password(std::move(APassword)) {}
  std::string Name;
  std::string Data;
  uint16_t Method = 0;           // 0 stored, 8 one Deflate stored block, other: raw Data
  uint32_t ExtAttr = 0x20;
  uint32_t DosDateTime = 0x2A434883;  // 2001-02-03 09:04:06
  std::string Password;          // encrypts when not empty
  bool ZeroLocalCrc = false;     // data-descriptor style local CRC 0
  uint32_t UncompressedSize = UINT32_MAX;  // UINT32_MAX: the real size
};

class ZipBuilder {
 public:
  ZipBuilder& Add(BuildEntry Entry) {
    Entries_.push_back(std::move(Entry));
    return *this;
  }

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> Out, Central;
    for (const BuildEntry& E : Entries_) {
      const uint32_t Offset = uint32_t(Out.size());
      uint32_t Crc = kst::CRC_MASK;
      kst::Crc32_buf(E.Data.data(), int64_t(E.Data.size()), Crc);
      Crc ^= kst::CRC_MASK;
      std::string Payload = E.Data;
      if (E.Method == 8) {
        const auto Len = uint16_t(E.Data.size());
        Payload = std::string{char(1), char(Len & 0xFF), char(Len >> 8), char(~Len & 0xFF), char((~Len >> 8) & 0xFF)} + E.Data;
      }
      uint16_t Flags = 0;
      if (!E.Password.empty()) {
        Flags |= 1;
        Payload = Encrypt(Payload, E.Password, Crc);
      }
      const uint32_t Size = E.UncompressedSize == UINT32_MAX ? uint32_t(E.Data.size()) : E.UncompressedSize;
      Put32(Out, 0x04034B50);
      Put16(Out, 20);
      Put16(Out, Flags);
      Put16(Out, E.Method);
      Put32(Out, E.DosDateTime);
      Put32(Out, E.ZeroLocalCrc ? 0 : Crc);
      Put32(Out, uint32_t(Payload.size()));
      Put32(Out, Size);
      Put16(Out, uint16_t(E.Name.size()));
      Put16(Out, 0);
      Out.insert(Out.end(), E.Name.begin(), E.Name.end());
      Out.insert(Out.end(), Payload.begin(), Payload.end());

      Put32(Central, 0x02014B50);
      Put16(Central, 20);
      Put16(Central, 20);
      Put16(Central, Flags);
      Put16(Central, E.Method);
      Put32(Central, E.DosDateTime);
      Put32(Central, Crc);
      Put32(Central, uint32_t(Payload.size()));
      Put32(Central, Size);
      Put16(Central, uint16_t(E.Name.size()));
      Put16(Central, 0);
      Put16(Central, 0);
      Put16(Central, 0);
      Put16(Central, 0);
      Put32(Central, E.ExtAttr);
      Put32(Central, Offset);
      Central.insert(Central.end(), E.Name.begin(), E.Name.end());
    }
    const uint32_t CentralOffset = uint32_t(Out.size());
    Out.insert(Out.end(), Central.begin(), Central.end());
    Put32(Out, 0x06054B50);
    Put16(Out, 0);
    Put16(Out, 0);
    Put16(Out, uint16_t(Entries_.size()));
    Put16(Out, uint16_t(Entries_.size()));
    Put32(Out, uint32_t(Central.size()));
    Put32(Out, CentralOffset);
    Put16(Out, 0);
    return Out;
  }

  bool Write(const std::string& Path) const { return WriteFileBytes(Path, Bytes()); }

 private:
  static void Put16(std::vector<uint8_t>& Out, uint16_t V) {
    Out.push_back(uint8_t(V));
    Out.push_back(uint8_t(V >> 8));
  }
  static void Put32(std::vector<uint8_t>& Out, uint32_t V) {
    Put16(Out, uint16_t(V));
    Put16(Out, uint16_t(V >> 16));
  }
  // Traditional encryption with a header whose check byte is the CRC's high byte.
  static std::string Encrypt(const std::string& Plain, const std::string& Password, uint32_t Crc) {
    kst::TZipKeys Keys;
    Keys.seed_keys(Password);
    std::string Header(12, '\x5A');
    Header[11] = char(Crc >> 24);
    std::string Out;
    for (const char C : Header + Plain) {
      const auto P = uint8_t(C);
      Out.push_back(char(P ^ Keys.DecryptByte()));
      Keys.update_keys(P);
    }
    return Out;
  }

  std::vector<BuildEntry> Entries_;
};

}  // namespace skwtest
