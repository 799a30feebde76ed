// The archive token and the container choice of set-up.
#include "installer/ContainerChoice.h"

#include "installer/Messages.h"

namespace skw {

std::string ArchiveToken(const std::string& ArchivePath) {
  const size_t dot = ArchivePath.rfind('.');
  if (dot == std::string::npos || dot < 4) return {};
  return ArchivePath.substr(dot - 4, 4);
}

std::optional<bool> BinContainerFor(const std::string& Token) {
  if (Token == "-bin" || Token == "-BIN") return true;
  if (Token == "-pal" || Token == "-PAL") return false;
  return std::nullopt;
}

std::string ContainerPathFor(const std::string& GamePath, const std::string& Token) {
  return GamePath + "3ddata\\textures." + (Token.size() > 1 ? Token.substr(1, 3) : std::string());
}

TContainerChoice ChooseContainer(const std::string& ArchivePath,
                                 const std::function<std::optional<std::string>()>& GamePath,
                                 const std::function<bool(const std::string&)>& ArchiveExists) {
  TContainerChoice choice;
  const std::string token = ArchiveToken(ArchivePath);
  if (ArchivePath.empty()) {
    choice.FatalMessage = kNoValidZip;
    return choice;
  }
  const std::optional<std::string> game = GamePath();
  if (!game) {
    choice.FatalMessage = kGameNotFound;
    return choice;
  }
  choice.ContainerPath = ContainerPathFor(*game, token);
  const std::optional<bool> bin = BinContainerFor(token);
  if (!bin) {
    choice.FatalMessage = kNoValidZip;
    return choice;
  }
  choice.BinContainer = *bin;
  if (!ArchiveExists(ArchivePath)) choice.FatalMessage = kCannotOpenZip;
  return choice;
}

}  // namespace skw
