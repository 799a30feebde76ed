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
  const double Clamped = std::clamp(Value, -kIntegerLimit, kIntegerLimit);
  const double Down = std::floor(Clamped);
  const double Fraction = Clamped - Down;
  int64_t Result = static_cast<int64_t>(Down);
  if (Fraction > 0.5 || (Fraction == 0.5 && Result % 2 != 0)) ++Result;
  return Result;
}

// A source pixel; coordinates beyond 32 bits lie outside every picture.
TColor ReadPixel(const TCanvas& Canvas, int64_t X, int64_t Y) {
  constexpr int64_t Lo = std::numeric_limits<int32_t>::min(), Hi = std::numeric_limits<int32_t>::max();
  if (X < Lo || X > Hi || Y < Lo || Y > Hi) return -1;
  return Canvas.Pixels(static_cast<int32_t>(X), static_cast<int32_t>(Y));
}

// The first and last source index of the block for destination index Index.
struct TSpan {
  int64_t First;
  int64_t Last;
};

TSpan BlockOf(int64_t Index, int64_t DestStart, float Scale, int64_t SourceStart) {
  const double WideScale = Scale;
  const double Start = static_cast<double>(SourceStart);
  return TSpan{Trunc(static_cast<double>(Index - DestStart) / WideScale + Start),
               Trunc(static_cast<double>(Index + 1 - DestStart) / WideScale + Start) - 1};
}

float ScaleOf(int64_t DestFirst, int64_t DestLast, int64_t SourceStart, int64_t SourceEnd) {
  return static_cast<float>(static_cast<double>(DestLast - DestFirst + 1) /
                            static_cast<double>(SourceEnd - SourceStart));
}

// The averaged colour of one block, or nothing for an empty block.
bool AverageBlock(const TCanvas& Source, TSpan Columns, TSpan Rows, TColor& Result) {
  if (Columns.Last < Columns.First || Rows.Last < Rows.First) return false;
  float Red = 0, Green = 0, Blue = 0;
  for (int64_t Ys = Rows.First; Ys <= Rows.Last; ++Ys) {
    for (int64_t Xs = Columns.First; Xs <= Columns.Last; ++Xs) {
      int32_t R, G, B;
      xSeparateColor(ReadPixel(Source, Xs, Ys), R, G, B);
      Red += static_cast<float>(R);
      Green += static_cast<float>(G);
      Blue += static_cast<float>(B);
    }
  }
  const double ColumnCount = static_cast<double>(Columns.Last - Columns.First + 1);
  const double RowCount = static_cast<double>(Rows.Last - Rows.First + 1);
  const double Factor = static_cast<float>(1.0 / ColumnCount / RowCount);
  // The products of two floats are exact in double precision.
  const int64_t R = RoundHalfEven(Red * Factor) & 0xFF;
  const int64_t G = RoundHalfEven(Green * Factor) & 0xFF;
  const int64_t B = RoundHalfEven(Blue * Factor) & 0xFF;
  Result = static_cast<TColor>(R + G * 256 + B * 65536);
  return true;
}

}  // namespace

void xShrinkPicture(TCanvas& Source, TCanvas& Dest, int32_t SourceLeft, int32_t SourceTop, int32_t SourceRight,
                    int32_t SourceBottom, int32_t DestLeft, int32_t DestTop, int32_t DestRight, int32_t DestBottom) {
  const float Sx = ScaleOf(DestLeft, DestRight, SourceLeft, SourceRight);
  const float Sy = ScaleOf(DestTop, DestBottom, SourceTop, SourceBottom);
  if (DestBottom < DestTop) return;
  // Pixels outside the destination picture would not be written, so they are
  // not computed either; the order of the remaining ones is unchanged.
  const int64_t FirstX = std::max<int64_t>(DestLeft, 0);
  const int64_t LastX = std::min<int64_t>(DestRight, int64_t{Dest.Width()} - 1);
  const int64_t FirstY = std::max<int64_t>(DestTop, 0);
  const int64_t LastY = std::min<int64_t>(DestBottom, int64_t{Dest.Height()} - 1);
  if (LastX < FirstX) return;
  // Every row uses the same column blocks.
  std::vector<TSpan> Columns;
  Columns.reserve(static_cast<size_t>(LastX - FirstX + 1));
  for (int64_t X = FirstX; X <= LastX; ++X) Columns.push_back(BlockOf(X, DestLeft, Sx, SourceLeft));
  for (int64_t Y = FirstY; Y <= LastY; ++Y) {
    const TSpan Rows = BlockOf(Y, DestTop, Sy, SourceTop);
    for (int64_t X = FirstX; X <= LastX; ++X) {
      TColor Color;
      if (AverageBlock(Source, Columns[static_cast<size_t>(X - FirstX)], Rows, Color)) {
        Dest.SetPixels(static_cast<int32_t>(X), static_cast<int32_t>(Y), Color);
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
  const int64_t Joined = int64_t{Red} + int64_t{Green} * 256 + int64_t{Blue} * 65536;
  return static_cast<int32_t>(static_cast<uint32_t>(Joined));
}

void FlipDown(TBitmap& Bitmap) {
  const int32_t W = Bitmap.Width();
  const int32_t H = Bitmap.Height();
  TBitmap Flipped;
  Flipped.SetPixelFormat(TPixelFormat::pf24bit);
  Flipped.SetSize(W, H);
  Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  for (int32_t I = 0; I < H; ++I) {
    const std::span<const uint8_t> From = std::as_const(Bitmap).ScanLine(H - 1 - I);
    std::copy(From.begin(), From.end(), Flipped.ScanLine(I).begin());
  }
  Bitmap = std::move(Flipped);
}

}  // namespace skw
