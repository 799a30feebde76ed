// Terminal questions of kst: the password prompt (no echo, through the
// platform's secret line) and the overwrite question of extract, whose answers
// are y (overwrite), n (keep), A (overwrite this and all later ones), N (keep
// this and all later ones) and r (write under another name in the same folder).
#include "tools/kst/Prompts.h"

#include <optional>

#include "platform/Console.h"
#include "tools/kst/Paths.h"

namespace kst_tool {
namespace {

// The folder part of Path including its last separator ("" when none).
std::string FolderOf(const std::string& Path) {
  const size_t Cut = Path.find_last_of("/\\");
  return Cut == std::string::npos ? std::string() : Path.substr(0, Cut + 1);
}

// A new name must be a plain file name: no folders, no parent reference.
bool PlainName(const std::string& Name) {
  return !Name.empty() && Name.find_first_of("/\\:") == std::string::npos && Name != "." && Name != "..";
}

}  // namespace

void AskPassword(kst::TUnBase* Sender, std::string& Password, bool& TryAgain) {
  TryAgain = false;
  if (!platform::StdinIsTerminal()) return;
  const std::optional<std::string> Line =
      platform::ReadSecretLine("Password for " + NativeName(Sender->StoredName) + ": ");
  if (!Line || Line->empty()) return;
  Password = *Line;
  TryAgain = true;
}

bool TOverwriteAsker::Decide(const std::string& FileName, const std::string& Shown, std::string& NewFilename,
                             kst::TOverwriteMode& Mode) {
  Mode = kst::omSkip;
  if (FStanding == AllNo || (FStanding == Ask && !platform::StdinIsTerminal())) return false;
  if (FStanding == AllYes) {
    Mode = kst::omOverwrite;
    return true;
  }
  for (;;) {
    const std::optional<std::string> Answer =
        platform::ReadLine(Shown + " exists. Overwrite? [y]es, [n]o, [A]ll, [N]one, [r]ename: ");
    if (!Answer) {
      FStanding = AllNo;
      return false;
    }
    if (*Answer == "y" || *Answer == "Y" || *Answer == "A") {
      if (*Answer == "A") FStanding = AllYes;
      Mode = kst::omOverwrite;
      return true;
    }
    if (*Answer == "n" || *Answer == "N") {
      if (*Answer == "N") FStanding = AllNo;
      return false;
    }
    if (*Answer == "r") {
      const std::optional<std::string> Name = platform::ReadLine("New name: ");
      if (Name && PlainName(*Name)) {
        NewFilename = FolderOf(FileName) + *Name;
        Mode = kst::omOverwrite;
        return true;
      }
      std::fputs("A new name is a file name without folders.\n", stderr);
    }
  }
}

}  // namespace kst_tool
