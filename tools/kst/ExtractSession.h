// An extractor set up for one kst command (test, extract, cat): the archive is
// identified, passwords from -p are tried in order, every report of the library
// goes to standard error as its fixed text with the entry's name, and the
// session remembers whether any selected entry failed (an error, a failed CRC,
// a skipped file) or nothing matched at all. Long runs on a terminal show their
// progress on standard error.
#pragma once
#include <functional>
#include <string>

#include "archive/extract/Kstunzip.h"
#include "tools/kst/Commands.h"

namespace kst_tool {

// The options the three commands share.
struct TExtractOptions {
  std::string Archive;
  TArgs Passwords;
  TArgs Patterns;
};

// Takes "-p PASSWORD" pairs out of Args into Options.Passwords; the first other
// word is the archive, the rest stay in Rest. Nonzero (a usage error) on a
// missing password or an unknown option that is not in Extra.
int ParseExtractArgs(const TArgs& Args, TExtractOptions& Options, TArgs& Rest,
                     const std::function<int(const TArgs&, size_t&)>& Extra);

class TExtractSession {
 public:
  explicit TExtractSession(const TExtractOptions& Options);

  kst::TUnZip& UnZip() { return FUnZip; }
  // False (after a message) when the archive cannot be read by the extractor.
  bool Usable() const { return FUsable; }

  // Runs Operation, turning an exception of the run into a message. Answers the
  // exit code: 0 when every selected entry passed, 1 when one failed or nothing
  // matched, 2 when the archive could not be read.
  int Run(const std::function<int32_t()>& Operation);

  // Called for each finished entry with its name and outcome ("" when it passed).
  std::function<void(const std::string& Name, const std::string& Reason)> OnEntry;
  // Marks the run as failed (a skipped entry, for instance).
  void Fail() { FFailed = true; }

 private:
  void ShowProgress(uint8_t ByArchive);

  kst::TUnZip FUnZip;
  bool FUsable = false;
  bool FFailed = false;
  int FEntries = 0;
  std::string FLastError;
  int FShownProgress = -1;
};

}  // namespace kst_tool
