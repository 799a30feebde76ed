// TArchivePictureSource: the BMP import's pictures taken from the pack archive
// through the window's two archive components. The listing points the lister
// at the archive, replaces its name patterns by "*.bmp" and collects the
// matching entry names in directory order; an extraction replaces the
// extractor's name patterns by the entry's name and extracts into a fresh
// memory stream, whose whole content is the picture. The extractor's archive
// is the one set up before the import. The components stay the window's; the
// patterns are left as the import last set them.
#pragma once
#include <string>

#include "archive/Kstkestrel.h"
#include "archive/Kstunzip.h"
#include "textures/PictureSource.h"

namespace skw {

class TArchivePictureSource : public TPictureSource {
 public:
  TArchivePictureSource(kst::TKestrel& Lister, kst::TUnZip& Extractor, std::string ArchivePath);

  kst::TStringList ListBitmaps() override;
  // Errors the extraction raises (kst::E_RAISE) leave as they are; an entry
  // that extracts to nothing gives no bytes.
  std::vector<uint8_t> Extract(const std::string& Name) override;

 private:
  kst::TKestrel& FLister;
  kst::TUnZip& FExtractor;
  std::string FArchivePath;
};

}  // namespace skw
