// TColor and TCanvas: the colour value and the drawing surface through which the
// picture helpers read and write single pixels of a TBitmap. A colour holds red
// in its lowest byte, then green, then blue; reading a pixel outside the picture
// gives -1 (all bits set). Every bitmap owns exactly one canvas, so the canvas
// cannot be copied: it always draws on the bitmap that owns it.
#pragma once
#include <cstdint>

namespace skw {

using TColor = int32_t;

class TBitmap;

class TCanvas {
 public:
  explicit TCanvas(TBitmap& Owner) : FOwner(&Owner) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // Colour of pixel (X, Y) counted from the top-left corner; -1 outside.
  TColor Pixels(int32_t X, int32_t Y) const;
  // Writes a pixel; 8-bit pictures store the nearest colour-table entry. A
  // pixel outside the picture is not written.
  void SetPixels(int32_t X, int32_t Y, TColor Color);
  // Size of the drawing surface: the owning bitmap's width and height.
  int32_t Width() const;
  int32_t Height() const;

 private:
  friend class TBitmap;
  TBitmap* FOwner;
};

}  // namespace skw
