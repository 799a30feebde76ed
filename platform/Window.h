// The installer's main window as the operating system draws it: two status
// lines, a progress bar, a logo box and a credits box in a small fixed window,
// plus the screen cursor, a one-second timer and the message loop that drives
// them. Only Windows has such a window; elsewhere CreateMainWindow answers
// null and the program keeps its console front-end. The window knows nothing
// of the installer: the installer's front-end (installer/frontend/Win32FrontEnd.h)
// turns control changes into these calls and the window's events back into
// the installer's handlers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace platform {

// What the window reports; every call comes from inside the message loop
// (HandleNext, ProcessPending or a modal box).
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window became the active window (the first report follows Show).
  virtual void Activated() = 0;
  // The user asked to close the window; it stays until Destroy or the end.
  virtual void CloseAsked() = 0;
  // The timer's interval has passed.
  virtual void TimerTicked() = 0;
};

// A picture for the logo box: Width x Height pixels, top row first, each
// 0x00RRGGBB.
struct WindowPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
};

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  // Status line 1 or 2.
  virtual void SetLabel(int Line, const std::string& Text) = 0;
  virtual void SetProgress(int Min, int Max, int Position) = 0;
  // The credits box: its text (lines separated by CR LF) and visibility.
  virtual void SetMemo(const std::string& Text, bool Visible) = 0;
  // The logo, drawn centred in its box; an empty picture clears the box.
  virtual void SetPicture(const WindowPicture& Picture) = 0;
  // Outer height in pixels, title bar and frame included.
  virtual void SetOuterHeight(int Height) = 0;
  // Starts (Enabled) or stops the timer.
  virtual void SetTimer(bool Enabled, int Interval) = 0;
  // The screen-wide hourglass, or the arrow.
  virtual void SetHourglass(bool Hourglass) = 0;
  // A modal box without owner window; returns when it is closed.
  virtual void ShowMessage(const std::string& Caption, const std::string& Text, MessageIcon Icon) = 0;

  // Shows the window centred on the desktop and activates it.
  virtual void Show() = 0;
  // Handles every message waiting now, without waiting for more.
  virtual void ProcessPending() = 0;
  // Waits for one message and handles it; false once Quit was asked.
  virtual bool HandleNext() = 0;
  // Asks the loop to end: HandleNext answers false from now on.
  virtual void Quit() = 0;
};

// The window, created hidden with its controls in their initial state, its
// caption Caption and the application's task-bar entry titled AppTitle; null
// where the system has no window (Linux) or creation failed. Events must
// outlive the window.
std::unique_ptr<MainWindow> CreateMainWindow(const std::string& AppTitle, const std::string& Caption,
                                             WindowEvents& Events);

}  // namespace platform
