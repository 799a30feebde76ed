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
// so reading from a copy of the picture equals the resampler's in-place work.
// For 8-bit pictures the averages are colours and the stored index is the
// nearest colour-table entry (the same search the canvas uses); the searches
// of the last few colour tables are kept from picture to picture.
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
inline uint8_t Average(int32_t Sum, int32_t Count) {
  const int32_t Shift = Count >> 1;  // 0, 1, 2
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
// to Store in row order. For each destination row the parts of its source
// rows are first summed column by column (a pixel outside the picture counts
// as red -1, green 0, blue 0), then each destination pixel adds up the one or
// two columns of its block.
template <typename TPixels, typename TStore>
void AverageBlocks(const TPixels& Pixels, const uint8_t* Source, int32_t W, int32_t H,
                   const std::vector<TBlock>& Columns, const std::vector<TBlock>& Rows, TStore&& Store) {
  const size_t Stride = static_cast<size_t>(W) * TPixels::kSize;
  int32_t Reach = 0;
  for (const TBlock& Column : Columns) Reach = std::max(Reach, Column.First + Column.Count);
  std::vector<int32_t> Sums(3 * static_cast<size_t>(std::max(Reach, W)));
  for (const TBlock& Row : Rows) {
    std::fill(Sums.begin(), Sums.end(), 0);
    for (int32_t Ys = Row.First; Ys < Row.First + Row.Count; ++Ys) {
      if (Ys >= H) {
        for (size_t X = 0; X < Sums.size(); X += 3) Sums[X] -= 1;
        continue;
      }
      const uint8_t* Line = Source + static_cast<size_t>(Ys) * Stride;
      for (size_t X = 0; X < static_cast<size_t>(W); ++X) Pixels.Add(Line + X * TPixels::kSize, &Sums[3 * X]);
      for (size_t X = static_cast<size_t>(W); 3 * X < Sums.size(); ++X) Sums[3 * X] -= 1;
    }
    for (const TBlock& Column : Columns) {
      const int32_t* First = &Sums[3 * static_cast<size_t>(Column.First)];
      int32_t Red = First[0], Green = First[1], Blue = First[2];
      if (Column.Count == 2) {
        Red += First[3];
        Green += First[4];
        Blue += First[5];
      }
      const int32_t Count = Row.Count * Column.Count;
      Store(Average(Red, Count), Average(Green, Count), Average(Blue, Count));
    }
  }
}

// Whether every block lies inside a side of Side pixels.
bool Inside(const std::vector<TBlock>& Blocks, int32_t Side) {
  for (const TBlock& Block : Blocks)
    if (Block.First + Block.Count > Side) return false;
  return true;
}

// AverageBlocks for an 8-bit picture whose blocks all lie inside it: the
// three parts of each colour-table entry are packed into one word, 21 bits
// apart, so that one addition sums all three (a block sums at most four
// parts of 255, far below 2^21).
template <typename TStore>
void AveragePackedBlocks(const TColorTable& Table, const uint8_t* Source, int32_t W,
                         const std::vector<TBlock>& Columns, const std::vector<TBlock>& Rows, TStore&& Store) {
  constexpr uint64_t kLane = (uint64_t{1} << 21) - 1;
  uint64_t Packed[256];
  for (size_t E = 0; E < 256; ++E)
    Packed[E] = uint64_t{Table[E].rgbRed} | uint64_t{Table[E].rgbGreen} << 21 | uint64_t{Table[E].rgbBlue} << 42;
  const size_t Width = static_cast<size_t>(W);
  std::vector<uint64_t> Sums(Width);
  for (const TBlock& Row : Rows) {
    const uint8_t* Line = Source + static_cast<size_t>(Row.First) * Width;
    if (Row.Count == 2) {
      const uint8_t* Next = Line + Width;
      for (size_t X = 0; X < Width; ++X) Sums[X] = Packed[Line[X]] + Packed[Next[X]];
    } else {
      for (size_t X = 0; X < Width; ++X) Sums[X] = Packed[Line[X]];
    }
    for (const TBlock& Column : Columns) {
      uint64_t Sum = Sums[static_cast<size_t>(Column.First)];
      if (Column.Count == 2) Sum += Sums[static_cast<size_t>(Column.First) + 1];
      const int32_t Count = Row.Count * Column.Count;
      Store(Average(static_cast<int32_t>(Sum & kLane), Count), Average(static_cast<int32_t>(Sum >> 21 & kLane), Count),
            Average(static_cast<int32_t>(Sum >> 42), Count));
    }
  }
}

}  // namespace

