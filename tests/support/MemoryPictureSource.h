// MemoryPictureSource: the BMP import's picture source held in memory, for
// tests. It keeps named files in "directory order", lists those matching
// "*.bmp" the way the archive lister does (letters compared without case), and
// answers an extraction with the named file's bytes, nothing for a name it does
// not hold, or the exception a test asks for. It counts the extractions, so a
// test can see how often a picture was fetched.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "textures/PictureSource.h"

namespace skwtest {

class MemoryPictureSource : public skw::TPictureSource {
 public:
  void Add(const std::string& Name, std::vector<uint8_t> Bytes);

  kst::TStringList ListBitmaps() override;
  std::vector<uint8_t> Extract(const std::string& Name) override;

  // Runs before each extraction with the entry's name (may throw).
  std::function<void(const std::string&)> OnExtract;
  int Extractions = 0;

 private:
  std::vector<std::pair<std::string, std::vector<uint8_t>>> FFiles;
};

}  // namespace skwtest
