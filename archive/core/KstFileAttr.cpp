// Consistency rules of TkstFileAttr. Switching every attribute on (or every one
// off, zero-attribute included) means "any file"; switching one off otherwise
// leaves "any file". After each change the mask is rebuilt and the switches are
// read back from it, so the two views never disagree.
#include "archive/core/KstFileAttr.h"

namespace kst {
namespace {

constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kHidden = 0x02;
constexpr uint32_t kSysFile = 0x04;
constexpr uint32_t kVolumeID = 0x08;
constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kAnyFileMask = 0x3F;
constexpr uint32_t kAnyFileFlag = 0x80;

}  // namespace

TkstFileAttr::TkstFileAttr() {
  SetZeroAttr(true);
  SetAnyFile(true);
}

void TkstFileAttr::SetSwitch(bool& Field, bool Value) {
  Field = Value;
  const bool AllOn = FArchive && FHidden && FReadOnly && FSysFile && FCompressed && FDirectory && FZeroAttr;
  const bool AllOff = !FArchive && !FHidden && !FReadOnly && !FSysFile && !FDirectory && !FVolumeID && !FZeroAttr;
  if (AllOn || AllOff) {
    FAnyFile = true;
  } else if (!Value) {
    FAnyFile = false;
  }
  Recalculate();
}

void TkstFileAttr::Recalculate() {
  if (FAnyFile) {
    FFileAttr = kAnyFileMask;
  } else {
    FFileAttr = (FArchive ? kArchive : 0) | (FHidden ? kHidden : 0) | (FReadOnly ? kReadOnly : 0) |
                (FSysFile ? kSysFile : 0) | (FDirectory ? kDirectory : 0) | (FVolumeID ? kVolumeID : 0);
  }
  FArchive = (FFileAttr & kArchive) != 0;
  FHidden = (FFileAttr & kHidden) != 0;
  FReadOnly = (FFileAttr & kReadOnly) != 0;
  FSysFile = (FFileAttr & kSysFile) != 0;
  FDirectory = (FFileAttr & kDirectory) != 0;
  FVolumeID = (FFileAttr & kVolumeID) != 0;
  FCompressed = true;
  FTemporary = false;
  if (FAnyFile) FZeroAttr = true;
}

void TkstFileAttr::SetArchive(bool Value) { SetSwitch(FArchive, Value); }
void TkstFileAttr::SetHidden(bool Value) { SetSwitch(FHidden, Value); }
void TkstFileAttr::SetReadOnly(bool Value) { SetSwitch(FReadOnly, Value); }
void TkstFileAttr::SetSysFile(bool Value) { SetSwitch(FSysFile, Value); }
void TkstFileAttr::SetVolumeID(bool Value) { SetSwitch(FVolumeID, Value); }
void TkstFileAttr::SetDirectory(bool Value) { SetSwitch(FDirectory, Value); }
void TkstFileAttr::SetZeroAttr(bool Value) { SetSwitch(FZeroAttr, Value); }
void TkstFileAttr::SetCompressed(bool /*Value*/) { Recalculate(); }
void TkstFileAttr::SetTemporary(bool /*Value*/) { Recalculate(); }

void TkstFileAttr::SetAnyFile(bool Value) {
  FAnyFile = Value;
  Recalculate();
}

void TkstFileAttr::SetAttribute(uint32_t Mask) {
  FAnyFile = Mask == 0 || (Mask & kAnyFileMask) == kAnyFileMask || (Mask & kAnyFileFlag) != 0;
  if (!FAnyFile) {
    FArchive = (Mask & kArchive) != 0;
    FHidden = (Mask & kHidden) != 0;
    FReadOnly = (Mask & kReadOnly) != 0;
    FSysFile = (Mask & kSysFile) != 0;
    FDirectory = (Mask & kDirectory) != 0;
    FVolumeID = (Mask & kVolumeID) != 0;
  }
  Recalculate();
}

void TkstFileAttr::Assign(const TkstFileAttr& Source) {
  SetArchive(Source.FArchive);
  SetHidden(Source.FHidden);
  SetReadOnly(Source.FReadOnly);
  SetSysFile(Source.FSysFile);
  SetCompressed(Source.FCompressed);
  SetVolumeID(Source.FVolumeID);
  SetDirectory(Source.FDirectory);
  SetTemporary(Source.FTemporary);
  SetZeroAttr(Source.FZeroAttr);
}

}  // namespace kst
