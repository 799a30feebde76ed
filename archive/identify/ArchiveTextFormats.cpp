// The two identification tests that look at more than a signature: a UUE file
// is text with a "begin 6.." or "begin 7.." line in its first 5000 bytes; a TAR
// file has a 512-byte header (after a volume header when byte 156 is "V") whose
// octal checksum equals the sum of its bytes with the checksum field counted as
// spaces. Both only read bytes that are there.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/core/Bounds.h"
#include "archive/identify/Kstregister.h"

namespace kst {
namespace {

constexpr size_t kUueWindow = 5000;
constexpr uint32_t kTarBlock = 512;
constexpr size_t kTarChecksumAt = 148;
constexpr size_t kTarChecksumWidth = 8;
constexpr size_t kTarTypeAt = 156;

// The octal number of a TAR checksum field (leading spaces skipped, up to the
// first non-octal character).
uint64_t OctalField(const uint8_t* Field, size_t Width) {
  size_t I = 0;
  while (I < Width && Field[I] == ' ') ++I;
  uint64_t Value = 0;
  for (; I < Width && Field[I] >= '0' && Field[I] <= '7'; ++I) Value = Value * 8 + (Field[I] - '0');
  return Value;
}

bool TarChecksumHolds(const uint8_t* Header) {
  uint64_t Sum = 0;
  for (size_t I = 0; I < kTarBlock; ++I) {
    const bool InField = I >= kTarChecksumAt && I < kTarChecksumAt + kTarChecksumWidth;
    Sum += InField ? ' ' : Header[I];
  }
  return Sum == OctalField(Header + kTarChecksumAt, kTarChecksumWidth);
}

}  // namespace

bool TRegisterKestrel::IsUue(const std::vector<uint8_t>& Head) {
  const size_t Count = std::min(Head.size(), kUueWindow);
  for (size_t I = 0; I + 2 < Count; ++I) {
    if (I != 0 && Head[I - 1] != '\n') continue;
    if (!InBounds(I, 7, Count)) break;
    if (std::memcmp(&Head[I], "begin ", 6) == 0 && (Head[I + 6] == '6' || Head[I + 6] == '7')) {
      FArcType = atUue;
      DataOffset = 1;
      return true;
    }
  }
  return false;
}

bool TRegisterKestrel::IsTar(THandle Handle) {
  if (ArchiveSize <= kTarBlock) return false;
  uint8_t Header[kTarBlock];
  if (ReadAt(Handle, 0, Header, kTarBlock) != kTarBlock) return false;
  if (Header[kTarTypeAt] == 'V') {
    DataOffset = kTarBlock + 1;
    if (ArchiveSize <= 2 * kTarBlock + 1) return false;
    if (ReadAt(Handle, kTarBlock, Header, kTarBlock) != kTarBlock) return false;
  }
  if (TarChecksumHolds(Header)) {
    FArcType = atTar;
    return true;
  }
  DataOffset = 1;
  return false;
}

}  // namespace kst
