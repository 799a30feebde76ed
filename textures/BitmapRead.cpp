// Reading a BMP file into a TBitmap. Accepted: the 14-byte file header, an info
// header of 40 bytes or one of its later versions (52, 56, 108, 124 bytes), 8-bit
// pictures with a colour table of biClrUsed entries (0 meaning 256; entries
// missing up to 256 are black), 24- and 32-bit pictures (the fourth byte of a
// 32-bit pixel is ignored; bit fields only with the standard masks), rows padded
// to 4 bytes, stored bottom-up or top-down, the pixel array where the file header
// says. Every read is checked against the data: anything else, including RLE,
// a zero or oversized dimension, a truncated file and one reaching more than
// kBmpTrailingBytes past its pixel array, raises EInvalidBitmap, and the bitmap
// being loaded keeps its old picture.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/core/Bounds.h"
#include "archive/core/LittleEndian.h"
#include "archive/io/MemoryStream.h"
#include "textures/Bitmap.h"

namespace skw {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kBI_RGB = 0;
constexpr uint32_t kBI_BITFIELDS = 3;

// Little-endian reads that raise EInvalidBitmap past the end of the data.
class TBmpReader {
 public:
  explicit TBmpReader(std::span<const uint8_t> Data) : FData(Data) {}

  uint32_t U32(uint64_t At) const {
    Need(At, 4);
    return kst::GetLE32(FData.data() + At);
  }
  uint16_t U16(uint64_t At) const {
    Need(At, 2);
    return kst::GetLE16(FData.data() + At);
  }
  int32_t I32(uint64_t At) const { return static_cast<int32_t>(U32(At)); }
  const uint8_t* Bytes(uint64_t At, uint64_t Count) const {
    Need(At, Count);
    return FData.data() + At;
  }
  void Need(uint64_t At, uint64_t Count) const {
    if (!kst::InBounds(At, Count, FData.size())) throw EInvalidBitmap();
  }

