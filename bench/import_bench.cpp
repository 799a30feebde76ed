// The BMP import on a game-sized container: 200 pictures of 256 x 256 written
// into a generated container of 64 MiB, half of them onto textures of 128 x 128
// (so the container grows and everything behind them moves), in the
// palettised container with 20 pictures bringing 10 new palettes (each new
// palette appended once and found again by a second picture) and in the
// true-colour container. The pictures come from memory (pack:0) or, as in the
// program, from a pack archive of Deflate entries through the archive
// components (pack:1).
//
// The anchor is the floor of any run: reading the container file into memory
// and writing a container of the run's output size once, through the same
// save, measured in the same iteration. Each run reports the import alone, the
// whole run (load, scan, import, save), the ratio of the run to the floor, and
// the peak memory the scan, import and save add on top of the loaded
// container: resident (Linux: the VmHWM high-water mark, reset through
// /proc/self/clear_refs; it also counts code faulted in, and misses heap space
// freed earlier and reused), and exactly through the heap's own count. The
// heap figures are also split: the texture index the scan builds, and the peak
// the import and save add on top of the scanned container and its index. The
// container, pictures and pack are generated here; the test helpers are not
// linked into benchmarks.
//
// Beside the run: the installer's dry run (CheckPack: the same set-up, scan and
// import of the pack on a copy in memory, nothing saved), to be read against
// the run with pack:1, and keeping the original container (one more write of
// the loaded container, made on the first save into a game folder only).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "archive/list/Kstkestrel.h"
#include "archive/extract/Kstunzip.h"
#include "archive/io/MemoryStream.h"
#include "bench/BenchSupport.h"
#include "bench/HeapPeak.h"
#include "installer/ArchivePictureSource.h"
#include "installer/OriginalContainer.h"
#include "installer/PackCheck.h"
#include "tests/kit/BmpWriter.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"

