// "kst extract ARCHIVE [-d DIR] [-p PASSWORD]... [-n | -o] [PATTERN...]": the
// selected entries become files below DIR (default: the current folder) in
// their stored folders. -o overwrites existing files, -n keeps them; by default
// kst asks about each existing file when standard input is a terminal and keeps
// it otherwise. A kept file counts as a skipped entry (exit 1). Names that
// would lead outside DIR are refused by the library and count as failures too.
#include <cstdio>

#include "archive/core/Err_msgs.h"
#include "platform/FileSystem.h"
#include "tools/kst/Commands.h"
#include "tools/kst/ExtractSession.h"
#include "tools/kst/Prompts.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

// Dir made absolute against the current folder (the library roots relative
// output folders at the top of the drive).
std::string AbsoluteFolder(const std::string& Dir) {
  const std::string Current = platform::CurrentDirectory();
  if (Dir.empty()) return Current;
  const bool Absolute = Dir[0] == '/' || Dir[0] == '\\' || (Dir.size() > 1 && Dir[1] == ':');
  return Absolute ? Dir : Current + "/" + Dir;
}

}  // namespace

int RunExtract(const TArgs& Args) {
  TExtractOptions Options;
  std::string Dir;
  bool Overwrite = false;
  bool Never = false;
  const auto Extra = [&](const TArgs& All, size_t& i) -> int {
    if (All[i] == "-o") Overwrite = true;
    else if (All[i] == "-n") Never = true;
    else if (All[i] != "-d") return -1;
    else if (i + 1 >= All.size()) return UsageError("-d needs a folder");
    else Dir = All[++i];
    return 0;
  };
  if (const int Code = ParseExtractArgs(Args, Options, Options.Patterns, Extra)) return Code;
  if (Overwrite && Never) return UsageError("-n and -o exclude each other");

  TExtractSession Session(Options);
  kst::TUnZip& UnZip = Session.UnZip();
  UnZip.SetExtractDir(AbsoluteFolder(Dir));
  UnZip.ConfirmOverwrites = !Overwrite;
  TOverwriteAsker Asker;
  UnZip.OnFileExists = [&](kst::TUnBase*, const std::string& Name, std::string& NewFilename,
                           kst::TOverwriteMode& Mode) {
    if (!Never && Asker.Decide(Name, NewFilename, Mode)) return;
    Mode = kst::omSkip;
    PrintError(kst::ErrorText(kst::ErrSkippedFile), Name);
    Session.Fail();
  };
  return Session.Run([&] { return UnZip.Extract(); });
}

}  // namespace kst_tool
