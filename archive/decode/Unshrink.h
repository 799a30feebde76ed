// The Shrink decoder (ZIP method 1): dynamic LZW with 9- to 13-bit codes read
// least significant bit first, code 256 announcing a control code (1: one bit
// wider codes, 2: partial clear of the table's unused leaves).
#pragma once
#include "archive/decode/DecoderIO.h"
#include "archive/decode/InflateRec.h"

namespace kst {

// Decodes until the compressed bytes are used up, an error or cancellation.
// Errors are reported through IO.RaiseError (25111 for a bad control code, codes
// wider than 13 bits, a missing first code, a broken string chain or output
// beyond Rec.UnpackedSize; 25298 for a string longer than the decode stack;
// 25253 without memory); decoding then stops, what was decoded is written and
// Unshrink returns normally. Output is written in blocks of 32768 bytes plus one
// final partial block; only an exception of IO.WriteOutput while writing that
// final block leaves Unshrink.
void Unshrink(TDecoderIO& IO, const TInflateRec& Rec);

}  // namespace kst
