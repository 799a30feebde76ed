// TPictureSource: where the BMP import gets its pictures from. The import needs
// two things of the pack archive: the names of its entries matching "*.bmp", in
// the order of the archive's directory, and the stored bytes of one named entry.
// The installer answers both through its archive components (lister and
// extractor); tests answer them from memory. Keeping the import behind this
// small interface lets it run without an archive on disk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/io/MemoryStream.h"
#include "archive/core/StringList.h"

namespace skw {

class TPictureSource {
 public:
  virtual ~TPictureSource() = default;

  // Names of the entries matching "*.bmp" (letters compared without case), in
  // directory order, each in the form Extract accepts back.
  virtual kst::TStringList ListBitmaps() = 0;
  // The bytes of the named entry. An extraction that produces nothing gives an
  // empty buffer; errors the extraction raises leave as exceptions.
  virtual std::vector<uint8_t> Extract(const std::string& Name) = 0;
  // The named entry's bytes as a picture file for the bitmap loader, which
  // takes the stream over. By default Extract's bytes; a source that extracts
  // into memory anyway hands its own stream over (no second copy), and may
  // stop early with EInvalidBitmap when the first bytes show the picture
  // cannot be valid.
  virtual kst::TMemoryStream ExtractPicture(const std::string& Name) {
    const std::vector<uint8_t> Bytes = Extract(Name);
    kst::TMemoryStream Stream;
    Stream.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    return Stream;
  }
};

}  // namespace skw
