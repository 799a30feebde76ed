// TEngineBridge: the texture engine's front-end interface served by the main
// window. The engine's second status line and progress bar reports go into the
// window's Label2 and ProgressBar1 controls (whose listener draws them); message
// boxes, message processing and the cursor go straight to the window's
// front-end. So the engine's reports end up in the same window state as the
// installer's own.
#pragma once
#include "installer/frontend/Controls.h"
#include "installer/frontend/FrontEnd.h"
#include "textures/EngineFrontEnd.h"

namespace skw {

class TEngineBridge final : public TEngineFrontEnd {
 public:
  TEngineBridge(TLabel& Label2, TProgressBar& ProgressBar, TFrontEnd& FrontEnd)
      : FLabel2(Label2), FProgressBar(ProgressBar), FFrontEnd(FrontEnd) {}

  void SetLabel2(const std::string& Text) override { FLabel2.SetCaption(Text); }
  void SetProgressMin(int Min) override { FProgressBar.SetMin(Min); }
  void SetProgressMax(int Max) override { FProgressBar.SetMax(Max); }
  void SetProgressPosition(int Position) override { FProgressBar.SetPosition(Position); }
  void StepProgressBy(int Delta) override { FProgressBar.StepBy(Delta); }
  void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) override {
    FFrontEnd.MessageBox(Caption, Text, Icon);
  }
  void ProcessMessages() override { FFrontEnd.ProcessMessages(); }
  void SetCursor(TCursorKind Cursor) override { FFrontEnd.SetCursor(Cursor); }

 private:
  TLabel& FLabel2;
  TProgressBar& FProgressBar;
  TFrontEnd& FFrontEnd;
};

}  // namespace skw
