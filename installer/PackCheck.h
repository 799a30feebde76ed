// A dry run of the installer: the pack's pictures imported by the installer's
// own code into a copy in memory of a container, with an observer collecting
// each entry's outcome; nothing is written to the container or beside it. The
// container given decides the kind (true colour or palettised) by its
// extension, whatever the pack's own name or trailer asks for; what the pack
// asks for is reported beside, so a caller can warn when the two differ. A pack
// executable's archive is copied to the temporary folder as the installer does
// (the archive reader works on files) and removed again afterwards.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "textures/ImportObserver.h"

namespace skw {

struct TPackCheck {
  std::vector<TPictureReport> Reports;
  // True when the installer would go on to save the container (no entry stopped the run).
  bool WouldSave = false;
  // The run-stopping message as the installer's error box shows it; empty when none.
  std::string StopMessage;
  // The container kind the pack asks for by its trailer or its archive name
  // ("-bin"/"-pal" token), true for true colour; nothing when it names none
  // (the installer would refuse such a pack: "No valid Zip file specified.").
  std::optional<bool> PackBinContainer;
};

// Runs the installer's own import of PackPath (a ZIP or a pack executable with
// a trailer) against a copy in memory of ContainerPath; writes nothing beside
// the container. Throws std::runtime_error with a clear message for a pack or
// container that cannot be read, a container whose extension names no kind,
// or a container the texture scan does not accept (the scan's own text).
TPackCheck CheckPack(const std::string& PackPath, const std::string& ContainerPath);

// The container kind a file name gives: true for ".bin" (true colour), false
// for ".pal" (palettised), letters in any case; a kept original
// "textures.bin.original" counts by the extension before ".original". Only the
// file name counts, not its folders. Nothing for any other name.
std::optional<bool> ContainerKindFromName(const std::string& Path);

}  // namespace skw
