// Linux side of the OEM/ANSI conversion. ZIP tools on DOS and Windows store entry
// names in code page 437; a Linux system's 8-bit character set is UTF-8. The
// upper half of code page 437 is mapped through a fixed table of Unicode code
// points; the lower half is ASCII and passes unchanged. On the way back every
// UTF-8 character without a code page 437 form, and every malformed UTF-8 byte,
// becomes "?".
#include "platform/Codepage.h"

#include <cstdint>

namespace platform {

namespace {

// Unicode code points of the code page 437 bytes 0x80-0xFF.
constexpr uint16_t kUpperHalf[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void AppendUtf8(std::string& Out, uint32_t CodePoint) {
  if (CodePoint < 0x80) {
    Out += static_cast<char>(CodePoint);
  } else if (CodePoint < 0x800) {
    Out += static_cast<char>(0xC0 | (CodePoint >> 6));
    Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
  } else {
    Out += static_cast<char>(0xE0 | (CodePoint >> 12));
    Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
  }
}

// Decodes one UTF-8 character at Text[Pos]. Returns its code point and advances
// Pos past it; a malformed or truncated sequence yields -1 and advances one byte.
int32_t NextCodePoint(const std::string& Text, size_t& Pos) {
  const auto Byte = [&](size_t I) { return static_cast<uint8_t>(Text[I]); };
  const uint8_t Lead = Byte(Pos);
  if (Lead < 0x80) {
    ++Pos;
    return Lead;
  }
  int Length = 0;
  uint32_t Value = 0;
  uint32_t Minimum = 0;
  if ((Lead & 0xE0) == 0xC0) {
    Length = 2, Value = Lead & 0x1Fu, Minimum = 0x80;
  } else if ((Lead & 0xF0) == 0xE0) {
    Length = 3, Value = Lead & 0x0Fu, Minimum = 0x800;
  } else if ((Lead & 0xF8) == 0xF0) {
    Length = 4, Value = Lead & 0x07u, Minimum = 0x10000;
  } else {
    ++Pos;
    return -1;
  }
  if (Pos + static_cast<size_t>(Length) > Text.size()) {
    ++Pos;
    return -1;
  }
  for (int I = 1; I < Length; ++I) {
    const uint8_t Next = Byte(Pos + static_cast<size_t>(I));
    if ((Next & 0xC0) != 0x80) {
      ++Pos;
      return -1;
    }
    Value = (Value << 6) | (Next & 0x3Fu);
  }
  if (Value < Minimum || Value > 0x10FFFF || (Value >= 0xD800 && Value <= 0xDFFF)) {
    ++Pos;
    return -1;
  }
  Pos += static_cast<size_t>(Length);
  return static_cast<int32_t>(Value);
}

char ToOem(int32_t CodePoint) {
  if (CodePoint >= 0 && CodePoint < 0x80) return static_cast<char>(CodePoint);
  for (int I = 0; I < 128; ++I)
    if (kUpperHalf[I] == CodePoint) return static_cast<char>(0x80 + I);
  return '?';
}

}  // namespace

std::string OemToAnsi(const std::string& Oem) {
  std::string Ansi;
  Ansi.reserve(Oem.size());
  for (const char C : Oem) {
    const auto B = static_cast<uint8_t>(C);
    if (B < 0x80)
      Ansi += C;
    else
      AppendUtf8(Ansi, kUpperHalf[B - 0x80]);
  }
  return Ansi;
}

std::string AnsiToOem(const std::string& Ansi) {
  std::string Oem;
  Oem.reserve(Ansi.size());
  size_t Pos = 0;
  while (Pos < Ansi.size()) Oem += ToOem(NextCodePoint(Ansi, Pos));
  return Oem;
}

}  // namespace platform
