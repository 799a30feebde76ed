// Entry selection of an extraction run. Folder entries (empty file-name part)
// are never selected. With RecurseDirs a FileSpec item that names a folder also
// selects entries in that folder's sub-folders: the item's folder is replaced by
// the entry's own folder when the entry's folder begins with it.
#include <algorithm>

#include "archive/extract/KstUnBase.h"
#include "archive/names/NoCase.h"
#include "archive/names/Wildcard.h"

namespace kst {
namespace {

size_t AfterFolder(const std::string& Path) {
  const size_t Delimiter = Path.find_last_of("\\:");
  return Delimiter == std::string::npos ? 0 : Delimiter + 1;
}

}  // namespace

bool TUnBase::CheckWildCard(const std::string& Name) {
  const size_t NameStart = AfterFolder(Name);
  if (NameStart >= Name.size()) return false;
  const std::string EntryFolder = Name.substr(0, NameStart);
  for (const std::string& Item : FileSpec) {
    if (Item == "*.*") return true;
    std::string Pattern = Item;
    if (RecurseDirs) {
      const size_t ItemNameStart = AfterFolder(Item);
      const std::string ItemFolder = Item.substr(0, ItemNameStart);
      if (!EntryFolder.empty() && !ItemFolder.empty() && StartsWithNoCase(EntryFolder, ItemFolder))
        Pattern = EntryFolder + Item.substr(ItemNameStart);
    }
    if (WildCard(Name, Pattern)) return true;
  }
  return false;
}

}  // namespace kst
