// Setters of the window's controls: each stores the new state and, when it
// differs from the old one, tells the listener.
#include "installer/frontend/Controls.h"

#include <algorithm>

#include "textures/Bitmap.h"

namespace skw {

void TLabel::SetCaption(const std::string& Caption) {
  if (Caption == FCaption) return;
  FCaption = Caption;
  if (FListener) FListener->LabelChanged(*this);
}

void TProgressBar::Update(int Min, int Max, int64_t Position) {
  const int Clamped = static_cast<int>(std::clamp<int64_t>(Position, Min, Max));
  if (Min == FMin && Max == FMax && Clamped == FPosition) return;
  FMin = Min;
  FMax = Max;
  FPosition = Clamped;
  if (FListener) FListener->ProgressBarChanged(*this);
}

TMemo::TMemo(std::string Name, std::string Text) : TControl(std::move(Name)) { SetText(Text); }

void TMemo::SetText(const std::string& Text) {
  std::vector<std::string> Lines;
  size_t Start = 0;
  while (Start < Text.size()) {
    const size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string::npos) {
      Lines.push_back(Text.substr(Start));
      break;
    }
    Lines.push_back(Text.substr(Start, End - Start));
    Start = End + (Text.compare(End, 2, "\r\n") == 0 ? 2 : 1);
  }
  if (Lines == FLines) return;
  FLines = std::move(Lines);
  if (FListener) FListener->MemoChanged(*this);
}

void TMemo::SetVisible(bool Visible) {
  if (Visible == FVisible) return;
  FVisible = Visible;
  if (FListener) FListener->MemoChanged(*this);
}

TImage::TImage(std::string Name) : TControl(std::move(Name)) {}

TImage::~TImage() = default;

void TImage::SetPicture(std::unique_ptr<TBitmap> Picture) {
  FPicture = std::move(Picture);
  if (FListener) FListener->ImageChanged(*this);
}

void TTimer::SetEnabled(bool Enabled) {
  if (Enabled == FEnabled) return;
  FEnabled = Enabled;
  if (FListener) FListener->TimerChanged(*this);
}

void TWindowFrame::SetHeight(int Height) {
  if (Height == FHeight) return;
  FHeight = Height;
  if (FListener) FListener->WindowChanged(*this);
}

}  // namespace skw
