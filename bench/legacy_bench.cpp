// Speed of the legacy decoders on the real Shrink, Reduce and Implode entries of
// the test archives. For each method every entry of that method is decoded in
// turn, through a decoder view that feeds 32 KiB input chunks and computes the
// CRC-32 of every written block (checked against the archive's CRC); the result
// is output MB/s over all of them. As an anchor the same contents, compressed by
// zlib at level 6 during set-up, are inflated by zlib with its crc32. The
// closing table lists both per method (processor time, since the machine may be
// shared).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "archive/crc/Crc.h"
#include "archive/decode/DecoderIO.h"
#include "archive/decode/Explode.h"
#include "archive/decode/Unreduce.h"
#include "archive/decode/Unshrink.h"
#include "bench/BenchSupport.h"

namespace {

using skwbench::CrcIO;
using skwtest::MemoryDecoderIO;
using skwbench::RatioReporter;

using Bytes = std::vector<uint8_t>;

struct TEntry {
  uint16_t Method = 0;
  uint16_t Flags = 0;
  uint32_t Crc = 0;
  uint32_t Size = 0;
  Bytes Stream;
  Bytes Deflated;  // the decoded content compressed by zlib (anchor)
};

uint32_t Get16(const Bytes& B, size_t At) { return At + 2 <= B.size() ? uint32_t(B[At] | B[At + 1] << 8) : 0; }
uint32_t Get32(const Bytes& B, size_t At) { return Get16(B, At) | Get16(B, At + 2) << 16; }

// Entries of methods 1 to 6 of one archive, through its central directory.
void ReadArchive(const std::string& Name, std::vector<TEntry>& Entries) {
  std::ifstream In(skwbench::ZipDataDir() + Name, std::ios::binary);
  const Bytes B((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  if (B.size() < 22) return;
  size_t End = B.size() - 22;
  while (End > 0 && Get32(B, End) != 0x06054b50) --End;
  size_t At = Get32(B, End + 16);
  for (uint32_t I = 0, Count = Get16(B, End + 10); I < Count && Get32(B, At) == 0x02014b50; ++I) {
    TEntry E;
    E.Flags = uint16_t(Get16(B, At + 8));
    E.Method = uint16_t(Get16(B, At + 10));
    E.Crc = Get32(B, At + 16);
    const uint32_t Packed = Get32(B, At + 20);
    E.Size = Get32(B, At + 24);
    const size_t Local = Get32(B, At + 42);
    const size_t Data = Local + 30 + Get16(B, Local + 26) + Get16(B, Local + 28);
    At += 46 + Get16(B, At + 28) + Get16(B, At + 30) + Get16(B, At + 32);
    if (E.Method < 1 || E.Method > 6 || Data + Packed > B.size()) continue;
    E.Stream.assign(B.begin() + long(Data), B.begin() + long(Data + Packed));
    Entries.push_back(std::move(E));
  }
}

void Decode(const TEntry& E, MemoryDecoderIO& IO) {
  kst::TInflateRec Rec{E.Flags, E.Method, uint32_t(E.Stream.size()), E.Size};
  if (E.Method == 1) {
    kst::Unshrink(IO, Rec);
  } else if (E.Method == 6) {
    kst::Explode(IO, Rec);
  } else {
    kst::Unreduce(IO, Rec, int(E.Method) - 1);
  }
}

Bytes DecodeToMemory(const TEntry& E) {
  MemoryDecoderIO IO = MemoryDecoderIO::Borrowing(E.Stream, {32768});
  Decode(E, IO);
  return IO.Output;
}

Bytes Deflate(const Bytes& Data) {
  z_stream Z{};
  deflateInit2(&Z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes Out(deflateBound(&Z, uLong(Data.size())));
  Z.next_in = const_cast<Bytef*>(Data.data());
  Z.avail_in = uInt(Data.size());
  Z.next_out = Out.data();
  Z.avail_out = uInt(Out.size());
  deflate(&Z, Z_FINISH);
  Out.resize(Z.total_out);
  deflateEnd(&Z);
  return Out;
}

const std::map<int, std::vector<TEntry>>& EntriesByMethod() {
  static const std::map<int, std::vector<TEntry>> ByMethod = [] {
    std::vector<TEntry> All;
    for (const char* Name :
         {"legacy_shrink_text.zip", "legacy_shrink_binary.zip", "legacy_reduce1.zip", "legacy_reduce1_b.zip",
          "legacy_reduce2.zip", "legacy_reduce2_b.zip", "legacy_reduce3.zip", "legacy_reduce3_b.zip",
          "legacy_reduce4.zip", "legacy_reduce4_b.zip", "legacy_implode_4k_2trees.zip", "legacy_implode_4k_3trees.zip",
          "legacy_implode_8k_2trees.zip", "legacy_implode_8k_3trees.zip", "thirdparty_example-s.zip",
          "thirdparty_example-r.zip", "thirdparty_example-i.zip"}) {
      ReadArchive(Name, All);
    }
    std::map<int, std::vector<TEntry>> Map;
    for (TEntry& E : All) {
      E.Deflated = Deflate(DecodeToMemory(E));
      Map[E.Method].push_back(std::move(E));
    }
    return Map;
  }();
  return ByMethod;
}

int64_t TotalSize(const std::vector<TEntry>& Entries) {
  int64_t Total = 0;
  for (const TEntry& E : Entries) Total += E.Size;
  return Total;
}

void Ours(benchmark::State& State, int Method) {
  const std::vector<TEntry>& Entries = EntriesByMethod().at(Method);
  for (auto _ : State) {
    for (const TEntry& E : Entries) {
      MemoryDecoderIO IO = CrcIO(E.Stream);
      Decode(E, IO);
      if (IO.Failed() || IO.Written != E.Size || ~IO.Crc != E.Crc) {
        State.SkipWithError("wrong output");
        return;
      }
    }
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * TotalSize(Entries));
  State.counters["out_bytes"] = double(TotalSize(Entries));
}

void Zlib(benchmark::State& State, int Method) {
  const std::vector<TEntry>& Entries = EntriesByMethod().at(Method);
  Bytes Out(32768);
  for (auto _ : State) {
    for (const TEntry& E : Entries) {
      z_stream Z{};
      inflateInit2(&Z, -15);
      Z.next_in = const_cast<Bytef*>(E.Deflated.data());
      Z.avail_in = uInt(E.Deflated.size());
      uLong Crc = crc32(0, nullptr, 0);
      int Ret = Z_OK;
      while (Ret == Z_OK) {
        Z.next_out = Out.data();
        Z.avail_out = uInt(Out.size());
        Ret = inflate(&Z, Z_NO_FLUSH);
        Crc = crc32(Crc, Out.data(), uInt(Out.size() - Z.avail_out));
      }
      inflateEnd(&Z);
      if (Ret != Z_STREAM_END || uint32_t(Crc) != E.Crc) {
        State.SkipWithError("wrong output");
        return;
      }
    }
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * TotalSize(Entries));
  State.counters["out_bytes"] = double(TotalSize(Entries));
}

const char* MethodName(int Method) {
  static const char* Names[] = {"", "shrink", "reduce1", "reduce2", "reduce3", "reduce4", "implode"};
  return Names[Method];
}

}  // namespace

int main(int argc, char** argv) {
  for (int Method = 1; Method <= 6; ++Method) {
    if (EntriesByMethod().count(Method) == 0) continue;
    const std::string Name = MethodName(Method);
    benchmark::RegisterBenchmark(("ours/" + Name).c_str(), Ours, Method)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("zlib/" + Name).c_str(), Zlib, Method)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  std::printf("\n%-10s %8s %10s %14s\n", "method", "entries", "ours MB/s", "zlib inflate");
  for (int Method = 1; Method <= 6; ++Method) {
    auto O = Reporter.Speed.find(std::string("ours/") + MethodName(Method));
    auto Z = Reporter.Speed.find(std::string("zlib/") + MethodName(Method));
    if (O == Reporter.Speed.end() || Z == Reporter.Speed.end()) continue;
    std::printf("%-10s %8zu %10.1f %14.1f\n", MethodName(Method), EntriesByMethod().at(Method).size(), O->second,
                Z->second);
  }
  benchmark::Shutdown();
  return 0;
}
