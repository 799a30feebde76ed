// Linux side of the registry lookup: the machine hive of the Wine prefix
// ($WINEPREFIX/system.reg, default ~/.wine/system.reg), where a Windows program
// installed under Wine keeps its HKEY_LOCAL_MACHINE keys. In a 64-bit prefix the
// 32-bit view lives below Software\Wow6432Node, so that section is tried first,
// as the Windows build opens the 32-bit view first. A prefix without the file has
// no keys at all.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/NoCase.h"
#include "platform/Registry.h"

namespace platform {

namespace {

std::string SystemHivePath() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return std::string(prefix) + "/system.reg";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine/system.reg";
}

// The 32-bit view's name of a key below Software: Software\Wow6432Node\...
std::string Wow64Name(const std::string& Key) {
  const std::string software = "Software\\";
  if (Key.size() <= software.size() || !StartsWithNoCase(Key, software)) return {};
  return software + "Wow6432Node\\" + Key.substr(software.size());
}

}  // namespace

RegistryValue ReadMachineString(const std::string& Key, const std::string& ValueName) {
  std::ifstream file(SystemHivePath(), std::ios::binary);
  if (!file) return {RegistryStatus::KeyMissing, {}};
  std::ostringstream text;
  text << file.rdbuf();
  std::vector<std::string> keys;
  const std::string wow64 = Wow64Name(Key);
  if (!wow64.empty()) keys.push_back(wow64);
  keys.push_back(Key);
  return FindInRegistryFile(text.str(), keys, ValueName);
}

}  // namespace platform
