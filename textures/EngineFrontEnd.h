// TEngineFrontEnd: the small window-side interface through which the texture
// engine reports while it works: the second status line (Label2), the progress
// bar's range and position, modal message boxes, a chance for the window to
// process pending messages (repaint, timer, close), and the screen cursor. The
// engine never calls a window directly, so it runs the same under the Win32
// window, the console front-end and the tests. TNullFrontEnd ignores every call.
#pragma once
#include <string>

namespace skw {

// Icon of a message box; the box itself always has a single OK button.
enum class TMessageIcon { Error, Warning, Information };

enum class TCursorKind { Default, Hourglass };

class TEngineFrontEnd {
 public:
  virtual ~TEngineFrontEnd() = default;

  // Caption of the second status line.
  virtual void SetLabel2(const std::string& Text) = 0;
  // The progress bar: lower and upper bound, absolute position, relative step.
  virtual void SetProgressMin(int Min) = 0;
  virtual void SetProgressMax(int Max) = 0;
  virtual void SetProgressPosition(int Position) = 0;
  virtual void StepProgressBy(int Delta) = 0;
  // A modal box without owner window; returns when the user has pressed OK.
  virtual void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) = 0;
  // Lets the window handle all pending messages once.
  virtual void ProcessMessages() = 0;
  // The screen-wide mouse cursor.
  virtual void SetCursor(TCursorKind Cursor) = 0;
};

// Front-end without a window: every report is dropped (a subclass may keep
// the few it needs).
class TNullFrontEnd : public TEngineFrontEnd {
 public:
  void SetLabel2(const std::string&) override {}
  void SetProgressMin(int) override {}
  void SetProgressMax(int) override {}
  void SetProgressPosition(int) override {}
  void StepProgressBy(int) override {}
  void MessageBox(const std::string&, const std::string&, TMessageIcon) override {}
  void ProcessMessages() override {}
  void SetCursor(TCursorKind) override {}
};

}  // namespace skw
