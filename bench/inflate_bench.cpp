// Deflate decoding speed against zlib. The same raw Deflate streams (English-like
// text, a 24-bit picture of smooth gradients with noise, incompressible bytes;
// each compressed by zlib at levels 1, 6 and 9 during set-up) are decoded by our
// decoder, through a decoder view that feeds 32 KiB input chunks and computes the
// CRC-32 of every written block, and by zlib's inflate into 32 KiB output chunks
// with its crc32. Reports output MB/s per case and, at the end, the ratio ours/zlib
// measured on processor time (the machine may be shared, so wall time is noisy).
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/crc/Crc.h"
#include "archive/decode/DecoderIO.h"
#include "archive/decode/Inflate.h"
#include "bench/BenchSupport.h"

namespace {

using namespace benchcorpus;

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

}  // namespace

int main(int argc, char** argv) {
  RunOursAgainstZlib(argc, argv, Ours, TimeZlib, "ours MB/s");
  return 0;
}
