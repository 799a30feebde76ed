// A lister set up for one command: errors of the library go to standard error
// as their fixed texts (with the file they concern), and the archive is
// identified on construction. An exception while the path is assigned (an
// extension the volume-number rule cannot read) is reported like an error and
// leaves the session unusable, as does an archive that cannot be opened.
#pragma once
#include <string>

#include "archive/list/Kstkestrel.h"
#include "tools/kst/PackArchive.h"
#include "tools/kst/Paths.h"
#include "tools/kst/Patterns.h"

namespace kst_tool {

// The lister selecting entries by the command line's patterns (Patterns.h).
class TToolKestrel : public kst::TKestrel {
 public:
  TToolKestrel() { ForeignBackslash = ForeignBackslashHere(); }
  TEntryPatterns Patterns;
  bool CheckWildCard(const std::string& Name) override { return !Name.empty() && Patterns.Selects(Name); }
};

class TSession {
 public:
  explicit TSession(const std::string& Archive);
  TSession(const TSession&) = delete;  // the error handler refers to this session
  TSession& operator=(const TSession&) = delete;

  TToolKestrel& Lister() { return FLister; }
  // False when assigning the path threw or the archive did not open (both
  // reported already).
  bool Identified() const { return FIdentified; }
  // The pack trailer's container kind; empty for an archive that is no pack.
  const std::string& PackKind() const { return FPack.Kind(); }

 private:
  TPackArchive FPack;
  TToolKestrel FLister;
  bool FIdentified = false;
  bool FIdentifying = false;
  std::string FHeldOpenError;  // identification's report that the archive did not open
};

// Prints "kst: " + Text (+ ": " + FileName when given) on standard error.
void PrintError(const std::string& Text, const std::string& FileName);

}  // namespace kst_tool
