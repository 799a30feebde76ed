// Read-only access to one string value below HKEY_LOCAL_MACHINE, the only part
// of the registry the installer needs (the game's installation folder). The
// answer tells apart the three ways a lookup can fail, because the installer
// treats a missing key or value as "game not found" but a value of the wrong
// type as an error of its own. Windows reads the real registry, the 32-bit view
// first and then the 64-bit view; Linux reads the machine hive of the Wine prefix
// ($WINEPREFIX/system.reg, default ~/.wine), where a Windows game installed
// under Wine records itself. Strings are returned as stored: expandable strings
// are not expanded, and the text ends at its first zero character.
#pragma once
#include <string>
#include <vector>

namespace platform {

enum class RegistryStatus { Found, KeyMissing, ValueMissing, WrongType };

struct RegistryValue {
  RegistryStatus Status = RegistryStatus::KeyMissing;
  std::string Text;  // the string when Status is Found
};

// Reads value ValueName of key Key (relative to HKEY_LOCAL_MACHINE, "\"-separated).
// A view in which the key is missing, or holds no such value, passes the lookup
// on to the next view; the first view holding the value decides.
RegistryValue ReadMachineString(const std::string& Key, const std::string& ValueName);

// Looks ValueName up in the text of a Wine registry file (system.reg), trying the
// sections Keys in order, as the views above. Key names and value names are
// compared without regard to ASCII letter case, as the registry does. Strings
// ("...", str(2):"...", hex(1):, hex(2):) are decoded to UTF-8; every other type
// is WrongType.
RegistryValue FindInRegistryFile(const std::string& FileText, const std::vector<std::string>& Keys,
                                 const std::string& ValueName);

}  // namespace platform
