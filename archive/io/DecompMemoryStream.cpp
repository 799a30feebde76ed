// The item list of TDecompMemoryStream.
#include "archive/io/DecompMemoryStream.h"

namespace kst {

void TDecompMemoryStream::ADDITEM(const TStreamHeader& Header) {
  TStreamHeader Item = Header;
  if (Item.FileName.size() > TStreamHeader::MaxNameLength) Item.FileName.resize(TStreamHeader::MaxNameLength);
  FItems.push_back(std::move(Item));
}

void TDecompMemoryStream::ClearMemory() {
  ClearList();
  Clear();
}

}  // namespace kst
