// Flipsize: the block-averaging resampler, the colour splitting and joining, and
// the vertical flip. xShrinkPicture follows its arithmetic step by step, since
// the mip levels it makes are compared byte for byte: scales and sums are 32-bit
// floats, block bounds come from double quotients truncated toward zero, the
// averaging factor is rounded to a 32-bit float, and each part is rounded half
// to even and cut to its low 8 bits. Intermediate integers are 64-bit and every
// float-to-integer conversion is guarded, so no argument can overflow; a block
// without source pixels (only possible when enlarging) leaves its destination
// pixel as it was instead of dividing by zero.
#include "textures/Flipsize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace skw {

namespace {

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559);

constexpr double kIntegerLimit = 4611686018427387904.0;  // 2^62

// Toward zero, kept inside the 64-bit range; NaN gives 0.
int64_t Trunc(double Value) {
  if (std::isnan(Value)) return 0;
  return static_cast<int64_t>(std::clamp(Value, -kIntegerLimit, kIntegerLimit));
}

// To the nearest integer, ties to the even one, kept inside the 64-bit range.
int64_t RoundHalfEven(double Value) {
  if (std::isnan(Value)) return 0;
  const double clamped = std::clamp(Value, -kIntegerLimit, kIntegerLimit);
  const double down = std::floor(clamped);
  const double fraction = clamped - down;
  int64_t result = static_cast<int64_t>(down);
  if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
  return result;
}

// A source pixel; coordinates beyond 32 bits lie outside every picture.
TColor ReadPixel(const TCanvas& Canvas, int64_t X, int64_t Y) {
  constexpr int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  if (X < lo || X > hi || Y < lo || Y > hi) return -1;
  return Canvas.Pixels(static_cast<int32_t>(X), static_cast<int32_t>(Y));
}

// The first and last source index of the block for destination index Index.
struct TSpan {
  int64_t First;
  int64_t Last;
};

TSpan BlockOf(int64_t Index, int64_t DestStart, float Scale, int64_t SourceStart) {
  const double scale = Scale;
  const double start = static_cast<double>(SourceStart);
  return TSpan{Trunc(static_cast<double>(Index - DestStart) / scale + start),
               Trunc(static_cast<double>(Index + 1 - DestStart) / scale + start) - 1};
}

float ScaleOf(int64_t DestFirst, int64_t DestLast, int64_t SourceStart, int64_t SourceEnd) {
  return static_cast<float>(static_cast<double>(DestLast - DestFirst + 1) /
                            static_cast<double>(SourceEnd - SourceStart));
}

// The averaged colour of one block, or nothing for an empty block.
bool AverageBlock(const TCanvas& Source, TSpan Columns, TSpan Rows, TColor& Result) {
  if (Columns.Last < Columns.First || Rows.Last < Rows.First) return false;
  float red = 0, green = 0, blue = 0;
  for (int64_t ys = Rows.First; ys <= Rows.Last; ++ys) {
    for (int64_t xs = Columns.First; xs <= Columns.Last; ++xs) {
      int32_t r, g, b;
      xSeparateColor(ReadPixel(Source, xs, ys), r, g, b);
      red += static_cast<float>(r);
      green += static_cast<float>(g);
      blue += static_cast<float>(b);
    }
  }
  const double columns = static_cast<double>(Columns.Last - Columns.First + 1);
  const double rows = static_cast<double>(Rows.Last - Rows.First + 1);
  const double factor = static_cast<float>(1.0 / columns / rows);
  // The products of two floats are exact in double precision.
  const int64_t r = RoundHalfEven(red * factor) & 0xFF;
  const int64_t g = RoundHalfEven(green * factor) & 0xFF;
  const int64_t b = RoundHalfEven(blue * factor) & 0xFF;
  Result = static_cast<TColor>(r + g * 256 + b * 65536);
  return true;
}

}  // namespace

void xShrinkPicture(TCanvas& Source, TCanvas& Dest, int32_t SourceLeft, int32_t SourceTop, int32_t SourceRight,
                    int32_t SourceBottom, int32_t DestLeft, int32_t DestTop, int32_t DestRight, int32_t DestBottom) {
  const float sx = ScaleOf(DestLeft, DestRight, SourceLeft, SourceRight);
  const float sy = ScaleOf(DestTop, DestBottom, SourceTop, SourceBottom);
  if (DestBottom < DestTop) return;
  // Pixels outside the destination picture would not be written, so they are
  // not computed either; the order of the remaining ones is unchanged.
  const int64_t firstX = std::max<int64_t>(DestLeft, 0);
  const int64_t lastX = std::min<int64_t>(DestRight, int64_t{Dest.Width()} - 1);
  const int64_t firstY = std::max<int64_t>(DestTop, 0);
  const int64_t lastY = std::min<int64_t>(DestBottom, int64_t{Dest.Height()} - 1);
  if (lastX < firstX) return;
  // Every row uses the same column blocks.
  std::vector<TSpan> columns;
  columns.reserve(static_cast<size_t>(lastX - firstX + 1));
  for (int64_t x = firstX; x <= lastX; ++x) columns.push_back(BlockOf(x, DestLeft, sx, SourceLeft));
  for (int64_t y = firstY; y <= lastY; ++y) {
    const TSpan rows = BlockOf(y, DestTop, sy, SourceTop);
    for (int64_t x = firstX; x <= lastX; ++x) {
      TColor color;
      if (AverageBlock(Source, columns[static_cast<size_t>(x - firstX)], rows, color)) {
        Dest.SetPixels(static_cast<int32_t>(x), static_cast<int32_t>(y), color);
      }
    }
  }
}

void xSeparateColor(TColor Color, int32_t& Red, int32_t& Green, int32_t& Blue) {
  Red = Color % 256;
  Green = (Color / 256) % 256;
  Blue = Color / 65536;
}

int32_t xRGB(int32_t Red, int32_t Green, int32_t Blue) {
  const int64_t joined = int64_t{Red} + int64_t{Green} * 256 + int64_t{Blue} * 65536;
  return static_cast<int32_t>(static_cast<uint32_t>(joined));
}

void FlipDown(TBitmap& Bitmap) {
  const int32_t w = Bitmap.Width();
  const int32_t h = Bitmap.Height();
  TBitmap flipped;
  flipped.SetPixelFormat(TPixelFormat::pf24bit);
  flipped.SetSize(w, h);
  Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  for (int32_t i = 0; i < h; ++i) {
    const std::span<const uint8_t> from = std::as_const(Bitmap).ScanLine(h - 1 - i);
    std::copy(from.begin(), from.end(), flipped.ScanLine(i).begin());
  }
  Bitmap = std::move(flipped);
}

}  // namespace skw
