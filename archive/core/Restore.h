// TRestore: runs an action when the scope ends, also when an exception leaves
// it. Operations use it to put back the settings they change for a while (entry
// specifications, events, the archive path, the header state), so that every
// way out of the operation restores them the same way.
#pragma once
#include <utility>

namespace kst {

template <typename F>
class TRestore {
 public:
  explicit TRestore(F Restore) : FRestore(std::move(Restore)) {}
  ~TRestore() { FRestore(); }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

 private:
  F FRestore;
};

// Gives Target back its present value when the returned guard ends.
template <typename T>
auto RestoreOnExit(T& Target) {
  return TRestore([&Target, Saved = Target]() mutable { Target = std::move(Saved); });
}

}  // namespace kst
