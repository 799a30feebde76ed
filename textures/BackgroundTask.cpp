// TBackgroundTask: the second thread's loop and the hand-over of work and
// results under one lock.
#include "textures/BackgroundTask.h"

#include <system_error>
#include <utility>

namespace skw {

TBackgroundTask::~TBackgroundTask() {
  try {
    Wait();
  } catch (...) {
    // Nobody is left to hear it.
  }
  if (!FThread.joinable()) return;
  {
    const std::lock_guard<std::mutex> Guard(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

void TBackgroundTask::Start(std::function<void()> Work) {
  if (!FThread.joinable()) {
    try {
      FThread = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
      // No second thread here: the work is done now, its error kept for Wait.
      try {
        Work();
      } catch (...) {
        FError = std::current_exception();
      }
      return;
    }
  }
  {
    const std::lock_guard<std::mutex> Guard(FLock);
    FWork = std::move(Work);
    FBusy = true;
  }
  FChanged.notify_all();
}

void TBackgroundTask::Wait() {
  std::function<void()> NotBegun;
  std::exception_ptr Error;
  {
    std::unique_lock<std::mutex> Guard(FLock);
    if (FWork) {
      // The thread has not taken the work up yet (a busy processor): it is
      // done here rather than waited for.
      NotBegun = std::move(FWork);
      FWork = nullptr;
      FBusy = false;
    } else {
      FChanged.wait(Guard, [this] { return !FBusy; });
      Error = std::exchange(FError, nullptr);
    }
  }
  if (NotBegun) NotBegun();
  if (Error) std::rethrow_exception(Error);
}

void TBackgroundTask::Serve() {
  std::unique_lock<std::mutex> Guard(FLock);
  for (;;) {
    FChanged.wait(Guard, [this] { return FStopping || FWork; });
    if (!FWork) return;
    std::function<void()> Work = std::move(FWork);
    FWork = nullptr;
    Guard.unlock();
    std::exception_ptr Error;
    try {
      Work();
    } catch (...) {
      Error = std::current_exception();
    }
    Work = nullptr;  // its captures are released before the caller hears it is done
    Guard.lock();
    FError = Error;
    FBusy = false;
    FChanged.notify_all();
  }
}

}  // namespace skw
