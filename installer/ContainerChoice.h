// Choosing the game's texture container from the archive's name, the middle of
// the main window's set-up. The archive token is the four characters in front
// of the last "." anywhere in the archive path ("-bin" in "desert-bin.zip");
// "-bin"/"-BIN" select the true-colour container textures.bin, "-pal"/"-PAL" the
// palettised textures.pal, and the container's extension keeps the token's own
// letter case (textures.BIN). ChooseContainer runs the set-up's tests in their
// order and answers the first fatal message, or the container.
#pragma once
#include <functional>
#include <optional>
#include <string>

namespace skw {

// The four characters at positions p-4..p-1 (counting from 1) of the path,
// where p is the position of its last "."; empty when p is 4 or less.
std::string ArchiveToken(const std::string& ArchivePath);

// True for "-bin"/"-BIN", false for "-pal"/"-PAL", nothing for any other token.
std::optional<bool> BinContainerFor(const std::string& Token);

// GamePath + "3ddata\textures." + the token's characters 2 to 4.
std::string ContainerPathFor(const std::string& GamePath, const std::string& Token);

struct TContainerChoice {
  std::string FatalMessage;  // empty when set-up goes on
  std::string ContainerPath;
  bool BinContainer = false;
};

// The set-up's tests in order: an empty ArchivePath, no game found (GamePath
// answers nothing; it may also throw, which passes through), a token that is no
// container's, no file under ArchivePath (ArchiveExists answers false). Each
// gives its fatal message; ContainerPath is filled as far as set-up got.
TContainerChoice ChooseContainer(const std::string& ArchivePath,
                                 const std::function<std::optional<std::string>()>& GamePath,
                                 const std::function<bool(const std::string&)>& ArchiveExists);

}  // namespace skw
