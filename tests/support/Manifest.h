// The rows of tests/data/zip/MANIFEST.tsv: what independent tools say each test
// archive holds (names, methods, sizes, CRCs, content digests, passwords).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skwtest {

struct ManifestRow {
  std::string Archive;
  std::string Entry;  // name bytes as stored, \xNN escapes decoded
  int Method = -1;    // -1 for archives without entries
  uint32_t Flags = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint32_t Crc32 = 0;
  std::string Sha256;  // lower-case hex
  std::string Password;
  std::string Tool;
  std::string Notes;
};

// Every row of the manifest, in file order.
const std::vector<ManifestRow>& Manifest();
// The rows of one archive, in directory order.
std::vector<ManifestRow> ManifestRowsOf(const std::string& Archive);

}  // namespace skwtest
