// The program entry. One instance at a time: a second start finds the named
// mutex taken and ends at once without showing anything. Otherwise the front-end
// is chosen (the system's window, or the console when SKW_FRONTEND=console or no
// window can be made), the main window is built (set-up), and the front-end's
// message loop runs the window until the program ends. Anything that escapes set-up is shown
// in the standard exception box. The window's exit code is always 0; the console
// front-end ends with the import's summary line and exit code 1 when a fatal
// message or a run-stopping error was shown.
#include <exception>
#include <memory>

#include "archive/core/MessagePump.h"
#include "installer/frontend/FrontEndFactory.h"
#include "installer/Messages.h"
#include "installer/Unit1.h"
#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"

namespace {

skw::TCommandLine CommandLineOf(int Argc, char** Argv) {
  skw::TCommandLine Line;
  Line.ProgramFile = platform::ProgramFile();
  if (Argc > 1) Line.Argument1 = Argv[1];
  if (Argc > 2) Line.Argument2 = Argv[2];
  Line.TempFolder = platform::TempDirectory();
  return Line;
}

// Answers the exit code.
int RunApplication(skw::TFrontEnd& FrontEnd, const skw::TCommandLine& Line) {
  std::unique_ptr<skw::TForm1> Form;
  try {
    Form = std::make_unique<skw::TForm1>(FrontEnd, Line);
  } catch (const std::exception& Error) {
    FrontEnd.ShowException(Error.what());
    return FrontEnd.Finish(nullptr, true);
  }
  if (Form->Fatal() || FrontEnd.Terminated()) return FrontEnd.Finish(nullptr, Form->Fatal());
  skw::TWindowEvents Events;
  Events.OnActivate = [&Form] { Form->FormActivate(); };
  FrontEnd.Run(Events);
  const std::vector<skw::TPictureReport>* Reports = Form->ImportReports();
  const std::string Summary = Reports != nullptr ? skw::FormatImportSummary(*Reports) : std::string();
  return FrontEnd.Finish(Reports != nullptr ? &Summary : nullptr, Form->Fatal() || FrontEnd.ExceptionShown());
}

}  // namespace

int main(int argc, char** argv) {
  // Held until the process ends; never released explicitly.
  static platform::NamedMutex Mutex(skw::kMutexName);
  if (Mutex.AlreadyExists()) return 0;
  int Code = 0;
  try {
    const std::unique_ptr<skw::TFrontEnd> FrontEnd = skw::MakeFrontEnd();
    kst::SetMessagePump([&FrontEnd] { FrontEnd->ProcessMessages(); });
    Code = RunApplication(*FrontEnd, CommandLineOf(argc, argv));
    kst::SetMessagePump({});
  } catch (...) {
    // Nothing else may change the exit code.
  }
  return Code;
}
