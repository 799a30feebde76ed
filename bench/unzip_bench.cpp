// Extraction speed of a whole run against zlib. Each case (English-like text, a
// 24-bit picture, incompressible bytes; compressed by zlib at levels 1, 6 and 9)
// is stored as one Deflate entry of a ZIP archive written to the temporary
// folder at set-up. "ours" extracts it with TUnZip (archive opened, directory
// walked, local header read, 32 KiB reads, Deflate, CRC-32 compared by the run,
// output discarded); "zlib" inflates the same raw stream from memory into 32 KiB
// chunks with its crc32. MB/s of output on processor time, then the ratios.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/Crc.h"
#include "archive/Kstunzip.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "bench/BenchSupport.h"

namespace {

using namespace benchcorpus;

struct Case {
  Bytes Stream;
  uint32_t Size = 0;
  uint32_t Crc = 0;  // register value after the whole output (not inverted)
  std::string Archive;
};

const Bytes& Source(const std::string& Kind) {
  static std::map<std::string, Bytes> Cache;
  auto It = Cache.find(Kind);
  if (It != Cache.end()) return It->second;
  Bytes Data = Kind == "text" ? MakeText(50u << 20) : Kind == "picture" ? MakePicture(50u << 20) : MakeRandom(20u << 20);
  return Cache.emplace(Kind, std::move(Data)).first->second;
}

const Case& GetCase(const std::string& Kind, int Level) {
  static std::map<std::string, Case> Cache;
  std::string Key = Kind + std::to_string(Level);
  auto It = Cache.find(Key);
  if (It != Cache.end()) return It->second;
  const Bytes& Data = Source(Kind);
  Case C;
  C.Stream = Compress(Data, Level);
  C.Size = uint32_t(Data.size());
  C.Crc = kst::CRC_MASK;
  kst::Crc32_buf(Data.data(), int64_t(Data.size()), C.Crc);
  C.Archive = platform::TempDirectory() + "skw-unzip-bench-" + Key + ".zip";
  const Bytes Zip = ZipOf({ZipEntry{"data", C.Stream, C.Size, C.Crc}});
  const platform::FileHandle H = platform::OpenWrite(C.Archive, true);
  if (H == platform::kInvalidHandle || platform::Write(H, Zip.data(), Zip.size()) != int64_t(Zip.size()))
    throw std::runtime_error("cannot write " + C.Archive);
  platform::Close(H);
  return Cache.emplace(Key, std::move(C)).first->second;
}

void Ours(benchmark::State& State, const std::string& Kind, int Level) {
  const Case& C = GetCase(Kind, Level);
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(C.Archive);
  UnZip.FileSpec = {"*.*"};
  bool Passed = false;
  UnZip.OnEnd = [&](kst::TUnBase*, const std::string&, bool Pass) { Passed = Pass; };
  for (auto _ : State) {
    Passed = false;
    if (UnZip.ExtractToNul() != 1 || !Passed) {
      State.SkipWithError("wrong output");
      break;
    }
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * C.Size);
  State.counters["out_bytes"] = C.Size;
}

void Zlib(benchmark::State& State, const std::string& Kind, int Level) {
  const Case& C = GetCase(Kind, Level);
  TimeZlib(State, C.Stream, C.Size, C.Crc);
}

void RemoveArchives() {
  for (const char* Kind : {"text", "picture", "random"})
    for (int Level : {1, 6, 9})
      platform::RemoveFile(platform::TempDirectory() + "skw-unzip-bench-" + Kind + std::to_string(Level) + ".zip");
}

}  // namespace

int main(int argc, char** argv) {
  RunOursAgainstZlib(argc, argv, Ours, Zlib, "run MB/s");
  RemoveArchives();
  return 0;
}
