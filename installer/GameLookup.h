// GetGamePath: finds the game's data folder from its registry record
// (HKEY_LOCAL_MACHINE, "Software\Razorworks\Comanche Hokum", value
// "Installation Path", read only). The result is the value as stored followed
// by "\cohokum\", without any separator handling; a missing key, a missing value
// or an empty value is "not found". A value of another type than a string is an
// error of its own: std::runtime_error "Invalid data type for 'Installation
// Path'", which leaves set-up like any other exception.
//
// The environment variable SKINWRIGHT_GAME, when set and not empty, stands in
// for the registry value (installs the registry does not describe: portable
// copies, other launchers): it names the installation folder, and the data
// folder is derived from it by the same rule; the registry is then not read.
#pragma once
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace skw {

inline constexpr const char* kGameFolderVariable = "SKINWRIGHT_GAME";

std::optional<std::string> GetGamePath();

// The same rule applied to a value already read.
std::optional<std::string> GamePathFromValue(const platform::RegistryValue& Value);

}  // namespace skw
