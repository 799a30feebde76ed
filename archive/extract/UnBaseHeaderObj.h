// The header list of an extraction run: for every entry the walk selected, where
// its local header lies (TUnBaseFileInfo) and a copy of its 46-byte central
// record, so the entry loop can revisit the entries in directory order without
// reading the central directory again. The list lives for one run only.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kst {

struct TUnBaseFileInfo {
  uint32_t ExtAttr = 0;      // external attributes (0 in the recovery walk)
  uint16_t DiskNumber = 0;   // disk of the local header plus 1 (1 in the recovery walk)
  uint32_t Offset = 0;       // file offset of the local header
  std::string CentralExtra;  // the central record's extra field (for the entry's name)
};

class TUnBaseHeaderObj {
 public:
  static constexpr uint32_t CentralRecordSize = 46;
  using TCentralRecord = std::array<uint8_t, CentralRecordSize>;

  // Creates the two (empty) lists.
  void INIT();
  // Appends Info and, when Record is given with a non-zero Length, a copy of the
  // first 46 bytes of it (a zeroed record otherwise). False when memory runs out.
  bool ADDITEM(const TUnBaseFileInfo& Info, const uint8_t* Record, uint32_t Length);
  // Frees every item.
  void CLEAR_LIST();
  // Clears and releases the lists.
  void DONE();

  int32_t Count() const { return static_cast<int32_t>(FInfos.size()); }
  const TUnBaseFileInfo& FileLocationData(int32_t Index) const { return FInfos.at(Index); }
  // The central record stored with item Index (zeros for a recovery item).
  const TCentralRecord& CentralRecord(int32_t Index) const { return FRecords.at(Index); }
  bool HasCentralRecord(int32_t Index) const { return FHasRecord.at(Index); }

 private:
  std::vector<TUnBaseFileInfo> FInfos;
  std::vector<TCentralRecord> FRecords;
  std::vector<bool> FHasRecord;
};

}  // namespace kst
