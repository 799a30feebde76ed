// The Deflate decoder (ZIP method 8). It decodes one entry's raw Deflate stream,
// pulling compressed bytes and pushing decoded bytes through the run's decoder
// view, so decryption, CRC and progress happen on the way in and out.
#pragma once
#include <cstdint>

#include "archive/decode/DecoderIO.h"
#include "archive/decode/InflateRec.h"

namespace kst {

// Decodes blocks until the final block, the end of the input, an error or
// cancellation. Errors are reported through IO (25111 bad block or code in a
// fixed block, 25138 bad code set or code in a dynamic block, 25253 no memory)
// and end decoding; what was decoded is then written and Inflate returns
// normally. Never produces more than Rec.UnpackedSize bytes. Output is written
// in blocks of 32768 bytes plus one final partial block. Only an exception of
// IO.WriteOutput while writing that final block leaves Inflate.
// Answers whether the final block was decoded whole and how many input bytes
// the stream used up to its last bit (read-ahead bytes not counted), so a
// caller that does not know the packed size can find where the data end.
struct TInflateEnd {
  bool Finished = false;
  uint64_t InputUsed = 0;
};
TInflateEnd Inflate(TDecoderIO& IO, const TInflateRec& Rec);

// Decoding runs the fast loop built for the processor: the one for BMI2 where
// the processor has it. Holding decoding to the generic loop, which every
// processor runs, lets the tests check that loop on any machine.
void HoldToGenericFastLoop(bool Hold);

}  // namespace kst
