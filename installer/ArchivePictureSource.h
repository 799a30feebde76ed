// TArchivePictureSource: the BMP import's pictures taken from the pack archive
// through the main window's two archive components. The listing points the
// lister at the archive and collects the entries matching "*.bmp" in directory
// order; one picture is extracted into memory by the extractor, whose archive
// was set during set-up, with the entry's name as its only file pattern.
#pragma once
#include <string>

#include "archive/list/Kstkestrel.h"
#include "archive/extract/Kstunzip.h"
#include "textures/PictureSource.h"

namespace skw {

class TArchivePictureSource final : public TPictureSource {
 public:
  TArchivePictureSource(kst::TKestrel& Kestrel, kst::TUnZip& UnZip, std::string ArchivePath)
      : FKestrel(Kestrel), FUnZip(UnZip), FArchivePath(std::move(ArchivePath)) {}

  kst::TStringList ListBitmaps() override;
  std::vector<uint8_t> Extract(const std::string& Name) override;
  // The picture's entry extracted into memory; the extraction stops as soon
  // as the picture's headers show it cannot be valid (EInvalidBitmap) or its
  // bytes run past what they allow.
  kst::TMemoryStream ExtractPicture(const std::string& Name) override;

 private:
  kst::TKestrel& FKestrel;
  kst::TUnZip& FUnZip;
  std::string FArchivePath;
};

// The bytes of the first item an extraction left in Stream (empty when none).
std::vector<uint8_t> FirstItemBytes(const kst::TDecompMemoryStream& Stream);
// The named entry extracted into memory by UnZip, with the name as its only
// file pattern: the bytes of the first match (empty when none). With MostBytes
// (not negative) the extraction stops there and the bytes end at that many.
std::vector<uint8_t> ExtractFirstItem(kst::TUnZip& UnZip, const std::string& Name, int64_t MostBytes = -1);

// The most of a pack's credits text that is read: far more than the window's
// small text box shows, and a credits entry claiming gigabytes costs no more.
inline constexpr int64_t kCreditsTextBytes = 64 * 1024;

}  // namespace skw
