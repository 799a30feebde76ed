// Text-only path helpers; see PathStrings.h. None of them touches the file system
// (those live with the file wrappers), so they behave the same on every platform.
#include "archive/names/PathStrings.h"

namespace kst {

std::string AppendDirTail(std::string Path) {
  if (!Path.empty() && Path.back() != '\\') Path += '\\';
  return Path;
}

std::string RemoveDirTail(std::string Path) {
  if (!Path.empty() && Path.back() == '\\') Path.pop_back();
  return Path;
}

std::string MakeRelativeDir(const std::string& Path) {
  if (!Path.empty() && Path.front() == '\\') return Path.substr(1);
  if (Path.size() >= 3 && Path.compare(1, 2, ":\\") == 0) return Path.substr(3);
  const size_t Colon = Path.find(':');
  if (Colon != std::string::npos) return Path.substr(Colon + 1);
  return Path;
}

bool IsUncPath(std::string_view Path) { return Path.size() > 2 && Path[0] == '\\' && Path[1] == '\\'; }

size_t ExtractFilenameOnly(std::string_view Name) {
  const size_t Dot = Name.rfind('.');
  return Dot == std::string_view::npos ? Name.size() : Dot;
}

namespace {

bool IsLeadByte(unsigned char C) { return (C >= 0x80 && C <= 0x9F) || (C >= 0xE0 && C <= 0xFD); }

}  // namespace

std::string DecodeDir(std::string Dir) {
  for (size_t I = 0; I < Dir.size(); ++I) {
    const auto C = static_cast<unsigned char>(Dir[I]);
    if (IsLeadByte(C)) {
      ++I;  // the trail byte belongs to the character and is kept as it is
    } else if (C == '/' || C == 0xFF) {
      Dir[I] = '\\';
    }
  }
  const size_t First = Dir.find_first_not_of(' ');
  if (First == std::string::npos) return {};
  const size_t Last = Dir.find_last_not_of(' ');
  return Dir.substr(First, Last - First + 1);
}

}  // namespace kst
