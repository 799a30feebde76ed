// The in-memory extraction run used by decoder tests (see FakeDecoderIO.h).
#include "tests/support/FakeDecoderIO.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "archive/Kstgbls.h"

namespace skwtest {

FakeDecoderIO::FakeDecoderIO(std::vector<uint8_t> Input, std::vector<uint32_t> ChunkSizes)
    : Input_(std::move(Input)), ChunkSizes_(std::move(ChunkSizes)) {}

uint32_t FakeDecoderIO::ReadInput(uint8_t* Buffer, uint32_t Size) {
  ++ReadCalls;
  if (Cancel) return 0;
  uint64_t Left = Input_.size() - InputDelivered;
  uint64_t Want = Size;
  if (!ChunkSizes_.empty()) {
    Want = std::min<uint64_t>(Want, ChunkSizes_[NextChunk_]);
    NextChunk_ = (NextChunk_ + 1) % ChunkSizes_.size();
  }
  uint32_t N = uint32_t(std::min(Left, Want));
  if (N > 0) std::memcpy(Buffer, Input_.data() + InputDelivered, N);
  InputDelivered += N;
  return N;
}

uint8_t* FakeDecoderIO::LendOutput(size_t Bytes) {
  if (!Lend) return nullptr;
  LargestLend = std::max(LargestLend, Bytes);
  if (Bytes > Lent_.size()) Lent_.resize(Bytes);  // may move the buffer, as a real target's growth does
  return Lent_.data();
}

void FakeDecoderIO::WriteOutput(const uint8_t* Data, uint32_t Size) {
  if (Lend && Data != Lent_.data() + Handed_) ++StrayWrites;
  Handed_ += Size;
  int32_t Number = int32_t(WriteSizes.size());
  WriteSizes.push_back(Size);
  if (Number == FailWriteNumber) throw kst::E_RAISE("Error writing to file");
  Output.insert(Output.end(), Data, Data + Size);
  if (Output.size() >= CancelAfterBytes) Cancel = true;
}

void FakeDecoderIO::RaiseError(int32_t ECode) {
  Reports.push_back({ECode, true});
  if (!Cancel) throw kst::E_RAISE("error " + std::to_string(ECode));
}

void FakeDecoderIO::RaiseErrorStr(int32_t ECode) { Reports.push_back({ECode, false}); }

std::vector<int32_t> FakeDecoderIO::ErrorCodes() const {
  std::vector<int32_t> Codes;
  for (const Report& R : Reports) Codes.push_back(R.Code);
  return Codes;
}

}  // namespace skwtest
