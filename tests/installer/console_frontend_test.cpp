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
    for (skw::TControl* control : std::initializer_list<skw::TControl*>{&Label1, &Label2, &Bar, &Memo, &Timer})
      control->SetListener(&FrontEnd);
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
  skw::TProgressBar bar("ProgressBar1");
  bar.SetMax(12);
  bar.StepBy(20);
  EXPECT_EQ(bar.Position(), 12);
  bar.SetPosition(-4);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetMin(30);
  EXPECT_EQ(bar.Max(), 30);
  EXPECT_EQ(bar.Position(), 30);
  skw::TMemo memo("Memo1", "Memo1");
  EXPECT_EQ(memo.Lines(), std::vector<std::string>{"Memo1"});
  memo.SetText("one\r\ntwo\nthree\r\rfive\r\n");
  EXPECT_EQ(memo.Lines(), (std::vector<std::string>{"one", "two", "three", "", "five"}));
}

TEST(ConsoleFrontEnd, LabelsAndCreditsAreLinesOnStandardOutput) {
  ConsoleWindow w;
  w.Memo.SetText("Desert pack\r\nby Somebody");
  w.Memo.SetVisible(true);
  w.Label1.SetCaption("Scanning textures.bin ...");
  w.Label2.SetCaption("ROTOR");
  w.Label2.SetCaption("ROTOR");  // unchanged: nothing printed
  w.Label2.SetCaption("");       // cleared: nothing printed
  w.Label1.SetCaption("All done.");
  w.Memo.SetVisible(false);
  w.Memo.SetVisible(true);  // the credits appear once
  w.Bar.SetPosition(50);    // not a terminal: no bar
  EXPECT_EQ(w.Out.str(), "Desert pack\nby Somebody\nScanning textures.bin ...\nROTOR\nAll done.\n");
  EXPECT_EQ(w.Err.str(), "");
}

TEST(ConsoleFrontEnd, MessageBoxesAreOneLineOnStandardError) {
  ConsoleWindow w;
  w.FrontEnd.MessageBox("Skinwright import module", "No valid Zip file specified.", skw::TMessageIcon::Error);
  w.FrontEnd.MessageBox("ROTOR-PAL-64x64.bmp", "Wrong color depth\r\nor texture size.", skw::TMessageIcon::Warning);
  w.FrontEnd.MessageBox("C", "T", skw::TMessageIcon::Information);
  w.FrontEnd.ShowException("Disk full");
  w.FrontEnd.ShowException("CRC error (25111)");
  EXPECT_EQ(w.Err.str(),
            "error: Skinwright import module: No valid Zip file specified.\n"
            "warning: ROTOR-PAL-64x64.bmp: Wrong color depth or texture size.\n"
            "information: C: T\n"
            "error: Skinwright import module: Disk full.\n"
            "error: Skinwright import module: CRC error (25111)\n");
  EXPECT_EQ(w.Out.str(), "");
  EXPECT_EQ(skw::StandardExceptionText("Failed."), "Failed.");
  EXPECT_EQ(skw::StandardExceptionText("Failed!"), "Failed!");
  EXPECT_EQ(skw::StandardExceptionText(""), "");
}

// The bar as it should look: Filled marks of 40, then the percentage.
std::string ExpectedBar(size_t Filled, const std::string& Percent) {
  std::string bar(1, '[');
  bar.append(Filled, '#').append(40 - Filled, '.').append("] ").append(Percent);
  return bar;
}

TEST(ConsoleFrontEnd, BarIsRedrawnOnOneLineOnATerminal) {
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 100, 0), ExpectedBar(0, "  0%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 4, 1), ExpectedBar(10, " 25%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(0, 12, 12), ExpectedBar(40, "100%"));
  EXPECT_EQ(TConsoleFrontEnd::BarText(5, 5, 5), ExpectedBar(0, "  0%"));
  ConsoleWindow w(true);
  w.Bar.SetMax(4);
  w.Bar.SetMax(4);  // unchanged: not drawn again
  w.Bar.StepBy(1);
  w.Label2.SetCaption("ROTOR");
  const std::string bar = TConsoleFrontEnd::BarText(0, 4, 1);
  // The label line goes above the bar, which is drawn again below it.
  std::string expected;
  expected.append("\r")
      .append(TConsoleFrontEnd::BarText(0, 4, 0))
      .append("\r")
      .append(bar)
      .append("\r")
      .append(bar.size(), ' ')
      .append("\r");
  expected.append("ROTOR\n\r").append(bar);
  EXPECT_EQ(w.Out.str(), expected);
}

