// The demo pack's ZIP archive, written by the test kit's ZIP writer: stored
// entries dated 2024-05-01 12:00:00, version 1.0 needed, archive attribute set.
#include "StoredZip.h"

#include <stdexcept>
#include <utility>

namespace demo {

namespace {

constexpr uint16_t kDosTime = (12 << 11) | (0 << 5);                // 12:00:00
constexpr uint16_t kDosDate = ((2024 - 1980) << 9) | (5 << 5) | 1;  // 2024-05-01

}  // namespace

void StoredZip::Add(const std::string& Name, const std::string& Bytes) {
  if (FSize + Bytes.size() + Name.size() + 64 > 0x7FFFFFFFu) throw std::length_error("demo pack too large");
  skwtest::HostileEntry Entry = skwtest::StoredEntry(Name, Bytes);
  Entry.VersionNeeded = 10;
  Entry.DosDateTime = uint32_t{kDosDate} << 16 | kDosTime;
  FSize += 30 + Name.size() + Bytes.size();
  FZip.Entries.push_back(std::move(Entry));
}

std::string StoredZip::Bytes() const {
  const skwtest::TBytes Out = FZip.Build();
  return std::string(Out.begin(), Out.end());
}

}  // namespace demo
