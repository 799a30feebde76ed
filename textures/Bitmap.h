// TBitmap: the picture type of the texture engine, with its colour value TColor
// and its drawing surface TCanvas. A bitmap holds the pixels of one picture, top
// row first, as the engine needs them for a mip level: three bytes red, green,
// blue per pixel for true colour, one colour-table index per pixel for 8-bit
// pictures (which always carry a 256-entry colour table). It loads BMP files
// soundly (malformed input raises EInvalidBitmap, "Bitmap image is not valid"),
// saves them as plain pictures with a 54-byte header, resizes keeping the
// top-left part, and offers per-pixel colour access through its canvas, inline
// because halving reads every pixel of every level. Writing a colour into an
// 8-bit picture stores the nearest entry of its colour table; that search is
// memoised, since halving also writes every pixel.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace kst {
class TMemoryStream;
}

namespace skw {

class TNearestColor;
class TBitmap;

// A colour: red in the lowest byte, then green, then blue; -1 (all bits set)
// for a pixel outside a picture.
using TColor = int32_t;

// The drawing surface of a bitmap: per-pixel access by column X and row Y
// counted from the top-left corner. Every bitmap owns exactly one canvas, so a
// canvas cannot be copied: it always draws on the bitmap that owns it.
class TCanvas {
 public:
  explicit TCanvas(TBitmap& Owner) : FOwner(&Owner) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // Colour of pixel (X, Y); -1 outside the picture.
  TColor Pixels(int32_t X, int32_t Y) const;
  // Writes a pixel; 8-bit pictures store the nearest colour-table entry. A
  // pixel outside the picture is not written.
  void SetPixels(int32_t X, int32_t Y, TColor Color);
  // Size of the drawing surface: the owning bitmap's width and height.
  int32_t Width() const;
  int32_t Height() const;

 private:
  TBitmap* FOwner;
};

// Raised for a byte sequence that is not a readable BMP picture.
class EInvalidBitmap : public std::runtime_error {
 public:
  EInvalidBitmap() : std::runtime_error("Bitmap image is not valid") {}
};

// Bits per pixel of a picture: 8-bit pictures index a colour table, the other
// two hold their colours directly (a 32-bit picture's fourth byte is not kept).
enum class TPixelFormat { pf8bit, pf24bit, pf32bit };

// One colour-table entry in its stored order: blue, green, red, fourth byte.
struct TRGBQuad {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
  bool operator==(const TRGBQuad&) const = default;
};

using TColorTable = std::array<TRGBQuad, 256>;

// What the first bytes of a BMP file allow of the whole file. Its first
// kBmpHeadBytes bytes (the whole file when it is shorter) hold every header
// field the loader checks before the colour table and pixels; BmpSizeLimit
// answers the largest size a valid file with these headers can have (the pixel
// array they describe and at most kBmpTrailingBytes behind it, such as a colour
// profile), or -1 when the headers already make the picture invalid (signature,
// header size, a zero or oversized dimension, depth, compression). The loader
// refuses a longer file, so a reader of the file may stop there.
inline constexpr size_t kBmpHeadBytes = 150;
inline constexpr int64_t kBmpTrailingBytes = int64_t{1} << 20;
int64_t BmpSizeLimit(std::span<const uint8_t> Head);

class TBitmap {
 public:
  // Largest width or height accepted, when loading or resizing.
  static constexpr int32_t kMaxDimension = 16384;

  TBitmap();
  TBitmap(const TBitmap& Other);
  TBitmap& operator=(const TBitmap& Other);
  TBitmap(TBitmap&& Other) noexcept;
  TBitmap& operator=(TBitmap&& Other) noexcept;
  ~TBitmap();

