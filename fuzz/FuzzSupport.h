// Helpers shared by the fuzz targets: a scratch file that holds the current
// input for the components that read archives from disk, and a decoder view over
// a byte buffer that enforces the decoders' promise never to produce more than
// the entry's uncompressed size (a broken promise aborts, so libFuzzer reports
// it like a crash).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/decode/DecoderIO.h"
#include "archive/Kstgbls.h"

namespace skwfuzz {

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

// Feeds Input to a decoder and counts what it writes; output beyond Limit is a
// broken promise and aborts.
class BufferDecoderIO : public kst::TDecoderIO {
 public:
  BufferDecoderIO(const uint8_t* Input, size_t Size, uint32_t Limit) : FInput(Input), FSize(Size), FLimit(Limit) {}

  uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) override {
    const size_t Left = FSize - FAt;
    const uint32_t N = static_cast<uint32_t>(Left < Size ? Left : Size);
    if (N > 0) std::memcpy(Buffer, FInput + FAt, N);
    FAt += N;
    return N;
  }
  void WriteOutput(const uint8_t* Data, uint32_t Size) override {
    if (Size > 0 && Data == nullptr) std::abort();
    Written += Size;
    if (Written > FLimit) {
      std::fprintf(stderr, "decoder wrote %llu bytes, limit %u\n", static_cast<unsigned long long>(Written), FLimit);
      std::abort();
    }
    // Touch every byte so the sanitizer sees reads of uninitialised or freed memory.
    for (uint32_t I = 0; I < Size; ++I) Sum += Data[I];
  }
  void RaiseError(int32_t ECode) override { throw kst::E_RAISE("error " + std::to_string(ECode)); }
  void RaiseErrorStr(int32_t) override {}
  bool Cancelled() const override { return false; }
  void CountAsDone(uint32_t) override {}

  uint64_t Written = 0;
  uint32_t Sum = 0;

 private:
  const uint8_t* FInput;
  size_t FSize;
  size_t FAt = 0;
  uint32_t FLimit;
};

// Little-endian 32-bit value at Data (which holds at least 4 bytes).
inline uint32_t Le32(const uint8_t* Data) {
  return uint32_t{Data[0]} | uint32_t{Data[1]} << 8 | uint32_t{Data[2]} << 16 | uint32_t{Data[3]} << 24;
}

}  // namespace skwfuzz
