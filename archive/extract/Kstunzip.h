// TUnZip: the ZIP extractor. It walks the central directory of a ZIP archive
// (or, when the directory is unusable, the chain of local headers), keeps the
// selected entries in a header list, and hands each one to the common entry
// processing of TUnBase. Encrypted entries get their password here.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "archive/identify/StreamedEntryEnd.h"
#include "archive/extract/KstUnBase.h"
#include "archive/extract/NameMemo.h"
#include "archive/extract/UnBaseHeaderObj.h"
#include "archive/io/ReadWindow.h"

namespace kst {

class TUnZip : public TUnBase {
 public:
  // Searches the same 32000 bytes behind the end record as the lister, so both
  // components find the directory of the same archives.
  explicit TUnZip(TComponent* AOwner = nullptr) : TUnBase(AOwner) { SetZipCmntBufSize(32000); }

 protected:
  void ExtractIT(THandle InFile, int32_t Unused) override;
  // Current password, then Passwords, then OnGetPassword (PasswordAttempts
  // times); a password found through the event goes to the front of Passwords.
  bool RequestPassword(THandle InFile) override;

  // Directory walk: selects entries into the list; answers the number selected.
  int32_t BuildHeadArray(THandle InFile, TUnBaseHeaderObj& List);
  // Local-header walk from DataOffset, for a damaged directory.
  int32_t BuildRecoveryHeadArray(THandle InFile, TUnBaseHeaderObj& List);
  // Extracts the listed entries in order (sizes from the central records).
  void ProcessHeaders(THandle InFile, const TUnBaseHeaderObj& List);
  // The same with sizes, flags and method from the local headers.
  void ProcessRecoveryHeaders(THandle InFile, const TUnBaseHeaderObj& List);

 private:
  // Reads up to Count bytes at Offset through ReadProc; answers the bytes got.
  uint32_t FillWindow(THandle InFile, uint64_t Offset, uint8_t* Into, uint32_t Count);
  // Reads Count header bytes at Offset (through the local-header window); true
  // when all came.
  bool ReadHeaderAt(THandle InFile, uint32_t Offset, uint8_t* Buffer, uint32_t Count);
  // Reads a name of Length bytes at Offset (empty when it cannot be read).
  std::string ReadNameAt(THandle InFile, uint32_t Offset, uint32_t Length);
  // Selected-entry bookkeeping shared by both walks.
  void CountSelected(uint16_t Flags, uint32_t DosDateTime, uint32_t PackedSize, uint32_t UnpackedSize);
  // Reads entry Index's local header and name, leaves the input at its data.
  // Also sets FExpectedCrc (the data descriptor's CRC for a flag bit 3 entry).
  bool ReadLocalEntry(THandle InFile, const TUnBaseHeaderObj& List, int32_t Index, std::string& RawName,
                      std::string& RawExtra);
  // The CRC of the data descriptor at At when one is there, else the local header's.
  uint32_t DescriptorCrc(THandle InFile, uint64_t At, bool Zip64);

  // Per entry of the last directory walk's list: its central name when its
  // bytes overlap another entry's or the directory (then it is reported and
  // not extracted), else empty.
  std::vector<std::string> FOverlapping;
  // The entries' name keys of the last whole directory walk (see NameMemo.h).
  TNameMemo FNameMemo;
  // Local headers, names and data descriptors of the current run.
  TReadWindow FLocalWindow{32768};
  // Per entry of the last recovery walk's list: its descriptor when streamed.
  std::vector<std::optional<TStreamedEnd>> FStreamedEnds;
};

}  // namespace kst
