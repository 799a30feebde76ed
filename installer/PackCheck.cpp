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
  const uint32_t attributes = platform::GetAttributes(Path);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory) == 0;
}

// Set-up's credits-and-logo stage without a window: what it extracts and loads,
// so an archive or logo error stops the check where it would stop set-up.
void ReadCreditsAndLogo(kst::TKestrel& Kestrel, kst::TUnZip& UnZip) {
  const int32_t creditsSize = Kestrel.GetFileUnpackedSize("credits.txt");
  const int32_t logoSize = Kestrel.GetFileUnpackedSize("logo.bmp");
  if (creditsSize <= 0) return;
  ExtractFirstItem(UnZip, "credits.txt", kCreditsTextBytes);
  if (logoSize <= 0) return;
  TBitmap logo;
  logo.LoadFromBuffer(ExtractFirstItem(UnZip, "logo.bmp"));
}

}  // namespace

std::optional<bool> ContainerKindFromName(const std::string& Path) {
  const size_t separator = Path.find_last_of("\\/");
  std::string name = separator == std::string::npos ? Path : Path.substr(separator + 1);
  const std::string kept = ".original";
  if (name.size() > kept.size() && EqualsFolded(name.substr(name.size() - kept.size()), kept))
    name.resize(name.size() - kept.size());
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string extension = name.substr(dot + 1);
  if (EqualsFolded(extension, "bin")) return true;
  if (EqualsFolded(extension, "pal")) return false;
  return std::nullopt;
}

TPackCheck CheckPack(const std::string& PackPath, const std::string& ContainerPath) {
  const std::optional<bool> bin = ContainerKindFromName(ContainerPath);
  if (!bin) throw std::runtime_error("\"" + ContainerPath + "\" is not a texture container (.bin or .pal)");
  if (!Readable(PackPath)) throw std::runtime_error("Cannot open the pack \"" + PackPath + "\"");
  kst::TMemoryStream container;
  try {
    container.LoadFromFile(ContainerPath);
  } catch (const std::exception&) {
    throw std::runtime_error("Cannot open the container \"" + ContainerPath + "\"");
  }

  TPackCheck check;
  TTempArchive archive;
  archive.Path = PackPath;
  CheckTrailer(PackPath, platform::TempDirectory(), archive.Path, archive.Used);
  check.PackBinContainer = BinContainerFor(ArchiveToken(archive.Path));

  kst::TUnZip unzip;
  kst::TKestrel kestrel;
  unzip.ConfirmOverwrites = false;
  unzip.CpuType = kst::cptAuto;
  try {
    unzip.SetArchiveFile(archive.Path);
    kestrel.SetArchiveFile(archive.Path);
    ReadCreditsAndLogo(kestrel, unzip);
  } catch (const std::exception& Error) {
    check.StopMessage = StandardExceptionText(Error.what());
    return check;
  }

  kst::TStringList index;
  TScanWatch watch;
  TImportCollector collector;
  TArchivePictureSource pictures(kestrel, unzip, archive.Path);
  TTextureEngine engine;
  engine.ContainerStream = &container;
  engine.TextureList = &index;
  engine.BinContainer = *bin;
  engine.ContainerPath = ContainerPath;
  engine.FrontEnd = &watch;
  engine.Pictures = &pictures;
  engine.Observer = &collector;
  engine.ScanTextures(ContainerPath);
  if (!watch.ErrorText.empty()) throw std::runtime_error(ContainerPath + ": " + watch.ErrorText);
  try {
    engine.ImportBitmaps();
    check.WouldSave = true;
  } catch (const std::exception& Error) {
    check.StopMessage = StandardExceptionText(Error.what());
  }
  check.Reports = std::move(collector.Reports);
  return check;
}

}  // namespace skw
