// Entry names as their writers meant them; see EntryName.h for the rule. Each
// extra field is read only within the extra data's bounds: a field whose
// stated length runs past the end ends the search.
#include "archive/names/EntryName.h"

#include <algorithm>

#include "archive/core/Bounds.h"
#include "archive/core/ExtraFields.h"
#include "archive/crc/Crc.h"
#include "archive/core/Ksttypes.h"
#include "archive/names/NameConversion.h"
#include "platform/NameBackslash.h"
#include "platform/Utf8Names.h"

namespace kst {
namespace {

constexpr uint8_t kUnicodePathVersion = 1;

// "Version made by" systems whose names are in the OEM code page: MS-DOS/FAT,
// HPFS, NTFS, VFAT.
bool MadeOnDosFamily(int VersionMadeBy) {
  if (VersionMadeBy == kMadeByUnknown) return true;
  const int System = (VersionMadeBy >> 8) & 0xFF;
  return System == 0 || System == 6 || System == 11 || System == 14;
}

std::string WithZeros(std::string_view Bytes, TNameZeros Zeros) {
  std::string Name(Bytes);
  if (Zeros == TNameZeros::Cut) return Name.substr(0, Name.find('\0'));
  std::replace(Name.begin(), Name.end(), '\0', ' ');
  return Name;
}

std::string FromUtf8(const std::string& Name, bool Translate) {
  return UnixToDosFilename(Translate ? platform::Utf8ToAnsi(Name) : Name);
}

// Convert applied to the parts of Name between its "\" characters, which
// come back as kNameBackslash: part of the name, never a separator.
template <typename TConvert>
std::string KeepingBackslashes(const std::string& Name, TConvert Convert) {
  std::string Result;
  size_t Start = 0;
  for (size_t Slash = Name.find('\\'); Slash != std::string::npos; Slash = Name.find('\\', Start)) {
    Result += Convert(Name.substr(Start, Slash - Start));
    Result += platform::kNameBackslash;
    Start = Slash + 1;
  }
  return Result + Convert(Name.substr(Start));
}

}  // namespace

bool IsValidUtf8(std::string_view Bytes) {
  size_t I = 0;
  while (I < Bytes.size()) {
    const uint8_t Lead = uint8_t(Bytes[I]);
    if (Lead < 0x80) {
      ++I;
      continue;
    }
    size_t Length = 0;
    uint32_t Low = 0;
    uint32_t Code = 0;
    if ((Lead & 0xE0) == 0xC0)
      Length = 2, Low = 0x80, Code = Lead & 0x1F;
    else if ((Lead & 0xF0) == 0xE0)
      Length = 3, Low = 0x800, Code = Lead & 0x0F;
    else if ((Lead & 0xF8) == 0xF0)
      Length = 4, Low = 0x10000, Code = Lead & 0x07;
    else
      return false;
    if (!InBounds(I, Length, Bytes.size())) return false;
    for (size_t K = 1; K < Length; ++K) {
      const uint8_t Next = uint8_t(Bytes[I + K]);
      if ((Next & 0xC0) != 0x80) return false;
      Code = Code << 6 | (Next & 0x3F);
    }
    if (Code < Low || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return false;
    I += Length;
  }
  return true;
}

std::string UnicodePathName(std::string_view Extra, std::string_view Raw) {
  std::string Name;
  FindExtraField(Extra, kUnicodePathExtraId, [&](std::string_view Data) {
    if (Data.size() < 5 || uint8_t(Data[0]) != kUnicodePathVersion) return false;
    uint32_t Crc = CRC_MASK;
    Crc32_buf(Raw.data(), int64_t(Raw.size()), Crc);
    if ((Crc ^ CRC_MASK) != GetLE32(reinterpret_cast<const uint8_t*>(Data.data()) + 1)) return false;
    Name = Data.substr(5);
    return true;
  });
  return Name;
}

std::string EntryName(const TStoredName& Stored, bool Translate, TNameZeros Zeros, TForeignBackslash Backslash) {
  const bool DosFamily = MadeOnDosFamily(Stored.VersionMadeBy);
  const auto Utf8 = [Translate](const std::string& Part) { return FromUtf8(Part, Translate); };
  const auto Oem = [Translate](const std::string& Part) { return doOemToChar(Part, Translate); };
  const auto Converted = [&](const std::string& Name, auto Convert) {
    return !DosFamily && Backslash == TForeignBackslash::Literal ? KeepingBackslashes(Name, Convert) : Convert(Name);
  };
  const std::string Unicode = UnicodePathName(Stored.Extra, Stored.Raw);
  if (!Unicode.empty() && IsValidUtf8(Unicode)) return Converted(WithZeros(Unicode, Zeros), Utf8);
  const std::string Name = WithZeros(Stored.Raw, Zeros);
  if ((Stored.Flags & kFlagUtf8) || (!DosFamily && IsValidUtf8(Name))) return Converted(Name, Utf8);
  return Converted(Name, Oem);
}

}  // namespace kst
