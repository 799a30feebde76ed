// CRC-32 throughput against the anchors, zlib's crc32() and libdeflate's
// libdeflate_crc32() (where libdeflate is installed), on the same buffers in
// the same run: 1 MiB (cache-resident) and 64 MiB (memory-bound). Besides the
// public Crc32_buf, each internal path is measured on its own (table slicing,
// and carry-less folding in one or two lanes where the processor has it), and
// the defining byte step as the floor. Every benchmark reports bytes processed, so the output
// shows throughput directly.
#include <benchmark/benchmark.h>
#include <zlib.h>
#ifdef SKW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include <cstdint>
#include <random>
#include <vector>

#include "archive/crc/Crc.h"

namespace {

const std::vector<uint8_t>& Buffer(size_t Size) {
  static std::vector<uint8_t> Bytes;
  if (Bytes.size() < Size) {
    std::mt19937_64 Engine(42);
    Bytes.resize(Size);
    for (auto& Byte : Bytes) Byte = static_cast<uint8_t>(Engine());
  }
  return Bytes;
}

template <typename Run>
void Measure(benchmark::State& State, Run&& Crc) {
  const auto Size = static_cast<size_t>(State.range(0));
  const uint8_t* Data = Buffer(Size).data();
  for (auto _ : State) benchmark::DoNotOptimize(Crc(Data, Size));
  State.SetBytesProcessed(static_cast<int64_t>(State.iterations()) * static_cast<int64_t>(Size));
}

void BM_Crc32_buf(benchmark::State& State) {
  Measure(State, [](const uint8_t* Data, size_t Size) {
    uint32_t Crc = kst::CRC_MASK;
    kst::Crc32_buf(Data, static_cast<int64_t>(Size), Crc);
    return Crc;
  });
}

void BM_ZlibCrc32(benchmark::State& State) {
  Measure(State, [](const uint8_t* Data, size_t Size) { return crc32_z(0, Data, Size); });
}

#ifdef SKW_HAVE_LIBDEFLATE
void BM_LibdeflateCrc32(benchmark::State& State) {
  Measure(State, [](const uint8_t* Data, size_t Size) { return libdeflate_crc32(0, Data, Size); });
}
#endif

void BM_Slicing(benchmark::State& State) {
  Measure(State,
          [](const uint8_t* Data, size_t Size) { return kst::crc_paths::Crc32Slicing(kst::CRC_MASK, Data, Size); });
}

void BM_Clmul(benchmark::State& State) {
  if (!kst::crc_paths::ClmulAvailable()) {
    State.SkipWithError("no carry-less multiplication on this processor");
    return;
  }
  Measure(State,
          [](const uint8_t* Data, size_t Size) { return kst::crc_paths::Crc32Clmul(kst::CRC_MASK, Data, Size); });
}

void BM_ClmulWide(benchmark::State& State) {
  if (!kst::crc_paths::WideClmulAvailable()) {
    State.SkipWithError("no two-lane carry-less multiplication on this processor");
    return;
  }
  Measure(State,
          [](const uint8_t* Data, size_t Size) { return kst::crc_paths::Crc32ClmulWide(kst::CRC_MASK, Data, Size); });
}

void BM_UpdC32ByteStep(benchmark::State& State) {
  Measure(State, [](const uint8_t* Data, size_t Size) {
    uint32_t Crc = kst::CRC_MASK;
    for (size_t I = 0; I < Size; ++I) Crc = kst::UpdC32(Data[I], Crc);
    return Crc;
  });
}

constexpr int64_t kOneMiB = int64_t(1) << 20;
constexpr int64_t kSixtyFourMiB = int64_t(64) << 20;

BENCHMARK(BM_Crc32_buf)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
BENCHMARK(BM_ZlibCrc32)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
#ifdef SKW_HAVE_LIBDEFLATE
BENCHMARK(BM_LibdeflateCrc32)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
#endif
BENCHMARK(BM_Slicing)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
BENCHMARK(BM_Clmul)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
BENCHMARK(BM_ClmulWide)->Arg(kOneMiB)->Arg(kSixtyFourMiB);
BENCHMARK(BM_UpdC32ByteStep)->Arg(kOneMiB)->Arg(kSixtyFourMiB);

}  // namespace

BENCHMARK_MAIN();