namespace {

constexpr int kPictures = 200;
constexpr int64_t kContainerBytes = 64ll << 20;
constexpr int kContainerPalettes = 8;

void Append32(std::vector<uint8_t>& Out, uint32_t Value) {
  for (int Shift = 0; Shift < 32; Shift += 8) Out.push_back(static_cast<uint8_t>(Value >> Shift));
}

std::vector<uint8_t> Palette(uint32_t Seed) {
  std::vector<uint8_t> Out;
  for (uint32_t Entry = 0; Entry < 256; ++Entry) {
    Out.push_back(static_cast<uint8_t>(Entry));
    Out.push_back(static_cast<uint8_t>(Entry * 7 + Seed * 13));
    Out.push_back(static_cast<uint8_t>(255 - Entry + Seed * 29));
    Out.push_back(0);
  }
  return Out;
}

int64_t ChainBytes(int32_t Side, int32_t BytesPerPixel) {
  int64_t Size = 0;
  for (int64_t S = Side; S > 2; S /= 2) Size += S * S * BytesPerPixel;
  return Size;
}

int32_t MipCount(int32_t Side) {
  int32_t Mips = -1;
  for (int32_t S = Side; S > 2; S /= 2) ++Mips;
  return Mips;
}

void AppendRecord(std::vector<uint8_t>& Out, const std::string& Name, int32_t Side, bool Bin, int32_t Number) {
  Append32(Out, static_cast<uint32_t>(Name.size() + 1));
  Out.insert(Out.end(), Name.begin(), Name.end());
  Out.push_back(0);
  Append32(Out, 1);
  Append32(Out, static_cast<uint32_t>(MipCount(Side)));
  Append32(Out, static_cast<uint32_t>(Side));
  Append32(Out, static_cast<uint32_t>(Side));
  if (!Bin) Append32(Out, static_cast<uint32_t>(Number % kContainerPalettes));
  Out.resize(Out.size() + static_cast<size_t>(ChainBytes(Side, Bin ? 3 : 1)), static_cast<uint8_t>(Number));
  Append32(Out, 0xC0FFEE04u);
}

std::string TargetName(int I, const char* Prefix = "T", const char* Suffix = "") {
  char Name[48];
  std::snprintf(Name, sizeof Name, "%s%04d%s", Prefix, I, Suffix);
  return Name;
}

// Targets spread evenly over the container between fillers of 256 x 256; odd
// targets are 128 x 128 and grow.
std::vector<uint8_t> MakeContainer(bool Bin) {
  const int32_t B = Bin ? 3 : 1;
  const int64_t TargetBytes = kPictures / 2 * (ChainBytes(256, B) + ChainBytes(128, B));
  const int Fillers = static_cast<int>((kContainerBytes - TargetBytes) / ChainBytes(256, B));
  std::vector<uint8_t> Out;
  Out.reserve(static_cast<size_t>(kContainerBytes + (1 << 20)));
  Append32(Out, Bin ? 0 : kContainerPalettes);
  for (int P = 0; Bin == false && P < kContainerPalettes; ++P) {
    const std::vector<uint8_t> Table = Palette(static_cast<uint32_t>(P));
    Out.insert(Out.end(), Table.begin(), Table.end());
  }
  Out.resize(Out.size() + 8, 0);
  AppendRecord(Out, "5 ROUND ROCKET POD", 8, Bin, 0);
  int Filler = 0;
  for (int I = 0; I < kPictures; ++I) {
    AppendRecord(Out, TargetName(I), I % 2 == 0 ? 256 : 128, Bin, I);
    for (; Filler * kPictures < Fillers * (I + 1); ++Filler)
      AppendRecord(Out, TargetName(Filler, "FT"), 256, Bin, Filler);
  }
  AppendRecord(Out, "WOOD PLANK", 8, Bin, 0);
  return Out;
}

// A 256 x 256 picture: 8-bit with the palette of the given seed, or 24-bit.
std::vector<uint8_t> MakePicture(bool Bin, uint32_t PaletteSeed, int Salt) {
  skwtest::TBmpFile File;
  File.Width = 256;
  File.Height = 256;
  File.BitCount = Bin ? 24 : 8;
  if (!Bin) {
    const std::vector<uint8_t> Colours = Palette(PaletteSeed);
    for (size_t E = 0; E < 256; ++E) File.Table.push_back({Colours[4 * E + 2], Colours[4 * E + 1], Colours[4 * E], 0});
  }
  File.Pixel = [Bin, Salt](int32_t Column, int32_t Line) {
    const uint32_t X = static_cast<uint32_t>(Column);
    const uint32_t Y = 255 - static_cast<uint32_t>(Line);  // the row as stored, bottom row 0
    const uint32_t V = X / 2 + Y / 3 + ((X * Y) >> 7) + static_cast<uint32_t>(Salt);
    if (!Bin) return V & 0xFF;
    return ((X ^ Y) & 0xFF) << 16 | ((Y + static_cast<uint32_t>(Salt)) & 0xFF) << 8 | (V & 0xFF);
  };
  return skwtest::MakeBmp(File);
}

class TBenchPictures : public skw::TPictureSource {
 public:
  kst::TStringList ListBitmaps() override {
    kst::TStringList Names;
    for (const auto& File : Files) Names.push_back(File.first);
    return Names;
  }
  std::vector<uint8_t> Extract(const std::string& Name) override {
    const std::vector<uint8_t>* Bytes = Find(Name);
    return Bytes != nullptr ? *Bytes : std::vector<uint8_t>{};
  }
  // The picture's one copy goes straight from the held bytes into the stream
  // the bitmap loader takes over, as a source holding its pictures in memory
  // would hand them out.
  kst::TMemoryStream ExtractPicture(const std::string& Name) override {
    kst::TMemoryStream Stream;
    if (const std::vector<uint8_t>* Bytes = Find(Name))
      Stream.Write(Bytes->data(), static_cast<int64_t>(Bytes->size()));
    return Stream;
  }
  std::vector<std::pair<std::string, std::vector<uint8_t>>> Files;

