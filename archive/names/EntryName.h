// The one rule that turns a ZIP entry's stored name into the name the library
// uses, shared by the lister and the extractor so both name every entry alike.
// A name means what the system that wrote it meant: an Info-ZIP Unicode Path
// extra field whose CRC matches the header's name gives the UTF-8 name; a name
// flagged UTF-8 (bit 11) is UTF-8; a name written on a system outside the DOS
// family ("version made by" high byte other than 0, 6, 11, 14) is UTF-8 when its
// bytes are valid UTF-8; every other name is in the OEM code page. UTF-8 names
// go to the ANSI character set (no change on Linux), OEM names through the OEM
// conversion; both only when Translate is set. "/" separators become "\". A
// "\" is a separator too, except, when asked, in the names of entries made
// outside the DOS family, where it is an ordinary character: it is then kept
// as platform::kNameBackslash (NameBackslash.h).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kst {

// What a zero byte inside a stored name becomes. The lister shows every byte
// of the stored name (a zero becomes a space, so the listing keeps the
// name's full length); the extractor takes the name up to its first zero, as
// file names end there.
enum class TNameZeros { Space, Cut };

// The "version made by" of an entry known only from a local-header walk (no
// central record says which system wrote it): treated as a DOS-family entry.
inline constexpr int kMadeByUnknown = -1;

struct TStoredName {
  std::string_view Raw;                // the name bytes of the header
  uint16_t Flags = 0;                  // general-purpose flags
  int VersionMadeBy = kMadeByUnknown;  // central record's field, or kMadeByUnknown
  std::string_view Extra;              // the header's extra field
};

// What a "\" in the name of an entry made outside the DOS family is.
enum class TForeignBackslash { Separator, Literal };

std::string EntryName(const TStoredName& Stored, bool Translate, TNameZeros Zeros,
                      TForeignBackslash Backslash = TForeignBackslash::Separator);

// True when Bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view Bytes);
// The UTF-8 name of an Info-ZIP Unicode Path field (0x7075, version 1) in
// Extra whose CRC-32 matches Raw; empty when there is none. Bounds-checked.
std::string UnicodePathName(std::string_view Extra, std::string_view Raw);

}  // namespace kst
