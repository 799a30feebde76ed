// ScanTextures: the one walk over the container's records that builds the
// texture index. The walk starts behind the palette table, reads each record's
// name and type, skips its header and pixel data by their computed size, and
// stops after the record named "WOOD PLANK". Every read is bounded by the data
// actually present: a name length outside 0..104, a negative palette count or
// data size, a record reaching past the end, or data ending before "WOOD PLANK"
// make the container not valid, exactly like a first record with the wrong
// name. Pixel data are never copied; the stream's position is only moved. The
// walk reports every record (WalkTextureRecords), so the tools that list and
// compare containers read them exactly as the scan does.
#include <functional>
#include <stdexcept>

#include "archive/core/Bounds.h"
#include "textures/TextureContainer.h"
#include "textures/TextureEngine.h"
#include "textures/TextureIndex.h"
#include "textures/TextureRecords.h"

namespace skw {

namespace {

// A read position inside the container that refuses to leave the data.
class TRecordCursor {
 public:
  TRecordCursor(const kst::TMemoryStream& Stream, int64_t Position) : FStream(Stream), FPosition(Position) {}

  int64_t Position() const { return FPosition; }
  int64_t Left() const { return FStream.Size() - FPosition; }
  // Whether Bytes more bytes lie within the stream.
  bool Has(int64_t Bytes) const {
    return Bytes >= 0 && kst::InBounds(uint64_t(FPosition), uint64_t(Bytes), uint64_t(FStream.Size()));
  }

  bool Int32(int32_t& Value) {
    if (!ReadInt32At(FStream, FPosition, Value)) return false;
    FPosition += 4;
    return true;
  }

  // Reads a name field of Length bytes; the name ends at its first zero byte.
  bool Name(int32_t Length, std::string& Text) {
    if (!Has(Length)) return false;
    const char* Start = reinterpret_cast<const char*>(FStream.Memory() + FPosition);
    Text.assign(Start, Length);
    const size_t Zero = Text.find('\0');
    if (Zero != std::string::npos) Text.resize(Zero);
    FPosition += Length;
    return true;
  }

  bool Skip(int64_t Bytes) {
    if (!Has(Bytes)) return false;
    FPosition += Bytes;
    return true;
  }

 private:
  const kst::TMemoryStream& FStream;
  int64_t FPosition;
};

}  // namespace

bool WalkTextureRecords(const kst::TMemoryStream& Stream, bool BinContainer,
                        const std::function<void(const TTextureRecord&)>& OnRecord, int64_t& EndPosition) {
  int32_t PaletteCount = 0;
  if (!ReadInt32At(Stream, kPaletteCountOffset, PaletteCount) || PaletteCount < 0) return false;
  TRecordCursor Cursor(Stream, 0);
  if (!Cursor.Skip(FirstRecordOffset(PaletteCount))) return false;

  int Indexed = 0;
  int Number = 0;
  std::string Previous;
  while (Previous != kLastTextureName) {
    EndPosition = Cursor.Position();
    TTextureRecord Record;
    Record.Number = Number++;
    Record.RecordOffset = Cursor.Position();
    int32_t NameLength = 0;
    std::string Name;
    if (!Cursor.Int32(NameLength) || NameLength > kMaxNameLength) return false;
    if (!Cursor.Name(NameLength, Name)) return false;
    Record.Name = Name == Previous ? Name + "-D" : Name;
    Previous = Name;
    if (Indexed == 0 && Name != kFirstTextureName) return false;

    if (!Cursor.Int32(Record.Type)) return false;
    Record.HasHeader = TypeHasHeader(Record.Type);
    if (Record.HasHeader) {
      if (!Cursor.Int32(Record.MipCount) || !Cursor.Int32(Record.Width) || !Cursor.Int32(Record.Height)) return false;
      if (!BinContainer && !Cursor.Int32(Record.PaletteNumber)) return false;
      Record.DataOffset = Cursor.Position();
      Record.DataSize =
          PixelDataSize(Record.Width, Record.Height, Record.MipCount, BytesPerPixel(BinContainer, Record.Type));
      if (Record.DataSize < 0 || Record.DataSize > Cursor.Left() - kRecordTailBytes) return false;
      Cursor.Skip(Record.DataSize + kRecordTailBytes);
      Record.Indexed = TypeIsIndexed(Record.Type);
      if (Record.Indexed) ++Indexed;
    }
    OnRecord(Record);
  }
  EndPosition = Cursor.Position();
  return true;
}

int32_t PaletteCountOf(const kst::TMemoryStream& Stream) {
  int32_t PaletteCount = 0;
  return ReadInt32At(Stream, kPaletteCountOffset, PaletteCount) ? PaletteCount : 0;
}

TEngineFrontEnd& TTextureEngine::Reports() {
  static TNullFrontEnd Silent;
  return FrontEnd != nullptr ? *FrontEnd : Silent;
}

void TTextureEngine::ScanTextures(const std::string& ContainerPath) {
  if (ContainerStream == nullptr || TextureList == nullptr)
    throw std::logic_error("ScanTextures needs a container stream and a texture list");
  TEngineFrontEnd& UI = Reports();
  TextureList->clear();

  int64_t EndPosition = 0;
  kst::TStringList& Index = *TextureList;
  const auto OnRecord = [&UI, &Index](const TTextureRecord& Record) {
    if (!Record.Indexed) return;
    AppendTexture(Index, TTextureEntry{Record.Name, Record.Width, Record.Height, Record.PaletteNumber, Record.Type,
                                       Record.DataOffset, Record.MipCount});
    UI.ProcessMessages();
  };
  const bool Valid = WalkTextureRecords(*ContainerStream, BinContainer, OnRecord, EndPosition);
  ContainerStream->SetPosition(EndPosition);
  if (!Valid) {
    TextureList->clear();
    UI.MessageBox(ContainerPath, kInvalidContainerText, TMessageIcon::Error);
    UI.SetCursor(TCursorKind::Default);
    return;
  }
  // The index lives as long as the container: keep it no larger than it is.
  TextureList->shrink_to_fit();
  UI.ProcessMessages();
}

}  // namespace skw