  // Replaces the picture by the BMP file in Data; raises EInvalidBitmap (and
  // leaves the picture unchanged) when the bytes are not a valid picture.
  void LoadFromBuffer(std::span<const uint8_t> Data);
  // The same, taking over Data's storage for the pixels (no second copy of
  // the picture); Data is left unchanged when the picture is not valid.
  void LoadFromBuffer(std::vector<uint8_t>&& Data);
  // The same, taking over the whole stream: its bytes are turned into pixels
  // from its end while it is cut down, so a large picture never exists twice.
  // The stream is left empty, also when the picture is not valid.
  void LoadFromBuffer(kst::TMemoryStream&& File);
  // Loads from the stream's position to its end; the position moves to the end.
  void LoadFromStream(kst::TMemoryStream& Stream);
  // The picture as a BMP file: 54-byte header, for 8-bit pictures the full
  // 256-entry colour table, then the rows bottom-up, each padded to 4 bytes.
  std::vector<uint8_t> SaveToBuffer() const;
  // Writes SaveToBuffer's bytes at the stream's position.
  void SaveToStream(kst::TMemoryStream& Stream) const;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // Resizing keeps the top-left part; new pixels are 0 (black or index 0).
  // A negative size counts as 0; above kMaxDimension raises std::length_error.
  void SetWidth(int32_t NewWidth);
  void SetHeight(int32_t NewHeight);
  void SetSize(int32_t NewWidth, int32_t NewHeight);

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels: 8-bit to true colour through the colour table, true
  // colour to 8-bit through the nearest entry of the current colour table.
  void SetPixelFormat(TPixelFormat NewFormat);

  const TColorTable& ColorTable() const { return FColorTable; }
  // Indexes stay as they are; their colours change with the table.
  void SetColorTable(const TColorTable& NewTable);

  // Per-pixel colour access; the canvas lives as long as the bitmap.
  TCanvas& Canvas() { return FCanvas; }
  // Colour of pixel (X, Y), or -1 (all bits set) outside the picture.
  TColor Pixel(int32_t X, int32_t Y) const;
  // Stores the colour's red, green and blue (8-bit pictures: the nearest table
  // entry); a pixel outside the picture is ignored.
  void SetPixel(int32_t X, int32_t Y, TColor Color);

  // Bytes per stored pixel: 1 for 8-bit pictures, 3 (red, green, blue) otherwise.
  int32_t BytesPerPixel() const;
  // Bytes of one logical row (Width × BytesPerPixel, no padding).
  int32_t RowSize() const;
  // Logical row Row (0 is the top row); raises std::out_of_range outside.
  std::span<const uint8_t> ScanLine(int32_t Row) const;
  std::span<uint8_t> ScanLine(int32_t Row);
  // All logical rows, top row first, without padding.
  std::span<const uint8_t> PixelBytes() const { return FPixels; }

 private:
  uint8_t NearestIndex(TColor Color) const;

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pf24bit;
  TColorTable FColorTable{};
  std::vector<uint8_t> FPixels;
  // Built on the first colour written into an 8-bit picture, dropped when the
  // colour table changes.
  mutable std::unique_ptr<TNearestColor> FNearest;
  TCanvas FCanvas;
};

inline TColor TBitmap::Pixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return -1;
  const size_t At = static_cast<size_t>(Y) * static_cast<size_t>(FWidth) + static_cast<size_t>(X);
  if (FPixelFormat == TPixelFormat::pf8bit) {
    const TRGBQuad& Q = FColorTable[FPixels[At]];
    return static_cast<TColor>(uint32_t{Q.rgbRed} | uint32_t{Q.rgbGreen} << 8 | uint32_t{Q.rgbBlue} << 16);
  }
  const uint8_t* P = FPixels.data() + 3 * At;
  return static_cast<TColor>(uint32_t{P[0]} | uint32_t{P[1]} << 8 | uint32_t{P[2]} << 16);
}

inline TColor TCanvas::Pixels(int32_t X, int32_t Y) const { return FOwner->Pixel(X, Y); }
inline void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) { FOwner->SetPixel(X, Y, Color); }
inline int32_t TCanvas::Width() const { return FOwner->Width(); }
inline int32_t TCanvas::Height() const { return FOwner->Height(); }

}  // namespace skw
