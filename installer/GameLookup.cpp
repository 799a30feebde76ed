// The game lookup: the folder override or one registry read, and the rule that
// turns the answer into the game's data folder.
#include "installer/GameLookup.h"

#include <stdexcept>

#include "installer/Messages.h"
#include "platform/Process.h"

namespace skw {

std::optional<std::string> GamePathFromValue(const platform::RegistryValue& Value) {
  switch (Value.Status) {
    case platform::RegistryStatus::KeyMissing:
    case platform::RegistryStatus::ValueMissing: return std::nullopt;
    case platform::RegistryStatus::WrongType:
      throw std::runtime_error(std::string("Invalid data type for '") + kGameValue + "'");
    case platform::RegistryStatus::Found: break;
  }
  if (Value.Text.empty()) return std::nullopt;
  return Value.Text + "\\cohokum\\";
}

std::optional<std::string> GetGamePath() {
  const std::string Folder = platform::GetEnvironment(kGameFolderVariable);
  if (!Folder.empty()) return GamePathFromValue({platform::RegistryStatus::Found, Folder});
  return GamePathFromValue(platform::ReadMachineString(kGameKey, kGameValue));
}

}  // namespace skw
