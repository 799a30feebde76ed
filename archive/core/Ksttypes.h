// The fixed parts of the ZIP records the library reads: the end of central
// directory record (TEnd), the central directory header (TCentral) and the
// local file header (TLocal). Each is decoded from its little-endian bytes by
// Parse, which reads exactly Size bytes of a buffer the caller has checked.
#pragma once
#include <cstdint>

namespace kst {

inline constexpr uint32_t kLocalSignature = 0x04034B50;    // PK 03 04
inline constexpr uint32_t kCentralSignature = 0x02014B50;  // PK 01 02
inline constexpr uint32_t kEndSignature = 0x06054B50;      // PK 05 06
inline constexpr uint32_t kSpanSignature = 0x08074B50;     // PK 07 08, opens a spanned archive

inline uint16_t GetLE16(const uint8_t* P) { return uint16_t(P[0] | P[1] << 8); }
inline uint32_t GetLE32(const uint8_t* P) { return uint32_t(GetLE16(P)) | uint32_t(GetLE16(P + 2)) << 16; }

struct TEnd {
  static constexpr uint32_t Size = 22;
  uint32_t Signature = 0;
  uint16_t ThisDisk = 0;
  uint16_t DirectoryDisk = 0;
  uint16_t EntriesOnDisk = 0;
  uint16_t TotalEntries = 0;
  uint32_t DirectorySize = 0;
  uint32_t DirectoryOffset = 0;
  uint16_t CommentLength = 0;

  static TEnd Parse(const uint8_t* P) {
    return TEnd{GetLE32(P), GetLE16(P + 4), GetLE16(P + 6), GetLE16(P + 8),
                GetLE16(P + 10), GetLE32(P + 12), GetLE32(P + 16), GetLE16(P + 20)};
  }
};

struct TCentral {
  static constexpr uint32_t Size = 46;
  uint32_t Signature = 0;
  uint16_t VersionMadeBy = 0;
  uint16_t VersionNeeded = 0;
  uint16_t Flags = 0;
  uint16_t Method = 0;
  uint32_t DosDateTime = 0;  // time in the low word, date in the high word
  uint32_t Crc = 0;
  uint32_t PackedSize = 0;
  uint32_t UnpackedSize = 0;
  uint16_t NameLength = 0;
  uint16_t ExtraLength = 0;
  uint16_t CommentLength = 0;
  uint16_t DiskStart = 0;
  uint16_t InternalAttr = 0;
  uint32_t ExternalAttr = 0;
  uint32_t LocalOffset = 0;

  static TCentral Parse(const uint8_t* P) {
    return TCentral{GetLE32(P),      GetLE16(P + 4),  GetLE16(P + 6),  GetLE16(P + 8),
                    GetLE16(P + 10), GetLE32(P + 12), GetLE32(P + 16), GetLE32(P + 20),
                    GetLE32(P + 24), GetLE16(P + 28), GetLE16(P + 30), GetLE16(P + 32),
                    GetLE16(P + 34), GetLE16(P + 36), GetLE32(P + 38), GetLE32(P + 42)};
  }
};

struct TLocal {
  static constexpr uint32_t Size = 30;
  uint32_t Signature = 0;
  uint16_t VersionNeeded = 0;
  uint16_t Flags = 0;
  uint16_t Method = 0;
  uint32_t DosDateTime = 0;
  uint32_t Crc = 0;
  uint32_t PackedSize = 0;
  uint32_t UnpackedSize = 0;
  uint16_t NameLength = 0;
  uint16_t ExtraLength = 0;

  static TLocal Parse(const uint8_t* P) {
    return TLocal{GetLE32(P),      GetLE16(P + 4),  GetLE16(P + 6),  GetLE16(P + 8),
                  GetLE32(P + 10), GetLE32(P + 14), GetLE32(P + 18), GetLE32(P + 22),
                  GetLE16(P + 26), GetLE16(P + 28)};
  }
};

}  // namespace kst
