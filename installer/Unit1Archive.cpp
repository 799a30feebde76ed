// The archive stage of set-up: the window at its short height, both archive
// components pointed at the archive, and the pack's credits and logo when the
// archive carries them. The credits are extracted into memory (never into the
// program's folder, which may be read-only or hold a file of that name) and
// read up to kCreditsTextBytes; the logo is shown only together with the credits.
#include "installer/Unit1.h"

#include "installer/ArchivePictureSource.h"
#include "textures/Bitmap.h"

namespace skw {

namespace {

const char* const kCreditsEntry = "credits.txt";
const char* const kLogoEntry = "logo.bmp";

// The program's folder with a trailing separator (either kind counts).
std::string FolderOf(const std::string& Path) {
  const size_t Slash = Path.find_last_of("\\/");
  return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

}  // namespace

std::string TForm1::ExtractEntry(const std::string& Name) {
  const std::vector<uint8_t> Bytes = ExtractFirstItem(UnZip1, Name, kCreditsTextBytes);
  return std::string(Bytes.begin(), Bytes.end());
}

void TForm1::PrepareArchive() {
  Window.SetHeight(kShortHeight);
  UnZip1.SetArchiveFile(ArchivePath);
  Kestrel1.SetArchiveFile(ArchivePath);
  UnZip1.SetExtractDir(FolderOf(FCommandLine.ProgramFile));
  const int32_t CreditsSize = Kestrel1.GetFileUnpackedSize(kCreditsEntry);
  const int32_t LogoSize = Kestrel1.GetFileUnpackedSize(kLogoEntry);
  if (CreditsSize <= 0) return;

  Memo1.SetText(ExtractEntry(kCreditsEntry));
  Window.SetHeight(kTallHeight);
  Memo1.SetVisible(true);
  if (LogoSize <= 0) return;

  // Extracted like the pack's pictures: stopped as soon as its header shows it
  // cannot be valid, and loaded without a second copy.
  TArchivePictureSource Pictures(Kestrel1, UnZip1, ArchivePath);
  auto Picture = std::make_unique<TBitmap>();
  Picture->LoadFromBuffer(Pictures.ExtractPicture(kLogoEntry));
  Image1.SetPicture(std::move(Picture));
}

}  // namespace skw
