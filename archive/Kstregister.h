// TRegisterKestrel: the base of every archive component that owns the archive
// path and what identification learnt about the file: its kind (ArcType), its
// size, where its data starts (DataOffset) and the ZIP header state (HeadFlag).
// Assigning ArchiveFile or ArcType re-runs identification through the virtual
// GetArcType, which the identification code fills in.
#pragma once
#include <cstdint>
#include <string>

#include "archive/ArcType.h"
#include "archive/Component.h"

namespace kst {

class TRegisterKestrel : public TComponent {
 public:
  explicit TRegisterKestrel(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

  const std::string& ArchiveFile() const { return FArchiveFile; }
  // Stores the path (with "/" turned into "\") and identifies the archive at once.
  virtual void SetArchiveFile(std::string Value);

  TArcType ArcType() const { return FArcType; }
  // Ignores Value and identifies the archive again.
  virtual void SetArcType(TArcType Value);

  void Loaded() override;

  // Size of the archive when it was last opened.
  uint32_t ArchiveSize = 0;
  // Where the archive data starts: 0-based for the ZIP family, 1-based otherwise.
  uint32_t DataOffset = 0;
  // ZIP header state bits 0x01, 0x08, 0x10.
  uint8_t HeadFlag = 0;
  // Entries counted by the last walk; reset when the path changes.
  int32_t NumFiles = 0;

 protected:
  // While loading, a Name that names no existing file becomes "".
  virtual void CheckLoadingState(std::string& Name);
  // Identification: sets ArcType (and the fields that go with it) for ArchiveFile.
  virtual void GetArcType();

  std::string FArchiveFile;
  TArcType FArcType = atNA;
};

}  // namespace kst
