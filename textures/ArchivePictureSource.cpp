// TArchivePictureSource: listing and extraction through TKestrel and TUnZip.
#include "textures/ArchivePictureSource.h"

#include <utility>

#include "archive/DecompMemoryStream.h"

namespace skw {

TArchivePictureSource::TArchivePictureSource(kst::TKestrel& Lister, kst::TUnZip& Extractor,
                                             std::string ArchivePath)
    : FLister(Lister), FExtractor(Extractor), FArchivePath(std::move(ArchivePath)) {}

kst::TStringList TArchivePictureSource::ListBitmaps() {
  FLister.SetArchiveFile(FArchivePath);
  FLister.FileSpec.clear();
  FLister.FileSpec.push_back("*.bmp");
  kst::TStringList Names;
  FLister.FilesInArchive(&Names);
  return Names;
}

std::vector<uint8_t> TArchivePictureSource::Extract(const std::string& Name) {
  FExtractor.FileSpec.clear();
  FExtractor.FileSpec.push_back(Name);
  kst::TDecompMemoryStream Picture;
  FExtractor.ExtractToMemoryStream(&Picture);
  if (Picture.Size() <= 0) return {};
  return std::vector<uint8_t>(Picture.Memory(), Picture.Memory() + Picture.Size());
}

}  // namespace skw
