// Case-blind lookups with the listings of a PathLookupScope (see FolderListings.h).
#include "platform/posix/FolderListings.h"

#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/NoCase.h"

namespace platform {

namespace {

using FolderKey = std::pair<dev_t, ino_t>;
// Folded name to its spellings in listing order (a Linux folder may hold names
// that differ only in case); a lookup answers the first, as a listing would.
using Listing = std::unordered_map<std::string, std::vector<std::string>>;

struct Listings {
  std::mutex Lock;
  int Scopes = 0;
  std::map<FolderKey, Listing> Folders;
  // The key of each folder path asked about, so a run writing many files into
  // one folder asks the system about that folder once. Dropped whenever the
  // program removes or renames a folder, which could make a path mean another one.
  std::unordered_map<std::string, FolderKey> Keys;
};

Listings& Shared() {
  static Listings Instance;
  return Instance;
}

bool KeyOf(const std::string& Folder, FolderKey& Key) {
  struct stat St {};
  if (stat(Folder.empty() ? "." : Folder.c_str(), &St) != 0 || !S_ISDIR(St.st_mode)) return false;
  Key = {St.st_dev, St.st_ino};
  return true;
}

// KeyOf through the scope's memory of folder paths (the caller holds the lock).
bool RememberedKeyOf(Listings& Shared, const std::string& Folder, FolderKey& Key) {
  if (Shared.Scopes == 0) return KeyOf(Folder, Key);
  const auto Known = Shared.Keys.find(Folder);
  if (Known != Shared.Keys.end()) {
    Key = Known->second;
    return true;
  }
  if (!KeyOf(Folder, Key)) return false;
  Shared.Keys.emplace(Folder, Key);
  return true;
}

void AddName(Listing& Names, const std::string& Name) {
  std::vector<std::string>& Spellings = Names[FoldedCase(Name)];
  for (const std::string& Spelling : Spellings)
    if (Spelling == Name) return;
  Spellings.push_back(Name);
}

void DropName(Listing& Names, const std::string& Name) {
  const auto Found = Names.find(FoldedCase(Name));
  if (Found == Names.end()) return;
  std::vector<std::string>& Spellings = Found->second;
  for (auto It = Spellings.begin(); It != Spellings.end(); ++It) {
    if (*It != Name) continue;
    Spellings.erase(It);
    break;
  }
  if (Spellings.empty()) Names.erase(Found);
}

bool ReadListing(const std::string& Folder, Listing& Names) {
  const std::unique_ptr<DIR, int (*)(DIR*)> Dir(opendir(Folder.empty() ? "." : Folder.c_str()), closedir);
  if (!Dir) return false;
  while (const dirent* Entry = readdir(Dir.get())) AddName(Names, Entry->d_name);
  return true;
}

std::string Lookup(const Listing& Names, const std::string& Name) {
  const auto Found = Names.find(FoldedCase(Name));
  return Found == Names.end() ? std::string() : Found->second.front();
}

// The folder part of a native path ("" for a bare name, "/" for the root's entries).
std::pair<std::string, std::string> Split(const std::string& Native) {
  std::string Path = Native;
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  const size_t Slash = Path.rfind('/');
  if (Slash == std::string::npos) return {std::string(), Path};
  return {Slash == 0 ? std::string("/") : Path.substr(0, Slash), Path.substr(Slash + 1)};
}

}  // namespace

PathLookupScope::PathLookupScope() {
  const std::lock_guard<std::mutex> Guard(Shared().Lock);
  ++Shared().Scopes;
}

PathLookupScope::~PathLookupScope() {
  const std::lock_guard<std::mutex> Guard(Shared().Lock);
  if (--Shared().Scopes != 0) return;
  Shared().Folders.clear();
  Shared().Keys.clear();
}

namespace posix {

std::string FindIgnoringCase(const std::string& Directory, const std::string& Name) {
  Listings& Lists = Shared();
  std::unique_lock<std::mutex> Guard(Lists.Lock);
  FolderKey Key;
  if (Lists.Scopes == 0 || !RememberedKeyOf(Lists, Directory, Key)) {
    Guard.unlock();
    Listing Names;
    return ReadListing(Directory, Names) ? Lookup(Names, Name) : std::string();
  }
  auto Found = Lists.Folders.find(Key);
  if (Found == Lists.Folders.end()) {
    Listing Names;
    if (!ReadListing(Directory, Names)) return {};
    Found = Lists.Folders.emplace(Key, std::move(Names)).first;
  }
  return Lookup(Found->second, Name);
}

bool IsFolder(const std::string& Native) {
  Listings& Lists = Shared();
  const std::lock_guard<std::mutex> Guard(Lists.Lock);
  FolderKey Key;
  return RememberedKeyOf(Lists, Native, Key);
}

void NoteCreated(const std::string& Native, bool IsDirectory) {
  Listings& Lists = Shared();
  const std::lock_guard<std::mutex> Guard(Lists.Lock);
  if (Lists.Scopes == 0) return;
  const auto [Folder, Name] = Split(Native);
  FolderKey Key;
  if (!Name.empty() && RememberedKeyOf(Lists, Folder, Key)) {
    const auto Found = Lists.Folders.find(Key);
    if (Found != Lists.Folders.end()) AddName(Found->second, Name);
  }
  if (IsDirectory && RememberedKeyOf(Lists, Native, Key)) {
    Listing Fresh;
    AddName(Fresh, ".");
    AddName(Fresh, "..");
    Lists.Folders[Key] = std::move(Fresh);
  }
}

void NoteRemoved(const std::string& Native, bool IsDirectory) {
  Listings& Lists = Shared();
  const std::lock_guard<std::mutex> Guard(Lists.Lock);
  if (Lists.Scopes == 0) return;
  const auto [Folder, Name] = Split(Native);
  FolderKey Key;
  if (!IsDirectory) {
    // A file is gone: only its own spelling leaves the folder's listing.
    if (!Name.empty() && RememberedKeyOf(Lists, Folder, Key)) {
      const auto Found = Lists.Folders.find(Key);
      if (Found != Lists.Folders.end()) DropName(Found->second, Name);
    }
    return;
  }
  // A folder is about to go (its removal may still fail): the parent is listed
  // again when asked, the folder's own listing goes before its inode can be
  // reused, and so do the remembered folder paths, which may run through it.
  if (KeyOf(Folder, Key)) Lists.Folders.erase(Key);
  if (KeyOf(Native, Key)) Lists.Folders.erase(Key);
  Lists.Keys.clear();
}

}  // namespace posix

}  // namespace platform
