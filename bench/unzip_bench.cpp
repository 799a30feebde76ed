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

#include "archive/crc/Crc.h"
#include "archive/extract/Kstunzip.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "bench/BenchSupport.h"

namespace {

using namespace skwbench;

// The case's ZIP archive in the temporary folder, written once.
const std::string& ArchiveOf(const std::string& Kind, int Level) {
  static std::map<std::string, std::string> Cache;
  const std::string Key = Kind + std::to_string(Level);
  auto It = Cache.find(Key);
  if (It != Cache.end()) return It->second;
  const std::string Archive = platform::TempDirectory() + "skw-unzip-bench-" + Key + ".zip";
  const Bytes Zip = ZipOf({CompressedCase(Kind, Level)});
  const platform::FileHandle H = platform::OpenWrite(Archive, true);
  if (H == platform::kInvalidHandle || platform::Write(H, Zip.data(), Zip.size()) != int64_t(Zip.size()))
    throw std::runtime_error("cannot write " + Archive);
  platform::Close(H);
  return Cache.emplace(Key, Archive).first->second;
}

void Ours(benchmark::State& State, const std::string& Kind, int Level) {
  const ZipEntry& C = CompressedCase(Kind, Level);
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(ArchiveOf(Kind, Level));
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

void RemoveArchives() {
  for (const char* Kind : {"text", "picture", "random"})
    for (int Level : {1, 6, 9})
      platform::RemoveFile(platform::TempDirectory() + "skw-unzip-bench-" + Kind + std::to_string(Level) + ".zip");
}

}  // namespace

int main(int argc, char** argv) {
  RunOursAgainstZlib(argc, argv, Ours, TimeZlib, "run MB/s");
  RemoveArchives();
  return 0;
}
