// Writing the stored ZIP: local header + data per entry, then the central
// directory and the end record. All fields little-endian; the DOS date is fixed
// so the same input always gives the same archive.
#include "StoredZip.h"

#include <stdexcept>

#include "archive/crc/Crc.h"

namespace demo {

namespace {

constexpr uint16_t kDosTime = (12 << 11) | (0 << 5);               // 12:00:00
constexpr uint16_t kDosDate = ((2024 - 1980) << 9) | (5 << 5) | 1;  // 2024-05-01

void Put16(std::string& Out, uint32_t Value) {
  Out += static_cast<char>(Value & 0xFF);
  Out += static_cast<char>((Value >> 8) & 0xFF);
}

void Put32(std::string& Out, uint32_t Value) {
  Put16(Out, Value & 0xFFFF);
  Put16(Out, Value >> 16);
}

}  // namespace

uint32_t ZipCrc(const std::string& Bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : Bytes) crc = kst::UpdC32(static_cast<uint8_t>(c), crc);
  return ~crc;
}

void StoredZip::Add(const std::string& Name, const std::string& Bytes) {
  if (Data_.size() + Bytes.size() + Name.size() + 64 > 0x7FFFFFFFu) throw std::length_error("demo pack too large");
  Entry entry{Name, ZipCrc(Bytes), static_cast<uint32_t>(Bytes.size()), static_cast<uint32_t>(Data_.size())};
  Put32(Data_, 0x04034B50);
  Put16(Data_, 10);  // version needed
  Put16(Data_, 0);   // flags
  Put16(Data_, 0);   // stored
  Put16(Data_, kDosTime);
  Put16(Data_, kDosDate);
  Put32(Data_, entry.Crc);
  Put32(Data_, entry.Size);
  Put32(Data_, entry.Size);
  Put16(Data_, static_cast<uint32_t>(Name.size()));
  Put16(Data_, 0);  // extra field
  Data_ += Name;
  Data_ += Bytes;
  Entries_.push_back(std::move(entry));
}

std::string StoredZip::Bytes() const {
  std::string central;
  for (const Entry& entry : Entries_) {
    Put32(central, 0x02014B50);
    Put16(central, 20);  // made by
    Put16(central, 10);  // version needed
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, kDosTime);
    Put16(central, kDosDate);
    Put32(central, entry.Crc);
    Put32(central, entry.Size);
    Put32(central, entry.Size);
    Put16(central, static_cast<uint32_t>(entry.Name.size()));
    Put16(central, 0);   // extra field
    Put16(central, 0);   // comment
    Put16(central, 0);   // disk
    Put16(central, 0);   // internal attributes
    Put32(central, 0x20);  // external attributes: archive bit
    Put32(central, entry.Offset);
    central += entry.Name;
  }
  std::string out = Data_ + central;
  Put32(out, 0x06054B50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint32_t>(Entries_.size()));
  Put16(out, static_cast<uint32_t>(Entries_.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, static_cast<uint32_t>(Data_.size()));
  Put16(out, 0);
  return out;
}

}  // namespace demo
