// Parsing a command's options; see Options.h.
#include "tools/skinwright-tex/Options.h"

#include <algorithm>
#include <string_view>

namespace tex_tool {

TOptions ParseOptions(const TArgs& Args, std::initializer_list<const char*> Allowed) {
  const auto Allows = [&Allowed](std::string_view Option) {
    return std::any_of(Allowed.begin(), Allowed.end(), [Option](const char* A) { return Option == A; });
  };
  TOptions Options;
  bool OptionsEnded = false;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::string& Arg = Args[I];
    if (OptionsEnded || Arg.size() < 2 || Arg[0] != '-') {
      Options.Words.push_back(Arg);
      continue;
    }
    if (Arg == "--") {
      OptionsEnded = true;
    } else if (!Allows(Arg)) {
      throw UsageError("unknown option " + Arg);
    } else if (Arg == "--container") {
      if (I + 1 >= Args.size()) throw UsageError("--container needs a file");
      Options.Container = Args[++I];
    } else if (Arg == "--bin") {
      Options.Bin = true;
    } else if (Arg == "--pal") {
      Options.Pal = true;
    } else if (Arg == "--tsv") {
      Options.Tsv = true;
    }
  }
  if (Options.Bin && Options.Pal) throw UsageError("--bin and --pal exclude each other");
  if (!Options.Container.empty() && (Options.Bin || Options.Pal))
    throw UsageError("--container names the file; --bin and --pal choose one of the game's");
  return Options;
}

}  // namespace tex_tool
