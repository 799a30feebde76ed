// The compression-method column of an entry listing. For the ZIP family the text
// follows the method number (and, for Deflate, the speed bits of the general-
// purpose flags); other archive kinds are identified but not listed, so they get
// "Unsupported".
#pragma once
#include <cstdint>
#include <string>

#include "archive/identify/ArcType.h"

namespace kst {

// "DeflateS" when flag bits 1 and 2 are both set, else "DeflateF" for bit 2,
// "DeflateX" for bit 1, else "DeflateN".
std::string GetDeflateMethodStr(uint8_t Flags);

// The method text of an entry of an archive of kind ArcType. ExternalAttr is the
// entry's external attributes: an unknown method on a directory entry reads "Dir".
std::string GetCompressionMethodStr(TArcType ArcType, uint16_t Method, uint8_t Flags, uint32_t ExternalAttr);

}  // namespace kst
