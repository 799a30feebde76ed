// TDecompMemoryStream: the memory stream that receives entries extracted to
// memory. Besides the bytes it keeps one TStreamHeader per extracted entry
// saying where the entry's data begin in the stream, how long they are and what
// the entry was called, so several entries can share one stream and still be
// told apart. A run only appends; the caller creates, empties and frees it.
// A caller that can tell from an entry's first bytes how large it may be (or
// that it is of no use at all) sets an item guard: the entry then takes no
// more bytes than that, so a lying entry costs what its first bytes allow
// rather than what it claims.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "archive/io/MemoryStream.h"

namespace kst {

struct TStreamHeader {
  static constexpr size_t MaxNameLength = 255;
  uint32_t FileDate = 0;    // the entry's DOS date-time
  uint32_t FileSize = 0;    // the entry's uncompressed size from its header
  uint32_t FileOffset = 0;  // stream position where the entry's data begin
  std::string FileName;     // the stored name, at most 255 characters
};

class TDecompMemoryStream : public TMemoryStream {
 public:
  TDecompMemoryStream() = default;
  ~TDecompMemoryStream() override { ClearList(); }

  // Appends a copy of Header (its name cut to 255 characters).
  void ADDITEM(const TStreamHeader& Header);
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }

  // One item's fields; an index outside the list throws std::out_of_range.
  std::string GetFileName(int32_t Index) const { return FItems.at(Index).FileName; }
  uint32_t GetFileSize(int32_t Index) const { return FItems.at(Index).FileSize; }
  uint32_t GetFileDate(int32_t Index) const { return FItems.at(Index).FileDate; }
  uint32_t GetFileOffset(int32_t Index) const { return FItems.at(Index).FileOffset; }

  // Forgets every item; the bytes stay.
  void ClearList() {
    FItems.clear();
    FItemLimit = -1;
    FRefusedItem = -1;
  }
  // Forgets every item and empties the stream.
  void ClearMemory();

  // Once the current item holds HeadBytes bytes (or its first write brings
  // them), Inspect sees them and answers the most bytes the item may take, or
  // a negative number to refuse it there.
  struct TItemGuard {
    size_t HeadBytes = 0;
    std::function<int64_t(std::span<const uint8_t> Head)> Inspect;
  };
  void SetItemGuard(TItemGuard Guard) { FGuard = std::move(Guard); }
  // Writes an entry's bytes for the current item as far as the guard allows
  // (an item reaching its limit keeps the bytes up to it); answers the number
  // taken (fewer than Count once the item is refused, which ends the entry
  // like a full disk).
  int64_t WriteItemData(const void* Buffer, int64_t Count);
  // Lends the current item's room to a decoder that writes in place: makes
  // room for Bytes bytes from the item's start and answers the address of its
  // first byte (valid until the stream grows again), or nullptr when there is
  // no item, it was refused or the position has left its end. The decoder
  // then hands its bytes to WriteItemData where they lie, which keeps the
  // guard and takes them without copying.
  uint8_t* LendItemRoom(int64_t Bytes);
  // The first item the guard refused, or -1.
  int32_t RefusedItem() const { return FRefusedItem; }

 private:
  // Refuses the current item: it takes nothing more.
  int64_t Refuse();

  std::vector<TStreamHeader> FItems;
  TItemGuard FGuard;
  // Bytes the current item may take: -1 until its head was seen.
  int64_t FItemLimit = -1;
  int32_t FRefusedItem = -1;
  bool FItemRefused = false;
};

}  // namespace kst
