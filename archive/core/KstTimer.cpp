// Stopwatch arithmetic; see KstTimer.h. Tick differences are taken in unsigned
// 32-bit arithmetic, so a wrap of the tick counter during an operation still gives
// the right duration. A pause moves the start tick forward by its length.
#include "archive/core/KstTimer.h"

#include <utility>

#include "platform/Clock.h"

namespace kst {

TkstTimer::TkstTimer() : FTicks([] { return platform::TickCount(); }) {}

TkstTimer::TkstTimer(TTickSource Ticks) : FTicks(std::move(Ticks)) {}

void TkstTimer::SetTickSource(TTickSource Ticks) { FTicks = std::move(Ticks); }

void TkstTimer::Start() {
  FElapsed = 0.0f;
  FSuspendDepth = 0;
  FStartTick = Now();
  FRunning = true;
}

void TkstTimer::Stop() {
  if (!FRunning) return;
  uint32_t End = Now();
  if (FSuspendDepth > 0) End = FSuspendTick;  // stopped inside a pause: the pause does not count
  FElapsed = static_cast<float>(End - FStartTick) / 1000.0f;
  FRunning = false;
  FSuspendDepth = 0;
}

void TkstTimer::Suspend() {
  if (!FRunning) return;
  if (FSuspendDepth++ == 0) FSuspendTick = Now();
}

void TkstTimer::Resume() {
  if (!FRunning || FSuspendDepth == 0) return;
  if (--FSuspendDepth == 0) FStartTick += Now() - FSuspendTick;
}

}  // namespace kst
