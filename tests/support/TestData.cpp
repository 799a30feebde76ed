// Test data lives in tests/data of the source tree; the build passes its path
// (drive Z: form for the Windows build running under Wine).
#include "tests/support/TestData.h"

#include <fstream>
#include <iterator>

namespace skwtest {

std::string DataPath(const std::string& Relative) { return std::string(SKW_TEST_DATA) + "/" + Relative; }

std::vector<uint8_t> ReadFileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
  return bool(out);
}

}  // namespace skwtest
