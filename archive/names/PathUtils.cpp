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
  const uint32_t attributes = platform::GetAttributes(Name);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory) != 0;
}

bool IsWriteable(const std::string& Name) {
  constexpr uint32_t kNotWriteable = platform::kAttrDirectory | platform::kAttrReadOnly | platform::kAttrSystem |
                                     platform::kAttrHidden | platform::kAttrVolume;
  const uint32_t attributes = platform::GetAttributes(Name);
  return attributes != platform::kInvalidAttributes && (attributes & kNotWriteable) == 0;
}

bool ForceDirectories(const std::string& Path) {
  if (Path.empty()) throw std::runtime_error(ErrorText(ErrUnableCreateDir));
  std::string dir = Path;
  if (dir.size() > 1 && IsSeparator(dir.back())) dir.pop_back();
  if (IsRoot(dir) || DirExists(dir)) return true;
  const size_t slash = dir.find_last_of("\\/");
  if (slash != std::string::npos && slash > 0) {
    // "C:\a" has the root "C:\" as parent, "/a" the root "/".
    const std::string parent = dir.substr(0, slash == 2 && HasDriveLetter(dir) ? 3 : slash);
    if (!ForceDirectories(parent)) return false;
  }
  // Another process may have created it in the meantime: that is success too.
  return platform::MakeDirectory(dir) || DirExists(dir);
}

std::string GetTempPathStr() {
  const std::string temp = platform::TempDirectory();
  return temp.size() > 259 ? std::string() : temp;
}

uint32_t TFileTimeToInt(platform::FileTime Time) {
  platform::LocalTime local;
  if (!platform::FileTimeToLocal(Time, local)) return 0;
  if (local.Year < 1980 || local.Year > 2107) return 0;
  const uint32_t date = (static_cast<uint32_t>(local.Year - 1980) << 9) | (static_cast<uint32_t>(local.Month) << 5) |
                        static_cast<uint32_t>(local.Day);
  const uint32_t time = (static_cast<uint32_t>(local.Hour) << 11) | (static_cast<uint32_t>(local.Minute) << 5) |
                        static_cast<uint32_t>(local.Second / 2);
  return (date << 16) | time;
}

std::string AppendDrive(const std::string& Path) {
  if (Path.find(":\\") != std::string::npos) return Path;
  if (Path.size() > 2 && IsSeparator(Path[0]) && IsSeparator(Path[1])) return Path;  // a network path
  const std::string current = platform::CurrentDirectory();
  if (HasDriveLetter(current)) {
    const std::string drive = current.substr(0, 1) + ":";
    return !Path.empty() && IsSeparator(Path[0]) ? drive + Path : drive + "\\" + Path;
  }
  return !Path.empty() && IsSeparator(Path[0]) ? Path : "/" + Path;
}

}  // namespace kst
