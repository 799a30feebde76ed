// ImportBitmaps: the run over the pack's pictures. The listing is sorted, each
// entry's name is cut, and a texture picture is written into every index group
// of its texture name: extracted and loaded anew for each group, checked,
// header rewritten, palette chosen, levels made, index lines updated. The
// container edits go through a TContainerPatch and are laid out once at the
// end (also when an error stops the run), which gives the same container as
// moving its rest after every texture, without the repeated moves. The
// window's message queue is pumped at the same points as always: after the
// texture name is shown, after the header is written, after the levels are
// made, after each texture and after each entry. In a true-colour container
// a picture's level chain is written on a second thread while the next
// picture is extracted (TPictureAhead), which the run's outcomes, messages and
// bytes do not show. Each entry's outcome is told to the engine's observer,
// when there is one, as the run decides it. Memory running out anywhere in
// the import is reported with the archive library's text for it.
#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"

#include "textures/BackgroundTask.h"
#include "textures/PictureAhead.h"
#include "textures/TextureContainer.h"
#include "textures/TextureEngine.h"
#include "textures/TextureImport.h"
#include "textures/TextureImportPatch.h"
#include "textures/TextureIndex.h"

namespace skw {

namespace {

inline constexpr char kWrongPictureText[] = "Wrong color depth or texture size.";

// The run's reports to the engine's observer; without one nothing is built.
class TOutcomes {
 public:
  explicit TOutcomes(TImportObserver* Observer) : FObserver(Observer) {}

  // A report to fill for Entry, or nothing when nobody listens.
  std::optional<TPictureReport> Start(const std::string& Entry) const {
    if (FObserver == nullptr) return std::nullopt;
    TPictureReport Report;
    Report.EntryName = Entry;
    return Report;
  }
  void Tell(const std::optional<TPictureReport>& Report) const {
    if (Report) FObserver->OnPicture(*Report);
  }
  void Tell(const std::string& Entry, TPictureOutcome Outcome, const std::string& Reason) const {
    std::optional<TPictureReport> Report = Start(Entry);
    if (!Report) return;
    Report->Outcome = Outcome;
    Report->Reason = Reason;
    Tell(Report);
  }
  // Every entry from From on was never looked at.
  void NeverReached(const kst::TStringList& Names, size_t From, const std::string& Reason) const {
    for (size_t At = From; FObserver != nullptr && At < Names.size(); ++At)
      Tell(Names[At], TPictureOutcome::NeverReached, Reason);
  }
  // Entry At raised Error, which stops the run: it and all behind it are told.
  void Stopped(const kst::TStringList& Names, size_t At, const std::string& Error) const {
    if (FObserver == nullptr) return;
    Tell(Names[At], TPictureOutcome::StopsRun, Error);
    NeverReached(Names, At + 1, "behind " + Names[At] + ", which stopped the run");
  }

 private:
  TImportObserver* FObserver;
};

std::string SkipReason(const std::string& Entry) {
  return Entry == "logo.bmp" ? "the pack's logo, shown by the installer beside the credits"
                             : "the name does not end in \".bmp\" (lower case)";
}

std::string NoTextureReason(const TPictureName& Picture, const std::vector<std::string>& Nearest) {
  std::string Reason = "no texture is named \"" + Picture.TextureName + "\" (names are case-sensitive)";
  for (size_t I = 0; I < Nearest.size(); ++I) Reason += (I == 0 ? "; nearest: " : ", ") + Nearest[I];
  return Reason;
}

// The last group of the index named Name, or -1 when none is.
int LastGroupNamed(const kst::TStringList& Index, const std::string& Name) {
  for (int Group = TextureCount(Index) - 1; Group >= 0; --Group)
    if (IndexLine(Index, Group, ilName) == Name) return Group;
  return -1;
}

// One picture's pass over the index.
class TPictureImport {
 public:
  TPictureImport(TTextureEngine& Engine, TEngineFrontEnd& UI, TContainerPatch& Patch)
      : FEngine(Engine), FUI(UI), FPatch(Patch) {}

