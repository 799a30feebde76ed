// The extraction session shared by kst test, extract and cat.
#include "tools/kst/ExtractSession.h"

#include <cstdio>
#include <exception>

#include "archive/core/Err_msgs.h"
#include "archive/Kstgbls.h"
#include "platform/Console.h"
#include "tools/kst/Format.h"
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

std::string UnsupportedText(uint32_t Method) {
  return "unsupported method " + std::to_string(Method) + " (" + MethodName(uint16_t(Method), "unknown") + ")";
}

}  // namespace

int ParseExtractArgs(const TArgs& Args, TExtractOptions& Options, TArgs& Rest,
                     const std::function<int(const TArgs&, size_t&)>& Extra) {
  bool Excluding = false;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& Arg = Args[I];
    if (Arg == "-p") {
      if (I + 1 >= Args.size()) return UsageError("-p needs a password");
      Options.Passwords.push_back(Args[++I]);
    } else if (Arg == "-x") {
      Excluding = true;
    } else if (Arg.size() > 1 && Arg[0] == '-') {
      Excluding = false;
      const int Code = Extra ? Extra(Args, I) : -1;
      if (Code < 0) return UsageError("unknown option " + Arg);
      if (Code > 0) return Code;
    } else if (Options.Archive.empty()) {
      Options.Archive = Arg;
    } else if (Excluding) {
      Options.Excludes.push_back(Arg);
    } else {
      Rest.push_back(Arg);
    }
  }
  if (Options.Archive.empty()) return UsageError("an archive is needed");
  return 0;
}

TExtractSession::TExtractSession(const TExtractOptions& Options, TArgs Patterns)
    : FPack(Options.Archive),
      FUnZip(std::make_unique<TToolUnZip>(TEntryPatterns(std::move(Patterns), Options.Excludes))),
      FPaths(Options.Archive, "", "", FPack.Path()),
      FArchive(Options.Archive) {
  kst::TUnZip& U = *FUnZip;
  U.OnError = [this](kst::TZipCommon*, std::string FileName, std::string ExtendedMsg, std::string, int32_t ECode) {
    // A failed check and a method no decoder reads are told with the entry's
    // outcome; a temporary file that cannot be made is told under the final name.
    if (ECode == kst::ErrCrcCheck || (!FUnZip->PartialFile.empty() && FileName == FUnZip->PartialFile)) return;
    if (ECode == kst::ErrUnsupportedMethod) {
      FLastError = UnsupportedText(FUnZip->Method());
      FLastErrorShown = false;
      return;
    }
    FLastError = ReportText(ECode, ExtendedMsg);
    // Entries that go nowhere near a file are named as stored.
    if (!FUnZip->WriteToFile() && FileName == FUnZip->FileName) FileName = FUnZip->StoredName;
    PrintError(FLastError, FileName == FUnZip->StoredName ? ShownName(FileName) : FPaths.Shown(FileName));
    FLastErrorShown = true;
    // A wrong typed password may be followed by the right one: the entry's
    // outcome decides.
    if (ECode != kst::ErrInvalidPassword) FFailed = true;
  };
  U.OnBegin = [this](kst::TUnBase*, const std::string&, int32_t, bool&) { FLastError.clear(); };
  U.OnEnd = [this](kst::TUnBase*, const std::string& Name, bool Pass) { EntryEnded(Name, Pass); };
  // Asked on a terminal; without one, an entry no -p opens is given up at once.
  U.OnGetPassword = [](kst::TUnBase* Sender, const std::string&, std::string& Password, bool& TryAgain) {
    AskPassword(Sender, Password, TryAgain);
  };
  U.OnProgress = [this](kst::TUnBase*, uint8_t, uint8_t ByArchive) { ShowProgress(ByArchive); };
  for (const std::string& Password : Options.Passwords) U.Passwords.push_back(Password);
  U.FileSpec = {"*.*"};
  try {
    U.SetArchiveFile(FPack.Path());
  } catch (const std::exception& Error) {
    PrintError(Error.what(), Options.Archive);
    return;
  }
  FUsable = kst::TUnBase::IsExtractable(U.ArcType());
  // An archive that could not be opened has been reported already.
  if (!FUsable && FLastError.empty()) PrintError(kst::ErrorText(kst::ErrArcTypeUnsupported), Options.Archive);
}

void TExtractSession::SetOutput(const std::string& TypedDir, const std::string& LibraryDir) {
  FPaths = TPathForms(FArchive, TypedDir, LibraryDir, FPack.Path());
}

std::string TExtractSession::ShownName(const std::string& Name) const {
  return FUnZip->WriteToFile() ? FPaths.Shown(Name) : NativeName(Name);
}

void TExtractSession::EntryEnded(const std::string& Name, bool Pass) {
  ++FEntries;
  kst::TUnZip& U = *FUnZip;
  std::string Reason;
  if (!Pass) {
    FFailed = true;
    if (U.IsEncrypted && U.PasswordFailed)
      Reason = kst::ErrorText(kst::ErrPasswordFailed);
    else if (!FLastError.empty())
      Reason = FLastError;
    else
      Reason = "bad CRC " + Hex8(U.Crc32Val ^ kst::CRC_MASK) + " (should be " + Hex8(FUnZip->ExpectedCrc()) + ")";
    if (FLastError.empty() || !FLastErrorShown) PrintError(Reason, ShownName(Name));
  }
  FLastError.clear();
  FLastErrorShown = false;
  if (OnEntry) OnEntry(ShownName(Name), Reason);
}

void TExtractSession::ShowProgress(uint8_t ByArchive) {
  if (FUnZip->TotalUnpackedSize < kProgressThreshold || !platform::StderrIsTerminal()) return;
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
  if (FEntries == 0 && FUnZip->FileCount == 0 && FKept == 0) {
    if (FFailed) return kExitFailed;
    if (OnNothing)
      OnNothing();
    else
      PrintError(kst::ErrorText(kst::ErrNothingToDo), FPaths.Shown(FUnZip->ArchiveFile()));
    return kExitFailed;
  }
  return FFailed ? kExitFailed : kExitOk;
}

}  // namespace kst_tool
