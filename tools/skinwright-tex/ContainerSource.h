// Which container a command reads and the container itself, loaded and walked.
// Without --container the game's own container is used, found the way the
// installer finds it (the registry, or the Wine prefix on Linux, or the folder
// SKINWRIGHT_GAME names): textures.bin with --bin or by default, textures.pal
// with --pal. A container's kind comes from its file name (.bin true colour,
// .pal palettised, any case; "textures.bin.original" counts as .bin). Loading
// reads the whole file and walks it with the engine's own record walk: a
// container the engine would refuse is refused here with the engine's message.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/io/MemoryStream.h"
#include "textures/TextureRecords.h"
#include "tools/skinwright-tex/Options.h"

namespace tex_tool {

struct TContainer {
  std::string Path;
  bool Bin = true;
  kst::TMemoryStream Stream;
  int32_t PaletteCount = 0;
  std::vector<skw::TTextureRecord> Records;

  // The Count bytes at Offset (inside the stream: the walk checked them).
  const uint8_t* Bytes(int64_t Offset) const { return Stream.Memory() + Offset; }
};

// The game's container of the given kind; raises TToolError when
// the game cannot be found.
std::string GameContainerPath(bool Bin);

// --container's file, or the game's container chosen by --bin / --pal.
std::string ContainerPathFrom(const TOptions& Options);

// True for a true-colour container name, false for a palettised one; raises
// a TToolError for a name that is neither.
bool ContainerKindOf(const std::string& Path);

// Loads and walks the container; raises TToolError when it cannot
// be read or is not valid.
TContainer LoadContainer(const std::string& Path);

}  // namespace tex_tool
