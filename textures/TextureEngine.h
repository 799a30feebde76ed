// TTextureEngine: the texture engine's operations and the window state they
// work on. The main window hands over its container stream, its texture index,
// the container kind and path, and its front-end; the engine reads and patches
// the stream, fills and updates the index, and reports only through the
// front-end. The pointers stay the window's: the engine neither owns nor frees
// them. New operations of the engine (and the further window state they need)
// are added here as members.
#pragma once
#include <string>

#include "archive/MemoryStream.h"
#include "archive/StringList.h"
#include "textures/EngineFrontEnd.h"
#include "textures/ImportObserver.h"
#include "textures/PictureSource.h"

namespace skw {

class TTextureEngine {
 public:
  // The whole container file, loaded by the run before the scan.
  kst::TMemoryStream* ContainerStream = nullptr;
  // The texture index (seven lines per texture, see TextureIndex.h).
  kst::TStringList* TextureList = nullptr;
  // True for the true-colour container ("bin"), false for the palettised one.
  bool BinContainer = true;
  std::string ContainerPath;
  // Where reports go; without one they are dropped.
  TEngineFrontEnd* FrontEnd = nullptr;
  // The pack's pictures (the archive's "*.bmp" entries), for ImportBitmaps.
  TPictureSource* Pictures = nullptr;
  // Told each entry's outcome by ImportBitmaps (ImportObserver.h); optional.
  TImportObserver* Observer = nullptr;

  // Walks the container's records once and rebuilds TextureList from them. A
  // container the walk cannot accept is reported in an error box captioned
  // ContainerPath, the cursor goes back to the default arrow and the index is
  // left empty; the caller is not told (the run goes on either way).
  void ScanTextures(const std::string& ContainerPath);

  // Writes every picture of Pictures named after an indexed texture into the
  // container: header, palette choice (palettised container), the full chain
  // of mip levels, the container resized when the data size changes, and
  // TextureList kept in step. A picture of the wrong kind or shape is reported
  // in a warning box captioned with its entry name and passed over; a kind
  // token other than "BIN" or "PAL" ends the import. Errors of the name's size
  // conversion (EConvertError), of the extraction and of the picture's loading
  // (EInvalidBitmap) leave as exceptions, the container holding every texture
  // written before. Each listed entry's outcome goes to Observer, when set,
  // also for the entry whose error leaves and every entry behind it.
  void ImportBitmaps();

 private:
  TEngineFrontEnd& Reports();
};

}  // namespace skw
