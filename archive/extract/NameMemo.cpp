// The name keys of TNameMemo and the bookkeeping of recording and replaying walks.
#include "archive/extract/NameMemo.h"

#include <algorithm>

#include "archive/names/NoCase.h"
#include "archive/names/Wildcard.h"

namespace kst {

namespace {

constexpr uint32_t kHashStart = 2166136261u;

uint32_t HashBytes(uint32_t Hash, std::string_view Bytes, bool FoldLetters) {
  for (const char C : Bytes) {
    const char Byte = FoldLetters ? AsciiLower(C) : C;
    Hash = (Hash ^ static_cast<uint8_t>(Byte)) * 16777619u;
  }
  return Hash;
}

// Sixteen bits of a hash, never kAlwaysMatch.
uint16_t KeyFromHash(uint32_t Hash) {
  const auto Key = static_cast<uint16_t>(Hash ^ (Hash >> 16));
  return Key == TNameMemo::kAlwaysMatch ? 1 : Key;
}

}  // namespace

uint16_t TNameMemo::KeyOf(std::string_view Name) {
  const size_t Delimiter = LastPathDelimiter(Name);
  const std::string_view File = Delimiter == std::string_view::npos ? Name : Name.substr(Delimiter + 1);
  if (HasWildChars(File)) return kAlwaysMatch;
  return KeyFromHash(HashBytes(kHashStart, WithoutTrailingDot(File), true));
}

uint16_t TNameMemo::RawKeyOf(std::string_view Name, std::string_view Extra, uint16_t Flags, uint16_t MadeBy) {
  const char Fields[4] = {static_cast<char>(Flags), static_cast<char>(Flags >> 8), static_cast<char>(MadeBy),
                          static_cast<char>(MadeBy >> 8)};
  uint32_t Hash = HashBytes(kHashStart, std::string_view(Fields, sizeof Fields), false);
  Hash = HashBytes(Hash, Name, false);
  // The name's length goes in too, so where the name ends and the extra field begins counts.
  Hash = (Hash ^ static_cast<uint32_t>(Name.size())) * 16777619u;
  return KeyFromHash(HashBytes(Hash, Extra, false));
}

std::optional<std::vector<uint16_t>> TNameMemo::PlainKeys(const TStringList& Patterns) {
  std::vector<uint16_t> Keys;
  for (const std::string& Pattern : Patterns) {
    const uint16_t Key = KeyOf(Pattern);
    if (Key == kAlwaysMatch) return std::nullopt;
    Keys.push_back(Key);
  }
  return Keys;
}

bool TNameMemo::Begin(const TArchiveState& State) {
  if (FComplete && State == FState) {
    FRecording = false;
    return true;
  }
  FState = State;
  FKeys = std::vector<TKeys>();
  FComplete = false;
  FRecording = State.LastWrite != 0;
  return false;
}

void TNameMemo::Record(uint16_t RawKey, std::string_view StoredName) {
  if (FRecording) FKeys.push_back({RawKey, KeyOf(StoredName)});
}

void TNameMemo::Finish(bool WholeDirectory) {
  if (!FRecording) return;
  FRecording = false;
  FComplete = WholeDirectory;
  if (FComplete)
    FKeys.shrink_to_fit();
  else
    FKeys = std::vector<TKeys>();
}

}  // namespace kst
