// Input refill, window writing and match copying for the legacy decoders (see
// LegacyBitReader.h). The refill loads eight bytes at once while the buffer has
// them and falls back to one byte at a time near its end; the window copy moves
// whole runs with one block move when source and destination cannot overlap.
#include "archive/decode/LegacyBitReader.h"

#include <algorithm>
#include <cstring>

#include "archive/core/Err_msgs.h"

namespace kst {

TLegacyBitReader::TLegacyBitReader(TDecoderIO& IO) : IO_(IO), Buffer_(BufferSize) {}

bool TLegacyBitReader::Refill(unsigned N) {
  for (;;) {
    if (Fill_ - Pos_ >= 8) {
      uint64_t Word = 0;
      for (unsigned I = 0; I < 8; ++I) Word |= uint64_t(Buffer_[Pos_ + I]) << (8 * I);
      Bits_ |= Word << Count_;
      Pos_ += (63 - Count_) >> 3;
      Count_ |= 56;
    } else {
      while (Count_ <= 56 && Pos_ < Fill_) {
        Bits_ |= uint64_t(Buffer_[Pos_++]) << Count_;
        Count_ += 8;
      }
    }
    if (Count_ >= N) return true;
    if (Ended_) return false;
    Pos_ = 0;
    Fill_ = IO_.ReadInput(Buffer_.data(), BufferSize);
    if (Fill_ == 0) Ended_ = true;
  }
}

TLegacyOutput::TLegacyOutput(TDecoderIO& IO, uint32_t Limit)
    : IO_(IO), Window_(WindowSize, 0), Limit_(Limit), Room_(Limit) {}

void TLegacyOutput::WriteWindow() {
  const uint32_t From = Flushed_;
  Pos_ = 0;
  Flushed_ = 0;
  IO_.WriteOutput(Window_.data() + From, WindowSize - From);
  if (IO_.Cancelled()) {
    Cancelled_ = true;
    Room_ = 0;
  }
}

bool TLegacyOutput::Append(const uint8_t* Data, uint32_t Size) {
  const uint32_t Fits = std::min(Size, Room_);
  uint32_t Done = 0;
  while (Done < Fits && Room_ > 0) {
    const uint32_t Chunk = std::min({Fits - Done, Room_, WindowSize - Pos_});
    std::memcpy(Window_.data() + Pos_, Data + Done, Chunk);
    Pos_ += Chunk;
    Done += Chunk;
    Written_ += Chunk;
    Room_ -= Chunk;
    if (Pos_ == WindowSize) WriteWindow();
  }
  return Done == Size;
}

bool TLegacyOutput::Copy(uint32_t Distance, uint32_t Length) {
  uint32_t Src = (Pos_ - Distance) & (WindowSize - 1);
  uint32_t Done = 0;
  while (Done < Length && Room_ > 0) {
    const uint32_t Chunk =
        std::min({Length - Done, Room_, WindowSize - Pos_, WindowSize - Src});
    uint8_t* To = Window_.data() + Pos_;
    const uint8_t* From = Window_.data() + Src;
    if (Chunk <= 16) {
      for (uint32_t I = 0; I < Chunk; ++I) To[I] = From[I];  // short: no call
    } else if (Distance >= Chunk) {
      std::memmove(To, From, Chunk);  // disjoint unless the reach nears the window size
    } else if (Distance == 1) {
      std::memset(To, *From, Chunk);
    } else {
      for (uint32_t I = 0; I < Chunk; ++I) To[I] = From[I];
    }
    Pos_ += Chunk;
    Src = (Src + Chunk) & (WindowSize - 1);
    Done += Chunk;
    Written_ += Chunk;
    Room_ -= Chunk;
    if (Pos_ == WindowSize) WriteWindow();
  }
  return Done == Length;
}

void TLegacyOutput::Finish() {
  if (Pos_ == Flushed_) return;
  const uint32_t From = Flushed_;
  Flushed_ = Pos_;
  IO_.WriteOutput(Window_.data() + From, Pos_ - From);
}

void LegacyRaise(TDecoderIO& IO, int32_t Code) {
  try {
    IO.RaiseError(Code);
  } catch (const E_RAISE&) {
    // Reported; the decoder stops and writes what it has.
  }
}

}  // namespace kst
