// Case-blind lookups with the listings of a PathLookupScope (see FolderListings.h).
#include "platform/posix/FolderListings.h"

#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/FileSystem.h"
#include "platform/NoCase.h"

namespace platform {

namespace {

using FolderKey = std::pair<dev_t, ino_t>;
// Folded name to the spelling found first (the one a listing would answer).
using Listing = std::unordered_map<std::string, std::string>;

struct Listings {
  std::mutex Lock;
  int Scopes = 0;
  std::map<FolderKey, Listing> Folders;
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

bool ReadListing(const std::string& Folder, Listing& Names) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(Folder.empty() ? "." : Folder.c_str()), closedir);
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) Names.emplace(FoldedCase(entry->d_name), entry->d_name);
  return true;
}

std::string Lookup(const Listing& Names, const std::string& Name) {
  const auto found = Names.find(FoldedCase(Name));
  return found == Names.end() ? std::string() : found->second;
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
  if (--Shared().Scopes == 0) Shared().Folders.clear();
}

namespace posix {

std::string FindIgnoringCase(const std::string& Directory, const std::string& Name) {
  Listings& shared = Shared();
  std::unique_lock<std::mutex> guard(shared.Lock);
  FolderKey key;
  if (shared.Scopes == 0 || !KeyOf(Directory, key)) {
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

void NoteCreated(const std::string& Native, bool IsDirectory) {
  Listings& shared = Shared();
  const std::lock_guard<std::mutex> guard(shared.Lock);
  if (shared.Scopes == 0) return;
  const auto [folder, name] = Split(Native);
  FolderKey key;
  if (!name.empty() && KeyOf(folder, key)) {
    const auto found = shared.Folders.find(key);
    if (found != shared.Folders.end()) found->second.emplace(FoldedCase(name), name);
  }
  if (IsDirectory && KeyOf(Native, key)) {
    Listing fresh;
    fresh.emplace(".", ".");
    fresh.emplace("..", "..");
    shared.Folders[key] = std::move(fresh);
  }
}

void NoteRemoved(const std::string& Native) {
  Listings& shared = Shared();
  const std::lock_guard<std::mutex> guard(shared.Lock);
  if (shared.Scopes == 0) return;
  // Another spelling of the name may remain: the folder is listed again when
  // asked. A folder's own listing goes too, before its inode can be reused.
  FolderKey key;
  if (KeyOf(Split(Native).first, key)) shared.Folders.erase(key);
  if (KeyOf(Native, key)) shared.Folders.erase(key);
}

}  // namespace posix

}  // namespace platform
