// Setters of the window's controls: each stores the new state and, when it
// differs from the old one, tells the listener.
#include "installer/frontend/Controls.h"

#include <algorithm>

#include "textures/Bitmap.h"

namespace skw {

void TLabel::SetCaption(const std::string& Caption) {
  if (Caption == Caption_) return;
  Caption_ = Caption;
  if (Listener_) Listener_->LabelChanged(*this);
}

void TProgressBar::Update(int Min, int Max, int64_t Position) {
  const int position = static_cast<int>(std::clamp<int64_t>(Position, Min, Max));
  if (Min == Min_ && Max == Max_ && position == Position_) return;
  Min_ = Min;
  Max_ = Max;
  Position_ = position;
  if (Listener_) Listener_->ProgressBarChanged(*this);
}

TMemo::TMemo(std::string Name, std::string Text) : TControl(std::move(Name)) { SetText(Text); }

void TMemo::SetText(const std::string& Text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < Text.size()) {
    const size_t end = Text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(Text.substr(start));
      break;
    }
    lines.push_back(Text.substr(start, end - start));
    start = end + (Text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  if (lines == Lines_) return;
  Lines_ = std::move(lines);
  if (Listener_) Listener_->MemoChanged(*this);
}

void TMemo::SetVisible(bool Visible) {
  if (Visible == Visible_) return;
  Visible_ = Visible;
  if (Listener_) Listener_->MemoChanged(*this);
}

TImage::TImage(std::string Name) : TControl(std::move(Name)) {}

TImage::~TImage() = default;

void TImage::SetPicture(std::unique_ptr<TBitmap> Picture) {
  Picture_ = std::move(Picture);
  if (Listener_) Listener_->ImageChanged(*this);
}

void TTimer::SetEnabled(bool Enabled) {
  if (Enabled == Enabled_) return;
  Enabled_ = Enabled;
  if (Listener_) Listener_->TimerChanged(*this);
}

void TWindowFrame::SetHeight(int Height) {
  if (Height == Height_) return;
  Height_ = Height;
  if (Listener_) Listener_->WindowChanged(*this);
}

}  // namespace skw
