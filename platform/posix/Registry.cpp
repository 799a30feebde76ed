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
  const char* Prefix = std::getenv("WINEPREFIX");
  if (Prefix != nullptr && *Prefix != '\0') return std::string(Prefix) + "/system.reg";
  const char* Home = std::getenv("HOME");
  return std::string(Home != nullptr ? Home : "") + "/.wine/system.reg";
}

// The 32-bit view's name of a key below Software: Software\Wow6432Node\...
std::string Wow64Name(const std::string& Key) {
  const std::string Software = "Software\\";
  if (Key.size() <= Software.size() || !StartsWithNoCase(Key, Software)) return {};
  return Software + "Wow6432Node\\" + Key.substr(Software.size());
}

}  // namespace

RegistryValue ReadMachineString(const std::string& Key, const std::string& ValueName) {
  std::ifstream File(SystemHivePath(), std::ios::binary);
  if (!File) return {RegistryStatus::KeyMissing, {}};
  std::ostringstream Text;
  Text << File.rdbuf();
  std::vector<std::string> Keys;
  const std::string Wow64 = Wow64Name(Key);
  if (!Wow64.empty()) Keys.push_back(Wow64);
  Keys.push_back(Key);
  return FindInRegistryFile(Text.str(), Keys, ValueName);
}

}  // namespace platform
