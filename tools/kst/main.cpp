// kst: the command-line face of the archive library, for looking into packs
// without the installer. "kst COMMAND ARGS...": the first word picks a command
// from the table below; --help and --version work anywhere a command could
// stand. Exit codes: 0 everything asked for succeeded (files kept on purpose
// included), 1 an entry failed or nothing matched, 2 a mistake on the command
// line or an archive that cannot be read.
#include <cstdio>
#include <string>

#include "platform/FileSystem.h"
#include "skw/Version.h"
#include "tools/kst/Commands.h"

// Patterns such as *.bmp are meant for the archive, not for the current folder:
// this tells the Windows runtime not to expand wildcards in the command line (on
// other systems the variable is unused).
extern "C" {
int _dowildcard = 0;
}

namespace kst_tool {
namespace {

struct TCommand {
  const char* Name;
  int (*Run)(const TArgs&);
};

constexpr TCommand kCommands[] = {
    {"info", RunInfo}, {"list", RunList}, {"test", RunTest}, {"extract", RunExtract}, {"cat", RunCat},
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
      "                                (and the container a pack executable is for)\n"
      "  list [--tsv] [--dirs] ARCHIVE [PATTERN...] [-x PATTERN...]\n"
      "                                entries matching the patterns (default: all)\n"
      "  test ARCHIVE [-p PASSWORD]... [PATTERN...] [-x PATTERN...]\n"
      "                                decode and check every selected entry\n"
      "  extract ARCHIVE [-d DIR] [-p PASSWORD]... [-n | -o] [-q] [-j] [--keep-broken]\n"
      "          [PATTERN...] [-x PATTERN...]\n"
      "                                write the selected entries below DIR\n"
      "  cat ARCHIVE NAME [-p PASSWORD]...\n"
      "                                the entry's bytes to standard output\n"
      "\n"
      "Options:\n"
      "  --tsv       one tab-separated line per entry: name, method, method name,\n"
      "              packed, unpacked, CRC-32, date-time, attributes, encrypted,\n"
      "              local header offset\n"
      "  --dirs      also show directory entries\n"
      "  -p PASSWORD a password to try on encrypted entries (repeatable); when\n"
      "              none opens an entry and standard input is a terminal, the\n"
      "              password is asked for without echo\n"
      "  -d DIR      output folder of extract (default: the current folder)\n"
      "  -x PATTERN... leave out the entries these patterns match\n"
      "  -q          extract: no line per entry\n"
      "  -j          extract: every file straight into DIR, without its folders\n"
      "  --keep-broken\n"
      "              extract: keep a file whose data failed (bad CRC, decoder\n"
      "              error, truncation); by default it is removed, and a file\n"
      "              takes its name only once it decoded whole\n"
      "  -n, -o      extract: never overwrite / overwrite existing files; by\n"
      "              default each existing file is asked about when standard\n"
      "              input is a terminal: y overwrite, n keep, A overwrite all,\n"
      "              N keep all, r write under a new name in the same folder;\n"
      "              without a terminal existing files are kept; kept files are\n"
      "              counted in a closing line and are no failure\n"
      "  --help      this text\n"
      "  --version   the program's version\n"
      "\n"
      "Patterns: * and ? match any characters, dots and folders included, [...]\n"
      "a class ([!...] its complement); / and \\ both separate folders; case\n"
      "counts except on Windows. A pattern that is exactly an entry's name\n"
      "selects it. Quote patterns so the shell leaves them alone.\n"
      "\n"
      "Every failed entry gets one line on standard error: its name and the\n"
      "reason (bad CRC with both values, unsupported method, decoder error).\n"
      "Progress of long runs is shown on standard error when it is a terminal.\n"
      "\n"
      "Exit codes: 0 everything asked for succeeded (test, extract, cat: every\n"
      "selected entry decoded and passed its CRC check; files kept with -n or\n"
      "at the question count as success); 1 an entry failed or nothing\n"
      "matched; 2 usage error or an archive that cannot be read.\n");
}

int UsageError(const std::string& Message) {
  std::fprintf(stderr, "kst: %s\nTry 'kst --help'.\n", Message.c_str());
  return kExitUsage;
}

}  // namespace kst_tool

int main(int argc, char** argv) {
  using namespace kst_tool;
  // The user's own folders: names that differ only in case are different files.
  platform::MatchNamesExactly(true);
  TArgs Args(argv + 1, argv + argc);
  if (Args.empty()) return UsageError("no command given");
  if (Args[0] == "--version") {
    std::printf("kst %s (Skinwright archive tool)\n", skw::kSkinwrightVersion);
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
