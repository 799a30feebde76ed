// Shared helpers of the extraction tests: an extractor that records its events,
// the manifest rows an extraction is expected to reproduce, and digests of the
// bytes a run produced.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "archive/extract/Kstunzip.h"
#include "archive/names/NameConversion.h"
#include "platform/Utf8Names.h"
#include "tests/support/Manifest.h"
#include "tests/support/Sha256.h"
#include "tests/support/TestData.h"

namespace skwtest {

// A TUnZip whose events append to Log ("begin:NAME", "end:NAME:1", "error:25151:NAME", ...).
struct RecordingUnZip : kst::TUnZip {
  std::vector<std::string> Log;
  std::map<std::string, bool> CrcOf;  // last OnEnd verdict per name
  std::vector<int> Errors;

  explicit RecordingUnZip(bool WithEnd = true) {
    OnActivate = [this](kst::TUnBase*) { Log.push_back("activate"); };
    OnDeactivate = [this](kst::TUnBase*) { Log.push_back("deactivate"); };
    OnBegin = [this](kst::TUnBase*, const std::string& Name, int32_t, bool&) { Log.push_back("begin:" + Name); };
    if (WithEnd) {
      OnEnd = [this](kst::TUnBase*, const std::string& Name, bool Pass) {
        Log.push_back("end:" + Name + (Pass ? ":1" : ":0"));
        CrcOf[Name] = Pass;
      };
    }
    OnError = [this](kst::TZipCommon*, std::string Name, std::string, std::string, int32_t Code) {
      Log.push_back("error:" + std::to_string(Code) + ":" + Name);
      Errors.push_back(Code);
    };
  }
  // Opens Archive (a file below tests/data/zip) with FileSpec "*.*"; false when
  // identification does not take it for an archive the extractor reads.
  bool Open(const std::string& Archive) {
    SetArchiveFile(DataPath("zip/" + Archive));
    FileSpec = {"*.*"};
    ConfirmOverwrites = false;
    return IsExtractable(ArcType());
  }
  int Count(const std::string& Prefix) const {
    int N = 0;
    for (const std::string& Line : Log) N += Line.rfind(Prefix, 0) == 0;
    return N;
  }
};

// The name a row's entry gets in the library (StoredName): the name the lister
// gives it too.
inline std::string StoredNameOf(const ManifestRow& Row) {
  // Flagged UTF-8, or written on a Unix system with UTF-8 names.
  if ((Row.Flags & 0x0800) || Row.Tool.find("UTF-8 system") != std::string::npos)
    return kst::UnixToDosFilename(platform::Utf8ToAnsi(Row.Entry));
  return kst::doOemToChar(Row.Entry, true);
}

inline bool IsFolderRow(const ManifestRow& Row) {
  return !Row.Entry.empty() && (Row.Entry.back() == '/' || Row.Entry.back() == '\\');
}

inline bool DecodableMethod(int Method) { return (Method >= 0 && Method <= 6) || Method == 8; }

// An entry whose compressed data were damaged on purpose.
inline bool IsDamagedRow(const ManifestRow& Row) { return Row.Notes.find("corrupted") != std::string::npos; }

// Whether the entry should pass its CRC check: a method the library decodes, no
// damage, and a local header that carries the right CRC, or a placeholder of a
// streaming writer (flag bit 3: checked against the central record's CRC).
inline bool ExpectCrcPass(const ManifestRow& Row) {
  if (!DecodableMethod(Row.Method)) return Row.UncompressedSize == 0;
  if (IsDamagedRow(Row)) return false;
  const bool LocalCrcDiffers =
      Row.Notes.find("local header CRC") != std::string::npos || Row.Notes.find("local CRC") != std::string::npos;
  return !LocalCrcDiffers || (Row.Flags & 0x0008) || Row.UncompressedSize == 0;
}

// Archives with at least one entry, in manifest order.
inline std::vector<std::string> ArchivesWithEntries() {
  std::vector<std::string> Names;
  for (const ManifestRow& Row : Manifest()) {
    if (Row.Method < 0) continue;
    if (Names.empty() || Names.back() != Row.Archive) Names.push_back(Row.Archive);
  }
  return Names;
}

// The distinct passwords of an archive's rows.
inline kst::TStringList PasswordsOf(const std::vector<ManifestRow>& Rows) {
  kst::TStringList List;
  for (const ManifestRow& Row : Rows)
    if (!Row.Password.empty() && std::find(List.begin(), List.end(), Row.Password) == List.end())
      List.push_back(Row.Password);
  return List;
}

}  // namespace skwtest
