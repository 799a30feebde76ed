// What the decoder benchmarks share: deterministic inputs (English-like text
// drawn from the test payload's words, a 24-bit picture of smooth gradients with
// noise, incompressible bytes), zlib's raw Deflate to make the streams and its
// inflate as the anchor, a decoder view that keeps the CRC-32 of what it is
// given, and the runner that times ours against zlib and prints the ratios.
#pragma once
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/core/Ksttypes.h"
#include "archive/crc/Crc.h"
#include "archive/decode/DecoderIO.h"
#include "tests/kit/HostileZip.h"
#include "tests/kit/MemoryDecoderIO.h"

namespace skwbench {

using Bytes = std::vector<uint8_t>;

struct Rng {
  uint64_t State;
  uint32_t Next() {
    State = State * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(State >> 33);
  }
};

// The test archives of the source tree, wherever the benchmark is run from
// (the build names the source folder; a compiler cache may shorten __FILE__).
inline std::string ZipDataDir() { return SKW_SOURCE_DIR "/tests/data/zip/"; }
inline std::string PayloadDir() { return ZipDataDir() + "payload/"; }

// English-like text: words drawn, with their natural frequencies, from the
// text files of the test payload; sentences, commas and line breaks.
inline Bytes MakeText(size_t Size) {
  std::vector<std::string> Words;
  for (const char* Name : {"text100k.txt", "lorem.txt", "credits.txt"}) {
    std::ifstream In(PayloadDir() + Name);
    std::string W;
    while (In >> W) {
      std::string Clean;
      for (char C : W)
        if (std::isalpha(static_cast<unsigned char>(C))) Clean += char(std::tolower(static_cast<unsigned char>(C)));
      if (!Clean.empty()) Words.push_back(Clean);
    }
  }
  if (Words.empty()) Words = {"the", "of", "and", "texture", "pack", "rotor", "hokum", "archive", "window"};
  Rng R{42};
  Bytes Out;
  Out.reserve(Size + 100);
  size_t LineStart = 0;
  bool Capital = true;
  while (Out.size() < Size) {
    std::string W = Words[R.Next() % Words.size()];
    if (Capital) W[0] = char(std::toupper(static_cast<unsigned char>(W[0])));
    Capital = false;
    Out.insert(Out.end(), W.begin(), W.end());
    uint32_t P = R.Next() % 100;
    if (P < 7)
      Out.push_back('.'), Capital = true;
    else if (P < 12)
      Out.push_back(',');
    if (Out.size() - LineStart > 72)
      Out.push_back('\n'), LineStart = Out.size();
    else
      Out.push_back(' ');
  }
  Out.resize(Size);
  return Out;
}

// A 24-bit bottom-up picture of at least Size bytes: header, then rows of
// smooth colour gradients with a little noise.
inline Bytes MakePicture(size_t Size) {
  const uint32_t Width = 2048;
  const uint32_t Height = uint32_t((Size + Width * 3 - 1) / (Width * 3));
  Bytes Out(54, 0);
  Out[0] = 'B', Out[1] = 'M';
  Rng R{7};
  Out.reserve(54 + size_t(Width) * 3 * Height);
  for (uint32_t Y = 0; Y < Height; ++Y) {
    for (uint32_t X = 0; X < Width; ++X) {
      uint32_t Noise = R.Next();
      int N1 = int(Noise & 7) - 3, N2 = int((Noise >> 3) & 7) - 3, N3 = int((Noise >> 6) & 7) - 3;
      Out.push_back(uint8_t(int((X / 8 + Y / 32) & 0xFF) + N1));
      Out.push_back(uint8_t(int(((X + Y) / 16) & 0xFF) + N2));
      Out.push_back(uint8_t(int((128 + (Y * 3) / 64 - X / 24) & 0xFF) + N3));
    }
  }
  return Out;
}

inline Bytes MakeRandom(size_t Size) {
  Rng R{99};
  Bytes Out(Size);
  for (auto& B : Out) B = uint8_t(R.Next() >> 7);
  return Out;
}

inline Bytes Compress(const Bytes& Data, int Level) {
  z_stream Z{};
  if (deflateInit2(&Z, Level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
  Bytes Out(deflateBound(&Z, uLong(Data.size())));
  Z.next_in = const_cast<Bytef*>(Data.data());
  Z.avail_in = uInt(Data.size());
  Z.next_out = Out.data();
  Z.avail_out = uInt(Out.size());
  if (deflate(&Z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
  Out.resize(Z.total_out);
  deflateEnd(&Z);
  return Out;
}

// One Deflate entry of a ZIP archive: its raw stream, size and CRC-32 register
// value after the whole output (not inverted).
struct ZipEntry {
  std::string Name;
  Bytes Stream;
  uint32_t Size = 0;
  uint32_t Crc = 0;
};

inline ZipEntry DeflateEntry(std::string Name, const Bytes& Data, int Level) {
  ZipEntry Entry{std::move(Name), Compress(Data, Level), uint32_t(Data.size()), kst::CRC_MASK};
  kst::Crc32_buf(Data.data(), int64_t(Data.size()), Entry.Crc);
  return Entry;
}

// The input of a kind ("text", "picture", "random"; 64 MiB or a little more), made once.
inline const Bytes& Source(const std::string& Kind) {
  static std::map<std::string, Bytes> Cache;
  auto It = Cache.find(Kind);
  if (It != Cache.end()) return It->second;
  constexpr size_t Size = size_t{64} << 20;
  Bytes Data = Kind == "text" ? MakeText(Size) : Kind == "picture" ? MakePicture(Size) : MakeRandom(Size);
  return Cache.emplace(Kind, std::move(Data)).first->second;
}

// The input of a kind compressed by zlib at Level, as an entry named "data",
// made once.
inline const ZipEntry& CompressedCase(const std::string& Kind, int Level) {
  static std::map<std::string, ZipEntry> Cache;
  const std::string Key = Kind + std::to_string(Level);
  auto It = Cache.find(Key);
  if (It != Cache.end()) return It->second;
  return Cache.emplace(Key, DeflateEntry("data", Source(Kind), Level)).first->second;
}

// A ZIP archive of the entries, in order: local headers with data, the
// central directory, its end record; written by the test kit's ZIP writer.
inline Bytes ZipOf(const std::vector<ZipEntry>& Entries) {
  skwtest::HostileZip Zip;
  for (const ZipEntry& E : Entries) {
    skwtest::HostileEntry H;
    H.Name = E.Name;
    H.Data = E.Stream;
    H.Method = kst::kMethodDeflated;
    H.DosDateTime = 0x2A434883;
    H.Crc = E.Crc ^ 0xFFFFFFFFu;
    H.UnpackedSize = E.Size;
    Zip.Entries.push_back(std::move(H));
  }
  return Zip.Build();
}

// zlib's raw inflate of Stream into 32 KiB chunks with its crc32, as the anchor
// decoders are compared with. Answers whether the stream ended properly;
// Written and Crc (inverted, as stored in archives) describe the output.
inline bool ZlibInflate(const Bytes& Stream, uint64_t& Written, uint32_t& Crc) {
  std::vector<uint8_t> Out(32768);
  z_stream Z{};
  inflateInit2(&Z, -15);
  Z.next_in = const_cast<Bytef*>(Stream.data());
  Z.avail_in = uInt(Stream.size());
  uLong Running = crc32(0, nullptr, 0);
  Written = 0;
  int Ret = Z_OK;
  while (Ret == Z_OK) {
    Z.next_out = Out.data();
    Z.avail_out = uInt(Out.size());
    Ret = inflate(&Z, Z_NO_FLUSH);
    size_t N = Out.size() - Z.avail_out;
    Running = crc32(Running, Out.data(), uInt(N));
    Written += N;
  }
  inflateEnd(&Z);
  Crc = uint32_t(Running);
  return Ret == Z_STREAM_END;
}

// Collects MB/s (output bytes over processor time) per benchmark name for the
// closing ratio tables.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& Runs) override {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& R : Runs) {
      if (R.error_occurred || R.run_type != Run::RT_Iteration || R.iterations == 0) continue;
      auto It = R.counters.find("out_bytes");
      if (It == R.counters.end()) continue;
      double Seconds = R.cpu_accumulated_time / double(R.iterations);
      // With repetitions the name stays the same: keep every run, answer the median.
      std::vector<double>& Runs = Samples[R.benchmark_name()];
      Runs.push_back(It->second.value / Seconds / 1e6);
      std::vector<double> Sorted = Runs;
      std::sort(Sorted.begin(), Sorted.end());
      const size_t Mid = Sorted.size() / 2;
      Speed[R.benchmark_name()] = Sorted.size() % 2 ? Sorted[Mid] : (Sorted[Mid - 1] + Sorted[Mid]) / 2;
    }
  }
  std::map<std::string, double> Speed;  // median MB/s of the runs of each benchmark
  std::map<std::string, std::vector<double>> Samples;
};

// A decoder's run view over a stream in memory: input in chunks of up to 32 KiB,
// output only counted and put through the CRC-32 register.
inline skwtest::MemoryDecoderIO CrcIO(const Bytes& In) {
  skwtest::MemoryDecoderIO IO = skwtest::MemoryDecoderIO::Borrowing(In, {32768});
  IO.KeepOutput = false;
  return IO;
}

// zlib inflating the case's stream (its anchor), checked against its size and CRC.
inline void TimeZlib(benchmark::State& State, const std::string& Kind, int Level) {
  const ZipEntry& C = CompressedCase(Kind, Level);
  for (auto _ : State) {
    uint64_t Written = 0;
    uint32_t Stored = 0;
    if (!ZlibInflate(C.Stream, Written, Stored) || Written != C.Size || ~Stored != C.Crc) {
      State.SkipWithError("wrong output");
      break;
    }
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * C.Size);
  State.counters["out_bytes"] = C.Size;
}

using CaseBenchmark = void (*)(benchmark::State&, const std::string&, int);

// Registers Ours and Zlib for text, picture and random data at levels 1, 6 and
// 9, runs them, and prints MB/s of both and their ratio per case.
inline void RunOursAgainstZlib(int Argc, char** Argv, CaseBenchmark Ours, CaseBenchmark Zlib, const char* OursColumn) {
  const char* Kinds[] = {"text", "picture", "random"};
  for (const char* Kind : Kinds)
    for (int Level : {1, 6, 9}) {
      std::string Name = std::string(Kind) + "/level" + std::to_string(Level);
      benchmark::RegisterBenchmark(("ours/" + Name).c_str(), Ours, std::string(Kind), Level)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("zlib/" + Name).c_str(), Zlib, std::string(Kind), Level)
          ->Unit(benchmark::kMillisecond);
    }
  benchmark::Initialize(&Argc, Argv);
  RatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  std::printf("\n%-18s %10s %10s %8s\n", "case", OursColumn, "zlib MB/s", "ratio");
  for (const char* Kind : Kinds)
    for (int Level : {1, 6, 9}) {
      std::string Name = std::string(Kind) + "/level" + std::to_string(Level);
      auto O = Reporter.Speed.find("ours/" + Name);
      auto Z = Reporter.Speed.find("zlib/" + Name);
      if (O == Reporter.Speed.end() || Z == Reporter.Speed.end()) continue;
      std::printf("%-18s %10.1f %10.1f %8.2f\n", Name.c_str(), O->second, Z->second, O->second / Z->second);
    }
  benchmark::Shutdown();
}

}  // namespace skwbench
