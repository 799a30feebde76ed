// The Reduce decoder (ZIP methods 2 to 5, compression factor 1 to 4): bytes
// predicted from per-byte follower sets, then expanded by a run-length and
// back-reference scheme keyed on the marker byte 144 over a 4096-byte
// dictionary.
#pragma once
#include "archive/decode/DecoderIO.h"
#include "archive/decode/InflateRec.h"

namespace kst {

// Decodes with compression factor Factor (method - 1; 1 to 4) until the
// compressed bytes are used up, Rec.UnpackedSize bytes were produced, an error
// or cancellation. Errors are reported through IO.RaiseError (25111 for a
// follower count above 32, a bad factor, or a match reaching beyond
// Rec.UnpackedSize; 25253 without memory); decoding then stops, what was decoded
// is written and Unreduce returns normally. A match reaching before the entry's
// first byte copies zero bytes from there. Output is written in blocks of 32768
// bytes plus one final partial block; only an exception of IO.WriteOutput while
// writing that final block leaves Unreduce.
void Unreduce(TDecoderIO& IO, const TInflateRec& Rec, int Factor);

}  // namespace kst
