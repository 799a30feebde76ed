// The extraction session shared by kst test, extract and cat.
#include "tools/kst/ExtractSession.h"

#include <cstdio>
#include <exception>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "platform/Console.h"
#include "tools/kst/Prompts.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

// Runs this large are worth a progress display.
constexpr uint32_t kProgressThreshold = 4u << 20;

std::string ReportText(int32_t ECode, const std::string& ExtendedMsg) {
  std::string Text = kst::ErrorText(ECode);
  if (!ExtendedMsg.empty()) Text += " (" + ExtendedMsg + ")";
  return Text;
}

}  // namespace

int ParseExtractArgs(const TArgs& Args, TExtractOptions& Options, TArgs& Rest,
                     const std::function<int(const TArgs&, size_t&)>& Extra) {
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& Arg = Args[i];
    if (Arg == "-p") {
      if (i + 1 >= Args.size()) return UsageError("-p needs a password");
      Options.Passwords.push_back(Args[++i]);
    } else if (Arg.size() > 1 && Arg[0] == '-') {
      const int Code = Extra ? Extra(Args, i) : -1;
      if (Code < 0) return UsageError("unknown option " + Arg);
      if (Code > 0) return Code;
    } else if (Options.Archive.empty()) {
      Options.Archive = Arg;
    } else {
      Rest.push_back(Arg);
    }
  }
  if (Options.Archive.empty()) return UsageError("an archive is needed");
  return 0;
}

TExtractSession::TExtractSession(const TExtractOptions& Options) {
  FUnZip.OnError = [this](kst::TZipCommon*, std::string FileName, std::string ExtendedMsg, std::string,
                          int32_t ECode) {
    FLastError = ReportText(ECode, ExtendedMsg);
    if (ECode == kst::ErrCrcCheck) return;  // reported with the entry's outcome
    // Entries that go nowhere near a file are named as stored.
    if (!FUnZip.WriteToFile() && FileName == FUnZip.FileName) FileName = FUnZip.StoredName;
    PrintError(FLastError, FileName);
    // A wrong typed password may be followed by the right one: the entry's
    // outcome decides.
    if (ECode != kst::ErrInvalidPassword) FFailed = true;
  };
  FUnZip.OnBegin = [this](kst::TUnBase*, const std::string&, int32_t, bool&) { FLastError.clear(); };
  FUnZip.OnEnd = [this](kst::TUnBase* Sender, const std::string& Name, bool Pass) {
    ++FEntries;
    std::string Reason;
    if (!Pass) {
      FFailed = true;
      if (Sender->IsEncrypted && Sender->PasswordFailed) Reason = kst::ErrorText(kst::ErrPasswordFailed);
      else if (!FLastError.empty()) Reason = FLastError;
      else Reason = kst::ErrorText(kst::ErrCrcCheck);
    }
    FLastError.clear();
    if (OnEntry) OnEntry(Name, Reason);
  };
  // Asked on a terminal; without one, an entry no -p opens is given up at once.
  FUnZip.OnGetPassword = [](kst::TUnBase* Sender, const std::string&, std::string& Password, bool& TryAgain) {
    AskPassword(Sender, Password, TryAgain);
  };
  FUnZip.OnProgress = [this](kst::TUnBase*, uint8_t, uint8_t ByArchive) { ShowProgress(ByArchive); };
  for (const std::string& Password : Options.Passwords) FUnZip.Passwords.push_back(Password);
  FUnZip.FileSpec.clear();
  for (const std::string& Pattern : Options.Patterns) FUnZip.FileSpec.push_back(kst::UnixToDosFilename(Pattern));
  if (FUnZip.FileSpec.empty()) FUnZip.FileSpec.push_back("*.*");
  try {
    FUnZip.SetArchiveFile(Options.Archive);
  } catch (const std::exception& Error) {
    PrintError(Error.what(), Options.Archive);
    return;
  }
  FUsable = kst::TUnBase::IsExtractable(FUnZip.ArcType());
  // An archive that could not be opened has been reported already.
  if (!FUsable && FLastError.empty())
    PrintError(kst::ErrorText(kst::ErrArcTypeUnsupported), Options.Archive);
}

void TExtractSession::ShowProgress(uint8_t ByArchive) {
  if (FUnZip.TotalUnpackedSize < kProgressThreshold || !platform::StderrIsTerminal()) return;
  if (ByArchive == FShownProgress) return;
  FShownProgress = ByArchive;
  std::fprintf(stderr, "\r%3u%%", unsigned(ByArchive));
  if (ByArchive == 100) std::fprintf(stderr, "\r    \r");
  std::fflush(stderr);
}

int TExtractSession::Run(const std::function<int32_t()>& Operation) {
  if (!FUsable) return kExitUnreadable;
  try {
    Operation();
  } catch (const std::exception&) {
    // The library reported it through OnError already.
    return kExitUnreadable;
  }
  if (FEntries == 0 && FUnZip.FileCount == 0) {
    if (!FFailed) PrintError(kst::ErrorText(kst::ErrNothingToDo), FUnZip.ArchiveFile());
    return kExitFailed;
  }
  return FFailed ? kExitFailed : kExitOk;
}

}  // namespace kst_tool
