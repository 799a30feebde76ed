// Paths of the bundled test data and small file helpers for tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace skwtest {

// Path of a file below tests/data, e.g. DataPath("zip/izip_store.zip").
std::string DataPath(const std::string& Relative);
// Whole file as bytes; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& Path);
bool WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes);

}  // namespace skwtest
