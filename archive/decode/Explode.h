// The Implode decoder (ZIP method 6): LZ77 over a 4 KiB or 8 KiB dictionary
// with literals, lengths and distances coded by Shannon-Fano trees that the
// stream carries at its start.
#pragma once
#include "archive/decode/DecoderIO.h"
#include "archive/decode/InflateRec.h"

namespace kst {

// Decodes until Rec.UnpackedSize bytes were produced, the compressed bytes are
// used up, an error or cancellation. Bit 1 of Rec.BitFlag selects the 8 KiB
// dictionary, bit 2 the literal tree (and a minimum match of 3 instead of 2).
// A tree that cannot be read or built is reported through IO.RaiseErrorStr
// (25293 first when its codes collide, then 25111) and nothing is decoded; a
// code that leads nowhere is reported through IO.RaiseError (25293), a match
// reaching beyond Rec.UnpackedSize too (25111), and 25253 without memory;
// decoding then stops, what was decoded is written and Explode returns
// normally. A match reaching before the entry's first byte copies zero bytes
// from there. Output is written in blocks of 32768 bytes plus one final
// partial block; only an exception of IO.WriteOutput while writing that final
// block leaves Explode.
void Explode(TDecoderIO& IO, const TInflateRec& Rec);

}  // namespace kst
