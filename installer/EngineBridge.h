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
      : Label2_(Label2), ProgressBar_(ProgressBar), FrontEnd_(FrontEnd) {}

  void SetLabel2(const std::string& Text) override { Label2_.SetCaption(Text); }
  void SetProgressMin(int Min) override { ProgressBar_.SetMin(Min); }
  void SetProgressMax(int Max) override { ProgressBar_.SetMax(Max); }
  void SetProgressPosition(int Position) override { ProgressBar_.SetPosition(Position); }
  void StepProgressBy(int Delta) override { ProgressBar_.StepBy(Delta); }
  void MessageBox(const std::string& Caption, const std::string& Text, TMessageIcon Icon) override {
    FrontEnd_.MessageBox(Caption, Text, Icon);
  }
  void ProcessMessages() override { FrontEnd_.ProcessMessages(); }
  void SetCursor(TCursorKind Cursor) override { FrontEnd_.SetCursor(Cursor); }

 private:
  TLabel& Label2_;
  TProgressBar& ProgressBar_;
  TFrontEnd& FrontEnd_;
};

}  // namespace skw
