// The archive token and the container choice of set-up.
#include "installer/ContainerChoice.h"

#include "installer/Messages.h"

namespace skw {

std::string ArchiveToken(const std::string& ArchivePath) {
  const size_t Dot = ArchivePath.rfind('.');
  if (Dot == std::string::npos || Dot < 4) return {};
  return ArchivePath.substr(Dot - 4, 4);
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
  TContainerChoice Choice;
  const std::string Token = ArchiveToken(ArchivePath);
  if (ArchivePath.empty()) {
    Choice.FatalMessage = kNoValidZip;
    return Choice;
  }
  const std::optional<std::string> Game = GamePath();
  if (!Game) {
    Choice.FatalMessage = kGameNotFound;
    return Choice;
  }
  Choice.ContainerPath = ContainerPathFor(*Game, Token);
  const std::optional<bool> Bin = BinContainerFor(Token);
  if (!Bin) {
    Choice.FatalMessage = kNoValidZip;
    return Choice;
  }
  Choice.BinContainer = *Bin;
  if (!ArchiveExists(ArchivePath)) Choice.FatalMessage = kCannotOpenZip;
  return Choice;
}

}  // namespace skw
