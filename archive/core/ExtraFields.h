// The fields of a ZIP header's extra data: a run of records, each a 2-byte id,
// a 2-byte length and that many bytes of data. Readers want the fields of one
// kind (a Unicode name, Zip64 sizes); this walk hands them over in order and
// stops at a field whose stated length runs past the end, so no reader ever
// looks beyond the extra data it was given.
#pragma once
#include <cstdint>
#include <string_view>

#include "archive/core/Bounds.h"
#include "archive/core/LittleEndian.h"

namespace kst {

inline constexpr uint16_t kZip64ExtraId = 0x0001;
inline constexpr uint16_t kUnicodePathExtraId = 0x7075;

// Calls Accept(Data) with the data of each field of kind Id until it answers
// true; answers whether one did.
template <typename TAccept>
bool FindExtraField(std::string_view Extra, uint16_t Id, TAccept&& Accept) {
  const auto* P = reinterpret_cast<const uint8_t*>(Extra.data());
  size_t At = 0;
  while (InBounds(At, 4, Extra.size())) {
    const uint16_t FieldId = GetLE16(P + At);
    const size_t Size = GetLE16(P + At + 2);
    const size_t Data = At + 4;
    if (!InBounds(Data, Size, Extra.size())) return false;
    if (FieldId == Id && Accept(Extra.substr(Data, Size))) return true;
    At = Data + Size;
  }
  return false;
}

}  // namespace kst
