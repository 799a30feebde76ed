// The window front-end's rules, driven through a stand-in window whose message
// queue the test fills: control changes reach the right part of the window,
// the first activation alone starts the run, a close during the run lets the
// run finish and then ends the program, a close afterwards ends it at once,
// exceptions go to the standard exception box, and a program ended during
// set-up never shows its window.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "installer/frontend/FrontEndFactory.h"
#include "installer/Messages.h"
#include "installer/frontend/Win32FrontEnd.h"
#include "textures/Bitmap.h"

namespace {

using skw::TWin32FrontEnd;

// Records every call as a short text; HandleNext and ProcessPending take the
// queued messages (each one a call into the events).
class FakeWindow final : public platform::MainWindow {
 public:
  FakeWindow(platform::WindowEvents& Events, std::vector<std::string>& Log) : FEvents(Events), FLog(Log) {}

  void SetLabel(int Line, const std::string& Text) override {
    FLog.push_back("Label" + std::to_string(Line) + " " + Text);
  }
  void SetProgress(int Min, int Max, int Position) override {
    FLog.push_back("Progress " + std::to_string(Min) + ".." + std::to_string(Max) + " @" + std::to_string(Position));
  }
  void SetMemo(const std::string& Text, bool Visible) override {
    FLog.push_back(std::string("Memo ") + (Visible ? "shown " : "hidden ") + Text);
  }
  void SetPicture(const platform::WindowPicture& Picture) override {
    FLog.push_back("Picture " + std::to_string(Picture.Width) + "x" + std::to_string(Picture.Height));
    FPicture = Picture;
  }
  void SetOuterHeight(int Height) override { FLog.push_back("Height " + std::to_string(Height)); }
  void SetTimer(bool Enabled, int Interval) override {
    FLog.push_back(std::string("Timer ") + (Enabled ? "on " : "off ") + std::to_string(Interval));
  }
  void SetHourglass(bool Hourglass) override { FLog.push_back(Hourglass ? "Hourglass" : "Arrow"); }
  void ShowMessage(const std::string& Caption, const std::string& Text, platform::MessageIcon Icon) override {
    const char* IconName = Icon == platform::MessageIcon::Error     ? "error"
                           : Icon == platform::MessageIcon::Warning ? "warning"
                                                                    : "information";
    FLog.push_back(std::string("Box ") + IconName + "|" + Caption + "|" + Text);
  }
  void Show() override {
    FLog.push_back("Show");
    Post([this] { FEvents.Activated(); });
  }
  void ProcessPending() override {
    std::deque<std::function<void()>> Now;
    Now.swap(Queue);
    while (!FQuit && !Now.empty()) Take(Now);
  }
  bool HandleNext() override {
    if (FQuit) return false;
    if (Queue.empty()) {
      FLog.push_back("Idle");  // a real loop would wait here for the user
      return false;
    }
    Take(Queue);
    return !FQuit;
  }
  void Quit() override {
    FLog.push_back("Quit");
    FQuit = true;
  }

  void Post(std::function<void()> Message) { Queue.push_back(std::move(Message)); }
  void PostClose() {
    Post([this] { FEvents.CloseAsked(); });
  }
  void PostTick() {
    Post([this] { FEvents.TimerTicked(); });
  }
  void PostActivate() {
    Post([this] { FEvents.Activated(); });
  }

  std::deque<std::function<void()>> Queue;
  platform::WindowPicture FPicture;

 private:
  void Take(std::deque<std::function<void()>>& From) {
    auto Message = std::move(From.front());
    From.pop_front();
    Message();
  }
  platform::WindowEvents& FEvents;
  std::vector<std::string>& FLog;
  bool FQuit = false;
};

class WindowFrontEndTest : public ::testing::Test {
 protected:
  WindowFrontEndTest()
      : FrontEnd([this](platform::WindowEvents& Events) {
          auto Created = std::make_unique<FakeWindow>(Events, Log);
          Window = Created.get();
          return Created;
        }) {}

  bool Logged(const std::string& Entry) const { return std::find(Log.begin(), Log.end(), Entry) != Log.end(); }
  int Count(const std::string& Entry) const { return static_cast<int>(std::count(Log.begin(), Log.end(), Entry)); }

