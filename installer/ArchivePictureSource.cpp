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
  kst::TStringList Names;
  FKestrel.FilesInArchive(&Names);
  return Names;
}

std::vector<uint8_t> FirstItemBytes(const kst::TDecompMemoryStream& Stream) {
  if (Stream.Count() == 0) return {};
  // The first item's bytes run up to where the next item begins, or to the end
  // of what the run wrote.
  const int64_t Size = Stream.Size();
  const int64_t Offset = std::min<int64_t>(Stream.GetFileOffset(0), Size);
  const int64_t End = Stream.Count() > 1 ? std::clamp<int64_t>(Stream.GetFileOffset(1), Offset, Size) : Size;
  const int64_t Length = End - Offset;
  const uint8_t* Data = Stream.Memory();
  if (Data == nullptr || Length <= 0) return {};
  return std::vector<uint8_t>(Data + Offset, Data + Offset + Length);
}

std::vector<uint8_t> ExtractFirstItem(kst::TUnZip& UnZip, const std::string& Name, int64_t MostBytes) {
  UnZip.FileSpec.clear();
  UnZip.FileSpec.push_back(Name);
  kst::TDecompMemoryStream Stream;
  if (MostBytes >= 0) Stream.SetItemGuard({0, [MostBytes](std::span<const uint8_t>) { return MostBytes; }});
  UnZip.ExtractToMemoryStream(&Stream);
  return FirstItemBytes(Stream);
}

std::vector<uint8_t> TArchivePictureSource::Extract(const std::string& Name) { return ExtractFirstItem(FUnZip, Name); }

kst::TMemoryStream TArchivePictureSource::ExtractPicture(const std::string& Name) {
  FUnZip.FileSpec.clear();
  FUnZip.FileSpec.push_back(Name);
  kst::TDecompMemoryStream Stream;
  // Only the first entry of that name is used; its headers bound its size.
  Stream.SetItemGuard({kBmpHeadBytes, [&Stream](std::span<const uint8_t> Head) {
                         return Stream.Count() > 1 ? int64_t{-1} : BmpSizeLimit(Head);
                       }});
  FUnZip.ExtractToMemoryStream(&Stream);
  if (Stream.RefusedItem() == 0) throw EInvalidBitmap();
  // The first item begins the stream; whatever follows it is cut off.
  if (Stream.Count() == 0) return {};
  if (Stream.Count() > 1) Stream.SetSize(std::min<int64_t>(Stream.GetFileOffset(1), Stream.Size()));
  return kst::TMemoryStream(std::move(Stream));
}

}  // namespace skw
