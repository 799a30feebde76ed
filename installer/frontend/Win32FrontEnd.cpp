// The system-window front-end: control changes become window calls (the logo
// converted to plain pixels, the credits joined with CR LF), and the window's
// activation, close and timer events become the installer's handlers under the
// rules described in the header.
#include "installer/frontend/Win32FrontEnd.h"

#include "installer/Messages.h"
#include "textures/Bitmap.h"

namespace skw {

namespace {

platform::MessageIcon SystemIcon(TMessageIcon Icon) {
  switch (Icon) {
    case TMessageIcon::Error: return platform::MessageIcon::Error;
    case TMessageIcon::Warning: return platform::MessageIcon::Warning;
    case TMessageIcon::Information: return platform::MessageIcon::Information;
  }
  return platform::MessageIcon::Error;
}

// The picture's colours as 0x00RRGGBB, top row first.
platform::WindowPicture PlainPicture(const TBitmap* Picture) {
  platform::WindowPicture plain;
  if (Picture == nullptr || Picture->Width() <= 0 || Picture->Height() <= 0) return plain;
  plain.Width = Picture->Width();
  plain.Height = Picture->Height();
  plain.Pixels.reserve(static_cast<size_t>(plain.Width) * static_cast<size_t>(plain.Height));
  for (int32_t y = 0; y < plain.Height; ++y)
    for (int32_t x = 0; x < plain.Width; ++x) {
      const auto colour = static_cast<uint32_t>(Picture->Pixel(x, y));
      plain.Pixels.push_back(((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu));
    }
  return plain;
}

}  // namespace

std::unique_ptr<TWin32FrontEnd> TWin32FrontEnd::Create() {
  auto frontEnd = std::make_unique<TWin32FrontEnd>(
      [](platform::WindowEvents& Events) { return platform::CreateMainWindow(kAppTitle, kWindowCaption, Events); });
  if (!frontEnd->HasWindow()) return nullptr;
  return frontEnd;
}

TWin32FrontEnd::TWin32FrontEnd(const TWindowMaker& MakeWindow) : FWindow(MakeWindow(*this)) {}

TWin32FrontEnd::~TWin32FrontEnd() = default;

void TWin32FrontEnd::LabelChanged(const TLabel& Label) {
  if (Label.Name() == "Label1") FWindow->SetLabel(1, Label.Caption());
  if (Label.Name() == "Label2") FWindow->SetLabel(2, Label.Caption());
}

void TWin32FrontEnd::ProgressBarChanged(const TProgressBar& Bar) {
  FWindow->SetProgress(Bar.Min(), Bar.Max(), Bar.Position());
}

void TWin32FrontEnd::MemoChanged(const TMemo& Memo) {
  std::string text;
  for (size_t i = 0; i < Memo.Lines().size(); ++i) {
    if (i > 0) text += "\r\n";
    text += Memo.Lines()[i];
  }
  FWindow->SetMemo(text, Memo.Visible());
}

void TWin32FrontEnd::ImageChanged(const TImage& Image) { FWindow->SetPicture(PlainPicture(Image.Picture())); }

void TWin32FrontEnd::TimerChanged(TTimer& Timer) {
  FTimer = &Timer;
  FWindow->SetTimer(Timer.Enabled(), Timer.Interval());
}

void TWin32FrontEnd::WindowChanged(const TWindowFrame& Frame) { FWindow->SetOuterHeight(Frame.Height()); }

void TWin32FrontEnd::MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) {
  FWindow->ShowMessage(Caption, Text, SystemIcon(Icon));
}

void TWin32FrontEnd::ProcessMessages() {
  if (!FTerminated) FWindow->ProcessPending();
}

void TWin32FrontEnd::SetCursor(TCursorKind Cursor) { FWindow->SetHourglass(Cursor == TCursorKind::Hourglass); }

void TWin32FrontEnd::Run(const TWindowEvents& Events) {
  if (FTerminated) return;
  FEvents = Events;
  FWindow->Show();
  while (!FTerminated && FWindow->HandleNext()) {
  }
  FTerminated = true;
}

void TWin32FrontEnd::Terminate() {
  FTerminated = true;
  FWindow->Quit();
}

void TWin32FrontEnd::Guarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& Error) {
    ShowException(Error.what());
  }
}

void TWin32FrontEnd::Activated() {
  if (FStarted || FTerminated) return;
  FStarted = true;
  FRunning = true;
  if (FEvents.OnActivate) Guarded(FEvents.OnActivate);
  FRunning = false;
  if (FCloseRequested) Terminate();
}

void TWin32FrontEnd::CloseAsked() {
  if (FRunning)
    FCloseRequested = true;
  else
    Terminate();
}

void TWin32FrontEnd::TimerTicked() {
  if (FTimer != nullptr && FTimer->Enabled() && !FTerminated) Guarded([this] { FTimer->Tick(); });
}

}  // namespace skw
