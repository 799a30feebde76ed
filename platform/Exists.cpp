// Existence of a name or of anything matching a wildcard pattern, answered the
// same way on every platform: by starting a directory search.
#include "platform/FileSystem.h"

namespace platform {

bool Exists(const std::string& Pattern) {
  if (Pattern.empty()) return false;
  DirectorySearch Search;
  FindData Data;
  return Search.First(Pattern, Data) == 0;
}

}  // namespace platform
