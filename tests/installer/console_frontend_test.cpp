// Tests of the window's controls and the console front-end: which changes print
// what on standard output and standard error, the progress bar drawn only on a
// terminal, the message loop (activation once, timer ticks, the end when no
// timer runs, an exception shown as the standard box), Ctrl+C during the run and
// during the countdown, and the engine's reports routed into the controls.
#include <gtest/gtest.h>

#include <sstream>

#include "installer/frontend/ConsoleFrontEnd.h"
#include "installer/EngineBridge.h"

namespace {

using skw::TConsoleFrontEnd;

// A console front-end on string streams with the window's controls attached.
struct ConsoleWindow {
  explicit ConsoleWindow(bool Terminal = false)
      : FrontEnd(TConsoleFrontEnd::TConsole{&Out, &Err, Terminal, [this](int Ms) { Slept += Ms; },
                                            [this] { return Interrupt; }}) {
    for (skw::TControl* Control : std::initializer_list<skw::TControl*>{&Label1, &Label2, &Bar, &Memo, &Timer})
      Control->SetListener(&FrontEnd);
  }

  std::ostringstream Out;
  std::ostringstream Err;
  int Slept = 0;
  bool Interrupt = false;
  TConsoleFrontEnd FrontEnd;
  skw::TLabel Label1{"Label1", "    "};
  skw::TLabel Label2{"Label2", "    "};
  skw::TProgressBar Bar{"ProgressBar1"};
  skw::TMemo Memo{"Memo1", "Memo1"};
  skw::TTimer Timer{"Timer1"};
};

TEST(Controls, ProgressBarKeepsItsPositionInRangeAndMemoSplitsLines) {
  skw::TProgressBar Bar("ProgressBar1");
  Bar.SetMax(12);
  Bar.StepBy(20);
  EXPECT_EQ(Bar.Position(), 12);
  Bar.SetPosition(-4);
  EXPECT_EQ(Bar.Position(), 0);
  Bar.SetMin(30);
  EXPECT_EQ(Bar.Max(), 30);
  EXPECT_EQ(Bar.Position(), 30);
  skw::TMemo Memo("Memo1", "Memo1");
  EXPECT_EQ(Memo.Lines(), std::vector<std::string>{"Memo1"});
  Memo.SetText("one\r\ntwo\nthree\r\rfive\r\n");
  EXPECT_EQ(Memo.Lines(), (std::vector<std::string>{"one", "two", "three", "", "five"}));
}

TEST(ConsoleFrontEnd, LabelsAndCreditsAreLinesOnStandardOutput) {
  ConsoleWindow W;
  W.Memo.SetText("Desert pack\r\nby Somebody");
  W.Memo.SetVisible(true);
  W.Label1.SetCaption("Scanning textures.bin ...");
  W.Label2.SetCaption("ROTOR");
  W.Label2.SetCaption("ROTOR");  // unchanged: nothing printed
  W.Label2.SetCaption("");       // cleared: nothing printed
  W.Label1.SetCaption("All done.");
  W.Memo.SetVisible(false);
  W.Memo.SetVisible(true);  // the credits appear once
  W.Bar.SetPosition(50);    // not a terminal: no bar
  EXPECT_EQ(W.Out.str(), "Desert pack\nby Somebody\nScanning textures.bin ...\nROTOR\nAll done.\n");
  EXPECT_EQ(W.Err.str(), "");
}

TEST(ConsoleFrontEnd, MessageBoxesAreOneLineOnStandardError) {
  ConsoleWindow W;
  W.FrontEnd.MessageBox("Skinwright import module", "No valid Zip file specified.", skw::TMessageIcon::Error);
  W.FrontEnd.MessageBox("ROTOR-PAL-64x64.bmp", "Wrong color depth\r\nor texture size.", skw::TMessageIcon::Warning);
  W.FrontEnd.MessageBox("C", "T", skw::TMessageIcon::Information);
  W.FrontEnd.ShowException("Disk full");
  W.FrontEnd.ShowException("CRC error (25111)");
  EXPECT_EQ(W.Err.str(),
            "error: Skinwright import module: No valid Zip file specified.\n"
            "warning: ROTOR-PAL-64x64.bmp: Wrong color depth or texture size.\n"
            "information: C: T\n"
            "error: Skinwright import module: Disk full.\n"
            "error: Skinwright import module: CRC error (25111)\n");
  EXPECT_EQ(W.Out.str(), "");
  EXPECT_EQ(skw::StandardExceptionText("Failed."), "Failed.");
  EXPECT_EQ(skw::StandardExceptionText("Failed!"), "Failed!");
  EXPECT_EQ(skw::StandardExceptionText(""), "");
}

// The bar as it should look: Filled marks of 40, then the percentage.
std::string ExpectedBar(size_t Filled, const std::string& Percent) {
  std::string Bar(1, '[');
  Bar.append(Filled, '#').append(40 - Filled, '.').append("] ").append(Percent);
  return Bar;
}

TEST(ConsoleFrontEnd, BarIsRedrawnOnOneLineOnATerminal) {
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 100, 0), ExpectedBar(0, "  0%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 4, 1), ExpectedBar(10, " 25%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 12, 12), ExpectedBar(40, "100%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(5, 5, 5), ExpectedBar(0, "  0%"));
  ConsoleWindow W(true);
  W.Bar.SetMax(4);
  W.Bar.SetMax(4);  // unchanged: not drawn again
  W.Bar.StepBy(1);
  W.Label2.SetCaption("ROTOR");
  const std::string Bar = TConsoleFrontEnd::BarText(0, 4, 1);
  // The label line goes above the bar, which is drawn again below it.
  std::string Expected;
  Expected.append("\r")
      .append(TConsoleFrontEnd::BarText(0, 4, 0))
      .append("\r")
      .append(Bar)
      .append("\r")
      .append(Bar.size(), ' ')
      .append("\r");
  Expected.append("ROTOR\n\r").append(Bar);
  EXPECT_EQ(W.Out.str(), Expected);
}

TEST(ConsoleFrontEnd, FinishPrintsTheSummaryLastAndAnswersTheExitCode) {
  const std::string Summary = "1 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached";
  ConsoleWindow Plain;
  EXPECT_EQ(Plain.FrontEnd.Finish(&Summary, false), 0);
  EXPECT_EQ(Plain.FrontEnd.Finish(nullptr, true), 1);
  EXPECT_EQ(Plain.Out.str(), Summary + "\n");
  {
    ConsoleWindow Terminal(true);
    Terminal.Bar.SetMax(4);
    EXPECT_EQ(Terminal.FrontEnd.Finish(&Summary, true), 1);
    const std::string Out = Terminal.Out.str();
    // The bar keeps its own line; the summary comes below it.
    EXPECT_EQ(Out.substr(Out.size() - Summary.size() - 2), "\n" + Summary + "\n");
  }
}

TEST(ConsoleFrontEnd, LoopActivatesOnceThenTicksUntilTerminated) {
  ConsoleWindow W;
  int Activations = 0;
  std::vector<int> Seen;
  W.Timer.Tag = 3;
  W.Timer.OnTimer = [&] {
    if (--W.Timer.Tag <= 0) W.FrontEnd.Terminate();
    Seen.push_back(W.Timer.Tag);
  };
  W.FrontEnd.Run({[&] {
    ++Activations;
    W.Timer.SetEnabled(true);
  }});
  EXPECT_EQ(Activations, 1);
  EXPECT_EQ(Seen, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(W.Slept, 3000);
  EXPECT_TRUE(W.FrontEnd.Terminated());
}

TEST(ConsoleFrontEnd, LoopEndsWhenNoTimerRunsAndShowsEscapingExceptions) {
  ConsoleWindow Quiet;
  Quiet.FrontEnd.Run({[&] { Quiet.Label1.SetCaption("All done."); }});
  EXPECT_EQ(Quiet.Slept, 0);
  EXPECT_EQ(Quiet.Out.str(), "All done.\n");

  ConsoleWindow Failing;
  Failing.FrontEnd.Run({[&] {
    Failing.Timer.SetEnabled(true);
    throw std::runtime_error("Bitmap image is not valid");
  }});
  EXPECT_EQ(Failing.Err.str(), "error: Skinwright import module: Bitmap image is not valid.\n");
  EXPECT_EQ(Failing.Slept, 0);
}

TEST(ConsoleFrontEnd, InterruptDuringTheRunLetsItFinishThenEnds) {
  ConsoleWindow W;
  bool Finished = false;
  int Ticks = 0;
  W.Timer.OnTimer = [&] { ++Ticks; };
  W.FrontEnd.Run({[&] {
    W.Interrupt = true;
    W.FrontEnd.ProcessMessages();
    W.Label1.SetCaption("Saving textures file ...");
    W.Timer.SetEnabled(true);
    Finished = true;
  }});
  EXPECT_TRUE(Finished);
  EXPECT_EQ(Ticks, 0);
  EXPECT_EQ(W.Out.str(), "Saving textures file ...\n");
}

TEST(ConsoleFrontEnd, InterruptDuringTheCountdownEndsAtOnce) {
  ConsoleWindow W;
  int Ticks = 0;
  W.Timer.OnTimer = [&] {
    if (++Ticks == 2) W.Interrupt = true;
  };
  W.FrontEnd.Run({[&] { W.Timer.SetEnabled(true); }});
  EXPECT_EQ(Ticks, 2);
  EXPECT_EQ(W.Slept, 2000);
}

TEST(EngineBridge, EngineReportsLandInTheControls) {
  ConsoleWindow W;
  skw::TEngineBridge Bridge(W.Label2, W.Bar, W.FrontEnd);
  skw::TEngineFrontEnd& Engine = Bridge;
  Engine.SetProgressMax(8);
  Engine.StepProgressBy(3);
  Engine.SetLabel2("ROTOR");
  Engine.MessageBox("textures.bin", "Not a valid EECH textures file.", skw::TMessageIcon::Error);
  EXPECT_EQ(W.Bar.Max(), 8);
  EXPECT_EQ(W.Bar.Position(), 3);
  EXPECT_EQ(W.Label2.Caption(), "ROTOR");
  EXPECT_EQ(W.Out.str(), "ROTOR\n");
  EXPECT_EQ(W.Err.str(), "error: textures.bin: Not a valid EECH textures file.\n");
}

}  // namespace
