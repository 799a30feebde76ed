// skinwright-pack: builds a pack executable, the program file with a pack's ZIP
// archive and the 12-byte trailer appended, so that running it installs the
// pack. The container the pack is for comes from the archive's name (-bin or
// -pal in front of its extension) or from --ext. Exit code 0 on success, 1 on
// any error (with one line on standard error), 2 for a wrong command line.
#include <iostream>
#include <string>
#include <vector>

#include "installer/PackBuilder.h"
#include "skw/Version.h"

namespace {

const char* const kUsage =
    "usage: skinwright-pack [--ext bin|pal] PROGRAM ARCHIVE.zip OUTPUT\n"
    "\n"
    "Writes OUTPUT: the bytes of PROGRAM (the Skinwright program, for Linux or\n"
    "Windows), then the ZIP archive ARCHIVE, then a 12-byte trailer naming the\n"
    "game container the pack is for and the archive's length. Running OUTPUT\n"
    "installs the pack. The container (bin: textures.bin, pal: textures.pal) is\n"
    "taken from the archive's name, as in desert-pal.zip, unless --ext gives it.\n"
    "\n"
    "options:\n"
    "  --ext EXT   bin, pal, BIN or PAL\n"
    "  --help      this text\n"
    "  --version   the program's version\n"
    "\n"
    "How to make a pack from start to finish (export the game's pictures with\n"
    "skinwright-tex, name them, check the pack, install, go back): see\n"
    "docs/pack-authors-guide.md (in the sources and in the Windows release zip).\n";

int Usage(const std::string& Problem) {
  std::cerr << "skinwright-pack: " << Problem << "\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> Files;
  std::string Extension;
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    if (Arg == "--help" || Arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (Arg == "--version") {
      std::cout << "skinwright-pack " << skw::kSkinwrightVersion << " (Skinwright pack builder)\n";
      return 0;
    }
    if (Arg == "--ext") {
      if (I + 1 >= argc) return Usage("--ext needs a value");
      Extension = argv[++I];
    } else if (Arg.rfind("--ext=", 0) == 0) {
      Extension = Arg.substr(6);
    } else if (Arg.size() > 1 && Arg[0] == '-' && Arg != "-") {
      return Usage("unknown option " + Arg);
    } else {
      Files.push_back(Arg);
    }
  }
  if (Files.size() != 3) return Usage("expected PROGRAM, ARCHIVE and OUTPUT");
  if (Extension.empty()) Extension = skw::PackExtensionFromName(Files[1]);
  if (Extension.empty())
    return Usage("cannot tell the container from the name " + Files[1] +
                 " (it should end in -bin or -pal before its extension); give --ext");
  const std::string Problem = skw::BuildPack(Files[0], Files[1], Extension, Files[2]);
  if (!Problem.empty()) {
    std::cerr << "skinwright-pack: " << Problem << "\n";
    return 1;
  }
  std::cout << "wrote " << Files[2] << " (container " << Extension << ")\n";
  return 0;
}
