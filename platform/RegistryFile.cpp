// Reading one value out of a Wine registry file (system.reg). The file is text:
// a section line "[Key\\Name] <time>" opens a key, and each value line below it
// reads "Name"=data or @=data. Names and strings use backslash escapes (\\ \"
// \n \t ..., octal \NNN and \xHHHH for one UTF-16 unit). Data forms: "..." is a
// string, str(2):"..." an expandable string, hex(1): and hex(2): the same two
// types stored as UTF-16 bytes (a line ending in "\" continues on the next),
// anything else (dword:, hex:, str(7): ...) another type. Everything is bounds-
// checked: a damaged line is skipped, never read past its end.
#include <cstdint>
#include <optional>

#include "platform/NoCase.h"
#include "platform/Registry.h"

namespace platform {

namespace {

// Collects UTF-16 units and literal bytes into UTF-8, pairing surrogates.
class Utf8Builder {
 public:
  void Byte(char C) {
    FlushSurrogate();
    Text += C;
  }
  void Unit(uint32_t U) {
    if (U >= 0xD800 && U <= 0xDBFF) {
      FlushSurrogate();
      FHigh = U;
      return;
    }
    if (U >= 0xDC00 && U <= 0xDFFF) {
      if (FHigh != 0) {
        CodePoint(0x10000 + ((FHigh - 0xD800) << 10) + (U - 0xDC00));
        FHigh = 0;
      } else {
        CodePoint(0xFFFD);
      }
      return;
    }
    FlushSurrogate();
    CodePoint(U);
  }
  std::string Finish() {
    FlushSurrogate();
    return Text;
  }

