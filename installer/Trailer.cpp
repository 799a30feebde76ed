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
  const std::string text(Field.substr(0, Field.find('\0')));
  if (text.empty()) return std::nullopt;
  for (const char c : text)
    if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127) return std::nullopt;
  return text;
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
  const std::string stem = Folder + "skw-" + std::to_string(platform::ProcessId());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string path = stem;
    if (attempt > 0) path.append("-").append(std::to_string(attempt));
    path.append("-").append(Suffix);
    Handle = platform::OpenWrite(path, false);
    if (Handle != platform::kInvalidHandle) return path;
  }
  throw std::runtime_error("Cannot create file \"" + stem + "-" + Suffix + "\".");
}

}  // namespace

std::optional<TTrailer> ParseTrailer(std::string_view Last12, uint64_t FileSize) {
  if (Last12.size() != kTrailerSize || FileSize < kTrailerSize) return std::nullopt;
  if (Last12.substr(0, 4) != std::string_view("SKW\0", 4)) return std::nullopt;
  const std::optional<std::string> extension = FieldExtension(Last12.substr(4, 4));
  const uint32_t length = ReadLittleEndian32(Last12.substr(8, 4));
  if (!extension || length > FileSize - kTrailerSize) return std::nullopt;
  return TTrailer{*extension, length};
}

std::optional<TTrailer> ReadTrailer(const std::string& Path) {
  const platform::FileHandle file = platform::OpenRead(Path);
  if (file == platform::kInvalidHandle) return std::nullopt;
  FileCloser closeFile(file);
  const int64_t size = platform::Size(file);
  std::string last(kTrailerSize, '\0');
  if (size < static_cast<int64_t>(kTrailerSize) || !ReadAt(file, static_cast<uint64_t>(size) - kTrailerSize, last))
    return std::nullopt;
  return ParseTrailer(last, static_cast<uint64_t>(size));
}

std::string MakeTrailer(const std::string& Extension, uint32_t Length) {
  std::string trailer("SKW\0", 4);
  std::string field = Extension.substr(0, 4);
  field.resize(4, '\0');
  trailer += field;
  for (int shift = 0; shift < 32; shift += 8) trailer += static_cast<char>((Length >> shift) & 0xFF);
  return trailer;
}

void CheckTrailer(const std::string& ProgramFile, const std::string& TempFolder, std::string& ArchivePath,
                  bool& TempArchive) {
  const platform::FileHandle program = platform::OpenRead(ProgramFile);
  if (program == platform::kInvalidHandle) throw std::runtime_error("Cannot open file \"" + ProgramFile + "\".");
  FileCloser closeProgram(program);
  const int64_t size = platform::Size(program);
  if (size < static_cast<int64_t>(kTrailerSize)) return;
  std::string last(kTrailerSize, '\0');
  if (!ReadAt(program, static_cast<uint64_t>(size) - kTrailerSize, last))
    throw std::runtime_error("Cannot read file \"" + ProgramFile + "\".");
  const std::optional<TTrailer> trailer = ParseTrailer(last, static_cast<uint64_t>(size));
  if (!trailer) return;

  std::string archive(trailer->Length, '\0');
  if (!ReadAt(program, static_cast<uint64_t>(size) - kTrailerSize - trailer->Length, archive))
    throw std::runtime_error("Cannot read file \"" + ProgramFile + "\".");
  platform::FileHandle out = platform::kInvalidHandle;
  const std::string path = CreateUniqueFile(TempFolder, "tmp-" + trailer->Extension + ".zip", out);
  FileCloser closeOut(out);
  if (platform::Write(out, archive.data(), archive.size()) != static_cast<int64_t>(archive.size()))
    throw std::runtime_error("Cannot write file \"" + path + "\".");
  ArchivePath = path;
  TempArchive = true;
}

}  // namespace skw
