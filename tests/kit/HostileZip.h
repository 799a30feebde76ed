// HostileZip: a ZIP writer for the bad-input tests that writes whatever field
// values a test asks for. Every field of the local headers, central headers and
// end record has a sound default computed from the entries (real offsets,
// sizes, CRC, counts), and each can be overridden one by one, so a test states
// only the lie it tells. Entry data are written as given (already compressed or
// encrypted); helpers make stored Deflate blocks and traditionally encrypted
// data. Independent of the library (its own CRC and keys).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skwtest {

using TBytes = std::vector<uint8_t>;

struct HostileEntry {
  std::string Name;  // name bytes in both headers
  TBytes Data;       // the bytes stored after the local header
  TBytes Plain;      // content, for the default CRC and size (empty: Data)
  uint16_t Method = 0;
  uint16_t Flags = 0;
  uint16_t VersionNeeded = 20;
  uint32_t DosDateTime = 0x2A4320A3;  // 2001-02-03 04:05:06
  uint32_t ExternalAttr = 0x20;
  std::string Extra;
  std::string Comment;
  bool WriteLocal = true;    // false: no local header and no data
  bool WriteCentral = true;  // false: no central record for this entry
  // Central record overrides (defaults: the real values).
  std::optional<uint32_t> Crc, PackedSize, UnpackedSize, LocalOffset;
  std::optional<uint16_t> NameLength, ExtraLength, CommentLength;
  // Local header overrides (defaults: the central record's values).
  std::optional<std::string> LocalName;
  std::optional<uint32_t> LocalCrc, LocalPackedSize, LocalUnpackedSize;
  std::optional<uint16_t> LocalMethod, LocalFlags, LocalNameLength;
};

struct HostileEnd {
  std::optional<uint16_t> DiskEntries, TotalEntries, CommentLength;
  std::optional<uint32_t> DirSize, DirOffset;
  uint16_t DiskNumber = 0;
  uint16_t DirDisk = 0;
  std::string Comment;
};

struct HostileZip {
  TBytes Prefix;  // bytes in front of the first local header
  std::vector<HostileEntry> Entries;
  HostileEnd End;
  bool WriteEnd = true;
  TBytes Trailer;  // bytes after the end record
  TBytes Build() const;
};

TBytes BytesOf(std::string_view Text);
// Appends Value as 2 or 4 little-endian bytes.
void Put16(TBytes& Out, uint32_t Value);
void Put32(TBytes& Out, uint32_t Value);
uint32_t HostileCrc32(const TBytes& Data);

// A stored entry holding Text.
HostileEntry StoredEntry(std::string Name, std::string_view Text);
// Deflate stream of stored blocks holding Plain (the last one final).
TBytes StoredDeflate(const TBytes& Plain);
// A Deflate entry (method 8) whose stream is Stream and whose content is Plain.
HostileEntry DeflateEntry(std::string Name, TBytes Stream, TBytes Plain);

// Traditional encryption: keys from Password, a 12-byte header whose last byte
// is CheckByte (the other eleven from Seed), then Data enciphered.
TBytes ZipEncrypt(const TBytes& Data, const std::string& Password, uint8_t CheckByte, uint32_t Seed = 1);
// The twelfth header byte that Password deciphers from the header ZipEncrypt wrote.
uint8_t DecipheredCheckByte(const TBytes& Encrypted, const std::string& Password);

// Writes Bytes to a file of its own in a fresh folder below the temporary
// folder; the folder and everything in it go when the object does.
class HostileFile {
 public:
  explicit HostileFile(const TBytes& Bytes, const std::string& Name = "hostile.zip");
  ~HostileFile();
  HostileFile(const HostileFile&) = delete;
  HostileFile& operator=(const HostileFile&) = delete;
  const std::string& Path() const { return FPath; }
  const std::string& Folder() const { return FFolder; }

 private:
  std::string FFolder;
  std::string FPath;
};

}  // namespace skwtest
