// The countdown after the run and the window's clean-up. The counter lives in
// Timer1's tag; each tick lowers it, moves the bar one step and rewrites the
// second status line, and the tick that reaches 0 ends the program.
#include "installer/Unit1.h"

namespace skw {

void TForm1::Timer1Timer() {
  --Timer1.Tag;
  if (Timer1.Tag <= 0) FFrontEnd.Terminate();
  ProgressBar1.StepBy(1);
  Label2.SetCaption("Shutting down in " + std::to_string(Timer1.Tag) + " second(s).");
}

void TForm1::FormDestroy() {
  TextureList.reset();
  ContainerStream.reset();
}

}  // namespace skw
