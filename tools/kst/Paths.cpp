// Paths of the library in the form the user wrote them; see Paths.h.
#include "tools/kst/Paths.h"

#include <algorithm>
#include <utility>

#include "archive/names/NameConversion.h"
#include "platform/FileSystem.h"
#include "platform/NameBackslash.h"

namespace kst_tool {
namespace {

// The form the library gives a path: "\" separators, rooted.
std::string LibraryForm(const std::string& Path) {
  std::string Form = kst::UnixToDosFilename(Path);
  if (!Form.empty() && Form.find(':') == std::string::npos && Form.front() != '\\') Form = '\\' + Form;
  return Form;
}

}  // namespace

std::string NativeName(std::string Name) {
  if (platform::kIsWindows) return kst::UnixToDosFilename(std::move(Name));
  return platform::WithNameBackslashes(kst::DOSToUnixFilename(std::move(Name)));
}

TPathForms::TPathForms(std::string Archive, std::string OutputDir, std::string LibraryDir, std::string ArchiveCopy)
    : FArchive(std::move(Archive)), FOutputDir(std::move(OutputDir)), FArchiveCopy(std::move(ArchiveCopy)) {
  if (!LibraryDir.empty()) {
    FLibraryDir = LibraryForm(LibraryDir);
    if (FLibraryDir.back() != '\\') FLibraryDir += '\\';
  }
}

std::string TPathForms::Shown(const std::string& LibraryPath) const {
  if (LibraryPath.empty()) return LibraryPath;
  const std::string Form = LibraryForm(LibraryPath);
  if (Form == LibraryForm(FArchive) || kst::UnixToDosFilename(LibraryPath) == kst::UnixToDosFilename(FArchive) ||
      (!FArchiveCopy.empty() && Form == LibraryForm(FArchiveCopy)))
    return FArchive;
  if (!FLibraryDir.empty() && Form.compare(0, FLibraryDir.size(), FLibraryDir) == 0) {
    std::string Shown = FOutputDir;
    if (!Shown.empty() && Shown.back() != '/' && Shown.back() != '\\') Shown += platform::kIsWindows ? '\\' : '/';
    return Shown + NativeName(Form.substr(FLibraryDir.size()));
  }
  return NativeName(LibraryPath);
}

}  // namespace kst_tool
