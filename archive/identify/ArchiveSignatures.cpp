// The signature tables of identification: TAT maps the first four bytes of a
// candidate archive to its kind (Mode 1 for a plain file, 0 for bytes found in an
// executable, where most kinds cannot be read), IsSFXZipped looks at the fixed
// offsets self-extractors put their ZIP at, and doByteSearch walks up to six
// 32 KiB blocks of an executable for ACE, LHA, BH, ZIP and RAR headers. A
// signature is only matched when all of its bytes lie inside the block read.
#include "archive/identify/Kstregister.h"

#include <cstring>
#include <vector>

namespace kst {
namespace {

constexpr uint32_t kSearchBlock = 32768;
constexpr int kSearchBlocks = 6;

bool Pair(uint8_t B0, uint8_t B1, uint8_t X0, uint8_t X1) { return B0 == X0 && B1 == X1; }

// Result for a row whose kind depends on where the bytes were found.
TArcType ByMode(uint8_t Mode, TArcType InExe, TArcType InPlainFile) {
  if (Mode == 0) return InExe;
  if (Mode == 1) return InPlainFile;
  return atNA;
}

bool HasBytes(const uint8_t* P, const char* Bytes, size_t Count) { return std::memcmp(P, Bytes, Count) == 0; }

}  // namespace

TArcType TRegisterKestrel::TAT(THandle /*Handle*/, uint8_t Mode, uint32_t Signature) {
  const uint8_t B0 = Signature & 0xFF, B1 = (Signature >> 8) & 0xFF;
  const uint8_t B2 = (Signature >> 16) & 0xFF, B3 = Signature >> 24;
  if (Pair(B0, B1, 'P', 'K')) {
    if (Pair(B2, B3, 0x07, 0x08)) {
      HeadFlag |= kHeadLocalHeader;
      return IsRemovableDrive() ? atZipMV : atZip;
    }
    if (Pair(B2, B3, 0x01, 0x02)) return atNA;  // atZipMV only on a removable drive
    if (Pair(B2, B3, 0x47, 0x34)) return atNA;
    return ByMode(Mode, atZipExe, atZip);
  }
  if (Signature == 0x4643534D) return ByMode(Mode, atUnsupported, atCab);  // "MSCF"
  if (Signature == 0x07054842) return ByMode(Mode, atBhExe, atBh);
  if (Signature == 0x8C655D13) return ByMode(Mode, atUnsupported, atMSGZ);
  if (Pair(B0, B1, 'H', 'A')) return ByMode(Mode, atUnsupported, atHA);
  if ((B0 == 0x1F && (B1 == 0x8B || B1 == 0x9D || B1 == 0x9E || B1 == 0x1E || B1 == 0xA0)) ||
      Pair(B0, B1, 0x25, 0x21)) {
    return ByMode(Mode, atUnsupported, atGZip);
  }
  if (Pair(B0, B1, 0x60, 0xEA)) return ByMode(Mode, atArjExe, atArj);
  if (Pair(B0, B1, 'Z', 'O')) return ByMode(Mode, atUnsupported, atZoo);
  if (Pair(B2, B3, '-', 'l')) return ByMode(Mode, atLhaExe, atLha);
  if (Signature == 0x21726152) return ByMode(Mode, atRarExe, atRar);  // "Rar!"
  if (B0 == 0x1A && (B1 == 0x0A || B1 == 0x0B)) return ByMode(Mode, atPakExe, atPak);
  if (B0 == 0x1A && (B1 == 0x1E || B1 == 0x02)) return ByMode(Mode, atUnsupported, atArc);
  if (B0 == 0x1A && (B1 == 0x08 || B1 == 0x09)) return ByMode(Mode, atArcExe, atArc);
  if (B0 == 0xB7 && (B1 == 0x92 || B1 == 0xDF)) {
    DataOffset = 7717;
    return atArcExe;
  }
  return atUnknown;
}

bool TRegisterKestrel::IsSFXZipped(THandle Handle) {
  FArcType = atNA;
  if (ArchiveSize <= 4) return false;
  uint8_t Bytes[4];
  if (ReadAt(Handle, 7716, Bytes, 2) == 2 && Bytes[0] == 0x1A && Bytes[1] == 0x09) {
    DataOffset = 7717;
    FArcType = atArcExe;
    return true;
  }
  uint32_t Found = 0;
  if (ArchiveSize > 7616 && ReadAt(Handle, 7612, Bytes, 4) == 4 && GetLE32(Bytes) == kLocalSignature) {
    Found = 7612;
  } else if (ArchiveSize > 25665 && ReadAt(Handle, 25661, Bytes, 4) == 4 && GetLE32(Bytes) == kLocalSignature) {
    Found = 25661;
  }
  if (Found == 0) return false;
  DataOffset = Found;
  GetCentralDirOffset(Handle);
  FArcType = atZipExe;
  HeadFlag = kHeadLocalHeader;
  return true;
}

uint32_t TRegisterKestrel::doByteSearch(THandle Handle, TArcType& Kind, uint32_t Start) {
  Kind = atUnknown;
  if (ArchiveSize <= Start) return 0;
  std::vector<uint8_t> Block(kSearchBlock);
  for (int B = 0; B < kSearchBlocks; ++B) {
    const uint64_t Base = uint64_t(Start) + uint64_t(B) * kSearchBlock;
    const uint32_t Got = ReadAt(Handle, Base, Block.data(), kSearchBlock);
    if (Got == 0) break;
    for (uint32_t J = 0; J < Got; ++J) {
      const uint64_t Q = Base + J;
      const uint8_t* P = &Block[J];
      const uint32_t Left = Got - J;
      switch (*P) {
        case '*':
          if (Q + 5 < ArchiveSize && Left >= 5 && HasBytes(P + 1, "*ACE", 4)) {
            Kind = atAceExe;
            return uint32_t(Q - 6);
          }
          break;
        case '-':
          if (Q + 5 < ArchiveSize && Left >= 5 && P[1] == 'l' && P[2] == 'h' && P[4] == '-') {
            Kind = atLhaExe;
            return uint32_t(Q - 1);
          }
          break;
        case 'B':
          if (Left >= 8 && GetLE32(P) == 0x07054842 && GetLE32(P + 4) != 0x84C3940F) {
            Kind = atBhExe;
            return uint32_t(Q + 1);
          }
          break;
        case 'P':
          if (Left >= 8 && GetLE32(P) == kLocalSignature && GetLE32(P + 4) != 0x003D0B74) {
            Kind = atZipExe;
            const uint32_t Directory = GetCentralDirOffset(Handle);
            return Directory != 0 ? Directory : uint32_t(Q);
          }
          break;
        case 'R':
          if (Left >= 4 && HasBytes(P, "Rar!", 4)) {
            Kind = atRarExe;
            return uint32_t(Q + 1);
          }
          break;
        default: break;
      }
    }
  }
  return 0;
}

}  // namespace kst
