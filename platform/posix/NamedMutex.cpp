// Linux named mutex: an exclusive, non-blocking flock on "<name>.lock" in
// $XDG_RUNTIME_DIR (else the temporary folder). The lock belongs to the open
// file, so a second open of the same name, in this process or another, is
// refused while the first is held; it ends with the descriptor or the process.
// The file itself stays behind (removing it would race with a new holder).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/NamedMutex.h"

namespace platform {

namespace {

std::string LockPath(const std::string& Name) {
  std::string Dir;
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  if (Runtime != nullptr && *Runtime != '\0' && access(Runtime, W_OK) == 0)
    Dir = std::string(Runtime) + "/";
  else
    Dir = TempDirectory();
  std::string File = Name;
  for (char& C : File)
    if (C == '/' || C == '\\') C = '_';
  return Dir + File + ".lock";
}

}  // namespace

NamedMutex::NamedMutex(const std::string& Name) {
  const int Fd = open(LockPath(Name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (Fd < 0) return;
  if (flock(Fd, LOCK_EX | LOCK_NB) == 0) {
    FHandle = Fd;
    return;
  }
  FAlreadyExists = errno == EWOULDBLOCK;
  close(Fd);
}

NamedMutex::~NamedMutex() {
  if (FHandle >= 0) close(static_cast<int>(FHandle));
}

}  // namespace platform
