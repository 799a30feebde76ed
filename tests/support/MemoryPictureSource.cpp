// MemoryPictureSource: listing through the library's wildcard matcher and
// extraction by exact name (the first file of that name).
#include "tests/support/MemoryPictureSource.h"

#include "archive/names/Wildcard.h"

namespace skwtest {

void MemoryPictureSource::Add(const std::string& Name, std::vector<uint8_t> Bytes) {
  FFiles.emplace_back(Name, std::move(Bytes));
}

kst::TStringList MemoryPictureSource::ListBitmaps() {
  kst::TStringList Names;
  for (const auto& File : FFiles)
    if (kst::WildCard(File.first, "*.bmp")) Names.push_back(File.first);
  return Names;
}

std::vector<uint8_t> MemoryPictureSource::Extract(const std::string& Name) {
  ++Extractions;
  if (OnExtract) OnExtract(Name);
  for (const auto& File : FFiles)
    if (File.first == Name) return File.second;
  return {};
}

}  // namespace skwtest
