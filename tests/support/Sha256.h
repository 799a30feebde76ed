// SHA-256 for tests: the manifest of the test archives identifies every expected
// entry content by its SHA-256, so tests compare decoded bytes by digest.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skwtest {

// Lower-case hex digest of Size bytes at Data.
std::string Sha256Hex(const void* Data, size_t Size);
inline std::string Sha256Hex(const std::vector<uint8_t>& Bytes) { return Sha256Hex(Bytes.data(), Bytes.size()); }

}  // namespace skwtest
