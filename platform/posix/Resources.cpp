// Linux has no executable resources and no shell type registry: every question
// of Resources.h is answered with nothing, so identification falls through to
// its byte-level searches and listings show no icon or type.
#include "platform/Resources.h"

namespace platform {

std::vector<std::string> LoadStringResources(const std::string& /*Path*/, const std::vector<uint32_t>& /*Ids*/,
                                             size_t /*MaxChars*/) {
  return {};
}

int ShellIconIndex(const std::string& /*Name*/) { return 0; }

std::string ShellTypeName(const std::string& /*Name*/) { return {}; }

}  // namespace platform
