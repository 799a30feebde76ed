// TInflateRec: what a decoder is told about the entry it decodes. Filled by the
// extraction run from the central record (or the local header in a recovery walk).
#pragma once
#include <cstdint>

namespace kst {

struct TInflateRec {
  uint16_t BitFlag = 0;       // general-purpose flags (bit 0: encrypted)
  uint32_t Method = 0;        // ZIP method number
  uint32_t PackedSize = 0;    // compressed size; includes the 12-byte encryption header
                              // until the dispatch subtracts it
  uint32_t UnpackedSize = 0;  // uncompressed size
};

}  // namespace kst
