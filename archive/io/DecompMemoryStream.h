// TDecompMemoryStream: the memory stream that receives entries extracted to
// memory. Besides the bytes it keeps one TStreamHeader per extracted entry
// saying where the entry's data begin in the stream, how long they are and what
// the entry was called, so several entries can share one stream and still be
// told apart. A run only appends; the caller creates, empties and frees it.
#pragma once
#include <cstdint>
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
  void ClearList() { FItems.clear(); }
  // Forgets every item and empties the stream.
  void ClearMemory();

 private:
  std::vector<TStreamHeader> FItems;
};

}  // namespace kst