 private:
  std::span<const uint8_t> FData;
};

// The fields of the headers that decide how the pixels are read.
struct TBmpLayout {
  uint32_t PixelOffset;
  uint32_t InfoSize;
  int32_t Width;
  int32_t Height;
  bool TopDown;
  uint16_t BitCount;
  uint32_t Compression;
  uint32_t ColorsUsed;
};

bool KnownInfoSize(uint32_t Size) { return Size == 40 || Size == 52 || Size == 56 || Size == 108 || Size == 124; }

TBmpLayout ReadLayout(const TBmpReader& In) {
  if (In.U16(0) != 0x4D42) throw EInvalidBitmap();  // "BM"
  TBmpLayout L{};
  L.PixelOffset = In.U32(10);
  L.InfoSize = In.U32(kFileHeaderSize);
  if (!KnownInfoSize(L.InfoSize)) throw EInvalidBitmap();
  In.Need(kFileHeaderSize, L.InfoSize);
  L.Width = In.I32(18);
  const int32_t Height = In.I32(22);
  L.BitCount = In.U16(28);
  L.Compression = In.U32(30);
  L.ColorsUsed = In.U32(46);
  L.TopDown = Height < 0;
  const int64_t Rows = L.TopDown ? -int64_t{Height} : int64_t{Height};
  if (L.Width <= 0 || L.Width > TBitmap::kMaxDimension) throw EInvalidBitmap();
  if (Rows <= 0 || Rows > TBitmap::kMaxDimension) throw EInvalidBitmap();
  L.Height = static_cast<int32_t>(Rows);
  if (L.BitCount != 8 && L.BitCount != 24 && L.BitCount != 32) throw EInvalidBitmap();
  if (L.PixelOffset < kFileHeaderSize + L.InfoSize) throw EInvalidBitmap();
  return L;
}

// Bit fields are accepted only for 32-bit pixels laid out as plain blue, green,
// red, unused bytes. The masks follow a 40-byte header and lie inside the later
// ones, at the same place in the file either way.
void CheckCompression(const TBmpReader& In, const TBmpLayout& L) {
  if (L.Compression == kBI_RGB) return;
  if (L.Compression != kBI_BITFIELDS || L.BitCount != 32) throw EInvalidBitmap();
  const uint32_t MaskAt = kFileHeaderSize + 40;
  if (In.U32(MaskAt) != 0x00FF0000 || In.U32(MaskAt + 4) != 0x0000FF00 || In.U32(MaskAt + 8) != 0x000000FF) {
    throw EInvalidBitmap();
  }
}

TColorTable ReadColorTable(const TBmpReader& In, const TBmpLayout& L) {
  const uint32_t Count = L.ColorsUsed == 0 ? 256 : L.ColorsUsed;
  if (Count > 256) throw EInvalidBitmap();
  const uint8_t* Raw = In.Bytes(uint64_t{kFileHeaderSize} + L.InfoSize, uint64_t{Count} * 4);
  TColorTable Table{};
  for (uint32_t I = 0; I < Count; ++I) {
    Table[I] = TRGBQuad{Raw[4 * I], Raw[4 * I + 1], Raw[4 * I + 2], Raw[4 * I + 3]};
  }
  return Table;
}

// Where the pixel array lies: its stored rows, padded to 4 bytes.
struct TRowLayout {
  uint64_t FileBpp;
  uint64_t RowBytes;  // stored bytes of one row without padding
  uint64_t Stride;    // with padding
  uint64_t RowOut;    // bytes of one logical row
};

TRowLayout RowsOf(const TBmpLayout& L) {
  const uint64_t FileBpp = L.BitCount / 8;
  const uint64_t RowBytes = uint64_t(L.Width) * FileBpp;
  return TRowLayout{FileBpp, RowBytes, (RowBytes + 3) / 4 * 4, uint64_t(L.Width) * (FileBpp == 1 ? 1 : 3)};
}

int64_t SizeLimit(const TBmpLayout& L) {
  return int64_t(L.PixelOffset) + int64_t(RowsOf(L).Stride) * L.Height + kBmpTrailingBytes;
}

// One stored row to a logical row: blue, green, red (and a fourth byte) become
// red, green, blue. Dst may be Src or lie before it.
void ConvertRow(const uint8_t* Src, uint8_t* Dst, const TRowLayout& R, int32_t Width) {
  if (R.FileBpp == 1) {
    std::memmove(Dst, Src, R.RowBytes);
    return;
  }
  for (int32_t X = 0; X < Width; ++X, Src += R.FileBpp, Dst += 3) {
    const uint8_t Blue = Src[0], Green = Src[1], Red = Src[2];
    Dst[0] = Red;
    Dst[1] = Green;
    Dst[2] = Blue;
  }
}

// A 24-bit row turned into a logical row in another buffer. Written as a
// plain loop over bytes, so that the compiler can turn it into byte shuffles;
// the copy compiled for processors with them is chosen once at run time.
inline void TurnSeparateRow(const uint8_t* __restrict Src, uint8_t* __restrict Dst, size_t Pixels) {
  for (size_t X = 0; X < Pixels; ++X) {
    Dst[3 * X] = Src[3 * X + 2];
    Dst[3 * X + 1] = Src[3 * X + 1];
    Dst[3 * X + 2] = Src[3 * X];
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("ssse3"))) void TurnSeparateRowShuffled(const uint8_t* __restrict Src, uint8_t* __restrict Dst,
                                                              size_t Pixels) {
  TurnSeparateRow(Src, Dst, Pixels);
}
#endif

// ConvertRow for a Dst that does not overlap Src.
void ConvertSeparateRow(const uint8_t* Src, uint8_t* Dst, const TRowLayout& R, int32_t Width) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool HasShuffles = __builtin_cpu_supports("ssse3");
  if (R.FileBpp == 3 && HasShuffles) return TurnSeparateRowShuffled(Src, Dst, static_cast<size_t>(Width));
#endif
  if (R.FileBpp == 3) return TurnSeparateRow(Src, Dst, static_cast<size_t>(Width));
  ConvertRow(Src, Dst, R, Width);
}

// Turns the file's stored rows into logical rows, top row first, in the
// file's own bytes: blue, green, red (and a fourth byte) become red, green,
// blue, padding and headers are dropped, and the bytes are cut to the rows.
// Each row lands at or before where it was read, so the rows are first packed
// in stored order, front to back, and then put top row first.
void UnpackPixels(const TBmpReader& In, std::vector<uint8_t>& File, const TBmpLayout& L) {
  const TRowLayout R = RowsOf(L);
  In.Need(L.PixelOffset, R.Stride * uint64_t(L.Height - 1) + R.RowBytes);
  uint8_t* Base = File.data();
  for (uint64_t Row = 0; Row < uint64_t(L.Height); ++Row)
    ConvertRow(Base + L.PixelOffset + R.Stride * Row, Base + R.RowOut * Row, R, L.Width);
  if (!L.TopDown)
    for (uint64_t Top = 0, Bottom = uint64_t(L.Height) - 1; Top < Bottom; ++Top, --Bottom)
      std::swap_ranges(Base + R.RowOut * Top, Base + R.RowOut * (Top + 1), Base + R.RowOut * Bottom);
  File.resize(R.RowOut * uint64_t(L.Height));
}

