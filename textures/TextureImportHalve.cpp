// TPictureHalver: the import's halving step, producing exactly what the block
// resampler gives when a picture is halved on its own canvas (source 1, 1,
// w + 1, h + 1 into 0, 0, w div 2, h div 2) and then cut to w div 2 × h div 2,
// at a fraction of the cost. For that call the scale is just above one half,
// so every block is one or two source pixels wide and high: its float sum is
// an exact small integer and its factor exactly 1, 1/2 or 1/4, which makes the
// rounding of the average an integer operation. The block bounds come from the
// same single-precision scale and double quotients as in the resampler, and
// any block of another size sends the picture through the resampler itself.
// Every kept destination pixel reads only source rows and columns behind it,
// so writing the halved rows over the picture's first rows, as the resampler
// also works in place, changes nothing that is still to be read.
// For 8-bit pictures the averages are colours and the stored index is the
// nearest colour-table entry (the same search the canvas uses); its
// remembered answers are kept while pictures share one colour table.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "textures/BitmapNearestColor.h"
#include "textures/Flipsize.h"
#include "textures/TextureImport.h"

namespace skw {

namespace {

struct TBlock {
  int32_t First;
  int32_t Count;  // 1 or 2
};

int64_t TruncOf(double Value) { return static_cast<int64_t>(std::trunc(Value)); }

// The source blocks of destination indexes 0 .. Kept - 1 for a side of Side
// pixels; false when one of them is not 1 or 2 pixels long.
bool BlocksOf(int32_t Side, int32_t Kept, std::vector<TBlock>& Blocks) {
  const float Scale = static_cast<float>(static_cast<double>(Side / 2 + 1) / static_cast<double>(Side));
  const double S = Scale;
  Blocks.clear();
  for (int64_t I = 0; I < Kept; ++I) {
    const int64_t First = TruncOf(static_cast<double>(I) / S + 1.0);
    const int64_t Last = TruncOf(static_cast<double>(I + 1) / S + 1.0) - 1;
    if (Last - First + 1 < 1 || Last - First + 1 > 2) return false;
    Blocks.push_back(TBlock{static_cast<int32_t>(First), static_cast<int32_t>(Last - First + 1)});
  }
  return true;
}

// Sum / Count (Count 1, 2 or 4) rounded half to even, low 8 bits.
constexpr uint8_t Average(int32_t Sum, int32_t Count) {
  const int32_t Shift = Count >> 1;       // 0, 1, 2
  const int32_t Quotient = Sum >> Shift;  // floor
  const int32_t Twice = 2 * (Sum - (Quotient << Shift));
  const int32_t Up = static_cast<int32_t>(Twice > Count) | (static_cast<int32_t>(Twice == Count) & Quotient);
  return static_cast<uint8_t>((Quotient + Up) & 0xFF);
}

// The parts one source pixel adds to a block's sums: its stored red, green
// and blue, or those of its colour-table entry.
struct TTrueColourPixels {
  static constexpr size_t kSize = 3;
  void Add(const uint8_t* P, int32_t* Sum) const {
    Sum[0] += P[0];
    Sum[1] += P[1];
    Sum[2] += P[2];
  }
};

struct TIndexPixels {
  static constexpr size_t kSize = 1;
  explicit TIndexPixels(const TColorTable& Table) {
    for (size_t E = 0; E < 256; ++E) {
      FRed[E] = Table[E].rgbRed;
      FGreen[E] = Table[E].rgbGreen;
      FBlue[E] = Table[E].rgbBlue;
    }
  }
  void Add(const uint8_t* P, int32_t* Sum) const {
    Sum[0] += FRed[*P];
    Sum[1] += FGreen[*P];
    Sum[2] += FBlue[*P];
  }
  int32_t FRed[256];
  int32_t FGreen[256];
  int32_t FBlue[256];
};

// The averaged red, green and blue of every kept destination pixel, handed
// to Store with the place of the pixel: destination row Y is written from the
// start of the picture's row Y, which no later row reads (the source rows of
// destination row Y lie below row Y, and its own are summed before it is
// written). For each destination row the parts of its source rows are first
// summed column by column (a pixel outside the picture counts as red -1,
// green 0, blue 0), then each destination pixel adds up the one or two
// columns of its block.
template <typename TPixels, typename TStore>
void AverageBlocks(const TPixels& Pixels, uint8_t* Picture, int32_t W, int32_t H, const std::vector<TBlock>& Columns,
                   const std::vector<TBlock>& Rows, TStore&& Store) {
  const size_t Stride = static_cast<size_t>(W) * TPixels::kSize;
  int32_t Reach = 0;
  for (const TBlock& Column : Columns) Reach = std::max(Reach, Column.First + Column.Count);
  std::vector<int32_t> Sums(3 * static_cast<size_t>(std::max(Reach, W)));
  uint8_t* Target = Picture;
  for (const TBlock& Row : Rows) {
    std::fill(Sums.begin(), Sums.end(), 0);
    for (int32_t Ys = Row.First; Ys < Row.First + Row.Count; ++Ys) {
      if (Ys >= H) {
        for (size_t X = 0; X < Sums.size(); X += 3) Sums[X] -= 1;
        continue;
      }
      const uint8_t* Line = Picture + static_cast<size_t>(Ys) * Stride;
      for (size_t X = 0; X < static_cast<size_t>(W); ++X) Pixels.Add(Line + X * TPixels::kSize, &Sums[3 * X]);
      for (size_t X = static_cast<size_t>(W); 3 * X < Sums.size(); ++X) Sums[3 * X] -= 1;
    }
    uint8_t* Out = Target;
    Target += Stride;
    for (const TBlock& Column : Columns) {
      const int32_t* First = &Sums[3 * static_cast<size_t>(Column.First)];
      int32_t Red = First[0], Green = First[1], Blue = First[2];
      if (Column.Count == 2) {
        Red += First[3];
        Green += First[4];
        Blue += First[5];
      }
      const int32_t Count = Row.Count * Column.Count;
      Store(Out, Average(Red, Count), Average(Green, Count), Average(Blue, Count));
    }
  }
}

// Whether every block lies inside a side of Side pixels.
bool Inside(const std::vector<TBlock>& Blocks, int32_t Side) {
  for (const TBlock& Block : Blocks)
    if (Block.First + Block.Count > Side) return false;
  return true;
}

// Sum / Count (Count 1, 2 or 4) of each part of a packed sum (three parts
// 21 bits apart, see AveragePackedBlocks), rounded half to even and returned
// as red | green << 8 | blue << 16. The rounding is Average's, done on the
// three parts at once: a quotient goes up when the bit just below it is set
// and either some lower bit or the quotient's own lowest bit is set.
inline uint32_t PackedAverage(uint64_t Sum, int32_t Count) {
  constexpr uint64_t kLowest = 1 | uint64_t{1} << 21 | uint64_t{1} << 42;  // bit 0 of each part
  const int Shift = Count >> 1;                                            // 0, 1, 2
  uint64_t Result = Sum;
  if (Shift > 0) {
    const uint64_t Quotient = Sum >> Shift & (((uint64_t{1} << (21 - Shift)) - 1) * kLowest);
    const uint64_t Half = Sum >> (Shift - 1) & kLowest;
    const uint64_t Lower = Sum & (((uint64_t{1} << (Shift - 1)) - 1) * kLowest);
    Result = Quotient + (Half & (Lower | Quotient));
  }
  return static_cast<uint32_t>((Result & 0xFF) | (Result >> 13 & 0xFF00) | (Result >> 26 & 0xFF0000));
}

// Sums[X] = Part(byte X) of the block row's one or two source lines, each
// Stride bytes long.
template <typename TSum, typename TPart>
void SumBlockRow(const uint8_t* Picture, size_t Stride, const TBlock& Row, std::vector<TSum>& Sums, TPart Part) {
  const uint8_t* Line = Picture + static_cast<size_t>(Row.First) * Stride;
  if (Row.Count == 2) {
    const uint8_t* Next = Line + Stride;
    for (size_t X = 0; X < Stride; ++X) Sums[X] = static_cast<TSum>(Part(Line[X]) + Part(Next[X]));
  } else {
    for (size_t X = 0; X < Stride; ++X) Sums[X] = Part(Line[X]);
  }
}

// The averaged colours of an 8-bit picture whose blocks all lie inside it,
// handed to Store as red | green << 8 | blue << 16 with their place, as in
// AverageBlocks. The three parts of each colour-table entry are packed into
// one word, 21 bits apart, so that one addition sums all three (a block sums
// at most four parts of 255, far below 2^21).
template <typename TStore>
void AveragePackedBlocks(const TColorTable& Table, uint8_t* Picture, int32_t W, const std::vector<TBlock>& Columns,
                         const std::vector<TBlock>& Rows, TStore&& Store) {
  uint64_t Packed[256];
  for (size_t E = 0; E < 256; ++E)
    Packed[E] = uint64_t{Table[E].rgbRed} | uint64_t{Table[E].rgbGreen} << 21 | uint64_t{Table[E].rgbBlue} << 42;
  const size_t Width = static_cast<size_t>(W);
  std::vector<uint64_t> Sums(Width);
  uint8_t* Target = Picture;
  for (const TBlock& Row : Rows) {
    SumBlockRow(Picture, Width, Row, Sums, [&Packed](uint8_t Index) { return Packed[Index]; });
    uint8_t* Out = Target;
    Target += Width;
    for (const TBlock& Column : Columns) {
      uint64_t Sum = Sums[static_cast<size_t>(Column.First)];
      if (Column.Count == 2) Sum += Sums[static_cast<size_t>(Column.First) + 1];
      Store(Out, PackedAverage(Sum, Row.Count * Column.Count));
    }
  }
}

// Average's results for a block of four, two or one source pixels of a true
// colour picture, indexed by the block's sum of one colour part (at most
// 4 x 255): one lookup per stored byte instead of the rounding steps.
struct TRoundedAverages {
  static constexpr int32_t kLargestSum = 4 * 255;
  constexpr TRoundedAverages() {
    for (int32_t Shift = 0; Shift < 3; ++Shift)
      for (int32_t Sum = 0; Sum <= kLargestSum; ++Sum)
        Table[static_cast<size_t>(Shift)][static_cast<size_t>(Sum)] = Average(Sum, 1 << Shift);
  }
  uint8_t Table[3][kLargestSum + 1] = {};
};
constexpr TRoundedAverages kRoundedAverages;

// AverageBlocks for a true-colour picture whose blocks all lie inside it,
// written in place the same way. The source rows of each destination row are
// summed byte by byte (red, green and blue alike), then each stored byte adds
// the one or two columns of its block and looks its rounded average up.
void AverageTrueColourBlocks(uint8_t* Picture, int32_t W, const std::vector<TBlock>& Columns,
                             const std::vector<TBlock>& Rows) {
  const size_t Stride = static_cast<size_t>(W) * 3;
  std::vector<uint16_t> Sums(Stride);
  uint8_t* Out = Picture;
  for (const TBlock& Row : Rows) {
    SumBlockRow(Picture, Stride, Row, Sums, [](uint8_t Byte) { return Byte; });
    uint8_t* Pixel = Out;
    Out += Stride;
    for (const TBlock& Column : Columns) {
      const uint16_t* Sum = &Sums[3 * static_cast<size_t>(Column.First)];
      const uint8_t* Rounded = kRoundedAverages.Table[(Row.Count * Column.Count) >> 1];
      if (Column.Count == 2) {
        Pixel[0] = Rounded[Sum[0] + Sum[3]];
        Pixel[1] = Rounded[Sum[1] + Sum[4]];
        Pixel[2] = Rounded[Sum[2] + Sum[5]];
      } else {
        Pixel[0] = Rounded[Sum[0]];
        Pixel[1] = Rounded[Sum[1]];
        Pixel[2] = Rounded[Sum[2]];
      }
      Pixel += 3;
    }
  }
}

}  // namespace

TPictureHalver::TPictureHalver() = default;
TPictureHalver::~TPictureHalver() = default;

void TPictureHalver::Rest() { FNearest.reset(); }

void TPictureHalver::Halve(TBitmap& Bitmap) {
  const int32_t W = Bitmap.Width();
  const int32_t H = Bitmap.Height();
  if (W / 2 == 0 || H / 2 == 0) {  // nothing is kept
    Bitmap.SetSize(W / 2, H / 2);
    return;
  }
  std::vector<TBlock> Columns, Rows;
  if (!BlocksOf(W, W / 2, Columns) || !BlocksOf(H, H / 2, Rows)) {
    xShrinkPicture(Bitmap.Canvas(), Bitmap.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
    Bitmap.SetSize(W / 2, H / 2);
    return;
  }
  // The halved rows are written over the picture's own rows (see
  // AverageBlocks), and the cut to W div 2 x H div 2 keeps them.
  uint8_t* Picture = Bitmap.ScanLine(0).data();  // the rows follow each other
  if (Bitmap.PixelFormat() == TPixelFormat::pf8bit) {
    if (!FNearest)
      FNearest = std::make_unique<TNearestColor>(Bitmap.ColorTable());
    else if (FNearest->Table() != Bitmap.ColorTable())
      FNearest->SetTable(Bitmap.ColorTable());
    TNearestColor& Nearest = *FNearest;
    if (Inside(Columns, W) && Inside(Rows, H))
      AveragePackedBlocks(Bitmap.ColorTable(), Picture, W, Columns, Rows,
                          [&Nearest](uint8_t*& Out, uint32_t Colour) { *Out++ = Nearest.Find(Colour); });
    else
      AverageBlocks(TIndexPixels(Bitmap.ColorTable()), Picture, W, H, Columns, Rows,
                    [&Nearest](uint8_t*& Out, uint8_t R, uint8_t G, uint8_t B) { *Out++ = Nearest.Find(R, G, B); });
  } else if (Inside(Columns, W) && Inside(Rows, H)) {
    AverageTrueColourBlocks(Picture, W, Columns, Rows);
  } else {
    AverageBlocks(TTrueColourPixels(), Picture, W, H, Columns, Rows,
                  [](uint8_t*& Out, uint8_t R, uint8_t G, uint8_t B) {
                    Out[0] = R;
                    Out[1] = G;
                    Out[2] = B;
                    Out += 3;
                  });
  }
  Bitmap.SetSize(W / 2, H / 2);
}

}  // namespace skw
