// The library's string list: an ordered list of texts (file specifications,
// exclusions, passwords, extensions). A plain vector keeps ownership and copying
// obvious; callers that need sorting or case rules apply them themselves.
#pragma once
#include <string>
#include <vector>

namespace kst {

using TStringList = std::vector<std::string>;

}  // namespace kst
