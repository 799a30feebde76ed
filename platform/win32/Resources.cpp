// Windows side of Resources.h. The executable is mapped as a data file
// (LOAD_LIBRARY_AS_DATAFILE), so none of its code runs and its imports are not
// resolved; string resources are read with LoadStringA. The shell queries use
// SHGetFileInfoA with the file attributes given, so the name need not exist.
#include "platform/Resources.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

std::vector<std::string> LoadStringResources(const std::string& Path, const std::vector<uint32_t>& Ids,
                                             size_t MaxChars) {
  HMODULE Module = LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!Module) return {};
  std::vector<std::string> Strings;
  std::vector<char> Buffer(MaxChars + 1);
  for (uint32_t Id : Ids) {
    const int Length = LoadStringA(Module, Id, Buffer.data(), static_cast<int>(Buffer.size()));
    Strings.emplace_back(Buffer.data(), Length > 0 ? static_cast<size_t>(Length) : 0);
  }
  FreeLibrary(Module);
  return Strings;
}

int ShellIconIndex(const std::string& Name) {
  SHFILEINFOA Info{};
  if (!SHGetFileInfoA(Name.c_str(), FILE_ATTRIBUTE_NORMAL, &Info, sizeof Info,
                      SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)) {
    return 0;
  }
  return Info.iIcon;
}

std::string ShellTypeName(const std::string& Name) {
  SHFILEINFOA Info{};
  if (!SHGetFileInfoA(Name.c_str(), FILE_ATTRIBUTE_NORMAL, &Info, sizeof Info,
                      SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
    return {};
  }
  return Info.szTypeName;
}

}  // namespace platform
