// Archive path handling of TRegisterKestrel. Identification from the file's bytes
// is not part of this base yet: GetArcType reports atNA for an empty path and
// atUnknown for any named file, so no caller treats an unidentified file as an
// archive.
#include "archive/Kstregister.h"

#include <utility>

#include "archive/NameConversion.h"
#include "platform/FileSystem.h"

namespace kst {

void TRegisterKestrel::SetArchiveFile(std::string Value) {
  CheckLoadingState(Value);
  FArchiveFile = UnixToDosFilename(std::move(Value));
  if (FArchiveFile.empty()) {
    FArcType = atNA;
    return;
  }
  NumFiles = 0;
  GetArcType();
}

void TRegisterKestrel::SetArcType(TArcType /*Value*/) { GetArcType(); }

void TRegisterKestrel::Loaded() { TComponent::Loaded(); }

void TRegisterKestrel::CheckLoadingState(std::string& Name) {
  if (Loading() && !Name.empty() && !platform::Exists(Name)) Name.clear();
}

void TRegisterKestrel::GetArcType() { FArcType = FArchiveFile.empty() ? atNA : atUnknown; }

}  // namespace kst
