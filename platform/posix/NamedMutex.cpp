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
  std::string dir;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0' && access(runtime, W_OK) == 0)
    dir = std::string(runtime) + "/";
  else
    dir = TempDirectory();
  std::string file = Name;
  for (char& c : file)
    if (c == '/' || c == '\\') c = '_';
  return dir + file + ".lock";
}

}  // namespace

NamedMutex::NamedMutex(const std::string& Name) {
  const int fd = open(LockPath(Name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    FHandle = fd;
    return;
  }
  FAlreadyExists = errno == EWOULDBLOCK;
  close(fd);
}

NamedMutex::~NamedMutex() {
  if (FHandle >= 0) close(static_cast<int>(FHandle));
}

}  // namespace platform
