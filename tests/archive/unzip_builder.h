// A small ZIP writer for the extraction tests: stored entries (method 0), or the
// same bytes as Deflate stored blocks (method 8), optionally encrypted with a
// password, with chosen names, attributes, dates and local CRC. The archives
// it writes are plain: local headers, central directory, end record, written
// by HostileZip (independent of the library).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tests/kit/HostileZip.h"
#include "tests/support/TestData.h"

namespace skwtest {

struct BuildEntry {
  BuildEntry(std::string AName, std::string AData, uint16_t AMethod = 0, uint32_t AExtAttr = 0x20,
             uint32_t ADosDateTime = 0x2A434883, std::string APassword = "")
      : Name(std::move(AName)),
        Data(std::move(AData)),
        Method(AMethod),
        ExtAttr(AExtAttr),
        DosDateTime(ADosDateTime),
        Password(std::move(APassword)) {}
  std::string Name;
  std::string Data;
  uint16_t Method = 0;  // 0 stored, 8 Deflate stored blocks, other: raw Data
  uint32_t ExtAttr = 0x20;
  uint32_t DosDateTime = 0x2A434883;       // 2001-02-03 09:04:06
  std::string Password;                    // encrypts when not empty
  bool ZeroLocalCrc = false;               // data-descriptor style local CRC 0
  uint32_t UncompressedSize = UINT32_MAX;  // UINT32_MAX: the real size
};

class ZipBuilder {
 public:
  ZipBuilder& Add(BuildEntry Entry) {
    FEntries.push_back(std::move(Entry));
    return *this;
  }

  std::vector<uint8_t> Bytes() const {
    HostileZip Zip;
    for (const BuildEntry& E : FEntries) {
      const TBytes Plain = BytesOf(E.Data);
      HostileEntry H;
      H.Name = E.Name;
      H.Method = E.Method;
      H.ExternalAttr = E.ExtAttr;
      H.DosDateTime = E.DosDateTime;
      H.Crc = HostileCrc32(Plain);
      H.UnpackedSize = E.UncompressedSize == UINT32_MAX ? uint32_t(Plain.size()) : E.UncompressedSize;
      H.Data = E.Method == 8 ? StoredDeflate(Plain) : Plain;
      if (!E.Password.empty()) {
        // The header's check byte is the CRC's high byte.
        H.Flags = 1;
        H.Data = ZipEncrypt(H.Data, E.Password, uint8_t(*H.Crc >> 24));
      }
      if (E.ZeroLocalCrc) H.LocalCrc = 0;
      Zip.Entries.push_back(std::move(H));
    }
    return Zip.Build();
  }

  bool Write(const std::string& Path) const { return WriteFileBytes(Path, Bytes()); }

 private:
  std::vector<BuildEntry> FEntries;
};

}  // namespace skwtest
