// MemoryDecoderIO: an extraction run held in memory, the one decoder view of the
// tests, fuzz targets and benchmarks. It hands the decoder a byte buffer (owned,
// or borrowed when copying it would cost too much) in chunks of chosen sizes,
// keeps the running CRC-32 and count of what is written and, unless told not to,
// the bytes and size of every write; it records every error report with the way
// it was made and the bytes counted as done. A cancel switch (set directly or
// after a number of written bytes) makes RaiseError return instead of raising,
// as the real run does once cancelled; a write can be made to fail like a full
// disk; output beyond a limit can abort the process, so a fuzzer reports a
// decoder breaking its promise never to exceed the entry's size like a crash.
// Asked to, it lends the decoder a growing buffer as a memory target does, and
// notes the largest room asked for and every write not made in place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "archive/decode/DecoderIO.h"

namespace skwtest {

class MemoryDecoderIO : public kst::TDecoderIO {
 public:
  struct Report {
    int32_t Code = 0;
    bool Raised = false;  // true: RaiseError, false: RaiseErrorStr
  };

  // ChunkSizes are used in turn for successive reads (cycling); an empty list
  // delivers whatever the decoder asks for.
  explicit MemoryDecoderIO(std::vector<uint8_t> Input, std::vector<uint32_t> ChunkSizes = {});
  // Reads Input in place; it must outlive this object.
  static MemoryDecoderIO Borrowing(std::span<const uint8_t> Input, std::vector<uint32_t> ChunkSizes = {});

  uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) override;
  void WriteOutput(const uint8_t* Data, uint32_t Size) override;
  void RaiseError(int32_t ECode) override;
  void RaiseErrorStr(int32_t ECode) override;
  bool Cancelled() const override { return Cancel; }
  void CountAsDone(uint32_t Bytes) override { CountedDone += Bytes; }
  uint8_t* LendOutput(size_t Bytes) override;

  // Codes reported through either method, in order.
  std::vector<int32_t> ErrorCodes() const;
  bool Failed() const { return !Reports.empty(); }

  // Settings.
  bool Cancel = false;
  bool KeepOutput = true;                  // false: only Written and Crc follow the output
  uint64_t CancelAfterBytes = UINT64_MAX;  // cancel once this many bytes were written
  uint64_t AbortBeyond = UINT64_MAX;       // writing more than this many bytes aborts
  int32_t FailWriteNumber = -1;            // the n-th write call (0-based) throws 25136's text
  bool Lend = false;                       // lend the decoder a buffer to decode in place

  // Observations.
  std::vector<uint8_t> Output;
  std::vector<uint32_t> WriteSizes;
  std::vector<Report> Reports;
  uint64_t Written = 0;
  uint32_t Crc;  // CRC-32 register over the output (started at CRC_MASK, not inverted)
  uint64_t CountedDone = 0;
  uint64_t InputDelivered = 0;
  uint32_t ReadCalls = 0;
  size_t LargestLend = 0;    // most bytes of room asked for
  uint32_t StrayWrites = 0;  // writes of lent bytes not at the end of the output

 private:
  std::span<const uint8_t> Input() const { return FBorrowed.data() != nullptr ? FBorrowed : std::span(FOwned); }

  std::vector<uint8_t> FOwned;
  std::span<const uint8_t> FBorrowed;
  std::vector<uint32_t> FChunkSizes;
  size_t FNextChunk = 0;
  int32_t FWriteCalls = 0;
  std::vector<uint8_t> FLent;
  uint64_t FHanded = 0;  // bytes of every write call, failed ones too
};

}  // namespace skwtest
