// TBackgroundTask: one piece of pure computation at a time on a second
// thread, so the import can make a picture's level chain while the next
// picture is extracted. The work touches nothing but the data it is given
// (no window, no message pump, no archive component); Wait hands back its
// result, rethrowing what it raised. The thread is started with the first
// piece of work and kept for the task's life; where no thread can be started
// the work runs at once on the caller's thread, with the same outcome.
#pragma once
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace skw {

class TBackgroundTask {
 public:
  TBackgroundTask() = default;
  TBackgroundTask(const TBackgroundTask&) = delete;
  TBackgroundTask& operator=(const TBackgroundTask&) = delete;
  // Waits for running work (its error is dropped) and ends the thread.
  ~TBackgroundTask();

  // Starts Work; the previous work must have been waited for.
  void Start(std::function<void()> Work);
  // Waits until the started work is done; rethrows the exception it raised.
  // Work the thread has not begun yet is done on the caller's thread instead.
  // Does nothing when no work was started.
  void Wait();

 private:
  void Serve();

  std::mutex FLock;
  std::condition_variable FChanged;
  std::function<void()> FWork;  // set while work waits to run or runs
  std::exception_ptr FError;
  bool FBusy = false;
  bool FStopping = false;
  std::thread FThread;
};

// Waits for a task's work when leaving scope without Wait, e.g. when an
// exception passes, so the work never outlives the data it was given.
class TWaitOnExit {
 public:
  explicit TWaitOnExit(TBackgroundTask& Task) : FTask(Task) {}
  TWaitOnExit(const TWaitOnExit&) = delete;
  TWaitOnExit& operator=(const TWaitOnExit&) = delete;
  ~TWaitOnExit() {
    try {
      FTask.Wait();
    } catch (...) {
      // The error that is already leaving wins.
    }
  }

 private:
  TBackgroundTask& FTask;
};

}  // namespace skw
