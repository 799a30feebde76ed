// ImportBitmaps: the run over the pack's pictures. The listing is sorted, each
// entry's name is cut, and a texture picture is written into every index group
// of its texture name: extracted and loaded anew for each group, checked,
// header rewritten, palette chosen, levels made, index lines updated. The
// container edits go through a TContainerPatch and are laid out once at the
// end (also when an error stops the run), which gives the same container as
// moving its rest after every texture, without the repeated moves. The
// window's message queue is pumped at the same points as always: after the
// texture name is shown, after the header is written, after the levels are
// made, after each texture and after each entry. Memory running out anywhere in
// the import is reported with the archive library's text for it.
#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "archive/Err_msgs.h"
#include "archive/Kstgbls.h"

#include "textures/TextureContainer.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"
#include "textures/TextureImportPatch.h"
#include "textures/TextureIndex.h"

namespace skw {

namespace {

inline constexpr char kWrongPictureText[] = "Wrong color depth or texture size.";

// One picture's pass over the index.
class TPictureImport {
 public:
  TPictureImport(TTextureEngine& Engine, TEngineFrontEnd& UI, TContainerPatch& Patch)
      : FEngine(Engine), FUI(UI), FPatch(Patch) {}

  // Writes the picture into every group named after its texture; a picture
  // that does not fit a group is reported and not tried on further groups.
  void Run(const std::string& Entry, const TPictureName& Picture) {
    FUI.SetLabel2(Picture.TextureName);
    FUI.ProcessMessages();
    kst::TStringList& Index = *FEngine.TextureList;
    for (int Group = 0; Group < TextureCount(Index); ++Group) {
      if (IndexLine(Index, Group, ilName) != Picture.TextureName) continue;
      if (!WriteTexture(Entry, Picture, Group)) {
        FUI.MessageBox(Entry, kWrongPictureText, TMessageIcon::Warning);
        return;
      }
    }
  }

 private:
  bool WriteTexture(const std::string& Entry, const TPictureName& Picture, int Group) {
    kst::TStringList& Index = *FEngine.TextureList;
    const bool Bin = FEngine.BinContainer;
    const TTextureEntry Texture = TextureAt(Index, Group);
    TBitmap Bitmap;
    Bitmap.LoadFromBuffer(FEngine.Pictures->ExtractPicture(Entry));
    if (!PictureFits(Bitmap, Picture, Bin, Texture.Width, Texture.Height)) return false;

    const int32_t Width = Bitmap.Width();
    const int32_t Height = Bitmap.Height();
    const int32_t MipCount = NewMipCount(Height);
    FPatch.WriteHeader(Group, MipCount, Width, Height);
    FUI.ProcessMessages();

    int32_t PaletteNumber = 0;
    if (!Bin) {
      PaletteNumber = FPatch.ChoosePalette(PaletteOfPicture(Bitmap));
      FPatch.WritePaletteNumber(Group, PaletteNumber);
    }
    const int32_t BytesPerPixel = Bin ? 3 : 1;
    if (Bitmap.BytesPerPixel() != BytesPerPixel)
      throw std::logic_error("Picture depth does not match the container");
    MakeLevels(Bitmap, FPatch.NewData(Group, LevelChainSize(Width, Height, BytesPerPixel)), FHalver);
    FPatch.DataDone(Group);
    FUI.ProcessMessages();

    SetIndexNumber(Index, Group, ilWidth, Width);
    SetIndexNumber(Index, Group, ilHeight, Height);
    if (!Bin) SetIndexNumber(Index, Group, ilPaletteNumber, PaletteNumber);
    SetIndexNumber(Index, Group, ilMipCount, MipCount);
    FUI.ProcessMessages();
    return true;
  }

  TTextureEngine& FEngine;
  TEngineFrontEnd& FUI;
  TContainerPatch& FPatch;
  TPictureHalver FHalver;
};

// The container's growth the pictures' names promise: every texture named
// taking the level chain of the named size, as if every picture were accepted.
// Only a hint for the room kept free while the import runs, so sizes no
// picture can have are passed over and the hint never exceeds the container's
// own size (a larger growth takes the held-aside way for the rest).
int64_t ExpectedGrowth(const kst::TStringList& Names, const kst::TStringList& Index, bool BinContainer,
                       int64_t ContainerSize) {
  constexpr int32_t kLargestSide = 1 << 15;
  const int32_t BytesPerPixel = BinContainer ? 3 : 1;
  std::vector<int64_t> Sizes;
  for (int Group = 0; Group < TextureCount(Index); ++Group) {
    const TTextureEntry Entry = TextureAt(Index, Group);
    Sizes.push_back(PixelDataSize(Entry.Width, Entry.Height, Entry.MipCount, BytesPerPixel));
  }
  int64_t Growth = 0;
  try {
    for (const std::string& Entry : Names) {
      TPictureName Picture;
      const TNameVerdict Verdict = CutPictureName(Entry, Picture);
      if (Verdict == TNameVerdict::nvEndImport) break;
      if (Verdict != TNameVerdict::nvPicture || Picture.Width > kLargestSide || Picture.Height > kLargestSide)
        continue;
      const int64_t Size = LevelChainSize(Picture.Width, Picture.Height, BytesPerPixel);
      for (size_t Group = 0; Group < Sizes.size(); ++Group) {
        if (IndexLine(Index, static_cast<int>(Group), ilName) != Picture.TextureName) continue;
        Growth += std::max<int64_t>(Size - Sizes[Group], 0);
        Sizes[Group] = Size;
      }
    }
  } catch (const EConvertError&) {
    // The run stops at this name; nothing behind it is written.
  }
  return std::min(Growth, ContainerSize);
}

}  // namespace

void TTextureEngine::ImportBitmaps() {
  if (ContainerStream == nullptr || TextureList == nullptr || Pictures == nullptr)
    throw std::logic_error("ImportBitmaps needs a container stream, a texture list and pictures");
  TEngineFrontEnd& UI = Reports();
  kst::TStringList Names = Pictures->ListBitmaps();
  SortPictureNames(Names);
  UI.SetProgressMax(static_cast<int>(Names.size()));

  TContainerPatch Patch(*ContainerStream, *TextureList, BinContainer);
  Patch.ReserveGap(ExpectedGrowth(Names, *TextureList, BinContainer, ContainerStream->Size()));
  TPictureImport Import(*this, UI, Patch);
  try {
    for (const std::string& Entry : Names) {
      TPictureName Picture;
      const TNameVerdict Verdict = CutPictureName(Entry, Picture);
      if (Verdict == TNameVerdict::nvEndImport) break;
      if (Verdict == TNameVerdict::nvPicture) Import.Run(Entry, Picture);
      UI.StepProgressBy(1);
      UI.ProcessMessages();
    }
  } catch (const std::bad_alloc&) {
    // Reported in the archive library's words, as its own failed allocations are.
    Patch.Commit();
    throw kst::E_RAISE(kst::ErrorText(kst::ErrOutOfMemory));
  } catch (...) {
    Patch.Commit();
    throw;
  }
  Patch.Commit();
}

}  // namespace skw