  std::vector<std::string> Log;
  FakeWindow* Window = nullptr;
  TWin32FrontEnd FrontEnd;
};

TEST_F(WindowFrontEndTest, ControlChangesReachTheirPartOfTheWindow) {
  skw::TLabel Label1("Label1", " "), Label2("Label2", " ");
  skw::TProgressBar Bar("ProgressBar1");
  skw::TMemo Memo("Memo1", "Memo1");
  skw::TWindowFrame Frame("Form1", skw::kWindowCaption, 300, 180);
  skw::TTimer Timer("Timer1");
  for (skw::TControl* Control : std::initializer_list<skw::TControl*>{&Label1, &Label2, &Bar, &Memo, &Frame, &Timer})
    Control->SetListener(&FrontEnd);

  Label1.SetCaption("Scanning textures.bin ...");
  Label2.SetCaption("ROTOR");
  Bar.SetMax(12);
  Bar.SetPosition(3);
  Memo.SetText("Made by\nsomeone\r\n\r\nthanks");
  Memo.SetVisible(true);
  Frame.SetHeight(175);
  Timer.SetEnabled(true);
  Timer.SetEnabled(false);
  FrontEnd.SetCursor(skw::TCursorKind::Hourglass);
  FrontEnd.SetCursor(skw::TCursorKind::Default);

  const std::vector<std::string> Expected{"Label1 Scanning textures.bin ...",
                                          "Label2 ROTOR",
                                          "Progress 0..12 @0",
                                          "Progress 0..12 @3",
                                          "Memo hidden Made by\r\nsomeone\r\n\r\nthanks",
                                          "Memo shown Made by\r\nsomeone\r\n\r\nthanks",
                                          "Height 175",
                                          "Timer on 1000",
                                          "Timer off 1000",
                                          "Hourglass",
                                          "Arrow"};
  EXPECT_EQ(Log, Expected);
}

TEST_F(WindowFrontEndTest, LogoReachesTheWindowAsRedGreenBluePixelsTopRowFirst) {
  skw::TImage Image("Image1");
  Image.SetListener(&FrontEnd);
  auto Picture = std::make_unique<skw::TBitmap>();
  Picture->SetPixelFormat(skw::TPixelFormat::pf24bit);
  Picture->SetSize(3, 2);
  Picture->SetPixel(0, 0, 0x0000FF);  // red
  Picture->SetPixel(2, 0, 0x00FF00);  // green
  Picture->SetPixel(1, 1, 0xFF0000);  // blue
  Image.SetPicture(std::move(Picture));
  ASSERT_EQ(Window->FPicture.Width, 3);
  ASSERT_EQ(Window->FPicture.Height, 2);
  const std::vector<uint32_t> Expected{0xFF0000, 0, 0x00FF00, 0, 0x0000FF, 0};
  EXPECT_EQ(Window->FPicture.Pixels, Expected);

  Image.SetPicture(nullptr);
  EXPECT_EQ(Log.back(), "Picture 0x0");
}

TEST_F(WindowFrontEndTest, MessageBoxesKeepCaptionTextAndIcon) {
  FrontEnd.MessageBox("ROTOR-PAL-64x64.bmp", "Wrong color depth or texture size.", skw::TMessageIcon::Warning);
  FrontEnd.MessageBox("Textures", "Not valid", skw::TMessageIcon::Information);
  FrontEnd.ShowException("Disk full");
  EXPECT_EQ(Log[0], "Box warning|ROTOR-PAL-64x64.bmp|Wrong color depth or texture size.");
  EXPECT_EQ(Log[1], "Box information|Textures|Not valid");
  EXPECT_EQ(Log[2], std::string("Box error|") + skw::kAppTitle + "|Disk full.");
}

TEST_F(WindowFrontEndTest, EndedDuringSetUpNeverShowsTheWindow) {
  FrontEnd.MessageBox(skw::kAppTitle, skw::kNoValidZip, skw::TMessageIcon::Error);
  FrontEnd.Terminate();
  int Runs = 0;
  FrontEnd.Run({[&Runs] { ++Runs; }});
  EXPECT_EQ(Runs, 0);
  EXPECT_FALSE(Logged("Show"));
  EXPECT_TRUE(FrontEnd.Terminated());
}

TEST_F(WindowFrontEndTest, OnlyTheFirstActivationStartsTheRun) {
  int Runs = 0;
  skw::TTimer Timer("Timer1");
  Timer.SetListener(&FrontEnd);
  int Ticks = 0;
  Timer.OnTimer = [&] {
    if (++Ticks == 2) FrontEnd.Terminate();
  };
  FrontEnd.Run({[&] {
    ++Runs;
    Window->PostActivate();  // the window is activated again while the run lets messages through
    FrontEnd.ProcessMessages();
    Timer.SetEnabled(true);
    Window->PostActivate();
    Window->PostTick();
    Window->PostActivate();
    Window->PostTick();
  }});
  EXPECT_EQ(Runs, 1);
  EXPECT_EQ(Ticks, 2);
  EXPECT_EQ(Count("Show"), 1);
  EXPECT_FALSE(Logged("Idle"));
}

TEST_F(WindowFrontEndTest, CloseDuringTheRunLetsTheRunFinishThenEnds) {
  skw::TTimer Timer("Timer1");
  Timer.SetListener(&FrontEnd);
  int Ticks = 0;
  Timer.OnTimer = [&Ticks] { ++Ticks; };
  bool Saved = false;
  FrontEnd.Run({[&] {
    Window->PostClose();
    FrontEnd.ProcessMessages();
    EXPECT_FALSE(FrontEnd.Terminated()) << "the run must go on to its end";
    Saved = true;
    Timer.SetEnabled(true);  // the countdown the close replaces
    Window->PostTick();
  }});
  EXPECT_TRUE(Saved);
  EXPECT_EQ(Ticks, 0);
  EXPECT_TRUE(FrontEnd.Terminated());
  EXPECT_FALSE(Logged("Idle"));
}

TEST_F(WindowFrontEndTest, CloseDuringTheCountdownEndsAtOnce) {
  skw::TTimer Timer("Timer1");
  Timer.SetListener(&FrontEnd);
  int Ticks = 0;
  Timer.OnTimer = [&Ticks] { ++Ticks; };
  FrontEnd.Run({[&] {
    Timer.SetEnabled(true);
    Window->PostTick();
    Window->PostClose();
    Window->PostTick();
  }});
  EXPECT_EQ(Ticks, 1);
  EXPECT_TRUE(FrontEnd.Terminated());
  EXPECT_FALSE(Logged("Idle"));
}

TEST_F(WindowFrontEndTest, ExceptionInTheRunIsShownAndTheWindowStaysOpenUntilClosed) {
  FrontEnd.Run({[&] {
    FrontEnd.SetCursor(skw::TCursorKind::Hourglass);
    Window->PostClose();  // handled only after the box, as the user's next act
    throw std::runtime_error("Bitmap image is not valid");
  }});
  const std::string Box = std::string("Box error|") + skw::kAppTitle + "|Bitmap image is not valid.";
  ASSERT_TRUE(Logged(Box));
  EXPECT_EQ(Log.back(), "Quit");
  EXPECT_EQ(Count("Arrow"), 0) << "the cursor stays as the run left it";
  EXPECT_FALSE(Logged("Idle"));
}

TEST_F(WindowFrontEndTest, TerminateInsideTheRunEndsTheLoopWhenTheRunReturns) {
  bool After = false;
  FrontEnd.Run({[&] {
    FrontEnd.Terminate();  // a countdown of 0
    After = true;
  }});
  EXPECT_TRUE(After);
  EXPECT_FALSE(Logged("Idle"));
}

TEST(FrontEndChoice, OnlyTheExactWordAsksForTheConsole) {
  EXPECT_TRUE(skw::ConsoleRequested("console"));
  EXPECT_FALSE(skw::ConsoleRequested(""));
  EXPECT_FALSE(skw::ConsoleRequested("window"));
  EXPECT_FALSE(skw::ConsoleRequested("Console "));
}

}  // namespace
