// Input refill, window writing and match copying for the legacy decoders (see
// LegacyBitReader.h). The refill loads eight bytes at once while the buffer has
// them and falls back to one byte at a time near its end; the window copy moves
// whole runs with one block move when source and destination cannot overlap.
#include "archive/decode/LegacyBitReader.h"

#include <algorithm>
#include <cstring>

#include "archive/core/Err_msgs.h"

namespace kst {

TLegacyBitReader::TLegacyBitReader(TDecoderIO& IO) : FIO(IO), FBuffer(BufferSize) {}

bool TLegacyBitReader::Refill(unsigned N) {
  for (;;) {
    if (InBounds(FPos, 8, FFill)) {
      uint64_t Word = 0;
      for (unsigned I = 0; I < 8; ++I) Word |= uint64_t(FBuffer[FPos + I]) << (8 * I);
      FBits |= Word << FCount;
      FPos += (63 - FCount) >> 3;
      FCount |= 56;
    } else {
      while (FCount <= 56 && FPos < FFill) {
        FBits |= uint64_t(FBuffer[FPos++]) << FCount;
        FCount += 8;
      }
    }
    if (FCount >= N) return true;
    if (FEnded) return false;
    FPos = 0;
    FFill = FIO.ReadInput(FBuffer.data(), BufferSize);
    if (FFill == 0) FEnded = true;
  }
}

TLegacyOutput::TLegacyOutput(TDecoderIO& IO, uint32_t Limit)
    : FIO(IO), FWindow(WindowSize, 0), FLimit(Limit), FRoom(Limit) {}

void TLegacyOutput::WriteWindow() {
  const uint32_t From = FFlushed;
  FPos = 0;
  FFlushed = 0;
  FIO.WriteOutput(FWindow.data() + From, WindowSize - From);
  if (FIO.Cancelled()) {
    FCancelled = true;
    FRoom = 0;
  }
}

bool TLegacyOutput::Append(const uint8_t* Data, uint32_t Size) {
  const uint32_t Fits = std::min(Size, FRoom);
  uint32_t Done = 0;
  while (Done < Fits && FRoom > 0) {
    const uint32_t Chunk = std::min({Fits - Done, FRoom, WindowSize - FPos});
    std::memcpy(FWindow.data() + FPos, Data + Done, Chunk);
    FPos += Chunk;
    Done += Chunk;
    FWritten += Chunk;
    FRoom -= Chunk;
    if (FPos == WindowSize) WriteWindow();
  }
  return Done == Size;
}

bool TLegacyOutput::Copy(uint32_t Distance, uint32_t Length) {
  uint32_t Src = (FPos - Distance) & (WindowSize - 1);
  uint32_t Done = 0;
  while (Done < Length && FRoom > 0) {
    const uint32_t Chunk = std::min({Length - Done, FRoom, WindowSize - FPos, WindowSize - Src});
    uint8_t* To = FWindow.data() + FPos;
    const uint8_t* From = FWindow.data() + Src;
    if (Chunk <= 16) {
      for (uint32_t I = 0; I < Chunk; ++I) To[I] = From[I];  // short: no call
    } else if (Distance >= Chunk) {
      std::memmove(To, From, Chunk);  // disjoint unless the reach nears the window size
    } else if (Distance == 1) {
      std::memset(To, *From, Chunk);
    } else {
      for (uint32_t I = 0; I < Chunk; ++I) To[I] = From[I];
    }
    FPos += Chunk;
    Src = (Src + Chunk) & (WindowSize - 1);
    Done += Chunk;
    FWritten += Chunk;
    FRoom -= Chunk;
    if (FPos == WindowSize) WriteWindow();
  }
  return Done == Length;
}

void TLegacyOutput::Finish() {
  if (FPos == FFlushed) return;
  const uint32_t From = FFlushed;
  FFlushed = FPos;
  FIO.WriteOutput(FWindow.data() + From, FPos - From);
}

void LegacyRaise(TDecoderIO& IO, int32_t Code) {
  try {
    IO.RaiseError(Code);
  } catch (const E_RAISE&) {
    // Reported; the decoder stops and writes what it has.
  }
}

}  // namespace kst
