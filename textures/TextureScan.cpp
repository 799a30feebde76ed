// ScanTextures: the one walk over the container's records that builds the
// texture index. The walk starts behind the palette table, reads each record's
// name and type, skips its header and pixel data by their computed size, and
// stops after the record named "WOOD PLANK". Every read is bounded by the data
// actually present: a name length outside 0..104, a negative palette count or
// data size, a record reaching past the end, or data ending before "WOOD PLANK"
// make the container not valid, exactly like a first record with the wrong
// name. Pixel data are never copied; the stream's position is only moved.
#include <functional>
#include <stdexcept>

#include "textures/TextureContainer.h"
#include "textures/TextureEngine.h"
#include "textures/TextureIndex.h"

namespace skw {

namespace {

// A read position inside the container that refuses to leave the data.
class TRecordCursor {
 public:
  TRecordCursor(const kst::TMemoryStream& Stream, int64_t Position)
      : FStream(Stream), FPosition(Position) {}

  int64_t Position() const { return FPosition; }
  int64_t Left() const { return FStream.Size() - FPosition; }

  bool Int32(int32_t& Value) {
    if (!ReadInt32At(FStream, FPosition, Value)) return false;
    FPosition += 4;
    return true;
  }

  // Reads a name field of Length bytes; the name ends at its first zero byte.
  bool Name(int32_t Length, std::string& Text) {
    if (Length < 0 || Length > Left()) return false;
    const char* Start = reinterpret_cast<const char*>(FStream.Memory() + FPosition);
    Text.assign(Start, Length);
    const size_t Zero = Text.find('\0');
    if (Zero != std::string::npos) Text.resize(Zero);
    FPosition += Length;
    return true;
  }

  bool Skip(int64_t Bytes) {
    if (Bytes < 0 || Bytes > Left()) return false;
    FPosition += Bytes;
    return true;
  }

 private:
  const kst::TMemoryStream& FStream;
  int64_t FPosition;
};

// The walk proper. Appends one group per indexed record to Index and calls
// OnIndexed after each; answers false as soon as the container proves invalid.
// EndPosition receives the position the walk reached.
bool WalkRecords(const kst::TMemoryStream& Stream, bool BinContainer, kst::TStringList& Index,
                 const std::function<void()>& OnIndexed, int64_t& EndPosition) {
  int32_t PaletteCount = 0;
  if (!ReadInt32At(Stream, kPaletteCountOffset, PaletteCount) || PaletteCount < 0) return false;
  TRecordCursor Cursor(Stream, 0);
  if (!Cursor.Skip(FirstRecordOffset(PaletteCount))) return false;

  int Indexed = 0;
  std::string Previous;
  while (Previous != kLastTextureName) {
    EndPosition = Cursor.Position();
    int32_t NameLength = 0;
    std::string Name;
    if (!Cursor.Int32(NameLength) || NameLength > kMaxNameLength) return false;
    if (!Cursor.Name(NameLength, Name)) return false;
    const std::string Entered = Name == Previous ? Name + "-D" : Name;
    Previous = Name;
    if (Indexed == 0 && Name != kFirstTextureName) return false;

    int32_t Type = 0;
    if (!Cursor.Int32(Type)) return false;
    if (!TypeHasHeader(Type)) continue;

    TTextureEntry Entry{Entered, 0, 0, 0, Type, 0, 0};
    if (!Cursor.Int32(Entry.MipCount) || !Cursor.Int32(Entry.Width) ||
        !Cursor.Int32(Entry.Height))
      return false;
    if (!BinContainer && !Cursor.Int32(Entry.PaletteNumber)) return false;
    Entry.DataOffset = Cursor.Position();

    const int64_t DataSize = PixelDataSize(Entry.Width, Entry.Height, Entry.MipCount,
                                           BytesPerPixel(BinContainer, Type));
    if (DataSize < 0 || DataSize > Cursor.Left() - kRecordTailBytes) return false;
    Cursor.Skip(DataSize + kRecordTailBytes);
    if (!TypeIsIndexed(Type)) continue;

    AppendTexture(Index, Entry);
    ++Indexed;
    OnIndexed();
  }
  EndPosition = Cursor.Position();
  return true;
}

}  // namespace

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
  const bool Valid = WalkRecords(*ContainerStream, BinContainer, *TextureList,
                                 [&UI] { UI.ProcessMessages(); }, EndPosition);
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
