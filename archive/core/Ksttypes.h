// The fixed parts of the ZIP records the library reads: the end of central
// directory record (TEnd), the central directory header (TCentral) and the
// local file header (TLocal). Each is decoded from its little-endian bytes by
// Parse, which reads exactly Size bytes of a buffer the caller has checked.
// Beside them, every number of the format the library tests by name: record
// signatures, general-purpose flag bits, compression methods, and the bits of
// the header state that identification records (HeadFlag).
#pragma once
#include <cstdint>

#include "archive/core/LittleEndian.h"

namespace kst {

inline constexpr uint32_t kLocalSignature = 0x04034B50;       // PK 03 04
inline constexpr uint32_t kCentralSignature = 0x02014B50;     // PK 01 02
inline constexpr uint32_t kEndSignature = 0x06054B50;         // PK 05 06
inline constexpr uint32_t kSpanSignature = 0x08074B50;        // PK 07 08, opens a spanned archive
inline constexpr uint32_t kDescriptorSignature = 0x08074B50;  // PK 07 08, optional in front of a data descriptor

// General-purpose flag bits of a local or central header.
inline constexpr uint16_t kFlagEncrypted = 0x0001;       // traditional encryption
inline constexpr uint16_t kFlagOption1 = 0x0002;         // Implode: 8 KiB window; Deflate: level bit 1
inline constexpr uint16_t kFlagOption2 = 0x0004;         // Implode: literal tree; Deflate: level bit 2
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;  // sizes and CRC follow the data
inline constexpr uint16_t kFlagUtf8 = 0x0800;            // name and comment are UTF-8

// Compression methods the library knows by number.
inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodShrunk = 1;
inline constexpr uint16_t kMethodReduced1 = 2;  // Reduce with factor 1; 3, 4 and 5 follow
inline constexpr uint16_t kMethodReduced4 = 5;
inline constexpr uint16_t kMethodImploded = 6;
inline constexpr uint16_t kMethodTokenized = 7;
inline constexpr uint16_t kMethodDeflated = 8;

// Bits of TRegisterKestrel::HeadFlag. Exactly kHeadLocalHeader means "walk the
// local headers"; all three mean a sound central directory.
inline constexpr uint8_t kHeadEndRecord = 0x01;    // the end record was found
inline constexpr uint8_t kHeadCentralDir = 0x08;   // the central directory is where it names
inline constexpr uint8_t kHeadLocalHeader = 0x10;  // a local header was found
inline constexpr uint8_t kHeadComplete = kHeadEndRecord | kHeadCentralDir | kHeadLocalHeader;

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
    return TEnd{GetLE32(P),      GetLE16(P + 4),  GetLE16(P + 6),  GetLE16(P + 8),
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
    return TLocal{GetLE32(P),      GetLE16(P + 4),  GetLE16(P + 6),  GetLE16(P + 8),  GetLE32(P + 10),
                  GetLE32(P + 14), GetLE32(P + 18), GetLE32(P + 22), GetLE16(P + 26), GetLE16(P + 28)};
  }
};

}  // namespace kst