 private:
  const std::vector<uint8_t>* Find(const std::string& Name) const {
    for (const auto& File : Files)
      if (File.first == Name) return &File.second;
    return nullptr;
  }
};

struct TFixture {
  std::string Container;
  std::string Output;
  std::string Pack;  // the pictures as Deflate entries of a ZIP archive
  TBenchPictures Pictures;
  int64_t ContainerSize = 0;
  int64_t LargestPicture = 0;
};

TFixture& Fixture(bool Bin) {
  static TFixture Fixtures[2];
  TFixture& F = Fixtures[Bin ? 1 : 0];
  if (!F.Container.empty()) return F;
  const std::filesystem::path Dir = std::filesystem::temp_directory_path();
  const std::string Kind = Bin ? "bin" : "pal";
  F.Container = (Dir / ("skw-import-bench." + Kind)).string();
  F.Output = (Dir / ("skw-import-bench-out." + Kind)).string();
  {
    const std::vector<uint8_t> Bytes = MakeContainer(Bin);
    std::ofstream(F.Container, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    F.ContainerSize = static_cast<int64_t>(Bytes.size());
  }
  F.Pack = (Dir / ("skw-import-bench-pack-" + Kind + ".zip")).string();
  std::vector<skwbench::ZipEntry> Entries;
  for (int I = 0; I < kPictures; ++I) {
    // Every tenth picture brings a new palette, each new one shared by two pictures.
    const uint32_t Seed =
        I % 10 == 0 ? 100u + static_cast<uint32_t>(I / 20) : static_cast<uint32_t>(I % kContainerPalettes);
    F.Pictures.Files.emplace_back(TargetName(I, "T", Bin ? "-BIN-256x256.bmp" : "-PAL-256x256.bmp"),
                                  MakePicture(Bin, Seed, I));
    F.LargestPicture = std::max(F.LargestPicture, static_cast<int64_t>(F.Pictures.Files.back().second.size()));
    Entries.push_back(skwbench::DeflateEntry(F.Pictures.Files.back().first, F.Pictures.Files.back().second, 6));
  }
  const std::vector<uint8_t> Zip = skwbench::ZipOf(Entries);
  std::ofstream(F.Pack, std::ios::binary)
      .write(reinterpret_cast<const char*>(Zip.data()), static_cast<std::streamsize>(Zip.size()));
  return F;
}

// Resident memory figures of this process in bytes ("VmHWM:", "VmRSS:"); 0 where unknown.
int64_t StatusBytes(const std::string& Field) {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line))
    if (Line.rfind(Field, 0) == 0) return std::stoll(Line.substr(Field.size())) * 1024;
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double CpuSeconds(std::clock_t From) { return static_cast<double>(std::clock() - From) / CLOCKS_PER_SEC; }

double Seconds(std::chrono::steady_clock::time_point From) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - From).count();
}

void BM_ContainerFloor(benchmark::State& State) {
  const TFixture& F = Fixture(State.range(0) != 0);
  for (auto _ : State) {
    kst::TMemoryStream Stream;
    Stream.LoadFromFile(F.Container);
    Stream.SaveToFile(F.Output);
  }
  State.SetBytesProcessed(State.iterations() * F.ContainerSize);
}

void BM_ImportRun(benchmark::State& State) {
  const bool Bin = State.range(0) != 0;
  const bool FromPack = State.range(1) != 0;
  TFixture& F = Fixture(Bin);
  double Floor = 0, Import = 0, Run = 0, FloorCpu = 0, RunCpu = 0;
  int64_t PeakExtra = 0, HeapExtra = 0, ImportHeapExtra = 0, IndexBytes = 0, Final = 0;
  for (auto _ : State) {
    auto Start = std::chrono::steady_clock::now();
    std::clock_t CpuStart = std::clock();
    {
      kst::TMemoryStream Stream;
      Stream.LoadFromFile(F.Container);
      const int64_t Resident = StatusBytes("VmRSS:");
      const int64_t Heap = skwbench::LiveBytes();
      ResetPeak();
      skwbench::ResetPeak();
      const auto ImportStart = std::chrono::steady_clock::now();
      kst::TStringList Index;
      kst::TKestrel Kestrel;
      kst::TUnZip UnZip;
      UnZip.ConfirmOverwrites = false;
      UnZip.SetArchiveFile(F.Pack);
      skw::TArchivePictureSource Pack(Kestrel, UnZip, F.Pack);
      skw::TTextureEngine Engine;
      Engine.ContainerStream = &Stream;
      Engine.TextureList = &Index;
      Engine.BinContainer = Bin;
      if (FromPack)
        Engine.Pictures = &Pack;
      else
        Engine.Pictures = &F.Pictures;
      Engine.ScanTextures(F.Container);
      const int64_t Scanned = skwbench::LiveBytes();
      const int64_t ScanPeak = skwbench::PeakBytes();
      skwbench::ResetPeak();
      Engine.ImportBitmaps();
      Import += Seconds(ImportStart);
      Stream.SaveToFile(F.Output);
      Run += Seconds(Start);
      RunCpu += CpuSeconds(CpuStart);
      PeakExtra = std::max(PeakExtra, StatusBytes("VmHWM:") - Resident);
      HeapExtra = std::max({HeapExtra, ScanPeak - Heap, skwbench::PeakBytes() - Heap});
      IndexBytes = Scanned - Heap;
      ImportHeapExtra = std::max(ImportHeapExtra, skwbench::PeakBytes() - Scanned);
      Final = Stream.Size();
    }

    State.PauseTiming();
    Start = std::chrono::steady_clock::now();
    CpuStart = std::clock();
    {
      kst::TMemoryStream Stream;
      Stream.LoadFromFile(F.Container);
      Stream.SetSize(Final);
      Stream.SaveToFile(F.Output);
    }
    Floor += Seconds(Start);
    FloorCpu += CpuSeconds(CpuStart);
    State.ResumeTiming();
  }
  const double N = static_cast<double>(State.iterations());
  const double MiB = 1024.0 * 1024.0;
  State.counters["floor_ms"] = 1000 * Floor / N;
  State.counters["import_ms"] = 1000 * Import / N;
  State.counters["run_ms"] = 1000 * Run / N;
  State.counters["run_per_floor"] = Run / Floor;
  State.counters["import_per_floor"] = Import / Floor;
  State.counters["run_cpu_per_floor_cpu"] = RunCpu / FloorCpu;
  State.counters["container_MiB"] = static_cast<double>(F.ContainerSize) / MiB;
  State.counters["grown_MiB"] = static_cast<double>(Final - F.ContainerSize) / MiB;
  State.counters["peak_extra_MiB"] = static_cast<double>(PeakExtra) / MiB;
  State.counters["heap_extra_MiB"] = static_cast<double>(HeapExtra) / MiB;
  State.counters["index_MiB"] = static_cast<double>(IndexBytes) / MiB;
  State.counters["import_heap_extra_MiB"] = static_cast<double>(ImportHeapExtra) / MiB;
  State.counters["goal_extra_MiB"] = static_cast<double>(Final - F.ContainerSize + 3 * F.LargestPicture) / MiB;
}

