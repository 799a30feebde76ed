// Entry selection of an extraction run. Folder entries (empty file-name part)
// are never selected. With RecurseDirs a FileSpec item that names a folder also
// selects entries in that folder's sub-folders: the item's folder is replaced by
// the entry's own folder when the entry's folder begins with it.
#include <algorithm>
#include <string_view>

#include "archive/extract/KstUnBase.h"
#include "archive/names/NoCase.h"
#include "archive/names/Wildcard.h"

namespace kst {
namespace {

size_t AfterFolder(std::string_view Path) {
  const size_t Delimiter = LastPathDelimiter(Path);
  return Delimiter == std::string_view::npos ? 0 : Delimiter + 1;
}

}  // namespace

bool TUnBase::CheckWildCard(const std::string& Name) {
  const size_t NameStart = AfterFolder(Name);
  if (NameStart >= Name.size()) return false;
  // Every name of the archive passes here once per run: nothing is copied
  // unless a folder pattern has to be rewritten.
  const std::string_view EntryFolder = std::string_view(Name).substr(0, NameStart);
  for (const std::string& Item : FileSpec) {
    if (Item == "*.*") return true;
    if (RecurseDirs) {
      const size_t ItemNameStart = AfterFolder(Item);
      const std::string_view ItemFolder = std::string_view(Item).substr(0, ItemNameStart);
      if (!EntryFolder.empty() && !ItemFolder.empty() && StartsWithNoCase(EntryFolder, ItemFolder)) {
        if (WildCard(Name, std::string(EntryFolder) + Item.substr(ItemNameStart))) return true;
        continue;
      }
    }
    if (WildCard(Name, Item)) return true;
  }
  return false;
}

}  // namespace kst
