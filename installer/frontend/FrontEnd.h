// TFrontEnd: what draws the main window and runs its message loop. The window's
// state lives in its controls (Controls.h); a front-end listens to them and
// draws each change, shows message boxes, lets pending messages be handled
// during long steps, sets the cursor, and ends the program on request. The
// installer talks to no window but this, so the console front-end and the
// Win32 window are interchangeable. The texture engine sees the same front-end
// through TEngineBridge (EngineBridge.h), which routes its reports into the
// window's controls.
#pragma once
#include <functional>
#include <string>

#include "installer/frontend/Controls.h"
#include "textures/EngineFrontEnd.h"

namespace skw {

// The window's handlers that the message loop calls.
struct TWindowEvents {
  // The window was shown and activated (the loop calls it once, at its start).
  std::function<void()> OnActivate;
};

class TFrontEnd : public TControlListener {
 public:
  // A modal box without owner window with one OK button; returns when closed.
  virtual void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) = 0;
  // Lets the window handle all pending messages once (repaint, timer, close).
  virtual void ProcessMessages() = 0;
  // The screen-wide mouse cursor.
  virtual void SetCursor(TCursorKind Cursor) = 0;
  // Shows the window and handles its messages until Terminate. An exception
  // that leaves a handler is shown in the standard exception box.
  virtual void Run(const TWindowEvents& Events) = 0;
  // Ends the message loop: the program ends once the running handler returns.
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  // The standard exception box: caption kAppTitle, error icon, the message
  // as StandardExceptionText makes it.
  void ShowException(const std::string& Message);
  // True once the standard exception box was shown (a run-stopping error).
  bool ExceptionShown() const { return FExceptionShown; }

  // After the message loop: Summary tells what the import did with the pack's
  // pictures (nothing when the import never began) and Failed whether a fatal
  // message or a run-stopping error was shown. Answers the program's exit
  // code: 0 unless the front-end reports failures (the console does; the
  // window keeps 0 always).
  virtual int Finish(const std::string* Summary, bool Failed) {
    (void)Summary;
    (void)Failed;
    return 0;
  }

 private:
  bool FExceptionShown = false;
};

// The text of the standard exception box: the message with "." appended when
// its last character sorts after "." (so "Disk full" gets its full stop, while
// "Failed." or "(25111)" stay as they are).
std::string StandardExceptionText(const std::string& Message);

}  // namespace skw
