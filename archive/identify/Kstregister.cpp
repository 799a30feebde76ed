// Archive path handling of TRegisterKestrel: storing the path, re-identifying on
// assignment, opening and closing the archive, the comment-buffer size and the
// volume number of multi-volume sets. Identification itself is in
// ArchiveIdentify.cpp, the ZIP end-record search in CentralDirectory.cpp.
#include "archive/identify/Kstregister.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "archive/identify/ArcTypeInfo.h"
#include "archive/names/NameConversion.h"
#include "platform/FileSystem.h"

namespace kst {
namespace {

// The extension of Path without its dot ("" when there is none).
std::string ExtensionWithoutDot(const std::string& Path) {
  const size_t Dot = Path.find_last_of(".\\:");
  if (Dot == std::string::npos || Path[Dot] != '.') return {};
  return Path.substr(Dot + 1);
}

// The number written by Digits; throws for anything but a short run of digits.
int32_t ToVolumeNumber(const std::string& Digits) {
  if (Digits.empty() || Digits.size() > 9 ||
      !std::all_of(Digits.begin(), Digits.end(), [](char C) { return C >= '0' && C <= '9'; })) {
    throw std::invalid_argument("'" + Digits + "' is not a valid integer value");
  }
  return std::stoi(Digits);
}

}  // namespace

uint32_t ReadAt(THandle Handle, uint64_t Position, void* Buffer, uint32_t Count) {
  if (Count == 0 || !kstSetFilePointer(Handle, static_cast<int64_t>(Position))) return 0;
  const int64_t Got = kstRead(Handle, Buffer, Count);
  return Got > 0 ? static_cast<uint32_t>(Got) : 0;
}

void TRegisterKestrel::SetArchiveFile(std::string Value) {
  CheckLoadingState(Value);
  FArchiveFile = UnixToDosFilename(std::move(Value));
  if (FArchiveFile.empty()) {
    FArcType = atNA;
    return;
  }
  NumFiles = 0;
  FStartPosition = 1;
  GetArcType();
  if (IsArcValid(FArcType)) InitializeVolumeSet();
}

void TRegisterKestrel::SetArcType(TArcType /*Value*/) { GetArcType(); }

void TRegisterKestrel::Loaded() { TComponent::Loaded(); }

void TRegisterKestrel::CheckLoadingState(std::string& Name) {
  if (Loading() && !Name.empty() && !platform::Exists(Name)) Name.clear();
}

bool TRegisterKestrel::OpenArchive(THandle& Handle, const std::string& Name) {
  Handle = kstOpenFileRead(this, Name);
  if (Handle == kstInvalidHandle) {
    ArchiveSize = 0;
    return false;
  }
  ArchiveSize = kstGetFileSize(Handle);
  return true;
}

bool TRegisterKestrel::CloseArchive(THandle Handle) {
  if (Handle == kstInvalidHandle) return false;
  kstCloseFile(Handle);
  return true;
}

void TRegisterKestrel::SetZipCmntBufSize(int32_t Value) {
  FZipCmntBufSize = std::clamp(Value, MinZipCmntBufSize, MaxZipCmntBufSize);
}

void TRegisterKestrel::InitializeVolumeSet() {
  VolumeNumber = 0;
  std::string Default;
  char Letter = 0;
  switch (FArcType) {
    case atAce:
      Default = "Ace";
      Letter = 'C';
      break;
    case atArj:
      Default = "Arj";
      Letter = 'a';
      break;
    case atRar:
    case atRarExe:
      Default = "Rar";
      Letter = 'q';
      break;
    default: return;
  }
  VolumeLetter = Letter;
  std::string Ext = ExtensionWithoutDot(FArchiveFile);
  if (Ext.empty()) Ext = Default;
  int32_t Number = -1;
  for (size_t I = Ext.size(); I-- > 0;) {
    if (Ext[I] < '0' || Ext[I] > '9') continue;
    Number = ToVolumeNumber(Ext.substr(I));
    if (I + 1 == Ext.size()) VolumeLetter = Ext[0];
  }
  if (Number == -1) {
    VolumeNumber = FArcType == atArj ? 1 : 0;
  } else {
    VolumeNumber = Number + 1;
  }
}

}  // namespace kst
