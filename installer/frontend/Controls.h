// The main window's controls as plain state objects: the status labels, the
// progress bar, the credits box, the logo box, the countdown timer and the
// window frame itself. The installer's logic reads and writes only these, so
// its state can be checked in tests whatever draws it; each change is reported
// to a listener (the front-end), which draws the new state. A setter that does
// not change the value reports nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skw {

class TBitmap;
class TLabel;
class TProgressBar;
class TMemo;
class TImage;
class TTimer;
class TWindowFrame;

// Told about every change of a control; the default ignores it.
class TControlListener {
 public:
  virtual ~TControlListener() = default;
  virtual void LabelChanged(const TLabel&) {}
  virtual void ProgressBarChanged(const TProgressBar&) {}
  virtual void MemoChanged(const TMemo&) {}
  virtual void ImageChanged(const TImage&) {}
  virtual void TimerChanged(TTimer&) {}
  virtual void WindowChanged(const TWindowFrame&) {}
};

class TControl {
 public:
  explicit TControl(std::string Name) : FName(std::move(Name)) {}
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return FName; }
  void SetListener(TControlListener* Listener) { FListener = Listener; }

 protected:
  TControlListener* FListener = nullptr;

 private:
  std::string FName;
};

// One line of status text.
class TLabel final : public TControl {
 public:
  TLabel(std::string Name, std::string Caption) : TControl(std::move(Name)), FCaption(std::move(Caption)) {}
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Caption);

 private:
  std::string FCaption;
};

// A bar from Min to Max; the position always stays inside that range.
class TProgressBar final : public TControl {
 public:
  explicit TProgressBar(std::string Name) : TControl(std::move(Name)) {}
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetMin(int Min) { Update(Min, FMax < Min ? Min : FMax, FPosition); }
  void SetMax(int Max) { Update(FMin > Max ? Max : FMin, Max, FPosition); }
  void SetPosition(int Position) { Update(FMin, FMax, Position); }
  void StepBy(int Delta) { Update(FMin, FMax, FPosition + Delta); }

 private:
  void Update(int Min, int Max, int64_t Position);
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
};

// A read-only multi-line text box, hidden until made visible.
class TMemo final : public TControl {
 public:
  TMemo(std::string Name, std::string Text);
  const std::vector<std::string>& Lines() const { return FLines; }
  bool Visible() const { return FVisible; }
  // Replaces the lines by those of Text (lines end in CR LF, LF or CR).
  void SetText(const std::string& Text);
  void SetVisible(bool Visible);

 private:
  std::vector<std::string> FLines;
  bool FVisible = false;
};

// A picture box; empty until a picture is set.
class TImage final : public TControl {
 public:
  explicit TImage(std::string Name);
  ~TImage() override;
  const TBitmap* Picture() const { return FPicture.get(); }
  void SetPicture(std::unique_ptr<TBitmap> Picture);

 private:
  std::unique_ptr<TBitmap> FPicture;
};

// A timer that calls OnTimer every Interval milliseconds while it is enabled; the
// front-end's message loop does the calling. Tag is free for its user (the
// countdown counter lives there).
class TTimer final : public TControl {
 public:
  explicit TTimer(std::string Name) : TControl(std::move(Name)) {}
  bool Enabled() const { return FEnabled; }
  int Interval() const { return FInterval; }
  void SetEnabled(bool Enabled);
  void SetInterval(int Milliseconds) { FInterval = Milliseconds; }
  // One tick: calls OnTimer when set.
  void Tick() {
    if (OnTimer) OnTimer();
  }

  std::function<void()> OnTimer;
  int32_t Tag = 0;

 private:
  bool FEnabled = false;
  int FInterval = 1000;
};

// The window itself: caption and outer size in pixels.
class TWindowFrame final : public TControl {
 public:
  TWindowFrame(std::string Name, std::string Caption, int Width, int Height)
      : TControl(std::move(Name)), FCaption(std::move(Caption)), FWidth(Width), FHeight(Height) {}
  const std::string& Caption() const { return FCaption; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetHeight(int Height);

 private:
  std::string FCaption;
  int FWidth;
  int FHeight;
};

}  // namespace skw
