// TKestrel: the listing component. Given ArchiveFile (identified on assignment)
// and the name patterns in FileSpec, Activate walks the ZIP directory (central
// headers, or local headers when the central directory cannot be used) without
// decompressing anything, fills the current-entry record for every entry that
// passes the filter and reports it through OnRead and its companions, then sums
// up through OnTotals. FilesInArchive collects the matching names, GetFileInfo
// and the GetFile... accessors answer for one named entry. Other archive kinds
// are identified but not walked (error 25242). Every read of the walk is
// bounds-checked against the file's size: a truncated or lying archive ends the
// walk, it never makes it read outside the file or go round in circles.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/identify/Kstbase.h"
#include "archive/core/Ksttypes.h"

namespace kst {

enum TkstOperation { opRead, opFileOnly, opQueryFile };

class TKestrel : public TZipCommon {
 public:
  using TNotifyEvent = std::function<void(TKestrel* Sender)>;
  using TOnRead = std::function<void(TKestrel* Sender, int32_t Offset, int32_t Filenum)>;
  using TOnReadFile = std::function<void(TKestrel* Sender, std::string Filename)>;
  using TOnTotals =
      std::function<void(TKestrel* Sender, int32_t UnpackSize, int32_t PackSize, int32_t Ratio, int32_t NumFiles)>;
  using TOnCorruptZipHeader = std::function<void(TKestrel* Sender, uint8_t HeadFlag, bool& Cancel)>;

  explicit TKestrel(TComponent* AOwner = nullptr);

  // One walk over ArchiveFile with the current FileSpec, firing the events.
  // False when the walk could not start or an exception ended it.
  bool Activate();
  // Appends the names of the matching entries to List in directory order; empties
  // List when the walk does not run. A null List does nothing.
  void FilesInArchive(TStringList* List);
  // A walk with FileSpec holding only Name; afterwards the current-entry record
  // holds the last matching entry. The walk's success, not whether Name was found.
  bool GetFileInfo(const std::string& Name);
  int32_t GetFileCrc(const std::string& Name);
  int32_t GetFilePackedSize(const std::string& Name);
  int32_t GetFileUnpackedSize(const std::string& Name);
  TDateTime GetFileDate(const std::string& Name);
  // Copies the ZIP archive comment (at most ZipCmntBufSize bytes, no terminating
  // zero) into Buffer and returns its length; 0 when there is none.
  int32_t GetArchiveComment(char* Buffer);
  // Activate with the caller's OnReadBegin, OnRead, OnReadEnd, OnActivate,
  // OnDeactivate and OnTotals set aside (restored also after an exception).
  bool DoQueryInfo();

  // Percent saved: 0 when either is 0 or nothing was saved, at least 1 otherwise.
  static uint8_t CalcRatio(uint32_t Packed, uint32_t Unpacked);

  // Properties.
  TkstOperation Operation = opRead;
  bool ShowEmptyDirs = false;
  TStringList* TargetList = nullptr;

  // Current-entry record (FileName is TZipCommon's).
  TDateTime FileDate = 0;
  uint32_t PackedSize = 0;
  uint32_t UnpackedSize = 0;
  uint32_t FileCrc = 0;
  bool Encrypted = false;
  uint16_t CompressionMethod = 0;
  std::string CompressionMethodName;
  uint16_t VersionMadeBy = 0;
  uint16_t VersionNeeded = 0;
  uint16_t InternalAttr = 0;
  uint16_t ExternalAttr = 0;
  uint8_t Ratio = 0;
  std::string FileComment;
  std::string VolumeName;

  // Totals of the current walk (NumFiles is the base's).
  uint32_t PackSize = 0;
  uint32_t UnpackSize = 0;

  // Events; an empty one is skipped (OnRead is required by Activate).
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TOnRead OnRead;
  TOnReadFile OnReadFile;
  TNotifyEvent OnReadBegin;
  TNotifyEvent OnReadEnd;
  TOnTotals OnTotals;
  TOnCorruptZipHeader OnCorruptZipHeader;

 private:
  // Walk (KstkestrelWalk.cpp).
  bool CanWalk();
  void Walk();
  void Finish();
  void Setup();
  // Records (KstkestrelRecords.cpp).
  void DoProcRecord();
  void ProcessLocal(uint64_t RecordStart);
  void ProcessCentral();
  void DoRead(int32_t Offset);
  void DoEvents(int32_t Offset, int32_t Filenum);
  void IncTotals(uint32_t Packed, uint32_t Unpacked);
  // Reads the name at the current offset (and advances past it) and names it
  // by the library's entry-name rule with the extra field that follows it,
  // which is left in Extra.
  std::string ReadEntryName(uint16_t Length, uint16_t Flags, int VersionMadeBy, uint16_t ExtraLength,
                            std::string& Extra);
  void GetComment(std::string& Text, uint32_t Length);
  void ClearEntry();

  THandle FHandle = kstInvalidHandle;
  uint64_t FCurrentOffset = 0;
  uint64_t FEndLimit = 0;
  uint32_t FHeaderSize = 0;
  // Records read by the current walk: only a wrong first record is a bad header.
  uint32_t FRecordsRead = 0;
  std::vector<uint8_t> FHeader;
  TCentral FCentral;
  TLocal FLocal;
};

}  // namespace kst
