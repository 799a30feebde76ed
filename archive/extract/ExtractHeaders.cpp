// Stored names of an extraction run: the raw name up to its first zero byte,
// converted to the system's form, as the lister names them. Names flagged as
// UTF-8 (general-purpose bit 11) skip the OEM conversion and are put in the
// ANSI character set instead (no change on Linux, where that is UTF-8); all
// names get "\" separators.
#include "archive/extract/KstUnBase.h"
#include "archive/names/NameConversion.h"
#include "platform/Utf8Names.h"

namespace kst {

void TUnBase::SetStoredName(const std::string& Raw, uint16_t Flags) {
  const std::string Name = Raw.substr(0, Raw.find('\0'));
  if (Flags & 0x0800)
    StoredName = UnixToDosFilename(TranslateOemChar ? platform::Utf8ToAnsi(Name) : Name);
  else
    StoredName = doOemToChar(Name, TranslateOemChar);
}

}  // namespace kst
