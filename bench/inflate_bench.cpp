// Deflate decoding speed against zlib and libdeflate. The same raw Deflate
// streams (English-like text, a 24-bit picture of smooth gradients with noise,
// incompressible bytes; 64 MiB each, compressed by zlib at levels 1, 6 and 9
// during set-up) are decoded in process by our decoder, through a decoder view
// that feeds 32 KiB input chunks and computes the CRC-32 of every written block;
// by libdeflate, whole buffer to whole buffer, followed by its crc32; and by
// zlib's inflate into 32 KiB output chunks with its crc32. Every case runs five
// times unless --benchmark_repetitions says otherwise; the closing table gives
// the median output MB/s by processor time (the machine may be shared, so wall
// time is noisy) and the ratios ours/libdeflate and ours/zlib. Without
// libdeflate at build time its column is left out.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "archive/crc/Crc.h"
#include "archive/decode/DecoderIO.h"
#include "archive/decode/Inflate.h"
#include "bench/BenchSupport.h"

#ifdef SKW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace {

using namespace skwbench;

void Ours(benchmark::State& State, const std::string& Kind, int Level) {
  const ZipEntry& C = CompressedCase(Kind, Level);
  kst::TInflateRec Rec{0, 8, uint32_t(C.Stream.size()), C.Size};
  for (auto _ : State) {
    skwtest::MemoryDecoderIO IO = CrcIO(C.Stream);
    kst::Inflate(IO, Rec);
    if (IO.Failed() || IO.Written != C.Size || IO.Crc != C.Crc) {
      State.SkipWithError("wrong output");
      break;
    }
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * C.Size);
  State.counters["out_bytes"] = C.Size;
}

#ifdef SKW_HAVE_LIBDEFLATE
// libdeflate at its best: the decompressor and the whole output buffer are made
// once, outside the timed loop.
void Libdeflate(benchmark::State& State, const std::string& Kind, int Level) {
  const ZipEntry& C = CompressedCase(Kind, Level);
  libdeflate_decompressor* Decompressor = libdeflate_alloc_decompressor();
  std::vector<uint8_t> Out(C.Size);
  for (auto _ : State) {
    size_t Written = 0;
    const libdeflate_result Result =
        libdeflate_deflate_decompress(Decompressor, C.Stream.data(), C.Stream.size(), Out.data(), Out.size(), &Written);
    const uint32_t Crc = libdeflate_crc32(0, Out.data(), Written);
    if (Result != LIBDEFLATE_SUCCESS || Written != C.Size || Crc != ~C.Crc) {
      State.SkipWithError("wrong output");
      break;
    }
  }
  libdeflate_free_decompressor(Decompressor);
  State.SetBytesProcessed(int64_t(State.iterations()) * C.Size);
  State.counters["out_bytes"] = C.Size;
}
#endif

constexpr const char* Kinds[] = {"text", "picture", "random"};
constexpr int Levels[] = {1, 6, 9};

std::string CaseName(const char* Kind, int Level) { return std::string(Kind) + "/level" + std::to_string(Level); }

// Registers the decoders case by case, so that the runs compared in one row
// are close in time (the load of a shared machine drifts).
void RegisterCases(const std::vector<std::pair<const char*, CaseBenchmark>>& Decoders) {
  for (const char* Kind : Kinds)
    for (int Level : Levels)
      for (const auto& [Decoder, Run] : Decoders)
        benchmark::RegisterBenchmark((std::string(Decoder) + "/" + CaseName(Kind, Level)).c_str(), Run,
                                     std::string(Kind), Level)
            ->Unit(benchmark::kMillisecond);
}

void PrintTable(const RatioReporter& Reporter) {
  auto Find = [&](const std::string& Name) {
    auto It = Reporter.Speed.find(Name);
    return It == Reporter.Speed.end() ? 0.0 : It->second;
  };
  std::printf("\n%-16s %10s %12s %10s %10s %10s\n", "case", "ours MB/s", "libdefl MB/s", "zlib MB/s", "ours/libd",
              "ours/zlib");
  for (const char* Kind : Kinds)
    for (int Level : Levels) {
      const std::string Name = CaseName(Kind, Level);
      const double O = Find("ours/" + Name), L = Find("libdeflate/" + Name), Z = Find("zlib/" + Name);
      if (O == 0) continue;
      std::printf("%-16s %10.1f %12.1f %10.1f %10.2f %10.2f\n", Name.c_str(), O, L, Z, L > 0 ? O / L : 0.0,
                  Z > 0 ? O / Z : 0.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterCases({{"ours", Ours},
#ifdef SKW_HAVE_LIBDEFLATE
                 {"libdeflate", Libdeflate},
#endif
                 {"zlib", TimeZlib}});
  std::vector<char*> Args(argv, argv + argc);
  std::string Repetitions = "--benchmark_repetitions=5";
  bool Given = false;
  for (int I = 1; I < argc; ++I) Given |= std::strncmp(argv[I], "--benchmark_repetitions", 23) == 0;
  if (!Given) Args.push_back(Repetitions.data());
  int Count = int(Args.size());
  benchmark::Initialize(&Count, Args.data());
  RatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  PrintTable(Reporter);
  benchmark::Shutdown();
  return 0;
}
