// The legacy decoders without memory: this program replaces the global
// allocation so that one chosen allocation fails, and runs each decoder once
// for every allocation it makes. Whichever fails, the decoder reports 25253
// (nothing else), lets no exception out and writes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "archive/decode/Explode.h"
#include "archive/decode/InflateRec.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"
#include "tests/kit/MemoryDecoderIO.h"
#include "tests/support/RawZip.h"
#include "tests/support/TestData.h"

namespace {

long FailCountdown = -1;  // allocations left before the one that fails; -1: none fails
long Allocations = 0;

}  // namespace

void* operator new(std::size_t Size) {
  ++Allocations;
  if (FailCountdown == 0) {
    FailCountdown = -1;
    throw std::bad_alloc();
  }
  if (FailCountdown > 0) --FailCountdown;
  if (void* P = std::malloc(Size == 0 ? 1 : Size)) return P;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }

namespace {

using skwtest::MemoryDecoderIO;

skwtest::RawEntry EntryOf(const char* Archive) {
  for (skwtest::RawEntry& E : skwtest::ReadRawZip(skwtest::DataPath(std::string("zip/") + Archive))) {
    if (E.Method >= 1 && E.Method <= 6) return E;
  }
  return {};
}

void Decode(const skwtest::RawEntry& E, MemoryDecoderIO& IO) {
  kst::TInflateRec Rec{E.Flags, E.Method, E.CompressedSize, E.UncompressedSize};
  if (E.Method == 1) {
    kst::Unshrink(IO, Rec);
  } else if (E.Method == 6) {
    kst::Explode(IO, Rec);
  } else {
    kst::Unreduce(IO, Rec, int(E.Method) - 1);
  }
}

TEST(LegacyMemory, EveryFailedAllocationIsReportedAs25253) {
  for (const char* Archive : {"thirdparty_example-s.zip", "thirdparty_example-r.zip", "thirdparty_example-i.zip",
                              "legacy_implode_8k_3trees.zip"}) {
    const skwtest::RawEntry E = EntryOf(Archive);
    ASSERT_NE(E.Method, 0) << Archive;
    for (long Fail = 0;; ++Fail) {
      SCOPED_TRACE(std::string(Archive) + " allocation " + std::to_string(Fail));
      MemoryDecoderIO IO(E.Data);
      IO.Output.reserve(E.UncompressedSize);  // the fake itself must not allocate
      IO.WriteSizes.reserve(64);
      IO.Reports.reserve(8);
      Allocations = 0;
      FailCountdown = Fail;
      EXPECT_NO_THROW(Decode(E, IO));
      const bool Failed = FailCountdown == -1;
      FailCountdown = -1;
      if (!Failed) {
        EXPECT_TRUE(IO.Reports.empty());
        EXPECT_EQ(IO.Output.size(), E.UncompressedSize);
        EXPECT_GT(Fail, 0);
        break;
      }
      EXPECT_EQ(IO.ErrorCodes(), std::vector<int32_t>{25253});
      EXPECT_TRUE(IO.Output.empty());  // every table exists before decoding starts
    }
  }
}

}  // namespace
