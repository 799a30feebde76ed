// The ZIP walks of TUnZip. Every read is bounds-checked: a record that cannot
// be read whole ends the walk, and each step advances by at least a record's
// size, so a damaged archive can neither loop nor send the walk outside the file.
// In the recovery walk a streamed entry whose local header carries no sizes is
// measured by finding its data descriptor (StreamedEntryEnd.h); the walk stops
// after it only when none fits, since then nothing says where the next header
// lies. The directory walk marks every selected entry whose bytes overlap another
// entry's or the directory (EntrySpans.h); such an entry is reported and
// skipped, the others are extracted. Entries of streaming writers (flag bit 3)
// carry a placeholder CRC in their local header: they are checked against the
// central record's CRC, or in the recovery walk against the data descriptor
// behind their data.
#include "archive/extract/Kstunzip.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "archive/core/KstTimer.h"
#include "archive/io/Kstfileio.h"
#include "archive/extract/EntrySpans.h"
#include "archive/io/ReadWindow.h"
#include "archive/core/Err_msgs.h"

namespace kst {

uint32_t TUnZip::FillWindow(THandle InFile, uint64_t Offset, uint8_t* Into, uint32_t Count) {
  uint32_t Got = 0;
  if (!kstSetFilePointer(InFile, Offset)) return 0;
  while (Got < Count) {
    const uint32_t Part = ReadProc(InFile, nullptr, Into + Got, false, 0, Count - Got, dtHeader);
    if (Part == 0) break;
    Got += Part;
  }
  return Got;
}

bool TUnZip::ReadHeaderAt(THandle InFile, uint32_t Offset, uint8_t* Buffer, uint32_t Count) {
  return FLocalWindow.Read(Offset, Buffer, Count, [&](uint64_t At, uint8_t* Into, uint32_t Size) {
    return FillWindow(InFile, At, Into, Size);
  });
}

std::string TUnZip::ReadNameAt(THandle InFile, uint32_t Offset, uint32_t Length) {
  if (Length == 0) return std::string();
  std::vector<uint8_t> Raw(Length);
  if (!ReadHeaderAt(InFile, Offset, Raw.data(), Length)) return std::string();
  return std::string(Raw.begin(), Raw.end());
}

void TUnZip::CountSelected(uint16_t Flags, uint32_t DosDateTime, uint32_t PackedSize, uint32_t UnpackedSize) {
  MaxFileDate = std::max(MaxFileDate, DosDateTime);
  TotalPackedSize += (Flags & kFlagEncrypted) ? PackedSize - std::min(PackedSize, EncryptHeaderSize) : PackedSize;
  TotalUnpackedSize += UnpackedSize;
}

int32_t TUnZip::BuildHeadArray(THandle InFile, TUnBaseHeaderObj& List) {
  TkstTimerPause Pause(FTimer);
  // The central records follow one another: they are read through a window
  // of the directory rather than with a seek and two reads per record. The
  // window need not be larger than what lies from the directory to the end of
  // the file (a run that takes one entry walks the directory each time).
  TReadWindow Directory(ArchiveSize > DataOffset ? std::min<uint32_t>(65536, ArchiveSize - DataOffset) : 65536);
  const auto ReadDirectory = [&](uint32_t Offset, uint8_t* Buffer, uint32_t Count) {
    return Directory.Read(Offset, Buffer, Count, [&](uint64_t At, uint8_t* Into, uint32_t Size) {
      return FillWindow(InFile, At, Into, Size);
    });
  };
  const auto ReadName = [&](uint32_t Offset, uint32_t Length) {
    std::string Name(Length, '\0');
    if (Length > 0 && !ReadDirectory(Offset, reinterpret_cast<uint8_t*>(Name.data()), Length)) Name.clear();
    return Name;
  };
  // Sets StoredName from the names of the record at Offset; answers its extra field.
  const auto NameRecord = [&](uint32_t Offset, const TCentral& Central) {
    const std::string Raw = ReadName(Offset + TCentral::Size, Central.NameLength);
    std::string Extra = ReadName(Offset + TCentral::Size + Central.NameLength, Central.ExtraLength);
    SetStoredName({Raw, Central.Flags, Central.VersionMadeBy, Extra});
    FNameMemo.Record(TNameMemo::RawKeyOf(Raw, Extra, Central.Flags, Central.VersionMadeBy), StoredName);
    return Extra;
  };
  // Over an archive the memo knows, a run whose patterns are plain names
  // passes by, unread, every name whose key none of them has.
  std::optional<std::vector<uint16_t>> PatternKeys;
  if (FNameMemo.Begin(
          {FArchiveFile, ArchiveSize, kstGetLastWrite(InFile), DataOffset, TranslateOemChar, ForeignBackslash}))
    PatternKeys = TNameMemo::PlainKeys(FileSpec);
  // The stored bytes are checked against the memo through a small buffer
  // (a longer name and extra field simply take the full selection).
  const auto PassesBy = [&](size_t Index, uint32_t Offset, const TCentral& Central) {
    char Names[512];
    const uint32_t Length = uint32_t(Central.NameLength) + Central.ExtraLength;
    if (!PatternKeys || Length > sizeof Names ||
        (Length > 0 && !ReadDirectory(Offset + TCentral::Size, reinterpret_cast<uint8_t*>(Names), Length)))
      return false;
    const std::string_view Stored(Names, Length);
    const uint16_t Key = FNameMemo.KeyAt(
        Index, TNameMemo::RawKeyOf(Stored.substr(0, Central.NameLength), Stored.substr(Central.NameLength),
                                   Central.Flags, Central.VersionMadeBy));
    return Key != TNameMemo::kAlwaysMatch &&
           std::find(PatternKeys->begin(), PatternKeys->end(), Key) == PatternKeys->end();
  };
  // The last record when it was passed by: the walk still leaves its name in StoredName.
  std::optional<std::pair<uint32_t, TCentral>> LastPassed;
  size_t Index = 0;
  uint32_t Pos = DataOffset;
  uint8_t Record[TCentral::Size];
  TEntrySpans Spans;
  // Each selected entry's name and where its header, name, extra field and data lie.
  struct TSelectedSpan {
    std::string Name;
    uint64_t Start;
    uint64_t End;
  };
  std::vector<TSelectedSpan> Selected;
  bool Have = ReadDirectory(Pos, Record, TCentral::Size);
  while (Have && GetLE32(Record) == kCentralSignature && !GetCancel()) {
    const TCentral Central = TCentral::Parse(Record);
    Spans.Add(Central.LocalOffset, Central.PackedSize);
    if (PassesBy(Index++, Pos, Central)) {
      LastPassed.emplace(Pos, Central);
    } else {
      LastPassed.reset();
      std::string Extra = NameRecord(Pos, Central);
      if (!StoredName.empty() && CheckWildCard(StoredName)) {
        const TUnBaseFileInfo Info{Central.ExternalAttr, uint16_t(Central.DiskStart + 1), Central.LocalOffset,
                                   std::move(Extra)};
        uint8_t Local[TLocal::Size];
        if (ReadHeaderAt(InFile, Central.LocalOffset, Local, TLocal::Size) && GetLE32(Local) == kLocalSignature &&
            List.ADDITEM(Info, Record, TCentral::Size)) {
          CountSelected(Central.Flags, Central.DosDateTime, Central.PackedSize, Central.UnpackedSize);
          const TLocal Header = TLocal::Parse(Local);
          const uint64_t Start = Central.LocalOffset;
          Selected.push_back({StoredName, Start,
                              Start + TLocal::Size + Header.NameLength + Header.ExtraLength +
                                  (Central.PackedSize == 0xFFFFFFFFu ? 0 : Central.PackedSize)});
        }
      }
    }
    if (GetCancel()) break;
    const uint64_t Next =
        uint64_t(Pos) + TCentral::Size + Central.NameLength + Central.ExtraLength + Central.CommentLength;
    if (Next > UINT32_MAX) break;
    Pos = static_cast<uint32_t>(Next);
    Have = ReadDirectory(Pos, Record, TCentral::Size);
  }
  FNameMemo.Finish(!GetCancel());
  if (LastPassed) NameRecord(LastPassed->first, LastPassed->second);
  Spans.SetDirectory(DataOffset, Pos);
  Spans.Seal();
  FOverlapping.clear();
  for (const TSelectedSpan& Entry : Selected)
    FOverlapping.push_back(Spans.Overlaps(Entry.Start, Entry.End) ? Entry.Name : std::string());
  return List.Count();
}

int32_t TUnZip::BuildRecoveryHeadArray(THandle InFile, TUnBaseHeaderObj& List) {
  TkstTimerPause Pause(FTimer);
  if (OnCorruptZipHeader) {
    bool Cancel = true;
    OnCorruptZipHeader(this, HeadFlag, Cancel);
    if (Cancel) return 0;
  }
  uint32_t Pos = DataOffset;
  uint8_t Record[TLocal::Size];
  bool Have = ReadHeaderAt(InFile, Pos, Record, TLocal::Size);
  if (Have && GetLE32(Record) == kSpanSignature) {
    Pos += 4;
    Have = ReadHeaderAt(InFile, Pos, Record, TLocal::Size);
  }
  FStreamedEnds.clear();
  while (Have && GetLE32(Record) == kLocalSignature && !GetCancel()) {
    TLocal Local = TLocal::Parse(Record);
    const std::string Raw = ReadNameAt(InFile, Pos + TLocal::Size, Local.NameLength);
    const std::string Extra = ReadNameAt(InFile, Pos + TLocal::Size + Local.NameLength, Local.ExtraLength);
    const bool Zip64 = TakeZip64Sizes(Local, Extra);
    const uint64_t DataStart = uint64_t(Pos) + TLocal::Size + Local.NameLength + Local.ExtraLength;
    const std::optional<TStreamedEnd> End = FindStreamedEnd(InFile, Local, DataStart, ArchiveSize, Zip64);
    const bool Unknown = EndUnknown(Local, End);
    if (End) End->ApplyTo(Local);
    // No central record says which system wrote the entry.
    SetStoredName({Raw, Local.Flags, kMadeByUnknown, Extra});
    if (!StoredName.empty() && CheckWildCard(StoredName) && List.ADDITEM(TUnBaseFileInfo{0, 1, Pos, {}}, nullptr, 0)) {
      CountSelected(Local.Flags, Local.DosDateTime, Local.PackedSize, Local.UnpackedSize);
      FStreamedEnds.push_back(End);
    }
    // A streamed entry whose descriptor can't be found leaves the next header unknown.
    if (Unknown) break;
    const uint64_t Next = DataStart + Local.PackedSize + (End ? End->DescriptorSize : 0);
    if (Next > UINT32_MAX) break;
    Pos = static_cast<uint32_t>(Next);
    Have = ReadHeaderAt(InFile, Pos, Record, TLocal::Size);
  }
  return List.Count();
}

bool TUnZip::ReadLocalEntry(THandle InFile, const TUnBaseHeaderObj& List, int32_t Index, std::string& RawName,
                            std::string& RawExtra) {
  const TUnBaseFileInfo& Info = List.FileLocationData(Index);
  uint8_t Record[TLocal::Size];
  if (!ReadHeaderAt(InFile, Info.Offset, Record, TLocal::Size) || GetLE32(Record) != kLocalSignature) return false;
  FLocal = TLocal::Parse(Record);
  // Name and extra field through the same window as the header: one read
  // usually serves many small entries.
  RawName = ReadNameAt(InFile, Info.Offset + TLocal::Size, FLocal.NameLength);
  RawExtra = ReadNameAt(InFile, Info.Offset + TLocal::Size + FLocal.NameLength, FLocal.ExtraLength);
  const uint64_t Data = uint64_t(Info.Offset) + TLocal::Size + FLocal.NameLength + FLocal.ExtraLength;
  const bool Zip64 = TakeZip64Sizes(FLocal, RawExtra);
  FExpectedCrc = FLocal.Crc;
  if (Data > UINT32_MAX) return false;
  if (FLocal.Flags & kFlagDataDescriptor) FExpectedCrc = DescriptorCrc(InFile, Data + FLocal.PackedSize, Zip64);
  // The window is kept only while it holds the next entry's local header: a
  // large entry, or the last one, is decoded without it.
  FLocalWindow.ReleaseUnlessHolds(Index + 1 < List.Count() ? List.FileLocationData(Index + 1).Offset : UINT64_MAX);
  return kstSetFilePointer(InFile, static_cast<int64_t>(Data));
}

uint32_t TUnZip::DescriptorCrc(THandle InFile, uint64_t At, bool Zip64) {
  // The packed size must match what the local header says the data hold (the
  // signature alone could be a CRC), else the local header's CRC stands.
  const auto Descriptor = DescriptorBehind(InFile, At, ArchiveSize, FLocal.PackedSize, Zip64);
  return Descriptor ? Descriptor->Crc : FLocal.Crc;
}

void TUnZip::ProcessHeaders(THandle InFile, const TUnBaseHeaderObj& List) {
  // An entry that shares bytes with another (or with the directory) is refused.
  static constexpr char kOverlapText[] = "overlaps another entry or the directory";
  BytesRemaining = TotalUnpackedSize;
  for (int32_t I = 0; I < List.Count() && !GetCancel(); ++I) {
    std::string RawName, RawExtra;
    if (!ReadLocalEntry(InFile, List, I, RawName, RawExtra)) continue;
    std::copy(List.CentralRecord(I).begin(), List.CentralRecord(I).end(), FCentralBuffer);
    const TCentral Central = TCentral::Parse(FCentralBuffer);
    FInflateRec = TInflateRec{Central.Flags, Central.Method, Central.PackedSize, Central.UnpackedSize};
    if (size_t(I) < FOverlapping.size() && !FOverlapping[size_t(I)].empty()) {
      // Named as its central record names it: several may share one local name.
      StoredName = FOverlapping[size_t(I)];
      RaiseErrorStr(StoredName, kOverlapText, "0", ErrLocalHeader);
      AdjustProgress(FInflateRec);
      continue;
    }
    if (FLocal.Flags & kFlagDataDescriptor) FExpectedCrc = Central.Crc;
    // The local header's name, read as the central record says its writer
    // meant it (the Unicode Path field counts only if its CRC fits this name).
    SetStoredName({RawName, FLocal.Flags, Central.VersionMadeBy, List.FileLocationData(I).CentralExtra});
    SetFilename(StoredName);
    THandle OutFile = kstInvalidHandle;
    OpenAndExtractFile(InFile, OutFile, List.FileLocationData(I).ExtAttr);
  }
}

void TUnZip::ProcessRecoveryHeaders(THandle InFile, const TUnBaseHeaderObj& List) {
  // A streamed entry without sizes whose data descriptor can't be found.
  static constexpr char kUnknownEndText[] = "no data descriptor marks the end of its data";
  BytesRemaining = TotalUnpackedSize;
  for (int32_t I = 0; I < List.Count() && !GetCancel(); ++I) {
    std::string RawName, RawExtra;
    if (!ReadLocalEntry(InFile, List, I, RawName, RawExtra)) continue;
    const std::optional<TStreamedEnd> End =
        size_t(I) < FStreamedEnds.size() ? FStreamedEnds[size_t(I)] : std::optional<TStreamedEnd>();
    const bool Unknown = EndUnknown(FLocal, End);
    if (End) {
      End->ApplyTo(FLocal);
      FExpectedCrc = FLocal.Crc;
    }
    FInflateRec = TInflateRec{FLocal.Flags, FLocal.Method, FLocal.PackedSize, FLocal.UnpackedSize};
    SetStoredName({RawName, FLocal.Flags, kMadeByUnknown, RawExtra});
    if (Unknown) {
      // Extracting it would make an empty file that passes its check.
      RaiseErrorStr(StoredName, kUnknownEndText, "0", ErrLocalHeader);
      AdjustProgress(FInflateRec);
      continue;
    }
    SetFilename(StoredName);
    THandle OutFile = kstInvalidHandle;
    OpenAndExtractFile(InFile, OutFile, List.FileLocationData(I).ExtAttr);
  }
}

void TUnZip::ExtractIT(THandle InFile, int32_t /*Unused*/) {
  FLocalWindow.Clear();
  TUnBaseHeaderObj List;
  List.INIT();
  try {
    if (HeadFlag == kHeadLocalHeader) {
      if (BuildRecoveryHeadArray(InFile, List) > 0) ProcessRecoveryHeaders(InFile, List);
    } else if (BuildHeadArray(InFile, List) > 0) {
      ProcessHeaders(InFile, List);
    }
  } catch (const std::bad_alloc&) {
    RaiseErrorStr(FArchiveFile, "", "0", ErrOutOfMemory);
  } catch (const std::exception&) {
    // Reported through OnError where it arose; the walk ends here.
  }
  List.DONE();
}

}  // namespace kst
