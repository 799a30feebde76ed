// Picture names of exported textures; see PictureNames.h.
#include "tools/skinwright-tex/PictureNames.h"

#include <cstdint>
#include <cstring>

#include "textures/TextureImport.h"

namespace tex_tool {

namespace {

// Characters no Windows file name holds (besides those below 32).
constexpr const char* kForbidden = "<>:\"/\\|?*";

std::string Described(char C) {
  const auto Code = static_cast<unsigned>(static_cast<uint8_t>(C));
  if (Code < 32) return "a control character (code " + std::to_string(Code) + ")";
  return std::string("\"") + C + "\"";
}

}  // namespace

std::string PictureNameFor(const std::string& TextureName, bool Bin, int32_t Width, int32_t Height) {
  return TextureName + (Bin ? "-BIN-" : "-PAL-") + std::to_string(Width) + "x" + std::to_string(Height) + ".bmp";
}

std::string PictureNameProblem(const std::string& TextureName, bool Bin, int32_t Width, int32_t Height) {
  for (const char C : TextureName) {
    if (static_cast<uint8_t>(C) < 32 || std::strchr(kForbidden, C) != nullptr)
      return "the name holds " + Described(C) + ", which a Windows file name cannot";
  }
  const std::string Picture = PictureNameFor(TextureName, Bin, Width, Height);
  skw::TPictureName Cut;
  bool Back = false;
  try {
    Back = skw::CutPictureName(Picture, Cut) == skw::TNameVerdict::nvPicture && Cut.TextureName == TextureName &&
           Cut.Kind == (Bin ? skw::kTrueColourKind : skw::kPalettisedKind) && Cut.Width == Width &&
           Cut.Height == Height;
  } catch (const skw::EConvertError&) {
    Back = false;
  }
  if (Back) return {};
  return "the installer would not read \"" + Picture + "\" as this texture's picture (a \"-\" in a texture " +
         "name other than the \"-D\" mark cuts the name in the wrong place)";
}

}  // namespace tex_tool
