// "kst list [--tsv] [--dirs] ARCHIVE [PATTERN...] [-x PATTERN...]": the entries
// the patterns select (default: all), reported through the lister's OnRead and
// summed up by its OnTotals. The plain form is aligned columns with a header
// and a totals line; --tsv gives one tab-separated line per entry for scripts;
// --dirs also shows directory entries (not counted). Names appear with the
// platform's separator. Exit 1 when no entry was listed.
#include <cstdio>
#include <string>

#include "archive/list/AttrStrings.h"
#include "archive/list/Kstkestrel.h"
#include "tools/kst/Commands.h"
#include "tools/kst/Format.h"
#include "tools/kst/Paths.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

struct TListOptions {
  bool Tsv = false;
  bool Dirs = false;
  std::string Archive;
  TArgs Patterns;
  TArgs Excludes;  // after -x
};

// Nonzero exit code on a mistake.
int ParseOptions(const TArgs& Args, TListOptions& Options) {
  bool Excluding = false;
  for (const std::string& Arg : Args) {
    if (Arg == "--tsv") {
      Options.Tsv = true;
    } else if (Arg == "--dirs") {
      Options.Dirs = true;
    } else if (Arg == "-x") {
      Excluding = true;
    } else if (Arg.size() > 1 && Arg[0] == '-' && Arg[1] == '-') {
      return UsageError("unknown option " + Arg);
    } else if (Options.Archive.empty()) {
      Options.Archive = Arg;
    } else {
      (Excluding ? Options.Excludes : Options.Patterns).push_back(Arg);
    }
  }
  if (Options.Archive.empty()) return UsageError("list needs an archive");
  return 0;
}

// The library's method text, with names for the methods it only numbers.
std::string ShownMethod(const kst::TKestrel& L) { return MethodName(L.CompressionMethod, L.CompressionMethodName); }

void PrintTsvLine(const kst::TKestrel& L, int32_t Offset) {
  std::printf("%s\t%u\t%s\t%u\t%u\t%s\t%s\t%s\t%d\t%u\n", NativeName(L.FileName).c_str(), unsigned(L.CompressionMethod),
              ShownMethod(L).c_str(), unsigned(L.PackedSize), unsigned(L.UnpackedSize), Hex8(L.FileCrc).c_str(),
              FormatDateTime(L.FileDate).c_str(), kst::WinAttrToString(L.ExternalAttr, '-').c_str(),
              L.Encrypted ? 1 : 0, unsigned(uint32_t(Offset)));
}

void PrintHeader() {
  std::printf("%10s %10s %5s %-11s %-8s %-19s %-4s %s\n", "Packed", "Unpacked", "Ratio", "Method", "CRC-32",
              "Date-time", "Attr", "Name");
  std::printf("---------- ---------- ----- ----------- -------- ------------------- ---- ----\n");
}

void PrintColumnsLine(const kst::TKestrel& L) {
  std::printf("%10u %10u %4u%% %-11s %s %s %-4s %s%s\n", unsigned(L.PackedSize), unsigned(L.UnpackedSize),
              unsigned(L.Ratio), ShownMethod(L).c_str(), Hex8(L.FileCrc).c_str(), FormatDateTime(L.FileDate).c_str(),
              kst::WinAttrToString(L.ExternalAttr, '-').c_str(), L.Encrypted ? "*" : "",
              NativeName(L.FileName).c_str());
}

void PrintTotals(int32_t UnpackSize, int32_t PackSize, int32_t Ratio, int32_t NumFiles) {
  std::printf("---------- ---------- -----\n");
  std::printf("%10u %10u %4d%% %d file%s\n", unsigned(uint32_t(PackSize)), unsigned(uint32_t(UnpackSize)), Ratio,
              NumFiles, NumFiles == 1 ? "" : "s");
}

}  // namespace

int RunList(const TArgs& Args) {
  TListOptions Options;
  if (const int Code = ParseOptions(Args, Options)) return Code;
  TSession Session(Options.Archive);
  if (!Session.Identified()) return kExitUnreadable;
  TToolKestrel& Lister = Session.Lister();
  Lister.Patterns = TEntryPatterns(Options.Patterns, Options.Excludes);
  Lister.ShowEmptyDirs = Options.Dirs;
  int Listed = 0;
  if (Options.Tsv) {
    Lister.OnRead = [&Listed](kst::TKestrel* L, int32_t Offset, int32_t) {
      ++Listed;
      PrintTsvLine(*L, Offset);
    };
  } else {
    Lister.OnActivate = [](kst::TKestrel*) { PrintHeader(); };
    Lister.OnRead = [&Listed](kst::TKestrel* L, int32_t, int32_t) {
      ++Listed;
      PrintColumnsLine(*L);
    };
    Lister.OnTotals = [](kst::TKestrel*, int32_t Unpack, int32_t Pack, int32_t Ratio, int32_t Files) {
      PrintTotals(Unpack, Pack, Ratio, Files);
    };
  }
  const bool Walked = Lister.Activate();
  std::fflush(stdout);
  if (!Walked) return kExitUnreadable;
  return Listed > 0 ? kExitOk : kExitFailed;
}

}  // namespace kst_tool
