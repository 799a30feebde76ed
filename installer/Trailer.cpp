// Reading the pack trailer and copying the appended archive out. Only the last
// 12 bytes and then the archive itself are read from the program file, never
// more; every length is checked against the file's size before it is used.
#include "installer/Trailer.h"

#include <cctype>
#include <stdexcept>

#include "archive/core/LittleEndian.h"
#include "platform/File.h"
#include "platform/Process.h"

namespace skw {

namespace {

uint32_t ReadLittleEndian32(std::string_view Bytes) {
  return kst::GetLE32(reinterpret_cast<const uint8_t*>(Bytes.data()));
}

// The extension field's text in front of its first zero byte, if it is one to
// four ASCII letters or digits.
std::optional<std::string> FieldExtension(std::string_view Field) {
  const std::string Text(Field.substr(0, Field.find('\0')));
  if (Text.empty()) return std::nullopt;
  for (const char C : Text)
    if (!std::isalnum(static_cast<unsigned char>(C)) || static_cast<unsigned char>(C) > 127) return std::nullopt;
  return Text;
}

// Closes a platform file handle when it goes out of scope.
class FileCloser {
 public:
  explicit FileCloser(platform::FileHandle Handle) : FHandle(Handle) {}
  ~FileCloser() {
    if (FHandle != platform::kInvalidHandle) platform::Close(FHandle);
  }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  platform::FileHandle FHandle;
};

bool ReadAt(platform::FileHandle Handle, uint64_t Offset, std::string& Bytes) {
  return platform::Seek(Handle, static_cast<int64_t>(Offset), platform::SeekOrigin::Begin) >= 0 &&
         platform::Read(Handle, Bytes.data(), Bytes.size()) == static_cast<int64_t>(Bytes.size());
}

// Creates a file that did not exist in Folder with a name ending in Suffix.
std::string CreateUniqueFile(const std::string& Folder, const std::string& Suffix, platform::FileHandle& Handle) {
  const std::string Stem = Folder + "skw-" + std::to_string(platform::ProcessId());
  for (int Attempt = 0; Attempt < 1000; ++Attempt) {
    std::string Path = Stem;
    if (Attempt > 0) Path.append("-").append(std::to_string(Attempt));
    Path.append("-").append(Suffix);
    Handle = platform::OpenWrite(Path, false);
    if (Handle != platform::kInvalidHandle) return Path;
  }
  throw std::runtime_error("Cannot create file \"" + Stem + "-" + Suffix + "\".");
}

}  // namespace

std::optional<TTrailer> ParseTrailer(std::string_view Last12, uint64_t FileSize) {
  if (Last12.size() != kTrailerSize || FileSize < kTrailerSize) return std::nullopt;
  if (Last12.substr(0, 4) != std::string_view("SKW\0", 4)) return std::nullopt;
  const std::optional<std::string> Extension = FieldExtension(Last12.substr(4, 4));
  const uint32_t Length = ReadLittleEndian32(Last12.substr(8, 4));
  if (!Extension || Length > FileSize - kTrailerSize) return std::nullopt;
  return TTrailer{*Extension, Length};
}

std::optional<TTrailer> ReadTrailer(const std::string& Path) {
  const platform::FileHandle File = platform::OpenRead(Path);
  if (File == platform::kInvalidHandle) return std::nullopt;
  FileCloser CloseFile(File);
  const int64_t Size = platform::Size(File);
  std::string Last(kTrailerSize, '\0');
  if (Size < static_cast<int64_t>(kTrailerSize) || !ReadAt(File, static_cast<uint64_t>(Size) - kTrailerSize, Last))
    return std::nullopt;
  return ParseTrailer(Last, static_cast<uint64_t>(Size));
}

std::string MakeTrailer(const std::string& Extension, uint32_t Length) {
  std::string Trailer("SKW\0", 4);
  std::string Field = Extension.substr(0, 4);
  Field.resize(4, '\0');
  Trailer += Field;
  for (int Shift = 0; Shift < 32; Shift += 8) Trailer += static_cast<char>((Length >> Shift) & 0xFF);
  return Trailer;
}

void CheckTrailer(const std::string& ProgramFile, const std::string& TempFolder, std::string& ArchivePath,
                  bool& TempArchive) {
  const platform::FileHandle Program = platform::OpenRead(ProgramFile);
  if (Program == platform::kInvalidHandle) throw std::runtime_error("Cannot open file \"" + ProgramFile + "\".");
  FileCloser CloseProgram(Program);
  const int64_t Size = platform::Size(Program);
  if (Size < static_cast<int64_t>(kTrailerSize)) return;
  std::string Last(kTrailerSize, '\0');
  if (!ReadAt(Program, static_cast<uint64_t>(Size) - kTrailerSize, Last))
    throw std::runtime_error("Cannot read file \"" + ProgramFile + "\".");
  const std::optional<TTrailer> Trailer = ParseTrailer(Last, static_cast<uint64_t>(Size));
  if (!Trailer) return;

  std::string Archive(Trailer->Length, '\0');
  if (!ReadAt(Program, static_cast<uint64_t>(Size) - kTrailerSize - Trailer->Length, Archive))
    throw std::runtime_error("Cannot read file \"" + ProgramFile + "\".");
  platform::FileHandle Out = platform::kInvalidHandle;
  const std::string Path = CreateUniqueFile(TempFolder, "tmp-" + Trailer->Extension + ".zip", Out);
  FileCloser CloseOut(Out);
  if (platform::Write(Out, Archive.data(), Archive.size()) != static_cast<int64_t>(Archive.size()))
    throw std::runtime_error("Cannot write file \"" + Path + "\".");
  ArchivePath = Path;
  TempArchive = true;
}

}  // namespace skw
