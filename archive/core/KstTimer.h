// TkstTimer: the stopwatch an archive operation uses to report its elapsed time.
// It counts milliseconds of the platform's tick counter between Start and Stop,
// leaving out the time between Suspend and Resume (error handlers run in such a
// pause). Pauses may nest; only the outermost one counts. The tick source can be
// replaced, which lets tests drive the clock.
#pragma once
#include <cstdint>
#include <functional>

namespace kst {

class TkstTimer {
 public:
  using TTickSource = std::function<uint32_t()>;

  // Uses the platform's millisecond tick counter.
  TkstTimer();
  explicit TkstTimer(TTickSource Ticks);

  // Resets the elapsed time and starts counting.
  void Start();
  // While running: stores the elapsed time and stops counting.
  void Stop();
  // While running: pauses the count (nested pauses are counted).
  void Suspend();
  // Ends one pause; when the outermost pause ends, its duration is left out.
  void Resume();

  bool Running() const { return FRunning; }
  // Seconds between Start and Stop without the pauses; 0 until the first Stop.
  float ElapsedTime() const { return FElapsed; }

  void SetTickSource(TTickSource Ticks);

 private:
  uint32_t Now() const { return FTicks(); }

  TTickSource FTicks;
  uint32_t FStartTick = 0;
  uint32_t FSuspendTick = 0;
  int FSuspendDepth = 0;
  bool FRunning = false;
  float FElapsed = 0.0f;
};

// Pauses a timer for the lifetime of the guard, so every way out of a scope
// (an exception included) resumes it.
class TkstTimerPause {
 public:
  explicit TkstTimerPause(TkstTimer& Timer) : FTimer(Timer) { FTimer.Suspend(); }
  ~TkstTimerPause() { FTimer.Resume(); }
  TkstTimerPause(const TkstTimerPause&) = delete;
  TkstTimerPause& operator=(const TkstTimerPause&) = delete;

 private:
  TkstTimer& FTimer;
};

}  // namespace kst
