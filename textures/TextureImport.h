// The pieces of the BMP import (TTextureEngine::ImportBitmaps), one file each:
// sorting the picture listing and cutting a picture's name into texture name,
// kind token and size (TextureImportNames.cpp), the checks a picture must pass
// before it replaces a texture (TextureImportChecks.cpp), the picture's palette
// (TextureImportPalette.cpp), the chain of mip levels (TextureImportLevels.cpp),
// the deferred placement of new data in the container (TextureImportPatch.cpp)
// and the run itself (TextureImport.cpp). They are declared here so that tests
// can reach each step on its own.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/io/MemoryStream.h"
#include "archive/core/StringList.h"
#include "textures/Bitmap.h"

namespace skw {

// The integer conversion's error: "'<text>' is not a valid integer value". It
// stops the whole run.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& Text) : std::runtime_error("'" + Text + "' is not a valid integer value") {}
};

// Text in decimal (an optional sign, then digits) to a 32-bit integer; anything
// else, including an empty text or a value out of range, raises EConvertError.
int32_t StrToInt(const std::string& Text);

// Orders picture names by their bytes with the letters A-Z folded to a-z; equal
// names keep their listing order.
bool PictureNameLess(const std::string& Left, const std::string& Right);
void SortPictureNames(kst::TStringList& Names);

// Picture kinds from the kind token (and from an 8-bit picture).
inline constexpr int32_t kPalettisedKind = 0;
inline constexpr int32_t kTrueColourKind = 1;

// What an archive entry's name says.
enum class TNameVerdict {
  nvSkip,       // not ".bmp" or the pack's logo: the entry is passed over
  nvEndImport,  // kind token neither "BIN" nor "PAL": the import ends here
  nvPicture,    // a texture picture, cut into a TPictureName
};

struct TPictureName {
  std::string TextureName;  // with the "-D" mark when the name carries it
  int32_t Kind = kTrueColourKind;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Cuts an entry name of the form NAME[-D]-KIND-WxH.bmp. The width and height
// texts are converted only for a picture (nvPicture); a text that is not a
// decimal integer raises EConvertError. KindToken, when given, receives the
// three characters read as the kind token (for telling why an import ended).
TNameVerdict CutPictureName(const std::string& EntryName, TPictureName& Picture, std::string* KindToken = nullptr);

// Mip count of a picture of the given height: one level per halving while the
// height stays above 2, minus one (64 gives 4, 3 gives 0, 2 or less gives -1).
int32_t NewMipCount(int32_t Height);

// The checks a loaded picture must pass to replace a texture of the given
// current size, in their fixed order: kind (an 8-bit picture counts as
// palettised; the palettised container takes 8-bit pictures only, the
// true-colour one anything else), width and height as the name says, and the
// whole-number ratio of width to height equal to the texture's. A texture of
// height 0 refuses every picture.
bool PictureFits(const TBitmap& Bitmap, const TPictureName& Name, bool BinContainer, int32_t TextureWidth,
                 int32_t TextureHeight);
// The same checks, answering which one failed and with which values (one line
// for the pack's author), or an empty text when the picture fits.
std::string PictureMisfit(const TBitmap& Bitmap, const TPictureName& Name, bool BinContainer, int32_t TextureWidth,
                          int32_t TextureHeight);

// The index's texture names nearest to Name, best first, at most Limit: the
// same letters in another case, then names within a small edit distance
// (letters compared without case). For telling an author what a picture that
// matches no texture was probably meant for.
std::vector<std::string> NearestTextureNames(const kst::TStringList& Index, const std::string& Name, size_t Limit = 3);

// One palette as the container stores it: 256 entries of red, green, blue and
// the fourth byte.
using TPaletteBytes = std::array<uint8_t, 1024>;

// The palette of an 8-bit picture: its colour table in the container's order.
TPaletteBytes PaletteOfPicture(const TBitmap& Bitmap);

// Bytes of the level chain the picture gives: every level while the height
// stays above 2, each level halving width and height, BytesPerPixel per pixel.
int64_t LevelChainSize(int32_t Width, int32_t Height, int32_t BytesPerPixel);

// Halves pictures for their next level: the same pixels as the block
// resampler (xShrinkPicture) on the picture's own canvas with source 1, 1,
// w + 1, h + 1 and destination 0, 0, w div 2, h div 2, followed by cutting the
// picture to w div 2 × h div 2, computed without going pixel by pixel through
// the canvas. One halver serves any number of pictures; it keeps the search
// for nearest colour-table entries, ready for the next picture, until told to
// rest.
class TPictureHalver {
 public:
  TPictureHalver();
  ~TPictureHalver();
  TPictureHalver(const TPictureHalver&) = delete;
  TPictureHalver& operator=(const TPictureHalver&) = delete;

  void Halve(TBitmap& Bitmap);

  // Lets go of the nearest-colour search and its remembered answers; the next
  // 8-bit picture builds it again.
  void Rest();

 private:
  std::unique_ptr<TNearestColor> FNearest;
};

// Writes the level chain of the picture to Out (LevelChainSize bytes): each
// level's rows top row first, then the picture halved in place for the next
// level. The bitmap is left at the size of its last level.
void MakeLevels(TBitmap& Bitmap, uint8_t* Out, TPictureHalver& Halver);
void MakeLevels(TBitmap& Bitmap, uint8_t* Out);

}  // namespace skw
