// Shared pieces of the installer's end-to-end tests: a scratch folder holding a
// demo game made by the demo-game tool (its own Wine-prefix-shaped folder, its
// own temporary and runtime folders, so nothing touches the real home, a real
// prefix or another test), small stored ZIP archives and pictures made on the
// spot, and running the installer program with its output and errors captured.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "installer/ArchivePictureSource.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "tests/kit/HostileZip.h"
#include "tests/platform/ScratchDir.h"
#include "textures/Bitmap.h"
#include "textures/TextureEngine.h"

namespace skwtest {

inline std::string ReadAll(const std::string& Path) {
  std::ifstream File(platform::NativePath(Path), std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

inline bool WriteAll(const std::string& Path, const std::string& Bytes) {
  return skwtest::ScratchDir::WriteText(Path, Bytes);
}

// A ZIP archive with every entry stored (version 1.0 needed, dated 1 January
// 2024 at midnight), written by the test kit's ZIP writer, not the library.
inline std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& Entries) {
  skwtest::HostileZip Zip;
  for (const auto& [Name, Bytes] : Entries) {
    skwtest::HostileEntry Entry = skwtest::StoredEntry(Name, Bytes);
    Entry.VersionNeeded = 10;
    Entry.DosDateTime = 0x58210000;
    Zip.Entries.push_back(std::move(Entry));
  }
  const skwtest::TBytes Out = Zip.Build();
  return {Out.begin(), Out.end()};
}

// A 24-bit BMP file of the given size filled with one colour.
inline std::string Picture24(int32_t Width, int32_t Height, skw::TColor Colour = 0x336699) {
  skw::TBitmap Picture;
  Picture.SetPixelFormat(skw::TPixelFormat::pf24bit);
  Picture.SetSize(Width, Height);
  for (int32_t Y = 0; Y < Height; ++Y)
    for (int32_t X = 0; X < Width; ++X) Picture.SetPixel(X, Y, Colour + X * 3 + Y * 5);
  const std::vector<uint8_t> Bytes = Picture.SaveToBuffer();
  return std::string(Bytes.begin(), Bytes.end());
}

// The container the texture engine makes of Original with the pictures of the
// ZIP archive Pack, through the same archive components the program uses.
inline std::string EngineExpectation(const std::string& Original, const std::string& Pack, bool Bin) {
  kst::TMemoryStream Stream;
  Stream.Write(Original.data(), static_cast<int64_t>(Original.size()));
  Stream.SetPosition(0);
  kst::TStringList Index;
  kst::TKestrel Kestrel;
  kst::TUnZip Unzip;
  Unzip.SetArchiveFile(Pack);
  skw::TArchivePictureSource Pictures(Kestrel, Unzip, Pack);
  skw::TNullFrontEnd Reports;
  skw::TTextureEngine Engine;
  Engine.ContainerStream = &Stream;
  Engine.TextureList = &Index;
  Engine.BinContainer = Bin;
  Engine.FrontEnd = &Reports;
  Engine.Pictures = &Pictures;
  Engine.ScanTextures("container");
  Engine.ImportBitmaps();
  return std::string(reinterpret_cast<const char*>(Stream.Memory()), static_cast<size_t>(Stream.Size()));
}

struct RunResult {
  std::string Out;
  std::string Err;
  int Exit = 0;
};

// The exit code in what std::system answers (a wait status on Linux).
inline int ExitCodeOf(int Status) { return platform::kIsWindows ? Status : (Status >> 8) & 0xFF; }

// Sets an environment variable for the test's lifetime, then restores it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string Name, const std::string& Value)
      : FName(std::move(Name)), FOld(platform::GetEnvironment(FName)) {
    platform::SetEnvironment(FName, Value);
  }
  ~ScopedEnvironment() { platform::SetEnvironment(FName, FOld); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string FName;
  std::string FOld;
};

// The demo game (Linux: a Wine-prefix-shaped folder) in a scratch folder, with
// the scratch folder's own temporary and runtime folders.
class DemoGame : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::kIsWindows) GTEST_SKIP() << "the Windows build reads the real registry";
    ASSERT_FALSE(Dir.Path().empty());
    ASSERT_TRUE(platform::MakeDirectory(Dir / "tmp"));
    ASSERT_TRUE(platform::MakeDirectory(Dir / "run"));
    std::string Command = "\"";  // built by appending: GCC 12 misreads the concatenation (-Wrestrict)
    Command += Bin("demo-game") + "\" \"" + Dir.Path() + "\" >/dev/null";
    ASSERT_EQ(std::system(Command.c_str()), 0);
    FEnvironment.emplace_back("WINEPREFIX", Dir / "prefix");
    FEnvironment.emplace_back("TMPDIR", Dir / "tmp");
    FEnvironment.emplace_back("XDG_RUNTIME_DIR", Dir / "run");
    BinBefore = ReadAll(Container("bin"));
    PalBefore = ReadAll(Container("pal"));
    ASSERT_FALSE(BinBefore.empty());
  }

  static std::string Bin(const std::string& Program) {
    return std::string(SKW_BIN_DIR) + "/" + Program + SKW_EXE_SUFFIX;
  }

  // The game's container file of the given extension.
  std::string Container(const std::string& Extension) const {
    return Dir / "prefix/drive_c/Program Files/Razorworks/Comanche Hokum/cohokum/3ddata/textures." + Extension;
  }

  // Replaces the registry file's game section by Lines (empty: no key at all).
  void SetRegistry(const std::string& Lines) {
    std::string Text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    if (!Lines.empty()) Text += "[Software\\\\Wow6432Node\\\\Razorworks\\\\Comanche Hokum] 1714564800\n" + Lines;
    ASSERT_TRUE(WriteAll(Dir / "prefix/system.reg", Text));
  }

  // Runs Program with Arguments (each quoted) from the scratch folder.
  RunResult Run(const std::string& Program, const std::vector<std::string>& Arguments) {
    std::string Command = "cd \"" + Dir.Path() + "\" && \"" + Program + "\"";
    for (const std::string& Argument : Arguments) Command += " '" + Argument + "'";
    Command += " >\"" + (Dir / "stdout.txt") + "\" 2>\"" + (Dir / "stderr.txt") + "\"";
    const int Status = std::system(Command.c_str());
    return RunResult{ReadAll(Dir / "stdout.txt"), ReadAll(Dir / "stderr.txt"), ExitCodeOf(Status)};
  }
  RunResult RunInstaller(const std::vector<std::string>& Arguments) { return Run(Bin("skinwright"), Arguments); }

  // Names in the scratch folder's temporary folder.
  std::vector<std::string> TempFiles() {
    std::vector<std::string> Names;
    platform::DirectorySearch Search;
    platform::FindData Item;
    for (int Rc = Search.First(Dir / "tmp/*", Item); Rc == 0; Rc = Search.Next(Item))
      if (Item.Name != "." && Item.Name != "..") Names.push_back(Item.Name);
    return Names;
  }

  skwtest::ScratchDir Dir;
  std::string BinBefore;
  std::string PalBefore;

 private:
  struct Env {
    Env(std::string Name, const std::string& Value) : Scoped(std::make_unique<ScopedEnvironment>(Name, Value)) {}
    std::unique_ptr<ScopedEnvironment> Scoped;
  };
  std::vector<Env> FEnvironment;
};

inline std::string ErrorLine(const std::string& Text) { return "error: Skinwright import module: " + Text + "\n"; }

}  // namespace skwtest
