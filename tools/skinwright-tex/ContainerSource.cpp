// Finding, loading and walking a container; see ContainerSource.h.
#include "tools/skinwright-tex/ContainerSource.h"

#include "installer/ContainerChoice.h"
#include "installer/GameLookup.h"
#include "installer/PackCheck.h"
#include "textures/TextureContainer.h"

namespace tex_tool {

std::string GameContainerPath(bool Bin) {
  std::optional<std::string> Game;
  try {
    Game = skw::GetGamePath();
  } catch (const std::exception& Error) {
    throw TToolError(kExitUnreadable, std::string("the game's registry record: ") + Error.what());
  }
  if (!Game)
    throw TToolError(kExitUnreadable,
                     "the game was not found (no installation path in the registry); "
                     "set SKINWRIGHT_GAME to the game's folder or give --container FILE");
  return skw::ContainerPathFor(*Game, Bin ? "-bin" : "-pal");
}

std::string ContainerPathFrom(const TOptions& Options) {
  if (!Options.Container.empty()) return Options.Container;
  return GameContainerPath(!Options.Pal);
}

bool ContainerKindOf(const std::string& Path) {
  const std::optional<bool> Bin = skw::ContainerKindFromName(Path);
  if (!Bin)
    throw TToolError(kExitUnreadable, Path + ": not a container name (.bin or .pal, or such a name + .original)");
  return *Bin;
}

TContainer LoadContainer(const std::string& Path) {
  TContainer Container;
  Container.Path = Path;
  Container.Bin = ContainerKindOf(Path);
  try {
    Container.Stream.LoadFromFile(Path);
  } catch (const std::exception& Error) {
    throw TToolError(kExitUnreadable, Error.what());
  }
  int64_t End = 0;
  const bool Valid = skw::WalkTextureRecords(
      Container.Stream, Container.Bin,
      [&Container](const skw::TTextureRecord& Record) { Container.Records.push_back(Record); }, End);
  if (!Valid) throw TToolError(kExitUnreadable, Path + ": " + skw::kInvalidContainerText);
  Container.PaletteCount = skw::PaletteCountOf(Container.Stream);
  return Container;
}

}  // namespace tex_tool
