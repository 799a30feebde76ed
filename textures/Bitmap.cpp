// TBitmap: storage, copying, resizing, pixel formats and per-pixel access. The
// BMP reading and writing live in BitmapRead.cpp and BitmapWrite.cpp.
#include "textures/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "archive/io/MemoryStream.h"
#include "textures/BitmapNearestColor.h"

namespace skw {

namespace {

int32_t BytesPerPixelOf(TPixelFormat Format) { return Format == TPixelFormat::pf8bit ? 1 : 3; }

TColor ColorOf(uint8_t Red, uint8_t Green, uint8_t Blue) {
  return static_cast<TColor>(uint32_t{Red} | uint32_t{Green} << 8 | uint32_t{Blue} << 16);
}

uint8_t RedOf(TColor Color) { return static_cast<uint8_t>(Color & 0xFF); }
uint8_t GreenOf(TColor Color) { return static_cast<uint8_t>((Color >> 8) & 0xFF); }
uint8_t BlueOf(TColor Color) { return static_cast<uint8_t>((Color >> 16) & 0xFF); }

int32_t CheckedDimension(int32_t Value) {
  if (Value > TBitmap::kMaxDimension) throw std::length_error("Bitmap size out of range");
  return std::max(Value, 0);
}

}  // namespace

TBitmap::TBitmap() : FCanvas(*this) {}

TBitmap::TBitmap(const TBitmap& Other)
    : FWidth(Other.FWidth),
      FHeight(Other.FHeight),
      FPixelFormat(Other.FPixelFormat),
      FColorTable(Other.FColorTable),
      FPixels(Other.FPixels),
      FCanvas(*this) {}

TBitmap& TBitmap::operator=(const TBitmap& Other) {
  if (this != &Other) {
    FWidth = Other.FWidth;
    FHeight = Other.FHeight;
    FPixelFormat = Other.FPixelFormat;
    FColorTable = Other.FColorTable;
    FPixels = Other.FPixels;
    FNearest.reset();
  }
  return *this;
}

TBitmap::TBitmap(TBitmap&& Other) noexcept
    : FWidth(Other.FWidth),
      FHeight(Other.FHeight),
      FPixelFormat(Other.FPixelFormat),
      FColorTable(Other.FColorTable),
      FPixels(std::move(Other.FPixels)),
      FNearest(std::move(Other.FNearest)),
      FCanvas(*this) {
  Other.FWidth = Other.FHeight = 0;
  Other.FPixels.clear();
}

TBitmap& TBitmap::operator=(TBitmap&& Other) noexcept {
  if (this != &Other) {
    FWidth = Other.FWidth;
    FHeight = Other.FHeight;
    FPixelFormat = Other.FPixelFormat;
    FColorTable = Other.FColorTable;
    FPixels = std::move(Other.FPixels);
    FNearest = std::move(Other.FNearest);
    Other.FWidth = Other.FHeight = 0;
    Other.FPixels.clear();
  }
  return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::LoadFromStream(kst::TMemoryStream& Stream) {
  const int64_t Start = std::min(Stream.Position(), Stream.Size());
  const uint8_t* Base = Stream.Memory();
  const size_t Count = static_cast<size_t>(Stream.Size() - Start);
  LoadFromBuffer(Base == nullptr ? std::span<const uint8_t>() : std::span<const uint8_t>(Base + Start, Count));
  Stream.SetPosition(Stream.Size());
}

void TBitmap::SaveToStream(kst::TMemoryStream& Stream) const {
  const std::vector<uint8_t> Bytes = SaveToBuffer();
  Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TBitmap::SetWidth(int32_t NewWidth) { SetSize(NewWidth, FHeight); }

void TBitmap::SetHeight(int32_t NewHeight) { SetSize(FWidth, NewHeight); }

void TBitmap::SetSize(int32_t NewWidth, int32_t NewHeight) {
  NewWidth = CheckedDimension(NewWidth);
  NewHeight = CheckedDimension(NewHeight);
  if (NewWidth == FWidth && NewHeight == FHeight) return;
  const size_t Bpp = static_cast<size_t>(BytesPerPixel());
  const size_t NewRow = static_cast<size_t>(NewWidth) * Bpp;
  if (NewWidth <= FWidth && NewHeight <= FHeight) {
    // Cutting: each kept row moves towards the start, in its own storage.
    for (int32_t Y = 0; Y < NewHeight && NewRow > 0; ++Y)
      std::memmove(FPixels.data() + static_cast<size_t>(Y) * NewRow, ScanLine(Y).data(), NewRow);
    FPixels.resize(NewRow * static_cast<size_t>(NewHeight));
    FWidth = NewWidth;
    FHeight = NewHeight;
    return;
  }
  std::vector<uint8_t> Pixels(NewRow * static_cast<size_t>(NewHeight), 0);
  const size_t KeepRow = static_cast<size_t>(std::min(NewWidth, FWidth)) * Bpp;
  const int32_t KeepRows = std::min(NewHeight, FHeight);
  for (int32_t Y = 0; Y < KeepRows && KeepRow > 0; ++Y) {
    std::memcpy(Pixels.data() + static_cast<size_t>(Y) * NewRow, ScanLine(Y).data(), KeepRow);
  }
  FPixels = std::move(Pixels);
  FWidth = NewWidth;
  FHeight = NewHeight;
}

void TBitmap::SetPixelFormat(TPixelFormat NewFormat) {
  const bool WasIndexed = FPixelFormat == TPixelFormat::pf8bit;
  const bool BecomesIndexed = NewFormat == TPixelFormat::pf8bit;
  if (WasIndexed != BecomesIndexed) {
    const size_t Count = static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight);
    std::vector<uint8_t> Pixels(Count * static_cast<size_t>(BytesPerPixelOf(NewFormat)));
    for (size_t I = 0; I < Count; ++I) {
      if (WasIndexed) {
        const TRGBQuad& Q = FColorTable[FPixels[I]];
        Pixels[3 * I] = Q.rgbRed;
        Pixels[3 * I + 1] = Q.rgbGreen;
        Pixels[3 * I + 2] = Q.rgbBlue;
      } else {
        Pixels[I] = NearestIndex(ColorOf(FPixels[3 * I], FPixels[3 * I + 1], FPixels[3 * I + 2]));
      }
    }
    FPixels = std::move(Pixels);
  }
  FPixelFormat = NewFormat;
}

void TBitmap::SetColorTable(const TColorTable& NewTable) {
  FColorTable = NewTable;
  FNearest.reset();
}

void TBitmap::SetPixel(int32_t X, int32_t Y, TColor Color) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  const size_t At = static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X);
  if (FPixelFormat == TPixelFormat::pf8bit) {
    FPixels[At] = NearestIndex(Color);
    return;
  }
  FPixels[3 * At] = RedOf(Color);
  FPixels[3 * At + 1] = GreenOf(Color);
  FPixels[3 * At + 2] = BlueOf(Color);
}

int32_t TBitmap::BytesPerPixel() const { return BytesPerPixelOf(FPixelFormat); }

int32_t TBitmap::RowSize() const { return FWidth * BytesPerPixel(); }

std::span<const uint8_t> TBitmap::ScanLine(int32_t Row) const {
  if (Row < 0 || Row >= FHeight) throw std::out_of_range("Bitmap row out of range");
  const size_t Size = static_cast<size_t>(RowSize());
  return std::span<const uint8_t>(FPixels).subspan(static_cast<size_t>(Row) * Size, Size);
}

std::span<uint8_t> TBitmap::ScanLine(int32_t Row) {
  if (Row < 0 || Row >= FHeight) throw std::out_of_range("Bitmap row out of range");
  const size_t Size = static_cast<size_t>(RowSize());
  return std::span<uint8_t>(FPixels).subspan(static_cast<size_t>(Row) * Size, Size);
}

uint8_t TBitmap::NearestIndex(TColor Color) const {
  if (!FNearest) FNearest = std::make_unique<TNearestColor>(FColorTable);
  return FNearest->Find(RedOf(Color), GreenOf(Color), BlueOf(Color));
}

}  // namespace skw
