// The picture name a texture must carry in a pack, NAME-BIN-WxH.bmp or
// NAME-PAL-WxH.bmp, and whether a texture can be exported under it at all.
// The round trip is decided by the engine's own name cutter: a name is usable
// only when cutting the picture name gives back exactly this texture name,
// kind and size, and every character can stand in a Windows file name.
#pragma once
#include <string>

namespace tex_tool {

std::string PictureNameFor(const std::string& TextureName, bool Bin, int32_t Width, int32_t Height);

// Empty when TextureName round-trips as a picture name; otherwise why not.
std::string PictureNameProblem(const std::string& TextureName, bool Bin, int32_t Width, int32_t Height);

}  // namespace tex_tool
