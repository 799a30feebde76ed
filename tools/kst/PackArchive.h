// A pack executable (made by skinwright-pack) opened the way the installer
// opens it: when the file ends in a pack trailer, its archive is copied out to
// a temporary file by the installer's own trailer code, and kst works on that
// file; the copy goes when the object does. Any other file, including a ZIP
// behind other data, is used as it is.
#pragma once
#include <string>

namespace kst_tool {

class TPackArchive {
 public:
  explicit TPackArchive(const std::string& Typed);
  ~TPackArchive();
  TPackArchive(const TPackArchive&) = delete;
  TPackArchive& operator=(const TPackArchive&) = delete;

  // The file the library should open (the copy for a pack).
  const std::string& Path() const { return FPath; }
  // The trailer's container kind ("bin", "pal", ...); empty for no pack.
  const std::string& Kind() const { return FKind; }

 private:
  std::string FPath;
  std::string FKind;
  bool FTemporary = false;
};

}  // namespace kst_tool
