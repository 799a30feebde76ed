// TRegisterKestrel: the base of every archive component that owns the archive
// path and what identification learnt about the file: its kind (ArcType), its
// size, where its data starts (DataOffset), the ZIP header state (HeadFlag), the
// last ZIP end record and the archive's date. Assigning ArchiveFile or ArcType
// re-runs identification (GetArcType, in ArchiveIdentify.cpp), which reads the
// file's first bytes, searches executables for an archive inside them and finds
// the ZIP central directory (GetCentralDirOffset, in CentralDirectory.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/identify/ArcType.h"
#include "archive/core/Component.h"
#include "archive/io/Kstfileio.h"
#include "archive/core/Ksttypes.h"

namespace kst {

class TRegisterKestrel : public TComponent, public TFileErrorSink {
 public:
  // Smallest and largest archive-comment buffer.
  static constexpr int32_t MinZipCmntBufSize = 2000;
  static constexpr int32_t MaxZipCmntBufSize = 32767;

  explicit TRegisterKestrel(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  const std::string& ArchiveFile() const { return FArchiveFile; }
  // Stores the path (with "/" turned into "\") and identifies the archive at once.
  virtual void SetArchiveFile(std::string Value);

  TArcType ArcType() const { return FArcType; }
  // Ignores Value and identifies the archive again.
  virtual void SetArcType(TArcType Value);

  void Loaded() override;

  // Identification: sets ArcType, DataOffset, HeadFlag and ArchiveDate for
  // ArchiveFile.
  virtual void GetArcType();

  // A failed open of one of the component's files. The registering base has no
  // one to tell; TZipCommon passes it to OnError.
  void ReportFileError(const std::string& /*FileName*/, int32_t /*ECode*/) override {}

  // Opens Name for reading (a failure is reported as 25235 through
  // ReportFileError); sets ArchiveSize to the file's size, or 0 on failure.
  bool OpenArchive(THandle& Handle, const std::string& Name);
  bool CloseArchive(THandle Handle);

  // The archive kind that the four bytes Signature (b0 in the low byte) stand
  // for: Mode 1 when they start a plain file, 0 when found inside an executable.
  TArcType TAT(THandle Handle, uint8_t Mode, uint32_t Signature);
  // Looks for a ZIP at the two offsets self-extractors use (and an ARC one at
  // 7717); on success ArcType, DataOffset and HeadFlag describe it.
  bool IsSFXZipped(THandle Handle);
  // Searches up to 196608 bytes from Start for an archive signature inside an
  // executable; the position found (0 when none) and its kind in ArcType.
  uint32_t doByteSearch(THandle Handle, TArcType& ArcType, uint32_t Start);
  // Finds the ZIP end record in the file's last ZipCmntBufSize + 23 bytes and the
  // central directory it names; returns the directory's offset (or the first
  // local header's when the directory is not where the end record says), 0 when
  // nothing was found. Sets HeadFlag, EndRecord and CommentPos.
  uint32_t GetCentralDirOffset(THandle Handle);
  // Volume number (and letter) of ACE, ARJ and RAR multi-volume sets from the
  // archive's extension. Throws std::invalid_argument for an extension in which
  // a digit is followed by anything but digits.
  void InitializeVolumeSet();
  // Refreshes what is known of the archive's drive. No removable drives are
  // supported, so there is nothing to refresh.
  void GetArchiveDriveInfo() {}
  // Removable-drive support (spanned archives) is not built: always false.
  bool IsRemovableDrive() const { return false; }

  int32_t ZipCmntBufSize() const { return FZipCmntBufSize; }
  // Stores Value clamped to 2000..32767.
  void SetZipCmntBufSize(int32_t Value);

  // Size of the archive when it was last opened.
  uint32_t ArchiveSize = 0;
  // Where the archive data starts: 0-based for the ZIP family, 1-based otherwise.
  uint32_t DataOffset = 0;
  // ZIP header state: 0x01 end record found, 0x08 central directory found where
  // it names, 0x10 a local header found; exactly 0x10 means "walk the local headers".
  uint8_t HeadFlag = 0;
  // Entries counted by the last walk; reset when the path changes.
  int32_t NumFiles = 0;
  // The last ZIP end record found, and the file offset just past it (the archive comment).
  TEnd EndRecord;
  uint32_t CommentPos = 0;
  // DOS date-time of the archive file; 29221 when the type is not valid.
  uint32_t ArchiveDate = 0;
  // Multi-volume sets: the volume number and the letter of the volume extension.
  int32_t VolumeNumber = 0;
  char VolumeLetter = 0;

 protected:
  // While loading, a Name that names no existing file becomes "".
  virtual void CheckLoadingState(std::string& Name);

  std::string FArchiveFile;
  TArcType FArcType = atNA;
  int32_t FZipCmntBufSize = 0;
  // 1-based position where the next walk starts.
  uint64_t FStartPosition = 1;

 private:
  // Steps of GetArcType (ArchiveIdentify.cpp).
  void IdentifyExecutable(THandle Handle, const std::vector<uint8_t>& Head);
  void IdentifyPlainFile(THandle Handle, const std::vector<uint8_t>& Head);
  bool TryStringResources(THandle Handle);
  bool TryDosImageEnd(THandle Handle, const std::vector<uint8_t>& Head, bool& Failed);
  bool IsUue(const std::vector<uint8_t>& Head);
  bool IsTar(THandle Handle);
};

// Reads up to Count bytes at Position; the number read (0 on any failure).
uint32_t ReadAt(THandle Handle, uint64_t Position, void* Buffer, uint32_t Count);

}  // namespace kst
