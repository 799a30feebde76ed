// RecordingFrontEnd: a texture-engine front-end for tests that writes every call
// into one ordered list of short texts ("Label2 ROTOR", "ProcessMessages",
// "MessageBox error|caption|text", "Cursor default", ...), so a test can check
// both what the engine reported and in which order. Message boxes are also kept
// as records, and a hook runs at every ProcessMessages (to look at the engine's
// state at the points where the window would repaint).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "textures/EngineFrontEnd.h"

namespace skwtest {

class RecordingFrontEnd : public skw::TEngineFrontEnd {
 public:
  struct Box {
    std::string Caption;
    std::string Text;
    skw::TMessageIcon Icon = skw::TMessageIcon::Information;
  };

  void SetLabel2(const std::string& Text) override;
  void SetProgressMin(int Min) override;
  void SetProgressMax(int Max) override;
  void SetProgressPosition(int Position) override;
  void StepProgressBy(int Delta) override;
  void MessageBox(const std::string& Caption, const std::string& Text, skw::TMessageIcon Icon) override;
  void ProcessMessages() override;
  void SetCursor(skw::TCursorKind Cursor) override;

  // How many recorded calls equal Call exactly.
  int CountOf(const std::string& Call) const;
  // Drops everything recorded so far.
  void Reset();

  std::vector<std::string> Calls;
  std::vector<Box> Boxes;
  std::function<void()> OnProcessMessages;
};

// The word a front-end uses for an icon: "error", "warning" or "information".
std::string IconWord(skw::TMessageIcon Icon);

}  // namespace skwtest