TEST(ConsoleFrontEnd, FinishPrintsTheSummaryLastAndAnswersTheExitCode) {
  const std::string summary = "1 replaced, 0 rejected, 0 without a texture, 0 skipped, 0 never reached";
  ConsoleWindow plain;
  EXPECT_EQ(plain.FrontEnd.Finish(&summary, false), 0);
  EXPECT_EQ(plain.FrontEnd.Finish(nullptr, true), 1);
  EXPECT_EQ(plain.Out.str(), summary + "\n");
  {
    ConsoleWindow terminal(true);
    terminal.Bar.SetMax(4);
    EXPECT_EQ(terminal.FrontEnd.Finish(&summary, true), 1);
    const std::string out = terminal.Out.str();
    // The bar keeps its own line; the summary comes below it.
    EXPECT_EQ(out.substr(out.size() - summary.size() - 2), "\n" + summary + "\n");
  }
}

TEST(ConsoleFrontEnd, LoopActivatesOnceThenTicksUntilTerminated) {
  ConsoleWindow w;
  int activations = 0;
  std::vector<int> seen;
  w.Timer.Tag = 3;
  w.Timer.OnTimer = [&] {
    if (--w.Timer.Tag <= 0) w.FrontEnd.Terminate();
    seen.push_back(w.Timer.Tag);
  };
  w.FrontEnd.Run({[&] {
    ++activations;
    w.Timer.SetEnabled(true);
  }});
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(w.Slept, 3000);
  EXPECT_TRUE(w.FrontEnd.Terminated());
}

TEST(ConsoleFrontEnd, LoopEndsWhenNoTimerRunsAndShowsEscapingExceptions) {
  ConsoleWindow quiet;
  quiet.FrontEnd.Run({[&] { quiet.Label1.SetCaption("All done."); }});
  EXPECT_EQ(quiet.Slept, 0);
  EXPECT_EQ(quiet.Out.str(), "All done.\n");

  ConsoleWindow failing;
  failing.FrontEnd.Run({[&] {
    failing.Timer.SetEnabled(true);
    throw std::runtime_error("Bitmap image is not valid");
  }});
  EXPECT_EQ(failing.Err.str(), "error: Skinwright import module: Bitmap image is not valid.\n");
  EXPECT_EQ(failing.Slept, 0);
}

TEST(ConsoleFrontEnd, InterruptDuringTheRunLetsItFinishThenEnds) {
  ConsoleWindow w;
  bool finished = false;
  int ticks = 0;
  w.Timer.OnTimer = [&] { ++ticks; };
  w.FrontEnd.Run({[&] {
    w.Interrupt = true;
    w.FrontEnd.ProcessMessages();
    w.Label1.SetCaption("Saving textures file ...");
    w.Timer.SetEnabled(true);
    finished = true;
  }});
  EXPECT_TRUE(finished);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(w.Out.str(), "Saving textures file ...\n");
}

TEST(ConsoleFrontEnd, InterruptDuringTheCountdownEndsAtOnce) {
  ConsoleWindow w;
  int ticks = 0;
  w.Timer.OnTimer = [&] {
    if (++ticks == 2) w.Interrupt = true;
  };
  w.FrontEnd.Run({[&] { w.Timer.SetEnabled(true); }});
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(w.Slept, 2000);
}

TEST(EngineBridge, EngineReportsLandInTheControls) {
  ConsoleWindow w;
  skw::TEngineBridge bridge(w.Label2, w.Bar, w.FrontEnd);
  skw::TEngineFrontEnd& engine = bridge;
  engine.SetProgressMax(8);
  engine.StepProgressBy(3);
  engine.SetLabel2("ROTOR");
  engine.MessageBox("textures.bin", "Not a valid EECH textures file.", skw::TMessageIcon::Error);
  EXPECT_EQ(w.Bar.Max(), 8);
  EXPECT_EQ(w.Bar.Position(), 3);
  EXPECT_EQ(w.Label2.Caption(), "ROTOR");
  EXPECT_EQ(w.Out.str(), "ROTOR\n");
  EXPECT_EQ(w.Err.str(), "error: textures.bin: Not a valid EECH textures file.\n");
}

}  // namespace
