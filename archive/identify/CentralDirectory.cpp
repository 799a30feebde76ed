// Locating a ZIP archive's central directory (TRegisterKestrel::GetCentralDirOffset).
// The end record is searched backwards through a window at the end of the file
// that is as large as the comment buffer plus the record, so the record nearest
// to the end wins and a comment longer than the buffer hides it. When the record
// names no central header (a ZIP appended to other data without adjusted
// offsets), the first 128 KiB are scanned for a local header instead, and the
// header state says "walk the local headers". Every read is checked: a short or
// failed read simply finds nothing.
#include "archive/identify/Kstregister.h"

#include <algorithm>
#include <vector>

#include "archive/core/Bounds.h"

namespace kst {
namespace {

constexpr uint32_t kFallbackBlock = 32768;
constexpr int kFallbackBlocks = 4;

// Bytes of the end-record window for a comment buffer of CommentBuffer bytes.
int64_t EndRecordWindow(int64_t ArchiveSize, int64_t CommentBuffer) {
  if (ArchiveSize >= CommentBuffer + 23) return CommentBuffer + 23;
  if (CommentBuffer == 0) return 23;
  return std::min<int64_t>(ArchiveSize - 1, 32768);
}

// Offset of the first local header signature in the first four blocks, or -1.
int64_t ScanForLocalHeader(THandle Handle) {
  std::vector<uint8_t> Block(kFallbackBlock);
  for (int B = 0; B < kFallbackBlocks; ++B) {
    const uint64_t Base = uint64_t(B) * kFallbackBlock;
    const uint32_t Got = ReadAt(Handle, Base, Block.data(), kFallbackBlock);
    for (uint32_t J = 0; InBounds(J, 4, Got); ++J) {
      if (GetLE32(&Block[J]) == kLocalSignature) return int64_t(Base + J);
    }
    if (Got < kFallbackBlock) break;
  }
  return -1;
}

}  // namespace

uint32_t TRegisterKestrel::GetCentralDirOffset(THandle Handle) {
  const int64_t Window = EndRecordWindow(ArchiveSize, FZipCmntBufSize);
  HeadFlag = 0;
  if (int64_t(ArchiveSize) <= Window) return 0;

  std::vector<uint8_t> Tail(size_t(Window) + 1);
  const uint64_t TailStart = ArchiveSize - uint64_t(Window);
  const uint32_t N = ReadAt(Handle, TailStart, Tail.data(), uint32_t(Window));
  if (N <= TEnd::Size) return 0;
  uint32_t Hit = 0;
  for (uint32_t P = N - TEnd::Size; P >= 1; --P) {
    if (GetLE32(&Tail[P]) == kEndSignature) {
      Hit = P;
      break;
    }
  }
  if (Hit == 0) return 0;

  EndRecord = TEnd::Parse(&Tail[Hit]);
  CommentPos = uint32_t(TailStart + Hit + TEnd::Size);
  HeadFlag |= kHeadEndRecord;

  uint8_t Header[TCentral::Size];
  const uint32_t Directory = EndRecord.DirectoryOffset;
  if (ReadAt(Handle, Directory, Header, TCentral::Size) == TCentral::Size && GetLE32(Header) == kCentralSignature) {
    HeadFlag |= kHeadCentralDir;
    const TCentral First = TCentral::Parse(Header);
    uint8_t Local[TLocal::Size];
    if (ReadAt(Handle, First.LocalOffset, Local, TLocal::Size) == TLocal::Size && GetLE32(Local) == kLocalSignature) {
      HeadFlag |= kHeadLocalHeader;
    }
    return Directory;
  }

  const int64_t Found = ScanForLocalHeader(Handle);
  if (Found < 0) return 0;
  HeadFlag = kHeadLocalHeader;
  return uint32_t(Found);
}

}  // namespace kst