// The level chains alone (load, halve, copy) of the 200 pictures, for seeing
// how much of a run is picture work rather than container work.
void BM_LevelChains(benchmark::State& State) {
  const bool Bin = State.range(0) != 0;
  TFixture& F = Fixture(Bin);
  std::vector<uint8_t> Out(static_cast<size_t>(ChainBytes(256, Bin ? 3 : 1)));
  for (auto _ : State) {
    skw::TPictureHalver Halver;  // one for the whole run, as in the import
    for (const auto& File : F.Pictures.Files) {
      skw::TBitmap Bitmap;
      Bitmap.LoadFromBuffer(File.second);
      skw::MakeLevels(Bitmap, Out.data(), Halver);
    }
    benchmark::DoNotOptimize(Out.data());
  }
}

// The pictures' extraction alone, from the pack archive through the archive
// components, one by one as the import asks for them.
void BM_PackExtract(benchmark::State& State) {
  const bool Bin = State.range(0) != 0;
  TFixture& F = Fixture(Bin);
  kst::TKestrel Kestrel;
  kst::TUnZip UnZip;
  UnZip.ConfirmOverwrites = false;
  UnZip.SetArchiveFile(F.Pack);
  skw::TArchivePictureSource Pack(Kestrel, UnZip, F.Pack);
  int64_t Bytes = 0;
  for (auto _ : State)
    for (const auto& File : F.Pictures.Files) Bytes += static_cast<int64_t>(Pack.Extract(File.first).size());
  State.SetBytesProcessed(Bytes);
}

void BM_CheckPack(benchmark::State& State) {
  const TFixture& F = Fixture(State.range(0) != 0);
  size_t Replaced = 0;
  for (auto _ : State) {
    const skw::TPackCheck Check = skw::CheckPack(F.Pack, F.Container);
    Replaced = static_cast<size_t>(std::count_if(Check.Reports.begin(), Check.Reports.end(), [](const auto& R) {
      return R.Outcome == skw::TPictureOutcome::Replaced;
    }));
  }
  State.counters["replaced"] = static_cast<double>(Replaced);
}

void BM_KeepOriginal(benchmark::State& State) {
  const TFixture& F = Fixture(State.range(0) != 0);
  kst::TMemoryStream Stream;
  Stream.LoadFromFile(F.Container);
  for (auto _ : State) {
    std::filesystem::remove(skw::OriginalPathFor(F.Output));
    skw::KeepOriginal(F.Output, std::span<const uint8_t>(Stream.Memory(), static_cast<size_t>(Stream.Size())));
  }
  std::filesystem::remove(skw::OriginalPathFor(F.Output));
  State.SetBytesProcessed(State.iterations() * Stream.Size());
}

BENCHMARK(BM_CheckPack)->ArgName("bin")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_KeepOriginal)->ArgName("bin")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PackExtract)->ArgName("bin")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelChains)->ArgName("bin")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainerFloor)->ArgName("bin")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportRun)
    ->ArgNames({"bin", "pack"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
