// Listing and extracting the pack's pictures with the archive components.
#include "installer/ArchivePictureSource.h"

#include <algorithm>

#include "archive/io/DecompMemoryStream.h"
#include "textures/Bitmap.h"

namespace skw {

kst::TStringList TArchivePictureSource::ListBitmaps() {
  FKestrel.SetArchiveFile(FArchivePath);
  FKestrel.FileSpec.clear();
  FKestrel.FileSpec.push_back("*.bmp");
  kst::TStringList names;
  FKestrel.FilesInArchive(&names);
  return names;
}

std::vector<uint8_t> FirstItemBytes(const kst::TDecompMemoryStream& Stream) {
  if (Stream.Count() == 0) return {};
  // The first item's bytes run up to where the next item begins, or to the end
  // of what the run wrote.
  const int64_t size = Stream.Size();
  const int64_t offset = std::min<int64_t>(Stream.GetFileOffset(0), size);
  const int64_t end = Stream.Count() > 1 ? std::clamp<int64_t>(Stream.GetFileOffset(1), offset, size) : size;
  const int64_t length = end - offset;
  const uint8_t* data = Stream.Memory();
  if (data == nullptr || length <= 0) return {};
  return std::vector<uint8_t>(data + offset, data + offset + length);
}

std::vector<uint8_t> ExtractFirstItem(kst::TUnZip& UnZip, const std::string& Name, int64_t MostBytes) {
  UnZip.FileSpec.clear();
  UnZip.FileSpec.push_back(Name);
  kst::TDecompMemoryStream stream;
  if (MostBytes >= 0) stream.SetItemGuard({0, [MostBytes](std::span<const uint8_t>) { return MostBytes; }});
  UnZip.ExtractToMemoryStream(&stream);
  return FirstItemBytes(stream);
}

std::vector<uint8_t> TArchivePictureSource::Extract(const std::string& Name) { return ExtractFirstItem(FUnZip, Name); }

kst::TMemoryStream TArchivePictureSource::ExtractPicture(const std::string& Name) {
  FUnZip.FileSpec.clear();
  FUnZip.FileSpec.push_back(Name);
  kst::TDecompMemoryStream stream;
  // Only the first entry of that name is used; its headers bound its size.
  stream.SetItemGuard({kBmpHeadBytes, [&stream](std::span<const uint8_t> Head) {
                         return stream.Count() > 1 ? int64_t{-1} : BmpSizeLimit(Head);
                       }});
  FUnZip.ExtractToMemoryStream(&stream);
  if (stream.RefusedItem() == 0) throw EInvalidBitmap();
  // The first item begins the stream; whatever follows it is cut off.
  if (stream.Count() == 0) return {};
  if (stream.Count() > 1) stream.SetSize(std::min<int64_t>(stream.GetFileOffset(1), stream.Size()));
  return kst::TMemoryStream(std::move(stream));
}

}  // namespace skw
