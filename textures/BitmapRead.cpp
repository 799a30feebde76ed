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
  TBmpLayout l{};
  l.PixelOffset = In.U32(10);
  l.InfoSize = In.U32(kFileHeaderSize);
  if (!KnownInfoSize(l.InfoSize)) throw EInvalidBitmap();
  In.Need(kFileHeaderSize, l.InfoSize);
  l.Width = In.I32(18);
  const int32_t height = In.I32(22);
  l.BitCount = In.U16(28);
  l.Compression = In.U32(30);
  l.ColorsUsed = In.U32(46);
  l.TopDown = height < 0;
  const int64_t rows = l.TopDown ? -int64_t{height} : int64_t{height};
  if (l.Width <= 0 || l.Width > TBitmap::kMaxDimension) throw EInvalidBitmap();
  if (rows <= 0 || rows > TBitmap::kMaxDimension) throw EInvalidBitmap();
  l.Height = static_cast<int32_t>(rows);
  if (l.BitCount != 8 && l.BitCount != 24 && l.BitCount != 32) throw EInvalidBitmap();
  if (l.PixelOffset < kFileHeaderSize + l.InfoSize) throw EInvalidBitmap();
  return l;
}

// Bit fields are accepted only for 32-bit pixels laid out as plain blue, green,
// red, unused bytes. The masks follow a 40-byte header and lie inside the later
// ones, at the same place in the file either way.
void CheckCompression(const TBmpReader& In, const TBmpLayout& L) {
  if (L.Compression == kBI_RGB) return;
  if (L.Compression != kBI_BITFIELDS || L.BitCount != 32) throw EInvalidBitmap();
  const uint32_t maskAt = kFileHeaderSize + 40;
  if (In.U32(maskAt) != 0x00FF0000 || In.U32(maskAt + 4) != 0x0000FF00 || In.U32(maskAt + 8) != 0x000000FF) {
    throw EInvalidBitmap();
  }
}

TColorTable ReadColorTable(const TBmpReader& In, const TBmpLayout& L) {
  const uint32_t count = L.ColorsUsed == 0 ? 256 : L.ColorsUsed;
  if (count > 256) throw EInvalidBitmap();
  const uint8_t* raw = In.Bytes(uint64_t{kFileHeaderSize} + L.InfoSize, uint64_t{count} * 4);
  TColorTable table{};
  for (uint32_t i = 0; i < count; ++i) {
    table[i] = TRGBQuad{raw[4 * i], raw[4 * i + 1], raw[4 * i + 2], raw[4 * i + 3]};
  }
  return table;
}

// Where the pixel array lies: its stored rows, padded to 4 bytes.
struct TRowLayout {
  uint64_t FileBpp;
  uint64_t RowBytes;  // stored bytes of one row without padding
  uint64_t Stride;    // with padding
  uint64_t RowOut;    // bytes of one logical row
};

TRowLayout RowsOf(const TBmpLayout& L) {
  const uint64_t fileBpp = L.BitCount / 8;
  const uint64_t rowBytes = uint64_t(L.Width) * fileBpp;
  return TRowLayout{fileBpp, rowBytes, (rowBytes + 3) / 4 * 4, uint64_t(L.Width) * (fileBpp == 1 ? 1 : 3)};
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
  for (int32_t x = 0; x < Width; ++x, Src += R.FileBpp, Dst += 3) {
    const uint8_t blue = Src[0], green = Src[1], red = Src[2];
    Dst[0] = red;
    Dst[1] = green;
    Dst[2] = blue;
  }
}

