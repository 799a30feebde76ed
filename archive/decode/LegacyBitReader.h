// The two ends of a legacy decoder's stream (Shrink, Reduce, Implode): the bit
// reader over the entry's compressed bytes and the output window the decoded
// bytes go through. Both talk to the run only through TDecoderIO. The reader
// takes bits least significant first from a 32 KiB input buffer and keeps up to
// 64 of them ready, so a decoder can peek a whole code and then drop the bits
// it used; when the input ends before a request is complete it says so instead
// of inventing bits. The output window holds 32 KiB: it is written through the
// run each time it is full and once at the end, and doubles as the dictionary
// that Reduce and Implode copy matches from (their reach, 4 or 8 KiB, is well
// inside it). It never lets more than the entry's uncompressed size through.
// LegacyRaise is the decoders' shared way of reporting the error that ends them.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "archive/core/Bounds.h"
#include "archive/decode/DecoderIO.h"

namespace kst {

class TLegacyBitReader {
 public:
  static constexpr uint32_t BufferSize = 32768;
  static constexpr unsigned MaxRequest = 56;

  explicit TLegacyBitReader(TDecoderIO& IO);

  // Makes at least N (<= MaxRequest) bits available; false when the input ends
  // first. The bits that are there stay available.
  bool Need(unsigned N) { return FCount >= N || Refill(N); }
  // The next N (<= 32) bits without consuming them; bits past the end are 0.
  uint32_t Peek(unsigned N) const { return uint32_t(FBits & ((uint64_t(1) << N) - 1)); }
  // Consumes N bits that Need made available.
  void Drop(unsigned N) {
    FBits >>= N;
    FCount -= N;
  }
  // Reads N bits into Value; false (Value untouched) when the input ends first.
  bool Read(unsigned N, uint32_t& Value) {
    if (!Need(N)) return false;
    Value = Peek(N);
    Drop(N);
    return true;
  }
  // The same, as an optional: no value when the input ends first.
  std::optional<uint32_t> Read(unsigned N) {
    uint32_t Value = 0;
    if (!Read(N, Value)) return std::nullopt;
    return Value;
  }
  // Bits ready without reading more input.
  unsigned Available() const { return FCount; }

 private:
  bool Refill(unsigned N);

  TDecoderIO& FIO;
  std::vector<uint8_t> FBuffer;
  uint32_t FPos = 0;
  uint32_t FFill = 0;
  bool FEnded = false;
  uint64_t FBits = 0;
  unsigned FCount = 0;
};

class TLegacyOutput {
 public:
  static constexpr uint32_t WindowSize = 32768;

  // Limit: the entry's uncompressed size; no byte beyond it is ever written.
  TLegacyOutput(TDecoderIO& IO, uint32_t Limit);

  uint32_t Total() const { return FWritten; }
  bool AtLimit() const { return FWritten == FLimit; }
  // True once the run was found cancelled (tested each time the window is written).
  bool Cancelled() const { return FCancelled; }

  // Appends one byte; false (nothing written) at the limit or after cancellation.
  bool Put(uint8_t Byte) {
    if (FRoom == 0) return false;
    FWindow[FPos++] = Byte;
    ++FWritten;
    --FRoom;
    if (FPos == WindowSize) WriteWindow();
    return true;
  }
  // Room for Size bytes written in place: their place in the window, or null
  // when they would cross the window's end or the limit. Commit makes them output.
  uint8_t* Reserve(uint32_t Size) {
    return Size <= FRoom && InBounds(FPos, Size, WindowSize) ? FWindow.data() + FPos : nullptr;
  }
  void Commit(uint32_t Size) {
    FPos += Size;
    FWritten += Size;
    FRoom -= Size;
    if (FPos == WindowSize) WriteWindow();
  }
  // Appends Size bytes; false when only part of them fitted under the limit.
  bool Append(const uint8_t* Data, uint32_t Size);
  // Appends Length bytes copied from Distance (1..WindowSize) bytes back; bytes
  // before the entry's first byte read as 0. False when cut at the limit.
  bool Copy(uint32_t Distance, uint32_t Length);
  // Writes every byte not yet written through the run.
  void Finish();

 private:
  void WriteWindow();

  TDecoderIO& FIO;
  std::vector<uint8_t> FWindow;
  uint32_t FPos = 0;      // next byte of the window to fill
  uint32_t FFlushed = 0;  // window bytes before this are written
  uint32_t FLimit;
  uint32_t FWritten = 0;
  uint32_t FRoom;  // bytes still allowed (0 after cancellation)
  bool FCancelled = false;
};

// Reports Code through IO.RaiseError and swallows the library exception it
// raises: a legacy decoder stops on any error and still writes what it has.
void LegacyRaise(TDecoderIO& IO, int32_t Code);

}  // namespace kst
