// The questions kst asks on a terminal: a password for an entry that no -p
// opens (read without echo), and what to do with a file that extract would
// overwrite. Without a terminal on standard input nothing is asked: the entry
// is given up, the existing file is kept.
#pragma once
#include <string>

#include "archive/extract/KstUnBase.h"

namespace kst_tool {

// OnGetPassword of a run: asks "Password for NAME: " on standard error when
// standard input is a terminal; an empty answer or the end of input gives up.
void AskPassword(kst::TUnBase* Sender, std::string& Password, bool& TryAgain);

// The answers of the overwrite question, kept for the rest of the run.
class TOverwriteAsker {
 public:
  // Decides about the existing file FileName (shown to the user as Shown):
  // Mode omOverwrite or omSkip, or NewFilename beside it. Asks on a terminal,
  // keeps the file otherwise. Answers false when the file is kept.
  bool Decide(const std::string& FileName, const std::string& Shown, std::string& NewFilename,
              kst::TOverwriteMode& Mode);

 private:
  enum TStanding { Ask, AllYes, AllNo };
  TStanding FStanding = Ask;
};

}  // namespace kst_tool