 private:
  void FlushSurrogate() {
    if (FHigh != 0) CodePoint(0xFFFD);
    FHigh = 0;
  }
  void CodePoint(uint32_t C) {
    if (C < 0x80) {
      Text += static_cast<char>(C);
    } else if (C < 0x800) {
      Text += static_cast<char>(0xC0 | (C >> 6));
      Text += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
      Text += static_cast<char>(0xE0 | (C >> 12));
      Text += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Text += static_cast<char>(0x80 | (C & 0x3F));
    } else {
      Text += static_cast<char>(0xF0 | (C >> 18));
      Text += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
      Text += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Text += static_cast<char>(0x80 | (C & 0x3F));
    }
  }
  std::string Text;
  uint32_t FHigh = 0;
};

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

// Decodes an escaped text starting at Pos up to the unescaped Terminator, leaving
// Pos behind it. Empty optional when the line ends first.
std::optional<std::string> ReadEscaped(const std::string& Line, size_t& Pos, char Terminator) {
  Utf8Builder Out;
  while (Pos < Line.size()) {
    const char C = Line[Pos++];
    if (C == Terminator) return Out.Finish();
    if (C != '\\') {
      Out.Byte(C);
      continue;
    }
    if (Pos >= Line.size()) return std::nullopt;
    const char E = Line[Pos++];
    switch (E) {
      case 'a': Out.Unit('\a'); break;
      case 'b': Out.Unit('\b'); break;
      case 'e': Out.Unit(0x1B); break;
      case 'f': Out.Unit('\f'); break;
      case 'n': Out.Unit('\n'); break;
      case 'r': Out.Unit('\r'); break;
      case 't': Out.Unit('\t'); break;
      case 'v': Out.Unit('\v'); break;
      case 'x': {
        uint32_t Unit = 0;
        for (int I = 0; I < 4 && Pos < Line.size() && HexDigit(Line[Pos]) >= 0; ++I)
          Unit = Unit * 16 + static_cast<uint32_t>(HexDigit(Line[Pos++]));
        Out.Unit(Unit);
        break;
      }
      default:
        if (E >= '0' && E <= '7') {
          uint32_t Unit = static_cast<uint32_t>(E - '0');
          for (int I = 0; I < 2 && Pos < Line.size() && Line[Pos] >= '0' && Line[Pos] <= '7'; ++I)
            Unit = Unit * 8 + static_cast<uint32_t>(Line[Pos++] - '0');
          Out.Unit(Unit);
        } else {
          Out.Byte(E);
        }
    }
  }
  return std::nullopt;
}

bool StartsWith(const std::string& Text, size_t Pos, const char* Prefix) {
  return Text.compare(Pos, std::char_traits<char>::length(Prefix), Prefix) == 0;
}

std::string UpToZero(const std::string& Text) { return Text.substr(0, Text.find('\0')); }

// The file split into logical lines: CR removed, "\"-continued hex lines joined.
std::vector<std::string> LogicalLines(const std::string& FileText) {
  std::vector<std::string> Lines;
  std::string Current;
  bool Continued = false;
  size_t Start = 0;
  while (Start < FileText.size()) {
    size_t End = FileText.find('\n', Start);
    if (End == std::string::npos) End = FileText.size();
    std::string Line = FileText.substr(Start, End - Start);
    Start = End + 1;
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Continued) {
      const size_t First = Line.find_first_not_of(" \t");
      Line = First == std::string::npos ? std::string() : Line.substr(First);
    }
    const bool HexLine = Continued || Line.find("=hex") != std::string::npos;
    Continued = HexLine && !Line.empty() && Line.back() == '\\';
    if (Continued) Line.pop_back();
    Current += Line;
    if (!Continued) {
      Lines.push_back(std::move(Current));
      Current.clear();
    }
  }
  if (!Current.empty()) Lines.push_back(std::move(Current));
  return Lines;
}

// Bytes of "hh,hh,..." from Pos to the end of the line; empty optional if damaged.
std::optional<std::string> ReadHexBytes(const std::string& Line, size_t Pos) {
  std::string Bytes;
  while (Pos < Line.size()) {
    if (Line[Pos] == ',' || Line[Pos] == ' ') {
      ++Pos;
      continue;
    }
    if (Pos + 1 >= Line.size() || HexDigit(Line[Pos]) < 0 || HexDigit(Line[Pos + 1]) < 0) return std::nullopt;
    Bytes += static_cast<char>(HexDigit(Line[Pos]) * 16 + HexDigit(Line[Pos + 1]));
    Pos += 2;
  }
  return Bytes;
}

std::string Utf16LeToUtf8(const std::string& Bytes) {
  Utf8Builder Out;
  for (size_t I = 0; I + 1 < Bytes.size(); I += 2) {
    const uint32_t Unit = static_cast<unsigned char>(Bytes[I]) | (static_cast<unsigned char>(Bytes[I + 1]) << 8);
    if (Unit == 0) break;
    Out.Unit(Unit);
  }
  return Out.Finish();
}

// The value of the data part of a value line starting at Pos.
RegistryValue DecodeData(const std::string& Line, size_t Pos) {
  RegistryValue Wrong{RegistryStatus::WrongType, {}};
  if (StartsWith(Line, Pos, "str(1):") || StartsWith(Line, Pos, "str(2):")) Pos += 7;
  if (Pos < Line.size() && Line[Pos] == '"') {
    ++Pos;
    const std::optional<std::string> Text = ReadEscaped(Line, Pos, '"');
    if (!Text) return Wrong;
    return {RegistryStatus::Found, UpToZero(*Text)};
  }
  if (StartsWith(Line, Pos, "hex(1):") || StartsWith(Line, Pos, "hex(2):")) {
    const std::optional<std::string> Bytes = ReadHexBytes(Line, Pos + 7);
    if (!Bytes) return Wrong;
    return {RegistryStatus::Found, Utf16LeToUtf8(*Bytes)};
  }
  return Wrong;
}

// The value named ValueName among the lines of the section starting after First.
RegistryValue FindInSection(const std::vector<std::string>& Lines, size_t First, const std::string& ValueName) {
  for (size_t I = First; I < Lines.size() && (Lines[I].empty() || Lines[I][0] != '['); ++I) {
    const std::string& Line = Lines[I];
    size_t Pos = 0;
    std::optional<std::string> Name;
    if (!Line.empty() && Line[0] == '@') {
      Name = std::string();
      Pos = 1;
    } else if (!Line.empty() && Line[0] == '"') {
      Pos = 1;
      Name = ReadEscaped(Line, Pos, '"');
    }
    if (!Name || Pos >= Line.size() || Line[Pos] != '=' || !EqualsNoCase(*Name, ValueName)) continue;
    return DecodeData(Line, Pos + 1);
  }
  return {RegistryStatus::ValueMissing, {}};
}

// Index of the line after the header of section Key, if the file has it.
std::optional<size_t> FindSection(const std::vector<std::string>& Lines, const std::string& Key) {
  for (size_t I = 0; I < Lines.size(); ++I) {
    if (Lines[I].empty() || Lines[I][0] != '[') continue;
    size_t Pos = 1;
    const std::optional<std::string> Name = ReadEscaped(Lines[I], Pos, ']');
    if (Name && EqualsNoCase(*Name, Key)) return I + 1;
  }
  return std::nullopt;
}

}  // namespace

RegistryValue FindInRegistryFile(const std::string& FileText, const std::vector<std::string>& Keys,
                                 const std::string& ValueName) {
  const std::vector<std::string> Lines = LogicalLines(FileText);
  RegistryValue Result{RegistryStatus::KeyMissing, {}};
  for (const std::string& Key : Keys) {
    const std::optional<size_t> Section = FindSection(Lines, Key);
    if (!Section) continue;
    Result = FindInSection(Lines, *Section, ValueName);
    if (Result.Status != RegistryStatus::ValueMissing) return Result;
  }
  return Result;
}

}  // namespace platform
