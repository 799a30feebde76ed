// TConsoleFrontEnd: the main window drawn on a text console. Label texts go to
// standard output as lines each time they change (a label cleared to blanks
// prints nothing), the credits once when the credits box is shown, and the
// progress bar as a bar redrawn on one line, only when standard output is a
// terminal. A message box is one line on standard error, "<icon>: <caption>:
// <text>", and returns at once; standard error carries nothing else. The logo,
// the window height and the cursor have no console form.
//
// The message loop activates the window once, then ticks the enabled timer
// every interval; when no timer is enabled nothing more can happen and the loop
// ends (there is no window to keep open, so a run stopped by an error ends the
// program too). Ctrl+C stands for closing the window: during the run it lets
// the run finish and ends the program instead of counting down; during the
// countdown it ends the program at once. At the end the import's summary is
// one more line on standard output, and the exit code is 1 when a fatal
// message or a run-stopping error was shown.
#pragma once
#include <functional>
#include <iosfwd>
#include <string>

#include "installer/frontend/FrontEnd.h"

namespace skw {

class TConsoleFrontEnd final : public TFrontEnd {
 public:
  // Where the front-end writes and what it asks of the system; tests replace
  // them. Sleep waits the given milliseconds; Interrupted answers whether the
  // user asked to close (Ctrl+C).
  struct TConsole {
    std::ostream* Out = nullptr;
    std::ostream* Err = nullptr;
    bool Terminal = false;
    std::function<void(int)> Sleep;
    std::function<bool()> Interrupted;
  };

  // Standard output and error, the real terminal test, Ctrl+C caught.
  TConsoleFrontEnd();
  explicit TConsoleFrontEnd(TConsole Console);
  ~TConsoleFrontEnd() override;

  void LabelChanged(const TLabel& Label) override;
  void ProgressBarChanged(const TProgressBar& Bar) override;
  void MemoChanged(const TMemo& Memo) override;
  void TimerChanged(TTimer& Timer) override;

  void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) override;
  void ProcessMessages() override;
  void SetCursor(TCursorKind) override {}
  void Run(const TWindowEvents& Events) override;
  void Terminate() override { FTerminated = true; }
  bool Terminated() const override { return FTerminated; }
  int Finish(const std::string* Summary, bool Failed) override;

  // Width of the drawn bar between its brackets.
  static constexpr int kBarWidth = 40;
  // The bar as drawn for a position in Min..Max: "[####....]  50%".
  static std::string BarText(int Min, int Max, int Position);

 private:
  void PrintLine(const std::string& Text);
  void EraseBar();
  void DrawBar();
  void Guarded(const std::function<void()>& Handler);
  // Waits one timer interval; true when the user asked to close meanwhile.
  bool WaitForTick(int Interval);
  bool CloseAsked();

  TConsole FConsole;
  TTimer* FTimer = nullptr;
  std::string FBar;
  bool FBarShown = false;
  bool FCreditsShown = false;
  bool FCloseRequested = false;
  bool FTerminated = false;
};

}  // namespace skw
