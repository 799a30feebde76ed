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

#include "archive/decode/DecoderIO.h"

namespace kst {

class TLegacyBitReader {
 public:
  static constexpr uint32_t BufferSize = 32768;
  static constexpr unsigned MaxRequest = 56;

  explicit TLegacyBitReader(TDecoderIO& IO);

  // Makes at least N (<= MaxRequest) bits available; false when the input ends
  // first. The bits that are there stay available.
  bool Need(unsigned N) { return Count_ >= N || Refill(N); }
  // The next N (<= 32) bits without consuming them; bits past the end are 0.
  uint32_t Peek(unsigned N) const { return uint32_t(Bits_ & ((uint64_t(1) << N) - 1)); }
  // Consumes N bits that Need made available.
  void Drop(unsigned N) {
    Bits_ >>= N;
    Count_ -= N;
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
  unsigned Available() const { return Count_; }

 private:
  bool Refill(unsigned N);

  TDecoderIO& IO_;
  std::vector<uint8_t> Buffer_;
  uint32_t Pos_ = 0;
  uint32_t Fill_ = 0;
  bool Ended_ = false;
  uint64_t Bits_ = 0;
  unsigned Count_ = 0;
};

class TLegacyOutput {
 public:
  static constexpr uint32_t WindowSize = 32768;

  // Limit: the entry's uncompressed size; no byte beyond it is ever written.
  TLegacyOutput(TDecoderIO& IO, uint32_t Limit);

  uint32_t Total() const { return Written_; }
  bool AtLimit() const { return Written_ == Limit_; }
  // True once the run was found cancelled (tested each time the window is written).
  bool Cancelled() const { return Cancelled_; }

  // Appends one byte; false (nothing written) at the limit or after cancellation.
  bool Put(uint8_t Byte) {
    if (Room_ == 0) return false;
    Window_[Pos_++] = Byte;
    ++Written_;
    --Room_;
    if (Pos_ == WindowSize) WriteWindow();
    return true;
  }
  // Room for Size bytes written in place: their place in the window, or null
  // when they would cross the window's end or the limit. Commit makes them output.
  uint8_t* Reserve(uint32_t Size) {
    return Size <= Room_ && Size <= WindowSize - Pos_ ? Window_.data() + Pos_ : nullptr;
  }
  void Commit(uint32_t Size) {
    Pos_ += Size;
    Written_ += Size;
    Room_ -= Size;
    if (Pos_ == WindowSize) WriteWindow();
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

  TDecoderIO& IO_;
  std::vector<uint8_t> Window_;
  uint32_t Pos_ = 0;      // next byte of the window to fill
  uint32_t Flushed_ = 0;  // window bytes before this are written
  uint32_t Limit_;
  uint32_t Written_ = 0;
  uint32_t Room_;         // bytes still allowed (0 after cancellation)
  bool Cancelled_ = false;
};

// Reports Code through IO.RaiseError and swallows the library exception it
// raises: a legacy decoder stops on any error and still writes what it has.
void LegacyRaise(TDecoderIO& IO, int32_t Code);

}  // namespace kst
