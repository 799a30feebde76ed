// Input and output buffering of the Deflate decoder: refilling the input buffer
// from the run, the careful byte-wise bit reader used outside the fast loop, and
// writing the output window in 32768-byte blocks before moving the last 32 KiB
// of history to the front.
#include <algorithm>
#include <cstring>

#include "archive/decode/InflateState.h"

namespace kst {

TInflateState::TInflateState(TDecoderIO& IO, const TInflateRec& Rec)
    : IO_(IO), Unpacked_(Rec.UnpackedSize), In_(std::make_unique_for_overwrite<uint8_t[]>(InCapacity)),
      Win_(std::make_unique_for_overwrite<uint8_t[]>(HistoryBytes + AreaFor(Rec.UnpackedSize) + OutSlack)) {
  InPos_ = InEnd_ = In_.get();
  Out_ = Flushed_ = Win_.get();
  AreaEnd_ = Win_.get() + HistoryBytes + AreaFor(Rec.UnpackedSize);
}

// Moves the unread input to the front and reads until the buffer holds at
// least one full run block or the input ends.
void TInflateState::FillInput() {
  if (InEof_) return;
  size_t Kept = size_t(InEnd_ - InPos_);
  std::memmove(In_.get(), InPos_, Kept);
  InPos_ = In_.get();
  InEnd_ = InPos_ + Kept;
  while (!InEof_ && size_t(InEnd_ - In_.get()) < 32768) {
    size_t Space = InCapacity - size_t(InEnd_ - In_.get());
    uint32_t Got = IO_.ReadInput(const_cast<uint8_t*>(InEnd_), uint32_t(std::min<size_t>(Space, 32768)));
    if (Got == 0) InEof_ = true;
    InEnd_ += Got;
  }
}

// Tops the bit buffer up to more than 56 bits, one byte at a time, as far as
// the input allows. Bits above BitCount_ are either zero or the true bits of
// the next unread byte, so OR-ing that byte in again is harmless.
void TInflateState::PullBytes() {
  while (BitCount_ <= 56) {
    if (InPos_ == InEnd_) {
      FillInput();
      if (InPos_ == InEnd_) return;
    }
    BitBuf_ |= uint64_t(*InPos_++) << BitCount_;
    BitCount_ += 8;
  }
}

bool TInflateState::Need(unsigned Bits) {
  if (BitCount_ < Bits) PullBytes();
  return BitCount_ >= Bits;
}

uint32_t TInflateState::Take(unsigned Bits) {
  uint32_t Value = uint32_t(BitBuf_ & ((uint64_t(1) << Bits) - 1));
  BitBuf_ >>= Bits;
  BitCount_ -= Bits;
  return Value;
}

// Bytes the entry may still produce.
size_t TInflateState::CapLeft() const {
  uint64_t Produced = WrittenCount_ + uint64_t(Out_ - Flushed_);
  return Produced >= Unpacked_ ? 0 : size_t(Unpacked_ - Produced);
}

// Bytes that can be produced now without writing or moving the window.
size_t TInflateState::Room() const { return std::min(size_t(AreaEnd_ - Out_), CapLeft()); }

// Writes every complete 32768-byte block. The block counts as written before
// the call, so a failing write is not repeated by WriteRest.
void TInflateState::WriteBlocks() {
  while (size_t(Out_ - Flushed_) >= BlockBytes) {
    const uint8_t* Block = Flushed_;
    Flushed_ += BlockBytes;
    WrittenCount_ += BlockBytes;
    IO_.WriteOutput(Block, uint32_t(BlockBytes));
  }
}

// Writes the complete blocks and moves the last 32 KiB (which then holds every
// unwritten byte) to the front of the window.
void TInflateState::MakeRoom() {
  WriteBlocks();
  if (size_t(Out_ - Win_.get()) <= HistoryBytes) return;
  uint8_t* Keep = Out_ - HistoryBytes;
  size_t Shift = size_t(Keep - Win_.get());
  std::memmove(Win_.get(), Keep, HistoryBytes);
  Out_ -= Shift;
  Flushed_ -= Shift;
}

void TInflateState::WriteRest() {
  WriteBlocks();
  if (Out_ == Flushed_) return;
  const uint8_t* Block = Flushed_;
  uint32_t Size = uint32_t(Out_ - Flushed_);
  Flushed_ = Out_;
  WrittenCount_ += Size;
  IO_.WriteOutput(Block, Size);
}

}  // namespace kst
