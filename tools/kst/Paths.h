// How kst shows paths: the library keeps its own form inside ("\" separators,
// folders made absolute), a user sees paths the way they typed them (relative
// stays relative) in the platform's own form, and entry names with the
// platform's separator ("/" on Linux, "\" on Windows).
#pragma once
#include <string>

#include "archive/names/EntryName.h"
#include "platform/FileSystem.h"

namespace kst_tool {

// How kst reads a "\" in the names of entries made outside the DOS family:
// part of the name on Linux, whose file names may hold it, as other archive
// tools there read it; a separator on Windows, whose names cannot.
inline kst::TForeignBackslash ForeignBackslashHere() {
  return platform::kIsWindows ? kst::TForeignBackslash::Separator : kst::TForeignBackslash::Literal;
}

// Name with the platform's separators (a "\" that is part of a name, as
// NameBackslash.h carries it, shown as "\").
std::string NativeName(std::string Name);

class TPathForms {
 public:
  // Archive and OutputDir as typed (OutputDir may be empty: the current
  // folder); LibraryDir is the absolute folder the library was given;
  // ArchiveCopy the file the library reads in place of Archive (a pack's copy).
  TPathForms(std::string Archive, std::string OutputDir = "", std::string LibraryDir = "",
             std::string ArchiveCopy = "");
  // A path the library reported, as the user would write it.
  std::string Shown(const std::string& LibraryPath) const;

 private:
  std::string FArchive;
  std::string FOutputDir;
  std::string FArchiveCopy;
  std::string FLibraryDir;  // library form with a closing "\"
};

}  // namespace kst_tool
