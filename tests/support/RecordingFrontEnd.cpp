// RecordingFrontEnd: each engine report becomes one line of the call list.
#include "tests/support/RecordingFrontEnd.h"

#include <algorithm>

namespace skwtest {

std::string IconWord(skw::TMessageIcon Icon) {
  switch (Icon) {
    case skw::TMessageIcon::Error: return "error";
    case skw::TMessageIcon::Warning: return "warning";
    case skw::TMessageIcon::Information: return "information";
  }
  return "?";
}

void RecordingFrontEnd::SetLabel2(const std::string& Text) { Calls.push_back("Label2 " + Text); }

void RecordingFrontEnd::SetProgressMin(int Min) { Calls.push_back("ProgressMin " + std::to_string(Min)); }

void RecordingFrontEnd::SetProgressMax(int Max) { Calls.push_back("ProgressMax " + std::to_string(Max)); }

void RecordingFrontEnd::SetProgressPosition(int Position) {
  Calls.push_back("ProgressPosition " + std::to_string(Position));
}

void RecordingFrontEnd::StepProgressBy(int Delta) { Calls.push_back("StepProgressBy " + std::to_string(Delta)); }

void RecordingFrontEnd::MessageBox(const std::string& Caption, const std::string& Text, skw::TMessageIcon Icon) {
  Calls.push_back("MessageBox " + IconWord(Icon) + "|" + Caption + "|" + Text);
  Boxes.push_back({Caption, Text, Icon});
}

void RecordingFrontEnd::ProcessMessages() {
  Calls.push_back("ProcessMessages");
  if (OnProcessMessages) OnProcessMessages();
}

void RecordingFrontEnd::SetCursor(skw::TCursorKind Cursor) {
  Calls.push_back(Cursor == skw::TCursorKind::Default ? "Cursor default" : "Cursor hourglass");
}

int RecordingFrontEnd::CountOf(const std::string& Call) const {
  return static_cast<int>(std::count(Calls.begin(), Calls.end(), Call));
}

void RecordingFrontEnd::Reset() {
  Calls.clear();
  Boxes.clear();
}

}  // namespace skwtest
