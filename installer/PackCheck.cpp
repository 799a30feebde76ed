// CheckPack: the installer's set-up and run on a pack, minus every write. The
// pack's archive comes out of a pack executable the way set-up takes it (a
// temporary copy, removed afterwards), the archive components are pointed at it
// as the window's are, the credits-and-logo stage runs as in set-up (a logo that
// is not a valid bitmap stops the installer there), and then the engine scans a
// copy of the container in memory and imports the pack with an observer
// collecting the outcomes. The scan's report of an invalid container, which the
// installer shows and runs past, is an error here: nothing useful can be checked
// against a container the engine does not accept.
#include "installer/PackCheck.h"

#include <algorithm>
#include <stdexcept>

#include "archive/list/Kstkestrel.h"
#include "archive/extract/Kstunzip.h"
#include "archive/io/MemoryStream.h"
#include "installer/ArchivePictureSource.h"
#include "installer/ContainerChoice.h"
#include "installer/frontend/FrontEnd.h"
#include "installer/Trailer.h"
#include "platform/FileSystem.h"
#include "textures/Bitmap.h"
#include "textures/TextureEngine.h"

namespace skw {

namespace {

char Lower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + ('a' - 'A')) : C; }

bool EqualsFolded(const std::string& Text, const std::string& Lowered) {
  return Text.size() == Lowered.size() &&
         std::equal(Text.begin(), Text.end(), Lowered.begin(), [](char A, char B) { return Lower(A) == B; });
}

// Remembers whether the scan reported the container as invalid; drops the rest.
class TScanWatch final : public TNullFrontEnd {
 public:
  void MessageBox(const std::string&, const std::string& Text, TMessageIcon Icon) override {
    if (Icon == TMessageIcon::Error) ErrorText = Text;
  }
  std::string ErrorText;
};

// Removes the temporary copy of a pack executable's archive.
class TTempArchive {
 public:
  ~TTempArchive() {
    if (Used) platform::RemoveFile(Path);
  }
  std::string Path;
  bool Used = false;
};

bool Readable(const std::string& Path) {
  const uint32_t Attributes = platform::GetAttributes(Path);
  return Attributes != platform::kInvalidAttributes && (Attributes & platform::kAttrDirectory) == 0;
}

// Set-up's credits-and-logo stage without a window: what it extracts and loads,
// so an archive or logo error stops the check where it would stop set-up.
void ReadCreditsAndLogo(kst::TKestrel& Kestrel, kst::TUnZip& UnZip) {
  const int32_t CreditsSize = Kestrel.GetFileUnpackedSize("credits.txt");
  const int32_t LogoSize = Kestrel.GetFileUnpackedSize("logo.bmp");
  if (CreditsSize <= 0) return;
  ExtractFirstItem(UnZip, "credits.txt", kCreditsTextBytes);
  if (LogoSize <= 0) return;
  TBitmap Logo;
  Logo.LoadFromBuffer(ExtractFirstItem(UnZip, "logo.bmp"));
}

}  // namespace

std::optional<bool> ContainerKindFromName(const std::string& Path) {
  const size_t Separator = Path.find_last_of("\\/");
  std::string Name = Separator == std::string::npos ? Path : Path.substr(Separator + 1);
  const std::string Kept = ".original";
  if (Name.size() > Kept.size() && EqualsFolded(Name.substr(Name.size() - Kept.size()), Kept))
    Name.resize(Name.size() - Kept.size());
  const size_t Dot = Name.rfind('.');
  if (Dot == std::string::npos) return std::nullopt;
  const std::string Extension = Name.substr(Dot + 1);
  if (EqualsFolded(Extension, "bin")) return true;
  if (EqualsFolded(Extension, "pal")) return false;
  return std::nullopt;
}

TPackCheck CheckPack(const std::string& PackPath, const std::string& ContainerPath) {
  const std::optional<bool> Bin = ContainerKindFromName(ContainerPath);
  if (!Bin) throw std::runtime_error("\"" + ContainerPath + "\" is not a texture container (.bin or .pal)");
  if (!Readable(PackPath)) throw std::runtime_error("Cannot open the pack \"" + PackPath + "\"");
  kst::TMemoryStream Container;
  try {
    Container.LoadFromFile(ContainerPath);
  } catch (const std::exception&) {
    throw std::runtime_error("Cannot open the container \"" + ContainerPath + "\"");
  }

  TPackCheck Check;
  TTempArchive Archive;
  Archive.Path = PackPath;
  CheckTrailer(PackPath, platform::TempDirectory(), Archive.Path, Archive.Used);
  Check.PackBinContainer = BinContainerFor(ArchiveToken(Archive.Path));

  kst::TUnZip Unzip;
  kst::TKestrel Kestrel;
  Unzip.ConfirmOverwrites = false;
  Unzip.CpuType = kst::cptAuto;
  try {
    Unzip.SetArchiveFile(Archive.Path);
    Kestrel.SetArchiveFile(Archive.Path);
    ReadCreditsAndLogo(Kestrel, Unzip);
  } catch (const std::exception& Error) {
    Check.StopMessage = StandardExceptionText(Error.what());
    return Check;
  }

  kst::TStringList Index;
  TScanWatch Watch;
  TImportCollector Collector;
  TArchivePictureSource Pictures(Kestrel, Unzip, Archive.Path);
  TTextureEngine Engine;
  Engine.ContainerStream = &Container;
  Engine.TextureList = &Index;
  Engine.BinContainer = *Bin;
  Engine.ContainerPath = ContainerPath;
  Engine.FrontEnd = &Watch;
  Engine.Pictures = &Pictures;
  Engine.Observer = &Collector;
  Engine.ScanTextures(ContainerPath);
  if (!Watch.ErrorText.empty()) throw std::runtime_error(ContainerPath + ": " + Watch.ErrorText);
  try {
    Engine.ImportBitmaps();
    Check.WouldSave = true;
  } catch (const std::exception& Error) {
    Check.StopMessage = StandardExceptionText(Error.what());
  }
  Check.Reports = std::move(Collector.Reports);
  return Check;
}

}  // namespace skw
