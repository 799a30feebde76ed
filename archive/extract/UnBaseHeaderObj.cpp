// The header list's operations. Memory exhaustion while appending is answered
// with false (the walk then stops selecting) instead of leaving the run with a
// half-added item.
#include "archive/extract/UnBaseHeaderObj.h"

#include <algorithm>
#include <new>

namespace kst {

void TUnBaseHeaderObj::INIT() { CLEAR_LIST(); }

bool TUnBaseHeaderObj::ADDITEM(const TUnBaseFileInfo& Info, const uint8_t* Record, uint32_t Length) {
  TCentralRecord Copy{};
  const bool HasRecord = Record != nullptr && Length != 0;
  if (HasRecord) std::copy_n(Record, std::min(Length, CentralRecordSize), Copy.begin());
  try {
    // Room for one more in each list before any of them changes; the room
    // grows by doubling, so a list of n entries costs n moves, not n * n / 2,
    // and starts at one, so a one-entry run (each picture of an install) holds
    // no spare room while its entry is decoded.
    const size_t Wanted = FInfos.size() + 1;
    const auto MakeRoom = [Wanted](auto& List) {
      if (List.capacity() < Wanted) List.reserve(std::max<size_t>(2 * List.capacity(), 1));
    };
    MakeRoom(FInfos);
    MakeRoom(FRecords);
    MakeRoom(FHasRecord);
  } catch (const std::bad_alloc&) {
    return false;
  }
  FInfos.push_back(Info);
  FRecords.push_back(Copy);
  FHasRecord.push_back(HasRecord);
  return true;
}

void TUnBaseHeaderObj::CLEAR_LIST() {
  FInfos.clear();
  FRecords.clear();
  FHasRecord.clear();
}

void TUnBaseHeaderObj::DONE() {
  CLEAR_LIST();
  FInfos.shrink_to_fit();
  FRecords.shrink_to_fit();
  FHasRecord.shrink_to_fit();
}

}  // namespace kst
