// kst: the command-line face of the archive library, for looking into packs
// without the installer. "kst COMMAND ARGS...": the first word picks a command
// from the table below; --help and --version work anywhere a command could
// stand. Exit codes: 0 success, 1 an archive could not be walked or an entry
// failed (or nothing matched), 2 a mistake on the command line or an archive
// the extractor cannot read.
#include <cstdio>
#include <string>

#include "tools/kst/Commands.h"

// Patterns such as *.bmp are meant for the archive, not for the current folder:
// this tells the Windows runtime not to expand wildcards in the command line (on
// other systems the variable is unused).
extern "C" {
int _dowildcard = 0;
}

namespace kst_tool {
namespace {

constexpr const char* kVersion = "kst 1.1 (Skinwright archive tool)";

struct TCommand {
  const char* Name;
  int (*Run)(const TArgs&);
};

constexpr TCommand kCommands[] = {
    {"info", RunInfo},
    {"list", RunList},
    {"test", RunTest},
    {"extract", RunExtract},
    {"cat", RunCat},
};

bool AsksForHelp(const TArgs& Args) {
  for (const std::string& Arg : Args) {
    if (Arg == "--help" || Arg == "-h") return true;
  }
  return false;
}

}  // namespace

void PrintUsage() {
  std::printf(
      "Usage: kst COMMAND [OPTIONS] ARCHIVE [PATTERN...]\n"
      "\n"
      "Commands:\n"
      "  info ARCHIVE                  kind, data offset, header state, entries, comment\n"
      "  list [--tsv] [--dirs] ARCHIVE [PATTERN...]\n"
      "                                entries matching the patterns (default *.*)\n"
      "  test ARCHIVE [-p PASSWORD]... [PATTERN...]\n"
      "                                decode and check every selected entry\n"
      "  extract ARCHIVE [-d DIR] [-p PASSWORD]... [-n | -o] [PATTERN...]\n"
      "                                write the selected entries below DIR\n"
      "  cat ARCHIVE NAME [-p PASSWORD]...\n"
      "                                the entry's bytes to standard output\n"
      "\n"
      "Options:\n"
      "  --tsv       one tab-separated line per entry: name, method, method name,\n"
      "              packed, unpacked, CRC-32, date-time, attributes, encrypted,\n"
      "              local header offset\n"
      "  --dirs      also show directory entries\n"
      "  -p PASSWORD a password to try on encrypted entries (repeatable)\n"
      "  -d DIR      output folder of extract (default: the current folder)\n"
      "  -n, -o      extract: never overwrite / overwrite existing files\n"
      "              (the default keeps them)\n"
      "  --help      this text\n"
      "  --version   the program's version\n"
      "\n"
      "Exit codes: 0 success; 1 the archive could not be walked, or an entry\n"
      "failed, was skipped or nothing matched; 2 usage error or an archive the\n"
      "extractor cannot read.\n");
}

int UsageError(const std::string& Message) {
  std::fprintf(stderr, "kst: %s\nTry 'kst --help'.\n", Message.c_str());
  return kExitUsage;
}

}  // namespace kst_tool

int main(int argc, char** argv) {
  using namespace kst_tool;
  TArgs Args(argv + 1, argv + argc);
  if (Args.empty()) return UsageError("no command given");
  if (Args[0] == "--version") {
    std::printf("%s\n", kVersion);
    return kExitOk;
  }
  if (AsksForHelp(Args) || Args[0] == "help") {
    PrintUsage();
    return kExitOk;
  }
  for (const TCommand& Command : kCommands) {
    if (Args[0] == Command.Name) return Command.Run(TArgs(Args.begin() + 1, Args.end()));
  }
  return UsageError("unknown command " + Args[0]);
}
