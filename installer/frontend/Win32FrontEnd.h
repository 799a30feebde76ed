// TWin32FrontEnd: the installer's main window drawn by the system's own window
// (platform/Window.h). It passes every control change to that window, shows
// message boxes as real modal boxes, and runs the window's message loop. The
// handlers follow the window's life: the first activation starts the run (once;
// later activations do nothing); closing the window while the run is going
// only marks the request, the run finishes (save and removal of the temporary
// archive included) and the program then ends instead of counting down;
// closing it at any other time ends the program at once. An exception that
// leaves a handler is shown in the standard exception box and the window stays
// open, with the cursor as the handler left it. Nothing here depends on the
// system, so the rules can be tested with a stand-in window.
#pragma once
#include <functional>
#include <memory>

#include "installer/frontend/FrontEnd.h"
#include "platform/Window.h"

namespace skw {

class TWin32FrontEnd final : public TFrontEnd, private platform::WindowEvents {
 public:
  // Makes the window for the given events (the system's CreateMainWindow, or a
  // stand-in in tests).
  using TWindowMaker = std::function<std::unique_ptr<platform::MainWindow>(platform::WindowEvents&)>;

  // The system's window; null when the system has none (then use the console).
  static std::unique_ptr<TWin32FrontEnd> Create();
  explicit TWin32FrontEnd(const TWindowMaker& MakeWindow);
  ~TWin32FrontEnd() override;

  // False when the maker gave no window.
  bool HasWindow() const { return FWindow != nullptr; }

  void LabelChanged(const TLabel& Label) override;
  void ProgressBarChanged(const TProgressBar& Bar) override;
  void MemoChanged(const TMemo& Memo) override;
  void ImageChanged(const TImage& Image) override;
  void TimerChanged(TTimer& Timer) override;
  void WindowChanged(const TWindowFrame& Frame) override;

  void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) override;
  void ProcessMessages() override;
  void SetCursor(TCursorKind Cursor) override;
  void Run(const TWindowEvents& Events) override;
  void Terminate() override;
  bool Terminated() const override { return FTerminated; }

 private:
  void Activated() override;
  void CloseAsked() override;
  void TimerTicked() override;
  void Guarded(const std::function<void()>& Handler);

  std::unique_ptr<platform::MainWindow> FWindow;
  TWindowEvents FEvents;
  TTimer* FTimer = nullptr;
  bool FStarted = false;
  bool FRunning = false;
  bool FCloseRequested = false;
  bool FTerminated = false;
};

}  // namespace skw
