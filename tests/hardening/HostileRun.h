// What the archive components make of one hostile archive: the lister's walk
// and name list, an extraction to memory and a test run (verify), each with
// the error codes reported and the entries' CRC verdicts. CheckSound then
// states what must hold for any input: runs end normally or with the library's
// own exception, every entry that passes its CRC check holds exactly the bytes
// of an entry of that name, and no stream item reaches outside the stream.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "archive/Kstgbls.h"
#include "archive/list/Kstkestrel.h"
#include "archive/extract/Kstunzip.h"
#include "tests/kit/HostileZip.h"

namespace skwtest {

struct HostileOutcome {
  bool Listed = false;             // Activate answered true
  std::vector<std::string> Names;  // FilesInArchive
  std::vector<int32_t> ListErrors;
  std::vector<int32_t> ExtractErrors;
  std::map<std::string, TBytes> Passed;  // entries extracted to memory whose CRC passed
  std::vector<std::string> Failed;       // entries whose CRC failed
  int32_t Extracted = 0;                 // FileCount of the memory run
  int64_t StreamSize = 0;
};

inline HostileOutcome RunHostile(const TBytes& Archive, const std::vector<std::string>& Passwords = {}) {
  HostileFile File(Archive);
  HostileOutcome Out;
  {
    kst::TKestrel Lister;
    Lister.OnError = [&](kst::TZipCommon*, std::string, std::string, std::string, int32_t Code) {
      Out.ListErrors.push_back(Code);
    };
    Lister.OnRead = [](kst::TKestrel*, int32_t, int32_t) {};
    Lister.SetArchiveFile(File.Path());
    Lister.FileSpec = {"*.*"};
    Out.Listed = Lister.Activate();
    Lister.FilesInArchive(&Out.Names);
  }
  kst::TDecompMemoryStream Stream;
  std::vector<std::pair<std::string, bool>> Verdicts;
  for (bool Memory : {true, false}) {
    kst::TUnZip UnZip;
    UnZip.SetArchiveFile(File.Path());
    UnZip.FileSpec = {"*.*"};
    UnZip.Passwords = Passwords;
    UnZip.ConfirmOverwrites = false;
    UnZip.OnError = [&](kst::TZipCommon*, std::string, std::string, std::string, int32_t Code) {
      if (Memory) Out.ExtractErrors.push_back(Code);
    };
    UnZip.OnEnd = [&](kst::TUnBase*, const std::string& Name, bool Pass) {
      if (Memory) Verdicts.emplace_back(Name, Pass);
    };
    try {
      if (Memory)
        Out.Extracted = UnZip.ExtractToMemoryStream(&Stream);
      else
        UnZip.ExtractToVerify();
    } catch (const kst::E_RAISE&) {
    }
  }
  Out.StreamSize = Stream.Size();
  size_t Cursor = 0;
  for (int32_t I = 0; I < Stream.Count(); ++I) {
    const int64_t Start = Stream.GetFileOffset(I);
    const int64_t End = I + 1 < Stream.Count() ? int64_t(Stream.GetFileOffset(I + 1)) : Stream.Size();
    EXPECT_LE(Start, End) << "stream item " << I;
    EXPECT_LE(End, Stream.Size()) << "stream item " << I;
    if (Start > End || End > Stream.Size()) continue;
    // The verdict of the item: the next end report of an entry of that name.
    const std::string Name = Stream.GetFileName(I);
    bool Pass = false;
    while (Cursor < Verdicts.size() && Verdicts[Cursor].first.substr(0, kst::TStreamHeader::MaxNameLength) != Name)
      ++Cursor;
    if (Cursor < Verdicts.size()) Pass = Verdicts[Cursor++].second;
    if (Pass)
      Out.Passed[Name] = TBytes(Stream.Memory() + Start, Stream.Memory() + End);
    else
      Out.Failed.push_back(Name);
  }
  return Out;
}

// Every entry that passed its CRC check holds the content of an entry of that
// name in Zip (central or local name; "/" compared as the library's "\").
inline void CheckSound(const HostileZip& Zip, const HostileOutcome& Out) {
  for (const auto& [Name, Bytes] : Out.Passed) {
    bool Found = false;
    for (const HostileEntry& E : Zip.Entries) {
      std::string Stored = E.Name;
      for (char& C : Stored)
        if (C == '/') C = '\\';
      const TBytes& Content = E.Plain.empty() ? E.Data : E.Plain;
      const bool SameName = Stored == Name || E.Name == Name || (E.LocalName && *E.LocalName == Name);
      Found = Found || (SameName && Content == Bytes);
    }
    EXPECT_TRUE(Found) << "entry " << Name << " passed its CRC check with bytes no entry holds";
  }
}

}  // namespace skwtest
