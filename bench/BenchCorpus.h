// Inputs shared by the Deflate benchmarks: English-like text drawn from the test
// payload's words, a 24-bit picture of smooth gradients with noise, incompressible
// bytes (all deterministic), and zlib's raw Deflate at a given level to make the
// streams both decoders then read.
#pragma once
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace benchcorpus {

using Bytes = std::vector<uint8_t>;

struct Rng {
  uint64_t State;
  uint32_t Next() {
    State = State * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t(State >> 33);
  }
};

inline std::string PayloadDir() {
  std::string Here = __FILE__;
  return Here.substr(0, Here.rfind('/')) + "/../tests/data/zip/payload/";
}

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
    if (P < 7) Out.push_back('.'), Capital = true;
    else if (P < 12) Out.push_back(',');
    if (Out.size() - LineStart > 72) Out.push_back('\n'), LineStart = Out.size();
    else Out.push_back(' ');
  }
  Out.resize(Size);
  return Out;
}

// A 24-bit bottom-up picture: header, then rows of smooth colour gradients with
// a little noise.
inline Bytes MakePicture(size_t Size) {
  const uint32_t Width = 2048;
  const uint32_t Height = uint32_t(Size / (Width * 3));
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
      Speed[R.benchmark_name()] = It->second.value / Seconds / 1e6;
    }
  }
  std::map<std::string, double> Speed;
};

}  // namespace benchcorpus
