// A minimal ZIP writer for the demo pack: every entry stored (method 0) with
// its CRC-32 and sizes in the local header, a central directory and the end
// record. Enough for archives of a few hundred kilobytes that any ZIP reader
// accepts; nothing is compressed, encrypted or spanned.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

class StoredZip {
 public:
  // Adds an entry under Name (with "/" as the folder separator).
  void Add(const std::string& Name, const std::string& Bytes);
  // The whole archive.
  std::string Bytes() const;

 private:
  struct Entry {
    std::string Name;
    uint32_t Crc = 0;
    uint32_t Size = 0;
    uint32_t Offset = 0;
  };
  std::vector<Entry> Entries_;
  std::string Data_;  // local headers and entry data so far
};

// The CRC-32 of Bytes as ZIP stores it.
uint32_t ZipCrc(const std::string& Bytes);

}  // namespace demo
