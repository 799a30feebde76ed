// skinwright-tex: the texture side of Skinwright for pack authors and players.
// It shows what a game container holds (list), writes its textures out as
// pictures named the way a pack must name them (export), tries a pack against
// the container without writing anything (check), compares two containers
// (diff) and puts back the original container the installer kept (restore).
// "skinwright-tex COMMAND ARGS...": the first word picks a command from the
// table below; --help and --version work anywhere a command could stand.
// Exit codes as kst has them: 0 everything asked for succeeded, 1 something
// was skipped, differs or would not be installed, 2 a mistake on the command
// line or an input that cannot be read.
#include <cstdio>
#include <string>

#include "skw/Version.h"
#include "tools/skinwright-tex/Commands.h"

namespace tex_tool {
namespace {

struct TCommand {
  const char* Name;
  int (*Run)(const TArgs&);
};

constexpr TCommand kCommands[] = {
    {"list", RunList}, {"export", RunExport}, {"check", RunCheck}, {"diff", RunDiff}, {"restore", RunRestore},
};

bool AsksForHelp(const TArgs& Args) {
  for (const std::string& Arg : Args) {
    if (Arg == "--help" || Arg == "-h") return true;
  }
  return false;
}

int Fail(const TToolError& Error) {
  std::fprintf(stderr, "skinwright-tex: %s\n", Error.what());
  if (Error.CommandLine()) std::fprintf(stderr, "Try 'skinwright-tex --help'.\n");
  return Error.Code();
}

}  // namespace

void PrintUsage() {
  std::printf(
      "Usage: skinwright-tex COMMAND [OPTIONS] [ARGS]\n"
      "\n"
      "Commands:\n"
      "  list [--container FILE | --bin | --pal] [--tsv]\n"
      "        every record of the container in file order: number, name (with the\n"
      "        \"-D\" mark), type, width, height, mip count, palette number, data\n"
      "        offset, data size, indexed (1/0); then the palette count and totals\n"
      "  export [--container FILE | --bin | --pal] DIR [NAME...]\n"
      "        level 0 of every indexed texture (or of the NAMEs, exact case, with\n"
      "        the \"-D\" mark where there is one) as pictures in DIR, named as a\n"
      "        pack must name them: NAME-BIN-WxH.bmp or NAME-PAL-WxH.bmp\n"
      "  check PACK [--container FILE]\n"
      "        what the installer would do with each picture of PACK (a ZIP or a\n"
      "        pack executable), without writing anything\n"
      "  diff OLD NEW\n"
      "        textures whose header or pixels differ, palettes added, records\n"
      "        added or lost between two containers\n"
      "  restore [--container FILE | --bin | --pal]\n"
      "        puts back the original container the installer kept beside it\n"
      "        (textures.bin.original) and keeps the original\n"
      "\n"
      "Options:\n"
      "  --container FILE  read FILE instead of the game's container; its kind\n"
      "                    comes from its extension (.bin true colour, .pal\n"
      "                    palettised, any case, also before \".original\")\n"
      "  --bin, --pal      the game's textures.bin (the default) or textures.pal\n"
      "  --tsv             list: tab-separated lines, \"-\" for fields a record of\n"
      "                    type above 3 lacks; palette count and totals follow\n"
      "                    on lines starting with \"#\"; \\, tab and line\n"
      "                    breaks in names as \\\\, \\t, \\n, \\r\n"
      "  --help            this text\n"
      "  --version         the program's version\n"
      "\n"
      "The game is found as the installer finds it: the folder SKINWRIGHT_GAME\n"
      "names, else the registry (on Linux the Wine prefix WINEPREFIX, default\n"
      "~/.wine). check takes the container from the pack's name (-bin or -pal\n"
      "before its extension) unless --container names one.\n"
      "\n"
      "Examples:\n"
      "  skinwright-tex list --pal\n"
      "  skinwright-tex export pictures \"ROTOR\" \"ROTOR-D\"\n"
      "  skinwright-tex check desert-bin.zip\n"
      "  skinwright-tex diff textures.bin.original textures.bin\n"
      "  skinwright-tex restore --bin\n"
      "\n"
      "Making a pack from start to finish: docs/pack-authors-guide.md.\n"
      "\n"
      "Exit codes: 0 everything asked for succeeded (check: every picture would\n"
      "be installed; diff: the containers are equal); 1 something was skipped,\n"
      "differs or would not be installed, or no original to restore; 2 usage\n"
      "error, or a pack or container that cannot be read.\n");
}

}  // namespace tex_tool

int main(int argc, char** argv) {
  using namespace tex_tool;
  const TArgs Args(argv + 1, argv + argc);
  if (Args.empty()) return Fail(UsageError("no command given"));
  if (Args[0] == "--version") {
    std::printf("skinwright-tex %s (Skinwright texture tool)\n", skw::kSkinwrightVersion);
    return kExitOk;
  }
  if (AsksForHelp(Args) || Args[0] == "help") {
    PrintUsage();
    return kExitOk;
  }
  for (const TCommand& Command : kCommands) {
    if (Args[0] != Command.Name) continue;
    try {
      return Command.Run(TArgs(Args.begin() + 1, Args.end()));
    } catch (const TToolError& Error) {
      return Fail(Error);
    }
  }
  return Fail(UsageError("unknown command " + Args[0]));
}
