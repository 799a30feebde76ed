// Path utilities that consult the file system (see PathUtils.h). Both "\" and "/"
// count as separators, so the library's "\" paths work on Linux too.
#include "archive/names/PathUtils.h"

#include <cctype>
#include <stdexcept>

#include "archive/core/Err_msgs.h"
#include "platform/FileSystem.h"

namespace kst {

namespace {

bool IsSeparator(char C) { return C == '\\' || C == '/'; }

bool HasDriveLetter(const std::string& Path) {
  return Path.size() >= 2 && Path[1] == ':' && std::isalpha(static_cast<unsigned char>(Path[0]));
}

// "\", "/", "C:" and "C:\" name something that always exists.
bool IsRoot(const std::string& Path) {
  if (Path.size() == 1) return IsSeparator(Path[0]);
  if (Path.size() == 2) return HasDriveLetter(Path);
  return Path.size() == 3 && HasDriveLetter(Path) && IsSeparator(Path[2]);
}

}  // namespace

bool DirExists(const std::string& Name) {
  const uint32_t Attributes = platform::GetAttributes(Name);
  return Attributes != platform::kInvalidAttributes && (Attributes & platform::kAttrDirectory) != 0;
}

bool IsWriteable(const std::string& Name) {
  constexpr uint32_t kNotWriteable = platform::kAttrDirectory | platform::kAttrReadOnly | platform::kAttrSystem |
                                     platform::kAttrHidden | platform::kAttrVolume;
  const uint32_t Attributes = platform::GetAttributes(Name);
  return Attributes != platform::kInvalidAttributes && (Attributes & kNotWriteable) == 0;
}

bool ForceDirectories(const std::string& Path) {
  if (Path.empty()) throw std::runtime_error(ErrorText(ErrUnableCreateDir));
  std::string Dir = Path;
  if (Dir.size() > 1 && IsSeparator(Dir.back())) Dir.pop_back();
  if (IsRoot(Dir) || DirExists(Dir)) return true;
  const size_t Slash = Dir.find_last_of("\\/");
  if (Slash != std::string::npos && Slash > 0) {
    // "C:\a" has the root "C:\" as parent, "/a" the root "/".
    const std::string Parent = Dir.substr(0, Slash == 2 && HasDriveLetter(Dir) ? 3 : Slash);
    if (!ForceDirectories(Parent)) return false;
  }
  // Another process may have created it in the meantime: that is success too.
  return platform::MakeDirectory(Dir) || DirExists(Dir);
}

std::string GetTempPathStr() {
  const std::string Temp = platform::TempDirectory();
  return Temp.size() > 259 ? std::string() : Temp;
}

uint32_t TFileTimeToInt(platform::FileTime Time) {
  platform::LocalTime Local;
  if (!platform::FileTimeToLocal(Time, Local)) return 0;
  if (Local.Year < 1980 || Local.Year > 2107) return 0;
  const uint32_t DatePart = (static_cast<uint32_t>(Local.Year - 1980) << 9) |
                            (static_cast<uint32_t>(Local.Month) << 5) | static_cast<uint32_t>(Local.Day);
  const uint32_t TimePart = (static_cast<uint32_t>(Local.Hour) << 11) | (static_cast<uint32_t>(Local.Minute) << 5) |
                            static_cast<uint32_t>(Local.Second / 2);
  return (DatePart << 16) | TimePart;
}

std::string AppendDrive(const std::string& Path) {
  if (Path.find(":\\") != std::string::npos) return Path;
  if (Path.size() > 2 && IsSeparator(Path[0]) && IsSeparator(Path[1])) return Path;  // a network path
  const std::string Current = platform::CurrentDirectory();
  if (HasDriveLetter(Current)) {
    const std::string Drive = Current.substr(0, 1) + ":";
    return !Path.empty() && IsSeparator(Path[0]) ? Drive + Path : Drive + "\\" + Path;
  }
  return !Path.empty() && IsSeparator(Path[0]) ? Path : "/" + Path;
}

}  // namespace kst
