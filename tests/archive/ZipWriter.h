// A small ZIP writer for lister and identification tests: stored entries with
// chosen names, flags, attributes, comments and extra fields, optionally without
// central directory or end record, with a lying local header (data descriptor,
// zero sizes), data in front, or an archive comment. Independent of the library
// (its own CRC), so the bytes it writes are what a ZIP tool would write.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skwtest {

struct ZipWriterEntry {
  std::string Name;
  std::string Data;
  uint16_t Flags = 0;
  uint32_t ExternalAttr = 0x20;
  std::string Comment;
  std::string Extra;
  bool ZeroLocalSizes = false;  // local header sizes and CRC 0 (as with a data descriptor)
  uint32_t DosDateTime = 0x2A4320A3;  // 2001-02-03 04:05:06
};

inline ZipWriterEntry MakeEntry(std::string Name, std::string Data) {
  ZipWriterEntry Entry;
  Entry.Name = std::move(Name);
  Entry.Data = std::move(Data);
  return Entry;
}

struct ZipWriterOptions {
  std::string Prefix;           // bytes in front of the archive
  bool AdjustOffsets = false;   // offsets counted from the file's start (else from the archive's)
  bool CentralDirectory = true;
  bool EndRecord = true;
  std::string ArchiveComment;
};

inline uint32_t ZipWriterCrc(const std::string& Data) {
  uint32_t Crc = 0xFFFFFFFFu;
  for (unsigned char C : Data) {
    Crc ^= C;
    for (int K = 0; K < 8; ++K) Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
  }
  return ~Crc;
}

inline void PutLE16(std::string& Out, uint32_t V) {
  Out += char(V & 0xFF);
  Out += char((V >> 8) & 0xFF);
}

inline void PutLE32(std::string& Out, uint32_t V) {
  PutLE16(Out, V & 0xFFFF);
  PutLE16(Out, V >> 16);
}

inline std::vector<uint8_t> WriteZip(const std::vector<ZipWriterEntry>& Entries, const ZipWriterOptions& Options = {}) {
  std::string Out = Options.Prefix;
  const uint32_t Base = Options.AdjustOffsets ? 0 : uint32_t(Options.Prefix.size());
  std::string Central;
  for (const ZipWriterEntry& E : Entries) {
    const uint32_t LocalAt = uint32_t(Out.size()) - Base;
    const uint32_t Crc = ZipWriterCrc(E.Data);
    const uint32_t Size = uint32_t(E.Data.size());
    PutLE32(Out, 0x04034B50);
    PutLE16(Out, 10);
    PutLE16(Out, E.Flags);
    PutLE16(Out, 0);
    PutLE32(Out, E.DosDateTime);
    PutLE32(Out, E.ZeroLocalSizes ? 0 : Crc);
    PutLE32(Out, E.ZeroLocalSizes ? 0 : Size);
    PutLE32(Out, E.ZeroLocalSizes ? 0 : Size);
    PutLE16(Out, uint32_t(E.Name.size()));
    PutLE16(Out, uint32_t(E.Extra.size()));
    Out += E.Name + E.Extra + E.Data;

    PutLE32(Central, 0x02014B50);
    PutLE16(Central, 20);
    PutLE16(Central, 10);
    PutLE16(Central, E.Flags);
    PutLE16(Central, 0);
    PutLE32(Central, E.DosDateTime);
    PutLE32(Central, Crc);
    PutLE32(Central, Size);
    PutLE32(Central, Size);
    PutLE16(Central, uint32_t(E.Name.size()));
    PutLE16(Central, uint32_t(E.Extra.size()));
    PutLE16(Central, uint32_t(E.Comment.size()));
    PutLE16(Central, 0);
    PutLE16(Central, 0);
    PutLE32(Central, E.ExternalAttr);
    PutLE32(Central, LocalAt);
    Central += E.Name + E.Extra + E.Comment;
  }
  const uint32_t CentralAt = uint32_t(Out.size()) - Base;
  if (Options.CentralDirectory) Out += Central;
  if (Options.EndRecord) {
    PutLE32(Out, 0x06054B50);
    PutLE16(Out, 0);
    PutLE16(Out, 0);
    PutLE16(Out, uint32_t(Entries.size()));
    PutLE16(Out, uint32_t(Entries.size()));
    PutLE32(Out, uint32_t(Central.size()));
    PutLE32(Out, CentralAt);
    PutLE16(Out, uint32_t(Options.ArchiveComment.size()));
    Out += Options.ArchiveComment;
  }
  return std::vector<uint8_t>(Out.begin(), Out.end());
}

}  // namespace skwtest
