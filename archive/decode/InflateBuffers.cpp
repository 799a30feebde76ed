// Input and output buffering of the Deflate decoder: refilling the input buffer
// from the run, the careful byte-wise bit reader used outside the fast loop, and
// writing the output window in 32768-byte blocks before moving the last 32 KiB
// of history to the front, or growing the room a memory target lent.
#include <algorithm>
#include <cstring>
#include <new>

#include "archive/core/LittleEndian.h"
#include "archive/decode/InflateState.h"

namespace kst {

TInflateState::TInflateState(TDecoderIO& IO, const TInflateRec& Rec)
    : FIO(IO), FUnpacked(Rec.UnpackedSize), FIn(std::make_unique_for_overwrite<uint8_t[]>(InCapacity)) {
  FInPos = FInEnd = FIn.get();
  const size_t FirstLend = std::min<size_t>(FUnpacked, HistoryBytes + AreaBytes);
  if (uint8_t* Lent = FIO.LendOutput(FirstLend + OutSlack)) {
    FBase = Lent;
    FLentEnd = Lent + FirstLend;
    FAreaEnd = FLentEnd;
  } else {
    FWin = std::make_unique_for_overwrite<uint8_t[]>(HistoryBytes + AreaFor(FUnpacked) + OutSlack);
    FBase = FWin.get();
    FAreaEnd = FBase + HistoryBytes + AreaFor(FUnpacked);
  }
  FOut = FFlushed = FBase;
}

// Moves the unread input to the front and reads until the buffer holds at
// least one full run block or the input ends.
void TInflateState::FillInput() {
  if (FInEof) return;
  size_t Kept = size_t(FInEnd - FInPos);
  std::memmove(FIn.get(), FInPos, Kept);
  FInPos = FIn.get();
  FInEnd = FInPos + Kept;
  while (!FInEof && size_t(FInEnd - FIn.get()) < 32768) {
    size_t Space = InCapacity - size_t(FInEnd - FIn.get());
    uint32_t Got = FIO.ReadInput(const_cast<uint8_t*>(FInEnd), uint32_t(std::min<size_t>(Space, 32768)));
    if (Got == 0) FInEof = true;
    FInEnd += Got;
    FInRead += Got;
  }
}

// Tops the bit buffer up to more than 56 bits, one byte at a time, as far as
// the input allows. Bits above FBitCount are either zero or the true bits of
// the next unread byte, so OR-ing that byte in again is harmless.
void TInflateState::PullBytes() {
  while (FBitCount <= 56) {
    if (FInPos == FInEnd) {
      FillInput();
      if (FInPos == FInEnd) return;
    }
    FBitBuf |= uint64_t(*FInPos++) << FBitCount;
    FBitCount += 8;
  }
}

// Tops the bit buffer up to at least 56 bits from the next 8 input bytes, which
// the caller has checked are there.
void TInflateState::PullWord() {
  FBitBuf |= GetLE64(FInPos) << FBitCount;
  FInPos += (63 - FBitCount) >> 3;
  FBitCount |= 56;
}

bool TInflateState::Need(unsigned Bits) {
  if (FBitCount < Bits) PullBytes();
  return FBitCount >= Bits;
}

uint32_t TInflateState::Take(unsigned Bits) {
  uint32_t Value = uint32_t(FBitBuf & ((uint64_t(1) << Bits) - 1));
  FBitBuf >>= Bits;
  FBitCount -= Bits;
  return Value;
}

// Bytes the entry may still produce.
size_t TInflateState::CapLeft() const {
  uint64_t Produced = FWrittenCount + uint64_t(FOut - FFlushed);
  return Produced >= FUnpacked ? 0 : size_t(FUnpacked - Produced);
}

// Bytes that can be produced now without writing or moving the window.
size_t TInflateState::Room() const { return std::min(size_t(FAreaEnd - FOut), CapLeft()); }

// Writes every complete 32768-byte block. The block counts as written before
// the call, so a failing write is not repeated by WriteRest.
void TInflateState::WriteBlocks() {
  while (size_t(FOut - FFlushed) >= BlockBytes) {
    const uint8_t* Block = FFlushed;
    FFlushed += BlockBytes;
    FWrittenCount += BlockBytes;
    FIO.WriteOutput(Block, uint32_t(BlockBytes));
  }
}

// Writes the complete blocks and moves the last 32 KiB (which then holds every
// unwritten byte) to the front of the window; in lent room, grows it instead.
void TInflateState::MakeRoom() {
  WriteBlocks();
  if (FLentEnd != nullptr) return GrowLentRoom();
  if (size_t(FOut - FWin.get()) <= HistoryBytes) return;
  uint8_t* Keep = FOut - HistoryBytes;
  size_t Shift = size_t(Keep - FWin.get());
  std::memmove(FWin.get(), Keep, HistoryBytes);
  FOut -= Shift;
  FFlushed -= Shift;
}

// Lets the fast loop run for up to AreaBytes more before the next blocks are
// written (while they are still in cache), asking the target for more room
// first when the lent room ends sooner: at least twice as much, at most the
// entry's size. The buffer may move, so positions are kept as offsets.
void TInflateState::GrowLentRoom() {
  const size_t Lent = size_t(FLentEnd - FBase);
  const size_t Produced = size_t(FOut - FBase);
  if (Lent - Produced < AreaBytes && Lent < FUnpacked) {
    const size_t Flushed = size_t(FFlushed - FBase);
    const size_t Wanted = std::min<size_t>(FUnpacked, std::max(2 * Lent, Produced + AreaBytes));
    uint8_t* Moved = FIO.LendOutput(Wanted + OutSlack);
    if (Moved == nullptr) throw std::bad_alloc();
    FBase = Moved;
    FLentEnd = Moved + Wanted;
    FOut = Moved + Produced;
    FFlushed = Moved + Flushed;
  }
  FAreaEnd = std::min(FLentEnd, FOut + AreaBytes);
}

void TInflateState::WriteRest() {
  WriteBlocks();
  if (FOut == FFlushed) return;
  const uint8_t* Block = FFlushed;
  uint32_t Size = uint32_t(FOut - FFlushed);
  FFlushed = FOut;
  FWrittenCount += Size;
  FIO.WriteOutput(Block, Size);
}

}  // namespace kst
