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
  platform::WindowPicture Plain;
  if (Picture == nullptr || Picture->Width() <= 0 || Picture->Height() <= 0) return Plain;
  Plain.Width = Picture->Width();
  Plain.Height = Picture->Height();
  Plain.Pixels.reserve(static_cast<size_t>(Plain.Width) * static_cast<size_t>(Plain.Height));
  for (int32_t Y = 0; Y < Plain.Height; ++Y)
    for (int32_t X = 0; X < Plain.Width; ++X) {
      const auto Colour = static_cast<uint32_t>(Picture->Pixel(X, Y));
      Plain.Pixels.push_back(((Colour & 0xFFu) << 16) | (Colour & 0xFF00u) | ((Colour >> 16) & 0xFFu));
    }
  return Plain;
}

}  // namespace

std::unique_ptr<TWin32FrontEnd> TWin32FrontEnd::Create() {
  auto FrontEnd = std::make_unique<TWin32FrontEnd>(
      [](platform::WindowEvents& Events) { return platform::CreateMainWindow(kAppTitle, kWindowCaption, Events); });
  if (!FrontEnd->HasWindow()) return nullptr;
  return FrontEnd;
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
  std::string Text;
  for (size_t I = 0; I < Memo.Lines().size(); ++I) {
    if (I > 0) Text += "\r\n";
    Text += Memo.Lines()[I];
  }
  FWindow->SetMemo(Text, Memo.Visible());
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
