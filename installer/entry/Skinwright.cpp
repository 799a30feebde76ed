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

#include "archive/MessagePump.h"
#include "installer/FrontEndFactory.h"
#include "installer/Messages.h"
#include "installer/Unit1.h"
#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"
#include "platform/Process.h"

namespace {

skw::TCommandLine CommandLineOf(int argc, char** argv) {
  skw::TCommandLine line;
  line.ProgramFile = platform::ProgramFile();
  if (argc > 1) line.Argument1 = argv[1];
  if (argc > 2) line.Argument2 = argv[2];
  line.TempFolder = platform::TempDirectory();
  return line;
}

// Answers the exit code.
int RunApplication(skw::TFrontEnd& FrontEnd, const skw::TCommandLine& Line) {
  std::unique_ptr<skw::TForm1> form;
  try {
    form = std::make_unique<skw::TForm1>(FrontEnd, Line);
  } catch (const std::exception& Error) {
    FrontEnd.ShowException(Error.what());
    return FrontEnd.Finish(nullptr, true);
  }
  if (form->Fatal() || FrontEnd.Terminated()) return FrontEnd.Finish(nullptr, form->Fatal());
  skw::TWindowEvents events;
  events.OnActivate = [&form] { form->FormActivate(); };
  FrontEnd.Run(events);
  const std::vector<skw::TPictureReport>* reports = form->ImportReports();
  const std::string summary = reports != nullptr ? skw::FormatImportSummary(*reports) : std::string();
  return FrontEnd.Finish(reports != nullptr ? &summary : nullptr, form->Fatal() || FrontEnd.ExceptionShown());
}

}  // namespace

int main(int argc, char** argv) {
  // Held until the process ends; never released explicitly.
  static platform::NamedMutex mutex(skw::kMutexName);
  if (mutex.AlreadyExists()) return 0;
  int code = 0;
  try {
    const std::unique_ptr<skw::TFrontEnd> frontEnd = skw::MakeFrontEnd();
    kst::SetMessagePump([&frontEnd] { frontEnd->ProcessMessages(); });
    code = RunApplication(*frontEnd, CommandLineOf(argc, argv));
    kst::SetMessagePump({});
  } catch (...) {
    // Nothing else may change the exit code.
  }
  return code;
}
