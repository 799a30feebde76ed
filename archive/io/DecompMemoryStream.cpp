// The item list of TDecompMemoryStream and its guard on an item's size.
#include "archive/io/DecompMemoryStream.h"

#include <algorithm>
#include <cstring>

namespace kst {

void TDecompMemoryStream::ADDITEM(const TStreamHeader& Header) {
  TStreamHeader Item = Header;
  if (Item.FileName.size() > TStreamHeader::MaxNameLength) Item.FileName.resize(TStreamHeader::MaxNameLength);
  FItems.push_back(std::move(Item));
  FItemLimit = -1;
  FItemRefused = false;
}

int64_t TDecompMemoryStream::Refuse() {
  FItemRefused = true;
  if (FRefusedItem < 0) FRefusedItem = Count() - 1;
  return 0;
}

int64_t TDecompMemoryStream::WriteItemData(const void* Buffer, int64_t Count) {
  if (!FGuard.Inspect || FItems.empty()) return Write(Buffer, Count);
  if (FItemRefused) return 0;
  const int64_t Start = FItems.back().FileOffset;
  const int64_t Have = Position() - Start;
  const auto HeadBytes = static_cast<int64_t>(FGuard.HeadBytes);
  if (FItemLimit < 0 && Have + Count >= HeadBytes) {
    // The head: what the item holds so far followed by the start of this write.
    std::vector<uint8_t> Head(static_cast<size_t>(HeadBytes));
    const int64_t Old = std::clamp<int64_t>(Have, 0, HeadBytes);
    if (Old > 0) std::memcpy(Head.data(), Memory() + Start, static_cast<size_t>(Old));
    if (HeadBytes > Old) std::memcpy(Head.data() + Old, Buffer, static_cast<size_t>(HeadBytes - Old));
    FItemLimit = FGuard.Inspect(Head);
    if (FItemLimit < 0) return Refuse();
  }
  if (FItemLimit >= 0 && Have + Count > FItemLimit) {
    // The item keeps what fits below its limit and takes nothing more.
    const int64_t Room = std::max<int64_t>(FItemLimit - Have, 0);
    const int64_t Taken = Room > 0 ? Write(Buffer, Room) : 0;
    Refuse();
    return Taken;
  }
  return Write(Buffer, Count);
}

uint8_t* TDecompMemoryStream::LendItemRoom(int64_t Bytes) {
  if (FItems.empty() || FItemRefused) return nullptr;
  const int64_t Start = FItems.back().FileOffset;
  if (Position() < Start) return nullptr;
  ReserveCapacity(Start + Bytes);
  return Memory() + Start;
}

void TDecompMemoryStream::ClearMemory() {
  ClearList();
  Clear();
}

}  // namespace kst
