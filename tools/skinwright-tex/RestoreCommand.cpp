// restore: puts the original container the installer kept beside the game's
// container (textures.bin.original) back in its place, atomically, and keeps
// the original file, so it can be restored again after the next install. The
// work is the installer's own RestoreOriginal; this file chooses the container
// and reports.
#include <iostream>
#include <string>

#include "installer/OriginalContainer.h"
#include "tools/skinwright-tex/ContainerSource.h"

namespace tex_tool {

int RunRestore(const TArgs& Args) {
  const TOptions Options = ParseOptions(Args, {"--container", "--bin", "--pal"});
  if (!Options.Words.empty()) throw UsageError("restore takes no file names (use --container FILE)");
  const std::string Container = ContainerPathFrom(Options);
  try {
    skw::RestoreOriginal(Container);
  } catch (const std::exception& Error) {
    std::cerr << "skinwright-tex: " << Error.what() << "\n";
    return kExitFailed;
  }
  std::cout << "restored " << Container << " from " << skw::OriginalPathFor(Container) << "\n";
  return kExitOk;
}

}  // namespace tex_tool
