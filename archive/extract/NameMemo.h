// TNameMemo: what the extractor's directory walk learnt of the entries' names,
// kept for the next walk over the same unchanged archive. A program that takes
// entries out one by one by their exact names (the installer's pictures) runs
// one walk per entry over the whole directory; turning every stored name into
// the form the patterns are matched against is most of such a walk. The memo
// holds two small keys per entry, in directory order: one of the record's name
// and extra field as stored, and one of the file-name part of its stored name
// as a pattern without "*" or "?" compares it (letters a-z folded, one
// trailing "." dropped). An entry whose stored bytes still give the first key
// and whose name key differs from those of all the run's patterns cannot be
// selected, so the walk passes it by without converting its name; every other
// entry goes through the full selection. The memo serves only the archive file
// it was made from (same path, size and last write time, same start of data)
// and the same name rules (translation, backslashes), and only once a walk has
// gone through the whole directory.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/core/StringList.h"
#include "archive/names/EntryName.h"
#include "platform/Clock.h"

namespace kst {

class TNameMemo {
 public:
  // What identifies the archive and the names' translation for the memo.
  struct TArchiveState {
    std::string Path;
    uint32_t Size = 0;
    platform::FileTime LastWrite = 0;  // 0: unknown, and then nothing is kept
    uint32_t DataOffset = 0;
    bool Translate = false;
    TForeignBackslash Backslash = TForeignBackslash::Separator;
    bool operator==(const TArchiveState&) const = default;
  };

  // A key standing for "this name must always be matched in full".
  static constexpr uint16_t kAlwaysMatch = 0;
  // The key of a stored name, or of a pattern (kAlwaysMatch when its file-name
  // part holds "*" or "?").
  static uint16_t KeyOf(std::string_view Name);
  // The keys of the patterns when none holds "*" or "?"; none otherwise.
  static std::optional<std::vector<uint16_t>> PlainKeys(const TStringList& Patterns);

  // Starts a walk over the archive in State: true when the memo holds its
  // entries' keys, else the walk's names are recorded from here on.
  bool Begin(const TArchiveState& State);
  // The key of a record's name and extra field as stored, with its flags and
  // the system that made it (all the stored name is made from).
  static uint16_t RawKeyOf(std::string_view Name, std::string_view Extra, uint16_t Flags, uint16_t MadeBy);
  // Records the next entry of a recording walk.
  void Record(uint16_t RawKey, std::string_view StoredName);
  // The name key of entry Index of the remembered walk when its raw key is
  // RawKey; kAlwaysMatch otherwise and past the walk's end.
  uint16_t KeyAt(size_t Index, uint16_t RawKey) const {
    return Index < FKeys.size() && FKeys[Index].Raw == RawKey ? FKeys[Index].Name : kAlwaysMatch;
  }
  // Ends a walk; a recording walk that went through the whole directory makes
  // the memo usable.
  void Finish(bool WholeDirectory);

 private:
  TArchiveState FState;
  struct TKeys {
    uint16_t Raw;
    uint16_t Name;
  };
  std::vector<TKeys> FKeys;
  bool FRecording = false;
  bool FComplete = false;
};

}  // namespace kst
