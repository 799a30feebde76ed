// The main window's construction and set-up: the controls in their initial
// state, the archive path from argument 1 or the pack's trailer, the container
// choice with its fatal messages in order, and ShowFatal. The archive stage
// (credits and logo) is in Unit1Archive.cpp, the run in Unit1Run.cpp, the
// countdown and clean-up in Unit1Countdown.cpp.
#include "installer/Unit1.h"

#include "installer/ContainerChoice.h"
#include "installer/GameLookup.h"
#include "installer/Messages.h"
#include "installer/Trailer.h"
#include "platform/FileSystem.h"

namespace skw {

namespace {

// Outer size of the window as laid out (client area 292 x 153 plus frame).
constexpr int kLayoutWidth = 298;
constexpr int kLayoutHeight = 182;

const std::string kBlanks(40, ' ');

// True when a file (not a folder) exists under Path.
bool FileExists(const std::string& Path) {
  const uint32_t Attributes = platform::GetAttributes(Path);
  return Attributes != platform::kInvalidAttributes && (Attributes & platform::kAttrDirectory) == 0;
}

}  // namespace

TForm1::TForm1(TFrontEnd& FrontEnd, TCommandLine CommandLine)
    : Window("Form1", kWindowCaption, kLayoutWidth, kLayoutHeight),
      Label1("Label1", kBlanks),
      Label2("Label2", kBlanks),
      ProgressBar1("ProgressBar1"),
      Image1("Image1"),
      Memo1("Memo1", "Memo1"),
      Timer1("Timer1"),
      FFrontEnd(FrontEnd),
      FCommandLine(std::move(CommandLine)) {
  for (TControl* Control :
       std::initializer_list<TControl*>{&Window, &Label1, &Label2, &ProgressBar1, &Image1, &Memo1, &Timer1})
    Control->SetListener(&FFrontEnd);
  UnZip1.ConfirmOverwrites = false;
  UnZip1.CpuType = kst::cptAuto;
  Timer1.SetInterval(1000);
  Timer1.OnTimer = [this] { Timer1Timer(); };
  SetUp();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::SetUp() {
  ArchivePath = FCommandLine.Argument1;
  CheckTrailer(FCommandLine.ProgramFile, FCommandLine.TempFolder, ArchivePath, TempArchive);
  const TContainerChoice Choice = ChooseContainer(ArchivePath, GetGamePath, FileExists);
  ContainerPath = Choice.ContainerPath;
  if (!Choice.FatalMessage.empty()) {
    ShowFatal(Choice.FatalMessage);
    return;
  }
  BinContainer = Choice.BinContainer;
  PrepareArchive();
}

void TForm1::ShowFatal(const std::string& Text) {
  FFatal = true;
  FFrontEnd.MessageBox(kAppTitle, Text, TMessageIcon::Error);
  FFrontEnd.Terminate();
}

}  // namespace skw
