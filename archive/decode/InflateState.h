// TInflateState: the working state of one Deflate decoding: the input buffer
// and 64-bit bit buffer, the output window, and the code tables of the current
// block. The output window is larger than the 32 KiB Deflate history: decoded
// bytes accumulate behind the last 32 KiB of history and are written in blocks
// of exactly 32768 bytes when the buffer fills, after which the last 32 KiB are
// moved to the front. That keeps match copies free of wrap-around, so the fast
// loop can copy words and check distances with one comparison. When the run's
// target lends its own buffer (an entry extracted to memory), there is no
// window: the decoder writes straight into that buffer, which holds the whole
// entry and so serves as history, and hands over the same 32768-byte blocks in
// place; the lent room grows geometrically, never past the entry's size.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/decode/DecoderIO.h"
#include "archive/decode/InflateRec.h"

namespace kst {

class TInflateState {
 public:
  TInflateState(TDecoderIO& IO, const TInflateRec& Rec);

  // Decodes blocks until the final block, end of input, an error or
  // cancellation. IO.RaiseError may throw out of here.
  void Run();
  // Writes every decoded byte not yet written (32768-byte blocks, then the rest).
  void WriteRest();
  // True once the final block was decoded whole.
  bool Finished() const { return FFinished; }
  // Input bytes the stream used: those read, less the unread ones still held
  // in the input buffer and the whole bytes left in the bit buffer.
  uint64_t InputUsed() const { return FInRead - uint64_t(FInEnd - FInPos) - FBitCount / 8; }

  static constexpr size_t HistoryBytes = 32768;
  static constexpr size_t BlockBytes = 32768;
  // Output area behind the history: up to AreaBytes, at least one block, and
  // no more than the entry needs. Output starts at the window's front, so an
  // entry of N bytes fits in history and area together: a small entry takes
  // a window of its own size rounded up to whole blocks.
  static constexpr size_t AreaBytes = 8 * BlockBytes;
  static size_t AreaFor(uint32_t UnpackedSize) {
    const size_t Blocks = (size_t{UnpackedSize} + BlockBytes - 1) / BlockBytes;
    return std::clamp<size_t>(Blocks * BlockBytes, HistoryBytes + BlockBytes, HistoryBytes + AreaBytes) - HistoryBytes;
  }
  static constexpr size_t OutSlack = 64;
  static constexpr size_t InCapacity = 2 * 32768;
  static constexpr unsigned LitBits = 11;
  static constexpr unsigned DistBits = 8;
  static constexpr unsigned MaxMatch = 258;

 private:
  enum class TStep { Next, Stop };
  enum class TFast { EndOfBlock, Bad, Leave };

  // Input and bits.
  void FillInput();
  void PullBytes();
  void PullWord();
  bool Need(unsigned Bits);
  uint32_t Take(unsigned Bits);

  // Output.
  size_t CapLeft() const;
  size_t Room() const;
  void MakeRoom();
  void GrowLentRoom();
  void WriteBlocks();

  // Blocks.
  TStep StoredBlock();
  TStep FixedBlock();
  TStep DynamicBlock();
  TStep ReadCodeLengths(unsigned Total, uint8_t* Lengths);
  TStep HuffmanBlock(const uint32_t* Lit, const uint32_t* Dist, int32_t BadCode);
  TFast FastLoop(const uint32_t* Lit, const uint32_t* Dist);
  template <bool Bmi2>
  TFast FastLoopBody(const uint32_t* Lit, const uint32_t* Dist);
  TFast FastLoopBmi2(const uint32_t* Lit, const uint32_t* Dist);
  bool DecodeSlow(const uint32_t* Table, unsigned PrimaryBits, uint32_t& Entry, uint32_t& Value);
  TStep Fail(int32_t Code);

  TDecoderIO& FIO;
  uint32_t FUnpacked;

  std::unique_ptr<uint8_t[]> FIn;  // InCapacity bytes
  const uint8_t* FInPos = nullptr;
  const uint8_t* FInEnd = nullptr;
  bool FInEof = false;
  uint64_t FInRead = 0;
  bool FFinished = false;
  uint64_t FBitBuf = 0;
  unsigned FBitCount = 0;

  std::unique_ptr<uint8_t[]> FWin;  // history, area and slack; not cleared: only written bytes are read
  uint8_t* FBase = nullptr;         // oldest byte matches may reach: the window's or lent room's front
  uint8_t* FLentEnd = nullptr;      // end of the lent room (without its slack); null with a window
  uint8_t* FOut = nullptr;
  uint8_t* FFlushed = nullptr;
  uint8_t* FAreaEnd = nullptr;
  uint64_t FWrittenCount = 0;

  std::vector<uint32_t> FLit, FDist, FCodeLen;  // the current dynamic block's tables
};

}  // namespace kst
