// Test data lives in tests/data of the source tree; the build passes its path
// (drive Z: form for the Windows build running under Wine).
#include "tests/support/TestData.h"

#include <fstream>
#include <iterator>

namespace skwtest {

std::string DataPath(const std::string& Relative) { return std::string(SKW_TEST_DATA) + "/" + Relative; }

std::vector<uint8_t> ReadFileBytes(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
  return bool(Out);
}

}  // namespace skwtest
