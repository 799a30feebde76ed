// The in-memory extraction run of the tests, fuzz targets and benchmarks (see
// MemoryDecoderIO.h).
#include "tests/kit/MemoryDecoderIO.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/core/Err_msgs.h"
#include "archive/crc/Crc.h"

namespace skwtest {

MemoryDecoderIO::MemoryDecoderIO(std::vector<uint8_t> Input, std::vector<uint32_t> ChunkSizes)
    : Crc(kst::CRC_MASK), FOwned(std::move(Input)), FChunkSizes(std::move(ChunkSizes)) {}

MemoryDecoderIO MemoryDecoderIO::Borrowing(std::span<const uint8_t> Input, std::vector<uint32_t> ChunkSizes) {
  MemoryDecoderIO IO({}, std::move(ChunkSizes));
  IO.FBorrowed = Input;
  return IO;
}

uint32_t MemoryDecoderIO::ReadInput(uint8_t* Buffer, uint32_t Size) {
  ++ReadCalls;
  if (Cancel) return 0;
  const std::span<const uint8_t> From = Input();
  uint64_t Left = From.size() - InputDelivered;
  uint64_t Want = Size;
  if (!FChunkSizes.empty()) {
    Want = std::min<uint64_t>(Want, FChunkSizes[FNextChunk]);
    FNextChunk = (FNextChunk + 1) % FChunkSizes.size();
  }
  uint32_t N = uint32_t(std::min(Left, Want));
  if (N > 0) std::memcpy(Buffer, From.data() + InputDelivered, N);
  InputDelivered += N;
  return N;
}

uint8_t* MemoryDecoderIO::LendOutput(size_t Bytes) {
  if (!Lend) return nullptr;
  LargestLend = std::max(LargestLend, Bytes);
  if (Bytes > FLent.size()) FLent.resize(Bytes);  // may move the buffer, as a real target's growth does
  return FLent.data();
}

void MemoryDecoderIO::WriteOutput(const uint8_t* Data, uint32_t Size) {
  if (Size > 0 && Data == nullptr) std::abort();
  if (Lend && Data != FLent.data() + FHanded) ++StrayWrites;
  FHanded += Size;
  const int32_t Number = FWriteCalls++;
  if (KeepOutput) WriteSizes.push_back(Size);
  if (Number == FailWriteNumber) throw kst::E_RAISE("Error writing to file");
  Written += Size;
  if (Written > AbortBeyond) {
    std::fprintf(stderr, "decoder wrote %llu bytes, limit %llu\n", static_cast<unsigned long long>(Written),
                 static_cast<unsigned long long>(AbortBeyond));
    std::abort();
  }
  // The CRC reads every byte, so a sanitizer sees reads of uninitialised or freed memory.
  kst::Crc32_buf(Data, Size, Crc);
  if (KeepOutput) Output.insert(Output.end(), Data, Data + Size);
  if (Written >= CancelAfterBytes) Cancel = true;
}

void MemoryDecoderIO::RaiseError(int32_t ECode) {
  Reports.push_back({ECode, true});
  if (!Cancel) throw kst::E_RAISE("error " + std::to_string(ECode));
}

void MemoryDecoderIO::RaiseErrorStr(int32_t ECode) { Reports.push_back({ECode, false}); }

std::vector<int32_t> MemoryDecoderIO::ErrorCodes() const {
  std::vector<int32_t> Codes;
  for (const Report& R : Reports) Codes.push_back(R.Code);
  return Codes;
}

}  // namespace skwtest
