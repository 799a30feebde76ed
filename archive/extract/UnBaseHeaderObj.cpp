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
    FInfos.reserve(FInfos.size() + 1);
    FRecords.reserve(FRecords.size() + 1);
    FHasRecord.reserve(FHasRecord.size() + 1);
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
