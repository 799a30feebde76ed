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
  static Listings listings;
  return listings;
}

bool KeyOf(const std::string& Folder, FolderKey& Key) {
  struct stat st {};
  if (stat(Folder.empty() ? "." : Folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  Key = {st.st_dev, st.st_ino};
  return true;
}

// KeyOf through the scope's memory of folder paths (the caller holds the lock).
bool RememberedKeyOf(Listings& Shared, const std::string& Folder, FolderKey& Key) {
  if (Shared.Scopes == 0) return KeyOf(Folder, Key);
  const auto known = Shared.Keys.find(Folder);
  if (known != Shared.Keys.end()) {
    Key = known->second;
    return true;
  }
  if (!KeyOf(Folder, Key)) return false;
  Shared.Keys.emplace(Folder, Key);
  return true;
}

void AddName(Listing& Names, const std::string& Name) {
  std::vector<std::string>& spellings = Names[FoldedCase(Name)];
  for (const std::string& spelling : spellings)
    if (spelling == Name) return;
  spellings.push_back(Name);
}

void DropName(Listing& Names, const std::string& Name) {
  const auto found = Names.find(FoldedCase(Name));
  if (found == Names.end()) return;
  std::vector<std::string>& spellings = found->second;
  for (auto it = spellings.begin(); it != spellings.end(); ++it) {
    if (*it != Name) continue;
    spellings.erase(it);
    break;
  }
  if (spellings.empty()) Names.erase(found);
}

bool ReadListing(const std::string& Folder, Listing& Names) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(Folder.empty() ? "." : Folder.c_str()), closedir);
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) AddName(Names, entry->d_name);
  return true;
}

std::string Lookup(const Listing& Names, const std::string& Name) {
  const auto found = Names.find(FoldedCase(Name));
  return found == Names.end() ? std::string() : found->second.front();
}

// The folder part of a native path ("" for a bare name, "/" for the root's entries).
std::pair<std::string, std::string> Split(const std::string& Native) {
  std::string path = Native;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {std::string(), path};
  return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

PathLookupScope::PathLookupScope() {
  const std::lock_guard<std::mutex> guard(Shared().Lock);
  ++Shared().Scopes;
}

PathLookupScope::~PathLookupScope() {
  const std::lock_guard<std::mutex> guard(Shared().Lock);
  if (--Shared().Scopes != 0) return;
  Shared().Folders.clear();
  Shared().Keys.clear();
}

namespace posix {

std::string FindIgnoringCase(const std::string& Directory, const std::string& Name) {
  Listings& shared = Shared();
  std::unique_lock<std::mutex> guard(shared.Lock);
  FolderKey key;
  if (shared.Scopes == 0 || !RememberedKeyOf(shared, Directory, key)) {
    guard.unlock();
    Listing names;
    return ReadListing(Directory, names) ? Lookup(names, Name) : std::string();
  }
  auto found = shared.Folders.find(key);
  if (found == shared.Folders.end()) {
    Listing names;
    if (!ReadListing(Directory, names)) return {};
    found = shared.Folders.emplace(key, std::move(names)).first;
  }
  return Lookup(found->second, Name);
}

bool IsFolder(const std::string& Native) {
  Listings& shared = Shared();
  const std::lock_guard<std::mutex> guard(shared.Lock);
  FolderKey key;
  return RememberedKeyOf(shared, Native, key);
}

void NoteCreated(const std::string& Native, bool IsDirectory) {
  Listings& shared = Shared();
  const std::lock_guard<std::mutex> guard(shared.Lock);
  if (shared.Scopes == 0) return;
  const auto [folder, name] = Split(Native);
  FolderKey key;
  if (!name.empty() && RememberedKeyOf(shared, folder, key)) {
    const auto found = shared.Folders.find(key);
    if (found != shared.Folders.end()) AddName(found->second, name);
  }
  if (IsDirectory && RememberedKeyOf(shared, Native, key)) {
    Listing fresh;
    AddName(fresh, ".");
    AddName(fresh, "..");
    shared.Folders[key] = std::move(fresh);
  }
}

void NoteRemoved(const std::string& Native, bool IsDirectory) {
  Listings& shared = Shared();
  const std::lock_guard<std::mutex> guard(shared.Lock);
  if (shared.Scopes == 0) return;
  const auto [folder, name] = Split(Native);
  FolderKey key;
  if (!IsDirectory) {
    // A file is gone: only its own spelling leaves the folder's listing.
    if (!name.empty() && RememberedKeyOf(shared, folder, key)) {
      const auto found = shared.Folders.find(key);
      if (found != shared.Folders.end()) DropName(found->second, name);
    }
    return;
  }
  // A folder is about to go (its removal may still fail): the parent is listed
  // again when asked, the folder's own listing goes before its inode can be
  // reused, and so do the remembered folder paths, which may run through it.
  if (KeyOf(folder, key)) shared.Folders.erase(key);
  if (KeyOf(Native, key)) shared.Folders.erase(key);
  shared.Keys.clear();
}

}  // namespace posix

}  // namespace platform
