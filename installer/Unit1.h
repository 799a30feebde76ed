// TForm1: the installer's main window. It holds the window's controls (status
// labels, progress bar, logo and credits boxes, the two archive components and
// the countdown timer) and the fields of one installation: the texture index,
// the container's path and kind, the archive in use and the container loaded
// into memory. Constructing it is the set-up (archive choice, trailer, game
// lookup, container choice, credits and logo); FormActivate is the run,
// Timer1Timer the countdown, FormDestroy the clean-up. Everything it shows goes
// into its controls, which the front-end draws; the front-end also carries the
// message boxes, the cursor and the end of the program.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "archive/list/Kstkestrel.h"
#include "archive/extract/Kstunzip.h"
#include "archive/io/MemoryStream.h"
#include "archive/core/StringList.h"
#include "installer/frontend/Controls.h"
#include "installer/frontend/FrontEnd.h"
#include "installer/OriginalContainer.h"
#include "textures/TextureEngine.h"

namespace skw {

// What set-up takes from the process: arguments 0 to 2 (argument 0 is the full
// path of the program file, the others empty when absent) and the folder where
// a pack's archive is copied out (with a trailing separator).
struct TCommandLine {
  std::string ProgramFile;
  std::string Argument1;
  std::string Argument2;
  std::string TempFolder;
};

class TForm1 {
 public:
  // Window heights of the archive stage: status lines only, and with the
  // credits and logo boxes.
  static constexpr int kShortHeight = 105;
  static constexpr int kTallHeight = 175;

  // The set-up. A fatal condition is shown through ShowFatal and ends set-up
  // early (the front-end is then terminated); any other failure leaves as an
  // exception.
  TForm1(TFrontEnd& FrontEnd, TCommandLine CommandLine);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The run, on the window's first activation only.
  void FormActivate();
  // One countdown tick.
  void Timer1Timer();
  // Frees what the run created; the destructor calls it too.
  void FormDestroy();

  // An error box captioned with the application title, then the end of the
  // program: nothing of the window or the run happens afterwards.
  void ShowFatal(const std::string& Text);
  // True once ShowFatal has been called.
  bool Fatal() const { return FFatal; }
  // What the import did with each entry of the pack; nothing before it began.
  const std::vector<TPictureReport>* ImportReports() const { return FImportBegan ? &FImportReports.Reports : nullptr; }

  // The texture engine's two operations on this window's state.
  void ScanTextures(const std::string& Path);
  void ImportBitmaps();

  // Controls.
  TWindowFrame Window;
  TLabel Label1;
  TLabel Label2;
  TProgressBar ProgressBar1;
  TImage Image1;
  TMemo Memo1;
  kst::TUnZip UnZip1;
  kst::TKestrel Kestrel1;
  TTimer Timer1;

  // Fields, in the window's order.
  std::unique_ptr<kst::TStringList> TextureList;
  std::string ContainerPath;
  std::string ArchivePath;
  bool BinContainer = false;
  bool TempArchive = false;
  std::unique_ptr<kst::TMemoryStream> ContainerStream;

 private:
  void SetUp();
  // The archive stage: window height, archive components, credits and logo.
  void PrepareArchive();
  // Bytes of the named text entry extracted into memory (the first match
  // only, at most kCreditsTextBytes).
  std::string ExtractEntry(const std::string& Name);
  // The run's steps after the container is loaded.
  void RunImport();
  // The original is kept (OriginalContainer.h) before the container is saved.
  void SaveContainer(TOriginalKeeper& Original);
  void StartCountdown();
  // The texture engine on this window's container, index and kind, reporting to Reports.
  TTextureEngine Engine(TEngineFrontEnd& Reports);

  TFrontEnd& FFrontEnd;
  TCommandLine FCommandLine;
  bool FActivated = false;
  bool FFatal = false;
  TImportCollector FImportReports;
  bool FImportBegan = false;
};

}  // namespace skw
