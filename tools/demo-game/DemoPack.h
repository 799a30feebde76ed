// The demo packs: one ZIP for each container, each with a credits text, a logo
// and pictures that replace textures of the demo containers. Some pictures keep
// the texture's size, some bring a new size (the container grows or shrinks),
// the palettised pack brings a palette the container lacks (appended once, then
// found again by the next picture), and one picture per pack is of a kind or
// shape the import rejects.
#pragma once
#include <string>

namespace demo {

// The stored ZIP archive of the pack for the true-colour (Bin) or palettised
// container.
std::string BuildPack(bool Bin);

}  // namespace demo
