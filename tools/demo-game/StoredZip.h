// The demo pack's ZIP archive: every entry stored (method 0) with its CRC-32
// and sizes in the local header, a central directory and the end record. The
// bytes are written by the test kit's ZIP writer; this class fixes the demo's
// date and version fields and refuses packs beyond 2 GiB.
#pragma once
#include <cstdint>
#include <string>

#include "tests/kit/HostileZip.h"

namespace demo {

class StoredZip {
 public:
  // Adds an entry under Name (with "/" as the folder separator).
  void Add(const std::string& Name, const std::string& Bytes);
  // The whole archive.
  std::string Bytes() const;

 private:
  skwtest::HostileZip FZip;
  uint64_t FSize = 0;  // local headers and entry data so far
};

}  // namespace demo
