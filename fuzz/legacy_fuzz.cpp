// Fuzz target: the legacy decoders alone (Shrink, Reduce with factors 1 to 4,
// Implode with either dictionary and tree set). The first byte picks the method
// (low three bits: 1 Shrink, 2-5 Reduce, 6 Implode, others wrap onto these) and,
// for Implode, the flags (bits 3 and 4 become flag bits 1 and 2); the next four
// bytes give the declared uncompressed size (below 1 MiB); the rest is the
// compressed stream. Any output beyond the declared size aborts.
#include "archive/decode/Explode.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"
#include "fuzz/FuzzSupport.h"

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunLegacy(const uint8_t* Data, size_t Size) {
  if (Size < 5) return 0;
  const uint32_t Method = 1 + (Data[0] & 7) % 6;
  kst::TInflateRec Rec;
  Rec.Method = Method;
  Rec.BitFlag = static_cast<uint16_t>((Data[0] >> 2) & 6);
  Rec.UnpackedSize = skwtest::Le32(Data + 1) & 0xFFFFF;
  Rec.PackedSize = static_cast<uint32_t>(Size - 5);
  skwtest::MemoryDecoderIO IO = LimitedDecoderIO(Data + 5, Size - 5, Rec.UnpackedSize);
  try {
    if (Method == 1)
      kst::Unshrink(IO, Rec);
    else if (Method <= 5)
      kst::Unreduce(IO, Rec, static_cast<int>(Method) - 1);
    else
      kst::Explode(IO, Rec);
  } catch (const kst::E_RAISE&) {
  }
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return skwtest::RunLegacy(Data, Size); }
#endif