// The logical rows of the file in Stream, top row first, taken from the end of
// the stored rows (where a bottom-up file keeps its top row; a top-down file
// has its rows turned round in place first) while the stream is cut down
// behind them, so the file and the pixels never both exist whole.
std::vector<uint8_t> TakePixelsFromEnd(const TBmpReader& In, kst::TMemoryStream& Stream, const TBmpLayout& L) {
  constexpr uint64_t kReleaseStep = 1u << 20;
  const TRowLayout R = RowsOf(L);
  In.Need(L.PixelOffset, R.Stride * uint64_t(L.Height - 1) + R.RowBytes);
  const auto Row = [&](uint64_t Stored) { return Stream.Memory() + L.PixelOffset + R.Stride * Stored; };
  if (L.TopDown)
    for (uint64_t Top = 0, Bottom = uint64_t(L.Height) - 1; Top < Bottom; ++Top, --Bottom)
      std::swap_ranges(Row(Top), Row(Top) + R.RowBytes, Row(Bottom));
  std::vector<uint8_t> Pixels;
  Pixels.reserve(R.RowOut * uint64_t(L.Height));
  uint64_t Kept = uint64_t(Stream.Size());
  for (uint64_t Emitted = 0; Emitted < uint64_t(L.Height); ++Emitted) {
    const uint64_t Stored = uint64_t(L.Height) - 1 - Emitted;
    Pixels.resize(Pixels.size() + R.RowOut);
    ConvertSeparateRow(Row(Stored), Pixels.data() + Pixels.size() - R.RowOut, R, L.Width);
    const uint64_t At = L.PixelOffset + R.Stride * Stored;
    if (Kept - At >= kReleaseStep) {
      Stream.SetSize(int64_t(At));
      Stream.Trim();
      Kept = At;
    }
  }
  Stream.Clear();
  return Pixels;
}

TPixelFormat FormatOf(uint16_t BitCount) {
  if (BitCount == 8) return TPixelFormat::pf8bit;
  return BitCount == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit;
}

}  // namespace

int64_t BmpSizeLimit(std::span<const uint8_t> Head) {
  try {
    const TBmpReader In(Head.first(std::min(Head.size(), kBmpHeadBytes)));
    const TBmpLayout Layout = ReadLayout(In);
    CheckCompression(In, Layout);
    return SizeLimit(Layout);
  } catch (const EInvalidBitmap&) {
    return -1;
  }
}

void TBitmap::LoadFromBuffer(std::span<const uint8_t> Data) {
  LoadFromBuffer(std::vector<uint8_t>(Data.begin(), Data.end()));
}

void TBitmap::LoadFromBuffer(std::vector<uint8_t>&& Data) {
  const TBmpReader In(Data);
  const TBmpLayout Layout = ReadLayout(In);
  CheckCompression(In, Layout);
  if (int64_t(Data.size()) > SizeLimit(Layout)) throw EInvalidBitmap();
  TBitmap Loaded;
  if (Layout.BitCount == 8) Loaded.FColorTable = ReadColorTable(In, Layout);
  UnpackPixels(In, Data, Layout);  // checks the pixel array before changing a byte
  Loaded.FPixelFormat = FormatOf(Layout.BitCount);
  Loaded.FWidth = Layout.Width;
  Loaded.FHeight = Layout.Height;
  Loaded.FPixels = std::move(Data);
  *this = std::move(Loaded);
}

void TBitmap::LoadFromBuffer(kst::TMemoryStream&& File) {
  kst::TMemoryStream Taken(std::move(File));
  const TBmpReader In(std::span<const uint8_t>(Taken.Memory(), size_t(Taken.Size())));
  const TBmpLayout Layout = ReadLayout(In);
  CheckCompression(In, Layout);
  if (Taken.Size() > SizeLimit(Layout)) throw EInvalidBitmap();
  TBitmap Loaded;
  if (Layout.BitCount == 8) Loaded.FColorTable = ReadColorTable(In, Layout);
  Loaded.FPixels = TakePixelsFromEnd(In, Taken, Layout);  // checks the pixel array first
  Loaded.FPixelFormat = FormatOf(Layout.BitCount);
  Loaded.FWidth = Layout.Width;
  Loaded.FHeight = Layout.Height;
  *this = std::move(Loaded);
}

}  // namespace skw
