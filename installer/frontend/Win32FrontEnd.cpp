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

TWin32FrontEnd::TWin32FrontEnd(const TWindowMaker& MakeWindow) : Window_(MakeWindow(*this)) {}

TWin32FrontEnd::~TWin32FrontEnd() = default;

void TWin32FrontEnd::LabelChanged(const TLabel& Label) {
  if (Label.Name() == "Label1") Window_->SetLabel(1, Label.Caption());
  if (Label.Name() == "Label2") Window_->SetLabel(2, Label.Caption());
}

void TWin32FrontEnd::ProgressBarChanged(const TProgressBar& Bar) {
  Window_->SetProgress(Bar.Min(), Bar.Max(), Bar.Position());
}

void TWin32FrontEnd::MemoChanged(const TMemo& Memo) {
  std::string text;
  for (size_t i = 0; i < Memo.Lines().size(); ++i) {
    if (i > 0) text += "\r\n";
    text += Memo.Lines()[i];
  }
  Window_->SetMemo(text, Memo.Visible());
}

void TWin32FrontEnd::ImageChanged(const TImage& Image) { Window_->SetPicture(PlainPicture(Image.Picture())); }

void TWin32FrontEnd::TimerChanged(TTimer& Timer) {
  Timer_ = &Timer;
  Window_->SetTimer(Timer.Enabled(), Timer.Interval());
}

void TWin32FrontEnd::WindowChanged(const TWindowFrame& Frame) { Window_->SetOuterHeight(Frame.Height()); }

void TWin32FrontEnd::MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) {
  Window_->ShowMessage(Caption, Text, SystemIcon(Icon));
}

void TWin32FrontEnd::ProcessMessages() {
  if (!Terminated_) Window_->ProcessPending();
}

void TWin32FrontEnd::SetCursor(TCursorKind Cursor) { Window_->SetHourglass(Cursor == TCursorKind::Hourglass); }

void TWin32FrontEnd::Run(const TWindowEvents& Events) {
  if (Terminated_) return;
  Events_ = Events;
  Window_->Show();
  while (!Terminated_ && Window_->HandleNext()) {
  }
  Terminated_ = true;
}

void TWin32FrontEnd::Terminate() {
  Terminated_ = true;
  Window_->Quit();
}

void TWin32FrontEnd::Guarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& Error) {
    ShowException(Error.what());
  }
}

void TWin32FrontEnd::Activated() {
  if (Started_ || Terminated_) return;
  Started_ = true;
  Running_ = true;
  if (Events_.OnActivate) Guarded(Events_.OnActivate);
  Running_ = false;
  if (CloseRequested_) Terminate();
}

void TWin32FrontEnd::CloseAsked() {
  if (Running_)
    CloseRequested_ = true;
  else
    Terminate();
}

void TWin32FrontEnd::TimerTicked() {
  if (Timer_ != nullptr && Timer_->Enabled() && !Terminated_) Guarded([this] { Timer_->Tick(); });
}

}  // namespace skw
