// TCanvas: forwards per-pixel access to the owning bitmap, which knows its
// storage and colour table.
#include "textures/BitmapCanvas.h"

#include "textures/Bitmap.h"

namespace skw {

TColor TCanvas::Pixels(int32_t X, int32_t Y) const { return FOwner->Pixel(X, Y); }

void TCanvas::SetPixels(int32_t X, int32_t Y, TColor Color) { FOwner->SetPixel(X, Y, Color); }

int32_t TCanvas::Width() const { return FOwner->Width(); }

int32_t TCanvas::Height() const { return FOwner->Height(); }

}  // namespace skw
