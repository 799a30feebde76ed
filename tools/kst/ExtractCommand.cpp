// "kst extract ARCHIVE [-d DIR] [-p PASSWORD]... [-n | -o] [-q] [-j]
// [--keep-broken] [PATTERN...] [-x PATTERN...]": the selected entries become
// files below DIR (default: the current folder) in their stored folders (-j:
// all in DIR), folder entries become folders. One line per entry on standard
// output as it is written (-q: none). A file takes its final name only once it
// decoded whole and passed its CRC check; a failed entry leaves no file unless
// --keep-broken. -o overwrites existing files, -n keeps them; by default kst
// asks about each existing file when standard input is a terminal and keeps it
// otherwise. Kept files are no failure: the closing line counts them.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "archive/core/Err_msgs.h"
#include "platform/FileSystem.h"
#include "tools/kst/Commands.h"
#include "tools/kst/ExtractSession.h"
#include "tools/kst/Prompts.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

// The file being written, for a program stopped by a signal. The handler may
// not allocate, and a signal may come while a new path is being copied: the
// path is written into the slot the handler is not told about, and only then
// is the slot number (set in one step) switched to it; -1 means no file.
char gPartialFiles[2][4096];
volatile std::sig_atomic_t gPartialSlot = -1;

extern "C" void RemovePartialAndExit(int Signal) {
  const int Slot = gPartialSlot;
  if (Slot >= 0) std::remove(gPartialFiles[Slot]);
  std::_Exit(128 + Signal);
}

void RememberPartial(const std::string& LibraryPath) {
  // Called at every progress step: the path is resolved once per file.
  static std::string Remembered;
  if (LibraryPath == Remembered && !LibraryPath.empty()) return;
  Remembered = LibraryPath;
  const std::string Native = LibraryPath.empty() ? std::string() : platform::NativePath(LibraryPath);
  if (Native.empty() || Native.size() >= sizeof gPartialFiles[0]) {
    gPartialSlot = -1;
    return;
  }
  const int Free = gPartialSlot == 0 ? 1 : 0;
  std::memcpy(gPartialFiles[Free], Native.c_str(), Native.size() + 1);
  gPartialSlot = Free;
}

// Dir made absolute against the current folder (the library roots relative
// output folders at the top of the drive).
std::string AbsoluteFolder(const std::string& Dir) {
  const std::string Current = platform::CurrentDirectory();
  if (Dir.empty()) return Current;
  const bool Absolute = Dir[0] == '/' || Dir[0] == '\\' || (Dir.size() > 1 && Dir[1] == ':');
  return Absolute ? Dir : Current + "/" + Dir;
}

// What unzip says while it writes an entry of Method.
const char* ActionWord(uint32_t Method) {
  switch (Method) {
    case 0: return " extracting";
    case 1: return "unshrinking";
    case 2:
    case 3:
    case 4:
    case 5: return " unreducing";
    case 6: return "  exploding";
    default: return "  inflating";
  }
}

struct TExtractFlags {
  std::string Dir;
  bool Overwrite = false;
  bool Never = false;
  bool Quiet = false;
  bool Junk = false;
  bool KeepBroken = false;
};

}  // namespace

int RunExtract(const TArgs& Args) {
  TExtractOptions Options;
  TExtractFlags F;
  const auto Extra = [&](const TArgs& All, size_t& I) -> int {
    if (All[I] == "-o")
      F.Overwrite = true;
    else if (All[I] == "-n")
      F.Never = true;
    else if (All[I] == "-q")
      F.Quiet = true;
    else if (All[I] == "-j")
      F.Junk = true;
    else if (All[I] == "--keep-broken")
      F.KeepBroken = true;
    else if (All[I] != "-d")
      return -1;
    else if (I + 1 >= All.size())
      return UsageError("-d needs a folder");
    else
      F.Dir = All[++I];
    return 0;
  };
  if (const int Code = ParseExtractArgs(Args, Options, Options.Patterns, Extra)) return Code;
  if (F.Overwrite && F.Never) return UsageError("-n and -o exclude each other");

  TExtractSession Session(Options, Options.Patterns);
  TToolUnZip& UnZip = Session.UnZip();
  const std::string Folder = AbsoluteFolder(F.Dir);
  UnZip.SetExtractDir(Folder);
  Session.SetOutput(F.Dir, Folder);
  UnZip.ConfirmOverwrites = !F.Overwrite;
  UnZip.WholeFilesOnly = true;
  UnZip.KeepBrokenFiles = F.KeepBroken;
  UnZip.CreateStoredDirs = !F.Junk;
  UnZip.UseStoredDirs = !F.Junk;
  UnZip.SelectFolders = !F.Junk;
  const bool Quiet = F.Quiet;
  UnZip.OnEntryStart = [&](const std::string& Stored) {
    if (!Quiet && Stored.back() == '\\')
      std::printf("   creating: %s\n", Session.Paths().Shown(UnZip.FileName).c_str());
  };
  TOverwriteAsker Asker;
  UnZip.OnFileExists = [&](kst::TUnBase*, const std::string& Name, std::string& NewFilename,
                           kst::TOverwriteMode& Mode) {
    if (!F.Never && Asker.Decide(Name, Session.Paths().Shown(Name), NewFilename, Mode)) return;
    Mode = kst::omSkip;
    Session.Kept();
  };
  Session.OnEntry = [&](const std::string& Name, const std::string&) {
    // Entries that never opened a file (no decoder, no password) were not written.
    const bool Written = !UnZip.FileWasRefused();
    if (!Quiet && Written) std::printf("%s: %s\n", ActionWord(UnZip.Method()), Name.c_str());
    std::fflush(stdout);
  };
  // A temporary file is remembered before it exists, so a signal at any time
  // after finds it; a final name is never removed.
  UnZip.OnCreating = [&](const std::string& Path) {
    if (Path == UnZip.PartialFile) RememberPartial(Path);
  };
  UnZip.OnProgress = [&, Previous = UnZip.OnProgress](kst::TUnBase* Sender, uint8_t ByFile, uint8_t ByArchive) {
    RememberPartial(UnZip.PartialFile);
    if (Previous) Previous(Sender, ByFile, ByArchive);
  };
  std::signal(SIGINT, RemovePartialAndExit);
  std::signal(SIGTERM, RemovePartialAndExit);
  const int Code = Session.Run([&] { return UnZip.Extract(); });
  gPartialSlot = -1;
  if (Session.KeptCount() > 0 && !Quiet) {
    std::printf("%d existing file%s kept\n", Session.KeptCount(), Session.KeptCount() == 1 ? "" : "s");
  }
  std::fflush(stdout);
  return Code;
}

}  // namespace kst_tool
