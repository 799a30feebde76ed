// Fuzz target: the Deflate decoder alone. The first four bytes give the
// entry's declared uncompressed size (kept below 1 MiB so a run stays quick),
// the rest is the raw Deflate stream. Any output beyond the declared size aborts.
#include "archive/decode/Inflate.h"
#include "fuzz/FuzzSupport.h"

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunInflate(const uint8_t* Data, size_t Size) {
  if (Size < 4) return 0;
  kst::TInflateRec Rec;
  Rec.Method = 8;
  Rec.UnpackedSize = skwtest::Le32(Data) & 0xFFFFF;
  Rec.PackedSize = static_cast<uint32_t>(Size - 4);
  skwtest::MemoryDecoderIO IO = LimitedDecoderIO(Data + 4, Size - 4, Rec.UnpackedSize);
  try {
    kst::Inflate(IO, Rec);
  } catch (const kst::E_RAISE&) {
  }
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return skwtest::RunInflate(Data, Size); }
#endif