  // Writes the picture into every group named after its texture; a picture
  // that does not fit a group is reported and not tried on further groups.
  // Report, when given, receives the outcome. While the last group's level
  // chain is made, the picture the run asks for next (Next, when not empty)
  // is extracted.
  void Run(const std::string& Entry, const TPictureName& Picture, std::optional<TPictureReport>& Report,
           const std::string& Next) {
    FUI.SetLabel2(Picture.TextureName);
    FUI.ProcessMessages();
    kst::TStringList& Index = *FEngine.TextureList;
    const int LastGroup = LastGroupNamed(Index, Picture.TextureName);
    int Written = 0;
    for (int Group = 0; Group <= LastGroup; ++Group) {
      if (IndexLine(Index, Group, ilName) != Picture.TextureName) continue;
      const std::string Misfit =
          WriteTexture(Entry, Picture, Group, Written == 0, Report, Group == LastGroup ? Next : "");
      if (!Misfit.empty()) {
        FUI.MessageBox(Entry, kWrongPictureText, TMessageIcon::Warning);
        if (Report) {
          Report->Outcome = TPictureOutcome::Rejected;
          Report->Reason = Misfit;
          if (Written > 0)
            Report->Reason += "; already written into " + std::to_string(Written) + " record(s) of that name";
        }
        return;
      }
      ++Written;
    }
    if (!Report) return;
    if (Written == 0) {
      Report->Outcome = TPictureOutcome::NoTexture;
      Report->NearestNames = NearestTextureNames(Index, Picture.TextureName);
      Report->Reason = NoTextureReason(Picture, Report->NearestNames);
    } else {
      Report->Outcome = TPictureOutcome::Replaced;
      Report->Reason = Picture.TextureName + (Written > 1 ? " (" + std::to_string(Written) + " records)" : "");
    }
  }

 private:
  // Writes the picture into Group; the failed check's text when it does not fit.
  std::string WriteTexture(const std::string& Entry, const TPictureName& Picture, int Group, bool First,
                           std::optional<TPictureReport>& Report, const std::string& Next) {
    kst::TStringList& Index = *FEngine.TextureList;
    const bool Bin = FEngine.BinContainer;
    const TTextureEntry Texture = TextureAt(Index, Group);
    TBitmap Bitmap;
    Bitmap.LoadFromBuffer(FAhead.Take(*FEngine.Pictures, Entry));
    std::string Misfit = PictureMisfit(Bitmap, Picture, Bin, Texture.Width, Texture.Height);
    if (!Misfit.empty()) return Misfit;

    const int32_t Width = Bitmap.Width();
    const int32_t Height = Bitmap.Height();
    const int32_t MipCount = NewMipCount(Height);
    FPatch.WriteHeader(Group, MipCount, Width, Height);
    FUI.ProcessMessages();

    int32_t PaletteNumber = 0;
    bool PaletteAppended = false;
    if (!Bin) {
      const int32_t PalettesBefore = FPatch.PaletteCount();
      PaletteNumber = FPatch.ChoosePalette(PaletteOfPicture(Bitmap));
      PaletteAppended = PaletteNumber >= PalettesBefore;
      FPatch.WritePaletteNumber(Group, PaletteNumber);
    }
    const int32_t BytesPerPixel = Bin ? 3 : 1;
    if (Bitmap.BytesPerPixel() != BytesPerPixel) throw std::logic_error("Picture depth does not match the container");
    const int64_t NewSize = LevelChainSize(Width, Height, BytesPerPixel);
    if (Report) {
      if (First) {
        Report->OldWidth = Texture.Width;
        Report->OldHeight = Texture.Height;
        Report->NewWidth = Width;
        Report->NewHeight = Height;
        Report->MipCount = MipCount;
      }
      Report->DataSizeChange += NewSize - PixelDataSize(Texture.Width, Texture.Height, Texture.MipCount, BytesPerPixel);
      if (!Bin) {
        Report->PaletteNumber = PaletteNumber;
        Report->PaletteAppended = Report->PaletteAppended || PaletteAppended;
      }
    }
    // The room for the chain (moving the container's bytes behind it when it
    // changes size) and the chain itself.
    const auto WriteLevels = [&Bitmap, Group, NewSize, this] {
      MakeLevels(Bitmap, FPatch.NewData(Group, NewSize), FHalver);
      FPatch.DataDone(Group);
    };
    if (Bin && !Next.empty()) {
      // A true-colour chain is written on the second thread while the next
      // picture is extracted here; nothing else touches the bitmap, the
      // halver or the container until it is done. Palettised chains are a
      // third of the bytes and are written in turn: holding the next picture
      // beside them would add to the import's memory.
      TWaitOnExit Done(FLevels);
      FLevels.Start(WriteLevels);
      FAhead.Fetch(*FEngine.Pictures, Next);
      FLevels.Wait();
    } else {
      WriteLevels();
    }
    // Packs bring a new colour table with nearly every picture, so the
    // search's remembered answers rarely serve the next one; not holding
    // them keeps its memory out of the next picture's load.
    FHalver.Rest();
    FUI.ProcessMessages();

    SetIndexNumber(Index, Group, ilWidth, Width);
    SetIndexNumber(Index, Group, ilHeight, Height);
    if (!Bin) SetIndexNumber(Index, Group, ilPaletteNumber, PaletteNumber);
    SetIndexNumber(Index, Group, ilMipCount, MipCount);
    FUI.ProcessMessages();
    return {};
  }

