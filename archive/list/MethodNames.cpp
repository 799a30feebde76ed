// Method texts of entry listings; see MethodNames.h.
#include "archive/list/MethodNames.h"

#include <array>
#include <string_view>

#include "archive/core/Ksttypes.h"
#include "archive/identify/ArcTypeInfo.h"

namespace kst {
namespace {

constexpr std::array<std::string_view, 8> kZipMethods{{
    "Stored",
    "Shrunk",
    "Reduce-1",
    "Reduce-2",
    "Reduce-3",
    "Reduce-4",
    "Imploded",
    "Tokened",
}};

constexpr uint32_t kDirectoryAttr = 0x10;

}  // namespace

std::string GetDeflateMethodStr(uint8_t Flags) {
  const bool Bit1 = (Flags & kFlagOption1) != 0;
  const bool Bit2 = (Flags & kFlagOption2) != 0;
  if (Bit1 && Bit2) return "DeflateS";
  if (Bit2) return "DeflateF";
  if (Bit1) return "DeflateX";
  return "DeflateN";
}

std::string GetCompressionMethodStr(TArcType ArcType, uint16_t Method, uint8_t Flags, uint32_t ExternalAttr) {
  if (!IsAnyZip(ArcType)) return "Unsupported";
  if (Method < kZipMethods.size()) return std::string(kZipMethods[Method]);
  if (Method == kMethodDeflated) return GetDeflateMethodStr(Flags);
  return (ExternalAttr & kDirectoryAttr) ? "Dir" : "Unsupported";
}

}  // namespace kst
