// Flipsize: the picture helpers of the texture engine. xShrinkPicture resamples
// a rectangle of one canvas into a smaller rectangle of another by averaging
// blocks of source pixels; the import makes every mip level below the first by
// calling it on a picture's own canvas. xSeparateColor and xRGB split a colour
// value into red, green and blue and join them again; FlipDown turns a bitmap
// upside down as a 24-bit picture.
#pragma once
#include <cstdint>

#include "textures/Bitmap.h"

namespace skw {

// Averages the source rectangle (left and top inclusive, right and bottom
// exclusive) into the destination rectangle (all four edges inclusive). Each
// destination pixel is written as soon as it is computed, so source and
// destination may be the same canvas as long as the blocks still to be read
// lie below or right of the pixels already written (as with source 1, 1, w + 1,
// h + 1 and destination 0, 0, w div 2, h div 2). The arithmetic is fixed to the
// bit: 32-bit float scales and sums, quotients in double precision, a 32-bit
// float factor, round half to even, low 8 bits per part.
void xShrinkPicture(TCanvas& Source, TCanvas& Dest, int32_t SourceLeft, int32_t SourceTop, int32_t SourceRight,
                    int32_t SourceBottom, int32_t DestLeft, int32_t DestTop, int32_t DestRight, int32_t DestBottom);

// Red = Color mod 256, green = (Color div 256) mod 256, blue = Color div 65536,
// dividing toward zero with the remainder taking the dividend's sign: -1 gives
// red -1, green 0, blue 0.
void xSeparateColor(TColor Color, int32_t& Red, int32_t& Green, int32_t& Blue);

// Red + Green × 256 + Blue × 65536, the parts not masked (wrapping to 32 bits).
int32_t xRGB(int32_t Red, int32_t Green, int32_t Blue);

// Turns the bitmap upside down; afterwards it is a 24-bit picture.
void FlipDown(TBitmap& Bitmap);

}  // namespace skw
