// FakeDecoderIO: an in-memory extraction run for decoder tests. It hands the
// decoder a byte vector in chunks of chosen sizes (one byte at a time if asked),
// records every write (bytes and size of each call), every error report with the
// way it was made, and the bytes counted as done; a cancel switch (set directly
// or after a number of written bytes) makes RaiseError return instead of raising,
// as the real run does once cancelled. A write can be made to fail like a full disk.
// Asked to, it lends the decoder a growing buffer as a memory target does, and
// notes the largest room asked for and every write not made in place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/decode/DecoderIO.h"

namespace skwtest {

class FakeDecoderIO : public kst::TDecoderIO {
 public:
  struct Report {
    int32_t Code = 0;
    bool Raised = false;  // true: RaiseError, false: RaiseErrorStr
  };

  // ChunkSizes are used in turn for successive reads (cycling); an empty list
  // delivers whatever the decoder asks for.
  explicit FakeDecoderIO(std::vector<uint8_t> Input, std::vector<uint32_t> ChunkSizes = {});

  uint32_t ReadInput(uint8_t* Buffer, uint32_t Size) override;
  void WriteOutput(const uint8_t* Data, uint32_t Size) override;
  void RaiseError(int32_t ECode) override;
  void RaiseErrorStr(int32_t ECode) override;
  bool Cancelled() const override { return Cancel; }
  void CountAsDone(uint32_t Bytes) override { CountedDone += Bytes; }
  uint8_t* LendOutput(size_t Bytes) override;

  // Codes reported through either method, in order.
  std::vector<int32_t> ErrorCodes() const;

  // Settings.
  bool Cancel = false;
  uint64_t CancelAfterBytes = UINT64_MAX;  // cancel once this many bytes were written
  int32_t FailWriteNumber = -1;            // the n-th write call (0-based) throws 25136's text
  bool Lend = false;                       // lend the decoder a buffer to decode in place

  // Observations.
  std::vector<uint8_t> Output;
  std::vector<uint32_t> WriteSizes;
  std::vector<Report> Reports;
  uint64_t CountedDone = 0;
  uint64_t InputDelivered = 0;
  uint32_t ReadCalls = 0;
  size_t LargestLend = 0;   // most bytes of room asked for
  uint32_t StrayWrites = 0;  // writes of lent bytes not at the end of the output

 private:
  std::vector<uint8_t> Input_;
  std::vector<uint32_t> ChunkSizes_;
  size_t NextChunk_ = 0;
  std::vector<uint8_t> Lent_;
  uint64_t Handed_ = 0;  // bytes of every write call, failed ones too
};

}  // namespace skwtest
