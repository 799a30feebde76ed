// A small ZIP writer for lister and identification tests: stored entries with
// chosen names, flags, attributes, comments and extra fields, optionally without
// central directory or end record, with a lying local header (data descriptor,
// zero sizes), data in front, or an archive comment. Written by HostileZip,
// independent of the library, so the bytes are what a ZIP tool would write.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/kit/HostileZip.h"

namespace skwtest {

struct ZipWriterEntry {
  std::string Name;
  std::string Data;
  uint16_t Flags = 0;
  uint32_t ExternalAttr = 0x20;
  std::string Comment;
  std::string Extra;
  bool ZeroLocalSizes = false;        // local header sizes and CRC 0 (as with a data descriptor)
  uint32_t DosDateTime = 0x2A4320A3;  // 2001-02-03 04:05:06
};

inline ZipWriterEntry MakeEntry(std::string Name, std::string Data) {
  ZipWriterEntry Entry;
  Entry.Name = std::move(Name);
  Entry.Data = std::move(Data);
  return Entry;
}

struct ZipWriterOptions {
  std::string Prefix;          // bytes in front of the archive
  bool AdjustOffsets = false;  // offsets counted from the file's start (else from the archive's)
  bool CentralDirectory = true;
  bool EndRecord = true;
  std::string ArchiveComment;
};

inline std::vector<uint8_t> WriteZip(const std::vector<ZipWriterEntry>& Entries, const ZipWriterOptions& Options = {}) {
  HostileZip Zip;
  Zip.Prefix = BytesOf(Options.Prefix);
  const uint32_t Base = Options.AdjustOffsets ? 0 : uint32_t(Options.Prefix.size());
  uint32_t At = uint32_t(Options.Prefix.size());
  uint32_t DirSize = 0;
  for (const ZipWriterEntry& E : Entries) {
    HostileEntry H = StoredEntry(E.Name, E.Data);
    H.Flags = E.Flags;
    H.VersionNeeded = 10;
    H.ExternalAttr = E.ExternalAttr;
    H.DosDateTime = E.DosDateTime;
    H.Extra = E.Extra;
    H.Comment = E.Comment;
    H.WriteCentral = Options.CentralDirectory;
    H.LocalOffset = At - Base;
    if (E.ZeroLocalSizes) H.LocalCrc = H.LocalPackedSize = H.LocalUnpackedSize = 0;
    At += uint32_t(30 + E.Name.size() + E.Extra.size() + E.Data.size());
    DirSize += uint32_t(46 + E.Name.size() + E.Extra.size() + E.Comment.size());
    Zip.Entries.push_back(std::move(H));
  }
  // The end record describes the directory even when it is left out.
  Zip.WriteEnd = Options.EndRecord;
  Zip.End.DiskEntries = Zip.End.TotalEntries = uint16_t(Entries.size());
  Zip.End.DirSize = DirSize;
  Zip.End.DirOffset = At - Base;
  Zip.End.Comment = Options.ArchiveComment;
  return Zip.Build();
}

}  // namespace skwtest
