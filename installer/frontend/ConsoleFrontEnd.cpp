// The console front-end: label lines, credits and message boxes as text, the
// progress bar redrawn in place with a carriage return, and the message loop as
// a sleep between timer ticks that watches for Ctrl+C.
#include "installer/frontend/ConsoleFrontEnd.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "platform/Console.h"

namespace skw {

namespace {

const char* IconWord(TMessageIcon Icon) {
  switch (Icon) {
    case TMessageIcon::Error: return "error";
    case TMessageIcon::Warning: return "warning";
    case TMessageIcon::Information: return "information";
  }
  return "error";
}

bool IsBlank(const std::string& Text) { return Text.find_first_not_of(' ') == std::string::npos; }

// Line breaks inside a message become blanks, so a box stays one line.
std::string OneLine(std::string Text) {
  std::string Result;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') continue;
    Result += (Text[I] == '\r' || Text[I] == '\n') ? ' ' : Text[I];
  }
  return Result;
}

// Slices of the wait between two ticks, so Ctrl+C is noticed quickly.
constexpr int kPollMilliseconds = 50;

}  // namespace

TConsoleFrontEnd::TConsoleFrontEnd()
    : TConsoleFrontEnd(TConsole{&std::cout, &std::cerr, platform::StdoutIsTerminal(),
                                [](int Ms) { std::this_thread::sleep_for(std::chrono::milliseconds(Ms)); },
                                [] { return platform::InterruptRequested(); }}) {
  platform::CatchInterrupt();
}

TConsoleFrontEnd::TConsoleFrontEnd(TConsole Console) : FConsole(std::move(Console)) {}

TConsoleFrontEnd::~TConsoleFrontEnd() {
  if (FBarShown) *FConsole.Out << '\n' << std::flush;
}

std::string TConsoleFrontEnd::BarText(int Min, int Max, int Position) {
  const int64_t Span = static_cast<int64_t>(Max) - Min;
  const int64_t Done = Span > 0 ? std::clamp<int64_t>(static_cast<int64_t>(Position) - Min, 0, Span) : 0;
  const int Filled = Span > 0 ? static_cast<int>(Done * kBarWidth / Span) : 0;
  const int Percent = Span > 0 ? static_cast<int>(Done * 100 / Span) : 0;
  const std::string Number = std::to_string(Percent);
  std::string Text(1, '[');
  Text.append(static_cast<size_t>(Filled), '#');
  Text.append(static_cast<size_t>(kBarWidth - Filled), '.');
  Text.append("] ");
  Text.append(Number.size() < 3 ? 3 - Number.size() : 0, ' ');
  Text.append(Number);
  Text.push_back('%');
  return Text;
}

void TConsoleFrontEnd::EraseBar() {
  if (FBarShown) *FConsole.Out << '\r' << std::string(FBar.size(), ' ') << '\r';
}

void TConsoleFrontEnd::DrawBar() {
  if (FBarShown) *FConsole.Out << '\r' << FBar << std::flush;
}

void TConsoleFrontEnd::PrintLine(const std::string& Text) {
  EraseBar();
  *FConsole.Out << Text << '\n';
  DrawBar();
  FConsole.Out->flush();
}

void TConsoleFrontEnd::LabelChanged(const TLabel& Label) {
  if (!IsBlank(Label.Caption())) PrintLine(Label.Caption());
}

void TConsoleFrontEnd::ProgressBarChanged(const TProgressBar& Bar) {
  if (!FConsole.Terminal) return;
  const std::string Text = BarText(Bar.Min(), Bar.Max(), Bar.Position());
  if (FBarShown && Text == FBar) return;
  FBar = Text;
  FBarShown = true;
  DrawBar();
}

void TConsoleFrontEnd::MemoChanged(const TMemo& Memo) {
  if (FCreditsShown || !Memo.Visible()) return;
  FCreditsShown = true;
  EraseBar();
  for (const std::string& Line : Memo.Lines()) *FConsole.Out << Line << '\n';
  DrawBar();
  FConsole.Out->flush();
}

void TConsoleFrontEnd::TimerChanged(TTimer& Timer) {
  if (Timer.Enabled()) FTimer = &Timer;
}

void TConsoleFrontEnd::MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) {
  EraseBar();
  FConsole.Out->flush();
  *FConsole.Err << IconWord(Icon) << ": " << OneLine(Caption) << ": " << OneLine(Text) << '\n' << std::flush;
  DrawBar();
}

bool TConsoleFrontEnd::CloseAsked() {
  if (!FCloseRequested && FConsole.Interrupted && FConsole.Interrupted()) FCloseRequested = true;
  return FCloseRequested;
}

void TConsoleFrontEnd::ProcessMessages() {
  // Closing during the run only marks the request: the run goes on to its end.
  CloseAsked();
}

void TConsoleFrontEnd::Guarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& Error) {
    ShowException(Error.what());
    FTerminated = true;
  }
}

bool TConsoleFrontEnd::WaitForTick(int Interval) {
  for (int Waited = 0; Waited < Interval; Waited += kPollMilliseconds) {
    if (CloseAsked()) return true;
    if (FConsole.Sleep) FConsole.Sleep(std::min(kPollMilliseconds, Interval - Waited));
  }
  return CloseAsked();
}

int TConsoleFrontEnd::Finish(const std::string* Summary, bool Failed) {
  if (Summary != nullptr) {
    // The bar keeps its last state on its own line; the summary is the last line.
    if (FBarShown) *FConsole.Out << '\n';
    FBarShown = false;
    *FConsole.Out << *Summary << '\n' << std::flush;
  }
  return Failed ? 1 : 0;
}

void TConsoleFrontEnd::Run(const TWindowEvents& Events) {
  if (Events.OnActivate && !FTerminated) Guarded(Events.OnActivate);
  while (!FTerminated && !CloseAsked() && FTimer != nullptr && FTimer->Enabled()) {
    if (WaitForTick(std::max(FTimer->Interval(), 1))) break;
    Guarded([this] { FTimer->Tick(); });
  }
  FTerminated = true;
}

}  // namespace skw