  TTextureEngine& FEngine;
  TEngineFrontEnd& FUI;
  TContainerPatch& FPatch;
  TPictureHalver FHalver;
  TPictureAhead FAhead;
  TBackgroundTask FLevels;  // last, so it ends before what its work uses
};

// The entry the run extracts after those before From: the next picture
// whose texture the index names. Empty when none follows or the import ends
// first; only a guess for extracting ahead, so a name that stops the run ends
// the search too.
std::string NextPictureEntry(const kst::TStringList& Names, size_t From, const kst::TStringList& Index) {
  try {
    for (size_t At = From; At < Names.size(); ++At) {
      TPictureName Picture;
      const TNameVerdict Verdict = CutPictureName(Names[At], Picture);
      if (Verdict == TNameVerdict::nvEndImport) return {};
      if (Verdict != TNameVerdict::nvPicture) continue;
      if (LastGroupNamed(Index, Picture.TextureName) >= 0) return Names[At];
    }
  } catch (const std::exception&) {
    // The run stops at this name.
  }
  return {};
}

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
      if (Verdict != TNameVerdict::nvPicture || Picture.Width > kLargestSide || Picture.Height > kLargestSide) continue;
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

// The reason an entry that raised Error stopped the run.
std::string StopReason(const std::exception& Error) {
  if (dynamic_cast<const EConvertError*>(&Error) != nullptr)
    return std::string("width or height: ") + Error.what() + " (sizes read WIDTHxHEIGHT, with a lower-case x)";
  return Error.what();
}

}  // namespace

void TTextureEngine::ImportBitmaps() {
  if (ContainerStream == nullptr || TextureList == nullptr || Pictures == nullptr)
    throw std::logic_error("ImportBitmaps needs a container stream, a texture list and pictures");
  TEngineFrontEnd& UI = Reports();
  const TOutcomes Outcomes(Observer);
  kst::TStringList Names = Pictures->ListBitmaps();
  SortPictureNames(Names);
  UI.SetProgressMax(static_cast<int>(Names.size()));

  std::unique_ptr<TContainerPatch> Patch;
  try {
    Patch = std::make_unique<TContainerPatch>(*ContainerStream, *TextureList, BinContainer);
  } catch (const std::exception& Error) {
    Outcomes.NeverReached(Names, 0, Error.what());
    throw;
  }
  Patch->ReserveGap(ExpectedGrowth(Names, *TextureList, BinContainer, ContainerStream->Size()));
  TPictureImport Import(*this, UI, *Patch);
  try {
    for (size_t At = 0; At < Names.size(); ++At) {
      const std::string& Entry = Names[At];
      std::optional<TPictureReport> Report = Outcomes.Start(Entry);
      try {
        TPictureName Picture;
        std::string Token;
        const TNameVerdict Verdict = CutPictureName(Entry, Picture, &Token);
        if (Verdict == TNameVerdict::nvEndImport) {
          Outcomes.Tell(Entry, TPictureOutcome::EndsImport,
                        "the name does not read NAME-BIN-WxH.bmp or NAME-PAL-WxH.bmp (kind token \"" + Token +
                            "\"), so the import ends here");
          Outcomes.NeverReached(Names, At + 1, "behind " + Entry + ", which ended the import");
          break;
        }
        if (Verdict == TNameVerdict::nvPicture) {
          // Only true-colour chains are made beside the next extraction.
          Import.Run(Entry, Picture, Report, BinContainer ? NextPictureEntry(Names, At + 1, *TextureList) : "");
          Outcomes.Tell(Report);
        } else {
          Outcomes.Tell(Entry, TPictureOutcome::Skipped, SkipReason(Entry));
        }
      } catch (const std::exception& Error) {
        Outcomes.Stopped(Names, At, StopReason(Error));
        throw;
      } catch (...) {
        Outcomes.Stopped(Names, At, "an unknown error");
        throw;
      }
      UI.StepProgressBy(1);
      UI.ProcessMessages();
    }
  } catch (const std::bad_alloc&) {
    // Reported in the archive library's words, as its own failed allocations are.
    Patch->Commit();
    throw kst::E_RAISE(kst::ErrorText(kst::ErrOutOfMemory));
  } catch (...) {
    Patch->Commit();
    throw;
  }
  Patch->Commit();
}

}  // namespace skw