// Turns the file's stored rows into logical rows, top row first, in the
// file's own bytes: blue, green, red (and a fourth byte) become red, green,
// blue, padding and headers are dropped, and the bytes are cut to the rows.
// Each row lands at or before where it was read, so the rows are first packed
// in stored order, front to back, and then put top row first.
void UnpackPixels(const TBmpReader& In, std::vector<uint8_t>& File, const TBmpLayout& L) {
  const TRowLayout R = RowsOf(L);
  In.Need(L.PixelOffset, R.Stride * uint64_t(L.Height - 1) + R.RowBytes);
  uint8_t* base = File.data();
  for (uint64_t r = 0; r < uint64_t(L.Height); ++r)
    ConvertRow(base + L.PixelOffset + R.Stride * r, base + R.RowOut * r, R, L.Width);
  if (!L.TopDown)
    for (uint64_t top = 0, bottom = uint64_t(L.Height) - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(base + R.RowOut * top, base + R.RowOut * (top + 1), base + R.RowOut * bottom);
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
    for (uint64_t top = 0, bottom = uint64_t(L.Height) - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(Row(top), Row(top) + R.RowBytes, Row(bottom));
  std::vector<uint8_t> pixels;
  pixels.reserve(R.RowOut * uint64_t(L.Height));
  uint64_t kept = uint64_t(Stream.Size());
  for (uint64_t r = 0; r < uint64_t(L.Height); ++r) {
    const uint64_t stored = uint64_t(L.Height) - 1 - r;
    pixels.resize(pixels.size() + R.RowOut);
    ConvertRow(Row(stored), pixels.data() + pixels.size() - R.RowOut, R, L.Width);
    const uint64_t at = L.PixelOffset + R.Stride * stored;
    if (kept - at >= kReleaseStep) {
      Stream.SetSize(int64_t(at));
      Stream.Trim();
      kept = at;
    }
  }
  Stream.Clear();
  return pixels;
}

TPixelFormat FormatOf(uint16_t BitCount) {
  if (BitCount == 8) return TPixelFormat::pf8bit;
  return BitCount == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf32bit;
}

}  // namespace

int64_t BmpSizeLimit(std::span<const uint8_t> Head) {
  try {
    const TBmpReader in(Head.first(std::min(Head.size(), kBmpHeadBytes)));
    const TBmpLayout layout = ReadLayout(in);
    CheckCompression(in, layout);
    return SizeLimit(layout);
  } catch (const EInvalidBitmap&) {
    return -1;
  }
}

void TBitmap::LoadFromBuffer(std::span<const uint8_t> Data) {
  LoadFromBuffer(std::vector<uint8_t>(Data.begin(), Data.end()));
}

void TBitmap::LoadFromBuffer(std::vector<uint8_t>&& Data) {
  const TBmpReader in(Data);
  const TBmpLayout layout = ReadLayout(in);
  CheckCompression(in, layout);
  if (int64_t(Data.size()) > SizeLimit(layout)) throw EInvalidBitmap();
  TBitmap loaded;
  if (layout.BitCount == 8) loaded.FColorTable = ReadColorTable(in, layout);
  UnpackPixels(in, Data, layout);  // checks the pixel array before changing a byte
  loaded.FPixelFormat = FormatOf(layout.BitCount);
  loaded.FWidth = layout.Width;
  loaded.FHeight = layout.Height;
  loaded.FPixels = std::move(Data);
  *this = std::move(loaded);
}

void TBitmap::LoadFromBuffer(kst::TMemoryStream&& File) {
  kst::TMemoryStream Taken(std::move(File));
  const TBmpReader in(std::span<const uint8_t>(Taken.Memory(), size_t(Taken.Size())));
  const TBmpLayout layout = ReadLayout(in);
  CheckCompression(in, layout);
  if (Taken.Size() > SizeLimit(layout)) throw EInvalidBitmap();
  TBitmap loaded;
  if (layout.BitCount == 8) loaded.FColorTable = ReadColorTable(in, layout);
  loaded.FPixels = TakePixelsFromEnd(in, Taken, layout);  // checks the pixel array first
  loaded.FPixelFormat = FormatOf(layout.BitCount);
  loaded.FWidth = layout.Width;
  loaded.FHeight = layout.Height;
  *this = std::move(loaded);
}

}  // namespace skw
