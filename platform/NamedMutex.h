// A system-wide named mutex, created with initial ownership, that tells whether
// another holder of the same name already exists: the installer's single-instance
// rule. The object holds the mutex until it is destroyed, normally at the end of
// the process. Windows uses a named kernel mutex; Linux an advisory lock (flock)
// on a file named after the mutex in $XDG_RUNTIME_DIR, else the temporary folder,
// which the system releases by itself when the holder ends.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class NamedMutex {
 public:
  explicit NamedMutex(const std::string& Name);
  ~NamedMutex();
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // True when a mutex of this name was already held: this object then owns
  // nothing. A mutex that could not be created at all does not count as existing.
  bool AlreadyExists() const { return FAlreadyExists; }

 private:
  intptr_t FHandle = -1;
  bool FAlreadyExists = false;
};

}  // namespace platform
