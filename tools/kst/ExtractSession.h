// An extractor set up for one kst command (test, extract, cat): the archive is
// identified, entries are selected by the command line's patterns, passwords
// from -p are tried in order, and every failed entry gets one line on standard
// error with its name and the reason (both CRCs for a failed check, the
// method's number and name for one no decoder reads, the library's text
// otherwise). The session counts what went wrong and what was kept on purpose.
// Long runs on a terminal show their progress on standard error.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "tools/kst/Commands.h"
#include "tools/kst/PackArchive.h"
#include "tools/kst/Paths.h"
#include "tools/kst/ToolUnZip.h"

namespace kst_tool {

// The options the three commands share.
struct TExtractOptions {
  std::string Archive;
  TArgs Passwords;
  TArgs Patterns;
  TArgs Excludes;  // after -x
};

// Takes "-p PASSWORD" pairs out of Args into Options.Passwords and the words
// after "-x" into Options.Excludes; the first other word is the archive, the
// rest stay in Rest. Nonzero (a usage error) on a missing password or an
// unknown option that is not in Extra.
int ParseExtractArgs(const TArgs& Args, TExtractOptions& Options, TArgs& Rest,
                     const std::function<int(const TArgs&, size_t&)>& Extra);

class TExtractSession {
 public:
  explicit TExtractSession(const TExtractOptions& Options, TArgs Patterns);

  TToolUnZip& UnZip() { return *FUnZip; }
  // False (after a message) when the archive cannot be read by the extractor.
  bool Usable() const { return FUsable; }
  // Where extract writes: paths are then shown relative to what was typed.
  void SetOutput(const std::string& TypedDir, const std::string& LibraryDir);
  const TPathForms& Paths() const { return FPaths; }

  // Runs Operation, turning an exception of the run into a message. Answers the
  // exit code: 0 when every selected entry passed or was kept on purpose, 1
  // when one failed or nothing matched, 2 when the archive could not be read.
  int Run(const std::function<int32_t()>& Operation);

  // Called for each finished entry with its shown name and outcome ("" when it passed).
  std::function<void(const std::string& Name, const std::string& Reason)> OnEntry;
  // Says that nothing matched (default: the library's "Nothing to do").
  std::function<void()> OnNothing;
  // Marks the run as failed.
  void Fail() { FFailed = true; }
  // Counts an existing file kept on purpose.
  void Kept() { ++FKept; }
  int KeptCount() const { return FKept; }

 private:
  void ShowProgress(uint8_t ByArchive);
  void EntryEnded(const std::string& Name, bool Pass);
  std::string ShownName(const std::string& Name) const;

  TPackArchive FPack;
  std::unique_ptr<TToolUnZip> FUnZip;
  TPathForms FPaths;
  std::string FArchive;  // as typed
  bool FUsable = false;
  bool FFailed = false;
  int FEntries = 0;
  int FKept = 0;
  std::string FLastError;
  bool FLastErrorShown = false;
  int FShownProgress = -1;
};

}  // namespace kst_tool
