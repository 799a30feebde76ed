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
  Utf8Builder out;
  while (Pos < Line.size()) {
    const char c = Line[Pos++];
    if (c == Terminator) return out.Finish();
    if (c != '\\') {
      out.Byte(c);
      continue;
    }
    if (Pos >= Line.size()) return std::nullopt;
    const char e = Line[Pos++];
    switch (e) {
      case 'a': out.Unit('\a'); break;
      case 'b': out.Unit('\b'); break;
      case 'e': out.Unit(0x1B); break;
      case 'f': out.Unit('\f'); break;
      case 'n': out.Unit('\n'); break;
      case 'r': out.Unit('\r'); break;
      case 't': out.Unit('\t'); break;
      case 'v': out.Unit('\v'); break;
      case 'x': {
        uint32_t unit = 0;
        for (int i = 0; i < 4 && Pos < Line.size() && HexDigit(Line[Pos]) >= 0; ++i)
          unit = unit * 16 + static_cast<uint32_t>(HexDigit(Line[Pos++]));
        out.Unit(unit);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          uint32_t unit = static_cast<uint32_t>(e - '0');
          for (int i = 0; i < 2 && Pos < Line.size() && Line[Pos] >= '0' && Line[Pos] <= '7'; ++i)
            unit = unit * 8 + static_cast<uint32_t>(Line[Pos++] - '0');
          out.Unit(unit);
        } else {
          out.Byte(e);
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
  std::vector<std::string> lines;
  std::string current;
  bool continued = false;
  size_t start = 0;
  while (start < FileText.size()) {
    size_t end = FileText.find('\n', start);
    if (end == std::string::npos) end = FileText.size();
    std::string line = FileText.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (continued) {
      const size_t first = line.find_first_not_of(" \t");
      line = first == std::string::npos ? std::string() : line.substr(first);
    }
    const bool hexLine = continued || line.find("=hex") != std::string::npos;
    continued = hexLine && !line.empty() && line.back() == '\\';
    if (continued) line.pop_back();
    current += line;
    if (!continued) {
      lines.push_back(std::move(current));
      current.clear();
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

// Bytes of "hh,hh,..." from Pos to the end of the line; empty optional if damaged.
std::optional<std::string> ReadHexBytes(const std::string& Line, size_t Pos) {
  std::string bytes;
  while (Pos < Line.size()) {
    if (Line[Pos] == ',' || Line[Pos] == ' ') {
      ++Pos;
      continue;
    }
    if (Pos + 1 >= Line.size() || HexDigit(Line[Pos]) < 0 || HexDigit(Line[Pos + 1]) < 0) return std::nullopt;
    bytes += static_cast<char>(HexDigit(Line[Pos]) * 16 + HexDigit(Line[Pos + 1]));
    Pos += 2;
  }
  return bytes;
}

std::string Utf16LeToUtf8(const std::string& Bytes) {
  Utf8Builder out;
  for (size_t i = 0; i + 1 < Bytes.size(); i += 2) {
    const uint32_t unit = static_cast<unsigned char>(Bytes[i]) | (static_cast<unsigned char>(Bytes[i + 1]) << 8);
    if (unit == 0) break;
    out.Unit(unit);
  }
  return out.Finish();
}

// The value of the data part of a value line starting at Pos.
RegistryValue DecodeData(const std::string& Line, size_t Pos) {
  RegistryValue wrong{RegistryStatus::WrongType, {}};
  if (StartsWith(Line, Pos, "str(1):") || StartsWith(Line, Pos, "str(2):")) Pos += 7;
  if (Pos < Line.size() && Line[Pos] == '"') {
    ++Pos;
    const std::optional<std::string> text = ReadEscaped(Line, Pos, '"');
    if (!text) return wrong;
    return {RegistryStatus::Found, UpToZero(*text)};
  }
  if (StartsWith(Line, Pos, "hex(1):") || StartsWith(Line, Pos, "hex(2):")) {
    const std::optional<std::string> bytes = ReadHexBytes(Line, Pos + 7);
    if (!bytes) return wrong;
    return {RegistryStatus::Found, Utf16LeToUtf8(*bytes)};
  }
  return wrong;
}

// The value named ValueName among the lines of the section starting after First.
RegistryValue FindInSection(const std::vector<std::string>& Lines, size_t First, const std::string& ValueName) {
  for (size_t i = First; i < Lines.size() && (Lines[i].empty() || Lines[i][0] != '['); ++i) {
    const std::string& line = Lines[i];
    size_t pos = 0;
    std::optional<std::string> name;
    if (!line.empty() && line[0] == '@') {
      name = std::string();
      pos = 1;
    } else if (!line.empty() && line[0] == '"') {
      pos = 1;
      name = ReadEscaped(line, pos, '"');
    }
    if (!name || pos >= line.size() || line[pos] != '=' || !EqualsNoCase(*name, ValueName)) continue;
    return DecodeData(line, pos + 1);
  }
  return {RegistryStatus::ValueMissing, {}};
}

// Index of the line after the header of section Key, if the file has it.
std::optional<size_t> FindSection(const std::vector<std::string>& Lines, const std::string& Key) {
  for (size_t i = 0; i < Lines.size(); ++i) {
    if (Lines[i].empty() || Lines[i][0] != '[') continue;
    size_t pos = 1;
    const std::optional<std::string> name = ReadEscaped(Lines[i], pos, ']');
    if (name && EqualsNoCase(*name, Key)) return i + 1;
  }
  return std::nullopt;
}

}  // namespace

RegistryValue FindInRegistryFile(const std::string& FileText, const std::vector<std::string>& Keys,
                                 const std::string& ValueName) {
  const std::vector<std::string> lines = LogicalLines(FileText);
  RegistryValue result{RegistryStatus::KeyMissing, {}};
  for (const std::string& key : Keys) {
    const std::optional<size_t> section = FindSection(lines, key);
    if (!section) continue;
    result = FindInSection(lines, *section, ValueName);
    if (result.Status != RegistryStatus::ValueMissing) return result;
  }
  return result;
}

}  // namespace platform
