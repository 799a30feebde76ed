// The name under which an atomic save writes its new content beside the target:
// unique per process (process id) and per save (a counter), so two saves never
// share a file.
#include <atomic>

#include "platform/AtomicSave.h"
#include "platform/Process.h"

namespace platform {

std::string AtomicSaveTempName(const std::string& Path) {
  static std::atomic<unsigned> Counter{0};
  return Path + ".skw-new-" + std::to_string(ProcessId()) + "-" + std::to_string(++Counter);
}

}  // namespace platform
