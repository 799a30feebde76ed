// TkstFileAttr: the selector of DOS file attributes an operation accepts. Nine
// switches (archive, hidden, read-only, system, compressed, volume label,
// directory, temporary, zero-attribute) plus "any file", kept consistent with the
// combined mask ftFileAttr after every change: "any file" means the mask 0x3F;
// otherwise the mask is built from the six DOS switches. Compressed is always on
// and temporary always off.
#pragma once
#include <cstdint>

namespace kst {

class TkstFileAttr {
 public:
  TkstFileAttr();

  bool ftArchive() const { return FArchive; }
  bool ftHidden() const { return FHidden; }
  bool ftReadOnly() const { return FReadOnly; }
  bool ftSysFile() const { return FSysFile; }
  bool ftCompressed() const { return FCompressed; }
  bool ftVolumeID() const { return FVolumeID; }
  bool ftDirectory() const { return FDirectory; }
  bool ftTemporary() const { return FTemporary; }
  bool ftAnyFile() const { return FAnyFile; }
  bool ftZeroAttr() const { return FZeroAttr; }
  uint32_t ftFileAttr() const { return FFileAttr; }

  void SetArchive(bool Value);
  void SetHidden(bool Value);
  void SetReadOnly(bool Value);
  void SetSysFile(bool Value);
  void SetVolumeID(bool Value);
  void SetDirectory(bool Value);
  void SetZeroAttr(bool Value);
  // Compressed stays on and temporary stays off whatever is assigned.
  void SetCompressed(bool Value);
  void SetTemporary(bool Value);
  void SetAnyFile(bool Value);
  // Any file for 0, for all of 0x3F and for 0x80; otherwise the six DOS switches
  // come from Mask.
  void SetAttribute(uint32_t Mask);

  // Copies the nine switches other than "any file", each through its setter.
  void Assign(const TkstFileAttr& Source);

 private:
  // Stores one switch, then settles "any file" and the mask.
  void SetSwitch(bool& Field, bool Value);
  void Recalculate();

  bool FArchive = false;
  bool FHidden = false;
  bool FReadOnly = false;
  bool FSysFile = false;
  bool FCompressed = true;
  bool FVolumeID = false;
  bool FDirectory = false;
  bool FTemporary = false;
  bool FAnyFile = false;
  bool FZeroAttr = false;
  uint32_t FFileAttr = 0;
};

}  // namespace kst
