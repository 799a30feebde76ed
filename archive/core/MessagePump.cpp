// Storage of the process-wide message pump. One thread only: the pump is set by
// the front-end before any walk starts and called between records.
#include "archive/core/MessagePump.h"

#include <utility>

namespace kst {
namespace {

std::function<void()>& Pump() {
  static std::function<void()> Instance;
  return Instance;
}

}  // namespace

void SetMessagePump(std::function<void()> NewPump) { Pump() = std::move(NewPump); }

void ProcessMessages() {
  if (Pump()) Pump()();
}

}  // namespace kst
