// The run, on the window's first activation: load the container into memory,
// index it, import the pack's pictures, save it back, delete the temporary
// archive and start the countdown. The status lines tell the user each step
// and the window handles pending messages right after each change.
//
// The first save into a folder without a kept original keeps the loaded bytes
// as "<container>.original". The import patches the loaded bytes in place, so
// the last moment they are still the original is right before it: there they
// are written to a new file beside the original's place, from the stream itself
// (no copy in memory), and that file is put in place right before the
// container's own save. A run stopped earlier removes it again, and a failure to
// write it is raised at that same point as the run-stopping error a failed save
// gives, before the container is touched. Anything
// thrown from the scan onwards leaves the handler as it is: the front-end shows
// it in the standard exception box, and nothing after the failing step is done
// (no save, no deletion, no countdown, the hourglass stays).
#include "installer/Unit1.h"

#include "installer/ArchivePictureSource.h"
#include "installer/CountdownArgument.h"
#include "installer/EngineBridge.h"
#include "installer/Messages.h"
#include "platform/AtomicSave.h"
#include "platform/FileSystem.h"
#include "textures/TextureEngine.h"

namespace skw {

namespace {

// The last three characters of Text (all of it when shorter).
std::string LastThree(const std::string& Text) { return Text.size() <= 3 ? Text : Text.substr(Text.size() - 3); }

}  // namespace

void TForm1::FormActivate() {
  if (FActivated || FFatal) return;
  FActivated = true;
  ContainerStream = std::make_unique<kst::TMemoryStream>();
  try {
    ContainerStream->LoadFromFile(ContainerPath);
  } catch (const std::exception&) {
    ShowFatal(kCannotOpenTextures);
    return;
  }
  RunImport();
}

void TForm1::RunImport() {
  FFrontEnd.SetCursor(TCursorKind::Hourglass);
  Label1.SetCaption("Scanning textures." + LastThree(ContainerPath) + " ...");
  FFrontEnd.ProcessMessages();
  TextureList = std::make_unique<kst::TStringList>();
  ScanTextures(ContainerPath);
  Label1.SetCaption("Processing BMP files, this may take a while ...");
  FFrontEnd.ProcessMessages();
  TOriginalKeeper Original(ContainerPath);
  Original.Stage(std::span<const uint8_t>(ContainerStream->Memory(), static_cast<size_t>(ContainerStream->Size())));
  ImportBitmaps();
  Label2.SetCaption("");
  Label1.SetCaption("Saving textures file ...");
  FFrontEnd.ProcessMessages();
  SaveContainer(Original);
  if (TempArchive) platform::RemoveFile(ArchivePath);
  Label1.SetCaption("All done.");
  StartCountdown();
  FFrontEnd.SetCursor(TCursorKind::Default);
}

void TForm1::SaveContainer(TOriginalKeeper& Original) {
  Original.Commit();
  // A new file beside the container replaces it only once fully written, so a
  // failed save leaves the game's container as it was.
  const int64_t Size = ContainerStream->Size();
  if (!platform::SaveFileAtomically(ContainerPath, ContainerStream->Memory(), static_cast<size_t>(Size)))
    throw kst::EStreamError("Cannot write file \"" + ContainerPath + "\"");
}

void TForm1::StartCountdown() {
  const int32_t Seconds = CountdownFromArgument(FCommandLine.Argument2);
  if (Seconds <= 0) {
    FFrontEnd.Terminate();
    return;
  }
  Label2.SetCaption("Shutting down in " + std::to_string(Seconds) + " second(s).");
  Timer1.Tag = Seconds;
  ProgressBar1.SetMin(0);
  ProgressBar1.SetMax(Seconds);
  ProgressBar1.SetPosition(0);
  Timer1.SetEnabled(true);
}

TTextureEngine TForm1::Engine(TEngineFrontEnd& Reports) {
  TTextureEngine Engine;
  Engine.ContainerStream = ContainerStream.get();
  Engine.TextureList = TextureList.get();
  Engine.BinContainer = BinContainer;
  Engine.ContainerPath = ContainerPath;
  Engine.FrontEnd = &Reports;
  return Engine;
}

void TForm1::ScanTextures(const std::string& Path) {
  TEngineBridge Bridge(Label2, ProgressBar1, FFrontEnd);
  Engine(Bridge).ScanTextures(Path);
}

void TForm1::ImportBitmaps() {
  TEngineBridge Bridge(Label2, ProgressBar1, FFrontEnd);
  TArchivePictureSource Pictures(Kestrel1, UnZip1, ArchivePath);
  TTextureEngine Run = Engine(Bridge);
  Run.Pictures = &Pictures;
  Run.Observer = &FImportReports;
  FImportBegan = true;
  Run.ImportBitmaps();
}

}  // namespace skw
