// Helpers shared by the fuzz targets: a scratch file that holds the current
// input for the components that read archives from disk, and the test kit's
// decoder view set up to enforce the decoders' promise never to produce more
// than the entry's uncompressed size (a broken promise aborts, so libFuzzer
// reports it like a crash).
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/Kstgbls.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace skwtest {

// A file in the temporary folder, unique to this process, rewritten per input.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& Extension) {
    std::random_device Random;
    FPath = (std::filesystem::temp_directory_path() /
             ("skw-fuzz-" + std::to_string(Random()) + std::to_string(Random()) + Extension))
                .string();
  }
  ~ScratchFile() {
    std::error_code Ignored;
    std::filesystem::remove(FPath, Ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Write(const uint8_t* Data, size_t Size) {
    std::ofstream Out(FPath, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    return FPath;
  }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// A decoder run over Size bytes at Input that keeps no output and aborts when
// the decoder writes more than Limit bytes (a broken promise).
inline skwtest::MemoryDecoderIO LimitedDecoderIO(const uint8_t* Input, size_t Size, uint32_t Limit) {
  skwtest::MemoryDecoderIO IO = skwtest::MemoryDecoderIO::Borrowing({Input, Size});
  IO.KeepOutput = false;
  IO.AbortBeyond = Limit;
  return IO;
}

// Little-endian 32-bit value at Data (which holds at least 4 bytes).
inline uint32_t Le32(const uint8_t* Data) {
  return uint32_t{Data[0]} | uint32_t{Data[1]} << 8 | uint32_t{Data[2]} << 16 | uint32_t{Data[3]} << 24;
}

}  // namespace skwtest
