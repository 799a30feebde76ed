// Stored names of an extraction run, named by the rule the lister uses too
// (EntryName): the name up to its first zero byte, in the character set its
// writer meant, with "\" separators.
#include "archive/names/EntryName.h"
#include "archive/extract/KstUnBase.h"

namespace kst {

void TUnBase::SetStoredName(const TStoredName& Stored) {
  StoredName = EntryName(Stored, TranslateOemChar, TNameZeros::Cut, ForeignBackslash);
}

}  // namespace kst
