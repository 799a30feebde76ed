// Stored names of an extraction run: the raw name up to its first zero byte,
// converted to the system's form. Names flagged as UTF-8 (general-purpose bit
// 11) skip the OEM conversion; all names get "\" separators.
#include "archive/KstUnBase.h"
#include "archive/NameConversion.h"

namespace kst {

void TUnBase::SetStoredName(const std::string& Raw, uint16_t Flags) {
  const std::string Name = Raw.substr(0, Raw.find('\0'));
  StoredName = (Flags & 0x0800) ? UnixToDosFilename(Name) : doOemToChar(Name, TranslateOemChar);
}

}  // namespace kst
