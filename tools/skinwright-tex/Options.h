// The command line of one skinwright-tex command: the options it allows
// (--container FILE, --bin, --pal, --tsv) and the other words in their order.
// A word starting with "-" that the command does not allow is a usage error;
// "--" ends the options, so a file named "-x" can still be given.
#pragma once
#include <initializer_list>
#include <string>

#include "tools/skinwright-tex/Commands.h"

namespace tex_tool {

struct TOptions {
  std::string Container;  // --container FILE
  bool Bin = false;       // --bin
  bool Pal = false;       // --pal
  bool Tsv = false;       // --tsv
  TArgs Words;
};

// Reads Args, accepting only the options named in Allowed (spelled as on the
// command line); raises a usage error for anything else, for --bin
// together with --pal, and for --container together with either.
TOptions ParseOptions(const TArgs& Args, std::initializer_list<const char*> Allowed);

}  // namespace tex_tool