// Nearest-entry searches of the colour tables met recently, the latest
// first. Packs use few palettes, and a search fills its cells as it is used,
// so keeping a few of them saves building the same cells picture after picture.
class TPictureHalver::TNearestMemo {
 public:
  TNearestColor& Use(const TColorTable& Table) {
    auto Found = std::find_if(FSearches.begin(), FSearches.end(),
                              [&Table](const TSearch& Search) { return Search.Table == Table; });
    if (Found == FSearches.end()) {
      if (FSearches.size() == kKept) FSearches.pop_back();
      FSearches.insert(FSearches.begin(), TSearch{Table, std::make_unique<TNearestColor>(Table)});
    } else if (Found != FSearches.begin()) {
      std::rotate(FSearches.begin(), Found, Found + 1);
    }
    return *FSearches.front().Search;
  }

 private:
  static constexpr size_t kKept = 16;
  struct TSearch {
    TColorTable Table;
    std::unique_ptr<TNearestColor> Search;
  };
  std::vector<TSearch> FSearches;
};

TPictureHalver::TPictureHalver() = default;
TPictureHalver::~TPictureHalver() = default;

void TPictureHalver::Halve(TBitmap& Bitmap) {
  const int32_t W = Bitmap.Width();
  const int32_t H = Bitmap.Height();
  std::vector<TBlock> Columns, Rows;
  if (!BlocksOf(W, W / 2, Columns) || !BlocksOf(H, H / 2, Rows)) {
    xShrinkPicture(Bitmap.Canvas(), Bitmap.Canvas(), 1, 1, W + 1, H + 1, 0, 0, W / 2, H / 2);
    Bitmap.SetSize(W / 2, H / 2);
    return;
  }
  const bool EightBit = Bitmap.PixelFormat() == TPixelFormat::pf8bit;
  const size_t PixelSize = EightBit ? 1 : 3;
  const uint8_t* Source = Bitmap.PixelBytes().data();
  std::vector<uint8_t> Halved(static_cast<size_t>(W / 2) * static_cast<size_t>(H / 2) * PixelSize);
  uint8_t* Out = Halved.data();
  if (EightBit) {
    if (!FNearest) FNearest = std::make_unique<TNearestMemo>();
    TNearestColor& Nearest = FNearest->Use(Bitmap.ColorTable());
    const auto Store = [&Out, &Nearest](uint8_t R, uint8_t G, uint8_t B) { *Out++ = Nearest.Find(R, G, B); };
    if (Inside(Columns, W) && Inside(Rows, H))
      AveragePackedBlocks(Bitmap.ColorTable(), Source, W, Columns, Rows, Store);
    else
      AverageBlocks(TIndexPixels(Bitmap.ColorTable()), Source, W, H, Columns, Rows, Store);
  } else {
    AverageBlocks(TTrueColourPixels(), Source, W, H, Columns, Rows, [&Out](uint8_t R, uint8_t G, uint8_t B) {
      Out[0] = R;
      Out[1] = G;
      Out[2] = B;
      Out += 3;
    });
  }
  Bitmap.SetSize(W / 2, H / 2);
  const size_t RowBytes = static_cast<size_t>(W / 2) * PixelSize;
  for (int32_t Y = 0; Y < H / 2; ++Y)
    std::copy_n(Halved.data() + static_cast<size_t>(Y) * RowBytes, RowBytes, Bitmap.ScanLine(Y).begin());
}

}  // namespace skw
