// Deflate decoding speed against zlib and libdeflate. The same raw Deflate
// streams (English-like text, a 24-bit picture of smooth gradients with noise,
// incompressible bytes; 64 MiB each, compressed by zlib at levels 1, 6 and 9
// during set-up) are decoded in process by our decoder, through a decoder view
// that feeds 32 KiB input chunks and computes the CRC-32 of every written block;
// by libdeflate, whole buffer to whole buffer, followed by its crc32; and by
// zlib's inflate into 32 KiB output chunks with its crc32. The decoders take
// turns within each repetition of a case (the one starting a repetition
// rotates), so drift in the load of a shared machine hits all of them alike;
// a repetition is short (one decoding of a case, or as many as take a tenth of
// a second), so the decoders compared are timed close together. Every case runs
// eleven repetitions unless --benchmark_repetitions=N says otherwise; --benchmark_filter=REGEX picks cases by name
// ("text/level6"). The closing table gives each decoder's median output MB/s by processor time and, per case, the
// medians of the ratios ours/libdeflate and ours/zlib taken within each repetition. Without libdeflate at build time
// its column is left out.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>
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

bool Ours(const ZipEntry& C) {
  kst::TInflateRec Rec{0, 8, uint32_t(C.Stream.size()), C.Size};
  skwtest::MemoryDecoderIO IO = CrcIO(C.Stream);
  kst::Inflate(IO, Rec);
  return !IO.Failed() && IO.Written == C.Size && IO.Crc == C.Crc;
}

#ifdef SKW_HAVE_LIBDEFLATE
// libdeflate at its best: the decompressor and the whole output buffer are made
// once, outside the timed runs.
bool Libdeflate(const ZipEntry& C) {
  static libdeflate_decompressor* const Decompressor = libdeflate_alloc_decompressor();
  static std::vector<uint8_t> Out;
  if (Out.size() < C.Size) Out.resize(C.Size);
  size_t Written = 0;
  const libdeflate_result Result =
      libdeflate_deflate_decompress(Decompressor, C.Stream.data(), C.Stream.size(), Out.data(), C.Size, &Written);
  const uint32_t Crc = libdeflate_crc32(0, Out.data(), Written);
  return Result == LIBDEFLATE_SUCCESS && Written == C.Size && Crc == ~C.Crc;
}
#endif

bool Zlib(const ZipEntry& C) {
  uint64_t Written = 0;
  uint32_t Stored = 0;
  return ZlibInflate(C.Stream, Written, Stored) && Written == C.Size && ~Stored == C.Crc;
}

struct Decoder {
  const char* Name;
  bool (*Run)(const ZipEntry&);
};

const std::vector<Decoder>& Decoders() {
  static const std::vector<Decoder> List = {{"ours", Ours},
#ifdef SKW_HAVE_LIBDEFLATE
                                            {"libdeflate", Libdeflate},
#endif
                                            {"zlib", Zlib}};
  return List;
}

double CpuSeconds() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return double(T.tv_sec) + double(T.tv_nsec) * 1e-9;
}

// Output MB/s of Runs decodings by processor time; 0 when one went wrong.
double Speed(const Decoder& D, const ZipEntry& C, int Runs) {
  const double Start = CpuSeconds();
  for (int I = 0; I < Runs; ++I)
    if (!D.Run(C)) return 0;
  return double(C.Size) * Runs / (CpuSeconds() - Start) / 1e6;
}

double Median(std::vector<double> V) {
  if (V.empty()) return 0;
  std::sort(V.begin(), V.end());
  const size_t Mid = V.size() / 2;
  return V.size() % 2 ? V[Mid] : (V[Mid - 1] + V[Mid]) / 2;
}

struct CaseResult {
  std::string Name;
  std::vector<double> Speed;      // median MB/s per decoder
  double OursOverLibdeflate = 0;  // median of the per-repetition ratios
  double OursOverZlib = 0;
};

// Runs one case: each decoder decodes it enough times per repetition to take
// about a tenth of a second (measured once, untimed, which also warms caches
// and tables), in turn.
CaseResult RunCase(const std::string& Name, const ZipEntry& C, int Repetitions) {
  const std::vector<Decoder>& List = Decoders();
  std::vector<int> Runs;
  for (const Decoder& D : List) {
    const double Once = Speed(D, C, 1);
    Runs.push_back(Once > 0 ? std::max(1, int(0.1 * Once * 1e6 / C.Size)) : 1);
  }
  std::vector<std::vector<double>> Speeds(List.size());
  std::vector<double> VsLibdeflate, VsZlib;
  for (int R = 0; R < Repetitions; ++R) {
    std::vector<double> This(List.size());
    for (size_t K = 0; K < List.size(); ++K) {
      const size_t I = (K + size_t(R)) % List.size();
      This[I] = Speed(List[I], C, Runs[I]);
      Speeds[I].push_back(This[I]);
    }
    std::fprintf(stderr, "%-16s rep %d:", Name.c_str(), R + 1);
    for (size_t I = 0; I < List.size(); ++I) std::fprintf(stderr, " %s %.1f", List[I].Name, This[I]);
    std::fprintf(stderr, "\n");
    if (This.back() > 0) VsZlib.push_back(This[0] / This.back());
    if (List.size() == 3 && This[1] > 0) VsLibdeflate.push_back(This[0] / This[1]);
  }
  CaseResult Result{Name, {}, Median(VsLibdeflate), Median(VsZlib)};
  for (const auto& S : Speeds) Result.Speed.push_back(Median(S));
  return Result;
}

void PrintTable(const std::vector<CaseResult>& Results) {
  const bool HasLibdeflate = Decoders().size() == 3;
  std::printf("\n%-16s %10s %12s %10s %10s %10s\n", "case", "ours MB/s", "libdefl MB/s", "zlib MB/s", "ours/libd",
              "ours/zlib");
  for (const CaseResult& R : Results) {
    const double L = HasLibdeflate ? R.Speed[1] : 0.0;
    std::printf("%-16s %10.1f %12.1f %10.1f %10.2f %10.2f\n", R.Name.c_str(), R.Speed[0], L, R.Speed.back(),
                R.OursOverLibdeflate, R.OursOverZlib);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int Repetitions = 11;
  std::regex Filter(".*");
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg.rfind("--benchmark_repetitions=", 0) == 0) {
      Repetitions = std::max(1, std::atoi(Arg.c_str() + 24));
    } else if (Arg.rfind("--benchmark_filter=", 0) == 0) {
      Filter = std::regex(Arg.substr(19));
    } else {
      std::fprintf(stderr, "usage: %s [--benchmark_repetitions=N] [--benchmark_filter=REGEX]\n", argv[0]);
      return 2;
    }
  }
  std::vector<CaseResult> Results;
  for (const char* Kind : {"text", "picture", "random"})
    for (int Level : {1, 6, 9}) {
      const std::string Name = std::string(Kind) + "/level" + std::to_string(Level);
      if (!std::regex_search(Name, Filter)) continue;
      Results.push_back(RunCase(Name, CompressedCase(Kind, Level), Repetitions));
      const std::vector<double>& Got = Results.back().Speed;
      if (std::find(Got.begin(), Got.end(), 0.0) != Got.end()) {
        std::fprintf(stderr, "%s: a decoder gave wrong output\n", Name.c_str());
        return 1;
      }
    }
  PrintTable(Results);
  return 0;
}
