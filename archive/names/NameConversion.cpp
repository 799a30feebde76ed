// Name conversion between archive and system forms; the character-set tables
// belong to the platform layer (Windows' own OEM/ANSI pair, or code page 437 and
// UTF-8 elsewhere), this file only decides when to use them and swaps separators.
#include "archive/names/NameConversion.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace kst {

std::string UnixToDosFilename(std::string Name) {
  std::replace(Name.begin(), Name.end(), '/', '\\');
  return Name;
}

std::string DOSToUnixFilename(std::string Name) {
  std::replace(Name.begin(), Name.end(), '\\', '/');
  return Name;
}

std::string doOemToChar(const std::string& Name, bool Translate) {
  if (Name.empty()) return Name;
  return UnixToDosFilename(Translate ? platform::OemToAnsi(Name) : Name);
}

std::string DoCharToUnixOem(const std::string& Name, bool Translate) {
  if (Name.empty()) return Name;
  return DOSToUnixFilename(Translate ? platform::AnsiToOem(Name) : Name);
}

std::string doCharToOem(const std::string& Name, bool Translate) {
  if (Name.empty() || !Translate) return Name;
  return platform::AnsiToOem(Name);
}

}  // namespace kst
