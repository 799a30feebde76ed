// The extractor as kst drives it: entries are selected by the command line's
// patterns (Patterns.h) instead of the library's wildcards, and what an entry's
// outcome report needs (the CRC its data were checked against, its method) can
// be read while the entry ends.
#pragma once
#include <functional>
#include <string>

#include "archive/extract/Kstunzip.h"
#include "tools/kst/Paths.h"
#include "tools/kst/Patterns.h"

namespace kst_tool {

class TToolUnZip : public kst::TUnZip {
 public:
  explicit TToolUnZip(TEntryPatterns Patterns) : FPatterns(std::move(Patterns)) {
    ForeignBackslash = ForeignBackslashHere();
  }

  // Folder entries (names ending in a separator) take part only when asked.
  bool SelectFolders = false;
  // Called with each entry's stored name as the run reaches it.
  std::function<void(const std::string& StoredName)> OnEntryStart;

  bool CheckWildCard(const std::string& Name) override {
    if (Name.empty() || (!SelectFolders && (Name.back() == '\\' || Name.back() == '/'))) return false;
    return FPatterns.Selects(Name);
  }
  void SetFilename(const std::string& Name) override {
    kst::TUnZip::SetFilename(Name);
    if (OnEntryStart && Name == StoredName) OnEntryStart(Name);
  }
  // Called with the path of each output file just before it is created.
  std::function<void(const std::string& Path)> OnCreating;
  bool Open_OutFile(kst::THandle& OutFile, const std::string& Name, const std::string& Stored) override {
    if (OnCreating) OnCreating(Name);
    return kst::TUnZip::Open_OutFile(OutFile, Name, Stored);
  }
  uint32_t ExpectedCrc() const { return FExpectedCrc; }
  uint32_t Method() const { return FInflateRec.Method; }
  // True when the current entry opened no file: its method has no decoder or
  // its password is unknown.
  bool FileWasRefused() const {
    return (IsEncrypted && PasswordFailed) || !(FInflateRec.Method <= 6 || FInflateRec.Method == 8);
  }

 private:
  TEntryPatterns FPatterns;
};

}  // namespace kst_tool
